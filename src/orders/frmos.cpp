#include "frmos.h"

#include "customerbutton.h"
#include "app/windowregistry.h"
#include "customers/customerform.h"
#include "moodfaces.h"
#include "openorder.h"
#include "operators/frmacessoos.h"
#include "printing/frmimpressao.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/sqldialect.h"
#include "store/textcompare.h"
#include "ui/boundfields.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/numbers.h"
#include "ui/textentry.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <map>
#include <algorithm>

namespace {

const QString Title = QStringLiteral("Detalhes da Ordem de Serviço");
const QString SaveCaption = QStringLiteral("Salvar");
const QString EditCaption = QStringLiteral("&Alterar Dados");

const QColor WindowBack(255, 192, 128);
const QColor FieldBack(255, 224, 192);
const QColor DarkBlue(0, 0, 192);
const QColor Red(255, 0, 0);
const QColor Green(0, 128, 0);
const QColor Blue(0, 0, 255);

FrmOS::DeliveredListFilter& deliveredListFilter() {
    static FrmOS::DeliveredListFilter filter;
    return filter;
}

// The boxes Txt(i): column, caption and typing limit (0: never typed into).
struct Box {
    int index;
    const char* field;
    const char* caption;
    int limit;
};
constexpr Box Boxes[] = {
    {0, "Nome", "Nome", 0},           {1, "Endereco", "Endereço", 0},
    {2, "Complemento", "Complemento", 0}, {3, "Bairro", "Bairro", 0},
    {4, "Cidade", "Cidade", 0},       {5, "Estado", "Estado", 0},
    {7, "TelResidencia", "Tel Res.", 0}, {8, "TelComercial", "Tel Com.", 0},
    {9, "Fax", "Fax", 0},             {10, "Celular", "Celular", 0},
    {11, "IdCliente", "Código", 0},   {12, "Dpto", "Dpto", 0},
    {15, "Aparelho", "Aparelho", 40}, {16, "Marca", "Marca", 40},
    {17, "Modelo", "Modelo", 14},     {18, "Chassis", "Chassis", 12},
    {19, "NumSerie", "Núm série", 15}, {20, "Tensao", "Tensão", 10},
    {21, "Defeito", "Defeito", 55},   {22, "EstadoAparelho", "Estado do Aparelho:", 55},
    {23, "Acessorios", "Acessórios:", 50}, {24, "Loja", "Loja", 20},
    {25, "DataCompra", "Data da Compra", 13}, {26, "NotaFiscal", "Nota Fiscal", 15},
    {27, "GarComplementar", "Gar. Complementar", 15}};

// The boxes unlocked only in edit mode, and those open in both modes.
bool editOnly(int i) { return (i >= 15 && i <= 19) || (i >= 24 && i <= 27); }
bool alwaysOpen(int i) { return i >= 20 && i <= 23; }

void setForeground(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

void setBackground(QWidget* w, QPalette::ColorRole role, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QFont boldFont(const QWidget* w) {
    QFont f = w->font();
    f.setBold(true);
    return f;
}

// Boxes that keep room for their longest stored text (the customer's
// complement, district and city, the appliance from the settings' lists,
// the descriptions at their typing limits), by index: characters.
const std::map<int, int> WholeRoom = {{2, 20}, {3, 18},  {4, 18},  {15, 16}, {16, 16}, {17, 14},
                                      {18, 12}, {19, 15}, {20, 10}, {21, 55}, {22, 55}, {23, 50}};

// "Salvar" shows without a mnemonic; so does every caption compared here.
QString plainCaption(const QPushButton* b) { return b->text().remove(QLatin1Char('&')); }

} // namespace

FrmOS::FrmOS(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmOS"));
    setWindowTitle(QStringLiteral("Ordem de Serviço"));
    buildWidgets();
    WindowKeys::install(this);
    Form_Load();
}

FrmOS::~FrmOS() = default;

FrmOS* FrmOS::create(QWidget* parent) {
    return WindowHost::keepIfLoaded(new FrmOS(parent));
}

void FrmOS::setDeliveredListFilter(DeliveredListFilter filter) { deliveredListFilter() = std::move(filter); }

bool FrmOS::editing() const { return plainCaption(BtAlterar) == SaveCaption; }

void FrmOS::buildWidgets() {
    setBackground(this, QPalette::Window, WindowBack);
    auto* root = new QGridLayout(this);
    root->setContentsMargins(8, 8, 8, 8);
    root->setHorizontalSpacing(8);
    root->setVerticalSpacing(6);

    const auto caption = [](QWidget* parent, int i, const char* text) {
        auto* l = Widgets::label(parent, QStringLiteral("LblTxt(%1)").arg(i), QString::fromUtf8(text));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    std::array<QLabel*, 28> captions{};
    for (const Box& b : Boxes) {
        auto* box = Widgets::lineEdit(this, QStringLiteral("Txt(%1)").arg(b.index));
        Txt[b.index] = box;
        captions[b.index] = caption(this, b.index, b.caption);
        // Capitals, no apostrophe; Enter means nothing; reached by a click only.
        TextEntry::attach(box, TextEntry::Rules(TextEntry::UpperCase) | TextEntry::NoApostrophe);
        if (b.limit > 0) TextEntry::setTypingLimit(box, b.limit);
        if (const auto room = WholeRoom.find(b.index); room != WholeRoom.end())
            box->setMinimumWidth(Widgets::boxWidthFor(box, room->second));
        box->setFocusPolicy(Qt::ClickFocus);
        box->setReadOnly(!alwaysOpen(b.index));
        if (b.index <= 11) setBackground(box, QPalette::Base, FieldBack);
    }

    // Dados do Cliente.
    auto* cliente = new QGroupBox(QStringLiteral("Dados do Cliente"), this);
    cliente->setObjectName(QStringLiteral("FrameCliente"));
    auto* gc = new QGridLayout(cliente);
    gc->setHorizontalSpacing(4);
    gc->setVerticalSpacing(3);
    const auto place = [](QGridLayout* g, QLabel* const* caps, QLineEdit* const* boxes, int i, int row, int col,
                          int span = 1) {
        caps[i]->setParent(g->parentWidget());
        boxes[i]->setParent(g->parentWidget());
        g->addWidget(caps[i], row, col);
        g->addWidget(boxes[i], row, col + 1, 1, span);
    };
    place(gc, captions.data(), Txt.data(), 0, 0, 0, 3);
    place(gc, captions.data(), Txt.data(), 11, 0, 4);
    place(gc, captions.data(), Txt.data(), 1, 1, 0, 3);
    place(gc, captions.data(), Txt.data(), 2, 1, 4);
    place(gc, captions.data(), Txt.data(), 3, 2, 0);
    place(gc, captions.data(), Txt.data(), 4, 2, 2);
    place(gc, captions.data(), Txt.data(), 5, 2, 4);
    place(gc, captions.data(), Txt.data(), 7, 3, 0);
    place(gc, captions.data(), Txt.data(), 8, 3, 2);
    place(gc, captions.data(), Txt.data(), 9, 3, 4);
    place(gc, captions.data(), Txt.data(), 10, 4, 0);
    Txt[5]->setMaximumWidth(60);
    Txt[11]->setMaximumWidth(90);

    Image1 = new QLabel(cliente);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(36, 36);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setToolTip(QStringLiteral("Estado Emocional do Cliente"));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
    Combo1 = new QComboBox(cliente);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    for (int i = 0; i < MoodFaces::Count; ++i) Combo1->addItem(QIcon(MoodFaces::face(i)), MoodFaces::name(i));
    Combo1->setCursor(Qt::PointingHandCursor);
    Combo1->setCurrentIndex(-1);
    Combo1->hide();
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    // Its list closed without a choice: the chooser hides again.
    m_moodPopup = Combo1->view()->parentWidget();
    m_moodPopup->installEventFilter(this);
    BtCadCliente = CustomerButton::make(cliente);
    auto* mood = new QHBoxLayout;
    mood->addWidget(Image1);
    mood->addWidget(Combo1);
    mood->addStretch(1);
    mood->addWidget(BtCadCliente);
    gc->addLayout(mood, 4, 2, 1, 4);
    gc->setColumnStretch(1, 2);
    gc->setColumnStretch(3, 2);
    gc->setColumnStretch(5, 1);

    // Dados do Aparelho.
    auto* aparelho = new QGroupBox(QStringLiteral("Dados do Aparelho"), this);
    aparelho->setObjectName(QStringLiteral("FrameAparelho"));
    auto* ga = new QGridLayout(aparelho);
    ga->setHorizontalSpacing(4);
    ga->setVerticalSpacing(3);
    place(ga, captions.data(), Txt.data(), 15, 0, 0);
    place(ga, captions.data(), Txt.data(), 16, 0, 2);
    place(ga, captions.data(), Txt.data(), 17, 0, 4);
    place(ga, captions.data(), Txt.data(), 18, 1, 0);
    place(ga, captions.data(), Txt.data(), 19, 1, 2);
    place(ga, captions.data(), Txt.data(), 20, 1, 4);
    place(ga, captions.data(), Txt.data(), 12, 2, 0);
    // The descriptions each on a row of their own, whole at their limits.
    place(ga, captions.data(), Txt.data(), 21, 3, 0, 5);
    place(ga, captions.data(), Txt.data(), 22, 4, 0, 5);
    place(ga, captions.data(), Txt.data(), 23, 5, 0, 5);
    ga->setColumnStretch(1, 1);
    ga->setColumnStretch(3, 1);
    ga->setColumnStretch(5, 1);

    // Garantia de Fábrica.
    auto* garantia = new QGroupBox(QStringLiteral("Garantia de Fábrica"), this);
    garantia->setObjectName(QStringLiteral("FrameGarantia"));
    auto* gg = new QGridLayout(garantia);
    gg->setHorizontalSpacing(4);
    gg->setVerticalSpacing(3);
    place(gg, captions.data(), Txt.data(), 24, 0, 0);
    place(gg, captions.data(), Txt.data(), 25, 0, 2);
    place(gg, captions.data(), Txt.data(), 26, 1, 0);
    place(gg, captions.data(), Txt.data(), 27, 1, 2);
    gg->setColumnStretch(1, 1);
    gg->setColumnStretch(3, 1);

    // Ordem de Serviço: the order's labels.
    auto* ordem = new QGroupBox(QStringLiteral("Ordem de Serviço"), this);
    ordem->setObjectName(QStringLiteral("FrameOrdem"));
    auto* go = new QGridLayout(ordem);
    go->setHorizontalSpacing(6);
    go->setVerticalSpacing(4);
    Label2 = Widgets::label(ordem, QStringLiteral("Label2"), {});
    QFont big(QStringLiteral("Verdana"));
    big.setPointSizeF(20.25);
    big.setBold(true);
    Label2->setFont(big);
    setForeground(Label2, Blue);
    Label2->setAlignment(Qt::AlignCenter);
    go->addWidget(Label2, 0, 0, 1, 2);
    const auto orderLabel = [&](QLabel*& value, const char* name, const char* text, int row) {
        auto* cap = Widgets::label(ordem, QStringLiteral("Cap%1").arg(QLatin1String(name)), QString::fromUtf8(text));
        cap->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value = Widgets::label(ordem, QLatin1String(name), {});
        value->setFont(boldFont(value));
        setForeground(value, DarkBlue);
        setBackground(value, QPalette::Window, FieldBack);
        go->addWidget(cap, row, 0);
        go->addWidget(value, row, 1);
    };
    orderLabel(Label1, "Label1", "Tipo:", 1);
    orderLabel(Label10, "Label10", "Prioridade", 2);
    orderLabel(Label8, "Label8", "Atendimento", 3);
    orderLabel(Label4, "Label4", "Entrada:", 4);
    orderLabel(Label6, "Label6", "Hora:", 5);
    orderLabel(Label7, "Label7", "Dias:", 6);
    orderLabel(Label3, "Label3", "Status:", 7);
    orderLabel(Label5, "Label5", "Técnico:", 8);
    orderLabel(Label9, "Label9", "Conclusão:", 9);
    orderLabel(Label13, "Label13", "Operador", 10);
    orderLabel(Label11, "Label11", "Valor:", 11);
    orderLabel(Label12, "Label12", "Via:", 12);
    go->setColumnMinimumWidth(1, 150);
    // The status, technician and operator keep to their places, however long.
    for (QLabel* l : {Label3, Label5, Label13}) Widgets::showWhole(l);
    // The type and the operator stand on the system's window colour.
    for (QLabel* l : {Label1, Label13})
        setBackground(l, QPalette::Window, QApplication::palette().color(QPalette::Window));
    for (QLabel* l : {Label1, Label8, Label10}) l->installEventFilter(this);
    go->setRowStretch(13, 1);

    // The tab strip: progress notes, status, technicians.
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto* pageRel = new QWidget;
    auto* andamento = new QGroupBox(QStringLiteral("Andamento do Serviço"), pageRel);
    TxtAndamento = new QPlainTextEdit(andamento);
    TxtAndamento->setObjectName(QStringLiteral("TxtAndamento"));
    TxtAndamento->setToolTip(QStringLiteral("Informações sobre o andamento do Serviço"));
    TxtAndamento->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TxtAndamento->setTabChangesFocus(true);
    TxtAndamento->setFont(boldFont(TxtAndamento));
    {
        QPalette p = TxtAndamento->palette();
        p.setColor(QPalette::Text, Green);
        p.setColor(QPalette::Base, FieldBack);
        TxtAndamento->setPalette(p);
    }
    // Capitals and the date and time stamps; the apostrophe is welcome here.
    TextEntry::attach(TxtAndamento, TextEntry::Rules(TextEntry::UpperCase) | TextEntry::DateTimeKeys);
    TextEntry::setTypingLimit(TxtAndamento, 500);
    (new QVBoxLayout(andamento))->addWidget(TxtAndamento);
    (new QVBoxLayout(pageRel))->addWidget(andamento);
    SSTab1->addTab(pageRel, QStringLiteral("&Relatório"));

    const auto listPage = [&](const char* tab, const char* frame, QListWidget*& list, const char* listName,
                              QLabel*& pick, const char* pickName, QPushButton*& save, const char* saveName) {
        auto* page = new QWidget;
        auto* box = new QGroupBox(QString::fromUtf8(frame), page);
        auto* g = new QGridLayout(box);
        list = new QListWidget(box);
        list->setObjectName(QLatin1String(listName));
        pick = Widgets::label(box, QLatin1String(pickName), {});
        pick->setFont(boldFont(pick));
        setForeground(pick, DarkBlue);
        Widgets::showWhole(pick);
        save = Widgets::button(box, QLatin1String(saveName), QStringLiteral("&Salvar"));
        save->setEnabled(false);
        g->addWidget(list, 0, 0, 3, 1);
        g->addWidget(pick, 0, 1);
        g->addWidget(save, 1, 1);
        g->setRowStretch(2, 1);
        g->setColumnStretch(0, 1);
        g->setColumnMinimumWidth(1, 140);   // the pick's room
        (new QVBoxLayout(page))->addWidget(box);
        SSTab1->addTab(page, QString::fromUtf8(tab));
    };
    listPage("&Status", "Status", List1, "List1", LblStatus, "LblStatus", BtSalvaStatus, "BtSalvaStatus");
    listPage("&Técnicos", "Técnicos", List2, "List2", LblTecnico, "LblTecnico", BtSalvaTecnico, "BtSalvaTecnico");
    // An entry is picked however it is chosen: a click, the arrows, Enter or
    // the first letters typed. The entry the list makes current on getting
    // the focus, unselected, is no choice.
    const auto picks = [this](QListWidget* list, void (FrmOS::*click)()) {
        connect(list, &QListWidget::itemClicked, this, click);
        connect(list, &QListWidget::itemActivated, this, click);
        connect(list, &QListWidget::itemSelectionChanged, this, [this, list, click] {
            if (list->currentItem() && list->currentItem()->isSelected()) (this->*click)();
        });
    };
    picks(List1, &FrmOS::List1_Click);
    picks(List2, &FrmOS::List2_Click);
    connect(BtSalvaStatus, &QPushButton::clicked, this, [this] { BtSalvaStatus_Click(); });
    connect(BtSalvaTecnico, &QPushButton::clicked, this, [this] { BtSalvaTecnico_Click(); });

    // The buttons.
    BtAlterar = Widgets::button(this, QStringLiteral("BtAlterar"), EditCaption,
                                QStringLiteral("Alterar Dados desta Ordem de Serviço"));
    BtImpOs = Widgets::button(this, QStringLiteral("BtImpOs"), QStringLiteral("&Imprimir OS"));
    BtOpcao = Widgets::button(this, QStringLiteral("BtOpcao"), QStringLiteral("&Opções"));
    BtMntAnt = Widgets::button(this, QStringLiteral("BtMntAnt"), QStringLiteral("&Manutenções Anteriores"));
    BtFechar = Widgets::closeButton(this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {BtAlterar, BtImpOs, BtOpcao, BtMntAnt}) {
        b->setMinimumHeight(30);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    BtFechar->setMinimumHeight(30);
    buttons->addWidget(BtFechar);
    connect(BtCadCliente, &QPushButton::clicked, this, [this] { BtCadCliente_Click(); });
    connect(BtAlterar, &QPushButton::clicked, this, [this] { BtAlterar_Click(); });
    connect(BtImpOs, &QPushButton::clicked, this, [this] { BtImpOs_Click(); });
    connect(BtOpcao, &QPushButton::clicked, this, [this] { BtOpcao_Click(); });
    connect(BtMntAnt, &QPushButton::clicked, this, [this] { BtMntAnt_Click(); });
    connect(BtFechar, &QPushButton::clicked, this, [this] { BtFechar_Click(); });

    root->addWidget(cliente, 0, 0);
    root->addWidget(ordem, 0, 1, 3, 1);
    root->addWidget(aparelho, 1, 0);
    root->addWidget(garantia, 2, 0);
    root->addWidget(SSTab1, 3, 0);
    root->addLayout(buttons, 3, 1);
    root->setColumnStretch(0, 1);
    root->setRowStretch(3, 1);
    resize(940, 700);

    // The price window and the delivered list come with their own parts of
    // the program.
    BtOpcao->setEnabled(WindowRegistry::find(QStringLiteral("FrmOpcoesOS")) != nullptr);
    BtMntAnt->setEnabled(bool(deliveredListFilter()));
    setEditLook(false);
}

void FrmOS::Form_Load() {
    try {
        const QString path = ProgramFolder::databasePath();
        DataFrmOsMnt.setDatabaseName(path);
        DataTecnico.setDatabaseName(path);
        DataStatus.setDatabaseName(path);
        DataMntAnt.setDatabaseName(path);
        DataFrmOsMnt.setRecordSource(QStringLiteral("SELECT * FROM TblManutencao WHERE Os = %1").arg(Modulo::OsAtual));
        DataTecnico.setRecordSource(QStringLiteral("TblTecnicos"));
        DataStatus.setRecordSource(QStringLiteral("TblStatus"));
        DataFrmOsMnt.refresh();
        DataTecnico.refresh();
        DataStatus.refresh();
        {
            WaitCursor wait;
            if (!DataFrmOsMnt.findFirst(QStringLiteral("OS = %1").arg(Modulo::OsAtual))) throw OpenOrder::goneError();
        }
        m_os = DataFrmOsMnt.number(QStringLiteral("Os"));
        fillList(DataTecnico, QStringLiteral("NomeTecnico"), List2);
        fillList(DataStatus, QStringLiteral("TipoStatus"), List1);
        setWindowTitle(QStringLiteral("Ordem de Serviço Número: %1").arg(Modulo::OsAtual));
        Modulo::AcessoOsLiberado = false;
    } catch (const std::exception& e) {
        m_loadFailed = true;
        OpenOrder::showFailure(e, Title);
        return;
    }

    // Every field shows the order's row; the window writes them itself.
    m_fields = new BoundFields(&DataFrmOsMnt, nullptr);
    m_fields->setParent(this);
    for (const Box& b : Boxes) m_fields->bind(Txt[b.index], QString::fromUtf8(b.field));
    m_fields->bind(TxtAndamento, QStringLiteral("Andamento"));
    m_fields->bind(Label2, QStringLiteral("Os"));
    m_fields->bind(Label1, QStringLiteral("Tipo"));
    m_fields->bind(Label10, QStringLiteral("prioridade"));
    m_fields->bind(Label8, QStringLiteral("Atendimento"));
    m_fields->bind(Label4, QStringLiteral("DataEntrada"), FieldFormat::ShortDate);
    m_fields->bind(Label6, QStringLiteral("HoraEntrada"), FieldFormat::Time);
    m_fields->bind(Label7, QStringLiteral("Dias"));
    m_fields->bind(Label3, QStringLiteral("Status"));
    m_fields->bind(Label5, QStringLiteral("Tecnico"));
    m_fields->bind(Label9, QStringLiteral("DataConcluido"), FieldFormat::ShortDate);
    m_fields->bind(Label13, QStringLiteral("OperadorEnt"));
    showMood();
}

void FrmOS::fillList(RecordCursor& cursor, const QString& field, QListWidget* list) {
    QStringList names;
    if (cursor.recordCount() > 0) cursor.moveFirst();
    while (cursor.hasCurrent()) {
        names << cursor.text(field);
        cursor.moveNext();
    }
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const QByteArray x = a.toUtf8(), y = b.toUtf8();
        return TextCompare::compare(x.constData(), std::size_t(x.size()), y.constData(), std::size_t(y.size())) < 0;
    });
    list->clear();
    list->addItems(names);
}

void FrmOS::showMood() {
    m_shownMood = -1;
    Image1->clear();
    QVariant stored;
    try {
        stored = DataFrmOsMnt.field(QStringLiteral("Emocao"));
    } catch (const std::exception&) {
        return;  // no picture, no message
    }
    const qlonglong mood = stored.isValid() ? stored.toLongLong() : -1;
    if (mood < 0 || mood >= MoodFaces::Count) return;
    Image1->setPixmap(MoodFaces::face(int(mood)));
    m_shownMood = int(mood);
}

void FrmOS::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void FrmOS::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
}

void FrmOS::Form_Activate() {
    if (m_loadFailed || m_failed) return;
    // The price and print windows change the amount and the print count
    // through cursors of their own: read them as stored now.
    try {
        RecordCursor order;
        order.open(ProgramFolder::databasePath(),
                   QStringLiteral("SELECT VlFinal, Via FROM TblManutencao WHERE Os = %1").arg(m_os));
        if (!order.hasCurrent()) return;
        Label11->setText(order.field(QStringLiteral("VlFinal")).isValid()
                             ? Numbers::currencyText(order.currency(QStringLiteral("VlFinal")))
                             : QString());
        Label12->setText(QString::number(order.number(QStringLiteral("Via"))) + QStringLiteral("ª"));
    } catch (const std::exception&) {
        // The labels keep what they showed.
    }
}

bool FrmOS::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_moodPopup && event->type() == QEvent::Hide) {
        QTimer::singleShot(0, this, [this] {
            if (Combo1->currentIndex() < 0) Combo1->hide();
        });
        return false;
    }
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == Image1) Image1_Click();
        else if (watched == Label1) Label1_Click();
        else if (watched == Label10) Label10_Click();
        else if (watched == Label8) Label8_Click();
    }
    return QDialog::eventFilter(watched, event);
}

