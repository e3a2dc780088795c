#pragma once

// The shop's lists and a selected appliance for the intake tests, and the
// intake's widgets by name.
#include "store/database.h"
#include "store/globals.h"
#include "store/schema.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

namespace IntakeData {

// Types (with their departments), brands and technicians; a second operator,
// "BALCAO" (password 4321), without the right to issue orders.
inline void addLists() {
    Database d = Database::openDefault();
    d.execute("INSERT INTO TblAparelhos (Aparelho, Dpto) VALUES ('TELEVISOR', 'VIDEO'), ('RADIO', 'AUDIO'), "
              "('ÁUDIO SYSTEM', 'SOM'), ('DVD', 'VIDEO DIGITAL')");
    d.execute("INSERT INTO TblMarca (Marca) VALUES ('SONY'), ('PHILCO'), ('GRADIENTE')");
    d.execute("INSERT INTO TblTecnicos (NomeTecnico) VALUES ('PEDRO'), ('CARLOS')");
    d.execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs, BxOs, Ce, CadUsu, CadFunc, Cnf, Rst, Fnr) "
              "VALUES ('BALCAO', ?, 1, 0, 0, 0, 0, 0, 0, 0, 0)",
              {Schema::passwordToStored(4321)});
}

// The customers window's hand-over: customer 7, "ANA", and her television.
inline void selectAppliance(const QString& serie = QStringLiteral("SN-1001"),
                            const QString& aparelho = QStringLiteral("TELEVISOR"),
                            const QString& marca = QStringLiteral("PHILCO")) {
    auto& s = Modulo::DadosSelecionados;
    const QStringList customer = {"7", "ANA", "RUA A, 1", "APTO 2", "CENTRO", "CAMPINAS", "SP", "13000-000",
                                  "1933334444", "1922223333", "1911112222", "19999998888"};
    for (int i = 0; i < customer.size(); ++i) s[std::size_t(i)] = customer[i];
    s[15] = aparelho;
    s[16] = marca;
    s[17] = "TP-21";
    s[18] = "CH-9";
    s[19] = serie;
    s[20] = "110V";
}

// Statements the store's dialect does not take (a trigger that makes a write fail).
inline void raw(const QString& sql) {
    Database d = Database::openDefault();
    ASSERT_EQ(sqlite3_exec(d.handle(), sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
}

inline qlonglong count(const QString& sql) { return Database::openDefault().scalar(sql).toLongLong(); }

template <class W> W* child(QWidget* w, const QString& name) {
    W* found = w->findChild<W*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}
inline QLineEdit* txt(QWidget* w, int i) { return child<QLineEdit>(w, QStringLiteral("Txt(%1)").arg(i)); }
inline QComboBox* combo(QWidget* w, const QString& name) { return child<QComboBox>(w, name); }
inline QRadioButton* option(QWidget* w, const QString& name) { return child<QRadioButton>(w, name); }
inline QPushButton* button(QWidget* w, const QString& name) { return child<QPushButton>(w, name); }

}
