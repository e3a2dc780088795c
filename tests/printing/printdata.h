#pragma once

// Rows written straight into the test's database, and the recording printer.
#include "printing/printer.h"
#include "store/database.h"

#include <QMap>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace PrintData {

using Fields = QMap<QString, QVariant>;

// A text of `n` capitals and blanks, as the widest fields are typed.
inline QString longText(int n) {
    const QString letters = QStringLiteral("ASSISTÊNCIA TÉCNICA ELETRÔNICA JOÃO MARQUES ");
    QString out;
    while (out.size() < n) out += letters;
    return out.left(n);
}

// A text of `n` of the widest capitals, in words of nine.
inline QString wideText(int n) {
    QString out;
    while (out.size() < n) out += QStringLiteral("WMWMWMWMW ");
    return out.left(n);
}

using TextOf = QString (*)(int);

// The company record with every field as long as its typing box takes (the
// site and messages at lengths a shop types), in the letters of `longText`.
inline Fields longestCompany(TextOf longText = PrintData::longText) {
    Fields f{{"NomeReal", longText(50)}, {"NomeFantasia", longText(25)}, {"Sigla", longText(2)},
             {"Endereco", longText(50)}, {"Cep", longText(15)}, {"Cidade", longText(20)}, {"Estado", longText(2)},
             {"Fone1", longText(15)}, {"Fone2", longText(15)}, {"Fax", longText(15)}, {"Email", longText(45)},
             {"CGC", longText(20)}, {"InscEstadual", longText(20)}, {"InscMunicipal", longText(20)},
             {"Site", longText(50)}, {"Msg1", longText(100)}, {"Msg2", QStringLiteral("SEGUNDA ") + longText(92)},
             {"Msg3", QStringLiteral("TERCEIRA ") + longText(91)}};
    for (int i = 1; i <= 12; ++i) f[QStringLiteral("Aut%1").arg(i)] = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')) + longText(18);
    return f;
}

// A service order with every printed field at its longest.
inline Fields longestOrder(TextOf longText = PrintData::longText) {
    const auto w = longText;
    return {{"Nome", w(50)}, {"Endereco", w(50)}, {"Complemento", w(20)}, {"Bairro", w(18)}, {"Cidade", w(18)},
            {"Estado", w(2)}, {"TelResidencia", w(15)}, {"TelComercial", w(15)}, {"Fax", w(15)}, {"Celular", w(15)},
            {"Aparelho", w(16)}, {"Marca", w(16)}, {"Modelo", w(14)}, {"Chassis", w(12)}, {"NumSerie", w(15)},
            {"Tensao", w(10)}, {"Defeito", w(55)}, {"EstadoAparelho", w(55)}, {"Acessorios", w(50)},
            {"Loja", w(20)}, {"DataCompra", w(13)}, {"NotaFiscal", w(15)}, {"GarComplementar", w(15)},
            {"Status", w(13)}, {"Tecnico", w(14)}, {"OperadorEnt", w(14)}, {"Atendimento", QStringLiteral("EXTERNO")},
            {"prioridade", QStringLiteral("URGENTE")}};
}

inline qint64 insert(const QString& table, const Fields& fields) {
    QStringList names, marks;
    QVariantList values;
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        names << QLatin1Char('[') + it.key() + QLatin1Char(']');
        marks << QStringLiteral("?");
        values << it.value();
    }
    Database d = Database::openDefault();
    d.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, names.join(','), marks.join(',')), values);
    return d.lastInsertKey();
}

