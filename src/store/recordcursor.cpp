#include "recordcursor.h"

#include "sqldialect.h"
#include "statement.h"
#include "textcompare.h"

#include <QPointer>
#include <QRegularExpression>
#include <algorithm>
#include <limits>
#include <utility>
#include <sqlcipher/sqlite3.h>

namespace {

int PageSize = 50;
// Rows are read about a screenful at a time, half a page: a grid standing
// across two pages reads little more than it shows.
int rowPageSize() {
    int rows = std::min(PageSize, 25);
    while (PageSize % rows != 0) --rows;
    return rows;
}
const QString Source = dbErrorSource();

QString quoteIdent(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QDate parseDate(const QString& s) {
    QDate d = QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid()) d = QDate::fromString(s, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid()) d = QDate::fromString(s, QStringLiteral("d/M/yyyy"));
    return d;
}

// "yyyy-MM-dd..." as the store writes dates, read from the stored bytes;
// an invalid QDate when the text has another form.
QDate isoDate(const unsigned char* p, int n) {
    if (n < 10 || p[4] != '-' || p[7] != '-') return {};
    int v[3] = {0, 0, 0};
    const int from[3] = {0, 5, 8}, len[3] = {4, 2, 2};
    for (int k = 0; k < 3; ++k)
        for (int i = from[k]; i < from[k] + len[k]; ++i) {
            if (p[i] < '0' || p[i] > '9') return {};
            v[k] = v[k] * 10 + (p[i] - '0');
        }
    return QDate(v[0], v[1], v[2]);
}

// "HH:mm:ss" as the store writes times; an invalid QTime otherwise.
QTime isoTime(const unsigned char* p, int n) {
    if (n != 8 || p[2] != ':' || p[5] != ':') return {};
    int v[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k)
        for (int i = k * 3; i < k * 3 + 2; ++i) {
            if (p[i] < '0' || p[i] > '9') return {};
            v[k] = v[k] * 10 + (p[i] - '0');
        }
    return QTime(v[0], v[1], v[2]);
}

// Resets a kept statement on every way out: a statement left on a row would
// keep a read transaction open and block other copies' writes.
struct ResetOnExit {
    sqlite3_stmt* s;
    ~ResetOnExit() {
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
    }
};

// The statements of one read (the keys and the largest one) see the file as
// it stood at one moment: another copy's write lands before the read or waits
// the few milliseconds it takes, never between two of its statements. Inside
// a transaction already open the read is part of it.
class ReadSnapshot {
public:
    explicit ReadSnapshot(sqlite3* db) : m_db(db), m_began(sqlite3_get_autocommit(db) && sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK) {}
    ~ReadSnapshot() {
        if (m_began && sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    sqlite3* m_db;
    bool m_began;
};

QTime parseTime(const QString& s) {
    const QString t = s.size() > 10 && s[10] == QLatin1Char(' ') ? s.mid(11) : s;
    QTime r = QTime::fromString(t, QStringLiteral("HH:mm:ss"));
    if (!r.isValid()) r = QTime::fromString(t, QStringLiteral("H:mm"));
    if (!r.isValid()) r = QTime::fromString(t, QStringLiteral("H:mm:ss"));
    return r;
}

} // namespace

RecordCursor::RecordCursor(QObject* parent) : QObject(parent) {}

RecordCursor::~RecordCursor() {
    // Bound fields may still hold edits; a failing write cannot be reported
    // from a destructor, so windows close their cursors themselves.
    finalizeRowStatement();
    m_db.close();
}

void RecordCursor::finalizeRowStatement() const {
    sqlite3_finalize(m_rowStmt);
    m_rowStmt = nullptr;
    finalizeFindStatement();
    finalizeKept();
}

void RecordCursor::finalizeKept() const {
    for (sqlite3_stmt* s : std::as_const(m_kept)) sqlite3_finalize(s);
    m_kept.clear();
}

sqlite3_stmt* RecordCursor::keptStatement(const QString& sql) const {
    if (sqlite3_stmt* s = m_kept.value(sql)) return s;
    // The texts differ by the order's NULLs and which bounds a read has; a
    // cursor needs few of them.
    if (m_kept.size() >= 32) finalizeKept();
    Statement st;
    prepareStatement(m_db.handle(), sql, st);
    return m_kept[sql] = std::exchange(st.s, nullptr);
}

void RecordCursor::finalizeFindStatement() const {
    sqlite3_finalize(m_findStmt);
    m_findStmt = nullptr;
    m_findSql.clear();
}

void RecordCursor::ensureOpen(const char* op) const {
    if (!m_open)
        throw DbError(DbErrorCode::NoCurrentRecord,
                      QStringLiteral("Operação inválida: o cursor não está aberto (%1).").arg(QLatin1String(op)), Source);
}

void RecordCursor::requireCurrent(const char* op) const {
    ensureOpen(op);
    if (!hasCurrent() || m_gap)
        throw DbError(DbErrorCode::NoCurrentRecord, QStringLiteral("Nenhum registro atual."), Source);
}

void RecordCursor::open(const QString& path, const QString& source, const QString& connect) {
    setDatabaseName(path);
    setRecordSource(source);
    setConnect(connect);
    refresh();
}

void RecordCursor::refresh() { reread(true); }

void RecordCursor::refreshForFind() { reread(false); }

void RecordCursor::reread(bool announceRow) {
    if (m_open && !leaveCurrent()) return;
    const bool sameConnection = m_db.isOpen() && !m_db.path().isEmpty() && m_openedPath == m_path;
    if (!sameConnection) {
        finalizeRowStatement();
        m_db = Database(m_path, m_connect);
        m_openedPath = m_path;
        m_keysNeverReused = -1;
    }
    // What: a table, or one SELECT on one table.
    static const QRegularExpression selectRe(
        QStringLiteral(R"(^\s*SELECT\s+(.*?)\s+FROM\s+(\[[^\]]+\]|[\w]+)\s*(?:WHERE\s+(.*?))?\s*(?:ORDER\s+BY\s+(.*?))?\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QString columns = QStringLiteral("*");
    QString table, where, order;
    const QString source = m_source.trimmed();
    if (source.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive)) {
        const auto m = selectRe.match(source);
        if (!m.hasMatch())
            throw DbError(DbErrorCode::BadCriterion, QStringLiteral("Instrução SQL não suportada: %1").arg(source), Source);
        columns = SqlDialect::translate(m.captured(1));
        table = m.captured(2);
        where = m.captured(3).isEmpty() ? QString() : SqlDialect::translate(m.captured(3));
        order = m.captured(4).isEmpty() ? QString() : SqlDialect::translate(m.captured(4));
    } else {
        table = source;
    }
    if (table.startsWith(QLatin1Char('['))) table = table.mid(1, table.size() - 2);
    // Another query of the same table and columns on the same connection
    // (a sort, a filter, a search): the fields and the row read stay.
    const bool sameShape = sameConnection && m_open && table == m_table && columns == m_columns &&
                           !m_fieldNames.isEmpty();
    const QString oldWhere = m_where, oldOrder = m_orderBy;
    if (table != m_table) m_keysNeverReused = -1;
    m_table = table;
    m_columns = columns;
    m_where = where.isEmpty() ? where : withPrefixRange(where, false);
    m_orderBy = order;
    if (!sameShape) finalizeRowStatement();
    // A find prepared for other rows or another order does not serve.
    else if (m_where != oldWhere || m_orderBy != oldOrder) finalizeFindStatement();

    // The same source on a file unchanged but for this program's own few
    // writes: the keys read last time still serve (a list refreshed after a
    // find that missed).
    if (m_open && m_keysSource == m_path + QLatin1Char('\n') + m_source && (keysStillCurrent() || applyOwnWrites())) {
        m_mode = EditMode::None;
        m_gap = false;
        m_pos = m_keys.empty() ? -1 : 0;
        m_bofFlag = m_eofFlag = m_keys.empty();
        announceFirstRow(announceRow);
        return;
    }

    // Field names and declared types.
    sqlite3* db = m_db.handle();
    if (!sameShape) {
        // The source reads its own table and nothing else.
        const CriterionGuard guard(db, m_table);
        Statement st;
        prepareStatement(db, QStringLiteral("SELECT %1 FROM %2 LIMIT 0").arg(m_columns, quoteIdent(m_table)), st);
        m_fieldNames.clear();
        m_kinds.clear();
        const int n = sqlite3_column_count(st.s);
        for (int c = 0; c < n; ++c) {
            m_fieldNames << QString::fromUtf8(sqlite3_column_name(st.s, c));
            const char* decl = sqlite3_column_decltype(st.s, c);
            const QString type = decl ? QString::fromUtf8(decl).toUpper() : QString();
            if (type == QLatin1String("CURRENCY")) m_kinds.push_back(Kind::Currency);
            else if (type == QLatin1String("YESNO")) m_kinds.push_back(Kind::YesNo);
            else if (type == QLatin1String("DATETEXT")) m_kinds.push_back(Kind::Date);
            else if (type == QLatin1String("TIMETEXT")) m_kinds.push_back(Kind::Time);
            else if (type.contains(QLatin1String("TEXT")) || type.contains(QLatin1String("CHAR"))) m_kinds.push_back(Kind::Text);
            else m_kinds.push_back(Kind::Plain);
        }
    }
    m_open = true;
    m_mode = EditMode::None;
    readKeys();
    m_gap = false;
    m_pos = m_keys.empty() ? -1 : 0;
    m_bofFlag = m_eofFlag = m_keys.empty();
    announceFirstRow(announceRow);
}

void RecordCursor::announceFirstRow(bool announceRow) {
    if (announceRow) {
        loadCurrent();
    } else {
        m_current.clear();
        m_currentPending = true;
    }
    emit rowsReset();
    if (announceRow) emit currentChanged();
}

void RecordCursor::setPageSize(int rows) { PageSize = std::max(1, rows); }
int RecordCursor::pageSize() { return PageSize; }

namespace {

// The terms of an ORDER BY clause, split at the commas outside quotes and
// brackets, each with its direction.
std::vector<std::pair<QString, bool>> orderTerms(const QString& order) {
    std::vector<std::pair<QString, bool>> terms;
    QString term;
    QChar quote;
    int depth = 0;
    const auto flush = [&] {
        QString t = term.trimmed();
        term.clear();
        if (t.isEmpty()) return;
        bool desc = false;
        if (t.endsWith(QLatin1String(" DESC"), Qt::CaseInsensitive)) desc = true, t.chop(5);
        else if (t.endsWith(QLatin1String(" ASC"), Qt::CaseInsensitive)) t.chop(4);
        terms.emplace_back(t.trimmed(), desc);
    };
    for (const QChar c : order) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('[')) {
            quote = QLatin1Char(']');
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (c == QLatin1Char(',') && depth == 0) {
            flush();
            continue;
        }
        term += c;
    }
    flush();
    return terms;
}

// The file's change counter as this connection sees it: it moves when
// another connection commits a change.
qint64 dataVersion(sqlite3* db) {
    Statement st;
    prepareStatement(db, QStringLiteral("PRAGMA data_version"), st);
    return sqlite3_step(st.s) == SQLITE_ROW ? sqlite3_column_int64(st.s, 0) : -1;
}

} // namespace

void RecordCursor::readKeys() {
    m_terms.clear();
    for (const auto& [expr, desc] : orderTerms(m_orderBy)) m_terms.push_back({expr, desc});
    sqlite3* db = m_db.handle();
    std::vector<qint64> keys;
    qint64 limit = 0;
    // In key order the keys are read the cheapest way the engine knows
    // (from the smallest index, not the whole rows) and then sorted.
    const int byKey = keyOrder();
    {
        // The largest key and the keys in order see the file at one moment.
        const ReadSnapshot snapshot(db);
        const CriterionGuard guard(db, m_table);
        Statement largest;
        prepareStatement(db, QStringLiteral("SELECT max(rowid) FROM %1").arg(quoteIdent(m_table)), largest);
        int rc = sqlite3_step(largest.s);
        if (rc != SQLITE_ROW) throw engineError(db, rc);
        limit = sqlite3_column_int64(largest.s, 0);
        QString sql = QStringLiteral("SELECT rowid FROM %1").arg(quoteIdent(m_table));
        if (!m_where.isEmpty()) sql += QStringLiteral(" WHERE ") + m_where;
        if (!byKey) sql += QStringLiteral(" ORDER BY ") + orderClause(false);
        Statement st;
        prepareStatement(db, sql, st);
        while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) keys.push_back(sqlite3_column_int64(st.s, 0));
        if (rc != SQLITE_DONE) throw engineError(db, rc);
        if (byKey > 0) std::sort(keys.begin(), keys.end());
        else if (byKey < 0) std::sort(keys.begin(), keys.end(), std::greater<>());
    }
    m_keys = std::move(keys);
    m_seen.assign(m_keys.size(), false);
    ++m_keysRead;
    m_keyLimit = limit;
    m_addedAbove.clear();
    m_keyHint = -1;
    finalizeKept();
    dropPages();
    noteKeysRead();
}

int RecordCursor::keyOrder() const {
    if (m_terms.empty()) return 1;
    if (m_terms.size() != 1) return 0;
    QString term = m_terms.front().expr.trimmed();
    if (term.size() > 1 && term.startsWith(QLatin1Char('"')) && term.endsWith(QLatin1Char('"')))
        term = term.mid(1, term.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    const int direction = m_terms.front().desc ? -1 : 1;
    if (term.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0) return direction;
    const QString key = keyColumn();
    return !key.isEmpty() && term.compare(key, Qt::CaseInsensitive) == 0 ? direction : 0;
}

QString RecordCursor::keyColumn() const {
    sqlite3* db = m_db.handle();
    Statement st;
    prepareStatement(db, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(m_table)), st);
    // cid, name, type, notnull, dflt_value, pk
    QStringList keys;
    bool integer = false;
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW)
        if (sqlite3_column_int(st.s, 5) > 0) {
            keys << storedColumn(st.s, 1).toString();
            integer = storedColumn(st.s, 2).toString().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        }
    if (rc != SQLITE_DONE) throw engineError(db, rc);
    return keys.size() == 1 && integer ? keys.front() : QString();
}

