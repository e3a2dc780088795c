#include "frmapentregues.h"

#include "frmdetalhes.h"
#include "customers/geranumserie.h"
#include "frmlocapentregue.h"
#include "printing/frmimpapentr.h"
#include "store/globals.h"
#include "ui/messagebox.h"
#include "ui/windowhost.h"

#include <QApplication>
#include <QTimer>
#include <cstdint>

namespace {

QString g_lastSearch;

const QString Title = QStringLiteral("Aparelhos Entregues");

OrderListSetup setup() {
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment centre = Qt::AlignCenter;
    OrderListSetup s;
    s.objectName = QStringLiteral("FrmApEntregues");
    s.caption = Title;
    s.table = QStringLiteral("TblApEntregues");
    s.heading = QStringLiteral("APARELHOS ENTREGUES");
    s.filterPrefix = QStringLiteral("TODOS OS APARELHOS ENTREGUES : ");
    s.filterNamesField = true;
    s.filterOrder = QStringLiteral("DataSaida");
    s.dateFilterOrder = QStringLiteral("Os");
    s.columns = {listColumn("OS", "OS", 900, FieldFormat::Auto, right, {GridValues::Number}),
                 listColumn("DataSaida", "SAÍDA", 1350, FieldFormat::ShortDate),
                 listColumn("Nome", "CLIENTE", 3000),
                 listColumn("Aparelho", "APARELHO", 1500),
                 listColumn("Marca", "MARCA", 1300),
                 listColumn("Modelo", "MODELO", 1300),
                 listColumn("Tipo", "TIPO", 1500, FieldFormat::Auto, left, OrderValues::Tipos),
                 listColumn("Status", "STATUS", 1300),
                 listColumn("Garantia de Serviço", "GS", 600, FieldFormat::YesNo, centre),
                 listColumn("DataLimiteGarantia", "DATA GAR.", 1350, FieldFormat::ShortDate),
                 listColumn("ValorCobrado", "VALOR", 1000, FieldFormat::Fixed, right, {GridValues::Money}),
                 listColumn("OperadorSaida", "OP. SAÍDA", 1700),
                 listColumn("Tecnico", "TÉCNICO", 1500),
                 listColumn("NumSerie", "NÚM SÉRIE", 1500, FieldFormat::Auto, left, {widestNumSerie()}),
                 listColumn("HoraSaida", "HORA", 900, FieldFormat::Time),
                 listColumn("Defeito", "DEFEITO", 3000),
                 listColumn("Dpto", "DPTO", 1200),
                 listColumn("IdCliente", "ID CLIENTE", 1000, FieldFormat::Auto, right, {GridValues::Number}),
                 listColumn("DataEntrada", "ENTRADA", 1350, FieldFormat::ShortDate),
                 listColumn("IdApEntregues", "ID AP", 800, FieldFormat::Auto, right, {GridValues::Number})};
    s.detailsButton = QStringLiteral("BtDetalhes");
    s.detailsToolTip = QStringLiteral("Detalhes do Aparelho Entregue (F11)");
    s.resetToolTip = QStringLiteral("Atualizar Dados");
    s.errorTitle = Title;
    s.sqlFilter = &Modulo::SqlFiltroEntregues;
    s.filterTitle = &Modulo::TituloFiltroEntregues;
    s.lastSearch = &g_lastSearch;
    s.keysWithoutRows = true;
    s.indicatorAtTop = true;
    s.picturesOnly = true;
    return s;
}

} // namespace

FrmApEntregues::FrmApEntregues(QWidget* parent) : OrderList(setup(), parent) { Form_Load(); }

FrmApEntregues* FrmApEntregues::create() {
    return WindowHost::keepIfLoaded(new FrmApEntregues);
}

FrmApEntregues* FrmApEntregues::open() { return WindowHost::openList<FrmApEntregues>(&FrmApEntregues::create); }

void FrmApEntregues::showPreviousRepairs(const QString& query, const QString& heading) {
    auto* w = WindowHost::loadList<FrmApEntregues>(&FrmApEntregues::create);
    if (!w) return;
    WindowHost::showList(w);
    try {
        w->showFilter(query, heading);
    } catch (const std::exception&) {
        w->BtReset_Click();
        throw;
    }
}

QString FrmApEntregues::rememberedSearch() { return g_lastSearch; }

void FrmApEntregues::BtLocAp_Click() { WindowHost::showModal(new FrmLocApEntregue(&m_data, this)); }

bool FrmApEntregues::takeCurrent(const QString& noRowMessage) {
    if (!m_data.isOpen() || !m_data.hasCurrent()) {
        MsgBox(noRowMessage, MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, Title);
        return false;
    }
    Modulo::IdApEntregueAtual = std::int32_t(m_data.number(QStringLiteral("IdApEntregues")));
    return true;
}

void FrmApEntregues::BtDetalhes_Click() {
    if (!takeCurrent(QStringLiteral("Não existe nenhum Aparelho para visualizar os Detalhes"))) return;
    auto* details = new FrmDetalhes(this);
    if (!details->found()) {
        delete details;
        return;
    }
    if (WindowHost::showModal(details) == FrmDetalhes::NovaOrdem) {
        // The list closes and the intake opens once this handler has
        // returned: the list goes with its buttons.
        QTimer::singleShot(0, qApp, &FrmDetalhes::startNewOrder);
    }
}

void FrmApEntregues::BtImprimir_Click() {
    if (!takeCurrent(QStringLiteral("Não existe nada a Imprimir"))) return;
    WindowHost::showModal(new FrmImpApEntr(this));
}
