#include "frmmdi.h"

#include "app/appicons.h"
#include "app/backup.h"
#include "app/desktoplinks.h"
#include "app/frmbackup.h"
#include "app/shadowtitle.h"
#include "app/windowregistry.h"
#include "operators/frminicializar.h"
#include "platform/shell.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/dberror.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "store/runningcopies.h"
#include "ui/boundfields.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/numbers.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <sqlcipher/sqlite3.h>

#include <cerrno>
#include <unistd.h>

// The client area: the picture of the day, or the built-in background,
// drawn to cover the whole area.
class MdiBackground : public QMdiArea {
public:
    using QMdiArea::QMdiArea;

    void setPicture(const QPixmap& picture) {
        m_picture = picture;
        m_scaled = QPixmap();
        viewport()->update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const QSize size = viewport()->size();
        if (m_scaled.size() != size) {
            if (m_picture.isNull()) {
                m_scaled = AppIcons::builtInBackground(size);
            } else {
                const QPixmap cover = m_picture.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
                m_scaled = cover.copy((cover.width() - size.width()) / 2, (cover.height() - size.height()) / 2,
                                      size.width(), size.height());
            }
        }
        QPainter p(viewport());
        p.drawPixmap(0, 0, m_scaled);
    }

private:
    QPixmap m_picture;
    QPixmap m_scaled;
};

namespace {

const QString StartTitle = QStringLiteral("Inicializar Tarvel");

FrmMdi::LoginRunner& loginRunner() {
    static FrmMdi::LoginRunner runner;
    return runner;
}

// The toolbar's buttons: key (the button's name), caption and the menu entry
// it stands for. A button runs its entry and is enabled with it.
struct ToolbarButton {
    const char* key;
    const char* text;
    const char* entry;
};
constexpr ToolbarButton ToolbarButtons[] = {
    {"Clientes", "Cadastro de Clientes", "MnuClientes"},
    {"Retirada", "Comprovante Retirada", "MnuCompRet"},
    {"Manutencao", "Aparelhos em Manutenção", "Mnumanut"},
    {"Entregues", "Aparelhos Entregues", "MnuApEntregues"},
    {"Protecao", "Descanso de Tela", "MnuPro"},
    {"Sair", "Sair do Sistema", "MnuSair"},
};

QLineEdit* field(const QString& name, QWidget* parent) {
    QLineEdit* f = Widgets::lineEdit(parent, name);
    f->setReadOnly(true);
    f->setFocusPolicy(Qt::NoFocus);
    return f;
}

} // namespace

FrmMdi::LoginRunner FrmMdi::setLoginRunner(LoginRunner runner) {
    LoginRunner previous = std::move(loginRunner());
    loginRunner() = std::move(runner);
    return previous;
}

QString FrmMdi::webAddress() { return QStringLiteral("www.tarvel.example"); }

QString FrmMdi::manualFileName() { return QStringLiteral("Tarvel - Manual do Usuário.doc"); }

FrmMdi::FrmMdi(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FrmMdi"));
    setWindowTitle(QStringLiteral("TARVEL"));
    setWindowIcon(AppIcons::toolbar(QStringLiteral("Manutencao")));
    resize(1024, 720);

    DataAcesso = new RecordCursor(this);
    DataAcesso->setObjectName(QStringLiteral("DataAcesso"));
    DataEmpresa = new RecordCursor(this);
    DataEmpresa->setObjectName(QStringLiteral("DataEmpresa"));

    buildWidgets();
    buildMenus();
    buildToolbar();
    updateEntries();

    Timer1 = new WindowTimer(this, QStringLiteral("Timer1"), 100, true, [this] { Timer1_Timer(); });
    Timer2 = new WindowTimer(this, QStringLiteral("Timer2"), 1000, true, [this] { Timer2_Timer(); });
    Timer3 = new WindowTimer(this, QStringLiteral("Timer3"), 2000, false, [this] { Timer3_Timer(); });

    WindowHost::setMdiArea(m_mdi);
    if (Form_Load()) {
        Timer1->setEnabled(true);
        Timer3->setEnabled(true);
    }
}

