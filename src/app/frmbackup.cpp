#include "frmbackup.h"

#include "app/appicons.h"
#include "app/backup.h"
#include "app/frminfo.h"
#include "store/database.h"
#include "store/dberror.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

const QString Title = QStringLiteral("BackUp");

FrmBackup::FileChooser& chooser() {
    static FrmBackup::FileChooser c;
    return c;
}

// The save-file dialog: a name that does not exist yet is accepted and an
// existing file is replaced without a question.
std::optional<QString> chooseFile(QWidget* parent, const QString& title, const QString& startName,
                                  const QString& filter) {
    QFileDialog dlg(parent, title);
    dlg.setObjectName(QStringLiteral("CommonDialog1"));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setNameFilter(filter);
    const QFileInfo start(startName);
    if (start.isAbsolute()) {
        dlg.setDirectory(start.absolutePath());
    } else {
        const QString folder = Backup::folder();
        dlg.setDirectory(QFileInfo(folder).isDir() ? folder : QDir::homePath());
    }
    dlg.selectFile(start.fileName());
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dlg.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first();
}

void line(QWidget* parent, int y) {
    auto* l = new QFrame(parent);
    l->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    l->setGeometry(12, y, parent->width() - 24, 4);
}

} // namespace

FrmBackup::FileChooser FrmBackup::setFileChooser(FileChooser c) {
    FileChooser previous = std::move(chooser());
    chooser() = std::move(c);
    return previous;
}

