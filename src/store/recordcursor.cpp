#include "recordcursor.h"

#include <QPointer>

#include "sqldialect.h"
#include "statement.h"
#include "textcompare.h"

#include <QPointer>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <utility>
#include <sqlcipher/sqlite3.h>

namespace {

int PageSize = 50;
// Rows are read about a screenful at a time, half a page of keys: a grid
// standing across two pages reads little more than it shows, and a page of
// rows never reaches into a page of keys not needed (a filter without an
// index reads the whole table for each page of keys).
int rowPageSize() {
    int rows = std::min(PageSize, 25);
    while (PageSize % rows != 0) --rows;
    return rows;
}
// Rows between two keys of the order's sample.
constexpr int SampleStride = 1024;
// A slot of the keyset whose key has not been read yet.
constexpr qint64 NoKey = KeySlots::None;
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

// The statements of one read (a page of keys, a row's place) see the file as
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
    m_table = table;
    m_columns = columns;
    m_where = where.isEmpty() ? where : withPrefixRange(where, false);
    m_orderBy = order;
    if (!sameShape) finalizeRowStatement();
    // A find prepared for other rows or another order does not serve.
    else if (m_where != oldWhere || m_orderBy != oldOrder) finalizeFindStatement();

    // The same source on an unchanged file: the rows and fields read last
    // time still hold (a list refreshed after a find that missed).
    if (m_open && m_keysSource == m_path + QLatin1Char('\n') + m_source && keysStillCurrent()) {
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
    // Another order of the same rows on an unchanged file: the count holds.
    const bool counted = sameShape && m_where == oldWhere && keysStillCurrent();
    m_open = true;
    m_mode = EditMode::None;
    readKeys(counted);
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

QString sourceFilter(qint64 keyLimit, const QString& where) {
    QString f = QStringLiteral("rowid <= %1").arg(keyLimit);
    if (!where.isEmpty()) f += QStringLiteral(" AND (") + where + QLatin1Char(')');
    return f;
}

} // namespace

void RecordCursor::readKeys(bool counted) {
    sqlite3* db = m_db.handle();
    if (!counted) {
        const CriterionGuard guard(db, m_table);
        // The count and the largest key in one statement, so that both see
        // the file as it stood at one moment.
        QString count = QStringLiteral("SELECT count(*) FROM %1").arg(quoteIdent(m_table));
        if (!m_where.isEmpty()) count += QStringLiteral(" WHERE ") + m_where;
        Statement st;
        prepareStatement(db, QStringLiteral("SELECT (SELECT max(rowid) FROM %1), (%2)").arg(quoteIdent(m_table), count), st);
        const int rc = sqlite3_step(st.s);
        if (rc != SQLITE_ROW) throw engineError(db, rc);
        m_keyLimit = sqlite3_column_int64(st.s, 0);
        m_ordered = sqlite3_column_int(st.s, 1);
    }
    m_keys.reset(m_ordered);
    m_placed.clear();
    m_readValues.clear();
    finalizeKept();
    m_terms.clear();
    for (const auto& [expr, desc] : orderTerms(m_orderBy)) m_terms.push_back({expr, desc});
    m_firstTermNulls = m_firstTermIndexed = -1;
    dropPages();
    noteKeysRead();
    // The same rows in the order sampled already (the search order): the sample holds.
    if (!(counted && m_sampleOrder == m_orderBy && m_sampleRun > 0))
        startSample(m_searchOrder.isEmpty() ? m_orderBy : m_searchOrder);
}

namespace {

// The file's change counter as this connection sees it: it moves when
// another connection commits a change.
qint64 dataVersion(sqlite3* db) {
    Statement st;
    prepareStatement(db, QStringLiteral("PRAGMA data_version"), st);
    return sqlite3_step(st.s) == SQLITE_ROW ? sqlite3_column_int64(st.s, 0) : -1;
}

} // namespace

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

void RecordCursor::startSample(const QString& order) {
    m_sampleOrder = order;
    m_sampleTerms.clear();
    for (const auto& [expr, desc] : orderTerms(order)) m_sampleTerms.push_back({expr, desc});
    m_sampleRank.clear();
    m_sampleValues.clear();
    m_sampleKey = -1;
    m_sampleNext = SampleStride - 1;
    m_sampleMoved = false;
    // A short list counts a row's place at once.
    m_sampleDone = m_ordered <= 4 * SampleStride;
    const quint64 run = ++m_sampleRun;
    if (m_sampleDone || takeKeptSample()) return;
    // Once the list is shown and painted.
    QTimer::singleShot(100, this, [this, run] { sampleSome(run); });
}

namespace {

// A whole sample of an order, with the state of the file it was read on:
// the connection's view of other copies' commits and its own count of rows
// written. Equal values mean that not one row changed since.
struct KeptSample {
    std::weak_ptr<Connection> connection;
    QString source;   // the table, the rows' condition and the order
    qint64 dataVersion;
    qint64 changes;
    int ordered;
    qint64 keyLimit;
    QHash<qint64, int> rank;
};

std::vector<KeptSample>& keptSamples() {
    static std::vector<KeptSample> kept;
    return kept;
}

bool sameConnection(const std::weak_ptr<Connection>& a, const std::shared_ptr<Connection>& b) {
    return !a.expired() && !a.owner_before(b) && !b.owner_before(a);
}

} // namespace

QString RecordCursor::sampleSource() const {
    return m_table + QLatin1Char('\n') + m_where + QLatin1Char('\n') + m_sampleOrder;
}

bool RecordCursor::takeKeptSample() {
    const auto connection = m_db.connection();
    const QString source = sampleSource();
    for (const KeptSample& k : keptSamples())
        if (sameConnection(k.connection, connection) && k.source == source && k.dataVersion == m_keysDataVersion &&
            k.changes == m_keysOwnChanges && k.ordered == m_ordered && k.keyLimit == m_keyLimit) {
            m_sampleRank = k.rank;
            m_sampleDone = true;
            return true;
        }
    return false;
}

void RecordCursor::keepSample() const {
    // Only a sample read on the keys as counted, unchanged since.
    sqlite3* db = m_db.handle();
    if (m_sampleMoved || m_sampleRank.isEmpty() || m_keysDataVersion < 0 || dataVersion(db) != m_keysDataVersion ||
        sqlite3_total_changes(db) != m_keysOwnChanges)
        return;
    auto& kept = keptSamples();
    const auto connection = m_db.connection();
    const QString source = sampleSource();
    std::erase_if(kept, [&](const KeptSample& k) {
        return k.connection.expired() || (sameConnection(k.connection, connection) && k.source == source);
    });
    // A few lists' orders at most: the oldest goes.
    constexpr std::size_t KeptOrders = 8;
    if (kept.size() >= KeptOrders) kept.erase(kept.begin());
    kept.push_back({connection, source, m_keysDataVersion, m_keysOwnChanges, m_ordered, m_keyLimit, m_sampleRank});
}

void RecordCursor::sampleSome(quint64 run) {
    try {
        readSample(run);
    } catch (const DbError&) {
        // A busy or changing file: finds count their places instead.
        m_sampleRank.clear();
        m_sampleDone = true;
    }
}

void RecordCursor::readSample(quint64 run) {
    if (run != m_sampleRun || !m_open || m_sampleDone) return;
    if (!keysStillCurrent()) {
        // Other copies changed the file: places counted now would not be the slots'.
        m_sampleRank.clear();
        m_sampleDone = true;
        return;
    }
    // Another order than the cursor's (the search order): its terms meanwhile.
    struct Terms {
        const RecordCursor* c;
        bool swapped;
        void swap() const {
            if (!swapped) return;
            std::swap(const_cast<RecordCursor*>(c)->m_terms, const_cast<RecordCursor*>(c)->m_sampleTerms);
            c->m_firstTermNulls = c->m_firstTermIndexed = -1;
        }
        ~Terms() { swap(); }
    } const terms{this, m_sampleOrder != m_orderBy};
    terms.swap();
    QStringList exprs{QStringLiteral("rowid")};
    for (const OrderTerm& t : m_terms) exprs << t.expr;
    sqlite3* db = m_db.handle();
    QElapsedTimer clock;
    clock.start();
    // A few milliseconds at a time, each read its own statement, so that the
    // operator's typing and other copies' writes wait for none of it.
    while (!m_sampleDone && clock.elapsed() < 3) {
        QVariantList binds;
        // "+rowid": the order's index gives the rows, not the table's keys.
        QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE +%3")
                          .arg(exprs.join(QStringLiteral(", ")), quoteIdent(m_table), sourceFilter(m_keyLimit, m_where));
        int offset = m_sampleKey >= 0 ? SampleStride - 1 : m_sampleNext;
        if (m_sampleKey >= 0 && !m_terms.empty() && m_sampleValues.front().isValid()) {
            // From the first of the last key's first value on, a plain range
            // of the index: its rows are skipped without a comparison each.
            const OrderTerm& first = m_terms.front();
            QVariantList before;
            const QString ties = QStringLiteral("SELECT count(*) FROM %1 WHERE %2 AND %3 IS ? AND %4")
                                     .arg(quoteIdent(m_table), sourceFilter(m_keyLimit, m_where), first.expr,
                                          seekCondition(m_sampleValues, m_sampleKey, false, before));
            before.prepend(m_sampleValues.front());
            offset += countOf(ties, before) + 1;
            sql += QStringLiteral(" AND %1 %2 ?").arg(first.expr, first.desc ? QStringLiteral("<=") : QStringLiteral(">="));
            binds << m_sampleValues.front();
        } else if (m_sampleKey >= 0) {
            sql += QStringLiteral(" AND ") + seekCondition(m_sampleValues, m_sampleKey, true, binds);
        }
        sql += QStringLiteral(" ORDER BY ") + orderClause(false) + QStringLiteral(" LIMIT 1 OFFSET ?");
        binds << offset;
        const CriterionGuard guard(db, m_table);
        sqlite3_stmt* st = keptStatement(sql);
        const ResetOnExit reset{st};
        for (int i = 0; i < binds.size(); ++i) bindValue(st, i + 1, binds[i]);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE || m_sampleNext >= m_ordered) {
            m_sampleDone = true;
        } else if (rc == SQLITE_ROW) {
            m_sampleKey = sqlite3_column_int64(st, 0);
            m_sampleValues.clear();
            for (int c = 1; c <= int(m_terms.size()); ++c) m_sampleValues << storedColumn(st, c);
            m_sampleRank.insert(m_sampleKey, m_sampleNext);
            m_sampleNext += SampleStride;
        } else {
            throw engineError(db, rc);
        }
    }
    // The next few as soon as the events waiting meanwhile are handled.
    if (!m_sampleDone) QTimer::singleShot(0, this, [this, run] { sampleSome(run); });
    else keepSample();
}