FrmMdi::~FrmMdi() {
    if (WindowHost::mdiArea() == m_mdi) WindowHost::setMdiArea(nullptr);
}

// ---------------------------------------------------------------- widgets

void FrmMdi::buildWidgets() {
    auto* central = new QWidget(this);
    // The date, or the backup notice, at the right of the toolbar.
    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("FaixaData"));
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(6, 0, 10, 0);
    stripLayout->addStretch(1);
    Picture1 = Widgets::label(strip, QStringLiteral("Picture1"), {});
    Picture1->setPixmap(AppIcons::backupDisk(28));
    Picture1->hide();
    Text1 = field(QStringLiteral("Text1"), strip);
    Text1->setText(QStringLiteral("Fazendo BackUp... Aguarde!"));
    QFont notice = Text1->font();
    notice.setBold(true);
    Text1->setFont(notice);
    Text1->setStyleSheet(QStringLiteral("color: #a00000;"));
    Text1->setMinimumWidth(Text1->fontMetrics().horizontalAdvance(Text1->text()) + 24);
    Text1->hide();
    Text2 = field(QStringLiteral("Text2"), strip);
    Text2->setAlignment(Qt::AlignCenter);
    stripLayout->addWidget(Picture1);
    stripLayout->addWidget(Text1);
    stripLayout->addWidget(Text2);
    m_dateStrip = strip;

    auto* body = new QHBoxLayout(central);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);

    // The logo panel.
    Picture3 = new QFrame(central);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Picture3->setAutoFillBackground(true);
    QPalette pal = Picture3->palette();
    pal.setColor(QPalette::Window, Qt::white);
    Picture3->setPalette(pal);
    Picture3->setFixedWidth(250);
    auto* logoLayout = new QVBoxLayout(Picture3);
    logoLayout->setContentsMargins(10, 14, 10, 10);
    logoLayout->setSpacing(12);
    ImageLogo = Widgets::label(Picture3, QStringLiteral("ImageLogo"), {});
    ImageLogo->setToolTip(QStringLiteral("Fechar Logotipo"));
    ImageLogo->setAlignment(Qt::AlignCenter);
    ImageLogo->setCursor(Qt::PointingHandCursor);
    ImageLogo->setPixmap(AppIcons::toolbar(QStringLiteral("Manutencao")).pixmap(96, 96));
    ImageLogo->installEventFilter(this);
    logoLayout->addWidget(ImageLogo);

    // The trade name, bound to TblEmpresa.NomeFantasia.
    QFont trade(QStringLiteral("Lucida Sans"), 15, QFont::Bold);
    for (int i = 0; i < 2; ++i) {
        LblLogo[i] = new QLabel(QStringLiteral("Nome Fantasia da Empresa"));
        LblLogo[i]->setObjectName(QStringLiteral("LblLogo(%1)").arg(i));
        LblLogo[i]->setFont(trade);
    }
    logoLayout->addWidget(new ShadowTitle(LblLogo[0], LblLogo[1], Picture3));
    logoLayout->addStretch(1);

    TxtSite = field(QStringLiteral("TxtSite"), Picture3);
    TxtSite->setText(webAddress());
    TxtSite->setAlignment(Qt::AlignCenter);
    TxtSite->setFrame(false);
    TxtSite->setCursor(Qt::PointingHandCursor);
    TxtSite->setToolTip(QStringLiteral("Abrir a página do Tarvel"));
    QFont link = TxtSite->font();
    link.setUnderline(true);
    TxtSite->setFont(link);
    QPalette linkPal = TxtSite->palette();
    linkPal.setColor(QPalette::Text, QColor(0, 0, 255));
    linkPal.setColor(QPalette::Base, Qt::white);
    TxtSite->setPalette(linkPal);
    TxtSite->installEventFilter(this);
    logoLayout->addWidget(TxtSite);
    body->addWidget(Picture3);

    m_mdi = new MdiBackground(central);
    m_mdi->setObjectName(QStringLiteral("MdiArea"));
    // A list wider or taller than the area (a small screen) can be scrolled
    // into view rather than left partly out of reach.
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    body->addWidget(m_mdi, 1);
    setCentralWidget(central);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    Panel1 = Widgets::label(nullptr, QStringLiteral("Panel1"),
                            QStringLiteral("Tarvel - Sistema de Emissão e Controle de Ordems de Serviços"));
    Panel2 = Widgets::label(nullptr, QStringLiteral("Panel2"), QStringLiteral("0 Usuário(s)"));
    Panel2->setMinimumWidth(Panel2->fontMetrics().horizontalAdvance(QStringLiteral("0000 Usuário(s)")) + 16);
    for (QLabel* panel : {Panel1, Panel2}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
    }
    status->addWidget(Panel1, 1);
    status->addPermanentWidget(Panel2);
    setStatusBar(status);

    m_empresaFields = new BoundFields(DataEmpresa, this);
    for (QLabel* l : LblLogo) m_empresaFields->bind(l, QStringLiteral("NomeFantasia"));
}

