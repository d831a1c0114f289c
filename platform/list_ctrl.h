#pragma once

#include "platform/wnd.h"

#include <QMetaObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QTableView;

// Extended styles understood by SetExtendedStyle.
inline constexpr std::uint32_t LVS_EX_GRIDLINES = 0x001;
inline constexpr std::uint32_t LVS_EX_FULLROWSELECT = 0x020;
inline constexpr std::uint32_t LVS_EX_FLATSB = 0x100;
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr std::uint32_t LVIS_SELECTED = 0x0002;

// A report-style list bound to a QTableView of the dialog: rows of text cells with one
// pointer-sized value per row (item data), single selection, no sorting, no editing. Row
// indices run from 0 at the top.
//
// The control holds its rows itself and answers every question from them at once. The view is
// brought up to date with all changes together, at most once per kRepaintIntervalMs: a busy
// forwarder adds, updates and removes rows thousands of times a second, and letting the view
// lay out and paint after each change cost more than the forwarding. The selected row is the
// one the user selected in the view (or SetItemState chose); it stays with its row as other
// rows come and go.
class CListCtrl : public CWnd
{
public:
    CListCtrl();
    ~CListCtrl() override;

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
    // Requests a repaint of the whole list, with the other changes.
    void Invalidate(bool bErase = true);

    // Changes reach the view together, at most once per this many milliseconds.
    static constexpr int kRepaintIntervalMs = 33;

protected:
    void PreSubclassWindow() override;

private:
    struct Row
    {
        std::uint64_t nId;  // stays with the row; names the selection
        std::vector<QString> texts;
        std::uintptr_t dwData = 0;
    };
    class ViewModel;

    QTableView *View() const;
    bool ValidRow(int nItem) const { return nItem >= 0 && nItem < static_cast<int>(m_rows.size()); }
    // Brings the view up to date soon (at once if it is not showing).
    void Changed();
    // Shows the rows as they are now, and the selection.
    void UpdateView();
    void ViewSelectionChanged();

    std::vector<Row> m_rows;
    std::vector<QString> m_headings;
    std::uint64_t m_nNextId = 1;
    std::uint64_t m_nSelectedId = 0;  // 0: nothing selected
    std::uint32_t m_dwExStyle = 0;
    bool m_bUpdateScheduled = false;
    bool m_bUpdatingView = false;
    std::unique_ptr<ViewModel> m_pModel;
    QMetaObject::Connection m_selectionWatch;
};