int RecordCursor::placeBySample(const QVariantList& values, qint64 key, bool counted) const {
    if (m_sampleOrder != m_orderBy) return -1;
    // The rows after it, up to a stride of them, until a sampled one or the end.
    QVariantList binds;
    const QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE %2 AND %3 ORDER BY %4 LIMIT %5")
                            .arg(quoteIdent(m_table), sourceFilter(m_keyLimit, m_where), seekCondition(values, key, true, binds),
                                 orderClause(false))
                            .arg(SampleStride);
    sqlite3* db = m_db.handle();
    const CriterionGuard guard(db, m_table);
    sqlite3_stmt* st = keptStatement(sql);
    const ResetOnExit reset{st};
    for (int i = 0; i < binds.size(); ++i) bindValue(st, i + 1, binds[i]);
    const int self = counted ? 1 : 0;
    int rc, after = 0;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (const auto it = m_sampleRank.constFind(sqlite3_column_int64(st, 0)); it != m_sampleRank.constEnd())
            return *it - after - self;
        ++after;
    }
    if (rc != SQLITE_DONE) throw engineError(db, rc);
    return after < SampleStride ? m_ordered - after - self : -1;
}

void RecordCursor::shiftSample(int from, int by) const {
    for (auto it = m_sampleRank.begin(); it != m_sampleRank.end();) {
        if (by < 0 && *it >= from && *it < from - by) {
            it = m_sampleRank.erase(it);
            continue;
        }
        if (*it >= from) *it += by;
        ++it;
    }
}

