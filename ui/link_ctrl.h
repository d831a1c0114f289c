#pragma once

#include "platform/static_ctrl.h"

#include <QCursor>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>

// What the banner and the promotional line share as links: a target address, the pointing-hand
// cursor over all of the control, and a left click that opens the address in the default
// browser (an empty address takes the control's own text on the first click, and keeps it).
// GUI thread only.
class CLinkCtrl : public CStatic
{
public:
    void SetURL(const QString &strURL);
    const QString &GetURL() const { return m_strURL; }

protected:
    CLinkCtrl();

    bool WindowProc(QEvent *pEvent) override;
    // Shows the hand; false when there is none, leaving the pointer to the default handling.
    bool OnSetCursor();
    void OnLButtonDown(std::uint32_t nFlags, QPoint point);

private:
    std::optional<QCursor> m_hCursor;  // empty if the cursor could not be loaded
    QString m_strURL;
};
