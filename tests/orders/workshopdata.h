#pragma once

// Rows written straight into the test's database.
#include "store/currency.h"
#include "store/database.h"

#include <QDate>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <utility>
#include <vector>

namespace WorkshopData {

using Fields = std::vector<std::pair<QString, QVariant>>;

inline qint64 insert(const QString& table, const Fields& fields) {
    QStringList cols, marks;
    QVariantList values;
    for (const auto& [name, value] : fields) {
        cols << QLatin1Char('[') + name + QLatin1Char(']');
        marks << QStringLiteral("?");
        values << value;
    }
    Database d = Database::openDefault();
    d.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, cols.join(", "), marks.join(", ")), values);
    return d.lastInsertKey();
}

// `base` with the fields of `more` added or replaced (names in any case).
inline Fields merged(Fields base, const Fields& more) {
    for (const auto& [name, value] : more) {
        bool replaced = false;
        for (auto& field : base)
            if (field.first.compare(name, Qt::CaseInsensitive) == 0) field.second = value, replaced = true;
        if (!replaced) base.emplace_back(name, value);
    }
    return base;
}

// An open order taken in on 05/03/2008 at 14:05; `more` adds or replaces fields.
inline qint64 addOrder(const QString& nome, const Fields& more = {}) {
    Fields f = {{"Nome", nome}, {"IdCliente", 1}, {"Aparelho", "TV"}, {"Marca", "PHILCO"}, {"Modelo", "PH21"},
                {"Tipo", "ORÇAMENTO"}, {"Status", "EM SERVIÇO"}, {"Tecnico", "CARLOS"}, {"OperadorEnt", "ADMINISTRADOR"},
                {"Defeito", "NÃO LIGA"}, {"NumSerie", QStringLiteral("SN-") + nome.left(3)},
                {"DataEntrada", QDate(2008, 3, 5)}, {"HoraEntrada", QTime(14, 5, 0)}, {"Dias", 3},
                {"VlFinal", QVariant::fromValue(Currency::fromCents(15000))}};
    return insert(QStringLiteral("TblManutencao"), merged(std::move(f), more));
}

inline qlonglong count(const QString& sql) { return Database::openDefault().scalar(sql).toLongLong(); }

}