// --- Writing the order ------------------------------------------------------

std::vector<std::pair<QLabel*, QString>> FrmOS::toggledLabels() const {
    return {{Label1, QStringLiteral("Tipo")}, {Label10, QStringLiteral("prioridade")},
            {Label8, QStringLiteral("Atendimento")}};
}

bool FrmOS::labelsPending() const {
    for (const auto& [label, field] : toggledLabels())
        if (label->text() != DataFrmOsMnt.text(field)) return true;
    return false;
}

bool FrmOS::picksPending() const { return !m_owedStatus.isEmpty() || !m_owedTecnico.isEmpty(); }

void FrmOS::setPicks() {
    if (!m_owedStatus.isEmpty()) {
        // A final status stamps the day the work ended; any other clears it.
        const bool concluded =
            m_owedStatus == QStringLiteral("PRONTO") || m_owedStatus == QStringLiteral("SEM CONSERTO");
        DataFrmOsMnt.setField(QStringLiteral("DataConcluido"), concluded ? QVariant(Clock::today()) : QVariant());
        DataFrmOsMnt.setField(QStringLiteral("Status"), m_owedStatus);
    }
    if (!m_owedTecnico.isEmpty()) DataFrmOsMnt.setField(QStringLiteral("Tecnico"), m_owedTecnico);
}

