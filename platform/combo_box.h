#pragma once

#include "platform/wnd.h"

class QComboBox;

// A drop-down list with no typing, bound to a QComboBox of the dialog.
class CComboBox : public CWnd
{
public:
    // Appends an item (the list is not sorted); returns its index.
    int AddString(const QString &strItem);
    int GetCount() const;
    // The selected index, or -1 when nothing is selected.
    int GetCurSel() const;
    // Selects nIndex (-1 clears the selection); returns the index, or -1 if it does not exist.
    int SetCurSel(int nIndex);
    // Copies the text of item nIndex into rString; for an index that does not exist, rString
    // is left as it was and -1 is returned.
    int GetLBText(int nIndex, QString &rString) const;

private:
    QComboBox *Combo() const;
};
