#include "platform/combo_box.h"

#include <QComboBox>

QComboBox *CComboBox::Combo() const
{
    return static_cast<QComboBox *>(m_hWnd);
}

int CComboBox::AddString(const QString &strItem)
{
    Combo()->addItem(strItem);
    return Combo()->count() - 1;
}

int CComboBox::GetCount() const
{
    return Combo()->count();
}

int CComboBox::GetCurSel() const
{
    return Combo()->currentIndex();
}

int CComboBox::SetCurSel(int nIndex)
{
    if (nIndex < -1 || nIndex >= Combo()->count())
        return -1;
    Combo()->setCurrentIndex(nIndex);
    return nIndex;
}

int CComboBox::GetLBText(int nIndex, QString &rString) const
{
    if (nIndex < 0 || nIndex >= Combo()->count())
        return -1;
    rString = Combo()->itemText(nIndex);
    return static_cast<int>(rString.size());
}
