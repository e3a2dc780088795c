#include "frmimpressao.h"

#include "canhotocliente.h"
#include "manutencoesanteriores.h"
#include "ordemservico.h"
#include "printjob.h"
#include "store/dberror.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QCheckBox>
#include <optional>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

namespace {

const QString JobTitle = QStringLiteral("Impressão de Ordem de Serviço");

// The window's decorative picture: a printer with a sheet coming out.
QPixmap printerPicture(const QSize& size) {
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width(), h = size.height();
    p.setPen(QPen(QColor(40, 40, 60), 2));
    // The sheet going in.
    p.setBrush(Qt::white);
    p.drawRect(QRectF(w * 0.25, h * 0.12, w * 0.5, h * 0.3));
    // The body.
    p.setBrush(QColor(170, 175, 190));
    p.drawRoundedRect(QRectF(w * 0.08, h * 0.38, w * 0.84, h * 0.26), 6, 6);
    p.setBrush(QColor(90, 200, 90));
    p.drawEllipse(QPointF(w * 0.8, h * 0.46), w * 0.04, w * 0.04);
    // The printed sheet.
    p.setBrush(Qt::white);
    p.drawRect(QRectF(w * 0.22, h * 0.58, w * 0.56, h * 0.34));
    p.setPen(QPen(QColor(0, 0, 128), 1.5));
    for (int i = 0; i < 4; ++i) {
        const qreal y = h * (0.65 + 0.06 * i);
        p.drawLine(QPointF(w * 0.28, y), QPointF(w * (i == 3 ? 0.55 : 0.72), y));
    }
    return pm;
}

QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& text, const QRect& geometry, bool ticked) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setGeometry(geometry);
    c->setChecked(ticked);
    return c;
}

} // namespace

FrmImpressao::FrmImpressao(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("FrmImpressao"));
    setWindowTitle(QStringLiteral("Impressão da Ordem de Serviço"));
    setModal(true);
    setFixedSize(Twips::toPixels(5445), Twips::toPixels(3915));

    Frame1 = new QGroupBox(QStringLiteral("Opções de Impressão"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(Twips::rect(240, 240, 3255, 1575));
    // The frame's caption takes some height; the boxes keep their places below it.
    Check1 = checkBox(Frame1, QStringLiteral("Check1"), QStringLiteral("Canhoto do Cliente"),
                      Twips::rect(240, 360, 2900, 300), true);
    Check2 = checkBox(Frame1, QStringLiteral("Check2"), QStringLiteral("Números de OS"), Twips::rect(240, 720, 2900, 300),
                      true);
    Check3 = checkBox(Frame1, QStringLiteral("Check3"), QStringLiteral("Manutenções Anteriores"),
                      Twips::rect(240, 1080, 2900, 300), false);
    Check4 = checkBox(this, QStringLiteral("Check4"), QStringLiteral("Apenas Canhoto do Cliente"),
                      Twips::rect(360, 1950, 2895, 300), false);
    QPalette blue = Check4->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 128));
    Check4->setPalette(blue);

    BtIniciar = Widgets::button(this, QStringLiteral("BtIniciar"), QStringLiteral("&Imprimir"),
                                QStringLiteral("Iniciar Impressão"), Twips::rect(3960, 2400, 1095, 495));
    BtFechar = Widgets::button(this, QStringLiteral("BtFechar"), QStringLiteral("&Cancelar"), QStringLiteral("Fechar"),
                               Twips::rect(3960, 3120, 1095, 495));

    PgBar = Widgets::progressBar(this, QStringLiteral("PgBar"), Twips::rect(240, 2400, 3255, 375));
    PgBar->hide();
    QFont bold = font();
    bold.setBold(true);
    Label1 = Widgets::label(this, QStringLiteral("Label1"), QStringLiteral("Preparando Impressão da Ordem de Serviço N.:"),
                            Twips::rect(240, 2880, 2835, 480));
    Label1->setWordWrap(true);
    Label1->setFont(bold);
    Label2 = Widgets::label(this, QStringLiteral("Label2"), {}, Twips::rect(1065, 3480, 1400, 360));
    QFont big = bold;
    big.setPointSizeF(13.5);
    Label2->setFont(big);
    for (QLabel* l : {Label1, Label2}) {
        QPalette red = l->palette();
        red.setColor(QPalette::WindowText, Qt::red);
        l->setPalette(red);
        l->hide();
    }
    Image2 = Widgets::label(this, QStringLiteral("Image2"), {}, Twips::rect(3960, 120, 1080, 2160));
    Image2->setPixmap(printerPicture(QSize(Image2->width(), Image2->width())));
    Image2->setAlignment(Qt::AlignCenter);
    Image1 = Widgets::label(this, QStringLiteral("Image1"), {}, Twips::rect(120, 3240, 780, 540));
    Image1->hide();

    Timer1 = new WindowTimer(this, QStringLiteral("Timer1"), 500, true, [this] { Timer1_Timer(); });

    DataOs = new RecordCursor(this);
    DataOs->setObjectName(QStringLiteral("DataOs"));
    DataEmpresa = new RecordCursor(this);
    DataEmpresa->setObjectName(QStringLiteral("DataEmpresa"));
    DataSqlApManutencao = new RecordCursor(this);
    DataSqlApManutencao->setObjectName(QStringLiteral("DataSqlApManutencao"));
    DataMntAnt = new RecordCursor(this);
    DataMntAnt->setObjectName(QStringLiteral("DataMntAnt"));

    connect(Check4, &QCheckBox::clicked, this, &FrmImpressao::Check4_Click);
    connect(BtIniciar, &QPushButton::clicked, this, &FrmImpressao::BtIniciar_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmImpressao::BtFechar_Click);
    WindowKeys::install(this, true);
    BtIniciar->setDefault(true);

    Form_Load();
}

