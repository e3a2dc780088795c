// A record cursor walked at random while this copy writes through it (writes
// undone, refused by the disk, or left unconfirmed and retried) and another
// copy writes beside it. After every step the cursor's list and the file are
// held against a model of what happened to each row. Seeded: a failing walk
// is printed with its seed and its steps; TARVEL_WALK_SEED=<n> runs one seed,
// TARVEL_WALK_SEEDS=<n> runs n of them (100 on each table by default).
#include "store/database.h"
#include "store/recordcursor.h"
#include "store/schema.h"
#include "support/files.h"
#include "support/othercopy.h"
#include "support/storefaults.h"
#include "support/testmain.h"

#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sqlcipher/sqlite3.h>
#include <tuple>
#include <utility>

namespace {

// Few names, so that many rows share one and key order decides among them.
const char* const Names[] = {"ANA", "BIA", "CAIO", "DORA", "EVA"};

struct TableKind {
    const char* table;
    const char* field;   // the column the list is ordered by
    bool autonumber;     // otherwise a new row takes the largest key plus one
};
const TableKind Customers{"TblClientes", "Nome", true};
const TableKind Brands{"TblMarca", "Marca", false};
void PrintTo(const TableKind& kind, std::ostream* os) { *os << kind.table; }

// One file for all the walks on a table (opening a file costs a key derivation).
struct Shop {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Bd DedUvevaro.mdb"));
    std::unique_ptr<Database> db;
    sqlite3* other = nullptr;   // another copy of the program
    Shop() {
        StoreFault::install();
        Schema::createDatabaseFile(path);
        db = std::make_unique<Database>(path);
        other = otherConnection(path);
        sqlite3_busy_timeout(other, 5000);
    }
    ~Shop() { sqlite3_close(other); }
};

// A row of the file as the model has it.
struct Stored {
    QString name, rest;   // rest: "Endereco|Complemento" of a customer
    bool mine;            // written by this copy
};

// What the list owes a key.
enum class Owed { Once, Never, Either };
struct Fate {
    Owed owed = Owed::Either;
    int group = 0;          // 0: stored at opening, 1: added through the cursor
    QString name;           // the order value at opening
    qint64 order = 0;       // the key at opening, the add's turn
    bool exempt = true;     // renamed, or not a row whose place the order gives
};
using Rank = std::tuple<int, QString, qint64>;

struct Walk {
    const TableKind& kind;
    Shop& shop;
    Database& db = *shop.db;
    std::mt19937 rng;
    RecordCursor c;
    bool watch;   // the whole list checked after every step, not only at "look"
    std::map<qint64, Stored> file;
    std::map<qint64, Fate> fates;
    std::map<qint64, QSet<QString>> held;   // every name each key's rows held
    QSet<qint64> taken;                     // keys of deleted rows that rows not added here took
    int adds = 0;
    QStringList steps;
    QString failure;
    QList<qint64> lastList;                          // the list at the last whole check
    std::optional<std::pair<qint64, qint64>> next;   // a moveNext from a row to a row (-1: the end)
    // An add left unconfirmed whose retry is still to come.
    bool unconfirmed = false, told = false, wasUnconfirmed = false;
    std::optional<qint64> landed;   // its row, while it stands as this copy wrote it

    Walk(const TableKind& k, Shop& s, unsigned seed) : kind(k), shop(s), rng(seed) {}