void FrmOS::picksStored() {
    const struct { QLabel* pick; QString* owed; QPushButton* save; } picks[] = {
        {LblStatus, &m_owedStatus, BtSalvaStatus}, {LblTecnico, &m_owedTecnico, BtSalvaTecnico}};
    // An owed pick is what its label shows: another click drops it.
    for (const auto& p : picks) {
        if (p.owed->isEmpty()) continue;
        p.pick->clear();
        p.save->setEnabled(false);
        p.owed->clear();
    }
}

void FrmOS::gravaOs(const std::function<void()>& setFields) {
    Transaction transaction(DataFrmOsMnt.database());
    // Another copy may have checked the order out meanwhile.
    OpenOrder::requireOpen(DataFrmOsMnt.database(), m_os);
    DataFrmOsMnt.edit();
    try {
        if (setFields) setFields();
        setPicks();
        for (const auto& [label, field] : toggledLabels())
            if (label->text() != DataFrmOsMnt.text(field)) DataFrmOsMnt.setField(field, label->text());
        m_fields->commit();
        DataFrmOsMnt.update();
    } catch (...) {
        DataFrmOsMnt.cancelUpdate();
        throw;
    }
    transaction.commit();
    picksStored();
}

namespace {
const QString SaveTask = QStringLiteral("Não foi possível gravar as alterações desta Ordem de Serviço.");
}

