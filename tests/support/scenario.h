#pragma once

#include "ui/messagebox.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

// A window's scenarios as one table: what stands in the database first, how
// the operator drives the window, the boxes that must come (in order, each
// with the answer given to it) and the rows the tables hold afterwards.
//
//   runScenarios({
//       {"blank address", nullptr, [&] { ...type, click... },
//        {{"'E obrigatório preencher o Endereço", MsgAnswer::Ok}},
//        {{"SELECT Nome FROM TblClientes", {}}}},
//   });
//
// A box that is not in the row, or one of the row's boxes that never comes,
// fails the scenario; so does a query returning other rows. The database is
// held open while the rows are written and read (one key derivation for
// all); the operator's work starts with it closed.
struct ExpectedBox {
    QString text;                       // a part of the box's text
    MsgAnswer answer = MsgAnswer::Ok;
};

// A query of the program folder's database and the rows it must return, each
// row its values as text joined by "|" (NULL is empty).
struct ExpectedRows {
    QString sql;
    QStringList rows;
};

struct Scenario {
    std::string name;
    std::function<void()> given = {};   // rows written before (may be empty; the file itself stays)
    std::function<void()> act = {};     // the operator's work
    QList<ExpectedBox> boxes = {};
    QList<ExpectedRows> rows = {};
    std::function<void()> then = {};    // further checks after the rows (may be empty)
};

// The rows of a query as ExpectedRows holds them.
QStringList storedRows(const QString& sql);

// Runs one scenario in the current program folder.
void runScenario(const Scenario& s);

// Runs each scenario on a database of its own: before each, the windows left
// open are closed, the program folder's database file is made anew, the
// program-wide variables and the clock are reset, then `prepare` runs (the
// rows every scenario of the table shares). `finish` runs after each (to let
// go of windows the test owns, which would hold the database).
void runScenarios(const QList<Scenario>& scenarios, const std::function<void()>& prepare = {},
                  const std::function<void()>& finish = {});

// Makes the program folder's database file anew (the windows holding it
// closed first; a test failure when something else still holds it) and resets
// the program-wide variables and the clock.
void freshDatabase();