QAction* FrmMdi::entry(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key,
                       void (FrmMdi::*handler)(), const QString& window) {
    auto* a = menu->addAction(caption);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    m_entries.insert(name, a);
    if (!window.isEmpty()) m_entryWindow.insert(name, window);
    return a;
}

void FrmMdi::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));
    auto menu = [&](const QString& name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name + QStringLiteral("_Menu"));
        return m;
    };

    QMenu* arq = menu(QStringLiteral("MnuArq"), QStringLiteral("&Arquivo"));
    // An entry that opens a window stays disabled until the window is
    // registered (updateEntries).
    entry(arq, QStringLiteral("MnuClientes"), QStringLiteral("Clientes"), Qt::Key_F2, &FrmMdi::MnuClientes_Click,
          QStringLiteral("FrmClientes"));
    entry(arq, QStringLiteral("MnuNvCliente"), QStringLiteral("Novo Cliente"), {}, &FrmMdi::MnuNvCliente_Click,
          QStringLiteral("FrmNvCliente"));
    arq->addSeparator();
    entry(arq, QStringLiteral("MnuCompRet"), QStringLiteral("Comprovante de Retirada"), Qt::Key_F8,
          &FrmMdi::MnuCompRet_Click, QStringLiteral("FrmRetirada"));
    arq->addSeparator();
    entry(arq, QStringLiteral("MnuConfig"), QStringLiteral("Configuração Tarvel"), {}, &FrmMdi::MnuConfig_Click,
          QStringLiteral("FrmAcesso"));
    arq->addSeparator();
    entry(arq, QStringLiteral("MnuSair"), QStringLiteral("&Sair"), Qt::Key_F12, &FrmMdi::MnuSair_Click);

    QMenu* apar = menu(QStringLiteral("Mnumanu"), QStringLiteral("A&parelhos"));
    entry(apar, QStringLiteral("Mnumanut"), QStringLiteral("Em Manutenção"), Qt::Key_F3, &FrmMdi::Mnumanut_Click,
          QStringLiteral("FrmManutencao"));
    entry(apar, QStringLiteral("MnuApEntregues"), QStringLiteral("Entregues"), Qt::Key_F4,
          &FrmMdi::MnuApEntregues_Click, QStringLiteral("FrmApEntregues"));

    QMenu* util = menu(QStringLiteral("MnuUtil"), QStringLiteral("&Utilitários"));
    util->addSeparator();
    entry(util, QStringLiteral("MnuAltSenha"), QStringLiteral("Alterar Senha"), {}, &FrmMdi::MnuAltSenha_Click,
          QStringLiteral("FrmAltSenha"));
    util->addSeparator();
    entry(util, QStringLiteral("MnuCalendario"), QStringLiteral("Calendário"), {}, &FrmMdi::MnuCalendario_Click,
          QStringLiteral("frmCalend"));
    entry(util, QStringLiteral("MnuCal"), QStringLiteral("Calculadora"), Qt::Key_F6, &FrmMdi::MnuCal_Click,
          QStringLiteral("FrmCalculadora"));
    entry(util, QStringLiteral("MnuPro"), QStringLiteral("Proteção de Tela"), Qt::Key_F7, &FrmMdi::MnuPro_Click);
    entry(util, QStringLiteral("MnuExibirLogo"), QStringLiteral("Exibir Logo"), {}, &FrmMdi::MnuExibirLogo_Click);
    util->addSeparator();
    entry(util, QStringLiteral("MnuBacup"), QStringLiteral("BackUp"), {}, &FrmMdi::MnuBacup_Click);

    MnuJanela = menu(QStringLiteral("MnuJanela"), QStringLiteral("Janela"));
    entry(MnuJanela, QStringLiteral("MnuCascata"), QStringLiteral("Cascata"), {}, &FrmMdi::MnuCascata_Click);
    entry(MnuJanela, QStringLiteral("MnuHorizontal"), QStringLiteral("Horizontal"), {}, &FrmMdi::MnuHorizontal_Click);
    entry(MnuJanela, QStringLiteral("MnuVertical"), QStringLiteral("Vertical"), {}, &FrmMdi::MnuVertical_Click);
    connect(MnuJanela, &QMenu::aboutToShow, this, &FrmMdi::fillWindowMenu);

    QMenu* sobre = menu(QStringLiteral("MnuSobre"), QStringLiteral("&Sobre"));
    entry(sobre, QStringLiteral("MnuSobrePrograma"), QStringLiteral("Sobre o Programa"), {},
          &FrmMdi::MnuSobrePrograma_Click, QStringLiteral("frmAbout"));
    entry(sobre, QStringLiteral("MnuAjuda"), QStringLiteral("Ajuda"), {}, &FrmMdi::MnuAjuda_Click);
}