FrmBackup::FrmBackup(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_dialogName(presetName()) {
    setObjectName(QStringLiteral("FrmBackup"));
    setWindowTitle(QStringLiteral(" BackUp"));
    setModal(true);
    setFixedSize(470, 300);

    DataConfig = new RecordCursor(this);
    DataConfig->setObjectName(QStringLiteral("DataConfig"));

    Image1 = Widgets::label(this, QStringLiteral("Image1"), {}, QRect(16, 14, 48, 48));
    Image1->setPixmap(AppIcons::backupDisk(48));
    LblObs = Widgets::label(this, QStringLiteral("LblObs"),
                            QStringLiteral("Obs: Antes de Iniciar o BackUp, verifique se nenhum outro Programa está "
                                           "usando o Banco de Dados do Tarvel !!!"),
                            QRect(76, 12, 380, 52));
    LblObs->setWordWrap(true);
    line(this, 70);

    Frame1 = new QGroupBox(QStringLiteral("Local"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(16, 80, 438, 92);
    LblLocal = Widgets::label(Frame1, QStringLiteral("LblLocal"), {}, QRect(10, 24, 418, 24));
    LblLocal->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LblLocal->setTextInteractionFlags(Qt::NoTextInteraction);
    BtLocal = Widgets::button(Frame1, QStringLiteral("BtLocal"), QStringLiteral("&Alterar Localização"),
                              QStringLiteral("Alterar Localização do BackUp"), QRect(258, 54, 170, 30));

    ProgressBar1 = Widgets::progressBar(this, QStringLiteral("ProgressBar1"), QRect(16, 184, 438, 18));
    Label1 = Widgets::label(this, QStringLiteral("Label1"), QStringLiteral("0%"), QRect(16, 204, 60, 18));
    Label2 = Widgets::label(this, QStringLiteral("Label2"), QStringLiteral("50%"), QRect(205, 204, 60, 18));
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label3 = Widgets::label(this, QStringLiteral("Label3"), QStringLiteral("100%"), QRect(394, 204, 60, 18));
    Label3->setAlignment(Qt::AlignRight | Qt::AlignTop);
    for (QLabel* l : {Label1, Label2, Label3}) l->hide();
    line(this, 228);

    Image2 = Widgets::label(this, QStringLiteral("Image2"), {}, QRect(16, 240, 44, 44));
    Image2->setPixmap(AppIcons::lockedDatabase(44));
    Image2->setToolTip(QStringLiteral("O Banco de Dados está aberto"));
    Image2->hide();
    BtIniciar = Widgets::button(this, QStringLiteral("BtIniciar"), QStringLiteral("&Iniciar"),
                                QStringLiteral("Iniciar BackUp"), QRect(124, 248, 104, 32));
    BtInfo = Widgets::button(this, QStringLiteral("BtInfo"), QStringLiteral("&Informação"),
                             QStringLiteral("Informações"), QRect(236, 248, 104, 32));
    BtFechar = Widgets::button(this, QStringLiteral("BtFechar"), QStringLiteral("&Cancelar"), QStringLiteral("Fechar"),
                               QRect(348, 248, 104, 32));

    connect(BtLocal, &QPushButton::clicked, this, &FrmBackup::BtLocal_Click);
    connect(BtIniciar, &QPushButton::clicked, this, &FrmBackup::BtIniciar_Click);
    connect(BtInfo, &QPushButton::clicked, this, &FrmBackup::BtInfo_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmBackup::BtFechar_Click);
    WindowKeys::install(this);

    TimerBanco = new WindowTimer(this, QStringLiteral("TimerBanco"), 500, true, [this] { TimerBanco_Timer(); });
    Timer1 = new WindowTimer(this, QStringLiteral("Timer1"), 3500, true, [this] { Timer1_Timer(); });
    TimerBanco->setEnabled(true);
}

bool FrmBackup::openConfig() {
    try {
        DataConfig->open(ProgramFolder::databasePath(), QStringLiteral("TblConfig"),
                         QString::fromUtf8(ConnectWithPassword));
        LblLocal->setText(DataConfig->text(QStringLiteral("LocalBackup")));
        LblLocal->setToolTip(LblLocal->text());
        return true;
    } catch (const DbError& e) {
        BtIniciar->setEnabled(false);
        BtLocal->setEnabled(false);
        ShowError({QStringLiteral("Não foi possível abrir o Banco de Dados 'Bd DedUvevaro.mdb'!")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), Title);
        return false;
    }
}

void FrmBackup::TimerBanco_Timer() {
    TimerBanco->setEnabled(false);
    if (Database::isHeldOpen(ProgramFolder::databasePath())) {
        Image2->show();
        BtIniciar->setEnabled(false);
        BtLocal->setEnabled(false);
        MsgBox(QStringLiteral("O Banco de Dados está \" ABERTO \" e não poderá ser feito BackUp.\rFeche todos os "
                              "Programas que usam o Banco de Dados e tente novamente."),
               MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, Title);
        return;
    }
    openConfig();
}

bool FrmBackup::refuseLiveDatabase(const QString& target) {
    if (!Backup::sameFile(target, ProgramFolder::databasePath())) return false;
    MsgBox(QStringLiteral("O BackUp não pode ser gravado sobre o próprio Banco de Dados do Tarvel!\rClique em \" "
                          "Alterar Localização \" e escolha outro arquivo."),
           MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok, Title);
    return true;
}

void FrmBackup::BtLocal_Click() {
    FileChooser& c = chooser();
    const QString filter = QStringLiteral("*.mdb");
    const std::optional<QString> chosen = c ? c(this, QStringLiteral("Localizar Pasta"), m_dialogName, filter)
                                            : chooseFile(this, QStringLiteral("Localizar Pasta"), m_dialogName, filter);
    // A cancelled dialog leaves the name as it was.
    const QString previous = m_dialogName;
    if (chosen) m_dialogName = *chosen;
    if (m_dialogName.isEmpty() || m_dialogName == presetName()) return;
    if (refuseLiveDatabase(m_dialogName)) {
        m_dialogName = previous;
        return;
    }
    LblLocal->setText(m_dialogName);
    LblLocal->setToolTip(m_dialogName);
    try {
        DataConfig->edit();
        DataConfig->setField(QStringLiteral("LocalBackup"), m_dialogName);
        DataConfig->update();
    } catch (const DbError& e) {
        ShowError({QStringLiteral("Não foi possível gravar o Local do BackUp.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), Title);
    }
}

void FrmBackup::BtIniciar_Click() {
    if (LblLocal->text().isEmpty()) {
        MsgBox(QStringLiteral("Clique em \" Alterar Localização \" e selecione o Local do BackUp"), MsgButtons::Ok,
               MsgIcon::Information, MsgAnswer::Ok, Title);
        return;
    }
    if (refuseLiveDatabase(LblLocal->text())) return;
    DataConfig->close();
    BtIniciar->setEnabled(false);
    BtLocal->setEnabled(false);
    Timer1->setEnabled(true);
    for (QLabel* l : {Label1, Label2, Label3}) l->show();
    ProgressBar1->setValue(15);
    setCursor(Qt::WaitCursor);
}

void FrmBackup::Timer1_Timer() {
    Timer1->setEnabled(false);
    try {
        // The automatic backup's folder is made here too; the chosen target
        // does not depend on it.
        Backup::ensureFolder();
        ProgressBar1->setValue(60);
        Backup::copyDatabaseTo(LblLocal->text());
        ProgressBar1->setValue(100);
        unsetCursor();
        MsgBox(QStringLiteral("BackUp Executado com Sucesso !"), MsgButtons::Ok, MsgIcon::Information, MsgAnswer::Ok,
               Title);
        accept();
    } catch (const DbError& e) {
        unsetCursor();
        const auto otherError = [&] {
            ShowError({QStringLiteral("OCORREU UM ERRO AO TENTAR FAZER O BACK-UP")}, ErrorInfo::from(e),
                      QStringLiteral("%2__ERRO: %1"), Title, MsgIcon::Exclamation);
        };
        switch (e.number()) {
        case Backup::Error::InUse:
            MsgBox(QStringLiteral("Verifique se o Banco de Dados do Tarvel\rNão Está sendo usado por outro Programa!"),
                   MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, Title);
            otherError();
            reject();
            return;
        case Backup::Error::PathAccess:
            MsgBox(QStringLiteral("O Caminho na Rede para se fazer o BackUp está Errado !,\rOu talvez a Rede neste "
                                  "momento esteja Inoperante.\rClique em \" Alterar Localização \",Ache o Caminho "
                                  "correto e tente novamente.\rSe o Problema persistir Contacte o Suporte Técnico"),
                   MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, Title);
            // Ready for a new attempt.
            if (openConfig()) {
                BtLocal->setEnabled(true);
                BtIniciar->setEnabled(true);
            }
            return;
        default:
            otherError();
            reject();
            return;
        }
    }
}

void FrmBackup::BtInfo_Click() { WindowHost::showModal(new FrmInfo(this)); }

void FrmBackup::BtFechar_Click() { reject(); }

void FrmBackup::done(int result) {
    // Closing during the wait before the copy cancels the backup.
    TimerBanco->setEnabled(false);
    Timer1->setEnabled(false);
    unsetCursor();
    QDialog::done(result);
}
