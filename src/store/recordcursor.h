#pragma once

#include "currency.h"
#include "database.h"

#include <QDate>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <vector>

// A record cursor on a table or on a SELECT statement of one table.
//
// Keyset semantics: opening counts the rows and notes the largest key; the
// keys (rowids) of the rows in their order are read a page at a time as the
// cursor moves or a grid shows them, each page seeking from a neighbouring
// key already read, so rows other copies add later are not part of the
// cursor and rows they delete are not read twice or skipped. A row's values
// are read when it becomes current or is shown, so other copies' changes
// show when a row is read again. No statement is kept open between calls.
//
// Field values come as QVariant: text and memo as QString, whole numbers as
// qlonglong, currency as Currency, dates as QDate, times as QTime, yes/no as
// bool; an empty (NULL) field is an invalid QVariant. Field names are matched
// without regard to case.
class RecordCursor : public QObject {
    Q_OBJECT
public:
    enum class EditMode { None, Edit, Add };

    explicit RecordCursor(QObject* parent = nullptr);
    ~RecordCursor() override;

    // Where and what: set these, then refresh().
    void setDatabaseName(const QString& path) { m_path = path; }
    QString databaseName() const { return m_path; }
    void setConnect(const QString& connect) { m_connect = connect; }
    // A table name, or "SELECT ... FROM Table [WHERE ...] [ORDER BY ...]".
    void setRecordSource(const QString& source) { m_source = source; }
    QString recordSource() const { return m_source; }

    // Opens (or re-reads) the cursor and moves to its first row. Throws DbError.
    void refresh();
    // Convenience: database, connect, source and refresh in one call.
    void open(const QString& path, const QString& source,
              const QString& connect = QStringLiteral("Access 2000;"));
    // Re-runs the keyset query keeping the current row when it still exists.
    void requery();
    // Reads the current row again (another window changed it); the rows and
    // the query stay as they are.
    void rereadCurrent();
    // Releases the cursor and its share of the connection.
    void close();
    bool isOpen() const { return m_open; }
    Database& database() { return m_db; }

    // Position.
    bool bof() const;
    bool eof() const;
    // A current row exists (not before the first, after the last, or deleted).
    bool hasCurrent() const { return m_pos >= 0 && m_pos < int(m_keys.size()) && !m_eofFlag && !m_bofFlag && !m_gap; }
    int recordCount() const { return int(m_keys.size()); }
    int absolutePosition() const { return hasCurrent() ? m_pos : -1; }
    void setAbsolutePosition(int index);
    void moveFirst();
    void moveLast();
    void moveNext();
    qint64 currentKey() const;       // rowid of the current row, -1 when none
    qint64 keyAt(int index) const;
    int indexOfKey(qint64 key) const; // -1 when not in the cursor

    // Find first (in cursor order) a row matching a criterion in the desktop dialect.
    // A failed find leaves the current row where it was. Throws DbError on a
    // malformed criterion.
    bool findFirst(const QString& criterion);
    bool noMatch() const { return m_noMatch; }

    // Fields of the current row.
    QVariant field(const QString& name) const;
    QString text(const QString& name) const { return field(name).toString(); }
    qlonglong number(const QString& name) const { return field(name).toLongLong(); }
    Currency currency(const QString& name) const;
    QDate date(const QString& name) const { return field(name).toDate(); }
    QTime time(const QString& name) const { return field(name).toTime(); }
    bool yesNo(const QString& name) const;   // True only for a stored non-zero
    QStringList fieldNames() const { return m_fieldNames; }
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    int fieldIndex(const QString& name) const;

    // Values of any row (for grids): reads a page around it, cached.
    QVariant valueAt(int index, int column) const;
    QVariantList rowAt(int index) const;

