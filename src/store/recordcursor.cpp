#include "recordcursor.h"

#include "sqldialect.h"
#include "statement.h"
#include "textcompare.h"

#include <QRegularExpression>
#include <algorithm>
#include <limits>
#include <utility>
#include <sqlcipher/sqlite3.h>

namespace {

constexpr int PageSize = 50;
const QString Source = dbErrorSource();

QString quoteIdent(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString keyList(const std::vector<qint64>& keys, std::size_t from, std::size_t count) {
    QString s;
    s.reserve(int(count * 7));
    for (std::size_t i = from; i < from + count && i < keys.size(); ++i) {
        if (!s.isEmpty()) s += QLatin1Char(',');
        s += QString::number(keys[i]);
    }
    return s;
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

void RecordCursor::refresh() {
    if (m_open) emit aboutToMove();
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
        loadCurrent();
        emit rowsReset();
        emit currentChanged();
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
    loadCurrent();
    emit rowsReset();
    emit currentChanged();
}

namespace {

// Sorts distinct row keys. Keys read from an index that follows the order of
// entry come sorted already; otherwise keys of a table are nearly dense, and a
// presence map over their range puts them in order in one pass, several times
// faster than a comparison sort on a large table; sparse keys are sorted
// plainly.
void sortKeys(std::vector<qint64>& keys) {
    if (std::is_sorted(keys.begin(), keys.end())) return;
    const auto [lo, hi] = std::minmax_element(keys.begin(), keys.end());
    const qint64 first = *lo;
    const quint64 range = quint64(*hi - first) + 1;
    if (range > 4 * quint64(keys.size())) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    std::vector<unsigned char> present(range);
    for (qint64 k : keys) present[std::size_t(k - first)] = 1;
    std::size_t out = 0;
    for (std::size_t i = 0; i < range; ++i)
        if (present[i]) keys[out++] = first + qint64(i);
}

} // namespace

void RecordCursor::readKeys() {
    readGuardedKeys();
    noteKeysRead();
}

void RecordCursor::readGuardedKeys() {
    sqlite3* db = m_db.handle();
    const CriterionGuard guard(db, m_table);
    QString sql = QStringLiteral("SELECT rowid FROM %1").arg(quoteIdent(m_table));
    if (!m_where.isEmpty()) sql += QStringLiteral(" WHERE ") + m_where;
    // Without an order the rows come in key order. Sorting the keys here lets
    // the engine read them from its smallest index instead of walking every
    // page of a wide table (a tenth of the time on a large history).
    if (!m_orderBy.isEmpty()) sql += QStringLiteral(" ORDER BY ") + m_orderBy + QStringLiteral(", rowid");
    Statement st;
    prepareStatement(db, sql, st);
    m_keys.clear();
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) m_keys.push_back(sqlite3_column_int64(st.s, 0));
    if (rc != SQLITE_DONE) throw engineError(db, rc);
    if (m_orderBy.isEmpty()) sortKeys(m_keys);
    m_keys.shrink_to_fit();
    m_keysAscending = m_orderBy.isEmpty();
    dropKeyMap();
    dropPages();
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
}

bool RecordCursor::keysStillCurrent() const {
    sqlite3* db = m_db.handle();
    return m_keysDataVersion >= 0 && sqlite3_total_changes(db) == m_keysOwnChanges && dataVersion(db) == m_keysDataVersion;
}

void RecordCursor::dropKeyMap() const {
    m_keyMapBuilt = false;
    std::vector<int>().swap(m_slotOf);
    std::vector<std::pair<qint64, int>>().swap(m_sortedKeys);
}

void RecordCursor::buildKeyMap() const {
    dropKeyMap();
    m_keyMapBuilt = true;
    if (m_keysAscending || m_keys.empty()) return;
    const auto [lo, hi] = std::minmax_element(m_keys.begin(), m_keys.end());
    const qint64 range = *hi - *lo + 1;
    if (range <= qint64(m_keys.size()) * 4 + 1024) {
        // Auto-numbered keys are dense: one slot per possible key, no sort.
        m_slotBase = *lo;
        m_slotOf.assign(std::size_t(range), -1);
        for (std::size_t i = 0; i < m_keys.size(); ++i) m_slotOf[std::size_t(m_keys[i] - m_slotBase)] = int(i);
        return;
    }
    m_sortedKeys.reserve(m_keys.size());
    for (std::size_t i = 0; i < m_keys.size(); ++i) m_sortedKeys.emplace_back(m_keys[i], int(i));
    std::sort(m_sortedKeys.begin(), m_sortedKeys.end());
}

void RecordCursor::keyAppended() {
    const qint64 key = m_keys.back();
    const int index = int(m_keys.size()) - 1;
    if (m_keysAscending) {
        if (index > 0 && key < m_keys[std::size_t(index - 1)]) {
            m_keysAscending = false;
            dropKeyMap();
        }
        return;
    }
    if (!m_keyMapBuilt) return;
    if (!m_sortedKeys.empty()) {
        const auto entry = std::make_pair(key, index);
        m_sortedKeys.insert(std::lower_bound(m_sortedKeys.begin(), m_sortedKeys.end(), entry), entry);
        return;
    }
    // The direct table (empty when it was built on an empty cursor).
    const qint64 slot = key - m_slotBase;
    if (m_slotOf.empty() || slot < 0 || slot > qint64(m_keys.size()) * 4 + 1024) {
        dropKeyMap();   // built again on the next find
        return;
    }
    if (slot >= qint64(m_slotOf.size())) m_slotOf.resize(std::size_t(slot) + 1, -1);
    m_slotOf[std::size_t(slot)] = index;
}

void RecordCursor::keyRemoved(int index, qint64 key) {
    if (!m_keyMapBuilt || m_keysAscending) return;
    for (int& i : m_slotOf)
        if (i > index) --i;
    if (!m_slotOf.empty() && key >= m_slotBase && key - m_slotBase < qint64(m_slotOf.size()))
        m_slotOf[std::size_t(key - m_slotBase)] = -1;
    auto it = std::lower_bound(m_sortedKeys.begin(), m_sortedKeys.end(), std::make_pair(key, -1));
    if (it != m_sortedKeys.end() && it->first == key) m_sortedKeys.erase(it);
    for (auto& e : m_sortedKeys)
        if (e.second > index) --e.second;
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
    emit aboutToMove();
    const qint64 key = (hasCurrent() && !m_gap) ? m_keys[m_pos] : -1;
    if (!keysStillCurrent()) readKeys();
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
    m_keys.shrink_to_fit();
    dropKeyMap();
    m_keysSource.clear();
    dropPages();
    m_current.clear();
    m_pos = -1;
    m_mode = EditMode::None;
    finalizeRowStatement();
    m_db.close();
    m_openedPath.clear();
    emit rowsReset();
}

bool RecordCursor::bof() const { return m_keys.empty() || m_bofFlag; }
bool RecordCursor::eof() const { return m_keys.empty() || m_eofFlag; }

void RecordCursor::setPos(int pos) {
    emit aboutToMove();
    m_mode = EditMode::None;
    m_gap = false;
    m_pos = pos;
    m_bofFlag = m_eofFlag = false;
    loadCurrent();
    emit currentChanged();
}

void RecordCursor::setAbsolutePosition(int index) {
    ensureOpen("AbsolutePosition");
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
    if (m_keys.empty()) return;
    setPos(recordCount() - 1);
}

void RecordCursor::moveNext() {
    ensureOpen("MoveNext");
    if (m_keys.empty() || m_eofFlag) return;
    // After a deletion the position already stands on the following row.
    const int next = m_gap ? m_pos : m_pos + 1;
    if (next >= recordCount()) {
        emit aboutToMove();
        m_gap = false;
        m_pos = recordCount();
        m_eofFlag = true;
        m_current.clear();
        emit currentChanged();
        return;
    }
    setPos(next);
}

void RecordCursor::movePrevious() {
    ensureOpen("MovePrevious");
    if (m_keys.empty() || m_bofFlag) return;
    const int prev = m_pos - 1;
    if (prev < 0) {
        emit aboutToMove();
        m_gap = false;
        m_pos = -1;
        m_bofFlag = true;
        m_current.clear();
        emit currentChanged();
        return;
    }
    setPos(std::min(prev, recordCount() - 1));
}

qint64 RecordCursor::currentKey() const { return (hasCurrent() && !m_gap) ? m_keys[m_pos] : -1; }

qint64 RecordCursor::keyAt(int index) const {
    return index >= 0 && index < recordCount() ? m_keys[std::size_t(index)] : -1;
}

int RecordCursor::indexOfKey(qint64 key) const {
    if (m_keysAscending) {
        const auto it = std::lower_bound(m_keys.begin(), m_keys.end(), key);
        return (it != m_keys.end() && *it == key) ? int(it - m_keys.begin()) : -1;
    }
    if (!m_keyMapBuilt) buildKeyMap();
    if (!m_slotOf.empty()) {
        const qint64 slot = key - m_slotBase;
        return slot >= 0 && slot < qint64(m_slotOf.size()) ? m_slotOf[std::size_t(slot)] : -1;
    }
    auto it = std::lower_bound(m_sortedKeys.begin(), m_sortedKeys.end(), std::make_pair(key, -1));
    return (it != m_sortedKeys.end() && it->first == key) ? it->second : -1;
}

bool RecordCursor::findFirst(const QString& criterion) {
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
        // Reset on every way out: a statement left on a row holds a read lock.
        struct Reset {
            sqlite3_stmt* s;
            ~Reset() { sqlite3_reset(s); }
        } reset{m_findStmt};
        int rc;
        // The first match that this cursor holds: rows added by other copies
        // since the cursor was read are not part of it.
        while ((rc = sqlite3_step(m_findStmt)) == SQLITE_ROW) {
            found = indexOfKey(sqlite3_column_int64(m_findStmt, 0));
            if (found >= 0) break;
        }
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw engineError(db, rc);
    }
    m_noMatch = found < 0;
    if (found >= 0) {
        if (found != m_pos || m_gap || m_eofFlag || m_bofFlag) setPos(found);
        else loadCurrent(), emit currentChanged();
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
    // Reset on every way out: a statement left on a row would keep a read
    // transaction open and block other copies' writes.
    struct Reset {
        sqlite3_stmt* s;
        ~Reset() { sqlite3_reset(s); }
    } reset{m_rowStmt};
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
    m_current.clear();
    if (!hasCurrent() || m_gap) return;
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
    const int start = index / PageSize * PageSize;
    for (Page& p : m_pages)
        if (p.start == start && !p.rows.empty()) {
            p.used = ++m_pageUse;
            return p.rows[std::size_t(index - start)];
        }
    sqlite3* db = m_db.handle();
    const CriterionGuard guard(db, m_table);
    const int count = std::min(PageSize, recordCount() - start);
    Statement st;
    prepareStatement(db, QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                       .arg(m_columns, quoteIdent(m_table), keyList(m_keys, std::size_t(start), std::size_t(count))),
               st);
    std::vector<QVariantList> page(std::size_t(std::max(count, 0)));
    // Map the rows back to their places in the cursor order.
    std::vector<std::pair<qint64, int>> where;
    where.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) where.emplace_back(m_keys[std::size_t(start + i)], i);
    std::sort(where.begin(), where.end());
    const int n = std::min(sqlite3_column_count(st.s), int(m_kinds.size()) + 1);
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        const qint64 key = sqlite3_column_int64(st.s, 0);
        auto it = std::lower_bound(where.begin(), where.end(), std::make_pair(key, -1));
        if (it == where.end() || it->first != key) continue;
        QVariantList row;
        row.reserve(n - 1);
        for (int c = 1; c < n; ++c) row.append(readColumn(st.s, c, c - 1));
        page[std::size_t(it->second)] = std::move(row);
    }
    if (rc != SQLITE_DONE) throw engineError(db, rc);
    constexpr std::size_t KeptPages = 3;
    Page* slot = nullptr;
    if (m_pages.size() < KeptPages) {
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
        m_mode = EditMode::None;
        loadCurrent();
        emit rowUpdated(m_pos);
        emit currentChanged();
        return key;
    }
    // A new row: the database gives its key.
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
    runToEnd(db, st);
    key = sqlite3_last_insert_rowid(db);
    m_lastInsert = key;
    m_mode = EditMode::None;
    // The new row joins the end of the cursor; the current row stays.
    m_keys.push_back(key);
    keyAppended();
    if (m_pos < 0 && !m_gap) { m_pos = 0; m_bofFlag = m_eofFlag = false; }
    if (m_eofFlag) { m_pos = recordCount() - 1; m_eofFlag = false; }
    dropPages();
    loadCurrent();
    emit rowsReset();
    emit currentChanged();
    return key;
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
    m_keys.erase(m_keys.begin() + m_pos);
    keyRemoved(m_pos, key);
    dropPages();
    // No current row until the program moves: the next row is one MoveNext away.
    m_gap = true;
    m_current.clear();
    emit rowsReset();
    emit currentChanged();
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
    if (index == m_pos && !m_gap) loadCurrent();
    emit rowUpdated(index);
}
