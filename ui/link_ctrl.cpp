#include "ui/link_ctrl.h"

#include "platform/open_url.h"
#include "res/resources.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

CLinkCtrl::CLinkCtrl()
{
    QCursor cursor;
    if (LoadHandCursor(cursor))
        m_hCursor = cursor;
}

void CLinkCtrl::SetURL(const QString &strURL)
{
    m_strURL = strURL;
}

bool CLinkCtrl::WindowProc(QEvent *pEvent)
{
    if (pEvent->type() == QEvent::Enter) {
        OnSetCursor();
    } else if (pEvent->type() == QEvent::MouseButtonPress) {
        auto *pMouse = static_cast<QMouseEvent *>(pEvent);
        if (pMouse->button() == Qt::LeftButton)
            OnLButtonDown(0, pMouse->position().toPoint());
    }
    return false;  // the control's own handling follows
}

bool CLinkCtrl::OnSetCursor()
{
    if (!m_hCursor)
        return false;
    m_hWnd->setCursor(*m_hCursor);
    return true;
}

void CLinkCtrl::OnLButtonDown(std::uint32_t, QPoint)
{
    if (m_strURL.isEmpty())
        m_strURL = GetWindowText();
    ShellOpen(m_strURL);
}