    // Writing. After update() of a new row the row joins the end of the
    // cursor and the row that was current stays current (the new key is
    // returned and kept in lastInsertKey()). After deleteCurrent() there is
    // no current row until the next move; moveNext() reaches the row that
    // followed the deleted one.
    void addNew();
    void edit();
    void setField(const QString& name, const QVariant& value);
    // Commits the edit or the new row; returns the row's key.
    qint64 update();
    void cancelUpdate();
    void deleteCurrent();
    EditMode editMode() const { return m_mode; }
    qint64 lastInsertKey() const { return m_lastInsert; }
    // Writes one field of the row at index straight away (grid cell edit).
    void writeField(int index, const QString& name, const QVariant& value);

    // Called from a handler of aboutToMove() whose write of the current row
    // failed: the move, refresh or requery does not happen and the row stays
    // current (a find then returns false). close() closes all the same.
    void keepCurrent() { m_keepCurrent = true; }

    // The table the cursor reads and writes.
    QString tableName() const { return m_table; }

    // Rows read at a time, keys and values alike (tests make it small to
    // reach page edges with few rows).
    static void setPageSize(int rows);
    static int pageSize();

signals:
    // Before the current row changes or the cursor closes/refreshes: bound
    // fields write their pending edits here (see keepCurrent()).
    void aboutToMove();
    // After the current row changed (also after refresh, add, delete).
    void currentChanged();
    // After the set of rows changed (refresh, requery, add, delete).
    void rowsReset();
    // A row's stored values changed (update or cell write).
    void rowUpdated(int index);

private:
    // After update() wrote the current or a new row: the row is announced
    // (currentChanged, and rowUpdated or rowsReset) once the write is stored,
    // after the outermost transaction commits; a rollback puts the cursor
    // back as it was before the write, announcing nothing.
    struct BeforeWrite {
        std::size_t keys;
        int pos;
        bool bof, eof, gap;
        qint64 lastInsert;
        QVariantList current;
    };
    BeforeWrite beforeWrite() const;
    void announceWhenStored(const BeforeWrite& before, bool added);

    void ensureOpen(const char* op) const;
    void requireCurrent(const char* op) const;
    // Emits aboutToMove(); false when a handler kept the current row.
    bool leaveCurrent();
    // Moves to pos unless the current row is kept; true when it moved.
    bool setPos(int pos);
    void loadCurrent() const;
    QVariantList readRow(qint64 key) const;
    void finalizeRowStatement() const;
    void finalizeFindStatement() const;
    int requireField(const QString& name) const;
    // Counts the rows of the source and forgets the keys read.
    void readKeys();
    QVariant convert(int column, const QVariant& stored) const;
    // convert() of a statement column, read straight from the statement.
    QVariant readColumn(struct sqlite3_stmt* st, int stmtColumn, int column) const;
    QVariant toStorage(int column, const QVariant& value) const;

    QString m_path;
    QString m_connect = QStringLiteral("Access 2000;");
    QString m_source;
    Database m_db;
    bool m_open = false;

