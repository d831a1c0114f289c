#include "platform/list_ctrl.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTimer>

// What the view shows: a copy of the rows as they were at the last update. Rows are replaced
// all at once, so the view lays itself out once per update.
class CListCtrl::ViewModel : public QAbstractTableModel
{
public:
    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
            return {};
        const Row &row = m_rows[static_cast<std::size_t>(index.row())];
        const auto nCol = static_cast<std::size_t>(index.column());
        return nCol < row.texts.size() ? row.texts[nCol] : QString();
    }
    QVariant headerData(int nSection, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && nSection >= 0 &&
            nSection < static_cast<int>(m_headings.size()))
            return m_headings[static_cast<std::size_t>(nSection)];
        if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex &) const override
    {
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    }

    void SetHeadings(const std::vector<QString> &headings)
    {
        const int nOld = static_cast<int>(m_headings.size());
        const int nNew = static_cast<int>(headings.size());
        if (nNew > nOld) {
            beginInsertColumns(QModelIndex(), nOld, nNew - 1);
            m_headings = headings;
            endInsertColumns();
        } else {
            m_headings = headings;
            emit headerDataChanged(Qt::Horizontal, 0, nNew - 1);
        }
    }

    void SetRows(const std::vector<Row> &rows)
    {
        if (!m_rows.empty()) {
            beginRemoveRows(QModelIndex(), 0, static_cast<int>(m_rows.size()) - 1);
            m_rows.clear();
            endRemoveRows();
        }
        if (!rows.empty()) {
            beginInsertRows(QModelIndex(), 0, static_cast<int>(rows.size()) - 1);
            m_rows = rows;
            endInsertRows();
        }
    }

    std::uint64_t IdAt(int nRow) const
    {
        return nRow >= 0 && nRow < static_cast<int>(m_rows.size())
                   ? m_rows[static_cast<std::size_t>(nRow)].nId
                   : 0;
    }
    int RowOf(std::uint64_t nId) const
    {
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            if (m_rows[i].nId == nId)
                return static_cast<int>(i);
        return -1;
    }

private:
    std::vector<Row> m_rows;
    std::vector<QString> m_headings;
};

CListCtrl::CListCtrl() : m_pModel(std::make_unique<ViewModel>()) {}

CListCtrl::~CListCtrl()
{
    QObject::disconnect(m_selectionWatch);
    if (View())
        View()->setModel(nullptr);
}

QTableView *CListCtrl::View() const
{
    return static_cast<QTableView *>(m_hWnd);
}

void CListCtrl::PreSubclassWindow()
{
    View()->setModel(m_pModel.get());
    m_selectionWatch =
        QObject::connect(View()->selectionModel(), &QItemSelectionModel::selectionChanged, View(),
                         [this] { ViewSelectionChanged(); });
    CWnd::PreSubclassWindow();
}

void CListCtrl::ViewSelectionChanged()
{
    if (m_bUpdatingView)
        return;  // the update itself restores the selection
    const QModelIndexList rows = View()->selectionModel()->selectedRows();
    m_nSelectedId = rows.isEmpty() ? 0 : m_pModel->IdAt(rows.first().row());
}

void CListCtrl::Changed()
{
    if (m_bUpdateScheduled)
        return;
    m_bUpdateScheduled = true;
    QTimer::singleShot(View()->isVisible() ? kRepaintIntervalMs : 0, View(), [this] {
        m_bUpdateScheduled = false;
        UpdateView();
    });
}

void CListCtrl::UpdateView()
{
    m_bUpdatingView = true;
    m_pModel->SetRows(m_rows);
    const int nSelected = m_nSelectedId ? m_pModel->RowOf(m_nSelectedId) : -1;
    if (nSelected >= 0)
        View()->selectionModel()->select(m_pModel->index(nSelected, 0),
                                         QItemSelectionModel::ClearAndSelect |
                                             QItemSelectionModel::Rows);
    else
        View()->selectionModel()->clearSelection();
    m_bUpdatingView = false;
    View()->viewport()->update();
}

void CListCtrl::SetExtendedStyle(std::uint32_t dwExStyle)
{
    m_dwExStyle = dwExStyle;
    View()->setShowGrid((dwExStyle & LVS_EX_GRIDLINES) != 0);
    View()->setSelectionBehavior((dwExStyle & LVS_EX_FULLROWSELECT)
                                     ? QAbstractItemView::SelectRows
                                     : QAbstractItemView::SelectItems);
}