void RecordCursor::unplace(int s) const {
    const qint64 key = m_keys[s];
    if (s < m_ordered) {
        QVariantList values;
        for (const int n : {s - 1, s + 1})
            if (n >= 0 && n < m_ordered && m_keys[n] != NoKey && !m_readValues.contains(m_keys[n]) &&
                orderValues(m_keys[n], values))
                m_readValues.insert(m_keys[n], values);
        m_readValues.remove(key);
        --m_ordered;
        shiftSample(s, -1);
    }
    m_keys.erase(s);
    if (m_pos > s) --m_pos;
}

bool RecordCursor::applyOwnWrites() {
    sqlite3* db = m_db.handle();
    if (m_keysDataVersion < 0 || dataVersion(db) != m_keysDataVersion) return false;
    std::vector<Database::RowWrite> writes;
    if (!m_db.writesSince(m_keysWriteMark, writes) || qint64(writes.size()) != sqlite3_total_changes(db) - m_keysOwnChanges)
        return false;
    std::erase_if(writes, [this](const Database::RowWrite& w) { return w.table.compare(m_table, Qt::CaseInsensitive) != 0; });
    if (writes.size() > 4) return false;
    m_sampleMoved = true;
    for (const Database::RowWrite& w : writes) {
        const int slot = m_keys.indexOf(w.key);
        const bool held = slot >= 0;
        if (held) unplace(slot);
        // A row not read yet changed or went: its slot is not known.
        if (!held && w.op != SQLITE_INSERT && !(w.op == SQLITE_DELETE && m_placed.contains(w.key))) return false;
        if (w.op == SQLITE_INSERT) m_keyLimit = std::max(m_keyLimit, w.key);
        QVariantList values;
        if (w.op == SQLITE_DELETE || !orderValues(w.key, values)) continue;
        int at = placeBySample(values, w.key, false);
        if (at < 0) {
            ++m_ordered;   // counted with the row in its place
            at = countNearerSide(values, w.key);
            --m_ordered;
        }
        at = std::clamp(at, 0, m_ordered);
        m_keys.insert(at, w.key);
        ++m_ordered;
        m_placed.insert(w.key);
        m_readValues.insert(w.key, values);
        shiftSample(at, 1);
    }
    dropPages();
    noteKeysRead();
    // A sample half read goes on after its last key, at that key's place now;
    // one of another order is read again.
    if (m_sampleOrder != m_orderBy) {
        startSample(m_sampleOrder);
    } else if (!m_sampleDone) {
        if (const auto last = m_sampleRank.constFind(m_sampleKey); last != m_sampleRank.constEnd()) m_sampleNext = *last + SampleStride;
        else if (m_sampleKey >= 0) startSample(m_sampleOrder);
    }
    return true;
}

QString RecordCursor::orderClause(bool reversed) const {
    QStringList parts;
    for (const OrderTerm& t : m_terms) parts << t.expr + ((t.desc != reversed) ? QStringLiteral(" DESC") : QString());
    parts << (reversed ? QStringLiteral("rowid DESC") : QStringLiteral("rowid"));
    return parts.join(QStringLiteral(", "));
}

bool RecordCursor::firstTermHasNulls() const {
    if (m_firstTermNulls < 0) {
        sqlite3* db = m_db.handle();
        const CriterionGuard guard(db, m_table);
        Statement st;
        prepareStatement(db, QStringLiteral("SELECT 1 FROM %1 WHERE %2 IS NULL LIMIT 1").arg(quoteIdent(m_table), m_terms.front().expr), st);
        const int rc = sqlite3_step(st.s);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw engineError(db, rc);
        m_firstTermNulls = rc == SQLITE_ROW ? 1 : 0;
    }
    return m_firstTermNulls == 1;
}

