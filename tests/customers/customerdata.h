#pragma once

// Rows for the customer tests, written straight into the database, and widgets by name.
#include "store/database.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QVariant>
#include <sqlcipher/sqlite3.h>

namespace CustomerData {

inline qint64 addCustomer(const QString& nome, const QString& cidade = QStringLiteral("CAMPINAS"),
                          const QString& telRes = {}, const QString& email = {}) {
    Database d = Database::openDefault();
    d.execute(QStringLiteral("INSERT INTO TblClientes (Nome, Endereco, Cidade, Estado, TelResidencia, Email, "
                             "Operador, DataCadastro) VALUES (?, 'RUA A, 1', ?, 'SP', ?, ?, 'ADMINISTRADOR', "
                             "'2025-01-02')"),
              {nome, cidade, telRes, email});
    return d.lastInsertKey();
}

inline qint64 addAppliance(qint64 cliente, const QString& aparelho, const QString& modelo,
                           const QString& serie = QStringLiteral("SN1234")) {
    Database d = Database::openDefault();
    d.execute(QStringLiteral("INSERT INTO TblApClientes (ID, Aparelho, Marca, Modelo, NumSerie, Chassis, Tensao) "
                             "VALUES (?, ?, 'PHILCO', ?, ?, 'CH1', '110V')"),
              {cliente, aparelho, modelo, serie});
    return d.lastInsertKey();
}

inline void addOpenOrder(qint64 cliente, const QString& nome) {
    Database::openDefault().execute(QStringLiteral("INSERT INTO TblManutencao (IdCliente, Nome, Aparelho, Status) "
                                                   "VALUES (?, ?, 'TV', 'EM SERVIÇO')"),
                                    {cliente, nome});
}

inline void addDelivered(qint64 cliente, const QString& nome, bool underWarranty) {
    Database::openDefault().execute(
        QStringLiteral("INSERT INTO TblApEntregues (IdCliente, Nome, Aparelho, [Garantia de Serviço]) "
                       "VALUES (?, ?, 'TV', ?)"),
        {cliente, nome, underWarranty});
}

// Statements the store's dialect does not take (a failing trigger).
inline void raw(const QString& sql) {
    Database d = Database::openDefault();
    ASSERT_EQ(sqlite3_exec(d.handle(), sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
}

// The box "Txt(i)" and a button of a window.
inline QLineEdit* txt(QWidget* w, int i) { return w->findChild<QLineEdit*>(QStringLiteral("Txt(%1)").arg(i)); }
inline QPushButton* button(QWidget* w, const char* name) { return w->findChild<QPushButton*>(name); }

}
