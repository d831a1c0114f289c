#include "platform/data_exchange.h"

#include "platform/dialog.h"
#include "platform/message_box.h"
#include "platform/wnd.h"

#include <QLineEdit>
#include <cerrno>
#include <cstdlib>

bool ParseUnsignedField(const QString &strText, std::uint32_t &rValue)
{
    // Single-byte text: at most the first 31 characters are looked at.
    const QByteArray bytes = strText.left(31).toLatin1();
    const char *p = bytes.constData();
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p == '-')
        return false;

    const char *pNumber = p;
    char *pEnd = nullptr;
    errno = 0;
    const unsigned long long nValue = std::strtoull(pNumber, &pEnd, 10);
    std::uint32_t nResult;
    if (pEnd == pNumber)
        nResult = 0;  // no digits
    else if (errno == ERANGE || nValue > 0xFFFFFFFFull)
        nResult = 0xFFFFFFFFu;
    else
        nResult = static_cast<std::uint32_t>(nValue);
    // strtoull takes a '-' after white space or '+' as a negation; that is no unsigned number.
    if (pEnd != pNumber) {
        const char *q = pNumber;
        while (*q == ' ' || *q == '\t' || *q == '\n' || *q == '\v' || *q == '\f' || *q == '\r')
            ++q;
        if (*q == '-')
            return false;
    }
    if (nResult == 0 && *pNumber != '0')
        return false;

    const char *pRest = pEnd == pNumber ? pNumber : pEnd;
    while (*pRest == ' ' || *pRest == '\t')
        ++pRest;
    if (*pRest != '\0')
        return false;

    rValue = nResult;
    return true;
}

void DDX_Control(CDataExchange *pDX, int nIDC, CWnd &rControl)
{
    if (rControl.GetSafeHwnd() == nullptr)
        rControl.SubclassWindow(pDX->m_pDlgWnd->GetDlgItem(nIDC));
}

void DDX_Text(CDataExchange *pDX, int nIDC, QString &value)
{
    if (pDX->Failed())
        return;
    auto *pEdit = qobject_cast<QLineEdit *>(pDX->m_pDlgWnd->GetDlgItem(nIDC));
    if (pEdit == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = pEdit->text();
    else
        pEdit->setText(value);
}

void DDX_Text(CDataExchange *pDX, int nIDC, std::uint32_t &value)
{
    if (pDX->Failed())
        return;
    auto *pEdit = qobject_cast<QLineEdit *>(pDX->m_pDlgWnd->GetDlgItem(nIDC));
    if (pEdit == nullptr)
        return;
    if (!pDX->m_bSaveAndValidate) {
        pEdit->setText(QString::number(value));
        return;
    }
    if (ParseUnsignedField(pEdit->text(), value))
        return;
    AfxMessageBox(QStringLiteral("Please enter a positive integer."));
    pEdit->setFocus(Qt::OtherFocusReason);
    pEdit->selectAll();
    pDX->Fail();
}