bool RecordCursor::firstTermIndexed() const {
    if (m_firstTermIndexed < 0) {
        // An index of the table led by the column the order begins with.
        QString column = m_terms.front().expr.trimmed();
        if (column.startsWith(QLatin1Char('"')) && column.endsWith(QLatin1Char('"')))
            column = column.mid(1, column.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
        sqlite3* db = m_db.handle();
        Statement list;
        prepareStatement(db, QStringLiteral("PRAGMA index_list(%1)").arg(quoteIdent(m_table)), list);
        QStringList indexes;
        int rc;
        while ((rc = sqlite3_step(list.s)) == SQLITE_ROW) indexes << storedColumn(list.s, 1).toString();
        if (rc != SQLITE_DONE) throw engineError(db, rc);
        m_firstTermIndexed = 0;
        for (const QString& index : indexes) {
            Statement info;
            prepareStatement(db, QStringLiteral("PRAGMA index_info(%1)").arg(quoteIdent(index)), info);
            // The first row is the index's leading column.
            rc = sqlite3_step(info.s);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw engineError(db, rc);
            if (rc == SQLITE_ROW && storedColumn(info.s, 2).toString().compare(column, Qt::CaseInsensitive) == 0) {
                m_firstTermIndexed = 1;
                break;
            }
        }
    }
    return m_firstTermIndexed == 1;
}

bool RecordCursor::orderValues(qint64 key, QVariantList& values) const {
    values.clear();
    sqlite3* db = m_db.handle();
    const CriterionGuard guard(db, m_table);
    QStringList exprs{QStringLiteral("1")};
    for (const OrderTerm& t : m_terms) exprs << t.expr;
    sqlite3_stmt* st = keptStatement(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ? AND %3")
                                         .arg(exprs.join(QStringLiteral(", ")), quoteIdent(m_table), sourceFilter(m_keyLimit, m_where)));
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
    QString cond = QLatin1Char('(') + alternatives.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    // A plain range on the first term as well, so that the engine walks its
    // index from the bound instead of from an end.
    if (!m_terms.empty() && values.front().isValid()) {
        const OrderTerm& t = m_terms.front();
        const bool larger = t.desc != after;
        if (larger) {
            cond = t.expr + QStringLiteral(" >= ? AND ") + cond;
            binds.prepend(values.front());
        } else if (!firstTermHasNulls()) {
            cond = t.expr + QStringLiteral(" <= ? AND ") + cond;
            binds.prepend(values.front());
        }
    }
    return cond;
}

bool RecordCursor::boundValues(int slot, QVariantList& values) const {
    const qint64 key = m_keys[slot];
    if (const auto it = m_readValues.constFind(key); it != m_readValues.constEnd()) {
        values = *it;
        return true;
    }
    return orderValues(key, values);
}

void RecordCursor::placeKey(int slot, qint64 key, const QVariantList& values) const {
    m_keys.set(slot, key);
    m_placed.insert(key);
    m_readValues.insert(key, values);
}

void RecordCursor::dropInnerValues(int from, int to) const {
    const auto read = [this](int s) { return s < 0 || s >= m_ordered || m_keys[s] != NoKey; };
    for (int s = std::max(0, from); s <= std::min(to, m_ordered - 1); ++s)
        if (read(s) && read(s - 1) && read(s + 1)) m_readValues.remove(m_keys[s]);
}

void RecordCursor::announceRows() const {
    dropPages();
    QMetaObject::invokeMethod(const_cast<RecordCursor*>(this), [this] { emit const_cast<RecordCursor*>(this)->rowsReset(); },
                              Qt::QueuedConnection);
}

void RecordCursor::eraseSlots(int at, int n) const {
    if (n <= 0) return;
    m_keys.erase(at, n);
    m_ordered -= n;
    if (m_pos >= at + n) m_pos -= n;
    else if (m_pos >= at) m_pos = at;
    announceRows();
}

void RecordCursor::insertSlots(int at, const std::vector<qint64>& keys) const {
    if (keys.empty()) return;
    m_keys.insert(at, keys);
    m_ordered += int(keys.size());
    m_placed.unite(QSet<qint64>(keys.begin(), keys.end()));
    if (m_pos >= at) m_pos += int(keys.size());
    announceRows();
}

bool RecordCursor::readKeyRange(int lo, int hi, bool forward, int skip, int limit, std::vector<KeyRead>& out) const {
    out.clear();
    QVariantList nearValues, farValues;
    const int nearSlot = forward ? lo : hi, farSlot = forward ? hi : lo;
    const auto inside = [this](int slot) { return slot >= 0 && slot < m_ordered; };
    // The bound walked from must be had; the far one only stops the walk.
    if (inside(nearSlot) && !boundValues(nearSlot, nearValues)) return false;
    const bool far = inside(farSlot) && boundValues(farSlot, farValues);
    qint64 nearKey = inside(nearSlot) ? m_keys[nearSlot] : NoKey;
    bool hasNear = inside(nearSlot);
    QStringList exprs{QStringLiteral("rowid")};
    for (const OrderTerm& t : m_terms) exprs << t.expr;
    sqlite3* db = m_db.handle();
    const CriterionGuard guard(db, m_table);
    for (int offset = skip;;) {
        QVariantList binds;
        QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                          .arg(exprs.join(QStringLiteral(", ")), quoteIdent(m_table), sourceFilter(m_keyLimit, m_where));
        // Each condition's marks come in its own list: it may put one first.
        QVariantList b;
        if (hasNear) sql += QStringLiteral(" AND ") + seekCondition(nearValues, nearKey, forward, b);
        binds << std::exchange(b, {});
        if (far) sql += QStringLiteral(" AND ") + seekCondition(farValues, m_keys[farSlot], !forward, b);
        binds << b;
        sql += QStringLiteral(" ORDER BY ") + orderClause(!forward) + QStringLiteral(" LIMIT ? OFFSET ?");
        const int chunk = limit < 0 ? -1 : limit - int(out.size());
        binds << chunk << offset;
        sqlite3_stmt* st = keptStatement(sql);
        const ResetOnExit reset{st};
        for (int i = 0; i < binds.size(); ++i) bindValue(st, i + 1, binds[i]);
        int rc, rows = 0;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            ++rows;
            KeyRead r{sqlite3_column_int64(st, 0), {}};
            for (int c = 1; c <= int(m_terms.size()); ++c) r.values << storedColumn(st, c);
            nearKey = r.key;
            nearValues = r.values;
            // A row read already (its order changed since) keeps its place.
            if (!m_placed.contains(r.key)) out.push_back(std::move(r));
        }
        if (rc != SQLITE_DONE) throw engineError(db, rc);
        // Rows skipped as placed leave the read short: go on after the last one.
        if (limit < 0 || rows < chunk || int(out.size()) >= limit) break;
        hasNear = true;
        offset = 0;
    }
    if (!forward) std::reverse(out.begin(), out.end());
    return true;
}