void RecordCursor::noteKeysRead() {
    sqlite3* db = m_db.handle();
    m_keysSource = m_path + QLatin1Char('\n') + m_source;
    m_keysDataVersion = dataVersion(db);
    m_keysOwnChanges = sqlite3_total_changes(db);
    m_keysWriteMark = m_db.writeMark();
}

bool RecordCursor::keysStillCurrent() const {
    sqlite3* db = m_db.handle();
    if (m_keysDataVersion < 0 || dataVersion(db) != m_keysDataVersion) return false;
    if (sqlite3_total_changes(db) == m_keysOwnChanges) return true;
    // This program's writes to other tables leave the keys as they are.
    std::vector<Database::RowWrite> writes;
    return m_db.writesSince(m_keysWriteMark, writes) && qint64(writes.size()) == sqlite3_total_changes(db) - m_keysOwnChanges &&
           std::none_of(writes.begin(), writes.end(),
                        [this](const Database::RowWrite& w) { return w.table.compare(m_table, Qt::CaseInsensitive) == 0; });
}

void RecordCursor::insertSlot(int slot, qint64 key, bool seen) const {
    m_keys.insert(m_keys.begin() + slot, key);
    m_seen.insert(m_seen.begin() + slot, seen);
    m_keyHint = -1;
}

