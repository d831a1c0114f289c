#include "ui/link_label.h"

#include "platform/open_url.h"
#include "res/resources.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

const char *const CLinkLabel::kDefaultURL = "https://skylark-notes.example.com/tour";

CLinkLabel::CLinkLabel()
{
    m_crText = 0xFF0000;  // blue
    SetURL(QString::fromLatin1(kDefaultURL));
    QCursor cursor;
    if (LoadHandCursor(cursor))
        m_hCursor = cursor;
}

void CLinkLabel::SetURL(const QString &strURL)
{
    m_strURL = strURL;
}

void CLinkLabel::PreSubclassWindow()
{
    // The control's own font with the underline added, nothing else changed.
    m_font = m_hWnd->font();
    m_font.setUnderline(true);
    m_hWnd->setFont(m_font);
    CtlColor();
    CStatic::PreSubclassWindow();
}

void CLinkLabel::CtlColor()
{
    QPalette palette = m_hWnd->palette();
    const QColor text(m_crText & 0xFF, (m_crText >> 8) & 0xFF, (m_crText >> 16) & 0xFF);
    palette.setColor(QPalette::WindowText, text);
    m_hWnd->setPalette(palette);
    m_hWnd->setAutoFillBackground(false);  // the window's own background shows through
}

bool CLinkLabel::WindowProc(QEvent *pEvent)
{
    if (pEvent->type() == QEvent::Enter)
        OnSetCursor();
    else if (pEvent->type() == QEvent::MouseButtonPress) {
        auto *pMouse = static_cast<QMouseEvent *>(pEvent);
        if (pMouse->button() == Qt::LeftButton)
            OnLButtonDown(0, pMouse->position().toPoint());
    }
    return false;
}

bool CLinkLabel::OnSetCursor()
{
    if (!m_hCursor)
        return false;
    m_hWnd->setCursor(*m_hCursor);
    return true;
}

void CLinkLabel::OnLButtonDown(std::uint32_t, QPoint)
{
    if (m_strURL.isEmpty())
        m_strURL = GetWindowText();
    ShellOpen(m_strURL);
}
