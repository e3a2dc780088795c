#include "frmdetalhes.h"

#include "customerbutton.h"
#include "frmapentregues.h"
#include "frmentrada.h"
#include "printing/frmimpdtapent.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "ui/boundfields.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Caption = QStringLiteral("Detalhes do Aparelho Entregue");

const QColor DarkBlue(0, 0, 128);
const QColor Pale(255, 224, 192);
const QColor LightYellow(255, 255, 192);

// Captions and fields of the customer copy, Label(i) and Lbl(i).
const char* const CustomerCaptions[12] = {"Codigo", "Nome",   "Endereço", "Complemento", "Bairro",   "Cidade",
                                          "Estado", "Cep",    "Tel.Res.", "Tel.Com.",    "Fax",      "Celular"};
// Room for the typing limits of the customer boxes.
const int CustomerChars[12] = {6, 36, 36, 20, 20, 18, 2, 10, 15, 15, 15, 15};
const char* const CustomerFields[12] = {"IDCliente", "Nome", "Endereco",      "Complemento",  "Bairro", "Cidade",
                                        "Estado",    "Cep",  "TelResidencia", "TelComercial", "Fax",    "Celular"};

struct Box {
    int index;
    const char* caption;
    const char* field;
};
// The appliance (Txt(15) to Txt(20) are what a new order takes over) and the factory warranty.
const Box ApplianceBoxes[] = {{15, "Aparelho", "Aparelho"},
                              {16, "Marca", "Marca"},
                              {17, "Modelo", "Modelo"},
                              {18, "Chassis", "Chassis"},
                              {19, "Núm série", "NumSerie"},
                              {20, "Tensão", "Tensao"},
                              {12, "Dpto", "Dpto"},
                              {21, "Defeito", "Defeito"},
                              {22, "Estado do Aparelho:", "EstadoAparelho"},
                              {23, "Acessórios:", "Acessorios"}};
const Box FactoryBoxes[] = {{24, "Loja", "Loja"},
                            {25, "Data da Compra", "DataCompra"},
                            {26, "Nota Fiscal", "NotaFiscal"},
                            {27, "Gar. Complementar", "GarComplementar"}};

void setForeground(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

// A label that shows a value of up to `chars` capitals: sunken, white.
QLabel* valueLabel(QWidget* parent, const QString& name, int chars) {
    QLabel* l = Widgets::label(parent, name, {});
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, Qt::white);
    l->setPalette(p);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('A'))) + 2 * l->frameWidth() + 4);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

// A caption and its value on one row of a frame's grid.
void captioned(QGridLayout* grid, int row, int column, const QString& caption, QWidget* value, int span = 1) {
    if (!caption.isEmpty()) grid->addWidget(new QLabel(caption, value->parentWidget()), row, column, Qt::AlignRight);
    grid->addWidget(value, row, column + 1, 1, span);
}

QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption) {
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(name);
    return f;
}

} // namespace

FrmDetalhes::FrmDetalhes(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmDetalhes"));
    setWindowTitle(Caption);
    buildWidgets();
    WindowKeys::install(this);
    Form_Load();
}

FrmDetalhes::~FrmDetalhes() = default;