    int some(int n) { return int(rng() % unsigned(n)); }
    QString someName() { return QString::fromLatin1(Names[some(int(std::size(Names)))]); }
    // A name the other copy writes. While an add of this copy is unconfirmed
    // in a table that gives keys again, none its attempts give: a row of the
    // very values one attempt wrote, on the key that attempt took, cannot be
    // told from that attempt's row by anything the file keeps.
    QString otherName() { return someName() + (unconfirmed && !kind.autonumber ? QStringLiteral(" 2") : QString()); }
    QString field() const { return QString::fromLatin1(kind.field); }
    QString table() const { return QString::fromLatin1(kind.table); }
    void log(const QString& s) { steps << s; }
    bool check(bool ok, const QString& what) {
        if (!ok && failure.isEmpty()) failure = what;
        return ok;
    }
    QString about(qint64 key) const {
        if (key == -1) return QStringLiteral("the end");
        const auto f = fates.find(key);
        if (f == fates.end()) return QStringLiteral("row %1").arg(key);
        if (f->second.group == 0 && !f->second.exempt) return QStringLiteral("row %1 (%2 at opening)").arg(key).arg(f->second.name);
        if (f->second.group == 1) return QStringLiteral("row %1 (added #%2)").arg(key).arg(f->second.order + 1);
        return QStringLiteral("row %1").arg(key);
    }
    std::optional<Rank> rankOf(qint64 key) const {
        const auto f = fates.find(key);
        if (f == fates.end() || f->second.exempt) return std::nullopt;
        return Rank{f->second.group, f->second.group == 0 ? f->second.name : QString(), f->second.order};
    }

