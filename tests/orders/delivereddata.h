#pragma once

// Delivered appliances written straight into the test's database, with every
// field as the checkout leaves it.
#include "workshopdata.h"

#include <QDate>
#include <QTime>

namespace DeliveredData {

using Fields = WorkshopData::Fields;

inline QVariant money(qint64 cents) { return QVariant::fromValue(Currency::fromCents(cents)); }

// Order `os` of customer 7, a television out on 05/12/2026 at 16:40 with its
// service warranty until 05/03/2027; `more` adds or replaces fields.
inline qint64 addDelivered(qint64 os, const QString& nome, const Fields& more = {}) {
    Fields f = {{"Os", os},
                {"IdCliente", 7},
                {"Nome", nome},
                {"Endereco", QStringLiteral("RUA DAS ACÁCIAS, 120")},
                {"Complemento", QStringLiteral("APTO 3")},
                {"Bairro", QStringLiteral("JARDIM SÃO JOÃO")},
                {"Cidade", QStringLiteral("CAMPINAS")},
                {"Estado", QStringLiteral("SP")},
                {"Cep", QStringLiteral("13000-000")},
                {"TelResidencia", QStringLiteral("(19) 3232-1111")},
                {"TelComercial", QStringLiteral("(19) 3232-2222")},
                {"Fax", QStringLiteral("(19) 3232-3333")},
                {"Celular", QStringLiteral("(19) 99999-4444")},
                {"Aparelho", QStringLiteral("TELEVISOR")},
                {"Marca", QStringLiteral("PHILCO")},
                {"Modelo", QStringLiteral("PH29")},
                {"Chassis", QStringLiteral("CH-77")},
                {"NumSerie", QStringLiteral("SN-") + QString::number(os)},
                {"Tensao", QStringLiteral("110V")},
                {"Defeito", QStringLiteral("NÃO LIGA")},
                {"EstadoAparelho", QStringLiteral("RISCOS NA TAMPA")},
                {"Acessorios", QStringLiteral("CONTROLE REMOTO")},
                {"Dpto", QStringLiteral("VIDEO")},
                {"DataEntrada", QDate(2026, 11, 20)},
                {"HoraEntrada", QTime(9, 15, 0)},
                {"Dias", 15},
                {"DataSaida", QDate(2026, 12, 5)},
                {"HoraSaida", QTime(16, 40, 0)},
                {"Tipo", QStringLiteral("ORÇAMENTO")},
                {"Status", QStringLiteral("PRONTO")},
                {"DataConcluido", QDate(2026, 12, 4)},
                {"OperadorEnt", QStringLiteral("ADMINISTRADOR")},
                {"OperadorSaida", QStringLiteral("BALCAO")},
                {"Tecnico", QStringLiteral("CARLOS")},
                {"Atendimento", QStringLiteral("INTERNO")},
                {"Garantia de Serviço", true},
                {"DATALIMITEGARANTIA", QDate(2027, 3, 5)},
                {"Relatorio0", QStringLiteral("F01 1 UN FLYBACK 120,00")},
                {"Relatorio1", QStringLiteral("C22 2 UN CAPACITOR 10,00")},
                {"Relatorio2", QStringLiteral("    ")},
                {"Relatorio3", QStringLiteral("    ")},
                {"Relatorio4", QStringLiteral("    ")},
                {"Relatorio55", QStringLiteral("    ")},
                {"Relatorio5", QStringLiteral("R$45,00")},
                {"Relatorio6", QStringLiteral("175,00")},
                {"Relatorio7", QStringLiteral("24,50")},
                {"ValorCobrado", money(15050)},
                {"Relatorio9", QStringLiteral("TROCADO O FLYBACK")},
                {"Relatorio10", QString()},
                {"Relatorio11", QStringLiteral("TESTADO 2 HORAS")},
                {"Relatorio12", QStringLiteral("DINHEIRO")},
                {"Relatorio13", QString()},
                {"Relatorio14", QString()},
                {"Relatorio15", QString()},
                {"Relatorio16", QStringLiteral("PAGO NA RETIRADA")}};
    return WorkshopData::insert(QStringLiteral("TblApEntregues"), WorkshopData::merged(std::move(f), more));
}

}