void RecordCursor::takeLastSlot() const {
    m_keys.pop_back();
    m_seen.pop_back();
    m_keyHint = -1;
}

void RecordCursor::eraseSlot(int slot) const {
    m_keys.erase(m_keys.begin() + slot);
    m_seen.erase(m_seen.begin() + slot);
    if (m_pos > slot) {
        --m_pos;
    } else if (m_pos == slot && !m_gap && !m_eofFlag && !m_bofFlag) {
        // The current row went: the next one is one MoveNext away.
        m_gap = true;
        dropCurrent();
    }
    m_keyHint = -1;
    dropPages();
}

bool RecordCursor::settle(int index) const {
    const int before = recordCount();
    if (index >= 0 && index < before) pagedRow(index);
    return recordCount() != before;
}

bool RecordCursor::applyOwnWrites() {
    sqlite3* db = m_db.handle();
    if (m_keysDataVersion < 0 || dataVersion(db) != m_keysDataVersion) return false;
    std::vector<Database::RowWrite> writes;
    if (!m_db.writesSince(m_keysWriteMark, writes) || qint64(writes.size()) != sqlite3_total_changes(db) - m_keysOwnChanges)
        return false;
    QList<qint64> written;
    for (const Database::RowWrite& w : writes)
        if (w.table.compare(m_table, Qt::CaseInsensitive) == 0 && !written.contains(w.key)) written << w.key;
    // Each row costs a walk of the keys and a few reads: many rows, the keys are read again.
    if (written.size() > 16) return false;
    // No other copy wrote since the keys were read: the keys left once the
    // written rows are taken out stand in the order as the file holds it,
    // and each written row that still belongs goes where that order puts it.
    for (const qint64 key : written)
        if (const int slot = indexOfKey(key); slot >= 0) eraseSlot(slot);
    QString marks;
    for (const qint64 key : written) marks += (marks.isEmpty() ? QString() : QStringLiteral(",")) + QString::number(key);
    QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE rowid IN (%2)").arg(quoteIdent(m_table), marks);
    if (!m_where.isEmpty()) sql += QStringLiteral(" AND (") + m_where + QLatin1Char(')');
    sql += QStringLiteral(" ORDER BY ") + orderClause(false);
    std::vector<qint64> stay;
    {
        const CriterionGuard guard(db, m_table);
        Statement st;
        prepareStatement(db, sql, st);
        int rc;
        while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) stay.push_back(sqlite3_column_int64(st.s, 0));
        if (rc != SQLITE_DONE) throw engineError(db, rc);
    }
    // In their order, each one placed among rows all in order.
    for (const qint64 key : stay) {
        const int at = placeOf(key);
        insertSlot(at, key, false);
        if (m_pos >= at) ++m_pos;
        m_keyLimit = std::max(m_keyLimit, key);
    }
    ++m_keysRead;
    dropPages();
    noteKeysRead();
    return true;
}