    // --- The file --------------------------------------------------------
    QString valuesSql() const {
        return kind.autonumber ? QStringLiteral("Nome, ifnull(Endereco, '') || '|' || ifnull(Complemento, '')") : field() + QStringLiteral(", ''");
    }
    std::map<qint64, Stored> readFile() {
        std::map<qint64, Stored> out;
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QStringLiteral("SELECT rowid, %1 FROM %2").arg(valuesSql(), table()).toUtf8();
        check(sqlite3_prepare_v2(shop.other, sql.constData(), -1, &st, nullptr) == SQLITE_OK, QStringLiteral("the file cannot be read"));
        while (st && sqlite3_step(st) == SQLITE_ROW)
            out[sqlite3_column_int64(st, 0)] = {QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))),
                                                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2))), false};
        sqlite3_finalize(st);
        return out;
    }
    void checkFile() {
        const std::map<qint64, Stored> now = readFile();
        for (const auto& [key, row] : file) {
            const auto it = now.find(key);
            const QString who = row.mine ? QStringLiteral("this copy's") : QStringLiteral("the other copy's");
            if (!check(it != now.end(), QStringLiteral("%1 row %2 is gone from the file").arg(who).arg(key))) return;
            check(it->second.name == row.name && it->second.rest == row.rest,
                  QStringLiteral("%1 row %2 holds %3 %4, not %5 %6").arg(who).arg(key).arg(it->second.name, it->second.rest, row.name, row.rest));
        }
        for (const auto& [key, row] : now)
            check(file.count(key), QStringLiteral("the file holds a row %1 (%2 %3) nobody added").arg(key).arg(row.name, row.rest));
        for (const auto& [key, row] : file) held[key] << row.name;
    }
    void others(const QString& sql) {
        check(sqlite3_exec(shop.other, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK,
              QStringLiteral("the other copy's write failed: %1").arg(QString::fromUtf8(sqlite3_errmsg(shop.other))));
    }

    // --- The cursor ------------------------------------------------------
    QList<qint64> list() {
        QList<qint64> keys;
        for (int i = 0; i < c.recordCount(); ++i)
            // Reading a slot may find that the rows left end before it.
            if (const qint64 key = c.keyAt(i); key != -1 || i < c.recordCount()) keys << key;
        return keys;
    }
    void checkList() {
        const QList<qint64> keys = list();
        const QList<qint64> before = std::exchange(lastList, keys);
        check(c.recordCount() == keys.size(), QStringLiteral("the count is %1, %2 rows listed").arg(c.recordCount()).arg(keys.size()));
        QSet<qint64> seen;
        std::optional<Rank> last;
        qint64 lastKey = 0;
        for (int i = 0; i < keys.size(); ++i) {
            const qint64 key = keys[i];
            check(key != -1, QStringLiteral("slot %1 holds no row").arg(i));
            check(!seen.contains(key), QStringLiteral("%1 listed twice (again at %2)").arg(about(key)).arg(i));
            seen << key;
            const auto f = fates.find(key);
            check(f != fates.end(), QStringLiteral("row %1 listed at %2 never was in the table").arg(key).arg(i));
            check(f == fates.end() || f->second.owed != Owed::Never, QStringLiteral("%1, deleted through the cursor, listed at %2").arg(about(key)).arg(i));
            // A row's values as read at some time (a page kept for a grid may be older than the file), or
            // none for a row deleted by the other copy (whose key another row may have taken since).
            const QVariantList values = c.rowAt(i);
            check(values.isEmpty() ? !file.count(key) || taken.contains(key) : held[key].contains(values.value(c.fieldIndex(field())).toString()),
                  QStringLiteral("slot %1 of %2 reads %3").arg(i).arg(about(key)).arg(values.isEmpty() ? QStringLiteral("as deleted") : values.value(c.fieldIndex(field())).toString()));
            if (const std::optional<Rank> r = rankOf(key)) {
                check(!last || *last < *r, QStringLiteral("%1 listed at %2 after %3").arg(about(key)).arg(i).arg(about(lastKey)));
                last = r, lastKey = key;
            }
        }
        for (const auto& [key, f] : fates)
            check(f.owed != Owed::Once || seen.contains(key), QStringLiteral("%1 not listed").arg(about(key)));
        // Next reaches the row that followed in the list, the first one still listed after it.
        if (next) {
            const auto [from, reached] = *std::exchange(next, std::nullopt);
            qint64 expected = -1;
            for (int i = int(before.indexOf(from)) + 1; i > 0 && i < before.size() && expected == -1; ++i)
                if (keys.contains(before[i])) expected = before[i];
            if (before.contains(from))
                check(reached == expected, QStringLiteral("Next from %1 reached %2, not %3").arg(about(from), about(reached), about(expected)));
        }
    }
    // The row just moved to as the file holds it: it is read afresh (a row that stays current need not be).
    void checkCurrentRow(bool hadCurrent, qint64 before) {
        if (!c.hasCurrent() || (hadCurrent && c.currentKey() == before)) return;
        const qint64 key = c.currentKey();
        const auto it = file.find(key);
        if (it == file.end())
            check(dbErrorOf([&] { c.field(field()); }) != 0, QStringLiteral("%1, deleted by the other copy, reads as standing").arg(about(key)));
        else
            check(c.text(field()) == it->second.name, QStringLiteral("%1 reads %2, the file holds %3").arg(about(key), c.text(field()), it->second.name));
    }
    void checkStep() {
        checkFile();
        if (c.hasCurrent())
            check(c.absolutePosition() < c.recordCount() && c.keyAt(c.absolutePosition()) == c.currentKey(),
                  QStringLiteral("the current row %1 is not the one listed at its place %2").arg(about(c.currentKey())).arg(c.absolutePosition()));
        if (watch) checkList();
    }
    void checkNext(qint64 from, qint64 reached) {
        const std::optional<Rank> a = rankOf(from), b = rankOf(reached);
        check(!a || !b || *a < *b, QStringLiteral("Next went back from %1 to %2").arg(about(from), about(reached)));
        if (watch && from != -1) next = std::pair{from, reached};
    }
    // The cursor stands on a row it owes (stored at opening or added through it), which it may rename or delete.
    bool onOwnRow() const {
        if (!c.hasCurrent()) return false;
        const auto f = fates.find(c.currentKey());
        return f != fates.end() && f->second.owed == Owed::Once && c.currentKey() != landed.value_or(-1);
    }

    // --- This copy's writes ----------------------------------------------
    struct NewRow {
        QString name, rest;
    };
    NewRow someRow() {
        if (!kind.autonumber) return {someName(), QString()};
        return {someName(), QStringLiteral("RUA %1|%2").arg(1 + some(9)).arg(some(2) ? QStringLiteral("AP %1").arg(1 + some(9)) : QString())};
    }
    QString text(const NewRow& r) const { return kind.autonumber ? r.name + QLatin1Char(' ') + r.rest : r.name; }
    qint64 add(const NewRow& r) {
        c.addNew();
        c.setField(field(), r.name);
        if (kind.autonumber) {
            const QStringList parts = r.rest.split(QLatin1Char('|'));
            c.setField(QStringLiteral("Endereco"), parts[0]);
            if (!parts[1].isEmpty()) c.setField(QStringLiteral("Complemento"), parts[1]);
        }
        return c.update();
    }
    // A new row stored through the cursor: onto the row of the unconfirmed add when that stands, a new one otherwise.
    void added(qint64 key, const NewRow& r) {
        if (landed) check(key == *landed, QStringLiteral("the retry stored row %1 beside the row %2 its first try stored").arg(key).arg(*landed));
        else if (const auto it = file.find(key); it != file.end())
            check(false, QStringLiteral("the add wrote onto %1 row %2").arg(it->second.mine ? "this copy's" : "the other copy's").arg(key));
        file[key] = {r.name, r.rest, true};
        fates[key] = {Owed::Once, 1, r.name, adds++, false};
        taken.remove(key);
        unconfirmed = told = false, landed.reset();
    }
    void renamed(qint64 key, const QString& name) {
        file[key].name = name;
        fates[key].exempt = true;
    }
    void deleted(qint64 key) {
        file.erase(key);
        fates[key].owed = Owed::Never;
    }
    // One of the cursor's writes, for the steps that undo it or have it refused: an add, or on a row the
    // cursor owes a rename or a deletion.
    std::function<void()> someWrite(QString& what) {
        const int op = onOwnRow() ? some(3) : 0;
        if (op == 0) {
            const NewRow r = someRow();
            what = QStringLiteral("%1 %2").arg(unconfirmed ? "retry" : "add", text(r));
            return [this, r] { add(r); };
        }
        if (op == 1) {
            const QString name = someName();
            what = QStringLiteral("rename %1 to %2").arg(c.currentKey()).arg(name);
            return [this, name] { c.edit(), c.setField(field(), name), c.update(); };
        }
        what = QStringLiteral("delete %1").arg(c.currentKey());
        return [this] { c.deleteCurrent(); };
    }
    struct Seen {
        bool current;
        qint64 key;
        int pos, count;
        QList<qint64> keys;
    };
    Seen seen() { return {c.hasCurrent(), c.currentKey(), c.absolutePosition(), c.recordCount(), watch ? list() : QList<qint64>()}; }
    void asBefore(const Seen& before, const QString& what) {
        if (c.editMode() != RecordCursor::EditMode::None) c.cancelUpdate();
        const Seen now = seen();
        check(now.current == before.current && now.key == before.key, QStringLiteral("%1 moved the current row from %2 to %3").arg(what, about(before.key), about(now.key)));
        if (watch && (now.pos != before.pos || now.count != before.count || now.keys != before.keys)) {
            QStringList gone, come;
            for (const qint64 k : before.keys) if (!now.keys.contains(k)) gone << about(k);
            for (const qint64 k : now.keys) if (!before.keys.contains(k)) come << about(k);
            check(false, QStringLiteral("%1 changed the list (position %2 -> %3, %4 rows -> %5; gone: %6; come: %7)")
                             .arg(what).arg(before.pos).arg(now.pos).arg(before.count).arg(now.count).arg(gone.join(", "), come.join(", ")));
        }
    }
};