    QString m_openedPath;
    QString m_columns;    // select list
    QString m_table;      // base table
    QString m_where;      // translated WHERE clause, may be empty
    QString m_orderBy;    // translated ORDER BY clause, may be empty
    QStringList m_fieldNames;
    // How each field's value is stored and read, from its declared type.
    enum class Kind : unsigned char { Plain, Text, Currency, YesNo, Date, Time };
    std::vector<Kind> m_kinds;
    // The keys in cursor order: the first m_ordered in the source's order,
    // read a page at a time (NoKey where not read yet), then the rows this
    // cursor added. Rows keyed above m_keyLimit were added by other copies
    // after the keys were counted and are not part of the cursor.
    mutable std::vector<qint64> m_keys;
    mutable int m_ordered = 0;
    qint64 m_keyLimit = 0;
    struct OrderTerm {
        QString expr;
        bool desc = false;
    };
    std::vector<OrderTerm> m_terms;           // the ORDER BY, rowid last
    mutable int m_firstTermNulls = -1;        // the first term holds NULLs: -1 not asked yet
    mutable int m_firstTermIndexed = -1;      // an index begins with the first term: -1 not asked yet
    bool firstTermIndexed() const;
    // The key at index, its page read first when needed; NoKey when none.
    qint64 keyOf(int index) const;
    // Reads the page of keys holding index (index not read yet).
    void readKeyPage(int index) const;
    // Up to limit keys of the ordered rows strictly between slots lo and hi
    // (-1 and m_ordered for the ends), skipping skip of them, walking from lo
    // forwards or from hi backwards; in cursor order. False when the row at
    // the bound it walks from is gone.
    bool readKeyRange(int lo, int hi, bool forward, int skip, int limit, std::vector<qint64>& out) const;
    // The order values of the row keyed key; false when it is gone or not in the source.
    bool orderValues(qint64 key, QVariantList& values) const;
    // "The row comes after (before) the row with these values and key" in cursor order.
    QString seekCondition(const QVariantList& values, qint64 key, bool after, QVariantList& binds) const;
    QString orderClause(bool reversed) const;
    bool firstTermHasNulls() const;
    // How many of the ordered rows come before the row with these order values and key.
    int countBefore(const QVariantList& values, qint64 key) const;
    // The same on keys unchanged since they were counted, counting the rows
    // on whichever side of the row is shorter.
    int countNearerSide(const QVariantList& values, qint64 key) const;
    // Where the row keyed key stands among the ordered rows, -1 when not there.
    int orderedIndexOf(qint64 key) const;
    // What the keys were read from: unchanged, a refresh keeps them.
    QString m_keysSource;
    qint64 m_keysDataVersion = -1;
    qint64 m_keysOwnChanges = -1;
    bool keysStillCurrent() const;
    void noteKeysRead();
    // "Field LIKE 'prefix*'" on a text field: the prefix's index range first;
    // for a find (firstInOrder) only when the cursor's order begins with the field.
    QString withPrefixRange(const QString& criterion, bool firstInOrder) const;
    // The last find's criterion and its statement (prepared, kept reset).
    QString m_findCriterion;
    mutable QString m_findSql;
    mutable struct sqlite3_stmt* m_findStmt = nullptr;
    mutable int m_keyHint = -1;   // the slot indexOfKey() found last
    mutable int m_pos = -1;   // moves up when rows read later turn out deleted
    bool m_gap = false;   // the current row was deleted; m_pos holds the next one
    bool m_bofFlag = true, m_eofFlag = true;
    bool m_noMatch = false;
    bool m_keepCurrent = false;

    EditMode m_mode = EditMode::None;
    QVariantList m_editValues;
    std::vector<bool> m_editDirty;
    qint64 m_lastInsert = -1;

    // The prepared row read of readRow(), kept between calls (reset, so it
    // holds no lock) and finalised before the cursor's source or connection
    // changes.
    mutable struct sqlite3_stmt* m_rowStmt = nullptr;
    // The statements of key pages, order values and row pages, prepared once
    // for the cursor's source and kept reset between uses, by their text.
    mutable QHash<QString, struct sqlite3_stmt*> m_kept;
    struct sqlite3_stmt* keptStatement(const QString& sql) const;
    // The first column of a one-row count over the cursor's table.
    int countOf(const QString& sql, const QVariantList& binds) const;
    void finalizeKept() const;

    // Page cache for grids and the current row.
    // A few pages, the least recently used going first: a grid's screen
    // often spans two pages, and painting it must not read them in turn.
    struct Page {
        int start = -1;
        std::vector<QVariantList> rows;
        quint64 used = 0;
    };
    mutable std::vector<Page> m_pages;
    mutable quint64 m_pageUse = 0;
    // The cached row at index, nullptr when its page is not held.
    QVariantList* cachedRow(int index) const;
    // Loads (or finds) the page holding index and returns the row.
    const QVariantList& pagedRow(int index) const;
    void dropPages() const { m_pages.clear(); }
    mutable QVariantList m_current;
};