int RecordCursor::placeOf(qint64 key) const {
    QVariantList values;
    if (!orderValues(key, values)) return recordCount();
    QVariantList binds;
    const QString before = seekCondition(values, key, false, binds);
    sqlite3* db = m_db.handle();
    const CriterionGuard guard(db, m_table);
    sqlite3_stmt* st = keptStatement(QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ? AND %2").arg(quoteIdent(m_table), before));
    // The first slot whose row does not come before it.
    int lo = 0, hi = recordCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const ResetOnExit reset{st};
        sqlite3_bind_int64(st, 1, m_keys[std::size_t(mid)]);
        for (int i = 0; i < binds.size(); ++i) bindValue(st, i + 2, binds[i]);
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw engineError(db, rc);
        if (rc == SQLITE_ROW) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

QString RecordCursor::orderClause(bool reversed) const {
    QStringList parts;
    for (const OrderTerm& t : m_terms) parts << t.expr + ((t.desc != reversed) ? QStringLiteral(" DESC") : QString());
    parts << (reversed ? QStringLiteral("rowid DESC") : QStringLiteral("rowid"));
    return parts.join(QStringLiteral(", "));
}

bool RecordCursor::orderValues(qint64 key, QVariantList& values) const {
    values.clear();
    sqlite3* db = m_db.handle();
    const CriterionGuard guard(db, m_table);
    QStringList exprs{QStringLiteral("1")};
    for (const OrderTerm& t : m_terms) exprs << t.expr;
    sqlite3_stmt* st = keptStatement(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(exprs.join(QStringLiteral(", ")), quoteIdent(m_table)));
    const ResetOnExit reset{st};
    sqlite3_bind_int64(st, 1, key);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) return false;
    if (rc != SQLITE_ROW) throw engineError(db, rc);
    for (int c = 1; c <= int(m_terms.size()); ++c) values << storedColumn(st, c);
    return true;
}

QString RecordCursor::seekCondition(const QVariantList& values, qint64 key, bool after, QVariantList& binds) const {
    // Term by term: equal on the terms before, beyond on this one; the key
    // breaks ties. NULL sorts first, as the engine orders it.
    QStringList alternatives;
    QString equalSoFar;
    for (std::size_t j = 0; j < m_terms.size(); ++j) {
        const OrderTerm& t = m_terms[j];
        const QVariant& v = values[int(j)];
        const bool larger = t.desc != after;   // the rows beyond hold larger values
        QString beyond;
        if (larger) beyond = v.isValid() ? t.expr + QStringLiteral(" > ?") : t.expr + QStringLiteral(" IS NOT NULL");
        else if (v.isValid()) beyond = QStringLiteral("(%1 < ? OR %1 IS NULL)").arg(t.expr);
        if (!beyond.isEmpty()) {
            for (int k = 0; k < int(j); ++k) binds << values[k];
            if (v.isValid()) binds << v;
            alternatives << QLatin1Char('(') + equalSoFar + beyond + QLatin1Char(')');
        }
        equalSoFar += t.expr + QStringLiteral(" IS ? AND ");
    }
    for (int k = 0; k < int(m_terms.size()); ++k) binds << values[k];
    binds << key;
    alternatives << QStringLiteral("(%1rowid %2 ?)").arg(equalSoFar, after ? QStringLiteral(">") : QStringLiteral("<"));
    return QLatin1Char('(') + alternatives.join(QStringLiteral(" OR ")) + QLatin1Char(')');
}

void RecordCursor::announceRows() const {
    dropPages();
    QMetaObject::invokeMethod(const_cast<RecordCursor*>(this), [this] { emit const_cast<RecordCursor*>(this)->rowsReset(); },
                              Qt::QueuedConnection);
}

QString RecordCursor::withPrefixRange(const QString& criterion, bool firstInOrder) const {
    static const QRegularExpression likeRe(
        QStringLiteral(R"(^\s*("(?:[^"]|"")+"|[A-Za-z_][A-Za-z0-9_]*)\s+LIKE\s+'((?:[^']|'')*)'\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = likeRe.match(criterion);
    if (!m.hasMatch()) return criterion;
    QString field = m.captured(1);
    if (field.startsWith(QLatin1Char('"'))) field = field.mid(1, field.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    if (firstInOrder) {
        // A find wants the first match in the cursor's order: the index of
        // the field gives it only when the order begins with that field; in
        // any other order the rows are walked in that order instead.
        static const QRegularExpression firstTerm(QStringLiteral(R"(^\s*("(?:[^"]|"")+"|[A-Za-z_][A-Za-z0-9_]*))"));
        const auto t = firstTerm.match(m_orderBy);
        QString ordered = t.captured(1);
        if (ordered.startsWith(QLatin1Char('"'))) ordered = ordered.mid(1, ordered.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
        if (!t.hasMatch() || ordered.compare(field, Qt::CaseInsensitive) != 0) return criterion;
    }
    // Only a field kept in the store's text order has its index in that order.
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(m_db.handle(), nullptr, m_table.toUtf8().constData(), field.toUtf8().constData(),
                                      nullptr, &collation, nullptr, nullptr, nullptr) != SQLITE_OK ||
        !collation || qstricmp(collation, "PTBR") != 0)
        return criterion;
    const QString pattern = m.captured(2).replace(QStringLiteral("''"), QStringLiteral("'"));
    const QString prefix = SqlDialect::likePrefix(pattern);
    if (prefix.isEmpty()) return criterion;
    const std::u32string end = TextCompare::prefixEnd(prefix.toStdU32String());
    const QString column = quoteIdent(field);
    QString range = column + QStringLiteral(" >= ") + SqlDialect::quote(prefix);
    if (!end.empty()) range += QStringLiteral(" AND ") + column + QStringLiteral(" < ") + SqlDialect::quote(QString::fromStdU32String(end));
    return QStringLiteral("(%1 AND %2)").arg(range, criterion);
}

void RecordCursor::requery() {
    ensureOpen("requery");
    if (!leaveCurrent()) return;
    const qint64 key = currentKey();
    if (!keysStillCurrent() && !applyOwnWrites()) readKeys();
    m_gap = false;
    m_mode = EditMode::None;
    const int idx = key >= 0 ? settledIndexOf(key) : -1;
    if (idx < 0) settle(0);
    m_pos = idx >= 0 ? idx : (m_keys.empty() ? -1 : 0);
    m_bofFlag = m_eofFlag = m_keys.empty();
    loadCurrent();
    emit rowsReset();
    emit currentChanged();
}

void RecordCursor::rereadCurrent() {
    ensureOpen("Requery");
    if (!hasCurrent() || m_mode != EditMode::None) return;
    loadCurrent();
    emit rowUpdated(m_pos);
    emit currentChanged();
}

void RecordCursor::close() {
    if (m_open) emit aboutToMove();
    m_open = false;
    m_keys.clear();
    m_seen.clear();
    m_addedAbove.clear();
    m_keyHint = -1;
    m_keysSource.clear();
    dropPages();
    dropCurrent();
    m_pos = -1;
    m_mode = EditMode::None;
    finalizeRowStatement();
    m_db.close();
    m_openedPath.clear();
    emit rowsReset();
}

bool RecordCursor::bof() const { return m_keys.empty() || m_bofFlag; }
bool RecordCursor::eof() const { return m_keys.empty() || m_eofFlag; }

bool RecordCursor::leaveCurrent() {
    m_keepCurrent = false;
    emit aboutToMove();
    return !std::exchange(m_keepCurrent, false);
}

bool RecordCursor::setPos(int pos) {
    if (!leaveCurrent()) return false;
    m_mode = EditMode::None;
    m_gap = false;
    m_pos = pos;
    m_bofFlag = m_eofFlag = false;
    loadCurrent();
    emit currentChanged();
    return true;
}

void RecordCursor::setAbsolutePosition(int index) {
    ensureOpen("AbsolutePosition");
    settle(index);   // rows found gone there leave: the row now at index is the one moved to
    if (index < 0 || index >= recordCount()) return;
    if (index == m_pos && !m_gap) return;
    setPos(index);
}

void RecordCursor::moveFirst() {
    ensureOpen("MoveFirst");
    settle(0);
    if (m_keys.empty()) return;
    setPos(0);
}

void RecordCursor::moveLast() {
    ensureOpen("MoveLast");
    while (settle(recordCount() - 1)) {}
    if (m_keys.empty()) return;
    setPos(recordCount() - 1);
}

void RecordCursor::moveNext() {
    ensureOpen("MoveNext");
    if (m_keys.empty() || m_eofFlag) return;
    // After a deletion the position already stands on the following row.
    // Rows found gone from there on leave: the next row is the first left.
    const int next = m_gap ? m_pos : m_pos + 1;
    settle(next);
    if (next >= recordCount()) {
        if (!leaveCurrent()) return;
        m_gap = false;
        m_pos = recordCount();
        m_eofFlag = true;
        dropCurrent();
        emit currentChanged();
        return;
    }
    setPos(next);
}

qint64 RecordCursor::currentKey() const {
    if (!hasCurrent() || m_gap) return -1;
    ensureCurrent();
    return hasCurrent() ? m_keys[std::size_t(m_pos)] : -1;
}

qint64 RecordCursor::keyAt(int index) const {
    settle(index);
    return index >= 0 && index < recordCount() ? m_keys[std::size_t(index)] : -1;
}

int RecordCursor::settledIndexOf(qint64 key) const {
    int index = indexOfKey(key);
    while (index >= 0 && settle(index)) index = indexOfKey(key);
    return index;
}

int RecordCursor::indexOfKey(qint64 key) const {
    if (m_keyHint >= 0 && m_keyHint < recordCount() && m_keys[std::size_t(m_keyHint)] == key) return m_keyHint;
    const auto it = std::find(m_keys.begin(), m_keys.end(), key);
    if (it == m_keys.end()) return -1;
    return m_keyHint = int(it - m_keys.begin());
}

bool RecordCursor::findFirst(const QString& criterion) {
    // A list sorted for this find that ends up not moving stands on its first
    // row: the windows hear of it whatever the find's outcome.
    bool found = false;
    try {
        found = findFirstRow(criterion);
    } catch (...) {
        announcePendingRow();
        throw;
    }
    announcePendingRow();
    return found;
}

void RecordCursor::announcePendingRow() {
    if (!m_currentPending) return;
    try {
        loadCurrent();
    } catch (const DbError&) {
        m_current.clear();   // read as gone, as a row another copy deleted
    }
    emit currentChanged();
}

bool RecordCursor::findFirstRow(const QString& criterion) {
    ensureOpen("FindFirst");
    // The same find again (Enter pressed again on a search box) is neither
    // translated nor prepared again.
    if (criterion != m_findCriterion || m_findSql.isEmpty()) {
        sqlite3_finalize(m_findStmt);
        m_findStmt = nullptr;
        const QString crit = withPrefixRange(SqlDialect::translate(criterion), true);
        QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE (%2)").arg(quoteIdent(m_table), crit);
        if (!m_where.isEmpty()) sql += QStringLiteral(" AND (") + m_where + QLatin1Char(')');
        sql += QStringLiteral(" ORDER BY ") + (m_orderBy.isEmpty() ? QStringLiteral("rowid") : m_orderBy + QStringLiteral(", rowid"));
        m_findSql = sql;
        m_findCriterion = criterion;
    }
    const QString& sql = m_findSql;
    sqlite3* db = m_db.handle();
    int found = -1;
    {
        // Guarded while the criterion runs, not while windows hear of the move.
        const CriterionGuard guard(db, m_table);
        if (!m_findStmt) {
            Statement st;
            prepareStatement(db, sql, st);
            m_findStmt = std::exchange(st.s, nullptr);
        }
        const ResetOnExit reset{m_findStmt};
        int rc;
        // The first match that this cursor holds: rows added by other copies
        // since the cursor was read are not part of it.
        while ((rc = sqlite3_step(m_findStmt)) == SQLITE_ROW) {
            const qint64 key = sqlite3_column_int64(m_findStmt, 0);
            if (key > m_keyLimit && !m_addedAbove.contains(key)) continue;
            if ((found = indexOfKey(key)) >= 0) break;
        }
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw engineError(db, rc);
    }
    m_noMatch = found < 0;
    // Its page is read before it is moved to: rows found gone there leave
    // now, not under it later.
    if (found >= 0) found = settledIndexOf(m_keys[std::size_t(found)]);
    if (found >= 0) {
        if (found != m_pos || m_gap || m_eofFlag || m_bofFlag) {
            if (!setPos(found)) return false;   // the row that is current could not be left
        } else {
            loadCurrent(), emit currentChanged();
        }
    }
    return found >= 0;
}

int RecordCursor::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_fieldNames.size(); ++i)
        if (m_fieldNames[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int RecordCursor::requireField(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(DbErrorCode::UnknownField, QStringLiteral("Item não encontrado nesta coleção: '%1'.").arg(name), Source);
    return i;
}

QVariant RecordCursor::convert(int column, const QVariant& stored) const {
    if (!stored.isValid()) return stored;
    switch (m_kinds[std::size_t(column)]) {
    case Kind::Currency:
        if (stored.typeId() == QMetaType::Double) {
            // An amount beyond the money type reads empty, as an impossible date does.
            const std::optional<Currency> c = Currency::fromReais(stored.toDouble());
            return c ? QVariant::fromValue(*c) : QVariant();
        }
        return QVariant::fromValue(Currency::fromRaw(stored.toLongLong()));
    case Kind::YesNo: return QVariant(stored.toLongLong() != 0);
    case Kind::Date: {
        const QDate d = parseDate(stored.toString());
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case Kind::Time: {
        const QTime t = parseTime(stored.toString());
        return t.isValid() ? QVariant(t) : QVariant();
    }
    case Kind::Text: return QVariant(stored.toString());
    case Kind::Plain: break;
    }
    return stored;
}

QVariant RecordCursor::readColumn(sqlite3_stmt* st, int stmtColumn, int column) const {
    // The usual stored forms are read from the statement without a detour
    // through an intermediate value; anything else goes through convert().
    const int storage = sqlite3_column_type(st, stmtColumn);
    if (storage == SQLITE_NULL) return QVariant();
    const Kind kind = m_kinds[std::size_t(column)];
    if (storage == SQLITE_TEXT && kind != Kind::Currency && kind != Kind::YesNo && kind != Kind::Plain) {
        const auto* text = sqlite3_column_text(st, stmtColumn);
        const int n = sqlite3_column_bytes(st, stmtColumn);
        if (kind == Kind::Text) return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(text), n));
        if (kind == Kind::Date) {
            const QDate d = isoDate(text, n);
            if (d.isValid()) return QVariant(d);
        } else {
            const QTime t = isoTime(text, n);
            if (t.isValid()) return QVariant(t);
        }
    } else if (storage == SQLITE_INTEGER && kind == Kind::Currency) {
        return QVariant::fromValue(Currency::fromRaw(sqlite3_column_int64(st, stmtColumn)));
    } else if (storage == SQLITE_INTEGER && kind == Kind::YesNo) {
        return QVariant(sqlite3_column_int64(st, stmtColumn) != 0);
    }
    return convert(column, storedColumn(st, stmtColumn));
}

QVariant RecordCursor::toStorage(int column, const QVariant& value) const {
    if (!value.isValid() || value.isNull()) return QVariant();
    const Kind kind = m_kinds[std::size_t(column)];
    const auto mismatch = [&] {
        return DbError(3464, QStringLiteral("Tipo de dados incompatível no campo '%1'.").arg(m_fieldNames[column]), Source);
    };
    if (kind == Kind::Currency) {
        if (value.userType() == qMetaTypeId<Currency>()) return QVariant(qlonglong(value.value<Currency>().raw()));
        if (value.typeId() == QMetaType::QString) {
            if (value.toString().trimmed().isEmpty()) return QVariant();
            const auto c = Currency::parse(value.toString());
            if (!c) throw mismatch();
            return QVariant(qlonglong(c->raw()));
        }
        bool ok = false;
        const qlonglong n = value.toLongLong(&ok);
        if (!ok) throw mismatch();
        constexpr qlonglong limit = std::numeric_limits<qlonglong>::max() / Currency::Scale;
        if (n > limit || n < -limit)
            throw DbError(DbErrorCode::NumericOverflow,
                          QStringLiteral("Estouro de campo numérico no campo '%1'.").arg(m_fieldNames[column]), Source);
        return QVariant(qlonglong(n * Currency::Scale));
    }
    if (kind == Kind::YesNo) {
        if (value.typeId() == QMetaType::QString) {
            const QString s = value.toString().trimmed();
            if (s.isEmpty()) return QVariant();
            if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
                s.compare(QLatin1String("Verdadeiro"), Qt::CaseInsensitive) == 0) return QVariant(1);
            if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
                s.compare(QLatin1String("Falso"), Qt::CaseInsensitive) == 0) return QVariant(0);
            bool ok = false;
            const qlonglong n = s.toLongLong(&ok);
            if (!ok) throw mismatch();
            return QVariant(n != 0 ? 1 : 0);
        }
        return QVariant(value.toBool() ? 1 : 0);
    }
    if (kind == Kind::Date) {
        QDate d;
        if (value.typeId() == QMetaType::QDate) d = value.toDate();
        else if (value.typeId() == QMetaType::QDateTime) d = value.toDateTime().date();
        else {
            const QString s = value.toString().trimmed();
            if (s.isEmpty()) return QVariant();
            d = parseDate(s);
        }
        if (!d.isValid()) throw mismatch();
        return QVariant(d.toString(QStringLiteral("yyyy-MM-dd")));
    }
    if (kind == Kind::Time) {
        QTime t;
        if (value.typeId() == QMetaType::QTime) t = value.toTime();
        else if (value.typeId() == QMetaType::QDateTime) t = value.toDateTime().time();
        else {
            const QString s = value.toString().trimmed();
            if (s.isEmpty()) return QVariant();
            t = parseTime(s);
        }
        if (!t.isValid()) throw mismatch();
        return QVariant(t.toString(QStringLiteral("HH:mm:ss")));
    }
    if (kind == Kind::Text) return QVariant(value.toString());
    // Whole numbers.
    if (value.typeId() == QMetaType::QString) {
        const QString s = value.toString().trimmed();
        if (s.isEmpty()) return QVariant();
        bool ok = false;
        const qlonglong n = s.toLongLong(&ok);
        if (!ok) throw mismatch();
        return QVariant(n);
    }
    if (value.typeId() == QMetaType::Bool) return QVariant(value.toBool() ? -1 : 0);
    bool ok = false;
    const qlonglong n = value.toLongLong(&ok);
    if (!ok) throw mismatch();
    return QVariant(n);
}

QVariantList RecordCursor::readRow(qint64 key) const {
    sqlite3* db = m_db.handle();
    const CriterionGuard guard(db, m_table);
    if (!m_rowStmt) {
        Statement st;
        prepareStatement(db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(m_columns, quoteIdent(m_table)), st);
        m_rowStmt = std::exchange(st.s, nullptr);
    }
    const ResetOnExit reset{m_rowStmt};
    sqlite3_bind_int64(m_rowStmt, 1, key);
    QVariantList row;
    const int rc = sqlite3_step(m_rowStmt);
    if (rc == SQLITE_ROW) {
        // The fields the cursor knows (a table altered since can give more).
        const int n = std::min(sqlite3_column_count(m_rowStmt), int(m_kinds.size()));
        row.reserve(n);
        for (int c = 0; c < n; ++c) row.append(readColumn(m_rowStmt, c, c));
    } else if (rc != SQLITE_DONE) {
        throw engineError(db, rc);
    }
    return row;
}

void RecordCursor::loadCurrent() const {
    dropCurrent();
    if (!hasCurrent() || m_gap) return;
    m_seen[std::size_t(m_pos)] = true;
    m_current = readRow(m_keys[std::size_t(m_pos)]);
    // Keep a shown page in step with what was just read.
    if (QVariantList* shown = cachedRow(m_pos); shown && !m_current.isEmpty()) *shown = m_current;
}

QVariantList* RecordCursor::cachedRow(int index) const {
    for (Page& p : m_pages)
        if (index >= p.start && index < p.start + int(p.rows.size())) return &p.rows[std::size_t(index - p.start)];
    return nullptr;
}

const QVariantList& RecordCursor::pagedRow(int index) const {
    static const QVariantList none;
    const int rows = rowPageSize();
    for (;;) {
        if (index < 0 || index >= recordCount()) return none;
        const int start = index / rows * rows;
        for (Page& p : m_pages)
            if (p.start == start && !p.rows.empty()) {
                p.used = ++m_pageUse;
                return p.rows[std::size_t(index - start)];
            }
        sqlite3* db = m_db.handle();
        const int count = std::min(rows, recordCount() - start);
        std::vector<QVariantList> page(static_cast<std::size_t>(count));
        {
            const CriterionGuard guard(db, m_table);
            // One text for every page: a mark per row of a page, the marks
            // left over bound to NULL (the last page).
            QString marks = QStringLiteral("?");
            for (int i = 1; i < rows; ++i) marks += QStringLiteral(",?");
            sqlite3_stmt* const st = keptStatement(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                                                       .arg(m_columns, quoteIdent(m_table), marks));
            const ResetOnExit reset{st};
            for (int i = 0; i < count; ++i) sqlite3_bind_int64(st, i + 1, m_keys[std::size_t(start + i)]);
            // Map the rows back to their places in the cursor order.
            std::vector<std::pair<qint64, int>> where;
            where.reserve(std::size_t(count));
            for (int i = 0; i < count; ++i) where.emplace_back(m_keys[std::size_t(start + i)], i);
            std::sort(where.begin(), where.end());
            const int n = std::min(sqlite3_column_count(st), int(m_kinds.size()) + 1);
            int rc;
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                const qint64 key = sqlite3_column_int64(st, 0);
                auto it = std::lower_bound(where.begin(), where.end(), std::make_pair(key, -1));
                if (it == where.end() || it->first != key) continue;
                QVariantList row;
                row.reserve(n - 1);
                for (int c = 1; c < n; ++c) row.append(readColumn(st, c, c - 1));
                page[std::size_t(it->second)] = std::move(row);
            }
            if (rc != SQLITE_DONE) throw engineError(db, rc);
        }
        // Rows found gone that were never seen leave (from the last, so that
        // the places before stay): the page is read again with the rows that
        // moved up into it. Rows seen before stay where they were seen.
        bool left = false;
        for (int i = count - 1; i >= 0; --i)
            if (page[std::size_t(i)].isEmpty() && !m_seen[std::size_t(start + i)]) eraseSlot(start + i), left = true;
        if (left) {
            announceRows();
            continue;
        }
        for (int i = 0; i < count; ++i) m_seen[std::size_t(start + i)] = true;
        // About five screens kept.
        const std::size_t keptPages = std::size_t(std::max(3, 150 / rows));
        Page* slot = nullptr;
        if (m_pages.size() < keptPages) {
            slot = &m_pages.emplace_back();
        } else {
            slot = &*std::min_element(m_pages.begin(), m_pages.end(),
                                      [](const Page& a, const Page& b) { return a.used < b.used; });
        }
        slot->start = start;
        slot->rows = std::move(page);
        slot->used = ++m_pageUse;
        return slot->rows[std::size_t(index - start)];
    }
}

QVariant RecordCursor::valueAt(int index, int column) const {
    if (!m_open || index < 0 || index >= recordCount() || column < 0 || column >= m_fieldNames.size()) return {};
    if (index == m_pos && !m_gap && m_mode != EditMode::None && column < m_editValues.size()) return m_editValues[column];
    const QVariantList& row = pagedRow(index);
    return column < row.size() ? row[column] : QVariant();
}

QVariantList RecordCursor::rowAt(int index) const {
    if (!m_open || index < 0 || index >= recordCount()) return {};
    return pagedRow(index);
}

QVariant RecordCursor::field(const QString& name) const {
    const int col = requireField(name);
    if (m_mode == EditMode::Add) return m_editValues[col];
    requireCurrent("Field");
    if (m_mode == EditMode::Edit) return m_editValues[col];
    ensureCurrent();
    if (m_current.isEmpty())
        throw DbError(DbErrorCode::NoCurrentRecord, QStringLiteral("O registro foi excluído por outro usuário."), Source);
    return m_current[col];
}

Currency RecordCursor::currency(const QString& name) const {
    const QVariant v = field(name);
    if (v.userType() == qMetaTypeId<Currency>()) return v.value<Currency>();
    if (!v.isValid()) return Currency();
    return Currency::fromUnits(v.toLongLong());
}

bool RecordCursor::yesNo(const QString& name) const {
    const QVariant v = field(name);
    return v.isValid() && v.toBool();
}

void RecordCursor::addNew() {
    ensureOpen("AddNew");
    m_mode = EditMode::Add;
    m_editValues = QVariantList();
    for (int i = 0; i < m_fieldNames.size(); ++i) m_editValues.append(QVariant());
    m_editDirty.assign(std::size_t(m_fieldNames.size()), false);
}

void RecordCursor::edit() {
    requireCurrent("Edit");
    ensureCurrent();
    if (m_current.isEmpty())
        throw DbError(DbErrorCode::NoCurrentRecord, QStringLiteral("O registro foi excluído por outro usuário."), Source);
    m_mode = EditMode::Edit;
    m_editValues = m_current;
    m_editDirty.assign(std::size_t(m_fieldNames.size()), false);
}

void RecordCursor::setField(const QString& name, const QVariant& value) {
    const int col = requireField(name);
    if (m_mode == EditMode::None)
        throw DbError(DbErrorCode::NotInEditMode, QStringLiteral("Operação sem AddNew ou Edit."), Source);
    // Converted now so that a wrong value is reported where it is written.
    const QVariant stored = toStorage(col, value);
    m_editValues[col] = convert(col, stored);
    m_editDirty[std::size_t(col)] = true;
}

namespace {
// A write that found its row gone: another copy deleted it meanwhile.
[[noreturn]] void throwRecordDeleted() {
    throw DbError(DbErrorCode::RecordDeleted, QStringLiteral("O registro foi excluído por outro usuário."), Source);
}
}


qint64 RecordCursor::update() {
    ensureOpen("Update");
    if (m_mode == EditMode::None)
        throw DbError(DbErrorCode::NotInEditMode, QStringLiteral("Update sem AddNew ou Edit."), Source);
    Attempt attempt;
    for (int i = 0; i < m_fieldNames.size(); ++i) {
        if (!m_editDirty[std::size_t(i)]) continue;
        attempt.cols << quoteIdent(m_fieldNames[i]);
        attempt.values << toStorage(i, m_editValues[i]);
    }
    const QStringList& cols = attempt.cols;
    const QVariantList& values = attempt.values;
    sqlite3* db = m_db.handle();
    qint64 key = -1;
    if (m_mode == EditMode::Edit) {
        key = m_keys[std::size_t(m_pos)];
        if (!cols.isEmpty()) {
            QStringList sets;
            for (const QString& c : cols) sets << c + QStringLiteral(" = ?");
            Statement st;
            prepareStatement(db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = %3").arg(quoteIdent(m_table), sets.join(QStringLiteral(", "))).arg(key), st);
            for (int i = 0; i < values.size(); ++i) bindValue(st.s, i + 1, values[i]);
            runToEnd(db, st);
            if (sqlite3_changes(db) == 0) {
                cancelUpdate();
                throwRecordDeleted();
            }
        }
        const BeforeWrite before = beforeWrite();
        m_mode = EditMode::None;
        loadCurrent();
        announceWhenStored(before, false, false, attempt);
        return key;
    }
    // A new row: the database gives its key. After an unconfirmed add the
    // row it may have stored is asked for (any write of this program left
    // unconfirmed told first, before anything of this one reads the file):
    // stored, and still the row it stored, it takes these values instead of
    // a second row coming.
    const qint64 earlier = unconfirmedAddKey();
    bool rewritten = false;
    if (earlier) {
        // The stored row becomes the row this add would store: every column
        // not set now takes what an INSERT gives it, whatever the earlier
        // attempt set there.
        m_unconfirmed.attempts.push_back(attempt);
        Statement st;
        prepareStatement(db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = %3").arg(quoteIdent(m_table), rewriteSets(cols)).arg(earlier), st);
        for (int i = 0; i < values.size(); ++i) bindValue(st.s, i + 1, values[i]);
        runToEnd(db, st);
        // Gone meanwhile (another copy deleted it): the row is added again.
        // Otherwise the earlier add stays known until this write is stored.
        rewritten = sqlite3_changes(db) == 1;
        if (!rewritten) m_unconfirmed = {};
        key = earlier;
    }
    if (!rewritten) {
        Statement st;
        if (cols.isEmpty()) {
            prepareStatement(db, QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdent(m_table)), st);
        } else {
            QStringList marks;
            for (int i = 0; i < cols.size(); ++i) marks << QStringLiteral("?");
            prepareStatement(db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(quoteIdent(m_table), cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))), st);
            for (int i = 0; i < values.size(); ++i) bindValue(st.s, i + 1, values[i]);
        }
        try {
            runToEnd(db, st);
        } catch (const DbError& e) {
            if (e.number() == DbErrorCode::Unconfirmed)
                m_unconfirmed = {m_db.lastUnconfirmed(), sqlite3_last_insert_rowid(db), false, {attempt}, m_keysRead};
            throw;
        }
        key = sqlite3_last_insert_rowid(db);
    }
    m_mode = EditMode::None;
    joinNewRow(key, rewritten, attempt);
    return key;
}

