#include "gridmodel.h"

#include "store/recordcursor.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <list>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QtMath>
#include <QRawFont>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The room a cell leaves on each side of its text.
int cellMargin(const QWidget* view) {
    const QStyle* style = view ? view->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
}

// The pixels a cell's text takes in a font, laid out either way a cell is
// painted: with the font's kerning, or glyph by glyph without it. A digit
// counts as the font's widest digit.
int cellTextWidth(const QFontMetricsF& metrics, QString text) {
    QChar widestDigit = QLatin1Char('0');
    for (char d = '1'; d <= '9'; ++d)
        if (metrics.horizontalAdvance(QLatin1Char(d)) > metrics.horizontalAdvance(widestDigit)) widestDigit = QLatin1Char(d);
    for (QChar& c : text)
        if (c.isDigit()) c = widestDigit;
    qreal glyphs = 0;
    for (QChar c : text) glyphs += metrics.horizontalAdvance(c);
    return qCeil(std::max(metrics.horizontalAdvance(text), glyphs));
}

// The widest forms of a column's values: its own, or those of its format.
QStringList widestOf(const GridColumn& column) {
    if (!column.widest.isEmpty()) return column.widest;
    switch (column.format) {
    case FieldFormat::Time: return {BoundFields::displayText(QTime(23, 59, 59), column.format)};
    case FieldFormat::ShortDate: return {BoundFields::displayText(QDate(2026, 12, 28), column.format)};
    case FieldFormat::YesNo:
        return {BoundFields::displayText(true, column.format), BoundFields::displayText(false, column.format)};
    default: return {};
    }
}

// Paints the cells of a grid. The text of a cell is drawn from the font's
// glyphs, looked up once per character, instead of being laid out again on
// every paint: a grid shows short Latin texts, and the layout was most of the
// time of a page. Texts with characters the font lacks (or outside the
// Latin letters) and cells being edited go the usual way.
class QuickTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        // A plain text cell: no colours, font, check box or picture of its own.
        const QVariant display = index.data(Qt::DisplayRole);
        const bool plain = display.typeId() == QMetaType::QString && !index.data(Qt::ForegroundRole).isValid() &&
                           !index.data(Qt::BackgroundRole).isValid() && !index.data(Qt::FontRole).isValid() &&
                           !index.data(Qt::CheckStateRole).isValid() && !index.data(Qt::DecorationRole).isValid() &&
                           !option.features.testFlag(QStyleOptionViewItem::Alternate) &&
                           !option.features.testFlag(QStyleOptionViewItem::WrapText);
        const QString text = plain ? display.toString() : QString();
        const Glyphs* g = plain && plainLatin(text) ? &glyphsFor(option.font) : nullptr;
        if (!g || !g->font.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (option.state & QStyle::State_Active) ? QPalette::Normal
                                                                                   : QPalette::Inactive;
        const bool selected = option.state & QStyle::State_Selected;
        // The view has filled the cell with the base colour already.
        if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        const QVariant align = index.data(Qt::TextAlignmentRole);
        const Qt::Alignment alignment =
            align.isValid() ? Qt::Alignment(align.toInt()) : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
        if (!text.isEmpty() &&
            !drawText(painter, option, style, *g, text, QStyle::visualAlignment(option.direction, alignment),
                      option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text))) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
            focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        }
    }

