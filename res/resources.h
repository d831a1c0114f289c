#pragma once

#include "platform/dialog_template.h"

#include <QCursor>
#include <QIcon>
#include <QString>

// The program's resources: window layouts, the menu, the string table and the pictures.

extern const DialogTemplate kRelayDialogTemplate;  // dialog 102, the main window
extern const DialogTemplate kAboutDialogTemplate;  // dialog 100
extern const MenuTemplate kConnectionMenu;         // menu 132, "Manage Connections"

// The text of string nID, or the empty text if there is none.
QString LoadResString(int nID);
// Icon group 128 with all its sizes.
QIcon LoadAppIcon();
// Cursor 131, the pointing hand (hot spot at the finger tip, 5,0); a null-shaped cursor
// (Qt::ArrowCursor) is never returned: the result is empty when the picture is missing.
bool LoadHandCursor(QCursor &rCursor);