void RecordCursor::joinNewRow(qint64 key, bool rewritten, const Attempt& attempt) {
    // A stored row read in since is already there.
    if (rewritten && m_keysRead != m_unconfirmed.keysRead && indexOfKey(key) >= 0) {
        const BeforeWrite before = beforeWrite();
        m_lastInsert = key;
        dropPages();
        loadCurrent();
        announceWhenStored(before, false, true, attempt);
        return;
    }
    BeforeWrite before = beforeWrite();
    // A table without an autonumber gives a new row the key another copy
    // freed: the row that had it here is gone (if it was the current row
    // there is none until the next move). Keys above those read were given
    // since, so only this cursor's own can be held.
    if (key <= m_keyLimit || m_addedAbove.contains(key)) {
        if (const int held = indexOfKey(key); held >= 0) {
            before.freedSlot = held;
            before.freedKey = key;
            before.freedSeen = m_seen[std::size_t(held)];
            eraseSlot(held);
        }
    }
    m_lastInsert = key;
    // The new row joins the end of the cursor; the current row stays (on an
    // empty cursor the new row becomes current).
    insertSlot(recordCount(), key, true);
    if (key > m_keyLimit) m_addedAbove.insert(key);
    if (m_pos < 0 && !m_gap) { m_pos = 0; m_bofFlag = m_eofFlag = false; }
    if (m_eofFlag) { m_pos = recordCount() - 1; m_eofFlag = false; }
    dropPages();
    loadCurrent();
    announceWhenStored(before, true, rewritten, attempt);
}

