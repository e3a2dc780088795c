#include "globals.h"

namespace Modulo {
void reset() {
    OsAtual = 0;
    CodClienteAtual = 0;
    NomeClienteAtual.clear();
    for (auto& s : DadosSelecionados) s.clear();
    IdApEntregueAtual = 0;
    IdRetiradaAtual = QVariant();
    NovaRetiradaSalva = false;
    SqlFiltroManutencao.clear();
    TituloFiltroManutencao.clear();
    SqlFiltroEntregues.clear();
    TituloFiltroEntregues.clear();
    RetornoGarantia = false;
    TecnicoRetorno = QVariant();
    DataLimiteRetorno = QDate();
    OperadorSelecionado.clear();
    AcessoOsLiberado = false;
    NomeOperadorAtual.clear();
}
}