FrmImpressao::~FrmImpressao() { m_printer.killDoc(); }

void FrmImpressao::Form_Load() {
    m_os = Modulo::OsAtual;
    const QString db = ProgramFolder::databasePath();
    for (RecordCursor* c : {DataOs, DataEmpresa, DataSqlApManutencao, DataMntAnt}) {
        c->setDatabaseName(db);
        c->setConnect(QString::fromUtf8(ConnectPlain));
    }
    try {
        // The window works on one order: its cursor holds that row alone.
        DataOs->setRecordSource(QStringLiteral("SELECT * FROM TblManutencao WHERE Os = %1").arg(m_os));
        DataOs->refresh();
        DataEmpresa->setRecordSource(QStringLiteral("TblEmpresa"));
        DataEmpresa->refresh();
        m_loaded = true;
        findOrder();
    } catch (const DbError& e) {
        BtIniciar->setEnabled(false);
        ShowError({QStringLiteral("Não foi possível abrir o Banco de Dados para imprimir esta Ordem de Serviço.")},
                  ErrorInfo::from(e), QStringLiteral("%2__%1"), QStringLiteral("Erro de Impressão"));
    }
    const QString number = QString::number(m_os);
    setWindowTitle(QStringLiteral("Impressão da Ordem de Serviço: ") + number);
    Label2->setText(number);
    m_logo = PrintJob::loadLogo();
    PrintJob::showPicture(Image1, m_logo);
}

bool FrmImpressao::findOrder() {
    return DataOs->findFirst(QStringLiteral("Os = %1").arg(m_os)) && DataOs->number(QStringLiteral("Os")) == m_os;
}

void FrmImpressao::Check4_Click() {
    const bool alone = Check4->isChecked();
    for (QCheckBox* c : {Check1, Check2, Check3}) c->setEnabled(!alone);
}

void FrmImpressao::BtIniciar_Click() {
    Label2->show();
    Label1->show();
    PgBar->show();
    Timer1->setEnabled(true);
}

// Closing cancels a job under way (done()).
void FrmImpressao::BtFechar_Click() { reject(); }

void FrmImpressao::done(int result) {
    Timer1->setEnabled(false);
    m_printer.killDoc();
    QDialog::done(result);
}

void FrmImpressao::lockWindow() {
    Frame1->setEnabled(false);
    BtIniciar->setEnabled(false);
    BtFechar->setEnabled(false);
    Check4->setEnabled(false);
}