void RecordCursor::readKeyPage(int index) const {
    const ReadSnapshot snapshot(m_db.handle());
    const int lo = m_keys.readBefore(index);
    const int hi = m_keys.readAfter(index, m_ordered);
    const int pageStart = index / PageSize * PageSize;
    const int from = std::max(lo + 1, pageStart);
    const int to = std::min(hi, pageStart + PageSize);
    const int wanted = to - from;
    // Walk from the nearer key already read; from the other when its row is gone.
    bool forward = from - (lo + 1) <= hi - to;
    bool closes = false;
    std::vector<KeyRead> got;
    const auto read = [&] {
        // A read reaching the far bound takes every row up to it: rows whose
        // order moved into the stretch get slots of their own.
        QVariantList far;
        const int farSlot = forward ? hi : lo;
        closes = (forward ? to == hi : from == lo + 1) && (farSlot < 0 || farSlot >= m_ordered || boundValues(farSlot, far));
        return readKeyRange(lo, hi, forward, forward ? from - lo - 1 : hi - to, closes ? -1 : wanted, got);
    };
    if (!read()) {
        forward = !forward;
        if (!read()) {
            // Neither neighbour's row can be had: count from the start.
            readKeyRange(-1, m_ordered, true, from, wanted, got);
            for (int i = 0; i < std::min(wanted, int(got.size())); ++i) placeKey(from + i, got[std::size_t(i)].key, got[std::size_t(i)].values);
            return;
        }
    }
    const int n = int(got.size());
    if (!closes && n >= wanted) {
        for (int i = 0; i < wanted; ++i) placeKey(from + i, got[std::size_t(i)].key, got[std::size_t(i)].values);
        dropInnerValues(from - 1, to);
        return;
    }
    // The walk reached the far bound: the stretch is read whole, skipping
    // nothing (the rows a skip passed may have gone meanwhile), and the
    // slots become exactly its rows. Rows that other copies moved from any
    // stretch not read into stretches already read are not read there again:
    // whichever stretch is read whole next takes them, as though they had
    // not moved, after the rows read walking forwards, before them walking
    // backwards. A stretch that took another's row leaves that one a slot
    // too many, so each stretch read whole looks for them again, until the
    // rows are counted anew; on a file unchanged since, none can be.
    if (forward ? from > lo + 1 : to < hi) readKeyRange(lo, hi, forward, 0, -1, got);
    if (!keysStillCurrent()) {
        std::vector<KeyRead> moved = strays();
        got.insert(forward ? got.end() : got.begin(), std::make_move_iterator(moved.begin()), std::make_move_iterator(moved.end()));
    }
    const int place = lo + 1, room = hi - lo - 1;
    const int fill = std::min(room, int(got.size()));
    for (int i = 0; i < fill; ++i) placeKey(place + i, got[std::size_t(i)].key, got[std::size_t(i)].values);
    std::vector<qint64> more;
    for (std::size_t i = std::size_t(fill); i < got.size(); ++i) more.push_back(got[i].key), m_readValues.insert(got[i].key, got[i].values);
    insertSlots(place + fill, more);
    eraseSlots(place + fill, room - fill);
    dropInnerValues(lo, place + int(got.size()));
}

std::vector<RecordCursor::KeyRead> RecordCursor::strays() const {
    // Each stretch of read rows is read again between its ends.
    QStringList exprs{QStringLiteral("rowid")};
    for (const OrderTerm& t : m_terms) exprs << t.expr;
    std::vector<KeyRead> found;
    sqlite3* db = m_db.handle();
    for (int a = 0; a < m_ordered;) {
        if (m_keys[a] == NoKey) {
            a = m_keys.readAfter(a, m_ordered);
            continue;
        }
        int b = a;
        while (b + 1 < m_ordered && m_keys[b + 1] != NoKey) ++b;
        QVariantList binds, values;
        QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                          .arg(exprs.join(QStringLiteral(", ")), quoteIdent(m_table), sourceFilter(m_keyLimit, m_where));
        for (const auto& [slot, after] : {std::pair{a, true}, std::pair{b, false}}) {
            if (slot == (after ? 0 : m_ordered - 1) || !boundValues(slot, values)) continue;
            QVariantList own;
            sql += QStringLiteral(" AND ") + seekCondition(values, m_keys[slot], after, own);
            binds << own;
        }
        sql += QStringLiteral(" ORDER BY ") + orderClause(false);
        const CriterionGuard guard(db, m_table);
        sqlite3_stmt* st = keptStatement(sql);
        const ResetOnExit reset{st};
        for (int i = 0; i < binds.size(); ++i) bindValue(st, i + 1, binds[i]);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const qint64 key = sqlite3_column_int64(st, 0);
            if (m_placed.contains(key)) continue;
            KeyRead r{key, {}};
            for (int c = 1; c <= int(m_terms.size()); ++c) r.values << storedColumn(st, c);
            found.push_back(std::move(r));
        }
        if (rc != SQLITE_DONE) throw engineError(db, rc);
        a = b + 1;
    }
    return found;
}

qint64 RecordCursor::keyOf(int index) const {
    for (int tries = 0; tries < 3 && index >= 0 && index < m_keys.size() && m_keys[index] == NoKey; ++tries)
        readKeyPage(index);
    return index >= 0 && index < m_keys.size() ? m_keys[index] : NoKey;
}