struct Step {
    const char* name;
    int weight;
    std::function<bool(Walk&)> run;   // false when it cannot be taken here
};

const Step Steps[] = {
    {"add", 8,
     [](Walk& w) {
         const Walk::NewRow r = w.someRow();
         const bool hadCurrent = w.c.hasCurrent();
         const qint64 current = w.c.currentKey();
         w.log(QStringLiteral("%1 %2").arg(w.unconfirmed ? "retry" : "add", w.text(r)));
         const qint64 key = w.add(r);
         w.steps.back() += QStringLiteral(" -> %1").arg(key);
         w.added(key, r);
         w.check(w.c.lastInsertKey() == key, QStringLiteral("lastInsertKey() is not the key update() gave"));
         // Unless the new row took the key of the current row (the other copy deleted it): that one goes.
         if (hadCurrent && key != current)
             w.check(w.c.hasCurrent() && w.c.currentKey() == current, QStringLiteral("the add moved the current row from %1").arg(w.about(current)));
         return true;
     }},
    {"rename", 6,
     [](Walk& w) {
         if (!w.onOwnRow()) return false;
         const qint64 key = w.c.currentKey();
         const QString name = w.someName();
         w.log(QStringLiteral("rename %1 to %2").arg(key).arg(name));
         w.c.edit(), w.c.setField(w.field(), name), w.c.update();
         w.renamed(key, name);
         w.check(w.c.hasCurrent() && w.c.currentKey() == key && w.c.text(w.field()) == name, QStringLiteral("the row renamed is not current as renamed"));
         return true;
     }},
    {"delete", 6,
     [](Walk& w) {
         if (!w.onOwnRow()) return false;
         const qint64 key = w.c.currentKey();
         const bool thenNext = w.some(2);
         w.log(QStringLiteral("delete %1%2").arg(key).arg(thenNext ? ", next" : ""));
         w.c.deleteCurrent();
         w.deleted(key);
         w.check(!w.c.hasCurrent(), QStringLiteral("a current row right after deleteCurrent()"));
         if (thenNext) {
             w.c.moveNext();
             const qint64 reached = w.c.hasCurrent() ? w.c.currentKey() : -1;
             w.steps.back() += QStringLiteral(" -> %1").arg(reached);
             w.checkNext(key, reached);
             w.checkCurrentRow(false, -1);
         }
         return true;
     }},
    {"undone", 4,
     [](Walk& w) {
         QString what;
         const std::function<void()> write = w.someWrite(what);
         w.log(what + QStringLiteral(", undone"));
         const Walk::Seen before = w.seen();
         {
             Transaction tx(w.db);
             write();
         }
         w.asBefore(before, QStringLiteral("a write undone"));
         return true;
     }},
    {"refused", 4,
     [](Walk& w) {
         QString what;
         const std::function<void()> write = w.someWrite(what);
         const StoreFault::Kind kind = w.some(2) ? StoreFault::JournalKept : StoreFault::DiskFull;
         const bool inTransaction = w.some(2);
         w.log(QStringLiteral("%1, refused (%2%3)").arg(what, kind == StoreFault::JournalKept ? "journal kept" : "disk full", inTransaction ? ", in a transaction" : ""));
         const Walk::Seen before = w.seen();
         int error;
         {
             StoreFault fault(kind);
             error = dbErrorOf([&] {
                 std::optional<Transaction> tx;
                 if (inTransaction) tx.emplace(w.db);
                 write();
                 if (tx) tx->commit();
             });
         }
         w.check(error != 0, QStringLiteral("a write the disk refused was taken as stored"));
         w.asBefore(before, QStringLiteral("a write refused"));
         return true;
     }},
    // Once a walk at most: telling that the file cannot be read takes the store a moment.
    {"unconfirmed add", 1,
     [](Walk& w) {
         if (w.unconfirmed || std::exchange(w.wasUnconfirmed, true)) return false;
         const Walk::NewRow r = w.someRow();
         const bool lands = w.some(2);
         w.log(QStringLiteral("add %1, unconfirmed, %2").arg(w.text(r), lands ? "landed" : "not landed"));
         const Walk::Seen before = w.seen();
         const FileSnapshot unwritten(w.shop.path);
         {
             StoreFault fault(StoreFault::JournalGoneUnreadable);
             w.check(dbErrorOf([&] { w.add(r); }) == DbErrorCode::Unconfirmed, QStringLiteral("the add was not told unconfirmed"));
             if (w.c.editMode() != RecordCursor::EditMode::None) w.c.cancelUpdate();
         }
         if (!lands) unwritten.putBack();
         w.unconfirmed = true, w.told = false;
         // The row the first try stored, if it did: the one the file holds that the model does not.
         for (const auto& [key, row] : w.readFile())
             if (!w.file.count(key)) {
                 w.check(lands && row.name == r.name && row.rest == r.rest, QStringLiteral("an unconfirmed add stored %1 %2").arg(row.name, row.rest));
                 w.file[key] = {r.name, r.rest, true};
                 w.fates[key] = Fate{};
                 if (w.held.count(key)) w.taken << key;
                 w.landed = key;
                 w.steps.back() += QStringLiteral(" -> %1").arg(key);
             }
         w.check(w.landed.has_value() == lands, QStringLiteral("the add that landed stored no row"));
         w.check(w.c.hasCurrent() == before.current && w.c.currentKey() == before.key, QStringLiteral("the unconfirmed add moved the current row"));
         return true;
     }},
    // Another write of this copy tells the outcome and gives the writers' turn back; the other copy may
    // then delete the row the unconfirmed add stored and add one that takes its key.
    {"tell", 2,
     [](Walk& w) {
         if (!w.unconfirmed || w.told) return false;
         w.log(QStringLiteral("another write of this copy"));
         w.db.execute(QStringLiteral("UPDATE TblConfig SET Imagem = 1"));
         w.told = true;
         return true;
     }},
    {"key taken", 4,
     [](Walk& w) {
         if (!w.unconfirmed || !w.landed || (!w.kind.autonumber && *w.landed != w.file.rbegin()->first)) return false;
         const qint64 key = *w.landed;
         w.db.execute(QStringLiteral("UPDATE TblConfig SET Imagem = 1"));
         w.told = true;
         w.others(QStringLiteral("DELETE FROM %1 WHERE rowid = %2").arg(w.table()).arg(key));
         w.file.erase(key), w.landed.reset();
         w.log(QStringLiteral("another write of this copy; the other copy deletes %1").arg(key));
         if (w.kind.autonumber) return true;
         const QString name = w.otherName();
         w.others(QStringLiteral("INSERT INTO %1 (%2) VALUES ('%3')").arg(w.table(), w.field(), name));
         const qint64 taken = sqlite3_last_insert_rowid(w.shop.other);
         if (w.held.count(taken)) w.taken << taken;
         w.file[taken] = {name, QString(), false};
         w.fates[taken] = Fate{};
         w.steps.back() += QStringLiteral(" and adds %1 -> %2").arg(name).arg(taken);
         return true;
     }},
    {"other adds", 5,
     [](Walk& w) {
         if (w.unconfirmed && !w.told) return false;   // a real copy waits its turn
         const QString name = w.otherName(), rest = w.kind.autonumber ? QStringLiteral("OUTRA %1|").arg(w.some(9)) : QString();
         if (w.kind.autonumber)
             w.others(QStringLiteral("INSERT INTO TblClientes (Nome, Endereco) VALUES ('%1', '%2')").arg(name, rest.chopped(1)));
         else
             w.others(QStringLiteral("INSERT INTO %1 (%2) VALUES ('%3')").arg(w.table(), w.field(), name));
         const qint64 key = sqlite3_last_insert_rowid(w.shop.other);
         w.log(QStringLiteral("the other copy adds %1 -> %2").arg(name).arg(key));
         if (w.held.count(key)) w.taken << key;
         w.file[key] = {name, rest, false};
         w.fates[key] = Fate{};
         return true;
     }},
    {"other renames", 5,
     [](Walk& w) {
         if ((w.unconfirmed && !w.told) || w.file.empty()) return false;
         const qint64 key = std::next(w.file.begin(), w.some(int(w.file.size())))->first;
         if (key == w.landed.value_or(-1)) return false;
         const QString name = w.otherName();
         w.log(QStringLiteral("the other copy renames %1 to %2").arg(key).arg(name));
         w.others(QStringLiteral("UPDATE %1 SET %2 = '%3' WHERE rowid = %4").arg(w.table(), w.field(), name).arg(key));
         w.file[key].name = name;
         w.fates[key].exempt = true;
         return true;
     }},
    {"other deletes", 5,
     [](Walk& w) {
         if ((w.unconfirmed && !w.told) || w.file.empty()) return false;
         // The last row often, so that its key is given again.
         const qint64 key = w.some(2) ? w.file.rbegin()->first : std::next(w.file.begin(), w.some(int(w.file.size())))->first;
         if (key == w.landed.value_or(-1)) return false;
         w.log(QStringLiteral("the other copy deletes %1").arg(key));
         w.others(QStringLiteral("DELETE FROM %1 WHERE rowid = %2").arg(w.table()).arg(key));
         w.file.erase(key);
         if (w.fates[key].owed == Owed::Once) w.fates[key].owed = Owed::Either;
         return true;
     }},
    {"first", 3,
     [](Walk& w) {
         w.log(QStringLiteral("first"));
         const bool hadCurrent = w.c.hasCurrent();
         const qint64 before = w.c.currentKey();
         w.c.moveFirst();
         w.checkCurrentRow(hadCurrent, before);
         return true;
     }},
    {"last", 3,
     [](Walk& w) {
         w.log(QStringLiteral("last"));
         const bool hadCurrent = w.c.hasCurrent();
         const qint64 before = w.c.currentKey();
         w.c.moveLast();
         w.checkCurrentRow(hadCurrent, before);
         return true;
     }},
    {"next", 10,
     [](Walk& w) {
         if (w.c.eof()) return false;
         const qint64 from = w.c.hasCurrent() ? w.c.currentKey() : -1;
         w.c.moveNext();
         const qint64 reached = w.c.hasCurrent() ? w.c.currentKey() : -1;
         w.log(QStringLiteral("next -> %1").arg(reached));
         w.checkNext(from, reached);
         w.checkCurrentRow(from != -1, from);
         return true;
     }},
    {"go to", 6,
     [](Walk& w) {
         if (w.c.recordCount() == 0) return false;
         const bool hadCurrent = w.c.hasCurrent();
         const qint64 before = w.c.currentKey();
         const int at = w.some(w.c.recordCount());
         w.c.setAbsolutePosition(at);
         w.log(QStringLiteral("go to %1 -> %2").arg(at).arg(w.c.currentKey()));
         w.checkCurrentRow(hadCurrent, before);
         return true;
     }},
    {"find", 6,
     [](Walk& w) {
         const bool hadCurrent = w.c.hasCurrent();
         const qint64 current = w.c.currentKey();
         std::vector<qint64> owed;
         for (const auto& [key, f] : w.fates)
             if (f.owed == Owed::Once) owed.push_back(key);
         if (w.kind.autonumber && !owed.empty() && w.some(3) == 0) {
             const qint64 key = owed[std::size_t(w.some(int(owed.size())))];
             w.log(QStringLiteral("find Codigo = %1").arg(key));
             w.check(w.c.findFirst(QStringLiteral("Codigo = %1").arg(key)) && w.c.hasCurrent() && w.c.currentKey() == key,
                     QStringLiteral("the find by key does not stand on %1").arg(w.about(key)));
         } else {
             const QString name = w.someName();
             const bool stands = std::any_of(owed.begin(), owed.end(), [&](qint64 k) { return w.file[k].name == name; });
             w.log(QStringLiteral("find %1 = '%2'").arg(w.field(), name));
             const bool found = w.c.findFirst(QStringLiteral("%1 = '%2'").arg(w.field(), name));
             w.steps.back() += QStringLiteral(" -> %1").arg(found ? w.c.currentKey() : -1);
             w.check(found || !stands, QStringLiteral("a find of a name a listed row holds found nothing"));
             if (found) w.check(w.c.hasCurrent() && w.c.text(w.field()) == name, QStringLiteral("a find stands on a row not matching"));
             else w.check(w.c.hasCurrent() == hadCurrent && w.c.currentKey() == current, QStringLiteral("a failed find moved the current row"));
         }
         w.checkCurrentRow(hadCurrent, current);
         return true;
     }},
    {"look", 2,
     [](Walk& w) {
         w.log(QStringLiteral("look at the whole list"));
         if (!w.watch) w.checkList();
         return true;
     }},
};