void FrmMdi::buildToolbar() {
    Toolbar1 = new QToolBar(QStringLiteral("Barra de Ferramentas"), this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(32, 32));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    for (const ToolbarButton& b : ToolbarButtons) {
        const QString k = QString::fromUtf8(b.key);
        if (k == QLatin1String("Protecao")) Toolbar1->addSeparator();
        // The caption in two lines keeps the buttons narrow.
        QString caption = QString::fromUtf8(b.text);
        const qsizetype blank = caption.indexOf(QLatin1Char(' '), caption.size() / 2 - 2);
        if (blank > 0) caption[blank] = QLatin1Char('\n');
        QAction* a = Toolbar1->addAction(AppIcons::toolbar(k), caption);
        a->setObjectName(k);
        a->setToolTip(QString::fromUtf8(b.text));
        connect(a, &QAction::triggered, this, [this, k] { Toolbar1_ButtonClick(k); });
        QAction* menuEntry = m_entries.value(QString::fromUtf8(b.entry));
        a->setEnabled(menuEntry->isEnabled());
        connect(menuEntry, &QAction::enabledChanged, a, &QAction::setEnabled);
    }
    // The date strip takes the rest of the toolbar's width.
    m_dateStrip->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    Toolbar1->addWidget(m_dateStrip);
    addToolBar(Qt::TopToolBarArea, Toolbar1);
}

void FrmMdi::updateEntries() {
    for (auto it = m_entryWindow.cbegin(); it != m_entryWindow.cend(); ++it)
        m_entries.value(it.key())->setEnabled(WindowRegistry::find(it.value()) != nullptr);
}

void FrmMdi::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    fitToolbar();
}

void FrmMdi::fitToolbar() {
    // The buttons show their texts while the toolbar fits the window with
    // them, and only their pictures (texts as tool tips) on a narrow screen.
    if (m_toolbarFullWidth == 0) {
        Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        m_toolbarFullWidth = Toolbar1->sizeHint().width();
    }
    const Qt::ToolButtonStyle style =
        width() >= m_toolbarFullWidth ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly;
    if (Toolbar1->toolButtonStyle() != style) Toolbar1->setToolButtonStyle(style);
}

// ---------------------------------------------------------------- start-up

