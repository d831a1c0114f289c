#pragma once

#include "platform/wnd.h"

#include <cstdint>

class QTableWidget;

// Extended styles understood by SetExtendedStyle.
inline constexpr std::uint32_t LVS_EX_GRIDLINES = 0x001;
inline constexpr std::uint32_t LVS_EX_FULLROWSELECT = 0x020;
inline constexpr std::uint32_t LVS_EX_FLATSB = 0x100;
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr std::uint32_t LVIS_SELECTED = 0x0002;

// A report-style list bound to a QTableWidget of the dialog: rows of text cells with one
// pointer-sized value per row (item data), single selection, no sorting, no editing. The
// control is the only store of its rows. Row indices run from 0 at the top.
class CListCtrl : public CWnd
{
public:
    // Replaces every extended style: grid lines, full-row selection (flat scroll bars have no
    // counterpart and change nothing).
    void SetExtendedStyle(std::uint32_t dwExStyle);
    std::uint32_t GetExtendedStyle() const { return m_dwExStyle; }

    // Appends column nCol with its header text; its width is set separately.
    int InsertColumn(int nCol, const QString &strHeading, int nFormat = LVCFMT_LEFT);
    // Gives column nCol the width of cx pixels (the low 16 bits, as a signed 16-bit width).
    void SetColumnWidth(int nCol, int cx);
    int GetColumnWidth(int nCol) const;
    int GetColumnCount() const;
    QString GetColumnHeading(int nCol) const;

    int GetItemCount() const;
    // Inserts a row at nItem with strItem in column 0; the rows from nItem on move down.
    int InsertItem(int nItem, const QString &strItem);
    bool SetItemText(int nItem, int nSubItem, const QString &strText);
    QString GetItemText(int nItem, int nSubItem) const;
    bool SetItemData(int nItem, std::uintptr_t dwData);
    // The row's item data, 0 for a row that does not exist.
    std::uintptr_t GetItemData(int nItem) const;
    // LVIS_SELECTED when nMask asks for it and the row is selected, else 0.
    std::uint32_t GetItemState(int nItem, std::uint32_t nMask) const;
    bool SetItemState(int nItem, std::uint32_t nState, std::uint32_t nMask);
    bool DeleteItem(int nItem);
    bool DeleteAllItems();
    // Requests a repaint of the whole list, coalesced like every other change.
    void Invalidate(bool bErase = true);

    // Changes are painted together, at most once per this many milliseconds.
    static constexpr int kRepaintIntervalMs = 33;

private:
    QTableWidget *Table() const;
    // A busy forwarder adds, updates and removes rows thousands of times a second; painting
    // the list once per change would cost more than the forwarding. The first change holds
    // painting back for kRepaintIntervalMs, then everything changed meanwhile is painted once.
    void CoalesceRepaint();

    std::uint32_t m_dwExStyle = 0;
    bool m_bRepaintHeld = false;
};
