#pragma once

// Rows for the pickup-receipt tests, written straight into the test's
// database, and the windows' boxes by name.
#include "store/database.h"

#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace PickupData {

inline qint64 addReceipt(const QString& nome, const QString& bairro = QStringLiteral("CENTRO"),
                         const QString& data = QStringLiteral("2026-03-01"),
                         const QString& operador = QStringLiteral("ADMINISTRADOR")) {
    Database d = Database::openDefault();
    d.execute(QStringLiteral("INSERT INTO TblRetirada (Nome, End, Bairro, Cidade, Estado, Ap0, Marca0, Mod0, "
                             "NumSerie, Defeito, DataEmissao, HoraEmissao, Operador) VALUES "
                             "(?, ?, ?, 'CAMPINAS', 'SP', 'TV', 'PHILCO', 'PH21', 'SN1', 'NAO LIGA', ?, "
                             "'10:30:00', ?)"),
              {nome, QStringLiteral("RUA ") + nome, bairro, data, operador});
    return d.lastInsertKey();
}

// Statements the store's dialect does not take (a trigger that makes a
// write fail).
inline void raw(const QString& sql) {
    Database d = Database::openDefault();
    ASSERT_EQ(sqlite3_exec(d.handle(), sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
}

inline QString text(const QString& sql) { return Database::openDefault().scalar(sql).toString(); }
inline qlonglong count(const QString& sql) { return Database::openDefault().scalar(sql).toLongLong(); }

// The box Txt(i) of a window as a widget, and its text.
inline QWidget* box(QWidget* w, int i) { return w->findChild<QWidget*>(QStringLiteral("Txt(%1)").arg(i)); }
inline QString boxText(QWidget* w, int i) {
    QWidget* b = box(w, i);
    if (auto* l = qobject_cast<QLineEdit*>(b)) return l->text();
    return static_cast<QPlainTextEdit*>(b)->toPlainText();
}
inline QPushButton* button(QWidget* w, const char* name) { return w->findChild<QPushButton*>(name); }

}
