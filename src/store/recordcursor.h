#pragma once

#include "currency.h"
#include "database.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QObject>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <vector>

// A record cursor on a table or on a SELECT statement of one table.
//
// Keyset semantics: opening reads the keys (rowids) of the source's rows in
// its order, all of them, in one read that sees the file at one moment; that
// list is the cursor. Rows other copies add later are not part of it. A row
// another copy renames keeps its place; one another copy deletes stays where
// it was while its values have been read (it reads as deleted) and leaves,
// the rows after it moving up, when its values are first read and it is
// found gone. A row's values are read when it becomes current or is shown,
// so other copies' changes show when a row is read again. No statement is
// kept open between calls.
//
// So every row stored at opening, or added through the cursor, comes exactly
// once, in the order as it stood at opening (equal values in key order), the
// rows added through the cursor after them, whatever this program and other
// copies write, move, find or undo meanwhile.
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
    // refresh() for a findFirst() that follows at once (a list sorted to be
    // searched): the first row is read only when asked for, and only the
    // find's move is announced.
    void refreshForFind();
    // Convenience: database, connect, source and refresh in one call.
    void open(const QString& path, const QString& source,
              const QString& connect = QStringLiteral("Access 2000;"));
    // Re-runs the keyset query keeping the current row when it still exists
    // (after only this program's own few writes since, they are placed where
    // the order puts them without reading the keys again).
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
    bool hasCurrent() const { return m_pos >= 0 && m_pos < recordCount() && !m_eofFlag && !m_bofFlag && !m_gap; }
    int recordCount() const { return int(m_keys.size()); }
    int absolutePosition() const { return hasCurrent() ? m_pos : -1; }
    void setAbsolutePosition(int index);
    void moveFirst();
    void moveLast();
    void moveNext();
    qint64 currentKey() const;       // rowid of the current row, -1 when none
    // The key at index, its row's page read first (rows found gone there
    // that were never read leave); -1 when none.
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
    // followed the deleted one. Inside a transaction a write shows in the
    // cursor once the transaction commits: undone, the cursor stays as it was.
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

    // A new row whose write (or whose transaction's COMMIT) ended with
    // DbErrorCode::Unconfirmed may be stored. unconfirmedAddKey() asks the
    // file: when that row was stored its key comes back and the next update()
    // of a new row writes onto it instead of adding a second one (a window's
    // own checks leave that row out), making it exactly the row that add
    // would store: a column it leaves unset takes its default. The row stays
    // known, whatever that write meets, until a write onto it is stored.
    // 0 when it was not stored, or when the row on its key is no longer the
    // one an attempt stored (another copy deleted it and, in a table without
    // an autonumber, gave its key to a row of its own), forgotten then; 0
    // when none is unconfirmed. Any write of this program left unconfirmed
    // is told from the file first: it throws the Unconfirmed error while the
    // file still cannot tell.
    // update() asks the same by itself. storedUnconfirmedAdd() keeps such a
    // stored row as it stands: it joins the cursor as update() would have
    // added it, is forgotten once that is stored, and its key comes back (0
    // when none was stored).
    qint64 unconfirmedAddKey();
    qint64 storedUnconfirmedAdd();

    // Called from a handler of aboutToMove() whose write of the current row
    // failed: the move, refresh or requery does not happen and the row stays
    // current (a find then returns false). close() closes all the same.
    void keepCurrent() { m_keepCurrent = true; }

    // The table the cursor reads and writes.
    QString tableName() const { return m_table; }

    // Rows whose values are read at a time (tests make it small to reach
    // page edges with few rows).
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
    // What one attempt at a new row wrote: its columns (quoted) and their
    // values as stored.
    struct Attempt {
        QStringList cols;
        QVariantList values;
    };
    // After update() wrote the current or a new row: the row is announced
    // (currentChanged, and rowUpdated or rowsReset) once the write is stored,
    // after its transaction commits; a rollback puts the cursor back as it
    // was before the write, announcing nothing.
    struct BeforeWrite {
        int pos;
        bool bof, eof, gap;
        qint64 lastInsert;
        QVariantList current;
        // The slot a new row's key took from a row another copy deleted,
        // put back when the add is undone.
        int freedSlot = -1;
        qint64 freedKey = 0;
        bool freedSeen = false;
    };
    BeforeWrite beforeWrite() const;
    struct UnconfirmedAdd {
        std::shared_ptr<const Database::UnconfirmedWrite> write;
        qint64 key = -1;
        bool stored = false;   // told stored already
        // What the row on the key may hold: the values of each attempt.
        std::vector<Attempt> attempts;
        // The keys' reading when it was added: a slot holding its key from
        // before is the row that had the key before, not the one added.
        quint64 keysRead = 0;
    };
    UnconfirmedAdd m_unconfirmed;
    // The row on the unconfirmed add's key is still one an attempt stored.
    bool landedRowIsOurs() const;
    // The table's keys are never given again (an autonumber).
    bool keysNeverReused() const;
    mutable int m_keysNeverReused = -1;   // -1: not asked yet
    void announceWhenStored(const BeforeWrite& before, bool added, bool rewritten, const Attempt& attempt);
    // A row this cursor added (or whose add was told stored) joins its end.
    void joinNewRow(qint64 key, bool rewritten, const Attempt& attempt);
    // The SET list that makes a stored row what an INSERT of the columns
    // cols (quoted, one mark each) would store: every other column takes
    // its default.
    QString rewriteSets(const QStringList& cols) const;

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
    // Reads the keys of the source's rows in its order.
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
    // The keys in cursor order: the source's rows as read, then the rows
    // this cursor added. A slot is seen once its row's values were read: a
    // row found gone then stays, reading as deleted; one never seen leaves.
    mutable std::vector<qint64> m_keys;
    mutable std::vector<bool> m_seen;
    // The largest key when the keys were read: rows keyed above it were
    // added since, by other copies unless this cursor added them.
    qint64 m_keyLimit = 0;
    QSet<qint64> m_addedAbove;
    // Counts the times the keys were read from the file (or placed anew).
    quint64 m_keysRead = 0;
    // Puts a slot in the keys (the places from slot on move down), or takes
    // the last one out; the current place is the caller's.
    void insertSlot(int slot, qint64 key, bool seen) const;
    void takeLastSlot() const;
    // Takes a slot out of the keys: the rows after it move up; when it is
    // the current row's there is no current row until the next move.
    void eraseSlot(int slot) const;
    // Reads the values of the page holding index: rows found gone there that
    // were never seen leave. True when any left (the places after them moved).
    bool settle(int index) const;
    // indexOfKey() once the page holding it is settled.
    int settledIndexOf(qint64 key) const;
    struct OrderTerm {
        QString expr;
        bool desc = false;
    };
    std::vector<OrderTerm> m_terms;           // the ORDER BY, rowid last
    void announceRows() const;
    // The order values of the row keyed key; false when it is gone.
    bool orderValues(qint64 key, QVariantList& values) const;
    // "The row comes after (before) the row with these values and key" in cursor order.
    QString seekCondition(const QVariantList& values, qint64 key, bool after, QVariantList& binds) const;
    QString orderClause(bool reversed) const;
    // 1 (-1) when the order is the key's, ascending (descending); 0 otherwise.
    int keyOrder() const;
    // The table's lone INTEGER PRIMARY KEY column, the row's key itself
    // under another name; empty when it has none.
    QString keyColumn() const;
    // Where the order puts the row keyed key among the keys held, all of
    // them in the order as the file holds it now.
    int placeOf(qint64 key) const;
    // What the keys were read from: unchanged, a refresh keeps them.
    QString m_keysSource;
    qint64 m_keysDataVersion = -1;
    qint64 m_keysOwnChanges = -1;
    quint64 m_keysWriteMark = 0;
    bool keysStillCurrent() const;
    void noteKeysRead();
    // This program's own few writes to the table since the keys were read
    // (no other copy's) applied to the keys: a deleted row's slot goes, a
    // new or changed row takes its place in the order. False when they
    // cannot be (the keys must be read again).
    bool applyOwnWrites();

    // "Field LIKE 'prefix*'" on a text field: the prefix's index range first;
    // for a find (firstInOrder) only when the cursor's order begins with the field.
    QString withPrefixRange(const QString& criterion, bool firstInOrder) const;
    // The last find's criterion and its statement (prepared, kept reset).
    QString m_findCriterion;
    mutable QString m_findSql;
    mutable struct sqlite3_stmt* m_findStmt = nullptr;
    mutable int m_keyHint = -1;   // the slot indexOfKey() found last
    mutable int m_pos = -1;   // moves up when rows before it leave
    mutable bool m_gap = false;   // the current row was deleted; m_pos holds the next one
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
    // The statements of row pages and order values, prepared once for the
    // cursor's source and kept reset between uses, by their text.
    mutable QHash<QString, struct sqlite3_stmt*> m_kept;
    struct sqlite3_stmt* keptStatement(const QString& sql) const;
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
    mutable bool m_currentPending = false;   // the current row is read when asked for
    void ensureCurrent() const {
        if (m_currentPending) loadCurrent();
    }
    void dropCurrent() const {
        m_current.clear();
        m_currentPending = false;
    }
    void reread(bool announceRow);
    void announceFirstRow(bool announceRow);
    void announcePendingRow();
    bool findFirstRow(const QString& criterion);
};
