#pragma once

#include <QString>

// Opens strAddress with the desktop's default handler for it (a web browser for a web page),
// handed over unchanged. A failure is not reported.
void ShellOpen(const QString &strAddress);

// Replaces the opener (tests record what was opened). Passing nullptr restores the real one.
void SetShellOpenForTesting(void (*open)(const QString &));