void FrmMdi::AbreBD() {
    // Another copy writing or copying the file is waited for, under the hourglass.
    WaitCursor wait;
    const QString path = ProgramFolder::databasePath();
    const QString connect = QString::fromUtf8(ConnectWithPassword);
    DataAcesso->open(path, QStringLiteral("TblConfig"), connect);
    DataEmpresa->open(path, QStringLiteral("TblEmpresa"), connect);
    if (!DataAcesso->hasCurrent())
        throw DbError(DbErrorCode::NoCurrentRecord, QStringLiteral("TblConfig sem registro"), QStringLiteral("Tarvel"));
}

void FrmMdi::closeCursors() {
    DataAcesso->close();
    DataEmpresa->close();
}

namespace {

// The cause of a refused start in the operator's words. The engine opens
// read-only a file it may not write; when the file itself may be written,
// what refuses is the medium under it (a CD, a locked card, a disk mounted
// read-only).
QString startCause(const DbError& e) {
    if (e.description() != engineCause(SQLITE_READONLY)) return e.description();
    const QByteArray path = QFile::encodeName(ProgramFolder::databasePath());
    if (::access(path.constData(), W_OK) != 0 && errno != EROFS) return e.description();
    return QStringLiteral("O disco onde está o banco de dados é somente leitura (um CD, um cartão travado ou um disco "
                          "montado só para leitura): o arquivo não pode ser gravado nele. Copie a pasta do Tarvel para "
                          "um disco que permita gravação.");
}

} // namespace

void FrmMdi::showStartFailure(const DbError& e) {
    if (e.number() == DbErrorCode::Busy) {
        // The file is there and is ours: other copies kept it busy past the wait.
        MsgBox(QStringLiteral("O Banco de Dados 'Bd DedUvevaro.mdb' está em uso por outra cópia do Tarvel e não pôde "
                              "ser aberto.\rTente iniciar o programa novamente em instantes."),
               MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, StartTitle);
        return;
    }
    if (e.number() != DbErrorCode::FileNotFound && e.number() != DbErrorCode::NotADatabase) {
        // The file is there and is ours, but the disk refused it (most often
        // its first write, the running-copies counter): say why.
        MsgBox(QStringLiteral("O Banco de Dados 'Bd DedUvevaro.mdb' foi localizado, mas não pôde ser usado:\r") +
                   startCause(e) + QStringLiteral("\rCorrija o problema e inicie o Tarvel novamente."),
               MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, StartTitle);
        return;
    }
    MsgBox(QStringLiteral("O Banco de Dados 'Bd DedUvevaro.mdb', Necessário para o funcionamento do programa não foi "
                          "localizado!\rLocalize o Banco de Dados 'Bd DedUvevaro.mdb' e coloque-o na mesma pasta do "
                          "Tarvel."),
           MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, StartTitle);
}

bool FrmMdi::Form_Load() {
    try {
        AbreBD();
        RunningCopies::raise(DataAcesso->database());
        DataAcesso->requery();
    } catch (const DbError& e) {
        closeCursors();
        showStartFailure(e);
        EncerraPrograma(1);
        return false;
    }
    Text2->setText(Numbers::longDate(Clock::today()));
    Text2->setMinimumWidth(Text2->fontMetrics().horizontalAdvance(Text2->text()) + 24);

    // From here on a failure only leaves a picture out.
    QPixmap logo;
    if (logo.load(ProgramFolder::file(QStringLiteral("logo.bmp"))))
        ImageLogo->setPixmap(logo.width() > 220 ? logo.scaledToWidth(220, Qt::SmoothTransformation) : logo);
    try {
        ImagemDoDia();
    } catch (const DbError&) {
    }
    m_state = State::Running;
    return true;
}