// An open order with every printed field filled; `over` replaces fields.
inline qint64 addOrder(const Fields& over = {}) {
    Fields f{{"IdCliente", 7}, {"Nome", QStringLiteral("JOSÉ DA CONCEIÇÃO")},
             {"Endereco", QStringLiteral("RUA DAS ACÁCIAS, 120")}, {"Complemento", QStringLiteral("APTO 3")},
             {"Bairro", QStringLiteral("JARDIM SÃO JOÃO")}, {"Cidade", QStringLiteral("CAMPINAS")},
             {"Estado", QStringLiteral("SP")}, {"TelResidencia", QStringLiteral("(19) 3232-1111")},
             {"TelComercial", QStringLiteral("(19) 3232-2222")}, {"Fax", QStringLiteral("(19) 3232-3333")},
             {"Celular", QStringLiteral("(19) 99999-4444")}, {"Aparelho", QStringLiteral("TELEVISOR")},
             {"Marca", QStringLiteral("PHILCO")}, {"Modelo", QStringLiteral("PH29")},
             {"Chassis", QStringLiteral("CH-77")}, {"NumSerie", QStringLiteral("SN12345")},
             {"Tensao", QStringLiteral("110V")}, {"Defeito", QStringLiteral("NÃO LIGA")},
             {"EstadoAparelho", QStringLiteral("RISCOS NA TAMPA")}, {"Acessorios", QStringLiteral("CONTROLE REMOTO")},
             {"Tipo", QStringLiteral("ORÇAMENTO")}, {"prioridade", QStringLiteral("NORMAL")},
             {"Atendimento", QStringLiteral("INTERNO")}, {"Status", QStringLiteral("EM SERVIÇO")},
             {"Tecnico", QStringLiteral("CARLOS")}, {"OperadorEnt", QStringLiteral("ADMINISTRADOR")},
             {"DataEntrada", QStringLiteral("2026-12-01")}, {"HoraEntrada", QStringLiteral("14:35:10")}, {"Via", 0},
             {"Loja", QStringLiteral("CASAS BAHIA")}, {"DataCompra", QStringLiteral("10/10/2026")},
             {"NotaFiscal", QStringLiteral("NF 5555")}, {"GarComplementar", QStringLiteral("12 MESES")}};
    for (auto it = over.begin(); it != over.end(); ++it) f[it.key()] = it.value();
    return insert(QStringLiteral("TblManutencao"), f);
}

// A delivered appliance (a previous repair) of the default order's appliance.
inline qint64 addDelivered(int os, const Fields& over = {}) {
    Fields f{{"IdCliente", 7}, {"Os", os}, {"Nome", QStringLiteral("JOSÉ DA CONCEIÇÃO")},
             {"Aparelho", QStringLiteral("TELEVISOR")}, {"Marca", QStringLiteral("PHILCO")},
             {"Modelo", QStringLiteral("PH29")}, {"NumSerie", QStringLiteral("SN12345")},
             {"DataEntrada", QStringLiteral("2025-03-01")}, {"DataSaida", QStringLiteral("2025-03-10")},
             {"Tipo", QStringLiteral("ORÇAMENTO")}, {"Status", QStringLiteral("PRONTO")}, {"Dias", 9},
             {"ValorCobrado", 1505000}, {"Defeito", QStringLiteral("SEM IMAGEM")},
             {"Acessorios", QStringLiteral("NENHUM")}, {"Tecnico", QStringLiteral("CARLOS")},
             {"Relatorio0", QStringLiteral("1 FLYBACK")}, {"Relatorio1", QStringLiteral("2 CAPACITOR")},
             {"Relatorio2", QStringLiteral("1 RESISTOR")}, {"Relatorio3", QStringLiteral("1 FUSÍVEL")},
             {"Relatorio4", QStringLiteral("1 SOLDA")}};
    for (auto it = over.begin(); it != over.end(); ++it) f[it.key()] = it.value();
    return insert(QStringLiteral("TblApEntregues"), f);
}

inline void setCompany(const Fields& fields) {
    QStringList sets;
    QVariantList values;
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        sets << QStringLiteral("[%1] = ?").arg(it.key());
        values << it.value();
    }
    Database::openDefault().execute(QStringLiteral("UPDATE TblEmpresa SET ") + sets.join(','), values);
}

inline qlonglong via(qint64 os) {
    return Database::openDefault().scalar(QStringLiteral("SELECT Via FROM TblManutencao WHERE Os = ?"), {os}).toLongLong();
}

// The recording target as the program's default printer while the object lives.
class RecordingPrinter {
public:
    RecordingPrinter() : target(std::make_shared<RecordingTarget>()) { m_previous = Printing::setDefaultTarget(target); }
    ~RecordingPrinter() { Printing::setDefaultTarget(m_previous); }
    std::shared_ptr<RecordingTarget> target;

private:
    std::shared_ptr<PrintTarget> m_previous;
};

}
