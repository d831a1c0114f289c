#include "ui/about_dlg.h"

#include "res/resources.h"

CAboutDlg::CAboutDlg(QWidget *pParent) : CDialog(kAboutDialogTemplate, pParent) {}