void FrmMdi::ImagemDoDia() {
    if (!DataAcesso->yesNo(QStringLiteral("ImagemFundo"))) return;
    qlonglong number = 1;
    if (DataAcesso->date(QStringLiteral("DtAtual")) == Clock::today()) {
        number = DataAcesso->number(QStringLiteral("Imagem"));
    } else {
        const QDir pictures(ProgramFolder::file(QStringLiteral("Imagens")));
        const qsizetype count = pictures.exists()
                                    ? pictures.entryList({QStringLiteral("*.jpg")}, QDir::Files).size()
                                    : 0;
        number = count > 0 ? qlonglong(QRandomGenerator::global()->bounded(quint32(count))) + 1 : 1;
        try {
            DataAcesso->edit();
            DataAcesso->setField(QStringLiteral("Imagem"), number);
            DataAcesso->update();
        } catch (const DbError&) {
            // The number is not remembered, but the picture still shows.
            DataAcesso->cancelUpdate();
        }
    }
    const QString file = ProgramFolder::file(QStringLiteral("Imagens/Imagem Fundo (%1).jpg").arg(number));
    QPixmap picture;
    if (picture.load(file)) {
        m_mdi->setPicture(picture);
        m_backgroundFile = file;
    }
}

void FrmMdi::Timer1_Timer() {
    Timer1->setEnabled(false);
    Timer3->setEnabled(false);
    DataAcesso->close();
    LoginRunner& runner = loginRunner();
    int result = QDialog::Rejected;
    if (runner) {
        result = runner(this);
    } else {
        FrmInicializar login(this);
        result = login.exec();
    }
    if (result != QDialog::Accepted) {
        // The log-in lowered the counter itself.
        EncerraPrograma(0);
        return;
    }
    setWindowTitle(QStringLiteral("::: TARVEL ::: Sistema Inicializado por: ") + Modulo::NomeOperadorAtual);
    try {
        AbreBD();
    } catch (const DbError& e) {
        showStartFailure(e);
        EncerraPrograma(1);
        return;
    }
    Timer3->setEnabled(true);
}

void FrmMdi::Timer3_Timer() {
    try {
        if (!DataAcesso->isOpen()) return;
        DataAcesso->requery();
        Panel2->setText(QString::number(DataAcesso->number(QStringLiteral("Qtde"))) + QStringLiteral(" Usuário(s)"));
    } catch (const DbError&) {
        // The count shows again at the next tick.
    }
}

// ---------------------------------------------------------------- windows

QStringList FrmMdi::listsClosedBy(const QString& name) {
    static const QStringList mainLists = {QStringLiteral("FrmClientes"), QStringLiteral("FrmManutencao"),
                                          QStringLiteral("FrmApEntregues")};
    if (!mainLists.contains(name)) return {};
    QStringList others = mainLists;
    others.removeAll(name);
    others << QStringLiteral("FrmRetirada");
    return others;
}

bool FrmMdi::closeList(const QString& name) {
    const WindowRegistry::Entry* e = WindowRegistry::find(name);
    return !e || !e->type || WindowHost::closeList(*e->type);
}

QWidget* FrmMdi::closeLists(const QStringList& names) {
    for (const QString& name : names) {
        // The operator chose to keep it (what it holds could not be written).
        if (!closeList(name)) return WindowHost::findList(*WindowRegistry::find(name)->type);
    }
    return nullptr;
}

void FrmMdi::openList(const QString& name) {
    const WindowRegistry::Entry* e = WindowRegistry::find(name);
    if (!e || e->kind != WindowKind::List || !e->type) return;
    if (closeLists(listsClosedBy(name))) return;
    WindowHost::openList(*e->type, e->make);
}

void FrmMdi::showWindow(const QString& name) {
    const WindowRegistry::Entry* e = WindowRegistry::find(name);
    if (!e) return;
    switch (e->kind) {
    case WindowKind::List:
        openList(name);
        return;
    case WindowKind::Modal:
        WindowRegistry::showModal(name);
        return;
    case WindowKind::Free: {
        QPointer<QWidget>& open = m_freeWindows[name];
        if (!open) {
            open = e->make();
            if (!open) return;
            open->setParent(this, open->windowFlags() | Qt::Window);
            open->setAttribute(Qt::WA_DeleteOnClose);
        }
        open->show();
        open->raise();
        open->activateWindow();
        return;
    }
    }
}

