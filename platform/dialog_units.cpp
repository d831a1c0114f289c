#include "platform/dialog_units.h"

#include <QFontMetrics>

QSize DialogBaseUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    const int nWidth52 = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((nWidth52 / 26 + 1) / 2, metrics.height());
}

namespace {
int MulDiv(int nNumber, int nNumerator, int nDenominator)
{
    const long long nProduct = static_cast<long long>(nNumber) * nNumerator;
    return static_cast<int>((nProduct + (nProduct >= 0 ? nDenominator / 2 : -nDenominator / 2)) /
                            nDenominator);
}
}  // namespace

QRect MapDialogRect(const QRect &r, const QSize &units)
{
    const int nLeft = MulDiv(r.left(), units.width(), 4);
    const int nTop = MulDiv(r.top(), units.height(), 8);
    const int nRight = MulDiv(r.left() + r.width(), units.width(), 4);
    const int nBottom = MulDiv(r.top() + r.height(), units.height(), 8);
    return QRect(nLeft, nTop, nRight - nLeft, nBottom - nTop);
}
