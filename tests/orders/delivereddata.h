#pragma once

// Delivered appliances with every field as the checkout leaves it.
#include "workshopdata.h"


namespace DeliveredData {

using Fields = WorkshopData::Fields;

inline QVariant money(qint64 cents) { return QVariant::fromValue(Currency::fromCents(cents)); }

// Order `os` of customer 7, a television out on 05/12/2026 at 16:40 with its
// service warranty until 05/03/2027; `more` adds or replaces fields.
inline qint64 addDelivered(qint64 os, const QString& nome, const Fields& more = {}) {
    Fields f = {{"Os", os}, {"IdCliente", 7}, {"Nome", nome}, {"Endereco", "RUA DAS ACÁCIAS, 120"},
                {"Complemento", "APTO 3"}, {"Bairro", "JARDIM SÃO JOÃO"}, {"Cidade", "CAMPINAS"}, {"Estado", "SP"},
                {"Cep", "13000-000"}, {"TelResidencia", "(19) 3232-1111"}, {"TelComercial", "(19) 3232-2222"},
                {"Fax", "(19) 3232-3333"}, {"Celular", "(19) 99999-4444"}, {"Aparelho", "TELEVISOR"},
                {"Marca", "PHILCO"}, {"Modelo", "PH29"}, {"Chassis", "CH-77"},
                {"NumSerie", QStringLiteral("SN-") + QString::number(os)}, {"Tensao", "110V"},
                {"Defeito", "NÃO LIGA"}, {"EstadoAparelho", "RISCOS NA TAMPA"}, {"Acessorios", "CONTROLE REMOTO"},
                {"Dpto", "VIDEO"}, {"DataEntrada", QDate(2026, 11, 20)}, {"HoraEntrada", QTime(9, 15, 0)},
                {"Dias", 15}, {"DataSaida", QDate(2026, 12, 5)}, {"HoraSaida", QTime(16, 40, 0)},
                {"Tipo", "ORÇAMENTO"}, {"Status", "PRONTO"}, {"DataConcluido", QDate(2026, 12, 4)},
                {"OperadorEnt", "ADMINISTRADOR"}, {"OperadorSaida", "BALCAO"}, {"Tecnico", "CARLOS"},
                {"Atendimento", "INTERNO"}, {"Garantia de Serviço", true}, {"DATALIMITEGARANTIA", QDate(2027, 3, 5)},
                {"Relatorio0", "F01 1 UN FLYBACK 120,00"}, {"Relatorio1", "C22 2 UN CAPACITOR 10,00"},
                {"Relatorio2", "    "}, {"Relatorio3", "    "}, {"Relatorio4", "    "}, {"Relatorio55", "    "},
                {"Relatorio5", "R$45,00"}, {"Relatorio6", "175,00"}, {"Relatorio7", "24,50"},
                {"ValorCobrado", money(15050)}, {"Relatorio9", "TROCADO O FLYBACK"}, {"Relatorio10", QString()},
                {"Relatorio11", "TESTADO 2 HORAS"}, {"Relatorio12", "DINHEIRO"}, {"Relatorio13", QString()},
                {"Relatorio14", QString()}, {"Relatorio15", QString()}, {"Relatorio16", "PAGO NA RETIRADA"}};
    return WorkshopData::insert(QStringLiteral("TblApEntregues"), WorkshopData::merged(std::move(f), more));
}

}
