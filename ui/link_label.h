#pragma once

#include "platform/static_ctrl.h"

#include <QCursor>
#include <QFont>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>

// The promotional line as a link: drawn blue and underlined over the window's background, a
// pointing hand over all of its area, and a click opens its address in the default browser.
// Made with the main window, bound to its control during the first data exchange, which is when
// it takes its underlined font. GUI thread only.
class CLinkLabel : public CStatic
{
public:
    CLinkLabel();

    void SetURL(const QString &strURL);
    const QString &GetURL() const { return m_strURL; }

    static const char *const kDefaultURL;

protected:
    void PreSubclassWindow() override;
    bool WindowProc(QEvent *pEvent) override;
    // Text in m_crText over a transparent background.
    void CtlColor();
    bool OnSetCursor();
    void OnLButtonDown(std::uint32_t nFlags, QPoint point);

private:
    std::uint32_t m_crText;            // 0x00BBGGRR
    std::optional<QCursor> m_hCursor;  // empty if the cursor could not be loaded
    QString m_strURL;
    QFont m_font;  // the control's font, underlined
};