bool FrmOS::reportFailure(const std::exception& error, const QString& task) {
    if (!OpenOrder::goneAfterFailure(DataFrmOsMnt.database(), m_os)) {
        OpenOrder::showKeptFailure(task.isEmpty() ? SaveTask : task, error, Title);
        return true;
    }
    m_failed = true;
    OpenOrder::showFailure(error, Title);
    close();
    return false;
}

void FrmOS::done(int result) {
    if (!m_loadFailed && !m_failed && m_fields) {
        m_failed = true;  // one write on the way out
        try {
            if (m_fields->hasPending() || labelsPending() || picksPending()) gravaOs();
        } catch (const std::exception& e) {
            if (!OpenOrder::goneAfterFailure(DataFrmOsMnt.database(), m_os)) {
                // Closing now would lose what was typed: the operator decides.
                if (!askCloseWithoutWriting({SaveTask}, ErrorInfo::from(e), QStringLiteral("%1__%2"), Title)) {
                    m_failed = false;
                    return;
                }
            } else {
                OpenOrder::showFailure(e, Title);
            }
        }
    }
    QDialog::done(result);
}

// --- Status and technician ----------------------------------------------------

// Another pick replaces one whose "Salvar" failed: what is stored is only ever
// what the label shows.
void FrmOS::List1_Click() {
    if (!List1->currentItem()) return;
    LblStatus->setText(List1->currentItem()->text());
    if (m_owedStatus != LblStatus->text()) m_owedStatus.clear();
    BtSalvaStatus->setEnabled(true);
}