QString RecordCursor::rewriteSets(const QStringList& cols) const {
    QStringList sets;
    for (const QString& c : cols) sets << c + QStringLiteral(" = ?");
    struct Column {
        QString name, defaultValue;
    };
    std::vector<Column> columns;
    sqlite3* db = m_db.handle();
    Statement st;
    prepareStatement(db, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(m_table)), st);
    // cid, name, type, notnull, dflt_value, pk; no default reads as a null text
    const auto text = [&](int c) { return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.s, c))); };
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) columns.push_back({text(1), text(4)});
    if (rc != SQLITE_DONE) throw engineError(db, rc);
    // The row's key itself stays.
    const QString key = keyColumn();
    for (const Column& c : columns) {
        if (c.name == key || cols.contains(quoteIdent(c.name), Qt::CaseInsensitive)) continue;
        sets << quoteIdent(c.name) + QStringLiteral(" = ") +
                    (c.defaultValue.isNull() ? QStringLiteral("NULL") : QLatin1Char('(') + c.defaultValue + QLatin1Char(')'));
    }
    if (sets.isEmpty()) sets << QStringLiteral("rowid = rowid");
    return sets.join(QStringLiteral(", "));
}

bool RecordCursor::keysNeverReused() const {
    if (m_keysNeverReused < 0) {
        sqlite3* db = m_db.handle();
        Statement st;
        prepareStatement(db, QStringLiteral("SELECT instr(upper(sql), 'AUTOINCREMENT') > 0 FROM sqlite_master "
                                            "WHERE type = 'table' AND name = ? COLLATE NOCASE"), st);
        bindValue(st.s, 1, m_table);
        const int rc = sqlite3_step(st.s);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw engineError(db, rc);
        m_keysNeverReused = rc == SQLITE_ROW && sqlite3_column_int(st.s, 0) ? 1 : 0;
    }
    return m_keysNeverReused == 1;
}

