#include "platform/local_time.h"

#include <QDateTime>

QTime LocalTimeNow()
{
    static qint64 nNextRefreshMs = 0;
    static int nOffsetSecs = 0;
    const qint64 nNowMs = QDateTime::currentMSecsSinceEpoch();
    if (nNowMs >= nNextRefreshMs) {
        nOffsetSecs = QDateTime::fromMSecsSinceEpoch(nNowMs).offsetFromUtc();
        nNextRefreshMs = (nNowMs / 60000 + 1) * 60000;
    }
    const qint64 nLocalSecs = nNowMs / 1000 + nOffsetSecs;
    const int nSecsOfDay = static_cast<int>(((nLocalSecs % 86400) + 86400) % 86400);
    return QTime(nSecsOfDay / 3600, nSecsOfDay / 60 % 60, nSecsOfDay % 60);
}
