#include "frmentrada.h"

#include "customers/customerform.h"
#include "customers/geranumserie.h"
#include "operators/validasenhaoperador.h"
#include "printing/frmimpressao.h"
#include "store/clock.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/sqldialect.h"
#include "store/textcompare.h"
#include "ui/messagebox.h"
#include "ui/numbers.h"
#include "ui/textentry.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString Title = QStringLiteral("Emissão de Ordem de Serviço");
const QString StatusEmServico = QStringLiteral("EM SERVIÇO");
const QString NaoPermitirEntrada = QStringLiteral("NÃO PERMITIR ENTRADA");

// Captions of the customer block, Label(0) to Label(14); there is no Label(7)
// (the postal code stands beside the state without one).
const char* const CustomerCaptions[15] = {"Codigo", "Nome", "Endereço", "Complemento", "Bairro", "Cidade", "Estado",
                                          nullptr, "Tel.Res.", "Tel.Com.", "Fax", "Celular", "E-mail",
                                          "DtCadastro", "Obs"};

// The boxes Txt(17) to Txt(27): caption of Lbl(n) and typing limit.
struct BoxLayout {
    const char* caption;
    int limit;
};
const BoxLayout Boxes[11] = {{"Modelo", 14},         {"Chassis", 12},
                           {"Núm série", 15},      {"Tensão", 10},
                           {"Defeito Reclamado", 55}, {"Estado do Aparelho:", 55},
                           {"Acessórios", 50},     {"Loja", 20},
                           {"Data Compra", 13},    {"Nota Fiscal", 15},
                           {"Gar. Complementar", 15}};
constexpr int FirstBox = 17;
constexpr int LastBox = 27;
constexpr int FirstWarrantyBox = 24;

const char* const TypeCaptions[3] = {"Orçamento", "Gar. de Serviço", "Gar.de Fábrica"};
constexpr int Orcamento = 0;
constexpr int GarServico = 1;
constexpr int GarFabrica = 2;

const QColor DarkRed(128, 0, 0);

// Adds texts to a list sorted as the shop reads them (case and accents
// beside their letter); each item keeps the value given with it.
void addSorted(QComboBox* list, std::vector<std::pair<QString, int>> items) {
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
        const QByteArray x = a.first.toUtf8(), y = b.first.toUtf8();
        return TextCompare::compare(x.constData(), std::size_t(x.size()), y.constData(), std::size_t(y.size())) < 0;
    });
    for (const auto& [text, value] : items) list->addItem(text, value);
}

// A value label of the customer block: a sunken box like a locked field.
QLabel* valueLabel(QWidget* parent, int index) {
    auto* l = Widgets::label(parent, QStringLiteral("Lbl(%1)").arg(index), QString());
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAutoFillBackground(true);
    l->setBackgroundRole(QPalette::Base);
    l->setMinimumHeight(l->fontMetrics().height() + 6);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

// Enter in a drop-down list moves on to the next widget, as Tab does.
class EnterMovesOn : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        TextEntry::focusNextField(static_cast<QWidget*>(watched));
        return true;
    }
};

QString lines(std::initializer_list<QString> parts) { return QStringList(parts).join(QLatin1Char('\r')); }

} // namespace

FrmEntrada::FrmEntrada(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmEntrada"));
    setWindowTitle(QStringLiteral("Nova Ordem de Serviço"));
    buildWidgets();
    WindowKeys::install(this);
    Form_Load();
    Txt[21]->setFocus();
}

FrmEntrada::~FrmEntrada() { Form_Unload(); }

void FrmEntrada::run() { WindowHost::showModal(new FrmEntrada); }

