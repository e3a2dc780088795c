#include "scenario.h"

#include "fixture.h"
#include "testmain.h"
#include "scriptedboxes.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/schema.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

QStringList storedRows(const QString& sql) {
    QStringList out;
    for (const QVariantList& row : Database::openDefault().rows(sql)) {
        QStringList values;
        for (const QVariant& v : row) values << (v.isNull() ? QString() : v.toString());
        out << values.join(QLatin1Char('|'));
    }
    return out;
}

namespace {

// The operator's work with its boxes, then the rows and the further checks.
void actAndCheck(const Scenario& s) {
    {
        ScriptedBoxes boxes;
        for (const ExpectedBox& b : s.boxes) boxes.answer(b.answer, b.text);
        s.act();
        EXPECT_EQ(boxes.log().size(), s.boxes.size()) << "boxes shown: " << boxes.texts().join(" / ").toStdString();
    }
    const Database held = s.rows.isEmpty() ? Database() : Database::openDefault();
    for (const ExpectedRows& r : s.rows) EXPECT_EQ(storedRows(r.sql), r.rows) << r.sql.toStdString();
    if (s.then) s.then();
}

} // namespace

void runScenario(const Scenario& s) {
    SCOPED_TRACE(s.name);
    if (s.given) {
        const Database held = Database::openDefault();   // one connection for all the writes
        s.given();
    }
    actAndCheck(s);
}

namespace {

// A delivered database made once per run; each fresh database is a copy of it
// (making one anew costs the key derivation twice over).
QString pristineDatabase() {
    static QTemporaryDir dir;
    static const QString file = [] {
        const QString f = dir.filePath(QStringLiteral("pristine.mdb"));
        Schema::createDatabaseFile(f);
        return f;
    }();
    return file;
}

} // namespace

void freshDatabase() {
    closeAllWindows();
    const QString path = ProgramFolder::databasePath();
    // A connection left open would go on with the removed file.
    EXPECT_FALSE(Database::openInThisProcess(path)) << "a window or cursor still holds the database";
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
    EXPECT_TRUE(QFile::copy(pristineDatabase(), path));
    Modulo::reset();
    Clock::set(QDateTime());
}

void runScenarios(const QList<Scenario>& scenarios, const std::function<void()>& prepare,
                  const std::function<void()>& finish) {
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        freshDatabase();
        if (prepare || s.given) {
            const Database held = Database::openDefault();
            if (prepare) prepare();
            if (s.given) s.given();
        }
        actAndCheck(s);
        if (finish) finish();
    }
}