void FrmDetalhes::buildWidgets() {
    auto* root = new QGridLayout(this);
    root->setHorizontalSpacing(8);
    root->setVerticalSpacing(6);

    // The order.
    QGroupBox* os = frame(this, QStringLiteral("FrameOs"), QStringLiteral("Ordem de Serviço"));
    auto* osGrid = new QGridLayout(os);
    Label2 = Widgets::label(os, QStringLiteral("Label2"), {});
    QFont big = Label2->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    Label2->setFont(big);
    setForeground(Label2, QColor(255, 0, 0));
    Label2->setAlignment(Qt::AlignCenter);
    osGrid->addWidget(Label2, 0, 0, 1, 4);
    struct OsValue {
        QLabel** label;
        const char* name;
        const char* caption;
        int chars;
    };
    const OsValue osValues[] = {{&Label4, "Label4", "Entrada:", 10},     {&Label6, "Label6", "Hora:", 8},
                                {&Label7, "Label7", "Dias:", 5},         {&Label14, "Label14", "Tipo:", 15},
                                {&Label3, "Label3", "Status:", 13},      {&Label5, "Label5", "Técnico:", 14},
                                {&Label1, "Label1", "Atendimento", 8},   {&Label9, "Label9", "Conclusão:", 10},
                                {&Label15, "Label15", "Operador:", 14}};
    int i = 0;
    for (const OsValue& v : osValues) {
        *v.label = valueLabel(os, QString::fromLatin1(v.name), v.chars);
        captioned(osGrid, 1 + i, 0, QString::fromUtf8(v.caption), *v.label);
        ++i;
    }
    // The order, the factory warranty and the exit on the left; the
    // customer, the appliance and the report on the right.
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    root->addLayout(left, 0, 0);
    root->addLayout(right, 0, 1);
    left->addWidget(os);

    // The customer copy.
    QGroupBox* customer = frame(this, QStringLiteral("FrameCliente"), QStringLiteral("Dados do Cliente"));
    auto* cGrid = new QGridLayout(customer);
    for (int c = 0; c < 12; ++c) {
        Label[std::size_t(c)] = Widgets::label(customer, QStringLiteral("Label(%1)").arg(c), QString::fromUtf8(CustomerCaptions[c]));
        Lbl[std::size_t(c)] = valueLabel(customer, QStringLiteral("Lbl(%1)").arg(c), CustomerChars[c]);
    }
    // Code and name, address and complement, district, city and state, postal code and the phones.
    const int places[12][3] = {{0, 0, 1}, {1, 0, 3}, {2, 0, 3}, {3, 0, 1}, {3, 2, 1}, {4, 0, 1},
                               {4, 2, 1}, {5, 0, 1}, {6, 0, 1}, {6, 2, 1}, {7, 0, 1}, {7, 2, 1}};
    for (int c = 0; c < 12; ++c) {
        cGrid->addWidget(Label[std::size_t(c)], places[c][0], places[c][1], Qt::AlignRight);
        // The code keeps its own height beside the taller customer button.
        cGrid->addWidget(Lbl[std::size_t(c)], places[c][0], places[c][1] + 1, 1, places[c][2],
                         c == 0 ? Qt::AlignVCenter : Qt::Alignment());
    }
    cGrid->setColumnStretch(1, 1);
    cGrid->setColumnStretch(3, 1);
    BtCadCliente = CustomerButton::make(customer);
    cGrid->addWidget(BtCadCliente, 0, 2, 1, 2, Qt::AlignLeft);
    right->addWidget(customer);

    // The appliance and the factory warranty.
    const auto box = [this](QWidget* parent, const Box& b) {
        auto* t = Widgets::lineEdit(parent, QStringLiteral("Txt(%1)").arg(b.index));
        t->setReadOnly(true);
        QPalette p = t->palette();
        p.setColor(QPalette::Base, LightYellow);
        t->setPalette(p);
        Txt[std::size_t(b.index)] = t;
        return t;
    };
    QGroupBox* appliance = frame(this, QStringLiteral("FrameAparelho"), QStringLiteral("Dados do Aparelho"));
    auto* aGrid = new QGridLayout(appliance);
    i = 0;
    for (const Box& b : ApplianceBoxes) {
        QLineEdit* t = box(appliance, b);
        if (i < 7) {
            t->setMinimumWidth(t->fontMetrics().horizontalAdvance(QString(15, QLatin1Char('A'))));
            captioned(aGrid, i / 2, (i % 2) * 2, QString::fromUtf8(b.caption), t);
        } else {
            // The defect, state and accessories at their typing limits.
            t->setMinimumWidth(Widgets::boxWidthFor(t, 55));
            captioned(aGrid, 4 + (i - 7), 0, QString::fromUtf8(b.caption), t, 3);
        }
        ++i;
    }
    right->addWidget(appliance);

    QGroupBox* factory = frame(this, QStringLiteral("FrameGarantia"), QStringLiteral("Garantia de Fábrica"));
    auto* fGrid = new QGridLayout(factory);
    i = 0;
    for (const Box& b : FactoryBoxes) {
        QLineEdit* t = box(factory, b);
        t->setMinimumWidth(t->fontMetrics().horizontalAdvance(QString(16, QLatin1Char('A'))));
        captioned(fGrid, i++, 0, QString::fromUtf8(b.caption), t);
    }

    // The exit.
    QGroupBox* exit = frame(this, QStringLiteral("FrameSaida"), QStringLiteral("Saída"));
    auto* eGrid = new QGridLayout(exit);
    Label8 = valueLabel(exit, QStringLiteral("Label8"), 10);
    Label10 = valueLabel(exit, QStringLiteral("Label10"), 8);
    Label12 = valueLabel(exit, QStringLiteral("Label12"), 14);
    Label11 = valueLabel(exit, QStringLiteral("Label11"), 10);
    Label13 = valueLabel(exit, QStringLiteral("Label13"), 14);
    captioned(eGrid, 0, 0, QStringLiteral("Data:"), Label8);
    captioned(eGrid, 0, 2, QStringLiteral("Hora:"), Label10);
    captioned(eGrid, 1, 0, QStringLiteral("Operador:"), Label12, 3);
    captioned(eGrid, 2, 0, QStringLiteral("Garantia Até:"), Label11);
    captioned(eGrid, 3, 0, QStringLiteral("Valor Cobrado:"), Label13, 3);
    for (QLabel* l : {Label8, Label10, Label11}) setForeground(l, DarkBlue);
    QFont boldValue = Label13->font();
    boldValue.setBold(true);
    Label13->setFont(boldValue);

    left->addWidget(factory);
    left->addWidget(exit);
    left->addStretch(1);

    // The service report.
    QGroupBox* report = frame(this, QStringLiteral("FrameRelatorio"), QStringLiteral("Relatório do Serviço"));
    auto* rLayout = new QVBoxLayout(report);
    List1 = new QListWidget(report);
    List1->setObjectName(QStringLiteral("List1"));
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(6.75);
    List1->setFont(small);
    List1->setMinimumSize(420, 150);
    rLayout->addWidget(List1);
    right->addWidget(report, 1);

    // The buttons.
    auto* buttons = new QHBoxLayout;
    BtRecibo = Widgets::button(this, QStringLiteral("BtRecibo"), QStringLiteral("2a. Via Recibo"));
    BtRecibo->setEnabled(false);
    BtImpressao = Widgets::button(this, QStringLiteral("BtImpressao"), QStringLiteral("&Imprimir OS"));
    BtRetorno = Widgets::button(this, QStringLiteral("BtRetorno"), QStringLiteral("&Nova Ordem de Serviço"),
                                QStringLiteral("Retornar o Aparelho para Reparo"));
    BtFechar = Widgets::closeButton(this);
    buttons->addWidget(BtRecibo);
    buttons->addStretch(1);
    for (QPushButton* b : {BtImpressao, BtRetorno, BtFechar}) {
        b->setMinimumHeight(32);
        buttons->addWidget(b);
    }
    root->addLayout(buttons, 1, 0, 1, 2);
    root->setColumnStretch(1, 1);

    connect(BtImpressao, &QPushButton::clicked, this, &FrmDetalhes::BtImpressao_Click);
    connect(BtRetorno, &QPushButton::clicked, this, &FrmDetalhes::BtRetorno_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmDetalhes::BtFechar_Click);
    connect(BtCadCliente, &QPushButton::clicked, this, &FrmDetalhes::BtCadCliente_Click);
}

