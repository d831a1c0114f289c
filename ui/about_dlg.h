#pragma once

#include "platform/dialog.h"

// The About box: the icon, the version and a notice of ownership, closed by OK, Enter, Escape
// or its close box.
class CAboutDlg : public CDialog
{
public:
    explicit CAboutDlg(QWidget *pParent = nullptr);
};