void FrmImpressao::missingOrder() {
    MsgBox(QStringLiteral("A Ordem de Serviço N.: %1 não foi encontrada.\rEla pode ter sido baixada ou excluída em outro "
                          "computador.\rNada foi impresso.")
               .arg(m_os),
           MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok, JobTitle);
}

void FrmImpressao::Timer1_Timer() {
    Timer1->setEnabled(false);
    lockWindow();
    if (!m_loaded) {
        reject();
        return;
    }
    WaitCursor wait;
    std::optional<ErrorInfo> notCounted;   // printed, but the count was not raised
    try {
        // The order as it is now: another copy may have checked it out or
        // deleted it since the window opened.
        DataOs->refresh();
        if (!findOrder()) {
            wait.release();
            missingOrder();
            reject();
            return;
        }
        const OrdemServico::Sources sources{*DataOs, *DataEmpresa, *DataMntAnt, *DataSqlApManutencao, m_logo};

        Modulo::SqlFiltroEntregues = OrdemServico::previousRepairsQuery(*DataOs);
        DataMntAnt->setRecordSource(Modulo::SqlFiltroEntregues);
        DataMntAnt->refresh();
        DataSqlApManutencao->setRecordSource(OrdemServico::openOrdersQuery(*DataOs));
        DataSqlApManutencao->refresh();
        DataSqlApManutencao->moveLast();
        PgBar->setValue(20);

        PrintJob::pageSetUp(m_printer, PrintOrientation::Portrait, PrintUnit::Millimetres, QStringLiteral("Arial Narrow"), 2);
        m_printer.setDocumentName(QStringLiteral("Ordem de Serviço %1").arg(m_os, 5, 10, QLatin1Char('0')));

        if (Check4->isChecked()) {
            m_printer.setY(20);
            Canhoto_Cliente();
            PgBar->setValue(100);
            m_printer.endDoc();
        } else {
            OrdemServico::printPage(m_printer, sources, Check1->isChecked(), Check2->isChecked(),
                                    [this](int value) { PgBar->setValue(value); });
            if (Check1->isChecked()) Canhoto_Cliente();
            m_printer.endDoc();
            // One raise in the database itself: copies printing the same
            // order at the same time each count. The page has gone out by
            // now, so a raise that fails is no printer failure.
            try {
                DataOs->database().execute(
                    QStringLiteral("UPDATE TblManutencao SET Via = IFNULL(Via, 0) + 1 WHERE Os = ?"), {qlonglong(m_os)});
                DataOs->requery();
            } catch (const std::exception& e) {
                notCounted = ErrorInfo::from(e);
            }
            PgBar->setValue(100);
            if (Check3->isChecked()) ImpManuAnteriores();
        }
    } catch (const std::exception& e) {
        m_printer.killDoc();
        wait.release();
        PrintJob::showFailure(QStringLiteral("Não foi possível imprimir esta Ordem de Serviço"), {}, e);
        reject();
        return;
    }
    wait.release();
    if (notCounted) {
        ShowError({QStringLiteral("A Ordem de Serviço N.: %1 foi impressa, mas o número de vias não pôde ser atualizado.")
                       .arg(m_os),
                   QStringLiteral("Não é preciso imprimi-la de novo.")},
                  *notCounted, QStringLiteral("%2__%1"), JobTitle);
    } else {
        PrintJob::showSent(JobTitle);
    }
    accept();
}

void FrmImpressao::Canhoto_Cliente() { CanhotoCliente::print(m_printer, *DataOs, *DataEmpresa, m_logo); }

void FrmImpressao::ImpManuAnteriores() {
    try {
        ManutencoesAnteriores::print(m_printer, *DataMntAnt, Modulo::SqlFiltroEntregues, *DataOs, *DataEmpresa, m_logo,
                                     TituloRelatorio);
    } catch (const std::exception& e) {
        m_printer.killDoc();
        PrintJob::showFailure(QStringLiteral("Não foi possível imprimir o Relatório de Manutenção Anteriores."),
                              {QStringLiteral("Se o problema persistir Contacte o Suporte Técnico!")}, e);
        reject();
    }
}
