#pragma once

#include "boundfields.h"

#include <QAbstractTableModel>
#include <QWidget>

class QLabel;
class QTableView;
class RecordCursor;

// One column of a grid.
struct GridColumn {
    QString field;                 // cursor field name
    QString title;                 // column heading; empty: the field name
    int width = 0;                 // pixels (Twips::toPixels); 0: the view's default
    FieldFormat format = FieldFormat::Auto;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    // The widest forms its values take (the longest of a fixed list, a
    // number of so many digits): the column gets at least the room the
    // widest of them needs in the grid's font. A time, a short date and a
    // yes/no column know theirs from the format. Free text has none and may
    // be cut.
    QStringList widest = {};
    bool operator==(const GridColumn&) const = default;
};

// Widest forms of values common to many columns. Each digit counts as the
// grid font's widest digit, so any digits stand for a number of that length.
namespace GridValues {
inline const QString Number = QStringLiteral("999999");   // a whole number, up to six digits
inline const QString Money = QStringLiteral("99999,99");  // money in the "Fixed" format, up to 12345,67
}

// A table model over a record cursor. Reads only the rows on screen through
// RecordCursor::valueAt (the cursor caches pages of rows), so a table of any
// size opens at once. Follows the cursor's rowsReset and rowUpdated signals.
// Editable cells are written at once to that row (RecordCursor::writeField);
// a refused write is reported with ShowError and the cell keeps its stored value.
class CursorGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CursorGridModel(RecordCursor* cursor, QObject* parent = nullptr);

    RecordCursor* recordCursor() const { return m_cursor; }
    // Columns to show; empty (the default): every field of the cursor.
    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return m_columns; }
    // Field name of a model column.
    QString fieldOf(int column) const;
    void setEditable(bool editable) { m_editable = editable; }
    bool isEditable() const { return m_editable; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Re-reads the row set (after the cursor's source changed without signals).
    void reload();

private:
    QList<GridColumn> effectiveColumns() const;
    RecordCursor* m_cursor;
    QList<GridColumn> m_columns;
    QList<GridColumn> m_shown;   // effective columns
    QList<int> m_fieldIndex;     // cursor field index of each shown column
    bool m_editable = false;
};

// A data-bound grid: an optional heading (caption bar) above a table view
// over a record cursor. The grid's current row and the cursor's current row
// stay in step both ways: clicking or moving in the grid moves the cursor
// (which writes pending bound edits first), and moving the cursor (find,
// move, refresh) selects and shows that row in the grid.
//
//   auto* grid = new DataGrid(this);
//   grid->setObjectName("DBGrid1");
//   grid->bindCursor(&DataFrmApEnt);
//   grid->setColumns({{"Os", "OS", Twips::toPixels(600)}, {"Nome", "Cliente"}});
//   grid->setCaption("APARELHOS ENTREGUES");
class DataGrid : public QWidget {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);

    void bindCursor(RecordCursor* cursor);
    RecordCursor* recordCursor() const;
    void setColumns(const QList<GridColumn>& columns);
    // The heading bar; an empty caption hides it.
    void setCaption(const QString& caption);
    QString caption() const;
    // Cells editable in place (default: read-only).
    void setEditable(bool editable);

    QTableView* view() const { return m_view; }
    CursorGridModel* model() const { return m_model; }
    QLabel* captionLabel() const { return m_caption; }

    // Grid column of the current cell, -1 when none.
    int currentColumn() const;
    // Field and stored value of the current cell (the cursor's current row).
    QString currentField() const;
    QVariant currentValue() const;

signals:
    // The current row or column changed (by the operator or the cursor).
    void rowColChanged();
    void cellDoubleClicked(int row, int column);

private:
    // Makes the cursor's row the grid's current row; reselect: selects it
    // again even when it is current already.
    void syncFromCursor(bool reselect = false);
    // Moves the cursor to the grid's current row; a cursor that keeps its row
    // takes the grid back to it.
    void syncToCursor(const QModelIndex& current);
    QLabel* m_caption;
    QTableView* m_view;
    CursorGridModel* m_model = nullptr;
    void applyWidths();
    QList<GridColumn> m_columns;
    bool m_editable = false;
    bool m_syncing = false;
};
