#include "platform/list_ctrl.h"
#include "platform/local_time.h"
#include "tests/event_wait.h"
#include "ui/connection_table.h"

#include <QTableView>
#include <gtest/gtest.h>

namespace {

// A list control bound to a table of its own, with the columns set up at a chosen width.
class ConnectionTableTest : public ::testing::Test
{
protected:
    void SetUpAtWidth(int nClientWidth)
    {
        m_widget.resize(nClientWidth + 2 * m_widget.frameWidth(), 300);
        m_table.SubclassWindow(&m_widget);
        ConnectionTable::SetUpColumns(m_table);
    }

    // Fake connections: the table only compares their addresses.
    CClientSocket *Socket(int n) { return reinterpret_cast<CClientSocket *>(&m_sockets[n]); }

    void AddThreeRows()
    {
        for (int n = 0; n < 3; ++n)
            ConnectionTable::AddRow(m_table, QString("10.0.0.%1").arg(n), QString::number(3000 + n),
                                    "9:5:7", Socket(n));
    }

    QTableView m_widget;
    CListCtrl m_table;
    char m_sockets[4] = {};
};

TEST_F(ConnectionTableTest, ColumnsShareTheClientWidth3To2To2To3)
{
    SetUpAtWidth(607);
    const int kWidths[] = {182, 121, 121, 182};
    const char *kHeadings[] = {"Client Address", "Client Port", "Status", "Connection Time"};
    ASSERT_EQ(m_table.GetColumnCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(m_table.GetColumnWidth(i), kWidths[i]) << i;
        EXPECT_EQ(m_table.GetColumnHeading(i), kHeadings[i]) << i;
    }
    EXPECT_EQ(m_table.GetExtendedStyle(), 0x121u);
    EXPECT_TRUE(m_widget.showGrid());
    EXPECT_EQ(m_widget.selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(ConnectionTableTest, NewestRowIsOnTopAndLookupsFollowDeletions)
{
    SetUpAtWidth(607);
    AddThreeRows();
    ASSERT_EQ(m_table.GetItemCount(), 3);
    EXPECT_EQ(m_table.GetItemText(0, 0), "10.0.0.2");
    EXPECT_EQ(m_table.GetItemText(0, 1), "3002");
    EXPECT_EQ(m_table.GetItemText(0, 2), "") << "no status before the first attempt ends";
    EXPECT_EQ(m_table.GetItemText(0, 3), "9:5:7");

    EXPECT_EQ(ConnectionTable::FindRow(m_table, Socket(1)), 1);
    ConnectionTable::RemoveRow(m_table, Socket(2));
    EXPECT_EQ(ConnectionTable::FindRow(m_table, Socket(1)), 0);
    EXPECT_EQ(ConnectionTable::FindRow(m_table, Socket(2)), -1);
    EXPECT_EQ(m_table.GetItemCount(), 2);

    ConnectionTable::RemoveRow(m_table, Socket(2));  // no row: nothing changes
    EXPECT_EQ(m_table.GetItemCount(), 2);

    ConnectionTable::RemoveAll(m_table);
    EXPECT_EQ(m_table.GetItemCount(), 0);
    EXPECT_EQ(ConnectionTable::FindRow(m_table, Socket(0)), -1);
    EXPECT_EQ(ConnectionTable::FindSelectedRow(m_table), -1);
}

TEST_F(ConnectionTableTest, SelectedRowAndStatus)
{
    SetUpAtWidth(607);
    AddThreeRows();
    EXPECT_EQ(ConnectionTable::FindSelectedRow(m_table), -1);
    m_table.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(ConnectionTable::FindSelectedRow(m_table), 1);
    m_table.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(ConnectionTable::FindSelectedRow(m_table), 2) << "single selection";

    ConnectionTable::SetStatus(m_table, 2, ConnectionTable::kStatusFailed);
    EXPECT_EQ(m_table.GetItemText(2, 2), "Failed to Connect");
    ConnectionTable::SetStatus(m_table, -1, ConnectionTable::kStatusConnected);
    for (int nRow = 0; nRow < 3; ++nRow)
        EXPECT_NE(m_table.GetItemText(nRow, 2), "Connected");
}

TEST_F(ConnectionTableTest, ViewCatchesUpAndTheSelectionStaysWithItsRow)
{
    SetUpAtWidth(607);
    AddThreeRows();
    QAbstractItemModel *pShown = m_widget.model();
    ASSERT_TRUE(RunUntil([&] { return pShown->rowCount() == 3; }));
    EXPECT_EQ(pShown->index(0, 0).data().toString(), "10.0.0.2");
    EXPECT_EQ(pShown->headerData(3, Qt::Horizontal).toString(), "Connection Time");

    // The user selects the middle row, 10.0.0.1.
    m_widget.selectionModel()->select(pShown->index(1, 0), QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
    EXPECT_EQ(ConnectionTable::FindSelectedRow(m_table), 1);

    // A new row on top moves it down; the selection goes with it, at once and in the view.
    ConnectionTable::AddRow(m_table, "10.0.0.3", "3003", "9:5:8", Socket(3));
    EXPECT_EQ(ConnectionTable::FindSelectedRow(m_table), 2);
    ASSERT_TRUE(RunUntil([&] { return pShown->rowCount() == 4; }));
    const QModelIndexList selected = m_widget.selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first().row(), 2);
    EXPECT_EQ(pShown->index(2, 0).data().toString(), "10.0.0.1");

    // Removing the selected row leaves nothing selected.
    ConnectionTable::RemoveRow(m_table, Socket(1));
    EXPECT_EQ(ConnectionTable::FindSelectedRow(m_table), -1);
    ASSERT_TRUE(RunUntil([&] { return pShown->rowCount() == 3; }));
    EXPECT_TRUE(m_widget.selectionModel()->selectedRows().isEmpty());
}

TEST(LocalTimeTest, MatchesTheTimeZoneRules)
{
    // Read the clock both ways; a second boundary between the two readings may separate them.
    for (int nTry = 0; nTry < 3; ++nTry) {
        const QTime before = QTime::currentTime();
        const QTime mine = LocalTimeNow();
        const QTime after = QTime::currentTime();
        if (before.second() == after.second()) {
            EXPECT_EQ(mine.hour(), before.hour());
            EXPECT_EQ(mine.minute(), before.minute());
            EXPECT_EQ(mine.second(), before.second());
            return;
        }
    }
    FAIL() << "the clock kept crossing second boundaries";
}

TEST(ConnectionTimeTest, HasNoLeadingZeros)
{
    EXPECT_EQ(ConnectionTable::FormatTime(QTime(9, 5, 7)), "9:5:7");
    EXPECT_EQ(ConnectionTable::FormatTime(QTime(14, 30, 0)), "14:30:0");
    EXPECT_EQ(ConnectionTable::FormatTime(QTime(23, 59, 0)), "23:59:0");
}

}  // namespace
