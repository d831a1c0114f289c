#include "platform/open_url.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

void RealOpen(const QString &strAddress)
{
    QDesktopServices::openUrl(QUrl(strAddress, QUrl::TolerantMode));
}

void (*g_pOpen)(const QString &) = RealOpen;

}  // namespace

void ShellOpen(const QString &strAddress)
{
    g_pOpen(strAddress);
}

void SetShellOpenForTesting(void (*open)(const QString &))
{
    g_pOpen = open ? open : RealOpen;
}
