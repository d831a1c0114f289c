#include "platform/wnd.h"

#include <QAbstractScrollArea>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QWidget>
#include <functional>

namespace {

// Hands the bound widget's events to its CWnd.
class WndEventFilter : public QObject
{
public:
    explicit WndEventFilter(std::function<bool(QEvent *)> proc) : m_proc(std::move(proc)) {}
    bool eventFilter(QObject *, QEvent *pEvent) override { return m_proc(pEvent); }

private:
    std::function<bool(QEvent *)> m_proc;
};

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_hWnd && m_pFilter)
        m_hWnd->removeEventFilter(m_pFilter.get());
}

bool CWnd::SubclassWindow(QWidget *pWidget)
{
    if (m_hWnd != nullptr || pWidget == nullptr)
        return false;
    m_hWnd = pWidget;
    PreSubclassWindow();
    m_pFilter =
        std::make_unique<WndEventFilter>([this](QEvent *pEvent) { return WindowProc(pEvent); });
    m_hWnd->installEventFilter(m_pFilter.get());
    return true;
}

bool CWnd::WindowProc(QEvent *)
{
    return false;
}

QString CWnd::GetWindowText() const
{
    if (auto *pLabel = qobject_cast<QLabel *>(m_hWnd))
        return pLabel->text();
    if (auto *pEdit = qobject_cast<QLineEdit *>(m_hWnd))
        return pEdit->text();
    return m_hWnd ? m_hWnd->windowTitle() : QString();
}

void CWnd::GetClientRect(QRect *pRect) const
{
    if (auto *pArea = qobject_cast<QAbstractScrollArea *>(m_hWnd)) {
        // Inside the frame, less a vertical scroll bar that shows; computed from the geometry, so
        // it is right before the control has been shown and laid out.
        QRect inner = pArea->contentsRect();
        if (pArea->verticalScrollBar()->isVisibleTo(pArea))
            inner.setWidth(inner.width() - pArea->verticalScrollBar()->sizeHint().width());
        *pRect = QRect(QPoint(0, 0), inner.size());
    } else
        *pRect = m_hWnd ? m_hWnd->rect() : QRect();
}
