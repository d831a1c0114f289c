#pragma once

#include <QTime>

// The local time of day, to the second. The offset from UTC is asked of the time-zone rules
// once a minute only (each such question costs the C library a look at the zone file); a
// change of offset, which happens on a minute boundary, shows from its first second on.
QTime LocalTimeNow();
