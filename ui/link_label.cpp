#include "ui/link_label.h"

#include <QWidget>

const char *const CLinkLabel::kDefaultURL = "https://skylark-notes.example.com/tour";

CLinkLabel::CLinkLabel()
{
    m_crText = 0xFF0000;  // blue
    SetURL(QString::fromLatin1(kDefaultURL));
}

void CLinkLabel::PreSubclassWindow()
{
    // The control's own font with the underline added, nothing else changed.
    m_font = m_hWnd->font();
    m_font.setUnderline(true);
    m_hWnd->setFont(m_font);
    CtlColor();
    CLinkCtrl::PreSubclassWindow();
}

void CLinkLabel::CtlColor()
{
    QPalette palette = m_hWnd->palette();
    const QColor text(m_crText & 0xFF, (m_crText >> 8) & 0xFF, (m_crText >> 16) & 0xFF);
    palette.setColor(QPalette::WindowText, text);
    m_hWnd->setPalette(palette);
    m_hWnd->setAutoFillBackground(false);  // the window's own background shows through
}
