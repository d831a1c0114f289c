#include "platform/list_ctrl.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableWidget>
#include <QTimer>

namespace {
constexpr int kItemDataRole = Qt::UserRole;
}

QTableWidget *CListCtrl::Table() const
{
    return static_cast<QTableWidget *>(m_hWnd);
}

void CListCtrl::SetExtendedStyle(std::uint32_t dwExStyle)
{
    m_dwExStyle = dwExStyle;
    Table()->setShowGrid((dwExStyle & LVS_EX_GRIDLINES) != 0);
    Table()->setSelectionBehavior((dwExStyle & LVS_EX_FULLROWSELECT)
                                      ? QAbstractItemView::SelectRows
                                      : QAbstractItemView::SelectItems);
}

int CListCtrl::InsertColumn(int nCol, const QString &strHeading, int)
{
    QTableWidget *pTable = Table();
    pTable->insertColumn(nCol);
    auto *pHeader = new QTableWidgetItem(strHeading);
    pHeader->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pTable->setHorizontalHeaderItem(nCol, pHeader);
    return nCol;
}

void CListCtrl::SetColumnWidth(int nCol, int cx)
{
    Table()->setColumnWidth(nCol, static_cast<std::int16_t>(static_cast<std::uint16_t>(cx)));
}

int CListCtrl::GetColumnWidth(int nCol) const
{
    return Table()->columnWidth(nCol);
}

int CListCtrl::GetColumnCount() const
{
    return Table()->columnCount();
}

QString CListCtrl::GetColumnHeading(int nCol) const
{
    const QTableWidgetItem *pHeader = Table()->horizontalHeaderItem(nCol);
    return pHeader ? pHeader->text() : QString();
}

int CListCtrl::GetItemCount() const
{
    return Table()->rowCount();
}

void CListCtrl::CoalesceRepaint()
{
    if (m_bRepaintHeld)
        return;
    m_bRepaintHeld = true;
    Table()->setUpdatesEnabled(false);
    QTimer::singleShot(kRepaintIntervalMs, Table(), [this] {
        m_bRepaintHeld = false;
        Table()->setUpdatesEnabled(true);  // repaints the whole list
    });
}

void CListCtrl::Invalidate(bool bErase)
{
    CoalesceRepaint();
    CWnd::Invalidate(bErase);
}

int CListCtrl::InsertItem(int nItem, const QString &strItem)
{
    CoalesceRepaint();
    QTableWidget *pTable = Table();
    nItem = std::clamp(nItem, 0, pTable->rowCount());
    pTable->insertRow(nItem);
    pTable->setItem(nItem, 0, new QTableWidgetItem(strItem));
    return nItem;
}

bool CListCtrl::SetItemText(int nItem, int nSubItem, const QString &strText)
{
    CoalesceRepaint();
    QTableWidget *pTable = Table();
    if (nItem < 0 || nItem >= pTable->rowCount() || nSubItem < 0 ||
        nSubItem >= pTable->columnCount())
        return false;
    if (QTableWidgetItem *pCell = pTable->item(nItem, nSubItem))
        pCell->setText(strText);
    else
        pTable->setItem(nItem, nSubItem, new QTableWidgetItem(strText));
    return true;
}

QString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    const QTableWidgetItem *pCell = Table()->item(nItem, nSubItem);
    return pCell ? pCell->text() : QString();
}

bool CListCtrl::SetItemData(int nItem, std::uintptr_t dwData)
{
    QTableWidget *pTable = Table();
    if (nItem < 0 || nItem >= pTable->rowCount())
        return false;
    QTableWidgetItem *pCell = pTable->item(nItem, 0);
    if (pCell == nullptr) {
        pCell = new QTableWidgetItem;
        pTable->setItem(nItem, 0, pCell);
    }
    pCell->setData(kItemDataRole, QVariant::fromValue<quintptr>(dwData));
    return true;
}

std::uintptr_t CListCtrl::GetItemData(int nItem) const
{
    const QTableWidgetItem *pCell = Table()->item(nItem, 0);
    return pCell ? pCell->data(kItemDataRole).value<quintptr>() : 0;
}

std::uint32_t CListCtrl::GetItemState(int nItem, std::uint32_t nMask) const
{
    if (!(nMask & LVIS_SELECTED) || nItem < 0 || nItem >= Table()->rowCount())
        return 0;
    return Table()->selectionModel()->isRowSelected(nItem, QModelIndex()) ? LVIS_SELECTED : 0;
}

bool CListCtrl::SetItemState(int nItem, std::uint32_t nState, std::uint32_t nMask)
{
    QTableWidget *pTable = Table();
    if (!(nMask & LVIS_SELECTED) || nItem < 0 || nItem >= pTable->rowCount())
        return false;
    const QModelIndex index = pTable->model()->index(nItem, 0);
    const auto flags = (nState & LVIS_SELECTED) ? QItemSelectionModel::ClearAndSelect
                                                : QItemSelectionModel::Deselect;
    pTable->selectionModel()->select(index, flags | QItemSelectionModel::Rows);
    return true;
}

bool CListCtrl::DeleteItem(int nItem)
{
    CoalesceRepaint();
    if (nItem < 0 || nItem >= Table()->rowCount())
        return false;
    Table()->removeRow(nItem);
    return true;
}

bool CListCtrl::DeleteAllItems()
{
    CoalesceRepaint();
    Table()->setRowCount(0);
    return true;
}
