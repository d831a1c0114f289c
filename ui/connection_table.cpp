#include "ui/connection_table.h"

#include "platform/list_ctrl.h"

#include <cstdint>

namespace ConnectionTable {

void SetUpColumns(CListCtrl &table)
{
    QRect client;
    table.GetClientRect(&client);
    const std::int32_t nWidth = client.width();

    table.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
    struct Column
    {
        const char *heading;
        std::int32_t nShare;
    };
    static constexpr Column kColumns[] = {
        {"Client Address", 3}, {"Client Port", 2}, {"Status", 2}, {"Connection Time", 3}};
    int nCol = 0;
    for (const Column &column : kColumns) {
        table.InsertColumn(nCol, QString::fromLatin1(column.heading), LVCFMT_LEFT);
        table.SetColumnWidth(nCol, ((column.nShare * nWidth) / 10) & 0xFFFF);
        ++nCol;
    }
}

void AddRow(CListCtrl &table, const QString &strAddress, const QString &strPort,
            const QString &strTime, CClientSocket *pSocket)
{
    table.InsertItem(0, strAddress);
    table.SetItemText(0, 1, strPort);
    table.SetItemText(0, 3, strTime);
    table.SetItemData(0, reinterpret_cast<std::uintptr_t>(pSocket));
}

int FindRow(const CListCtrl &table, const CClientSocket *pSocket)
{
    const int nCount = table.GetItemCount();
    for (int nRow = 0; nRow < nCount; ++nRow) {
        if (table.GetItemData(nRow) == reinterpret_cast<std::uintptr_t>(pSocket))
            return nRow;
    }
    return -1;
}

int FindSelectedRow(const CListCtrl &table)
{
    const int nCount = table.GetItemCount();
    for (int nRow = 0; nRow < nCount; ++nRow) {
        if (table.GetItemState(nRow, LVIS_SELECTED) == LVIS_SELECTED)
            return nRow;
    }
    return -1;
}

void SetStatus(CListCtrl &table, int nRow, const QString &strStatus)
{
    if (nRow < 0)
        return;
    table.SetItemText(nRow, 2, strStatus);
    table.Invalidate(true);
}

void RemoveRow(CListCtrl &table, const CClientSocket *pSocket)
{
    const int nRow = FindRow(table, pSocket);
    if (nRow >= 0)
        table.DeleteItem(nRow);
}

void RemoveAll(CListCtrl &table)
{
    table.DeleteAllItems();
}

QString FormatTime(const QTime &time)
{
    return QString::asprintf("%d:%d:%d", time.hour(), time.minute(), time.second());
}

}  // namespace ConnectionTable
