#include "ui/link_bitmap.h"

#include "platform/open_url.h"
#include "res/resources.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

const char *const CLinkBitmap::kDefaultURL = "https://skylark-notes.example.com/";

CLinkBitmap::CLinkBitmap()
{
    SetURL(QString::fromLatin1(kDefaultURL));
    QCursor cursor;
    if (LoadHandCursor(cursor))
        m_hCursor = cursor;
}

void CLinkBitmap::SetURL(const QString &strURL)
{
    m_strURL = strURL;
}

bool CLinkBitmap::WindowProc(QEvent *pEvent)
{
    if (pEvent->type() == QEvent::Enter)
        OnSetCursor();
    else if (pEvent->type() == QEvent::MouseButtonPress) {
        auto *pMouse = static_cast<QMouseEvent *>(pEvent);
        if (pMouse->button() == Qt::LeftButton)
            OnLButtonDown(0, pMouse->position().toPoint());
    }
    return false;  // the control's own handling follows
}

bool CLinkBitmap::OnSetCursor()
{
    if (!m_hCursor)
        return false;
    m_hWnd->setCursor(*m_hCursor);
    return true;
}

void CLinkBitmap::OnLButtonDown(std::uint32_t, QPoint)
{
    if (m_strURL.isEmpty())
        m_strURL = GetWindowText();
    ShellOpen(m_strURL);
}
