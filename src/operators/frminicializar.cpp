#include "frminicializar.h"

#include "orders/dailyupdate.h"
#include "platform/screensize.h"
#include "platform/singleinstance.h"
#include "store/clock.h"
#include "store/dberror.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "store/runningcopies.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/numbers.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {

const QString Title = QStringLiteral("Inicializar Tarvel");

// The screen area below which the start asks whether to go on.
constexpr qint64 MinimumPixels = 800 * 600;

} // namespace

FrmInicializar::FrmInicializar(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("FrmInicializar"));
    setWindowTitle(Title);
    setModal(true);
    const int width = Twips::toPixels(6000);
    setFixedSize(width, Twips::toPixels(StartHeight));

    // No border of the window's own: a raised panel outlines it.
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setGeometry(0, 0, width, Twips::toPixels(UpdateHeight));
    panel->lower();

    Label2 = Widgets::label(this, QStringLiteral("Label2"), QString(), Twips::rect(240, 150, 5520, 400));
    QFont greeting = Label2->font();
    greeting.setBold(true);
    greeting.setPointSizeF(greeting.pointSizeF() * 1.4);
    Label2->setFont(greeting);

    Lbl[1] = Widgets::label(this, QStringLiteral("Lbl(1)"), QStringLiteral("Hoje é:"), Twips::rect(240, 640, 900, 300));
    Label3 = Widgets::label(this, QStringLiteral("Label3"), QString(), Twips::rect(1140, 640, 4620, 300));
    Lbl[0] = Widgets::label(this, QStringLiteral("Lbl(0)"), QStringLiteral("são:"), Twips::rect(240, 980, 900, 300));
    Label7 = Widgets::label(this, QStringLiteral("Label7"), QString(), Twips::rect(1140, 980, 2000, 300));
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);
    Label7->setFont(bold);

    Label6 =
        Widgets::label(this, QStringLiteral("Label6"),
                       QStringLiteral("Se a Data e Hora estiverem corretos Digite a Senha do Operador e Clique em OK"),
                       Twips::rect(240, 1360, 5520, 560));
    Label6->setWordWrap(true);
    Label6->setFont(QFont(QStringLiteral("Comic Sans MS")));

    Frame1 = new QGroupBox(QStringLiteral("Operador"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(Twips::rect(240, 2040, 3000, 1140));
    buildOperatorControls(this,
                          {Frame1, Twips::rect(150, 420, 2700, 420), Twips::rect(3480, 2520, 1080, 480),
                           Twips::rect(4680, 2520, 1080, 480), QStringLiteral("Inicializar o Sistema"),
                           QStringLiteral("Fechar sem Inicializar")},
                          OperatorCheckRows::FrmInicializar);
    TxtOperador->setFont(QFont(QStringLiteral("Verdana"), 11));

    // Below the starting height: uncovered while the daily update runs.
    Lbl[2] = Widgets::label(this, QStringLiteral("Lbl(2)"), QStringLiteral("Atualizando Aparelhos em Manutenção"),
                            Twips::rect(240, 3480, 5520, 270));
    ProgressBar1 = Widgets::progressBar(this, QStringLiteral("ProgressBar1"), Twips::rect(240, 3750, 5520, 300));
    Lbl[3] = Widgets::label(this, QStringLiteral("Lbl(3)"), QStringLiteral("Atualizando Aparelhos Entregues"),
                   Twips::rect(240, 4140, 5520, 270));
    ProgressBar2 = Widgets::progressBar(this, QStringLiteral("ProgressBar2"), Twips::rect(240, 4410, 5520, 300));

    DataAcesso = new RecordCursor(this);
    DataAcesso->setObjectName(QStringLiteral("DataAcesso"));

    Timer1 = new WindowTimer(this, QStringLiteral("Timer1"), 500, true, [this] { Timer1_Timer(); });
    Timer2 = new WindowTimer(this, QStringLiteral("Timer2"), 1000, false, [this] { Timer2_Timer(); });
    Timer2->start();

    WindowKeys::install(this);
    TxtOperador->setFocus();
}

FrmInicializar::~FrmInicializar() = default;

QString FrmInicializar::saudacao(const QTime& time) {
    // Compared as text, strictly on both sides: the minutes 11:59, 17:59 and
    // 23:59 and the small hours greet nobody.
    const QString now = time.toString(QStringLiteral("HH:mm:ss"));
    if (now > QLatin1String("05:00") && now < QLatin1String("11:59")) return QStringLiteral("Bom Dia:");
    if (now > QLatin1String("12:00") && now < QLatin1String("17:59")) return QStringLiteral("Boa Tarde:");
    if (now > QLatin1String("18:00") && now < QLatin1String("23:59")) return QStringLiteral("Boa Noite:");
    return QString();
}

int FrmInicializar::exec() {
    // The load runs before the window shows: a refused start never shows it.
    if (!m_loaded) {
        m_loaded = true;
        m_refused = !Form_Load();
    }
    if (m_refused) {
        setResult(Rejected);
        return Rejected;
    }
    return QDialog::exec();
}

bool FrmInicializar::Form_Load() {
    try {
        const QString path = ProgramFolder::databasePath();
        const QString connect = QString::fromUtf8(ConnectWithPassword);
        DataOperador->open(path, QStringLiteral("TblOperador"), connect);
        DataAcesso->open(path, QStringLiteral("TblConfig"), connect);
    } catch (const DbError& e) {
        ShowError({QStringLiteral("Não foi possível abrir o Banco de Dados 'Bd DedUvevaro.mdb'!"),
                   QStringLiteral("Repare e compacte o Banco de Dados; se o Problema persistir, "
                                  "Contacte o Suporte Técnico.")},
                  ErrorInfo::from(e), QStringLiteral("%1_%2_%3"), Title);
        return false;
    }

    Label2->setText(saudacao(Clock::time()));
    Label3->setText(Numbers::longDate(Clock::today()));
    Timer2_Timer();

    if (!SingleInstance::acquire()) {
        MsgBox(QStringLiteral("O Programa já está aberto"), MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, Title);
        lowerCounter();
        return false;
    }

    const QSize screen = ScreenSize::physicalPixels();
    if (!screen.isEmpty() && qint64(screen.width()) * screen.height() < MinimumPixels) {
        const MsgAnswer go = MsgBox(QStringLiteral("Este Programa foi Projetado para trabalhar com Resolução de 800 X 600 ou maior\r"
                                                   "Deseja Executar este Programa assim Mesmo?"),
                                    MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No);
        if (go != MsgAnswer::Yes) {
            lowerCounter();
            return false;
        }
    }
    return true;
}

void FrmInicializar::Timer2_Timer() { Label7->setText(Numbers::timeText(Clock::time())); }

void FrmInicializar::lowerCounter() {
    if (m_counterLowered) return;
    m_counterLowered = true;
    try {
        RunningCopies::lower(DataAcesso->database());
    } catch (const DbError& e) {
        ShowError({QStringLiteral("Não foi possível atualizar o número de Usuários do Sistema.")},
                  ErrorInfo::from(e), QStringLiteral("%1_%2_%3"), Title);
    }
}

void FrmInicializar::BtOk_Click() {
    if (!m_check->acessoLiberado() || m_loggingIn) return;
    m_loggingIn = true;
    BtOk->setEnabled(false);
    BtFechar->setEnabled(false);
    Modulo::NomeOperadorAtual = TxtOperador->text();

    bool due = true;   // a date that cannot be read: update
    try {
        DataAcesso->refresh();
        due = DataAcesso->date(QStringLiteral("DtAtual")) != Clock::today();
    } catch (const DbError&) {
    }
    if (!due) {
        accept();
        return;
    }
    setFixedSize(width(), Twips::toPixels(UpdateHeight));
    Timer1->setEnabled(true);
    m_wait = std::make_unique<WaitCursor>();
}

void FrmInicializar::Timer1_Timer() {
    const auto show = [this](DailyUpdate::Pass pass, int done, int total) {
        QProgressBar* bar = pass == DailyUpdate::Pass::Manutencao ? ProgressBar1 : ProgressBar2;
        if (done == 0 && total > 0) bar->setMaximum(total);
        bar->setValue(std::min(done, bar->maximum()));
        bar->repaint();
    };
    const DailyUpdate::Result result = DailyUpdate::run(DataAcesso->database(), Clock::today(), show);
    m_wait.reset();
    if (result.failure) {
        // The day is not stamped: the next log-in runs the update again.
        ShowError({QStringLiteral("Não foi possível gravar a Atualização Diária dos Aparelhos."),
                   QStringLiteral("Ela será feita novamente no próximo início do Sistema.")},
                  ErrorInfo::from(*result.failure), QStringLiteral("%1_%2_%3"), Title);
    }
    accept();
}

void FrmInicializar::BtFechar_Click() { reject(); }

void FrmInicializar::reject() {
    // While the log-in finishes (the daily update) the window closes itself.
    if (m_loggingIn) return;
    lowerCounter();
    QDialog::reject();
}
