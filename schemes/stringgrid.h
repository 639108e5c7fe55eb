#pragma once
// A two-column text table addressed like a string grid: row 0 is the header row, data
// rows are 1 and following, `Cells(column, row)`. The rows live in one list, so loading
// or sorting many thousands of rows is one model reset, not one item per cell.

#include "schemes/proposaltable.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QTableView>
#include <functional>

class ProposalGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QList<ProposalRow> &rows() const { return m_rows; }
    void setRows(QList<ProposalRow> rows);
    // One row at the end, or one row fewer, keeping the view's place and current cell.
    void appendRow();
    void removeRow(int row);
    void setCell(int row, int column, const QString &text);
    void setHeader(int column, const QString &text);
    void setHeaderImage(int column, const QIcon &image);

private:
    QList<ProposalRow> m_rows;
    std::array<QString, 2> m_header;
    std::array<QIcon, 2> m_headerImage;
};

class TStringGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TStringGrid(QWidget *parent = nullptr);

    // Rows including the header row.
    int RowCount() const { return int(m_model.rows().size()) + 1; }
    void SetRowCount(int count);
    QString Cells(int column, int row) const;
    void SetCells(int column, int row, const QString &text);
    // The current cell; row 0 when there is none.
    int Col() const;
    int Row() const;
    void SetCurrent(int column, int row);

    // The data rows (grid row 1 is index 0), read and replaced as a whole.
    const QList<ProposalRow> &dataRows() const { return m_model.rows(); }
    void setDataRows(QList<ProposalRow> rows) { m_model.setRows(std::move(rows)); }
    void AddRow() { m_model.appendRow(); }
    // Deletes grid row `row` (1 and following).
    void DeleteRow(int row) { m_model.removeRow(row - 1); }

    void SetHeaderText(int column, const QString &text) { m_model.setHeader(column, text); }
    void SetHeaderImage(int column, const QIcon &image) { m_model.setHeaderImage(column, image); }
    ProposalGridModel &model() { return m_model; }

    // Writes the text of an open cell editor into its cell, so commands see it.
    void commitEditing();
    // Scrolls back so that column 0 is the first visible column.
    void scrollToLeft();

    // Called before a cell becomes the current one (column, grid row).
    std::function<void(int, int)> OnSelectCell;
    // Every mouse press in the table: the button and the header column pressed, -1 for
    // a press on the body.
    std::function<void(Qt::MouseButton, int)> OnMouseDown;
    std::function<void()> OnClick;

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ProposalGridModel m_model;
};
