#pragma once

#include <QString>
#include <cstdint>

class CDialog;
class CWnd;

// One exchange between a dialog's controls and its members, in one direction. A rejected field
// stops the exchange: every DDX_ call after it does nothing, and UpdateData returns false.
class CDataExchange
{
public:
    CDataExchange(CDialog *pDlgWnd, bool bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
    {}

    // Marks the exchange as failed; the caller has already told the user why.
    void Fail() { m_bFailed = true; }
    bool Failed() const { return m_bFailed; }

    const bool m_bSaveAndValidate;  // true: controls to members, validated
    CDialog *const m_pDlgWnd;

private:
    bool m_bFailed = false;
};

// Binds rControl to control nIDC, the first time only (while it has no window).
void DDX_Control(CDataExchange *pDX, int nIDC, CWnd &rControl);
// The whole text of edit control nIDC, unchanged in both directions.
void DDX_Text(CDataExchange *pDX, int nIDC, QString &value);
// Edit control nIDC as an unsigned number ("%u"): written in decimal; read by
// ParseUnsignedField, a rejected text showing "Please enter a positive integer.", then
// focusing the field with all of its text selected, and stopping the exchange.
void DDX_Text(CDataExchange *pDX, int nIDC, std::uint32_t &value);

// The unsigned-number rule of a form field. Looks at the first 31 characters only: leading
// spaces and tabs, no '-', then the C library's unsigned base-10 conversion (white space, an
// optional '+', digits; saturating at 4294967295); a result of 0 counts only when the number
// began with the digit '0'; then nothing but spaces and tabs. Returns false for a rejected
// text, leaving rValue unchanged.
bool ParseUnsignedField(const QString &strText, std::uint32_t &rValue);
