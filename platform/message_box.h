#pragma once

#include <QString>

// Shows strText in a modal message box with a warning icon and one OK button, titled with the
// application's name and owned by the main window while there is one. Socket notifications
// keep being dispatched while it is open. Returns when it is dismissed.
void AfxMessageBox(const QString &strText);