void FrmOS::BtSalvaStatus_Click() { savePick(LblStatus, m_owedStatus, BtSalvaStatus); }

void FrmOS::List2_Click() {
    if (!List2->currentItem()) return;
    LblTecnico->setText(List2->currentItem()->text());
    if (m_owedTecnico != LblTecnico->text()) m_owedTecnico.clear();
    BtSalvaTecnico->setEnabled(true);
}

void FrmOS::BtSalvaTecnico_Click() { savePick(LblTecnico, m_owedTecnico, BtSalvaTecnico); }

void FrmOS::savePick(QLabel* pick, QString& owed, QPushButton* save) {
    save->setEnabled(false);
    if (!pick->text().isEmpty()) owed = pick->text();
    try {
        gravaOs();
        m_fields->show();
    } catch (const std::exception& e) {
        // Not stored: the pick stays owed, its button ready for another try.
        if (reportFailure(e)) save->setEnabled(true);
    }
}

// --- Mood ----------------------------------------------------------------------

void FrmOS::Image1_Click() {
    Combo1->setCurrentIndex(-1);
    Combo1->show();
    Combo1->setFocus();
    if (isVisible()) Combo1->showPopup();
}

void FrmOS::Combo1_Click() {
    const int mood = Combo1->currentIndex();
    Combo1->hide();
    if (mood < 0) return;
    try {
        gravaOs([&] { DataFrmOsMnt.setField(QStringLiteral("Emocao"), mood); });
        showMood();
    } catch (const std::exception& e) {
        reportFailure(e);
    }
}