void FrmEntrada::buildWidgets() {
    auto* root = new QVBoxLayout(this);

    // The customer, read-only.
    Frame1 = new QGroupBox(QStringLiteral("Dados do Cliente"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    for (int i = 0; i < 15; ++i)
        if (CustomerCaptions[i])
            Label[i] = Widgets::label(Frame1, QStringLiteral("Label(%1)").arg(i), QString::fromUtf8(CustomerCaptions[i]));
    for (int i = 0; i <= 13; ++i) Lbl[i] = valueLabel(Frame1, i);
    {
        auto* g = new QGridLayout(Frame1);
        g->setHorizontalSpacing(6);
        const auto put = [g, this](int index, int row, int col, int span) {
            if (Label[index]) g->addWidget(Label[index], row, col, Qt::AlignRight);
            g->addWidget(Lbl[index], row, col + 1, 1, span);
        };
        put(0, 0, 0, 1);
        put(1, 0, 2, 5);
        put(2, 1, 0, 3);
        put(3, 1, 4, 3);
        put(4, 2, 0, 1);
        put(5, 2, 2, 1);
        put(6, 2, 4, 1);
        g->addWidget(Lbl[7], 2, 6);   // the postal code
        put(8, 3, 0, 1);
        put(9, 3, 2, 1);
        put(10, 3, 4, 1);
        put(11, 3, 6, 1);
        put(12, 4, 0, 3);
        put(13, 4, 4, 1);
        g->addWidget(Label[14], 4, 6, Qt::AlignRight);
        for (int c : {1, 3, 5, 7}) g->setColumnStretch(c, 1);
    }
    QFont nameFont = Lbl[1]->font();
    nameFont.setBold(true);
    Lbl[1]->setFont(nameFont);
    // However long, the name keeps to its place.
    Widgets::showWhole(Lbl[1]);
    root->addWidget(Frame1);

    // The appliance, its defect and the operator.
    Frame2 = new QGroupBox(QStringLiteral("Dados do Aparelho"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    const auto caption = [this](int index, const QString& text) {
        Lbl[std::size_t(index)] = Widgets::label(Frame2, QStringLiteral("Lbl(%1)").arg(index), text);
        return Lbl[std::size_t(index)];
    };
    auto* enterMovesOn = new EnterMovesOn(this);
    const auto list = [this, enterMovesOn](const QString& name) {
        auto* c = new QComboBox(Frame2);
        c->setObjectName(name);
        c->setMinimumWidth(170);
        c->installEventFilter(enterMovesOn);
        return c;
    };
    ComboAparelho = list(QStringLiteral("ComboAparelho"));
    Combo[1] = list(QStringLiteral("Combo(1)"));
    Combo[3] = list(QStringLiteral("Combo(3)"));
    ComboDpto = new QComboBox(Frame2);
    ComboDpto->setObjectName(QStringLiteral("ComboDpto"));
    ComboDpto->setVisible(false);
    caption(15, QStringLiteral("Aparelho"));
    caption(16, QStringLiteral("Marca"));
    caption(28, QStringLiteral("Operador"));
    caption(29, QStringLiteral("Técnico"));

    const auto makeBox = [this](QWidget* owner, int index) {
        const BoxLayout& kind = Boxes[index - FirstBox];
        Lbl[std::size_t(index)] = Widgets::label(owner, QStringLiteral("Lbl(%1)").arg(index), QString::fromUtf8(kind.caption));
        QLineEdit* box = Widgets::lineEdit(owner, QStringLiteral("Txt(%1)").arg(index));
        TextEntry::attach(box, TextEntry::Standard);
        TextEntry::setTypingLimit(box, kind.limit);
        // Focused: tool-tip background and its caption in red.
        TextEntry::setFocusStyle(box, TextEntry::FocusStyle{TextEntry::toolTipBase(), {}, false,
                                                            Lbl[std::size_t(index)], QColor(255, 0, 0)});
        // Wide enough for a fair part of what it takes.
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QString(std::min(kind.limit, 12), QLatin1Char('X'))) + 12);
        Txt[std::size_t(index)] = box;
    };
    for (int i = FirstBox; i <= 23; ++i) makeBox(Frame2, i);
    TxtOperador = Widgets::lineEdit(Frame2, QStringLiteral("TxtOperador"));
    TxtOperador->setFixedWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) * 12);
    {
        auto* g = new QGridLayout(Frame2);
        g->setHorizontalSpacing(6);
        g->addWidget(Lbl[15], 0, 0, Qt::AlignRight);
        g->addWidget(ComboAparelho, 0, 1);
        g->addWidget(Lbl[16], 0, 2, Qt::AlignRight);
        g->addWidget(Combo[1], 0, 3);
        g->addWidget(Lbl[17], 0, 4, Qt::AlignRight);
        g->addWidget(Txt[17], 0, 5);
        g->addWidget(Lbl[18], 1, 0, Qt::AlignRight);
        g->addWidget(Txt[18], 1, 1);
        g->addWidget(Lbl[19], 1, 2, Qt::AlignRight);
        g->addWidget(Txt[19], 1, 3);
        g->addWidget(Lbl[20], 1, 4, Qt::AlignRight);
        g->addWidget(Txt[20], 1, 5);
        for (int i = 21; i <= 23; ++i) {
            g->addWidget(Lbl[std::size_t(i)], i - 19, 0, Qt::AlignRight);
            g->addWidget(Txt[std::size_t(i)], i - 19, 1, 1, 5);
        }
        g->addWidget(Lbl[28], 5, 0, Qt::AlignRight);
        g->addWidget(TxtOperador, 5, 1, Qt::AlignLeft);
        g->addWidget(Lbl[29], 5, 2, Qt::AlignRight);
        g->addWidget(Combo[3], 5, 3);
        g->addWidget(ComboDpto, 5, 5);
        for (int c : {1, 3, 5}) g->setColumnStretch(c, 1);
    }
    root->addWidget(Frame2);

    // The order: type, factory warranty, attendance, priority, pickup.
    Frame5 = new QGroupBox(QStringLiteral("Tipo"), this);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    {
        auto* v = new QVBoxLayout(Frame5);
        for (int i = 0; i < 3; ++i) {
            Option1[std::size_t(i)] = new QRadioButton(QString::fromUtf8(TypeCaptions[i]), Frame5);
            Option1[std::size_t(i)]->setObjectName(QStringLiteral("Option1(%1)").arg(i));
            v->addWidget(Option1[std::size_t(i)]);
            connect(Option1[std::size_t(i)], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
        }
    }
    Option1[Orcamento]->setChecked(true);
    Option1[GarServico]->setEnabled(false);

    Frame3 = new QGroupBox(QStringLiteral("Garantia de Fábrica"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    for (int i = FirstWarrantyBox; i <= LastBox; ++i) makeBox(Frame3, i);
    {
        auto* g = new QGridLayout(Frame3);
        for (int i = FirstWarrantyBox; i <= LastBox; ++i) {
            const int k = i - FirstWarrantyBox;
            g->addWidget(Lbl[std::size_t(i)], k / 2, (k % 2) * 2, Qt::AlignRight);
            g->addWidget(Txt[std::size_t(i)], k / 2, (k % 2) * 2 + 1);
        }
    }
    setWarrantyBoxesOpen(false);

    const auto pair = [this](QGroupBox*& frame, const char* name, const QString& title, QRadioButton*& a,
                             const char* aName, const QString& aText, QRadioButton*& b, const char* bName,
                             const QString& bText) {
        frame = new QGroupBox(title, this);
        frame->setObjectName(QString::fromLatin1(name));
        a = new QRadioButton(aText, frame);
        a->setObjectName(QString::fromLatin1(aName));
        b = new QRadioButton(bText, frame);
        b->setObjectName(QString::fromLatin1(bName));
        auto* v = new QVBoxLayout(frame);
        v->addWidget(a);
        v->addWidget(b);
        a->setChecked(true);
    };
    pair(Frame4, "Frame4", QStringLiteral("Atendimento"), OptInterno, "OptInterno", QStringLiteral("Interno"),
         OptExterno, "OptExterno", QStringLiteral("Externo"));
    pair(Frame7, "Frame7", QStringLiteral("Prioridade"), OptNormal, "OptNormal", QStringLiteral("Normal"), OptUrgente,
         "OptUrgente", QStringLiteral("Urgente"));

    Check1 = new QCheckBox(QStringLiteral("A Transportar"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setToolTip(QStringLiteral("Apanhar em Domicílio"));

    Frame6 = new QGroupBox(QStringLiteral("Ordem de Serviço"), this);
    Frame6->setObjectName(QStringLiteral("Frame6"));
    BtEntrada = Widgets::button(Frame6, QStringLiteral("BtEntrada"), QStringLiteral("Confirmar &Entrada"),
                                QStringLiteral("Emitir Ordem de Serviço"));
    BtEntrada->setEnabled(false);
    BtEntrada->setMinimumHeight(36);
    Label3 = Widgets::label(Frame6, QStringLiteral("Label3"), QStringLiteral("99999"));
    QFont big = Label3->font();
    big.setPointSize(20);
    big.setBold(true);
    Label3->setFont(big);
    QPalette red = Label3->palette();
    red.setColor(QPalette::WindowText, DarkRed);
    Label3->setPalette(red);
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setMinimumWidth(Label3->fontMetrics().horizontalAdvance(QStringLiteral("9999999")));
    // The number's room is kept while it is hidden, so nothing moves when it shows.
    QSizePolicy keep = Label3->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    Label3->setSizePolicy(keep);
    Label3->setVisible(false);
    {
        auto* v = new QVBoxLayout(Frame6);
        v->addWidget(BtEntrada);
        v->addWidget(Label3);
    }
    BtFechar = Widgets::closeButton(this);
    BtFechar->setToolTip(QStringLiteral("Fechar"));

    auto* orderRow = new QHBoxLayout;
    orderRow->addWidget(Frame5);
    orderRow->addWidget(Frame3, 1);
    auto* options = new QVBoxLayout;
    options->addWidget(Frame4);
    options->addWidget(Frame7);
    orderRow->addLayout(options);
    auto* right = new QVBoxLayout;
    right->addWidget(Frame6);
    right->addWidget(Check1);
    right->addStretch(1);
    right->addWidget(BtFechar);
    orderRow->addLayout(right);
    root->addLayout(orderRow);

    connect(ComboAparelho, &QComboBox::currentIndexChanged, this, &FrmEntrada::ComboAparelho_Click);
    connect(BtEntrada, &QPushButton::clicked, this, &FrmEntrada::BtEntrada_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmEntrada::BtFechar_Click);

    // The defect comes first; the pre-filled appliance after the order's choices.
    QList<QWidget*> chain = {Txt[21], Txt[22], Txt[23], TxtOperador, Option1[0], Option1[1], Option1[2],
                             OptInterno, OptExterno};
    for (int i = FirstWarrantyBox; i <= LastBox; ++i) chain << Txt[std::size_t(i)];
    chain << OptNormal << OptUrgente << BtEntrada << ComboAparelho << Combo[1] << Txt[17] << Txt[18] << Txt[19]
          << Txt[20] << Combo[3] << Check1 << BtFechar;
    for (int i = 0; i + 1 < chain.size(); ++i) setTabOrder(chain[i], chain[i + 1]);
}

void FrmEntrada::Form_Load() {
    const QString path = ProgramFolder::databasePath();
    try {
        DataFrmEntrada.open(path, QStringLiteral("TblManutencao"));
        DataMarca.open(path, QStringLiteral("TblMarca"));
        DataAparelho.open(path, QStringLiteral("SELECT * FROM TblAparelhos ORDER BY Aparelho"));
        DataOperador.open(path, QStringLiteral("TblOperador"), QString::fromLatin1(ConnectWithPassword));
        DataTecnico.open(path, QStringLiteral("TblTecnicos"));
        DataRestricao.open(path, QStringLiteral("TblRestricao"));
        DataEmpresa.open(path, QStringLiteral("TblEmpresa"));
    } catch (const std::exception& e) {
        CustomerForm::showDbError(CustomerForm::Task::Read,
                                  {QStringLiteral("Ocorreu um Erro ao tentar abrir o Cadastro de Ordens de Serviço.")},
                                  e, QStringLiteral("Nova Ordem de Serviço"));
    }

    const auto& sel = Modulo::DadosSelecionados;
    for (int i = 0; i <= 13; ++i) Lbl[std::size_t(i)]->setText(sel[std::size_t(i)]);
    for (int i = 17; i <= 20; ++i) Txt[std::size_t(i)]->setText(sel[std::size_t(i)]);

    // The lists; a list that cannot be read stays as far as it got.
    try {
        std::vector<std::pair<QString, int>> items;
        if (DataMarca.isOpen())
            for (DataMarca.moveFirst(); !DataMarca.eof(); DataMarca.moveNext())
                items.emplace_back(DataMarca.text(QStringLiteral("Marca")), 0);
        addSorted(Combo[1], items);
        // Each type keeps the position of its department in the hidden list,
        // so the department always belongs to the chosen type.
        items.clear();
        if (DataAparelho.isOpen())
            for (DataAparelho.moveFirst(); !DataAparelho.eof(); DataAparelho.moveNext()) {
                items.emplace_back(DataAparelho.text(QStringLiteral("Aparelho")), ComboDpto->count());
                ComboDpto->addItem(DataAparelho.text(QStringLiteral("Dpto")));
            }
        addSorted(ComboAparelho, items);
        items.clear();
        if (DataTecnico.isOpen())
            for (DataTecnico.moveFirst(); !DataTecnico.eof(); DataTecnico.moveNext())
                items.emplace_back(DataTecnico.text(QStringLiteral("NomeTecnico")), 0);
        addSorted(Combo[3], items);
    } catch (const std::exception& e) {
        CustomerForm::showDbError(CustomerForm::Task::Read,
                                  {QStringLiteral("Ocorreu um Erro ao tentar ler as Listas de Aparelhos, Marcas e "
                                                  "Técnicos.")},
                                  e, QStringLiteral("Nova Ordem de Serviço"));
    }

    // The handed-over type and brand; a value not listed leaves no selection.
    ComboAparelho->setCurrentIndex(ComboAparelho->findText(sel[15]));
    Combo[1]->setCurrentIndex(Combo[1]->findText(sel[16]));
    Combo[3]->setCurrentIndex(-1);
    ComboAparelho_Click();

    if (Modulo::RetornoGarantia) {
        Option1[Orcamento]->setEnabled(false);
        Option1[GarFabrica]->setEnabled(false);
        Option1[GarServico]->setEnabled(true);
        Option1[GarServico]->setChecked(true);
        Combo[3]->setCurrentIndex(Combo[3]->findText(Modulo::TecnicoRetorno.toString()));
        Modulo::TecnicoRetorno = QString();
        Modulo::RetornoGarantia = false;
        ComboAparelho->setEnabled(false);
        Combo[1]->setEnabled(false);
        for (int i = 17; i <= 20; ++i) Txt[std::size_t(i)]->setEnabled(false);
        if (ComboAparelho->currentIndex() < 0 || Combo[1]->currentIndex() < 0) {
            MsgBox(lines({QStringLiteral("ATENÇÃO"), QStringLiteral("Este 'Aparelho' ou 'Marca' foi Excluído!"),
                          QStringLiteral("Portanto será Necessário Recadastrá-los")}),
                   MsgButtons::Ok, MsgIcon::Critical, std::nullopt, QStringLiteral("Nova Ordem de Serviço"));
            Frame2->setEnabled(false);
        }
    }
    m_check = new ValidaSenhaOperador(TxtOperador, &DataOperador, OperatorCheckRows::FrmEntrada, this);
}

void FrmEntrada::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

void FrmEntrada::Form_Unload() {
    for (QString& slot : Modulo::DadosSelecionados) slot.clear();
}

void FrmEntrada::BtFechar_Click() { reject(); }

void FrmEntrada::ComboAparelho_Click() {
    const QVariant position = ComboAparelho->currentData();
    ComboDpto->setCurrentIndex(position.isValid() ? position.toInt() : -1);
}

void FrmEntrada::setWarrantyBoxesOpen(bool open) {
    for (int i = FirstWarrantyBox; i <= LastBox; ++i) {
        Lbl[std::size_t(i)]->setEnabled(open);
        Txt[std::size_t(i)]->setReadOnly(!open);
        // Out of the tab order while locked; a click still reaches the box.
        Txt[std::size_t(i)]->setFocusPolicy(open ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void FrmEntrada::Option1_Click(int) {
    const bool factory = Option1[GarFabrica]->isChecked();
    setWarrantyBoxesOpen(factory);
    if (factory) Txt[FirstWarrantyBox]->setFocus();
}

int FrmEntrada::selectedType() const {
    for (int i = 0; i < 3; ++i)
        if (Option1[std::size_t(i)]->isChecked()) return i;
    return -1;
}

QString FrmEntrada::GeraNumSerie2() { return GeraNumSerie(DataEmpresa); }

QString FrmEntrada::applianceCriterion() const {
    return QStringLiteral("Aparelho = ") + SqlDialect::quote(ComboAparelho->currentText()) +
           QStringLiteral(" AND Marca = ") + SqlDialect::quote(Combo[1]->currentText()) +
           QStringLiteral(" AND Modelo = ") + SqlDialect::quote(Txt[17]->text().trimmed()) +
           QStringLiteral(" AND NumSerie = ") + SqlDialect::quote(Txt[19]->text().trimmed());
}

bool FrmEntrada::findOpenOrder(const QString& criterion) {
    // Orders other copies opened since the window loaded count too.
    DataFrmEntrada.requery();
    return DataFrmEntrada.findFirst(criterion);
}

void FrmEntrada::showDuplicate() {
    MsgBox(lines({QStringLiteral("ATENÇÃO!"), QStringLiteral("Não poderá ser dado entrada neste Equipamento"),
                  QStringLiteral("Já existe um Aparelho \"") + DataFrmEntrada.text(QStringLiteral("Status")) +
                      QStringLiteral("\" com estas mesmas especificações!"),
                  QStringLiteral("Ordem de Serviço N. ") + DataFrmEntrada.text(QStringLiteral("Os"))}),
           MsgButtons::Ok, MsgIcon::Critical, std::nullopt, Title);
}

bool FrmEntrada::restrictionsAllow(const QString& criterion) {
    // A refusal among the matching rows wins over a warning, whatever their
    // order. The refusing type is its exact text: the database's own
    // comparison would take another case or accent for it.
    const auto check = [this](const QString& match, const QString& refusal, const QString& warning) {
        QStringList types;
        for (const QVariantList& row : DataRestricao.database().rows(
                 QStringLiteral("SELECT Tipo FROM TblRestricao WHERE ") + SqlDialect::translate(match)))
            types << row.value(0).toString();
        if (types.contains(NaoPermitirEntrada)) {
            MsgBox(lines({QStringLiteral("ATENÇÃO"), refusal, QStringLiteral("Comunique a Gerência Imediatamente")}),
                   MsgButtons::Ok, MsgIcon::Critical, std::nullopt, Title);
            return false;
        }
        if (!types.isEmpty())
            MsgBox(lines({QStringLiteral("ATENÇÃO"), warning,
                          QStringLiteral("Dê Entrada Normalmete e Comunique a Gerência o mais depressa possível")}),
                   MsgButtons::Ok, MsgIcon::Critical, std::nullopt, Title);
        return true;
    };
    bool codeOk = false;
    const qlonglong code = Lbl[0]->text().trimmed().toLongLong(&codeOk);
    if (codeOk &&
        !check(QStringLiteral("IdCliente = %1").arg(code),
               QStringLiteral("Não poderá ser dado Entrada neste Aparelho porque Existe Restrições para este Cliente."),
               QStringLiteral("Existe Restrições para este Cliente.")))
        return false;
    return check(criterion,
                 QStringLiteral("Não poderá ser dado Entrada neste Aparelho porque ele possui Restrições."),
                 QStringLiteral("Existe Restrições para este Aparelho."));
}

qint64 FrmEntrada::saveOrder(const QString& criterion) {
    static const char* const CustomerCopy[11] = {"Nome", "Endereco", "Complemento", "Bairro",
                                                 "Cidade", "Estado", "Cep", "TelResidencia",
                                                 "TelComercial", "Fax", "Celular"};
    static const char* const ApplianceBoxes[7] = {"Modelo", "Chassis", "NumSerie", "Tensao",
                                                  "Defeito", "EstadoAparelho", "Acessorios"};
    // The last look for an open order and the new row in one transaction:
    // two copies cannot both take the same appliance in.
    Transaction tx(DataFrmEntrada.database());
    if (findOpenOrder(criterion)) return 0;
    const auto text = [this](int i) { return Txt[std::size_t(i)]->text().trimmed(); };
    const int type = selectedType();
    DataFrmEntrada.addNew();
    try {
        bool codeOk = false;
        const qlonglong code = Lbl[0]->text().trimmed().toLongLong(&codeOk);
        DataFrmEntrada.setField(QStringLiteral("IdCliente"), codeOk ? QVariant(code) : QVariant());
        for (int i = 0; i < 11; ++i)
            DataFrmEntrada.setField(QString::fromLatin1(CustomerCopy[i]), Lbl[std::size_t(i + 1)]->text());
        DataFrmEntrada.setField(QStringLiteral("Aparelho"), ComboAparelho->currentText());
        DataFrmEntrada.setField(QStringLiteral("Marca"), Combo[1]->currentText());
        for (int i = 0; i < 7; ++i) DataFrmEntrada.setField(QString::fromLatin1(ApplianceBoxes[i]), text(17 + i));
        if (Check1->isChecked()) DataFrmEntrada.setField(QStringLiteral("Andamento"), Check1->text().toUpper());
        if (type >= 0) DataFrmEntrada.setField(QStringLiteral("Tipo"), Option1[std::size_t(type)]->text().toUpper());
        if (type == GarFabrica) {
            DataFrmEntrada.setField(QStringLiteral("Loja"), text(24).toUpper());
            DataFrmEntrada.setField(QStringLiteral("DataCompra"), text(25));
            DataFrmEntrada.setField(QStringLiteral("NotaFiscal"), text(26));
            DataFrmEntrada.setField(QStringLiteral("GarComplementar"), text(27));
        }
        DataFrmEntrada.setField(QStringLiteral("DtLmtGr"),
                                type == GarServico ? QVariant(Modulo::DataLimiteRetorno) : QVariant(Clock::today()));
        DataFrmEntrada.setField(QStringLiteral("Status"), StatusEmServico);
        DataFrmEntrada.setField(QStringLiteral("OperadorEnt"), TxtOperador->text());
        DataFrmEntrada.setField(QStringLiteral("Tecnico"), Combo[3]->currentText());
        DataFrmEntrada.setField(QStringLiteral("Dpto"), ComboDpto->currentText());
        DataFrmEntrada.setField(QStringLiteral("DataEntrada"), Clock::today());
        DataFrmEntrada.setField(QStringLiteral("HoraEntrada"), Clock::time());
        DataFrmEntrada.setField(QStringLiteral("Atendimento"),
                                OptInterno->isChecked() ? QStringLiteral("INTERNO") : QStringLiteral("EXTERNO"));
        DataFrmEntrada.setField(QStringLiteral("prioridade"),
                                OptNormal->isChecked() ? QStringLiteral("NORMAL") : QStringLiteral("URGENTE"));
        // The number is the key the insert gave, whatever other copies added.
        const qint64 os = DataFrmEntrada.update();
        tx.commit();
        return os;
    } catch (...) {
        DataFrmEntrada.cancelUpdate();
        throw;
    }
}

void FrmEntrada::BtEntrada_Click() {
    const auto stop = [](const QString& text, QWidget* focus) {
        MsgBox(text, MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, Title);
        if (focus) focus->setFocus();
    };
    // Blanks alone are no entry.
    const auto empty = [this](int i) { return Txt[std::size_t(i)]->text().trimmed().isEmpty(); };

    if (ComboAparelho->currentText().trimmed().isEmpty()) return stop(QStringLiteral("Digite o Tipo de Aparelho"), ComboAparelho);
    if (Combo[1]->currentText().trimmed().isEmpty()) return stop(QStringLiteral("Digite a Marca do Aparelho"), Combo[1]);
    if (Txt[19]->text().trimmed().size() < 4) {
        const MsgAnswer answer = MsgBox(lines({QStringLiteral("Este Equipamento não possui um Número de Série Válido."),
                                               QStringLiteral("Deseja que o Programa Gere um Número de Série pare ele?")}),
                                        MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No, Title);
        if (answer == MsgAnswer::Yes) Txt[19]->setText(GeraNumSerie2());
        Txt[19]->setFocus();
        return;
    }
    const QString criterion = applianceCriterion();
    Modulo::SqlFiltroEntregues = QStringLiteral("SELECT * FROM TblApEntregues WHERE ") + criterion;

    qint64 os = 0;
    try {
        // A save that could not be confirmed is asked about first: when it
        // was stored, this confirm writes onto that order, which is then no
        // duplicate of it.
        const qint64 own = DataFrmEntrada.unconfirmedAddKey();
        const QString others =
            own ? QStringLiteral("(") + criterion + QStringLiteral(") AND Os <> ") + QString::number(own) : criterion;
        if (findOpenOrder(others)) return showDuplicate();
        if (empty(21)) {
            const MsgAnswer answer =
                MsgBox(lines({QStringLiteral("Você não digitou nenhum defeito para este aparelho"),
                              QStringLiteral("Deseja emitir a Ordem de Serviço assim mesmo? ")}),
                       MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes, Title);
            if (answer != MsgAnswer::Yes) return Txt[21]->setFocus();
        }
        if (Option1[GarFabrica]->isChecked()) {
            for (int i = 24; i <= 26; ++i)
                if (empty(i))
                    return stop(QStringLiteral("Alguns Dados do Aparelho em Garantia de Fábrica são Obrigatórios"),
                                Txt[std::size_t(i)]);
            const std::optional<QDate> bought = Numbers::dateValue(Txt[25]->text().trimmed());
            if (!bought) return stop(QStringLiteral("Digite uma Data Válida"), Txt[25]);
            if (*bought > Clock::today())
                return stop(QStringLiteral("Data da Compra após a Data Atual - Corrija"), Txt[25]);
        }
        if (!restrictionsAllow(criterion)) return;

        os = saveOrder(others);
        if (os == 0) return showDuplicate();   // another copy took it in meanwhile
    } catch (const std::exception& e) {
        CustomerForm::showDbError(CustomerForm::Task::Write,
                                  {QStringLiteral("Ocorreu um Erro ao tentar Emitir esta Ordem de Serviço.")}, e, Title);
        return;
    }
    // The order is stored: what follows (the print offer and the print
    // window) reports its own troubles, never as a failed order.
    afterSave(os);
}

void FrmEntrada::afterSave(qint64 os) {
    Form_Unload();
    for (int i = FirstBox; i <= LastBox; ++i) Txt[std::size_t(i)]->clear();
    for (QRadioButton* option : Option1) option->setEnabled(false);
    Modulo::OsAtual = std::int32_t(os);
    Label3->setText(QString::number(Modulo::OsAtual));
    Label3->setVisible(true);
    // A warranty return gives one order per opening.
    if (Option1[GarServico]->isChecked()) BtEntrada->setEnabled(false);
    const MsgAnswer answer = MsgBox(lines({QStringLiteral("O Aparelho foi dado Entrada com Sucesso! "),
                                           QStringLiteral("Deseja Imprimir esta Ordem de Serviço Agora?")}),
                                    MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No, Title);
    if (answer == MsgAnswer::Yes) printOrder();
}

void FrmEntrada::printOrder() {
    // The print window reads the order from OsAtual; this window stays beneath it.
    WindowHost::showModal(new FrmImpressao(this));
}
