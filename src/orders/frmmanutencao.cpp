#include "frmmanutencao.h"

#include "frmlocap.h"
#include "frmos.h"
#include "openorder.h"
#include "printing/frmimpap.h"
#include "store/globals.h"
#include "ui/errormessage.h"
#include "ui/twips.h"
#include "ui/windowhost.h"

#include <cstdint>

namespace {

QString g_lastSearch;

const QString Title = QStringLiteral("Aparelhos em Manutenção");

GridColumn column(const char* field, const char* title, int twips, FieldFormat format = FieldFormat::Auto,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    return GridColumn{QString::fromUtf8(field), QString::fromUtf8(title), Twips::toPixels(twips), format, align};
}

OrderListSetup setup() {
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
    s.columns = {column("OS", "OS", 700, FieldFormat::Auto, right),
                 column("DataEntrada", "ENTRADA", 1350, FieldFormat::ShortDate),
                 column("Nome", "CLIENTE", 3000),
                 column("Aparelho", "APARELHO", 1500),
                 column("Marca", "MARCA", 1300),
                 column("Modelo", "MODELO", 1300),
                 column("Tipo", "TIPO", 1500),
                 column("Status", "STATUS", 1300),
                 column("Dias", "DIAS", 600, FieldFormat::Auto, right),
                 column("VlFinal", "VALOR", 1000, FieldFormat::Fixed, right),
                 column("Tecnico", "TÉCNICO", 1500),
                 column("OperadorEnt", "OPERADOR", 1700),
                 column("Defeito", "DEFEITO", 3000),
                 column("NumSerie", "NÚM SÉRIE", 1500),
                 column("Chassis", "CHASSIS", 1200),
                 column("Atendimento", "ATENDIMENTO", 1200),
                 column("Prioridade", "PRIORIDADE", 1100),
                 column("Dpto", "DPTO", 1200),
                 column("HoraEntrada", "HORA", 900, FieldFormat::Time),
                 column("IDCliente", "ID ClLIENTE", 1000, FieldFormat::Auto, right)};
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
