#include "gridmodel.h"

#include "store/recordcursor.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

CursorGridModel::CursorGridModel(RecordCursor* cursor, QObject* parent)
    : QAbstractTableModel(parent), m_cursor(cursor) {
    connect(cursor, &RecordCursor::rowsReset, this, &CursorGridModel::reload);
    connect(cursor, &RecordCursor::rowUpdated, this, [this](int row) {
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(cursor, &QObject::destroyed, this, [this] {
        beginResetModel();
        m_cursor = nullptr;
        m_shown.clear();
        m_fieldIndex.clear();
        endResetModel();
    });
    reload();
}

QList<GridColumn> CursorGridModel::effectiveColumns() const {
    if (!m_columns.isEmpty()) return m_columns;
    QList<GridColumn> all;
    if (m_cursor)
        for (const QString& f : m_cursor->fieldNames()) all.append(GridColumn{f, f});
    return all;
}

void CursorGridModel::reload() {
    beginResetModel();
    m_shown = effectiveColumns();
    m_fieldIndex.clear();
    for (const GridColumn& c : m_shown) m_fieldIndex.append(m_cursor ? m_cursor->fieldIndex(c.field) : -1);
    endResetModel();
}

void CursorGridModel::setColumns(const QList<GridColumn>& columns) {
    m_columns = columns;
    reload();
}

QString CursorGridModel::fieldOf(int column) const {
    return column >= 0 && column < m_shown.size() ? m_shown[column].field : QString();
}

int CursorGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_cursor || !m_cursor->isOpen()) return 0;
    return m_cursor->recordCount();
}

int CursorGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant CursorGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !m_cursor || index.column() >= m_shown.size()) return {};
    const GridColumn& col = m_shown[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        const int field = m_fieldIndex[index.column()];
        if (field < 0) return {};
        QVariant v;
        try {
            v = m_cursor->valueAt(index.row(), field);
        } catch (const DbError&) {
            return {};  // a row that cannot be read shows empty
        }
        return BoundFields::displayText(v, role == Qt::EditRole && col.format != FieldFormat::YesNo
                                               ? FieldFormat::Auto : col.format);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(col.alignment);
    default:
        return {};
    }
}

QVariant CursorGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_shown.size())
        return m_shown[section].title.isEmpty() ? m_shown[section].field : m_shown[section].title;
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) return QString();
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags CursorGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_editable && index.isValid()) f |= Qt::ItemIsEditable;
    return f;
}

bool CursorGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !m_editable || !m_cursor || !index.isValid()) return false;
    const GridColumn& col = m_shown[index.column()];
    const QVariant v = value.typeId() == QMetaType::QString ? BoundFields::editedValue(value.toString(), col.format) : value;
    // An unchanged cell is not written.
    if (v.typeId() == QMetaType::QString && v.toString() == data(index, Qt::EditRole).toString()) return true;
    try {
        m_cursor->writeField(index.row(), col.field, v);
    } catch (const std::exception& e) {
        BoundFields::showWriteError(e);
        emit dataChanged(index, index);
        return false;
    }
    return true;
}

DataGrid::DataGrid(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("Caption"));
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setFrameShape(QFrame::Panel);
    m_caption->setFrameShadow(QFrame::Raised);
    QFont f = m_caption->font();
    f.setBold(true);
    m_caption->setFont(f);
    m_caption->hide();
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("View"));
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    // Fixed row heights: the view never measures the rows it does not show.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    m_view->verticalHeader()->setFixedWidth(14);
    m_view->horizontalHeader()->setHighlightSections(false);
    layout->addWidget(m_caption);
    layout->addWidget(m_view, 1);
    setFocusProxy(m_view);
    connect(m_view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit cellDoubleClicked(i.row(), i.column()); });
}

void DataGrid::bindCursor(RecordCursor* cursor) {
    CursorGridModel* old = m_model;
    m_model = new CursorGridModel(cursor, this);
    m_model->setEditable(m_editable);
    if (!m_columns.isEmpty()) m_model->setColumns(m_columns);
    m_view->setModel(m_model);
    delete old;
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (current.row() != previous.row()) syncToCursor(current);
                emit rowColChanged();
            });
    // Connected after the model's own reset, so the rows are there.
    connect(cursor, &RecordCursor::rowsReset, this, &DataGrid::applyWidths);
    connect(cursor, &RecordCursor::currentChanged, this, &DataGrid::syncFromCursor);
    applyWidths();
    syncFromCursor();
}

RecordCursor* DataGrid::recordCursor() const { return m_model ? m_model->recordCursor() : nullptr; }

void DataGrid::setColumns(const QList<GridColumn>& columns) {
    m_columns = columns;
    if (!m_model) return;
    m_model->setColumns(columns);
    applyWidths();
    syncFromCursor();
}

void DataGrid::applyWidths() {
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].width > 0) m_view->setColumnWidth(i, m_columns[i].width);
}

void DataGrid::setCaption(const QString& caption) {
    m_caption->setText(caption);
    m_caption->setVisible(!caption.isEmpty());
}

QString DataGrid::caption() const { return m_caption->text(); }

void DataGrid::setEditable(bool editable) {
    m_editable = editable;
    if (m_model) m_model->setEditable(editable);
    m_view->setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                           QAbstractItemView::AnyKeyPressed
                                     : QAbstractItemView::NoEditTriggers);
}

int DataGrid::currentColumn() const {
    const QModelIndex i = m_view->currentIndex();
    return i.isValid() ? i.column() : -1;
}

QString DataGrid::currentField() const { return m_model ? m_model->fieldOf(currentColumn()) : QString(); }

QVariant DataGrid::currentValue() const {
    RecordCursor* cursor = recordCursor();
    if (!cursor || !cursor->hasCurrent()) return {};
    const QString f = currentField();
    if (f.isEmpty()) return {};
    try {
        return cursor->field(f);
    } catch (const DbError&) {
        return {};
    }
}

void DataGrid::syncFromCursor() {
    RecordCursor* cursor = recordCursor();
    if (m_syncing || !cursor) return;
    const int pos = cursor->absolutePosition();
    const QModelIndex cur = m_view->currentIndex();
    if (pos < 0 || pos >= m_model->rowCount() || m_model->columnCount() == 0) return;
    if (cur.isValid() && cur.row() == pos) return;
    m_syncing = true;
    const QModelIndex target = m_model->index(pos, cur.isValid() ? cur.column() : 0);
    m_view->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(target);
    m_syncing = false;
}

void DataGrid::syncToCursor(const QModelIndex& current) {
    RecordCursor* cursor = recordCursor();
    if (m_syncing || !cursor || !current.isValid()) return;
    if (current.row() == cursor->absolutePosition()) return;
    m_syncing = true;
    try {
        cursor->setAbsolutePosition(current.row());
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível ler este Registro.")}, ErrorInfo::from(e), QStringLiteral("%1 %2 %3"));
    }
    m_syncing = false;
}