void FrmDetalhes::Form_Load() {
    const std::int32_t id = Modulo::IdApEntregueAtual;
    try {
        WaitCursor wait;
        DataApEntregue.open(ProgramFolder::databasePath(), QStringLiteral("TblApEntregues"));
        m_found = DataApEntregue.findFirst(QStringLiteral("IdApEntregues = %1").arg(id));
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível ler os Detalhes deste Aparelho.")}, ErrorInfo::from(e),
                  QStringLiteral("%1__%2"), Caption);
        m_found = false;
        return;
    }
    if (!m_found) {
        MsgBox(QStringLiteral("O Aparelho Entregue N.: %1 não foi encontrado.\rEle pode ter sido excluído em outro "
                              "computador.")
                   .arg(id),
               MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, Caption);
        return;
    }

    m_bound = new BoundFields(&DataApEntregue, this);
    m_bound->bind(Label2, QStringLiteral("OS"));
    m_bound->bind(Label4, QStringLiteral("DataEntrada"));
    m_bound->bind(Label6, QStringLiteral("HoraEntrada"));
    m_bound->bind(Label7, QStringLiteral("Dias"));
    m_bound->bind(Label14, QStringLiteral("Tipo"));
    m_bound->bind(Label3, QStringLiteral("Status"));
    m_bound->bind(Label5, QStringLiteral("Tecnico"));
    m_bound->bind(Label1, QStringLiteral("Atendimento"));
    m_bound->bind(Label9, QStringLiteral("DataConcluido"));
    m_bound->bind(Label15, QStringLiteral("OperadorEnt"));
    for (int c = 0; c < 12; ++c) m_bound->bind(Lbl[std::size_t(c)], QString::fromLatin1(CustomerFields[c]));
    for (const Box& b : ApplianceBoxes) m_bound->bind(Txt[std::size_t(b.index)], QString::fromLatin1(b.field));
    for (const Box& b : FactoryBoxes) m_bound->bind(Txt[std::size_t(b.index)], QString::fromLatin1(b.field));
    m_bound->bind(Label8, QStringLiteral("DataSaida"));
    m_bound->bind(Label10, QStringLiteral("HoraSaida"));
    m_bound->bind(Label12, QStringLiteral("OperadorSaida"));
    m_bound->bind(Label11, QStringLiteral("DataLimiteGarantia"));
    m_bound->show();

    Label13->setText(BoundFields::displayText(DataApEntregue.field(QStringLiteral("ValorCobrado")), FieldFormat::CurrencyText));
    // Left without any service warranty beyond its exit day.
    if (Label8->text() == Label11->text()) setForeground(Label11, Pale);
    List1->addItems(Relatorio(DataApEntregue));
    const QVariant warranty = DataApEntregue.field(QStringLiteral("Garantia de Serviço"));
    if (warranty.isValid() && !warranty.toBool()) BtRetorno->setEnabled(false);
}

