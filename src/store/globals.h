#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <array>
#include <cstdint>

// The program-wide variables that carry the selected record from one window
// to the next. They live for the whole run and start at 0, false or empty.
namespace Modulo {
inline std::int32_t OsAtual = 0;
inline std::int32_t CodClienteAtual = 0;
inline QString NomeClienteAtual;
// 0..12 the selected customer, 15..20 the selected appliance; 13 and 14 unused.
inline std::array<QString, 21> DadosSelecionados;
inline std::int32_t IdApEntregueAtual = 0;
inline QVariant IdRetiradaAtual;
inline bool NovaRetiradaSalva = false;
inline QString SqlFiltroManutencao;
inline QString TituloFiltroManutencao;
inline QString SqlFiltroEntregues;
inline QString TituloFiltroEntregues;
inline bool RetornoGarantia = false;
inline QVariant TecnicoRetorno;
inline QDate DataLimiteRetorno;
inline QString OperadorSelecionado;
inline bool AcessoOsLiberado = false;
inline QString NomeOperadorAtual;

// Back to the starting values (tests).
void reset();
}
