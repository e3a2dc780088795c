#pragma once

#include "store/dberror.h"

#include <QString>
#include <exception>

class Database;

// An open service order (a TblManutencao row) that another copy of the
// program may have checked out - and so deleted - since a window read it.
namespace OpenOrder {

// The failure of a task on an order that is no longer open.
DbError goneError();
// Whether a TblManutencao row has this Os.
bool isOpen(Database& db, qint64 os);
// Throws goneError() when no TblManutencao row has this Os.
void requireOpen(Database& db, qint64 os);
// After a failed task on order `os`: whether its row is really gone, read
// again now. A read that fails as well counts as still open.
bool goneAfterFailure(Database& db, qint64 os);
// The message of a failed task on an order that is still open, under the
// window's title: the task, that what was typed is kept for another try,
// then the error's number, "__" and its cause. Critical icon.
void showKeptFailure(const QString& task, const std::exception& error, const QString& title);
// The message of a failed task on an open order, under the window's title:
// "É Possível que já tenha sido dado Saída neste Aparelho,", a line break,
// then the error's number, "__" and its description. Critical icon.
void showFailure(const std::exception& error, const QString& title);

}
