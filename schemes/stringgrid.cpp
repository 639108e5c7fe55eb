#include "schemes/stringgrid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

int ProposalGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ProposalGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ProposalGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return m_rows[index.row()][index.column()];
}

bool ProposalGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    setCell(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags ProposalGridModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant ProposalGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section > 1)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_header[section];
    if (role == Qt::DecorationRole && !m_headerImage[section].isNull())
        return m_headerImage[section];
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}

void ProposalGridModel::setRows(QList<ProposalRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void ProposalGridModel::appendRow()
{
    const int row = int(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append(ProposalRow());
    endInsertRows();
}

void ProposalGridModel::removeRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void ProposalGridModel::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column > 1)
        return;
    if (m_rows[row][column] == text)
        return;
    m_rows[row][column] = text;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void ProposalGridModel::setHeader(int column, const QString &text)
{
    m_header[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void ProposalGridModel::setHeaderImage(int column, const QIcon &image)
{
    if (m_headerImage[column].isNull() && image.isNull())
        return;
    m_headerImage[column] = image;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

TStringGrid::TStringGrid(QWidget *parent) : QTableView(parent), m_model(this)
{
    setModel(&m_model);
    verticalHeader()->hide();
    // Uniform rows: no per-row measuring, however long the table.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->viewport()->installEventFilter(this);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setWordWrap(false);
}

void TStringGrid::SetRowCount(int count)
{
    QList<ProposalRow> rows = m_model.rows();
    rows.resize(qMax(0, count - 1));
    m_model.setRows(std::move(rows));
}

QString TStringGrid::Cells(int column, int row) const
{
    if (row < 1 || row > m_model.rows().size() || column < 0 || column > 1)
        return QString();
    return m_model.rows()[row - 1][column];
}

void TStringGrid::SetCells(int column, int row, const QString &text)
{
    m_model.setCell(row - 1, column, text);
}

int TStringGrid::Col() const
{
    return qMax(0, currentIndex().column());
}

int TStringGrid::Row() const
{
    return currentIndex().isValid() ? currentIndex().row() + 1 : 0;
}

void TStringGrid::SetCurrent(int column, int row)
{
    setCurrentIndex(m_model.index(row - 1, column));
}

void TStringGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // Before the base class opens the cell's editor, so the editor shows the new text.
    if (current.isValid() && OnSelectCell)
        OnSelectCell(current.column(), current.row() + 1);
    QTableView::currentChanged(current, previous);
}

void TStringGrid::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        OnMouseDown(event->button(), -1);
    QTableView::mousePressEvent(event);
}

void TStringGrid::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && OnClick)
        OnClick();
}

bool TStringGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *press = static_cast<QMouseEvent *>(event);
        QHeaderView *header = horizontalHeader();
        const int x = int(press->position().x());
        int column = header->logicalIndexAt(x);
        // A press on a section's edge starts resizing that column; it sorts nothing.
        if (column >= 0) {
            const int left = header->sectionViewportPosition(column);
            const int right = left + header->sectionSize(column);
            if (x - left < 4 || right - x < 4)
                column = -2;
        }
        if (OnMouseDown)
            OnMouseDown(press->button(), column);
    }
    return QTableView::eventFilter(watched, event);
}

void TStringGrid::commitEditing()
{
    // The cell editors are the viewport's child widgets.
    const auto editors = viewport()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *editor : editors) {
        if (editor->isVisible() && editor->inherits("QLineEdit"))
            commitData(editor);
    }
}

void TStringGrid::scrollToLeft()
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
}
