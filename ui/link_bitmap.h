#pragma once

#include "platform/static_ctrl.h"

#include <QCursor>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>

// The banner picture as a link: the pointer over it is a pointing hand, and a click opens its
// address in the default browser. Made with the main window, bound to its control during the
// first data exchange. GUI thread only.
class CLinkBitmap : public CStatic
{
public:
    CLinkBitmap();

    void SetURL(const QString &strURL);
    const QString &GetURL() const { return m_strURL; }

    static const char *const kDefaultURL;

protected:
    bool WindowProc(QEvent *pEvent) override;
    // Shows the hand; false when there is none, leaving the pointer to the default handling.
    bool OnSetCursor();
    void OnLButtonDown(std::uint32_t nFlags, QPoint point);

private:
    std::optional<QCursor> m_hCursor;  // empty if the cursor could not be loaded
    QString m_strURL;
};