// One walk; its report when it fails, empty otherwise.
QString walk(Shop& shop, const TableKind& kind, int seed) {
    Walk w(kind, shop, unsigned(seed));
    Database& db = *shop.db;
    const QString table = w.table();
    static const int defaultPage = RecordCursor::pageSize();
    const int page = w.some(11) < 10 ? 1 + w.some(10) : defaultPage;
    const int rows = page == defaultPage ? 60 + w.some(141) : 6 + w.some(6 * page + 10);
    const int length = 30 + w.some(31);
    w.watch = w.some(2);
    RecordCursor::setPageSize(page);
    db.execute(QStringLiteral("DELETE FROM %1").arg(table));
    if (kind.autonumber) db.execute(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = 'TblClientes'"));
    {
        Transaction tx(db);
        for (int i = 0; i < rows; ++i) {
            if (kind.autonumber)
                db.execute(QStringLiteral("INSERT INTO TblClientes (Nome, Endereco) VALUES (?, ?)"), {w.someName(), QStringLiteral("RUA %1").arg(i)});
            else
                db.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(table, w.field()), {w.someName()});
        }
        tx.commit();
    }
    w.file = w.readFile();
    for (auto& [key, row] : w.file) w.fates[key] = {Owed::Once, 0, row.name, key, false};
    w.c.open(shop.path, QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, w.field()));
    w.checkStep();

    int total = 0;
    for (const Step& s : Steps) total += s.weight;
    const auto take = [&](const Step& s) {
        try {
            const bool taken = s.run(w);
            if (taken && w.failure.isEmpty()) w.checkStep();
            return taken;
        } catch (const DbError& e) {
            w.check(false, QStringLiteral("%1: error %2: %3").arg(s.name).arg(e.number()).arg(e.description()));
        } catch (const std::exception& e) {
            w.check(false, QStringLiteral("%1: %2").arg(s.name, QString::fromUtf8(e.what())));
        }
        return true;
    };
    for (int n = 0; n < length && w.failure.isEmpty();) {
        int pick = w.some(total);
        const Step* s = Steps;
        while (pick >= s->weight) pick -= s++->weight;
        n += take(*s);
    }
    // An unconfirmed add is always retried before the walk ends.
    if (w.failure.isEmpty() && w.unconfirmed) take(Steps[0]);
    if (w.failure.isEmpty()) {
        w.log(QStringLiteral("look at the whole list"));
        w.checkList();
    }
    RecordCursor::setPageSize(defaultPage);
    if (w.failure.isEmpty()) return {};
    QString report = QStringLiteral("seed %1 on %2: %3 rows, page size %4, %5 steps%6\n")
                         .arg(seed).arg(table).arg(rows).arg(page).arg(w.steps.size())
                         .arg(w.watch ? ", the whole list checked after every step" : "");
    for (int i = 0; i < w.steps.size(); ++i) report += QStringLiteral("  %1. %2\n").arg(i + 1).arg(w.steps[i]);
    return report + QStringLiteral("  failed: ") + w.failure +
           QStringLiteral("\n  again: TARVEL_WALK_SEED=%1 store_test_cursorwalk --gtest_filter=*%2").arg(seed).arg(kind.autonumber ? "Customers" : "Brands");
}