QStringList FrmDetalhes::Relatorio(const RecordCursor& row) {
    const auto blanks = [](int n) { return QString(n, QLatin1Char(' ')); };
    const auto run = [](int n, char c) { return QString(n, QLatin1Char(c)); };
    const auto text = [&row](const char* field) { return row.text(QString::fromLatin1(field)); };
    QStringList lines;
    lines << blanks(5) + QStringLiteral("=== Material Empregado: ===") << run(100, '-');
    for (const char* parts : {"Relatorio0", "Relatorio1", "Relatorio2", "Relatorio3", "Relatorio4", "Relatorio55"}) {
        const QString line = text(parts);
        if (line.size() > 3) lines << line;
    }
    // The checkout stores the labour with its currency sign ("R$45,00"); the
    // line names the sign once.
    QString labour = text("Relatorio5");
    if (labour.startsWith(QStringLiteral("R$"))) labour = labour.mid(2).trimmed();
    lines << run(105, '-') << blanks(51) + QStringLiteral("MÃO DE OBRA: R$ ") + labour
          << blanks(56) + QStringLiteral("SUB TOTAL: ") + text("Relatorio6")
          << blanks(55) + QStringLiteral("DESCONTO: ") + text("Relatorio7") << blanks(50) + run(55, '-')
          << blanks(51) + QStringLiteral("TOTAL DO SERVIÇO: ") +
                 BoundFields::displayText(row.field(QStringLiteral("ValorCobrado")), FieldFormat::Auto)
          << run(105, '-') << QStringLiteral("Observações:");
    for (const char* obs : {"Relatorio9", "Relatorio10", "Relatorio11"}) lines << text(obs);
    lines << run(60, '=') << QStringLiteral("Forma de Pagamento:");
    for (const char* pay : {"Relatorio12", "Relatorio13", "Relatorio14", "Relatorio15", "Relatorio16"}) lines << text(pay);
    return lines;
}

QStringList FrmDetalhes::reportLines() const {
    QStringList lines;
    for (int r = 0; r < List1->count(); ++r) lines << List1->item(r)->text();
    return lines;
}

void FrmDetalhes::BtImpressao_Click() {
    if (MsgBox(QStringLiteral("Confirma a Impressão dos Detalhes desta Ordem de Serviço"), MsgButtons::YesNo,
               MsgIcon::Question, MsgAnswer::Yes, QStringLiteral("ORDEM DE SERVIÇO")) == MsgAnswer::No)
        return;
    Modulo::IdApEntregueAtual = std::int32_t(DataApEntregue.number(QStringLiteral("IdApEntregues")));
    WindowHost::showModal(new FrmImpDtApEnt(this));
}

void FrmDetalhes::BtCadCliente_Click() {
    CustomerButton::open(
        std::int32_t(DataApEntregue.number(QStringLiteral("IdCliente"))), [this] { accept(); }, [] {
            MsgBox(QStringLiteral("O Cadastro deste Cliente foi Excluído"), MsgButtons::Ok, MsgIcon::Exclamation,
                   std::nullopt, QStringLiteral("Cadastro de Clientes"));
        });
}

void FrmDetalhes::BtRetorno_Click() {
    // A flag holding no value opens an ordinary new order.
    const QVariant warranty = DataApEntregue.field(QStringLiteral("Garantia de Serviço"));
    Modulo::RetornoGarantia = warranty.isValid() && warranty.toBool();
    if (Modulo::RetornoGarantia) {
        Modulo::DataLimiteRetorno = DataApEntregue.date(QStringLiteral("DATALIMITEGARANTIA"));
        Modulo::TecnicoRetorno = DataApEntregue.field(QStringLiteral("Tecnico"));
    }
    for (int c = 0; c < 12; ++c) Modulo::DadosSelecionados[std::size_t(c)] = Lbl[std::size_t(c)]->text();
    for (int t = 15; t <= 20; ++t) Modulo::DadosSelecionados[std::size_t(t)] = Txt[std::size_t(t)]->text();
    done(NovaOrdem);
}

void FrmDetalhes::BtFechar_Click() { reject(); }

void FrmDetalhes::startNewOrder() {
    WindowHost::closeList<FrmApEntregues>();
    FrmEntrada::run();
}