int CListCtrl::InsertColumn(int nCol, const QString &strHeading, int)
{
    nCol = std::clamp(nCol, 0, static_cast<int>(m_headings.size()));
    m_headings.insert(m_headings.begin() + nCol, strHeading);
    for (Row &row : m_rows)
        row.texts.insert(row.texts.begin() + std::min<std::size_t>(nCol, row.texts.size()),
                         QString());
    m_pModel->SetHeadings(m_headings);
    return nCol;
}

void CListCtrl::SetColumnWidth(int nCol, int cx)
{
    View()->setColumnWidth(nCol, static_cast<std::int16_t>(static_cast<std::uint16_t>(cx)));
}

int CListCtrl::GetColumnWidth(int nCol) const
{
    return View()->columnWidth(nCol);
}

int CListCtrl::GetColumnCount() const
{
    return static_cast<int>(m_headings.size());
}

QString CListCtrl::GetColumnHeading(int nCol) const
{
    return nCol >= 0 && nCol < GetColumnCount() ? m_headings[static_cast<std::size_t>(nCol)]
                                                : QString();
}

int CListCtrl::GetItemCount() const
{
    return static_cast<int>(m_rows.size());
}

int CListCtrl::InsertItem(int nItem, const QString &strItem)
{
    nItem = std::clamp(nItem, 0, GetItemCount());
    Row row{m_nNextId++, std::vector<QString>(std::max<std::size_t>(m_headings.size(), 1)), 0};
    row.texts[0] = strItem;
    m_rows.insert(m_rows.begin() + nItem, std::move(row));
    Changed();
    return nItem;
}

bool CListCtrl::SetItemText(int nItem, int nSubItem, const QString &strText)
{
    if (!ValidRow(nItem) || nSubItem < 0 || nSubItem >= std::max(GetColumnCount(), 1))
        return false;
    std::vector<QString> &texts = m_rows[static_cast<std::size_t>(nItem)].texts;
    if (static_cast<std::size_t>(nSubItem) >= texts.size())
        texts.resize(static_cast<std::size_t>(nSubItem) + 1);
    texts[static_cast<std::size_t>(nSubItem)] = strText;
    Changed();
    return true;
}

QString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    if (!ValidRow(nItem) || nSubItem < 0)
        return {};
    const std::vector<QString> &texts = m_rows[static_cast<std::size_t>(nItem)].texts;
    return static_cast<std::size_t>(nSubItem) < texts.size()
               ? texts[static_cast<std::size_t>(nSubItem)]
               : QString();
}

bool CListCtrl::SetItemData(int nItem, std::uintptr_t dwData)
{
    if (!ValidRow(nItem))
        return false;
    m_rows[static_cast<std::size_t>(nItem)].dwData = dwData;
    return true;
}

std::uintptr_t CListCtrl::GetItemData(int nItem) const
{
    return ValidRow(nItem) ? m_rows[static_cast<std::size_t>(nItem)].dwData : 0;
}

std::uint32_t CListCtrl::GetItemState(int nItem, std::uint32_t nMask) const
{
    if (!(nMask & LVIS_SELECTED) || !ValidRow(nItem) || m_nSelectedId == 0)
        return 0;
    return m_rows[static_cast<std::size_t>(nItem)].nId == m_nSelectedId ? LVIS_SELECTED : 0;
}

bool CListCtrl::SetItemState(int nItem, std::uint32_t nState, std::uint32_t nMask)
{
    if (!(nMask & LVIS_SELECTED) || !ValidRow(nItem))
        return false;
    const std::uint64_t nId = m_rows[static_cast<std::size_t>(nItem)].nId;
    if (nState & LVIS_SELECTED)
        m_nSelectedId = nId;
    else if (m_nSelectedId == nId)
        m_nSelectedId = 0;
    Changed();
    return true;
}

bool CListCtrl::DeleteItem(int nItem)
{
    if (!ValidRow(nItem))
        return false;
    if (m_rows[static_cast<std::size_t>(nItem)].nId == m_nSelectedId)
        m_nSelectedId = 0;
    m_rows.erase(m_rows.begin() + nItem);
    Changed();
    return true;
}

bool CListCtrl::DeleteAllItems()
{
    m_rows.clear();
    m_nSelectedId = 0;
    Changed();
    return true;
}

void CListCtrl::Invalidate(bool)
{
    Changed();
}
