#pragma once

#include "ui/link_ctrl.h"

#include <QFont>
#include <cstdint>

// The promotional line as a link, drawn blue and underlined over the window's background. Made
// with the main window; it takes its underlined font when bound to its control during the first
// data exchange. GUI thread only.
class CLinkLabel : public CLinkCtrl
{
public:
    CLinkLabel();

    static const char *const kDefaultURL;

protected:
    void PreSubclassWindow() override;
    // Text in m_crText over a transparent background.
    void CtlColor();

private:
    std::uint32_t m_crText;  // 0x00BBGGRR
    QFont m_font;            // the control's font, underlined
};