bool RecordCursor::landedRowIsOurs() const {
    // An autonumber never gives a key twice: the row on it is the one added
    // (or none, and the add is made again).
    if (keysNeverReused()) return true;
    // Otherwise another copy may have deleted it and given its key to a row
    // of its own: the row must hold, exactly, what one attempt wrote.
    sqlite3* db = m_db.handle();
    for (const Attempt& a : m_unconfirmed.attempts) {
        QString sql = QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ?").arg(quoteIdent(m_table));
        for (const QString& c : a.cols) sql += QStringLiteral(" AND %1 IS ? COLLATE BINARY").arg(c);
        Statement st;
        prepareStatement(db, sql, st);
        sqlite3_bind_int64(st.s, 1, m_unconfirmed.key);
        for (int i = 0; i < a.values.size(); ++i) bindValue(st.s, i + 2, a.values[i]);
        const int rc = sqlite3_step(st.s);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) throw engineError(db, rc);
    }
    return false;
}

qint64 RecordCursor::unconfirmedAddKey() {
    if (!m_unconfirmed.write) return 0;
    // The last write left unconfirmed may be a later one, onto this row.
    m_db.tellUnconfirmed();
    m_unconfirmed.stored = m_unconfirmed.stored || m_db.wasStored(m_unconfirmed.write);
    if (!m_unconfirmed.stored || !landedRowIsOurs()) m_unconfirmed = {};
    return m_unconfirmed.write ? m_unconfirmed.key : 0;
}