class CursorWalk : public ::testing::TestWithParam<TableKind> {};

TEST_P(CursorWalk, EveryRowOnceInOrderAndNoOtherCopysRowTouched) {
    // TARVEL_WALK_SEED=<n>: seed n alone (or the TARVEL_WALK_SEEDS seeds from n on).
    const bool one = qEnvironmentVariableIsSet("TARVEL_WALK_SEED");
    const int first = one ? qEnvironmentVariableIntValue("TARVEL_WALK_SEED") : 0;
    const int seeds = qEnvironmentVariableIsSet("TARVEL_WALK_SEEDS") ? qEnvironmentVariableIntValue("TARVEL_WALK_SEEDS") : one ? 1 : 100;
    Shop shop;
    QStringList failed;
    QString shortest;
    for (int seed = first; seed < first + seeds; ++seed) {
        const QString report = walk(shop, GetParam(), seed);
        if (report.isEmpty()) continue;
        if (failed.size() < 3) ADD_FAILURE() << report.toStdString();
        failed << report.section(QLatin1Char('\n'), 0, 0) + QStringLiteral(": ") + report.section(QStringLiteral("  failed: "), -1).section(QLatin1Char('\n'), 0, 0);
        if (shortest.isEmpty() || report.count(QLatin1Char('\n')) < shortest.count(QLatin1Char('\n'))) shortest = report;
    }
    if (failed.size() > 3)
        ADD_FAILURE() << failed.size() << " of " << seeds << " walks failed:\n" << failed.join(QLatin1Char('\n')).toStdString()
                      << "\nthe shortest:\n" << shortest.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Tables, CursorWalk, ::testing::Values(Customers, Brands),
                         [](const ::testing::TestParamInfo<TableKind>& info) { return std::string(info.param.autonumber ? "Customers" : "Brands"); });

} // namespace

TARVEL_TEST_MAIN()
