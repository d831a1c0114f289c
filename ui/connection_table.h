#pragma once

#include <QString>
#include <QTime>

class CClientSocket;
class CListCtrl;

// The connection table's layout and the procedures that the listener, the pairs and the main
// window perform on it. The list control is the table's only store: one row per registered
// connection, newest at the top, four columns (address, port, status, time of arrival), the
// connection's CClientSocket as the row's item data. Rows are found by linear scans from the top.
namespace ConnectionTable {

inline const QString kStatusConnected = QStringLiteral("Connected");
inline const QString kStatusFailed = QStringLiteral("Failed to Connect");
inline const QString kStatusDisconnected = QStringLiteral("Disconnected");

// Once, while the window is initialised: exactly grid lines and full-row selection, and the four
// columns sharing the client width 3:2:2:3 (signed 32-bit arithmetic, truncated).
void SetUpColumns(CListCtrl &table);

// Inserts the connection's row at the top: address, port and time; the status stays empty.
void AddRow(CListCtrl &table, const QString &strAddress, const QString &strPort,
            const QString &strTime, CClientSocket *pSocket);

// The first row whose item data is pSocket, or -1.
int FindRow(const CListCtrl &table, const CClientSocket *pSocket);
// The first selected row, or -1.
int FindSelectedRow(const CListCtrl &table);

// Writes the status of nRow and repaints the whole table; nothing for nRow -1.
void SetStatus(CListCtrl &table, int nRow, const QString &strStatus);

// Deletes pSocket's row if there is one. The socket itself is left alone.
void RemoveRow(CListCtrl &table, const CClientSocket *pSocket);

// Deletes every row. The caller has already closed and deleted the rows' connections.
void RemoveAll(CListCtrl &table);

// "%d:%d:%d" of hour, minute and second, without leading zeros.
QString FormatTime(const QTime &time);

}  // namespace ConnectionTable