qint64 RecordCursor::storedUnconfirmedAdd() {
    const qint64 key = unconfirmedAddKey();
    if (key) joinNewRow(key, true, m_unconfirmed.attempts.back());
    return key;
}

RecordCursor::BeforeWrite RecordCursor::beforeWrite() const {
    ensureCurrent();
    return {m_pos, m_bofFlag, m_eofFlag, m_gap, m_lastInsert, m_current};
}

void RecordCursor::announceWhenStored(const BeforeWrite& before, bool added, bool rewritten, const Attempt& attempt) {
    const QPointer<RecordCursor> self(this);
    const int index = m_pos;
    const qint64 key = added ? m_lastInsert : -1;
    Transaction::whenStored(m_db, [self, index, added, rewritten, before, key, attempt](Transaction::Outcome outcome) {
        if (!self) return;
        if (outcome == Transaction::Outcome::Stored) {
            // Written onto the row an earlier add stored: that one is settled.
            if (rewritten) self->m_unconfirmed = {};
            if (added) emit self->rowsReset();
            else emit self->rowUpdated(index);
            emit self->currentChanged();
            return;
        }
        // Undone: the cursor is put back as it was before the write (nothing
        // moves it between its write and the end of the transaction).
        if (added) self->takeLastSlot();
        if (before.freedSlot >= 0) self->insertSlot(before.freedSlot, before.freedKey, before.freedSeen);
        // A row an earlier add stored stays known whatever a write onto it
        // met: the next add writes onto it again. A first add may be stored.
        if (added && !rewritten && outcome == Transaction::Outcome::Unconfirmed)
            self->m_unconfirmed = {self->m_db.lastUnconfirmed(), key, false, {attempt}, self->m_keysRead};
        self->m_pos = before.pos;
        self->m_bofFlag = before.bof;
        self->m_eofFlag = before.eof;
        self->m_gap = before.gap;
        self->m_lastInsert = before.lastInsert;
        self->m_current = before.current;
        self->m_currentPending = false;
        self->dropPages();
    });
}

void RecordCursor::cancelUpdate() {
    m_mode = EditMode::None;
    m_editValues.clear();
    m_editDirty.clear();
}

void RecordCursor::deleteCurrent() {
    requireCurrent("Delete");
    m_mode = EditMode::None;
    const qint64 key = m_keys[std::size_t(m_pos)];
    sqlite3* db = m_db.handle();
    Statement st;
    prepareStatement(db, QStringLiteral("DELETE FROM %1 WHERE rowid = %2").arg(quoteIdent(m_table)).arg(key), st);
    runToEnd(db, st);
    // The row leaves the cursor once its deletion is stored (at once outside
    // a transaction; nothing moves the cursor before its transaction ends);
    // undone, it stays. Then there is no current row until the program
    // moves: the row that followed is one MoveNext away.
    const QPointer<RecordCursor> self(this);
    Transaction::whenStored(m_db, [self, key](Transaction::Outcome outcome) {
        if (!self || outcome != Transaction::Outcome::Stored) return;
        if (const int slot = self->indexOfKey(key); slot >= 0) self->eraseSlot(slot);
        emit self->rowsReset();
        emit self->currentChanged();
    });
}

void RecordCursor::writeField(int index, const QString& name, const QVariant& value) {
    ensureOpen("Update");
    const int col = requireField(name);
    if (index < 0 || index >= recordCount())
        throw DbError(DbErrorCode::NoCurrentRecord, QStringLiteral("Nenhum registro atual."), Source);
    const QVariant stored = toStorage(col, value);
    const qint64 key = m_keys[std::size_t(index)];
    sqlite3* db = m_db.handle();
    Statement st;
    prepareStatement(db, QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = %3").arg(quoteIdent(m_table), quoteIdent(m_fieldNames[col])).arg(key), st);
    bindValue(st.s, 1, stored);
    runToEnd(db, st);
    if (sqlite3_changes(db) == 0) throwRecordDeleted();
    if (QVariantList* cached = cachedRow(index)) {
        QVariantList& row = *cached;
        if (col < row.size()) row[col] = convert(col, stored);
    }
    if (index == m_pos && !m_gap) {
        loadCurrent();
        // An edit of the row in progress keeps what was typed; the cell
        // written shows through where nothing was.
        if (m_mode == EditMode::Edit && !m_editDirty[std::size_t(col)]) m_editValues[col] = m_current.value(col);
    }
    emit rowUpdated(index);
}
