#include "frmmanutencao.h"

#include "frmlocap.h"
#include "frmos.h"
#include "customers/geranumserie.h"
#include "openorder.h"
#include "printing/frmimpap.h"
#include "store/globals.h"
#include "ui/errormessage.h"
#include "ui/windowhost.h"

#include <cstdint>

namespace {

QString g_lastSearch;

const QString Title = QStringLiteral("Aparelhos em Manutenção");

OrderListSetup setup() {
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    OrderListSetup s;
    s.objectName = QStringLiteral("FrmManutencao");
    s.caption = QStringLiteral("Manutençao");
    s.table = QStringLiteral("TblManutencao");
    s.heading = QStringLiteral("APARELHOS EM MANUTENÇÃO");
    s.filterPrefix = QStringLiteral("APARELHOS EM MANUTENÇÃO : ");
    s.filterNamesField = false;
    s.filterOrder = QStringLiteral("Os");
    s.dateFilterOrder = QStringLiteral("Os");
    s.columns = {listColumn("OS", "OS", 700, FieldFormat::Auto, right, {GridValues::Number}),
                 listColumn("DataEntrada", "ENTRADA", 1350, FieldFormat::ShortDate),
                 listColumn("Nome", "CLIENTE", 3000),
                 listColumn("Aparelho", "APARELHO", 1500),
                 listColumn("Marca", "MARCA", 1300),
                 listColumn("Modelo", "MODELO", 1300),
                 listColumn("Tipo", "TIPO", 1500, FieldFormat::Auto, left, OrderValues::Tipos),
                 listColumn("Status", "STATUS", 1300),
                 listColumn("Dias", "DIAS", 600, FieldFormat::Auto, right, {GridValues::Number}),
                 listColumn("VlFinal", "VALOR", 1000, FieldFormat::Fixed, right, {GridValues::Money}),
                 listColumn("Tecnico", "TÉCNICO", 1500),
                 listColumn("OperadorEnt", "OPERADOR", 1700),
                 listColumn("Defeito", "DEFEITO", 3000),
                 listColumn("NumSerie", "NÚM SÉRIE", 1500, FieldFormat::Auto, left, {widestNumSerie()}),
                 listColumn("Chassis", "CHASSIS", 1200),
                 listColumn("Atendimento", "ATENDIMENTO", 1200, FieldFormat::Auto, left, OrderValues::Atendimentos),
                 listColumn("Prioridade", "PRIORIDADE", 1100, FieldFormat::Auto, left, OrderValues::Prioridades),
                 listColumn("Dpto", "DPTO", 1200),
                 listColumn("HoraEntrada", "HORA", 900, FieldFormat::Time),
                 listColumn("IDCliente", "ID ClLIENTE", 1000, FieldFormat::Auto, right, {GridValues::Number})};
    s.detailsButton = QStringLiteral("BtOs");
    s.detailsToolTip = QStringLiteral("Detalhes da Ordem de Serviço (F11)");
    s.resetToolTip = QStringLiteral("Atualizar");
    s.errorTitle = Title;
    s.sqlFilter = &Modulo::SqlFiltroManutencao;
    s.filterTitle = &Modulo::TituloFiltroManutencao;
    s.lastSearch = &g_lastSearch;
    return s;
}

} // namespace

FrmManutencao::FrmManutencao(QWidget* parent) : OrderList(setup(), parent) { Form_Load(); }

FrmManutencao* FrmManutencao::create() {
    return WindowHost::keepIfLoaded(new FrmManutencao);
}

FrmManutencao* FrmManutencao::open() { return WindowHost::openList<FrmManutencao>(&FrmManutencao::create); }

QString FrmManutencao::rememberedSearch() { return g_lastSearch; }

void FrmManutencao::lastRowShown() { Modulo::OsAtual = std::int32_t(m_data.number(QStringLiteral("Os"))); }

void FrmManutencao::BtLocAp_Click() { WindowHost::showModal(new FrmLocAp(this)); }

void FrmManutencao::BtOs_Click() {
    try {
        const qint64 os = m_data.number(QStringLiteral("Os"));
        Modulo::OsAtual = std::int32_t(os);
        // Another copy of the program may have checked the order out since
        // the list was read.
        OpenOrder::requireOpen(m_data.database(), os);
        if (FrmOS* w = FrmOS::create()) WindowHost::showModal(w);
        if (OpenOrder::isOpen(m_data.database(), os)) {
            // It may have changed the order: the row shows what is stored
            // now, where it stands (the list's query is not run again).
            m_data.rereadCurrent();
        } else {
            // Checked out meanwhile: the order leaves the list.
            m_data.requery();
            setCountText(QString::number(m_data.recordCount()));
        }
    } catch (const std::exception& e) {
        OpenOrder::showFailure(e, Title);
        try {
            AtualizaData();
        } catch (const std::exception&) {
            // The list shows what it could read.
        }
    }
}

void FrmManutencao::BtImprimir_Click() {
    try {
        if (!m_data.hasCurrent()) throw DbError(DbErrorCode::NoCurrentRecord, QString(), dbErrorSource());
        Modulo::OsAtual = std::int32_t(m_data.number(QStringLiteral("Os")));
    } catch (const std::exception&) {
        MsgBox(QStringLiteral("Não existe nenhum Aparelho Selecionado"), MsgButtons::Ok, MsgIcon::Exclamation,
               std::nullopt, Title);
        return;
    }
    WindowHost::showModal(new FrmImpAp);
}