int RecordCursor::countBefore(const QVariantList& values, qint64 key) const {
    // Term by term, the rows equal on the terms before and before on this
    // one, then the rows equal on every term with a smaller key: each count
    // a plain range of an index, with nothing to test row by row. NULL
    // sorts first, as the engine orders it.
    const QString rows = QStringLiteral("SELECT count(*) FROM %1 WHERE %2 AND ").arg(quoteIdent(m_table), sourceFilter(m_keyLimit, m_where));
    QStringList counts;
    QVariantList binds, equalBinds;
    QString equal;
    const auto count = [&](const QString& condition, const QVariant* value) {
        counts << QLatin1Char('(') + rows + equal + condition + QLatin1Char(')');
        binds << equalBinds;
        if (value) binds << *value;
    };
    for (std::size_t j = 0; j < m_terms.size(); ++j) {
        const OrderTerm& t = m_terms[j];
        const QVariant& v = values[int(j)];
        if (t.desc) {
            if (v.isValid()) count(t.expr + QStringLiteral(" > ?"), &v);
            else count(t.expr + QStringLiteral(" IS NOT NULL"), nullptr);
        } else if (v.isValid()) {
            count(t.expr + QStringLiteral(" < ?"), &v);
            count(t.expr + QStringLiteral(" IS NULL"), nullptr);
        }
        equal += t.expr + QStringLiteral(" IS ? AND ");
        equalBinds << v;
    }
    const QVariant keyValue(key);
    count(QStringLiteral("rowid < ?"), &keyValue);
    QString sql = QStringLiteral("SELECT ") + counts.join(QStringLiteral(" + "));
    if (!m_terms.empty() && !firstTermIndexed()) {
        // Without an index each count would read the whole table: one
        // reading, testing the order row by row, costs less.
        binds.clear();
        sql = rows + seekCondition(values, key, false, binds);
    }
    return countOf(sql, binds);
}

int RecordCursor::countOf(const QString& sql, const QVariantList& binds) const {
    sqlite3* db = m_db.handle();
    const CriterionGuard guard(db, m_table);
    sqlite3_stmt* st = keptStatement(sql);
    const ResetOnExit reset{st};
    for (int i = 0; i < binds.size(); ++i) bindValue(st, i + 1, binds[i]);
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW) throw engineError(db, rc);
    return int(sqlite3_column_int64(st, 0));
}

int RecordCursor::countNearerSide(const QVariantList& values, qint64 key) const {
    const bool indexed = m_terms.empty() || firstTermIndexed();
    // A side whose rows an index gives in a range from the row.
    const auto ranged = [&](bool after) {
        if (!indexed) return false;
        if (m_terms.empty()) return true;
        const bool larger = m_terms.front().desc != after;
        return values.front().isValid() && (larger || !firstTermHasNulls());
    };
    const bool rangedAfter = ranged(true), rangedBefore = ranged(false);
    // The rows on one side, up to limit of them.
    const auto upTo = [&](bool after, int limit) {
        QVariantList binds;
        const QString sql = QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1 WHERE %2 AND %3 LIMIT ?)")
                                .arg(quoteIdent(m_table), sourceFilter(m_keyLimit, m_where), seekCondition(values, key, after, binds));
        binds << limit;
        return countOf(sql, binds);
    };
    // In an ascending order the rows from the row's first value on are a
    // plain range of the index, counted without a comparison each.
    const bool plainAfter = rangedAfter && !m_terms.empty() && !m_terms.front().desc;
    // A growing stretch each way in turn, until one side ends within it.
    if (rangedAfter || rangedBefore)
        for (qint64 limit = 4096; limit < m_ordered && !(plainAfter && limit > 4096); limit *= 4) {
            if (rangedAfter)
                if (const int n = upTo(true, int(limit)); n < limit) return m_ordered - 1 - n;
            if (rangedBefore)
                if (const int n = upTo(false, int(limit)); n < limit) return n;
        }
    if (!plainAfter) return countBefore(values, key);
    const OrderTerm& first = m_terms.front();
    // "+rowid": the index of the first term gives the rows, not the table's keys.
    const QString rows = QStringLiteral("SELECT count(*) FROM %1 WHERE +%2 AND ").arg(quoteIdent(m_table), sourceFilter(m_keyLimit, m_where));
    QVariantList tieBinds;
    const QString ties = rows + first.expr + QStringLiteral(" IS ? AND ") + seekCondition(values, key, false, tieBinds);
    tieBinds.prepend(values.front());
    // From its first value on: the rows tied with it before it, itself, the rows after it.
    const int fromFirst = countOf(rows + first.expr + QStringLiteral(" >= ?"), {values.front()});
    return m_ordered - fromFirst + countOf(ties, tieBinds);
}

int RecordCursor::orderedIndexOf(qint64 key) const {
    const ReadSnapshot snapshot(m_db.handle());
    if (key > m_keyLimit || m_ordered == 0) return -1;
    QVariantList values;
    if (!orderValues(key, values)) return -1;
    // On the keys as read, unchanged since: its place is exact, counted on
    // the shorter side of it, and its key goes straight there.
    if (keysStillCurrent()) {
        int at = placeBySample(values, key, true);
        if (at < 0) at = countNearerSide(values, key);
        at = std::clamp(at, 0, m_ordered - 1);
        const qint64 slot = m_keys[at];
        if (slot == NoKey || slot == key) {
            placeKey(at, key, values);
            return at;
        }
    }
    const int before = std::min(countBefore(values, key), m_ordered - 1);
    keyOf(before);
    // Other copies' changes may have moved it a little: look around.
    const int from = std::max(0, before - PageSize), to = std::min(m_ordered, before + PageSize + 1);
    for (int i = before, step = 0; step <= 2 * PageSize + 1; ++step, i = before + ((step + 1) / 2) * (step % 2 ? 1 : -1)) {
        if (i < from || i >= to) continue;
        if (m_keys[i] == key) return i;
    }
    // The page read for it placed it further away.
    if (m_placed.contains(key)) return m_keys.indexOf(key);
    // Another copy moved it in among rows read after they were read, where
    // no stretch still to read holds it: it joins them now where its order
    // puts it, beside a row read, and bounds a stretch not read beside it as
    // that row did. The slot its old stretch keeps for it goes when that
    // stretch is read whole.
    const auto isRead = [this](int s) { return s >= 0 && s < m_ordered && m_keys[s] != NoKey; };
    int at = std::clamp(before, 0, m_ordered);
    if (!isRead(at - 1) && !isRead(at)) {
        const int readBefore = m_keys.readBefore(at);
        at = readBefore >= 0 ? readBefore + 1 : m_keys.readAfter(at, m_ordered);
        if (!isRead(at - 1) && !isRead(at)) return -1;
    }
    QVariantList bound;
    const bool bounds = boundValues(isRead(at - 1) ? at - 1 : at, bound);
    insertSlots(at, {key});
    if (bounds) m_readValues.insert(key, bound);
    return at;
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
    const int idx = key >= 0 ? indexOfKey(key) : -1;
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
    m_placed.clear();
    m_readValues.clear();
    m_ordered = 0;
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
    keyOf(index);   // reading it may find rows other copies deleted
    if (index < 0 || index >= recordCount()) return;
    if (index == m_pos && !m_gap) return;
    setPos(index);
}