// --- Edit mode -----------------------------------------------------------------

void FrmOS::setEditLook(bool editing) {
    for (QLabel* l : {Label1, Label8, Label10}) {
        setForeground(l, editing ? Red : DarkBlue);
        l->setCursor(editing ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }
    for (const Box& b : Boxes) {
        if (!editOnly(b.index)) continue;
        CustomerForm::setTextColour(Txt[b.index], editing ? Red : QColor(0, 0, 0));
        Txt[b.index]->setReadOnly(!editing);
    }
}

void FrmOS::BtAlterar_Click() {
    try {
        if (!editing()) {
            WindowHost::showModal(new FrmAcessoOs(this));
            if (!Modulo::AcessoOsLiberado) return;
            setEditLook(true);
            BtAlterar->setText(SaveCaption);
            Txt[17]->setFocus();
            gravaOs();
        } else {
            // Written first: a failed save stays in edit mode for another try.
            gravaOs();
            setEditLook(false);
            BtAlterar->setText(EditCaption);
            Modulo::AcessoOsLiberado = false;
        }
    } catch (const std::exception& e) {
        reportFailure(e);
    }
}

void FrmOS::toggle(QLabel* label, const QString& a, const QString& b) {
    if (!editing()) return;
    label->setText(label->text() == a ? b : a);
}

void FrmOS::Label1_Click() {
    // A warranty return keeps its type.
    if (!editing() || Label1->text() == QStringLiteral("GAR. DE SERVIÇO")) return;
    toggle(Label1, QStringLiteral("GAR.DE FÁBRICA"), QStringLiteral("ORÇAMENTO"));
}

void FrmOS::Label10_Click() { toggle(Label10, QStringLiteral("NORMAL"), QStringLiteral("URGENTE")); }

void FrmOS::Label8_Click() { toggle(Label8, QStringLiteral("INTERNO"), QStringLiteral("EXTERNO")); }

// --- Other windows -------------------------------------------------------------

void FrmOS::BtMntAnt_Click() {
    const DeliveredListFilter filter = deliveredListFilter();
    if (!filter) return;
    WaitCursor wait;
    try {
        const QString aparelho = DataFrmOsMnt.text(QStringLiteral("Aparelho"));
        const QString numSerie = DataFrmOsMnt.text(QStringLiteral("NumSerie"));
        // Stored values are quoted: an apostrophe in them stays part of the text.
        const QString criterion = QStringLiteral("Aparelho = ") + SqlDialect::quote(aparelho) +
                                  QStringLiteral(" AND NumSerie = ") + SqlDialect::quote(numSerie);
        Modulo::SqlFiltroEntregues = QStringLiteral("SELECT * FROM TblApEntregues WHERE ") + criterion;
        DataMntAnt.setRecordSource(Modulo::SqlFiltroEntregues);
        DataMntAnt.refresh();
        Modulo::TituloFiltroEntregues = QStringLiteral("MANUTENÇÕES ANTERIORES : APARELHO = ") + aparelho +
                                        QStringLiteral(" MARCA = ") + DataFrmOsMnt.text(QStringLiteral("Marca")) +
                                        QStringLiteral(" MODELO = ") + DataFrmOsMnt.text(QStringLiteral("Modelo"));
        const int found = DataMntAnt.recordCount();
        DataMntAnt.close();
        if (found == 0) {
            wait.release();
            MsgBox(QStringLiteral("Não Consta Nenhum Registro de Manutenção Anterior para este Aparelho"),
                   MsgButtons::Ok, MsgIcon::Information, std::nullopt, Title);
            return;
        }
        filter(Modulo::SqlFiltroEntregues, Modulo::TituloFiltroEntregues);
        wait.release();
        close();
    } catch (const std::exception& e) {
        wait.release();
        reportFailure(e, QStringLiteral("Não foi possível consultar as manutenções anteriores deste aparelho."));
    }
}

void FrmOS::BtOpcao_Click() {
    Modulo::OsAtual = std::int32_t(m_os);
    try {
        // What was typed here is stored before the price window works on the order.
        gravaOs();
        const WindowRegistry::Entry* prices = WindowRegistry::find(QStringLiteral("FrmOpcoesOS"));
        if (!prices) return;
        auto* dialog = qobject_cast<QDialog*>(prices->make());
        // A price window that could not load (it said why), or a checkout
        // there, leaves this window nothing to show.
        if (dialog) WindowHost::showModal(dialog);
        if (!dialog || !OpenOrder::isOpen(DataFrmOsMnt.database(), m_os)) {
            m_failed = true;
            close();
            return;
        }
        Form_Activate();
    } catch (const std::exception& e) {
        reportFailure(e);
    }
}

void FrmOS::BtImpOs_Click() {
    Modulo::OsAtual = std::int32_t(m_os);
    try {
        // The printed order shows what was typed here.
        gravaOs();
    } catch (const std::exception& e) {
        reportFailure(e);
        return;
    }
    WindowHost::showModal(new FrmImpressao(this));
    Form_Activate();
}

void FrmOS::BtCadCliente_Click() {
    CustomerButton::open(std::int32_t(DataFrmOsMnt.number(QStringLiteral("IdCliente"))), [this] { close(); });
}

void FrmOS::BtFechar_Click() { close(); }
