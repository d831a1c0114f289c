#include "tests/event_wait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

bool RunUntil(const std::function<bool()> &pred, std::chrono::milliseconds deadline)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!pred()) {
        if (elapsed.elapsed() > deadline.count())
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

struct MessageBoxWatcher::Impl
{
    QTimer timer;
};

MessageBoxWatcher::MessageBoxWatcher() : m_pImpl(new Impl)
{
    // A poll, not a sleep: the box appears inside a nested loop, which runs this timer.
    m_pImpl->timer.setInterval(5);
    QObject::connect(&m_pImpl->timer, &QTimer::timeout, [this] {
        for (QWidget *pWidget : QApplication::topLevelWidgets()) {
            auto *pBox = qobject_cast<QMessageBox *>(pWidget);
            if (pBox == nullptr || !pBox->isVisible())
                continue;
            m_seen.push_back({pBox->windowTitle(), pBox->text(),
                              pBox->icon() == QMessageBox::Warning,
                              static_cast<int>(pBox->buttons().size()), QString()});
            if (m_whileOpen) {
                auto fn = std::move(m_whileOpen);
                m_whileOpen = nullptr;
                fn();
            }
            pBox->button(QMessageBox::Ok) ? pBox->button(QMessageBox::Ok)->click() : pBox->accept();
        }
    });
    m_pImpl->timer.start();
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    delete m_pImpl;
}