void RecordCursor::moveFirst() {
    ensureOpen("MoveFirst");
    if (m_keys.empty()) return;
    setPos(0);
}

void RecordCursor::moveLast() {
    ensureOpen("MoveLast");
    for (int tries = 0; tries < 3 && !m_keys.empty() && keyOf(recordCount() - 1) == NoKey; ++tries) {}
    if (m_keys.empty()) return;
    setPos(recordCount() - 1);
}

void RecordCursor::moveNext() {
    ensureOpen("MoveNext");
    if (m_keys.empty() || m_eofFlag) return;
    // After a deletion the position already stands on the following row.
    const int next = m_gap ? m_pos : m_pos + 1;
    keyOf(next);   // reading it may find rows other copies deleted
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
    return m_keys[m_pos] == NoKey ? -1 : m_keys[m_pos];
}

qint64 RecordCursor::keyAt(int index) const {
    const qint64 key = keyOf(index);
    return key == NoKey ? -1 : key;
}

int RecordCursor::indexOfKey(qint64 key) const {
    if (key == NoKey) return -1;
    // Where the last look found a key (a find run again), the keys read so
    // far, then where the order puts it.
    if (m_keyHint >= 0 && m_keyHint < m_keys.size() && m_keys[m_keyHint] == key) return m_keyHint;
    // A key never placed in the ordered slots can only be among the rows
    // this cursor added after them: a long list is not walked for it.
    const int held = m_keys.indexOf(key, m_placed.contains(key) ? 0 : m_ordered);
    const int index = held >= 0 ? held : orderedIndexOf(key);
    if (index >= 0) m_keyHint = index;
    return index;
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
    qint64 candidate = NoKey;
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
            if (key <= m_keyLimit || m_keys.indexOf(key, m_ordered) >= 0) {
                candidate = key;
                break;
            }
        }
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw engineError(db, rc);
    }
    if (candidate != NoKey) found = indexOfKey(candidate);
    m_noMatch = found < 0;
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
    m_current = readRow(keyOf(m_pos));
    // Keep a shown page in step with what was just read.
    if (QVariantList* shown = cachedRow(m_pos); shown && !m_current.isEmpty()) *shown = m_current;
}

QVariantList* RecordCursor::cachedRow(int index) const {
    for (Page& p : m_pages)
        if (index >= p.start && index < p.start + int(p.rows.size())) return &p.rows[std::size_t(index - p.start)];
    return nullptr;
}

const QVariantList& RecordCursor::pagedRow(int index) const {
    const int rows = rowPageSize();
    int start = index / rows * rows;
    for (Page& p : m_pages)
        if (p.start == start && !p.rows.empty()) {
            p.used = ++m_pageUse;
            return p.rows[std::size_t(index - start)];
        }
    // The page's keys first; reading them may find rows other copies
    // deleted, which moves the rows after them up.
    for (int i = start; i < std::min(start + rows, recordCount()); ++i) keyOf(i);
    static const QVariantList none;
    if (index >= recordCount()) return none;
    start = index / rows * rows;
    sqlite3* db = m_db.handle();
    const CriterionGuard guard(db, m_table);
    const int count = std::min(rows, recordCount() - start);
    // One text for every page: a mark per row of a page, the marks left over
    // bound to NULL (a page at the end or one whose keys are not all read).
    QString marks = QStringLiteral("?");
    for (int i = 1; i < rows; ++i) marks += QStringLiteral(",?");
    sqlite3_stmt* const st = keptStatement(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                                                    .arg(m_columns, quoteIdent(m_table), marks));
    const ResetOnExit reset{st};
    for (int i = 0; i < count; ++i)
        if (const qint64 k = m_keys[start + i]; k != NoKey) sqlite3_bind_int64(st, i + 1, k);
    std::vector<QVariantList> page(std::size_t(std::max(count, 0)));
    // Map the rows back to their places in the cursor order.
    std::vector<std::pair<qint64, int>> where;
    where.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) where.emplace_back(m_keys[start + i], i);
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
    QStringList cols;
    QVariantList values;
    for (int i = 0; i < m_fieldNames.size(); ++i) {
        if (!m_editDirty[std::size_t(i)]) continue;
        cols << quoteIdent(m_fieldNames[i]);
        values << toStorage(i, m_editValues[i]);
    }
    sqlite3* db = m_db.handle();
    qint64 key = -1;
    if (m_mode == EditMode::Edit) {
        key = keyOf(m_pos);
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
        announceWhenStored(before, false, false);
        return key;
    }
    // A new row: the database gives its key. After an unconfirmed one the
    // row it may have stored is asked for first: stored, it takes these
    // values instead of a second row coming.
    const qint64 earlier = unconfirmedAddKey();
    bool rewritten = false;
    if (earlier) {
        // The stored row becomes the row this add would store: every column
        // not set now takes what an INSERT gives it, whatever the earlier
        // attempt set there.
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
                m_unconfirmed = {m_db.lastUnconfirmed(), sqlite3_last_insert_rowid(db), false};
            throw;
        }
        key = sqlite3_last_insert_rowid(db);
    }
    m_mode = EditMode::None;
    joinNewRow(key, rewritten);
    return key;
}