void FrmMdi::MnuClientes_Click() { openList(QStringLiteral("FrmClientes")); }
void FrmMdi::Mnumanut_Click() { openList(QStringLiteral("FrmManutencao")); }
void FrmMdi::MnuApEntregues_Click() { openList(QStringLiteral("FrmApEntregues")); }
void FrmMdi::MnuCompRet_Click() { openList(QStringLiteral("FrmRetirada")); }
void FrmMdi::MnuNvCliente_Click() { showWindow(QStringLiteral("FrmNvCliente")); }
void FrmMdi::MnuConfig_Click() { showWindow(QStringLiteral("FrmAcesso")); }
void FrmMdi::MnuAltSenha_Click() { showWindow(QStringLiteral("FrmAltSenha")); }
void FrmMdi::MnuCalendario_Click() { showWindow(QStringLiteral("frmCalend")); }
void FrmMdi::MnuCal_Click() { showWindow(QStringLiteral("FrmCalculadora")); }
void FrmMdi::MnuSobrePrograma_Click() { showWindow(QStringLiteral("frmAbout")); }
void FrmMdi::MnuSair_Click() { close(); }
void FrmMdi::MnuPro_Click() { Shell::startScreenSaver(); }
void FrmMdi::MnuExibirLogo_Click() { Picture3->show(); }
void FrmMdi::ImageLogo_Click() { Picture3->hide(); }

void FrmMdi::Toolbar1_ButtonClick(const QString& key) {
    for (const ToolbarButton& b : ToolbarButtons)
        if (key == QLatin1String(b.key)) m_entries.value(QString::fromUtf8(b.entry))->trigger();
}

void FrmMdi::MnuBacup_Click() {
    // The copy needs the file let go by every list.
    if (QWidget* kept = closeLists({QStringLiteral("FrmApEntregues"), QStringLiteral("FrmClientes"),
                                    QStringLiteral("FrmManutencao"), QStringLiteral("FrmRetirada")})) {
        MsgBox(QStringLiteral("O BackUp não pode ser feito enquanto a janela \"%1\" estiver aberta: ela guarda "
                              "alterações que não foram gravadas.\rGrave as alterações ou feche a janela sem gravá-las "
                              "e tente novamente.")
                   .arg(kept->windowTitle().trimmed()),
               MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok, QStringLiteral("BackUp"));
        return;
    }
    Timer3->setEnabled(false);
    closeCursors();
    WindowHost::showModal(new FrmBackup(this));
    try {
        AbreBD();
    } catch (const DbError& e) {
        ShowError({QStringLiteral("Não foi possível reabrir o Banco de Dados 'Bd DedUvevaro.mdb'!")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), QStringLiteral("BackUp"));
        return;
    }
    Timer3->setEnabled(true);
}

void FrmMdi::arrange(int arrangement) {
    if (arrangement == 0) {
        m_mdi->cascadeSubWindows();
        return;
    }
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        if (sub->isVisible() && !sub->isMinimized()) windows << sub;
    if (windows.isEmpty()) return;
    const QRect area = m_mdi->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* sub = windows[i];
        if (sub->isMaximized()) sub->showNormal();
        if (arrangement == 1) {   // one above the other, each the full width
            const int top = area.height() * i / n, bottom = area.height() * (i + 1) / n;
            sub->setGeometry(0, top, area.width(), bottom - top);
        } else {                  // side by side, each the full height
            const int left = area.width() * i / n, right = area.width() * (i + 1) / n;
            sub->setGeometry(left, 0, right - left, area.height());
        }
    }
}

void FrmMdi::MnuCascata_Click() { arrange(0); }
void FrmMdi::MnuHorizontal_Click() { arrange(1); }
void FrmMdi::MnuVertical_Click() { arrange(2); }

