#include "platform/message_box.h"

#include "platform/win_app.h"

#include <QMessageBox>

void AfxMessageBox(const QString &strText)
{
    QMessageBox box(QMessageBox::Warning, AfxGetAppName(), strText, QMessageBox::Ok,
                    AfxGetMainWnd());
    box.exec();
}