private:
    struct Glyphs {
        QRawFont font;
        QHash<char16_t, std::pair<quint32, qreal>> byChar;   // glyph and advance
        quint32 ellipsis = 0;
        qreal ellipsisAdvance = 0;
    };

    static bool plainLatin(const QString& s) {
        for (QChar c : s)
            if (c.unicode() < 0x20 || c.unicode() > 0x24F) return false;
        return true;
    }

    const Glyphs& glyphsFor(const QFont& font) const {
        if (m_last && font == m_lastFont) return *m_last;
        m_lastFont = font;
        m_last = &lookUp(font);
        return *m_last;
    }

    const Glyphs& lookUp(const QFont& font) const {
        const QString key = font.key();
        if (Glyphs* known = m_glyphs.value(key)) return *known;
        Glyphs g;
        g.font = QRawFont::fromFont(font);
        if (g.font.isValid()) {
            const QList<quint32> e = g.font.glyphIndexesForString(QString(QChar(0x2026)));
            if (!e.isEmpty() && e[0] != 0) {
                g.ellipsis = e[0];
                g.ellipsisAdvance = g.font.advancesForGlyphIndexes(e).value(0).x();
            }
        }
        m_fonts.push_back(std::move(g));
        m_glyphs.insert(key, &m_fonts.back());
        return m_fonts.back();
    }

    // Draws text in the cell's text rectangle; false when the font lacks a character.
    bool drawText(QPainter* painter, const QStyleOptionViewItem& opt, QStyle* style, const Glyphs& cg,
                  const QString& text, Qt::Alignment align, const QColor& colour) const {
        auto& g = const_cast<Glyphs&>(cg);
        QList<quint32> glyphs;
        QList<QPointF> positions;
        glyphs.reserve(text.size() + 1);
        positions.reserve(text.size() + 1);
        const int margin = cellMargin(opt.widget);
        const QRect rect = opt.rect.adjusted(margin, 0, -margin, 0);
        qreal x = 0;
        qreal elideAt = -1;
        int kept = -1;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            auto it = g.byChar.find(c);
            if (it == g.byChar.end()) {
                const QList<quint32> one = g.font.glyphIndexesForString(QString(QChar(c)));
                if (one.size() != 1 || one[0] == 0) return false;
                it = g.byChar.insert(c, {one[0], g.font.advancesForGlyphIndexes(one).value(0).x()});
            }
            // Where the text would end with an ellipsis, kept while it still fits.
            if (x + g.ellipsisAdvance <= rect.width()) {
                elideAt = x;
                kept = int(i);
            }
            glyphs.append(it->first);
            positions.append(QPointF(x, 0));
            x += it->second;
        }
        if (x > rect.width()) {
            if (g.ellipsis == 0) return false;
            glyphs.resize(std::max(kept, 0));
            positions.resize(std::max(kept, 0));
            glyphs.append(g.ellipsis);
            positions.append(QPointF(std::max<qreal>(elideAt, 0), 0));
            x = std::max<qreal>(elideAt, 0) + g.ellipsisAdvance;
        }
        qreal left = rect.left();
        if (align & Qt::AlignRight) left = rect.right() + 1 - x;
        else if (align & Qt::AlignHCenter) left = rect.left() + (rect.width() - x) / 2;
        const qreal ascent = g.font.ascent(), descent = g.font.descent();
        // Whole pixels, as the style's own text layout places the line.
        qreal baseline = rect.top() + int((rect.height() - qCeil(ascent + descent)) / 2) + qRound(ascent);
        if (align & Qt::AlignTop) baseline = rect.top() + ascent;
        else if (align & Qt::AlignBottom) baseline = rect.bottom() + 1 - descent;
        QGlyphRun run;
        run.setRawFont(g.font);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        // The text was cut to the cell's width and a line fits its height:
        // no clipping needed. The pen is the view's to set for each cell.
        if (painter->pen().color() != colour) painter->setPen(colour);
        painter->drawGlyphRun(QPointF(left, baseline), run);
        return true;
    }

    // Nodes of a QHash move when it grows: the fonts live in a list.
    mutable std::list<Glyphs> m_fonts;
    mutable QHash<QString, Glyphs*> m_glyphs;
    mutable QFont m_lastFont;
    mutable const Glyphs* m_last = nullptr;
};

} // namespace

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
    m_view->setItemDelegate(new QuickTextDelegate(m_view));
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
    connect(cursor, &RecordCursor::currentChanged, this, [this] { syncFromCursor(); });
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
    // A column keeps its given width unless its title or the widest form of
    // its values needs more: then it gets just the room that needs. A cell
    // shows its text inside its margins, on the column less its grid line.
    QHeaderView* header = m_view->horizontalHeader();
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int cellRoom = 2 * cellMargin(m_view) + (m_view->showGrid() ? 1 : 0);
    const QFontMetricsF cells(m_view->font());
    for (int i = 0; i < m_columns.size(); ++i) {
        const int given = m_columns[i].width > 0 ? m_columns[i].width : m_view->columnWidth(i);
        const QString title = m_model ? m_model->headerData(i, Qt::Horizontal).toString() : m_columns[i].title;
        int need = header->fontMetrics().horizontalAdvance(title) + margins;
        for (const QString& value : widestOf(m_columns[i])) need = std::max(need, cellTextWidth(cells, value) + cellRoom);
        m_view->setColumnWidth(i, std::max(given, need));
    }
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

void DataGrid::syncFromCursor(bool reselect) {
    RecordCursor* cursor = recordCursor();
    if (m_syncing || !cursor) return;
    const int pos = cursor->absolutePosition();
    const QModelIndex cur = m_view->currentIndex();
    if (pos < 0 || pos >= m_model->rowCount() || m_model->columnCount() == 0) return;
    if (cur.isValid() && cur.row() == pos && !reselect) return;
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
    if (cursor->absolutePosition() == current.row()) return;
    // The cursor stayed on its row (its edit could not be written): the grid
    // goes back to it, now and once the click that chose the other row is over.
    syncFromCursor();
    QMetaObject::invokeMethod(this, [this] { syncFromCursor(true); }, Qt::QueuedConnection);
}