void FrmMdi::fillWindowMenu() {
    // Below the arrangements: the open child windows, the active one checked.
    for (QAction* a : MnuJanela->actions())
        if (a->property("tarvel_windowlist").toBool()) {
            MnuJanela->removeAction(a);
            a->deleteLater();
        }
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    if (windows.isEmpty()) return;
    auto* separator = MnuJanela->addSeparator();
    separator->setProperty("tarvel_windowlist", true);
    int n = 0;
    for (QMdiSubWindow* sub : windows) {
        ++n;
        const QString title = sub->widget() ? sub->widget()->windowTitle() : sub->windowTitle();
        QAction* a = MnuJanela->addAction(QStringLiteral("&%1 %2").arg(n).arg(title));
        a->setObjectName(QStringLiteral("MnuJanelaLista(%1)").arg(n));
        a->setProperty("tarvel_windowlist", true);
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->activeSubWindow());
        QPointer<QMdiSubWindow> target = sub;
        connect(a, &QAction::triggered, this, [this, target] {
            if (!target) return;
            if (target->isMinimized()) target->showNormal();
            m_mdi->setActiveSubWindow(target);
        });
    }
}

// ---------------------------------------------------------------- desktop

void FrmMdi::MnuAjuda_Click() {
    // A missing manual, or a desktop without a program for its kind of
    // document, is told at once.
    if (Shell::openWithDefault(ProgramFolder::file(manualFileName()))) {
        MsgBox(QStringLiteral("Não foi possível iniciar a Ajuda\rVerifique se o Arquivo 'Tarvel - Manual do Usuário.doc'"
                              "\rEstá na mesma pasta do Programa 'Tarvel'"),
               MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, QStringLiteral("Iniciar a Ajuda"));
    }
}

void FrmMdi::TxtSite_Click() {
    if (!DesktopLinks::openWebPage(TxtSite->text())) return;
    // The colour of a visited link.
    QPalette pal = TxtSite->palette();
    pal.setColor(QPalette::Text, QColor(128, 0, 128));
    TxtSite->setPalette(pal);
}

bool FrmMdi::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == ImageLogo) {
            ImageLogo_Click();
            return true;
        }
        if (watched == TxtSite) {
            TxtSite_Click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- shut-down

void FrmMdi::closeEvent(QCloseEvent* event) {
    if (m_state == State::Ended) {
        event->accept();
        return;
    }
    // The window stays until the program ends (the exit backup runs).
    event->ignore();
    if (m_state == State::BackingUp) return;

    // The child windows close first; one that refuses keeps the program open.
    if (!WindowHost::closeAllLists()) return;

    const MsgAnswer answer = MsgBox(QStringLiteral("Deseja Realmente Encerrar o Sistema?"), MsgButtons::YesNo,
                                    MsgIcon::Question, MsgAnswer::No, QStringLiteral("Encerrar Programa"));
    if (answer != MsgAnswer::Yes) return;

    Timer3->setEnabled(false);
    bool lowered = true;
    try {
        Database db = Database::openDefault();
        RunningCopies::lower(db);
    } catch (const DbError&) {
        lowered = false;
    }
    closeCursors();
    if (!lowered) {
        // The counter cannot be written: the program ends without its copy.
        EncerraPrograma(0);
        return;
    }
    for (const QPointer<QWidget>& w : std::as_const(m_freeWindows))
        if (w) w->close();
    // Closed windows are deleted later; their record cursors must go now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Another copy (or a window of this one) still holds the database: no copy.
    if (Database::isHeldOpen(ProgramFolder::databasePath())) {
        EncerraPrograma(0);
        return;
    }
    m_state = State::BackingUp;
    Text2->hide();
    Text1->show();
    Picture1->show();
    menuBar()->setEnabled(false);
    // The entries, and with them their keys and toolbar buttons.
    for (QAction* a : std::as_const(m_entries)) a->setEnabled(false);
    Timer2->setEnabled(true);
}

void FrmMdi::Timer2_Timer() {
    WaitCursor wait;
    BackupAutomatico();
    try {
        Database db = Database::openDefault();
        RunningCopies::reset(db);
    } catch (const DbError&) {
    }
    wait.release();
    EncerraPrograma(0);
}

void FrmMdi::EncerraPrograma(int code) {
    m_state = State::Ended;
    m_exitCode = code;
    for (WindowTimer* t : {Timer1, Timer2, Timer3})
        if (t) t->setEnabled(false);
    hide();
    emit programEnded(code);
}
