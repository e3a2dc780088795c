#include "frmimpapentr.h"

#include "aparelhosentregues.h"
#include "frmimpdtapent.h"
#include "printjob.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString JobTitle = QStringLiteral("Relatório de Aparelhos Entregues");

QRadioButton* option(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    auto* o = new QRadioButton(text, parent);
    o->setObjectName(name);
    o->setGeometry(geometry);
    return o;
}

} // namespace

FrmImpApEntr::FrmImpApEntr(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("FrmImpApEntr"));
    setWindowTitle(QStringLiteral("Relatório de Aparelhos  Entregues"));
    setModal(true);
    setFixedSize(Twips::toPixels(6000), Twips::toPixels(2700));

    Frame1 = new QGroupBox(QStringLiteral("Opções de Impressão"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(Twips::rect(240, 240, 3255, 1575));
    Option1 = option(Frame1, QStringLiteral("Option1"), QStringLiteral("Relatório Completo"), Twips::rect(240, 360, 2900, 300));
    Option2 = option(Frame1, QStringLiteral("Option2"), QStringLiteral("Apenas a Consulta"), Twips::rect(240, 720, 2900, 300));
    Option3 = option(Frame1, QStringLiteral("Option3"), QStringLiteral("OS Selecionada"), Twips::rect(240, 1080, 2900, 300));
    Option2->setEnabled(false);
    Option3->setChecked(true);

    BtImprimir = Widgets::button(this, QStringLiteral("BtImprimir"), QStringLiteral("&Iniciar Impressão"),
                                 QStringLiteral("Iniciar Impressão"), Twips::rect(3720, 1920, 2040, 495));
    BtFechar = Widgets::button(this, QStringLiteral("BtFechar"), QStringLiteral("&Fechar"), QStringLiteral("Fechar"),
                               Twips::rect(240, 1920, 1350, 495));
    Image1 = Widgets::label(this, QStringLiteral("Image1"), {}, Twips::rect(3720, 300, 2040, 1400));
    Image1->setAlignment(Qt::AlignCenter);
    connect(BtImprimir, &QPushButton::clicked, this, &FrmImpApEntr::BtImprimir_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmImpApEntr::BtFechar_Click);
    WindowKeys::install(this);
    Form_Load();
}

FrmImpApEntr::~FrmImpApEntr() = default;

void FrmImpApEntr::Form_Load() {
    const QString db = ProgramFolder::databasePath();
    DataOs.setDatabaseName(db);
    try {
        DataEmpresa.open(db, QStringLiteral("TblEmpresa"));
    } catch (const std::exception& e) {
        // The job reports the database again when it starts.
        ShowError({QStringLiteral("Não foi possível abrir o Banco de Dados para imprimir este Relatório.")},
                  ErrorInfo::from(e), QStringLiteral("%2__%1"), JobTitle);
    }
    m_logo = PrintJob::loadLogo();
    PrintJob::showPicture(Image1, m_logo);
}

void FrmImpApEntr::BtImprimir_Click() {
    if (Option3->isChecked()) {
        WindowHost::showModal(new FrmImpDtApEnt(this));
        accept();
        return;
    }
    if (Option2->isChecked()) {
        if (Modulo::SqlFiltroEntregues.isEmpty()) {
            MsgBox(QStringLiteral("não existe nenhuma Consulta a ser Impressa!"), MsgButtons::Ok, MsgIcon::Critical,
                   std::nullopt, QStringLiteral("Erro - Ausência de dados"));
            return;
        }
        if (!printList(Modulo::SqlFiltroEntregues, Modulo::TituloFiltroEntregues)) return;
    } else if (!printList(QStringLiteral("TblApEntregues"), QStringLiteral("Relatório de Aparelhos ENTREGUES"))) {
        return;
    }
    PrintJob::showSent(JobTitle);
    accept();
}

bool FrmImpApEntr::printList(const QString& source, const QString& title) {
    WaitCursor wait;
    Printer printer;
    try {
        DataOs.setRecordSource(source);
        DataOs.refresh();
        TituloRelatorio = title;
        AparelhosEntregues::print(printer, DataOs, m_logo, DataEmpresa.text(QStringLiteral("NomeFantasia")),
                                  TituloRelatorio);
    } catch (const std::exception& e) {
        printer.killDoc();
        wait.release();
        PrintJob::showFailure(QStringLiteral("Não foi possível imprimir este Relatório"), {}, e, JobTitle);
        return false;
    }
    // The list lets the table go.
    DataOs.close();
    return true;
}

void FrmImpApEntr::BtFechar_Click() { reject(); }
