#include "frmimpdtapent.h"

#include "aparelhoconsertado.h"
#include "printjob.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

const QString JobTitle = QStringLiteral("Impressão de Ordem de Serviço");

} // namespace

FrmImpDtApEnt::FrmImpDtApEnt(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("FrmImpDtApEnt"));
    setWindowTitle(QStringLiteral("Relatório de Aparelho Consertado"));
    setModal(true);
    setFixedSize(Twips::toPixels(5445), Twips::toPixels(2400));

    Image1 = Widgets::label(this, QStringLiteral("Image1"), {}, Twips::rect(240, 240, 1080, 900));
    Label1 = Widgets::label(this, QStringLiteral("Label1"), QStringLiteral("Preparando Impressão da Ordem de Serviço N.:"),
                            Twips::rect(1500, 300, 2900, 480));
    Label1->setWordWrap(true);
    QFont bold = font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label2 = Widgets::label(this, QStringLiteral("Label2"), QStringLiteral("00000"), Twips::rect(1500, 800, 1600, 360));
    QFont big = bold;
    big.setPointSizeF(13.5);
    Label2->setFont(big);
    for (QLabel* l : {Label1, Label2}) {
        QPalette red = l->palette();
        red.setColor(QPalette::WindowText, Qt::red);
        l->setPalette(red);
    }
    PgBar = Widgets::progressBar(this, QStringLiteral("PgBar"), Twips::rect(240, 1380, 3600, 375));
    BtFechar = Widgets::button(this, QStringLiteral("BtFechar"), QStringLiteral("&Cancelar"),
                               QStringLiteral("Cancelar Impressão"), Twips::rect(4080, 1320, 1095, 495));
    connect(BtFechar, &QPushButton::clicked, this, &FrmImpDtApEnt::BtFechar_Click);
    WindowKeys::install(this);

    Timer2 = new WindowTimer(this, QStringLiteral("Timer2"), 500, true, [this] { Timer2_Timer(); });
    Form_Load();
    Timer2->setEnabled(true);
}

FrmImpDtApEnt::~FrmImpDtApEnt() { m_printer.killDoc(); }

void FrmImpDtApEnt::Form_Load() {
    WaitCursor wait;
    m_id = Modulo::IdApEntregueAtual;
    try {
        const QString db = ProgramFolder::databasePath();
        DataOsApEnt.open(db, QStringLiteral("TblApEntregues"));
        DataEmpresa.open(db, QStringLiteral("TblEmpresa"));
        m_loaded = true;
        if (findRow()) Label2->setText(QString::number(DataOsApEnt.number(QStringLiteral("Os"))));
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível abrir o Banco de Dados para imprimir este Relatório.")},
                  ErrorInfo::from(e), QStringLiteral("%2__%1"), QStringLiteral("Erro de Impressão"));
    }
    PgBar->setValue(20);
    m_logo = PrintJob::loadLogo();
    PrintJob::showPicture(Image1, m_logo);
}

bool FrmImpDtApEnt::findRow() {
    return DataOsApEnt.findFirst(QStringLiteral("IdApEntregues = %1").arg(m_id)) &&
           DataOsApEnt.number(QStringLiteral("IdApEntregues")) == m_id;
}

// Closing cancels a job under way (done()).
void FrmImpDtApEnt::BtFechar_Click() { reject(); }

void FrmImpDtApEnt::done(int result) {
    Timer2->setEnabled(false);
    m_printer.killDoc();
    QDialog::done(result);
}

void FrmImpDtApEnt::Timer2_Timer() {
    Timer2->setEnabled(false);
    if (!m_loaded) {
        reject();
        return;
    }
    WaitCursor wait;
    try {
        // The row as it is now: another copy may have changed it since the window opened.
        DataOsApEnt.refresh();
        if (!findRow()) {
            wait.release();
            MsgBox(QStringLiteral("O Aparelho Entregue N.: %1 não foi encontrado.\rEle pode ter sido excluído em outro "
                                  "computador.\rNada foi impresso.")
                       .arg(m_id),
                   MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok, JobTitle);
            reject();
            return;
        }
        PgBar->setValue(50);
        AparelhoConsertado::printPage(m_printer, DataOsApEnt, DataEmpresa.text(QStringLiteral("NomeFantasia")), m_logo,
                                      [this](int value) { PgBar->setValue(value); });
        m_printer.endDoc();
        PgBar->setValue(100);
    } catch (const std::exception& e) {
        m_printer.killDoc();
        wait.release();
        PrintJob::showFailure(QStringLiteral("Não foi possível imprimir esta Ordem de Serviço"), {}, e);
        return;
    }
    wait.release();
    PrintJob::showSent(JobTitle);
    accept();
}
