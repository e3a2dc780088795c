#include "frmimpap.h"

#include "frmimpressao.h"
#include "printer.h"
#include "printjob.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "ui/errormessage.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <vector>

namespace {

const QString Title = QStringLiteral("Relatório de Aparelhos em Manutenção");
constexpr int RowsPerPage = 44;

// The report's columns: where each field of a row starts (a column of the
// 8-point font) and where the next one starts.
struct RowColumn {
    const char* field;
    int column;
};
const RowColumn RowColumns[] = {{"Os", 3},       {"DataEntrada", 13}, {"Nome", 27},    {"Aparelho", 89},
                                {"Marca", 118},  {"Modelo", 139},     {"Tipo", 163},   {"Status", 187},
                                {"Dias", 211},   {"Tecnico", 218}};

QString dashes() { return QString(210, QLatin1Char('-')); }

} // namespace

FrmImpAp::FrmImpAp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmImpAp"));
    setWindowTitle(Title);

    auto* root = new QHBoxLayout(this);
    Image1 = Widgets::label(this, QStringLiteral("Image1"), QString());
    Image1->setFixedSize(96, 96);
    Image1->setAlignment(Qt::AlignCenter);
    root->addWidget(Image1, 0, Qt::AlignTop);

    auto* right = new QVBoxLayout;
    Frame1 = new QGroupBox(QStringLiteral("Opções de Impressão"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* options = new QVBoxLayout(Frame1);
    const auto option = [this, options](const char* name, const QString& caption) {
        auto* o = new QRadioButton(caption, Frame1);
        o->setObjectName(QString::fromLatin1(name));
        options->addWidget(o);
        return o;
    };
    Option1 = option("Option1", QStringLiteral("Relatório Completo"));
    Option2 = option("Option2", QStringLiteral("Consulta com 'Cliente'"));
    Option4 = option("Option4", QStringLiteral("Consulta com 'Defeito'"));
    Option3 = option("Option3", QStringLiteral("OS Selecionada"));
    // A filter on screen does not reach the paper.
    Option2->setEnabled(false);
    Option4->setEnabled(false);
    right->addWidget(Frame1);

    auto* buttons = new QHBoxLayout;
    BtImprimir = Widgets::button(this, QStringLiteral("BtImprimir"), QStringLiteral("&Imprimir"),
                                 QStringLiteral("Iniciar Impressão"));
    BtFechar = Widgets::closeButton(this);
    buttons->addWidget(BtImprimir);
    buttons->addWidget(BtFechar);
    right->addLayout(buttons);
    root->addLayout(right);
    connect(BtImprimir, &QPushButton::clicked, this, &FrmImpAp::BtImprimir_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmImpAp::BtFechar_Click);
    WindowKeys::install(this);
    Form_Load();
}

FrmImpAp::~FrmImpAp() = default;

void FrmImpAp::Form_Load() {
    const QString path = ProgramFolder::databasePath();
    DataOs.setDatabaseName(path);
    try {
        DataEmpresa.open(path, QStringLiteral("TblEmpresa"));
    } catch (const std::exception& e) {
        // The report says it cannot print; the selected order still can.
        ShowError({QStringLiteral("Não foi possível ler os dados da Empresa.")}, ErrorInfo::from(e),
                  QStringLiteral("%1 %2"), Title);
    }
    Option3->setText(QStringLiteral("OS Selecionada (%1)").arg(Modulo::OsAtual));
    Option3->setChecked(true);
    m_logo = PrintJob::loadLogo();
    PrintJob::showPicture(Image1, m_logo);
}

void FrmImpAp::BtFechar_Click() { reject(); }

void FrmImpAp::BtImprimir_Click() {
    if (Option3->isChecked()) {
        WindowHost::showModal(new FrmImpressao);
        accept();
        return;
    }
    if (Option1->isChecked()) RelatorioCompleto();
}

void FrmImpAp::RelatorioCompleto() {
    Printer printer;
    try {
        WaitCursor wait;
        PrintJob::pageSetUp(printer, PrintOrientation::Landscape, PrintUnit::Centimetres, QStringLiteral("Arial Narrow"));
        printer.setDocumentName(Title);
        DataOs.setRecordSource(QStringLiteral("TblManutencao"));
        DataOs.refresh();
        m_titulo = QStringLiteral("Relatório Completo de todos os Aparelhos em Manutenção");
        int linhas = 0;
        Cabecalho(printer);
        for (DataOs.moveFirst(); !DataOs.eof(); DataOs.moveNext())
            PrintJob::printRecord(printer, linhas, RowsPerPage, [&] { printRow(printer); }, [&] { Cabecalho(printer); });
        printer.endDoc();
        wait.release();
        PrintJob::showSent(Title);
        accept();
    } catch (const std::exception& e) {
        printer.killDoc();
        PrintJob::showFailure(QStringLiteral("Não foi possível imprimir este Relatório"), {}, e, Title);
    }
}

void FrmImpAp::Cabecalho(Printer& printer) {
    const QString nome = DataEmpresa.isOpen() && DataEmpresa.hasCurrent()
                             ? DataEmpresa.text(QStringLiteral("NomeFantasia")) : QString();
    PrintJob::listPageTop(printer, m_logo, nome, 12, m_titulo, false);
    printer.print();
    printer.setFontSize(10);
    printer.print({dashes()});
    printer.print({Tab(2), "OS", Tab(8), "ENTRADA", Tab(25), "CLIENTE", Tab(70), "APARELHO", Spc(6), "MARCA", Spc(6),
                   "MODELO", Spc(9), "TIPO", Spc(6), "STATUS", Spc(9), "DIAS", Spc(6), "TECNICO"});
    printer.print({dashes()});
    printer.print();
    printer.setFontSize(8);
}

void FrmImpAp::printRow(Printer& printer) {
    // A field past the next column sends the rest of the row to the next line.
    for (const RowColumn& c : RowColumns) {
        // An empty field prints as nothing; the order number and the days
        // as number items.
        const QVariant value = DataOs.field(QString::fromLatin1(c.field));
        const bool os = qstrcmp(c.field, "Os") == 0;
        const QString text = value.typeId() == QMetaType::QDate         ? Fmt::shortDate(value)
                             : os || qstrcmp(c.field, "Dias") == 0 ? Num(value).text()
                                                                       : value.toString();
        // The order number in bold.
        printer.print({Tab(c.column)}, LineEnd::Open);
        printer.setBold(os);
        printer.print({Fit(text)}, LineEnd::Open);
        if (os) printer.setBold(false);
    }
    printer.print();
}