void RecordCursor::joinNewRow(qint64 key, bool rewritten) {
    // A stored row read in since is already there.
    if (rewritten && indexOfKey(key) >= 0) {
        const BeforeWrite before = beforeWrite();
        m_lastInsert = key;
        dropPages();
        loadCurrent();
        announceWhenStored(before, false, true);
        return;
    }
    // A table without an autonumber gives a new row the key another copy
    // freed: the row that had it here is gone, and the new row is no row
    // still to be read. Only a placed key can be held: a new key is not
    // looked for along the keys.
    if (const int held = m_placed.contains(key) ? m_keys.indexOf(key) : -1; held >= 0) {
        const bool current = held == m_pos && !m_gap;
        // The row that follows is read while that row still marks where it
        // starts, as for a deletion: Next goes on from there.
        keyOf(held + 1);
        unplace(held);
        if (current) {
            m_gap = true;
            dropCurrent();
        }
    }
    const BeforeWrite before = beforeWrite();
    m_lastInsert = key;
    // The new row joins the end of the cursor; the current row stays (on an
    // empty cursor the new row becomes current).
    m_keys.pushBack(key);
    // Undone, the key stays placed: a row that takes it later is no row of
    // the cursor either.
    m_placed.insert(key);
    if (m_pos < 0 && !m_gap) { m_pos = 0; m_bofFlag = m_eofFlag = false; }
    if (m_eofFlag) { m_pos = recordCount() - 1; m_eofFlag = false; }
    dropPages();
    loadCurrent();
    announceWhenStored(before, true, rewritten);
}

QString RecordCursor::rewriteSets(const QStringList& cols) const {
    QStringList sets;
    for (const QString& c : cols) sets << c + QStringLiteral(" = ?");
    struct Column {
        QString name, defaultValue;
        bool key, integer;
    };
    std::vector<Column> columns;
    sqlite3* db = m_db.handle();
    Statement st;
    prepareStatement(db, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(m_table)), st);
    // cid, name, type, notnull, dflt_value, pk; no default reads as a null text
    const auto text = [&](int c) { return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.s, c))); };
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW)
        columns.push_back({text(1), text(4), sqlite3_column_int(st.s, 5) > 0,
                           text(2).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0});
    if (rc != SQLITE_DONE) throw engineError(db, rc);
    // A lone INTEGER PRIMARY KEY is the row's key itself, which stays.
    const bool keyIsRowid = std::count_if(columns.begin(), columns.end(), [](const Column& c) { return c.key; }) == 1;
    for (const Column& c : columns) {
        if ((c.key && c.integer && keyIsRowid) || cols.contains(quoteIdent(c.name), Qt::CaseInsensitive)) continue;
        sets << quoteIdent(c.name) + QStringLiteral(" = ") +
                    (c.defaultValue.isNull() ? QStringLiteral("NULL") : QLatin1Char('(') + c.defaultValue + QLatin1Char(')'));
    }
    if (sets.isEmpty()) sets << QStringLiteral("rowid = rowid");
    return sets.join(QStringLiteral(", "));
}

qint64 RecordCursor::unconfirmedAddKey() {
    if (!m_unconfirmed.write) return 0;
    m_unconfirmed.stored = m_unconfirmed.stored || m_db.wasStored(m_unconfirmed.write);
    if (!m_unconfirmed.stored) m_unconfirmed = {};
    return m_unconfirmed.write ? m_unconfirmed.key : 0;
}

qint64 RecordCursor::storedUnconfirmedAdd() {
    const qint64 key = unconfirmedAddKey();
    if (key) joinNewRow(key, true);
    return key;
}

RecordCursor::BeforeWrite RecordCursor::beforeWrite() const {
    ensureCurrent();
    return {m_pos, m_bofFlag, m_eofFlag, m_gap, m_lastInsert, m_current};
}

void RecordCursor::announceWhenStored(const BeforeWrite& before, bool added, bool rewritten) {
    const QPointer<RecordCursor> self(this);
    const int index = m_pos;
    const qint64 key = added ? m_lastInsert : -1;
    Transaction::whenStored(m_db, [self, index, added, rewritten, before, key](Transaction::Outcome outcome) {
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
        if (added) self->m_keys.popBack();
        // A row an earlier add stored stays known whatever a write onto it
        // met: the next add writes onto it again. A first add may be stored.
        if (added && !rewritten && outcome == Transaction::Outcome::Unconfirmed)
            self->m_unconfirmed = {self->m_db.lastUnconfirmed(), key, false};
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
    const qint64 key = keyOf(m_pos);
    // The row that follows is read while this one still marks where it
    // starts: once this one goes the position stands on it, whatever other
    // copies delete meanwhile among rows not read. Counted by place alone it
    // could land rows further on, and MoveNext would pass rows that stay.
    keyOf(m_pos + 1);
    sqlite3* db = m_db.handle();
    Statement st;
    prepareStatement(db, QStringLiteral("DELETE FROM %1 WHERE rowid = %2").arg(quoteIdent(m_table)).arg(key), st);
    runToEnd(db, st);
    // The row leaves the cursor once its deletion is stored (at once outside
    // a transaction; nothing moves the cursor before its transaction ends);
    // undone, it stays.
    const QPointer<RecordCursor> self(this);
    Transaction::whenStored(m_db, [self](Transaction::Outcome outcome) {
        if (!self || outcome != Transaction::Outcome::Stored) return;
        self->unplace(self->m_pos);
        self->dropPages();
        // No current row until the program moves: the next row is one MoveNext away.
        self->m_gap = true;
        self->dropCurrent();
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
    const qint64 key = keyOf(index);
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
