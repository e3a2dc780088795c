#include "frmclientes.h"

#include "customerform.h"
#include "frmaltcadastro.h"
#include "frmapcliente.h"
#include "frmloccliente.h"
#include "frmnvcliente.h"
#include "geranumserie.h"
#include "orders/frmentrada.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "ui/widgets.h"
#include "ui/boundfields.h"
#include "ui/errormessage.h"
#include "ui/gridmodel.h"
#include "ui/namesearch.h"
#include "ui/textentry.h"
#include "ui/twips.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QString g_lastSearch;

const QString DeleteTitle = QStringLiteral("Exclusão de Cadastro de Clientes");
const QString CustomersTitle = QStringLiteral("Cadastro de Clientes");
const QString NoApplianceTitle = QStringLiteral("Cadastro de Aparelho de Clientes");
const QString NoAppliance = QStringLiteral("Não existe nenhum aparelho cadastrado para este Cliente");

// The captions of the customer's fields (CustomerForm::Fields) shown in the
// labels Lbl(0) to Lbl(14).
const std::array<const char*, 15> Captions = {"Código:",          "Nome:",           "Endereço:", "Complemento:",
                                              "Bairro:",          "Cidade:",         "Estado:",   "Cep.:",
                                              "Tel. Residência:", "Tel. Comercial:", "Fax:",      "Celular:",
                                              "Obs:",             "Operador:",       "Data Cadastro:"};

// The appliance fields of DadosSelecionados sel 15 to 20.
const std::array<const char*, 6> ApplianceSlots = {"Aparelho", "Marca", "Modelo", "Chassis", "NumSerie", "Tensao"};

QString customerQuery(const QString& order) {
    return QStringLiteral("SELECT * FROM TblClientes ORDER BY ") + order;
}

} // namespace

// Cells of the appliance grid refuse the apostrophe like every other box;
// the open editor can be written on demand.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (qobject_cast<QLineEdit*>(editor)) TextEntry::attach(editor, TextEntry::NoApostrophe);
        m_editor = editor;
        return editor;
    }
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        if (m_editor == editor) m_editor = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }
    // Writes the cell being edited, if any, and closes its editor.
    void commitOpen() {
        QWidget* editor = m_editor;
        if (!editor) return;
        m_editor = nullptr;
        emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    }

private:
    mutable QPointer<QWidget> m_editor;
};

FrmClientes::FrmClientes(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmClientes"));
    setWindowTitle(QStringLiteral(" Cadastro de Clientes"));
    buildWidgets();
    WindowKeys::install(this);
    Form_Load();
}

FrmClientes::~FrmClientes() = default;

QString FrmClientes::rememberedSearch() { return g_lastSearch; }

void FrmClientes::buildWidgets() {
    TimerGrid = new WindowTimer(this, QStringLiteral("TimerGrid"), 1, true, [this] { TimerGrid_Timer(); });
    TimerAparelho = new WindowTimer(this, QStringLiteral("TimerAparelho"), 1, true, [this] { TimerAparelho_Timer(); });

    auto* root = new QGridLayout(Widgets::scrollingBody(this));
    root->setContentsMargins(6, 6, 6, 6);
    root->setHorizontalSpacing(8);
    root->setVerticalSpacing(6);

    // The customer grid.
    DBGrid1 = new DataGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setColumns({{QStringLiteral("Nome"), QStringLiteral("Nome"), Twips::toPixels(3300)},
                         {QStringLiteral("Endereco"), QStringLiteral("Endereco"), Twips::toPixels(3000)},
                         {QStringLiteral("Bairro"), QStringLiteral("Bairro"), Twips::toPixels(1600)},
                         {QStringLiteral("Cidade"), QStringLiteral("Cidade"), Twips::toPixels(1600)},
                         {QStringLiteral("Estado"), QStringLiteral("Estado"), Twips::toPixels(700)},
                         {QStringLiteral("Operador"), QStringLiteral("Operador"), Twips::toPixels(1400)},
                         {QStringLiteral("Codigo"), QStringLiteral("ID Cliente"), Twips::toPixels(1000),
                          FieldFormat::Auto, Qt::AlignRight | Qt::AlignVCenter, {GridValues::Number}}});
    root->addWidget(DBGrid1, 0, 0);

    // The current customer's fields.
    auto* dados = new QGroupBox(QStringLiteral("Dados do Cliente"), this);
    dados->setObjectName(QStringLiteral("FrameDados"));
    auto* form = new QGridLayout(dados);
    form->setHorizontalSpacing(6);
    form->setVerticalSpacing(2);
    QFont valueFont = font();
    valueFont.setBold(true);
    for (int i = 0; i < int(Captions.size()); ++i) {
        Label1[i] = new QLabel(QString::fromUtf8(Captions[i]), dados);
        Label1[i]->setObjectName(QStringLiteral("Label1(%1)").arg(i));
        Label1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Lbl[i] = new QLabel(dados);
        Lbl[i]->setObjectName(QStringLiteral("Lbl(%1)").arg(i));
        Lbl[i]->setFont(valueFont);
        Lbl[i]->setMinimumWidth(200);
        Lbl[i]->setTextInteractionFlags(Qt::NoTextInteraction);
        form->addWidget(Label1[i], i, 0);
        if (i == 0) {
            // The code is shown by LblCod; Lbl(0) holds it hidden.
            LblCod = new QLabel(dados);
            LblCod->setObjectName(QStringLiteral("LblCod"));
            LblCod->setFont(valueFont);
            form->addWidget(LblCod, i, 1);
            Lbl[i]->hide();
        } else {
            form->addWidget(Lbl[i], i, 1);
        }
    }
    form->setColumnStretch(1, 1);
    form->setRowStretch(int(Captions.size()), 1);
    root->addWidget(dados, 0, 1);

    // The customer's appliances.
    DBGrid2 = new DataGrid(this);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setCaption(QStringLiteral("Aparelhos Cadastrados"));
    DBGrid2->setColumns({{QStringLiteral("Aparelho"), QStringLiteral("Aparelho"), Twips::toPixels(1700)},
                         {QStringLiteral("Marca"), QStringLiteral("Marca"), Twips::toPixels(1500)},
                         {QStringLiteral("Modelo"), QStringLiteral("Modelo"), Twips::toPixels(1500)},
                         {QStringLiteral("NumSerie"), QStringLiteral("Núm. Série"), Twips::toPixels(1900),
                          FieldFormat::Auto, Qt::AlignLeft | Qt::AlignVCenter, {widestNumSerie()}},
                         {QStringLiteral("Chassis"), QStringLiteral("Chassis"), Twips::toPixels(1300)},
                         {QStringLiteral("Tensao"), QStringLiteral("Tensão"), Twips::toPixels(1000)}});
    DBGrid2->setEditable(true);
    m_cellDelegate = new GridCellDelegate(DBGrid2->view());
    DBGrid2->view()->setItemDelegate(m_cellDelegate);
    DBGrid2->setMinimumHeight(130);
    root->addWidget(DBGrid2, 1, 0);

    auto* selected = new QGroupBox(QStringLiteral("Aparelho Selecionado"), this);
    auto* selLayout = new QVBoxLayout(selected);
    Label3 = new QLabel(selected);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setFont(valueFont);
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignCenter);
    selLayout->addWidget(Label3);
    Label4 = new QLabel(selected);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->hide();

    // Buttons beside the appliances.
    auto* buttons = new QGridLayout;
    buttons->setSpacing(4);
    const auto button = [this](const char* name, const QString& caption, const QString& tip) {
        QPushButton* b = Widgets::button(this, name, caption, tip);
        b->setMinimumHeight(28);
        return b;
    };
    BtCad = button("BtCad", QStringLiteral("&Novo Cliente"), QStringLiteral("Cadastrar Novo Cliente"));
    BtEditar = button("BtEditar", QStringLiteral("&Alterar Cadastro"), QStringLiteral("Alterar Cadastro de Cliente"));
    BtExcluir = button("BtExcluir", QStringLiteral("&Excluir Cliente"), QStringLiteral("Excluir Cadastro de Cliente"));
    BtLocCliente = button("BtLocCliente", QStringLiteral("&Localizar Cliente"), QStringLiteral("Localizar Cliente"));
    BtNvAp = button("BtNvAp", QStringLiteral("Novo A&parelho"), QStringLiteral("Cadastrar Aparelho"));
    BtExAp = button("BtExAp", QStringLiteral("E&x Aparelho"), QStringLiteral("Excluir Cadastro de Aparelho"));
    BtFazerOs = Widgets::pictureButton(this, QStringLiteral("BtFazerOs"),
                                       style()->standardIcon(QStyle::SP_FileDialogNewFolder),
                                       QStringLiteral("Nova Ordem de Serviço"));
    BtFechar = Widgets::pictureButton(this, QStringLiteral("BtFechar"), style()->standardIcon(QStyle::SP_DialogCloseButton),
                                      QStringLiteral("Fechar"));
    buttons->addWidget(BtCad, 0, 0);
    buttons->addWidget(BtEditar, 1, 0);
    buttons->addWidget(BtExcluir, 2, 0);
    buttons->addWidget(BtLocCliente, 3, 0);
    buttons->addWidget(BtNvAp, 0, 1);
    buttons->addWidget(BtExAp, 1, 1);
    auto* pictures = new QHBoxLayout;
    pictures->addWidget(BtFazerOs);
    pictures->addWidget(BtFechar);
    buttons->addLayout(pictures, 2, 1, 2, 1);

    auto* side = new QVBoxLayout;
    side->addWidget(selected);
    side->addLayout(buttons);
    side->addStretch(1);
    root->addLayout(side, 1, 1);

    // Search, sort and count.
    auto* bottom = new QHBoxLayout;
    auto* searchFrame = new QGroupBox(QStringLiteral("Digite um Nome para Pesquisar"), this);
    auto* searchLayout = new QHBoxLayout(searchFrame);
    TxtBusca = new QLineEdit(searchFrame);
    TxtBusca->setObjectName(QStringLiteral("TxtBusca"));
    TxtBusca->setMinimumWidth(280);
    NameSearch::prepareBox(TxtBusca, 40, QStringLiteral("Localizar Cliente pelo Nome"));
    connect(TxtBusca, &QLineEdit::returnPressed, this, &FrmClientes::Busca_Nome);
    searchLayout->addWidget(TxtBusca);
    bottom->addWidget(searchFrame, 3);

    auto* sortFrame = new QGroupBox(QStringLiteral("Classificar"), this);
    auto* sortLayout = new QGridLayout(sortFrame);
    sortLayout->setVerticalSpacing(2);
    const auto option = [sortFrame](const char* name, const QString& caption) {
        auto* o = new QRadioButton(caption, sortFrame);
        o->setObjectName(QString::fromLatin1(name));
        return o;
    };
    OptNome = option("OptNome", QStringLiteral("Nome"));
    OptEndereco = option("OptEndereco", QStringLiteral("Endereco"));
    OptBairro = option("OptBairro", QStringLiteral("Bairro"));
    OptCidade = option("OptCidade", QStringLiteral("Cidade"));
    OptCodigo = option("OptCodigo", QStringLiteral("Código"));
    OptOperador = option("OptOperador", QStringLiteral("Operador"));
    OptNome->setChecked(true);
    sortLayout->addWidget(OptNome, 0, 0);
    sortLayout->addWidget(OptEndereco, 0, 1);
    sortLayout->addWidget(OptBairro, 0, 2);
    sortLayout->addWidget(OptCidade, 1, 0);
    sortLayout->addWidget(OptCodigo, 1, 1);
    sortLayout->addWidget(OptOperador, 1, 2);
    bottom->addWidget(sortFrame, 3);

    auto* countFrame = new QGroupBox(QStringLiteral("Núm.de Clientes"), this);
    auto* countLayout = new QHBoxLayout(countFrame);
    LblNumClientes = new QLabel(countFrame);
    LblNumClientes->setObjectName(QStringLiteral("LblNumClientes"));
    LblNumClientes->setAlignment(Qt::AlignCenter);
    QFont big = font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    LblNumClientes->setFont(big);
    countLayout->addWidget(LblNumClientes);
    bottom->addWidget(countFrame, 1);
    root->addLayout(bottom, 2, 0, 1, 2);

    root->setColumnStretch(0, 1);
    root->setRowStretch(0, 3);
    root->setRowStretch(1, 2);

    connect(OptNome, &QRadioButton::clicked, this, &FrmClientes::OptNome_Click);
    connect(OptEndereco, &QRadioButton::clicked, this, &FrmClientes::OptEndereco_Click);
    connect(OptBairro, &QRadioButton::clicked, this, &FrmClientes::OptBairro_Click);
    connect(OptCidade, &QRadioButton::clicked, this, &FrmClientes::OptCidade_Click);
    connect(OptCodigo, &QRadioButton::clicked, this, &FrmClientes::OptCodigo_Click);
    connect(OptOperador, &QRadioButton::clicked, this, &FrmClientes::OptOperador_Click);
    connect(BtCad, &QPushButton::clicked, this, &FrmClientes::BtCad_Click);
    connect(BtEditar, &QPushButton::clicked, this, &FrmClientes::BtEditar_Click);
    connect(BtExcluir, &QPushButton::clicked, this, &FrmClientes::BtExcluir_Click);
    connect(BtLocCliente, &QPushButton::clicked, this, &FrmClientes::BtLocCliente_Click);
    connect(BtNvAp, &QPushButton::clicked, this, &FrmClientes::BtNvAp_Click);
    connect(BtExAp, &QPushButton::clicked, this, &FrmClientes::BtExAp_Click);
    connect(BtFazerOs, &QPushButton::clicked, this, &FrmClientes::BtFazerOs_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmClientes::BtFechar_Click);

    setTabOrder(DBGrid1, DBGrid2);
    resize(1120, 680);
}

void FrmClientes::Form_Load() {
    try {
        const QString path = ProgramFolder::databasePath();
        DataFrmClientes.open(path, customerQuery(QStringLiteral("Nome")));
        DataApClientes.setDatabaseName(path);

        m_fields = new BoundFields(&DataFrmClientes, this);
        for (int i = 0; i < int(CustomerForm::Fields.size()); ++i)
            m_fields->bind(Lbl[i], CustomerForm::field(i), i == 14 ? FieldFormat::ShortDate : FieldFormat::Auto);
        m_fields->bind(LblCod, QStringLiteral("Codigo"));
        DBGrid1->bindCursor(&DataFrmClientes);
        DBGrid2->bindCursor(&DataApClientes);
        connect(&DataFrmClientes, &RecordCursor::currentChanged, this, &FrmClientes::LblCod_Change);
        connect(&DataApClientes, &RecordCursor::currentChanged, this, &FrmClientes::Label4_Change);
        // A cell still being edited belongs to the row it was opened on.
        connect(&DataApClientes, &RecordCursor::aboutToMove, this, &FrmClientes::commitApplianceEdit);

        // The cursor on every customer counted them as it opened.
        LblNumClientes->setText(QString::number(DataFrmClientes.recordCount()));
    } catch (const std::exception& e) {
        m_loadFailed = true;
        CustomerForm::showDbError(CustomerForm::Task::Read,
                                  {QStringLiteral("Ocorreu um Erro ao tentar abrir o Cadastro de Clientes.")}, e,
                                  CustomersTitle, QStringLiteral("%1_%2_%3"));
        return;
    }

    TxtBusca->setText(g_lastSearch);
    TxtBusca->setCursorPosition(int(g_lastSearch.size()));

    if (DataFrmClientes.recordCount() == 0) {
        TimerGrid->setEnabled(false);
        setRowsUsable(false);
    } else {
        TimerGrid->setEnabled(true);
    }
}

void FrmClientes::setRowsUsable(bool usable) {
    // Only new customer, sort, search and close need no current customer;
    // the empty grids stay out of the way.
    for (QPushButton* b : {BtExcluir, BtEditar, BtLocCliente, BtNvAp, BtExAp, BtFazerOs}) b->setEnabled(usable);
    DBGrid1->view()->setFocusPolicy(usable ? Qt::StrongFocus : Qt::NoFocus);
    DBGrid2->view()->setFocusPolicy(usable ? Qt::StrongFocus : Qt::NoFocus);
    DBGrid2->setEditable(usable);
}

FrmClientes* FrmClientes::create() {
    return WindowHost::keepIfLoaded(new FrmClientes);
}

FrmClientes* FrmClientes::load() { return WindowHost::loadList<FrmClientes>(&FrmClientes::create); }

FrmClientes* FrmClientes::open() { return WindowHost::openList<FrmClientes>(&FrmClientes::create); }

FrmClientes* FrmClientes::showOnCustomer(std::int32_t codigo) {
    Modulo::CodClienteAtual = codigo;
    FrmClientes* w = load();
    if (!w) return nullptr;
    w->moveToCustomer(codigo);
    WindowHost::showList(w);
    return w;
}

bool FrmClientes::moveToCustomer(std::int32_t codigo) {
    bool found = false;
    try {
        if (DataFrmClientes.isOpen()) found = DataFrmClientes.findFirst(QStringLiteral("Codigo = %1").arg(codigo));
    } catch (const std::exception&) {
        found = false;  // a failed find leaves the list where it was
    }
    // Whatever the find did, the published customer is the one shown.
    publishNow();
    return found;
}

void FrmClientes::publishNow() {
    TimerGrid->fire();
    TimerAparelho->fire();
}

void FrmClientes::LblCod_Change() { TimerGrid->setEnabled(true); }

void FrmClientes::Label4_Change() {
    Label4->setText(DataApClientes.hasCurrent() ? QString::number(DataApClientes.currentKey()) : QString());
    TimerAparelho->setEnabled(true);
}

void FrmClientes::TimerGrid_Timer() {
    TimerGrid->setEnabled(false);
    if (!DataFrmClientes.isOpen() || !DataFrmClientes.hasCurrent()) return;
    try {
        Modulo::CodClienteAtual = std::int32_t(DataFrmClientes.number(QStringLiteral("Codigo")));
        ConsultaApClientes();
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível ler os Aparelhos deste Cliente.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), CustomersTitle);
    }
}

void FrmClientes::ConsultaApClientes() {
    DataApClientes.setRecordSource(QStringLiteral("SELECT * FROM TblApClientes WHERE ID = %1").arg(Modulo::CodClienteAtual));
    DataApClientes.refresh();
}

void FrmClientes::selectAppliance() {
    auto& sel = Modulo::DadosSelecionados;
    for (int i = 15; i <= 20; ++i) sel[std::size_t(i)].clear();
    if (DataApClientes.isOpen() && DataApClientes.hasCurrent())
        for (int i = 0; i < int(ApplianceSlots.size()); ++i)
            sel[std::size_t(15 + i)] = DataApClientes.text(QString::fromLatin1(ApplianceSlots[i]));
}

void FrmClientes::TimerAparelho_Timer() {
    TimerAparelho->setEnabled(false);
    try {
        selectAppliance();
    } catch (const std::exception&) {
        // A row that cannot be read leaves the slots empty.
    }
    const auto& sel = Modulo::DadosSelecionados;
    Label3->setText(sel[15] + QLatin1Char(' ') + sel[16] + QLatin1Char(' ') + sel[17]);
}

void FrmClientes::sortBy(const QString& field) {
    try {
        WaitCursor wait;
        DataFrmClientes.setRecordSource(customerQuery(field));
        DataFrmClientes.refresh();
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível classificar a lista de Clientes.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), CustomersTitle);
    }
}

void FrmClientes::OptNome_Click() { sortBy(QStringLiteral("Nome")); }
void FrmClientes::OptEndereco_Click() { sortBy(QStringLiteral("Endereco")); }
void FrmClientes::OptBairro_Click() { sortBy(QStringLiteral("Bairro")); }
void FrmClientes::OptCidade_Click() { sortBy(QStringLiteral("Cidade")); }
void FrmClientes::OptCodigo_Click() { sortBy(QStringLiteral("Codigo")); }
void FrmClientes::OptOperador_Click() { sortBy(QStringLiteral("Operador")); }

void FrmClientes::Busca_Nome() {
    g_lastSearch = TxtBusca->text();
    try {
        NameSearch::find(DataFrmClientes, TxtBusca);
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível pesquisar o Nome digitado.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), CustomersTitle);
    }
}

void FrmClientes::addToCount(int delta) {
    LblNumClientes->setText(QString::number(LblNumClientes->text().trimmed().toLongLong() + delta));
}

void FrmClientes::BtCad_Click() {
    const bool saved = FrmNvCliente::run();
    try {
        DataFrmClientes.requery();
        if (saved) DataFrmClientes.findFirst(QStringLiteral("Codigo = %1").arg(Modulo::CodClienteAtual));
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível ler a lista de Clientes.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), CustomersTitle);
    }
    if (saved) addToCount(1);
    // The first customer of an empty list can be worked on at once.
    if (saved && !BtEditar->isEnabled() && DataFrmClientes.isOpen() && DataFrmClientes.hasCurrent())
        setRowsUsable(true);
}

void FrmClientes::BtEditar_Click() {
    if (!DataFrmClientes.hasCurrent()) return;
    for (int i = 0; i <= 12; ++i) Modulo::DadosSelecionados[std::size_t(i)] = Lbl[i]->text();
    try {
        Modulo::CodClienteAtual = std::int32_t(DataFrmClientes.number(QStringLiteral("Codigo")));
    } catch (const std::exception&) {
        return;
    }
    WindowHost::showModal(new FrmAltCadastro);
    // Shows the customer's row as it is now stored; the row stays current.
    try {
        DataFrmClientes.requery();
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível ler a lista de Clientes.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), CustomersTitle);
    }
}

void FrmClientes::BtExcluir_Click() {
    if (!DataFrmClientes.hasCurrent()) return;
    WaitCursor wait;
    qint64 code = -1;
    const auto refuse = [&](const QString& why, MsgIcon icon, const QString& title) {
        wait.release();
        MsgBox(why, MsgButtons::Ok, icon, std::nullopt, title);
    };
    try {
        code = DataFrmClientes.number(QStringLiteral("Codigo"));
        Database& db = DataFrmClientes.database();
        const QString head = QStringLiteral("ATENÇÃO!\rO Cadastro deste Cliente não poderá ser Excluído\r");

        const qlonglong inRepair =
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM TblManutencao WHERE IDCliente = %1").arg(code)).toLongLong();
        if (inRepair > 0) {
            refuse(head + QStringLiteral("Porque possui %1 Aparelho(s) atualmente em Manutençao!").arg(inRepair),
                   MsgIcon::Critical, DeleteTitle);
            return;
        }
        const qlonglong underWarranty =
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM TblApEntregues WHERE IDCliente = %1 "
                                     "AND [Garantia de Serviço] = True").arg(code)).toLongLong();
        if (underWarranty > 0) {
            refuse(head + QStringLiteral("Porque possui %1 Aparelho(s) atualmente em PERÍODO DE GARANTIA!").arg(underWarranty),
                   MsgIcon::Critical, DeleteTitle);
            return;
        }
        const qlonglong restrictions =
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM TblRestricao WHERE IdCliente = %1").arg(code)).toLongLong();
        if (restrictions > 0) {
            refuse(head + QStringLiteral("Porque Existe 'Restrições' para ele."), MsgIcon::Critical, DeleteTitle);
            return;
        }
        // The table as it is now: other windows and copies add and delete customers.
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM TblClientes")).toLongLong() <= 1) {
            refuse(QStringLiteral("Este é o único cliente e não poderá ser Excluído"), MsgIcon::Exclamation,
                   CustomersTitle);
            return;
        }

        Modulo::CodClienteAtual = std::int32_t(code);
        const QString nome = DataFrmClientes.text(QStringLiteral("Nome"));
        wait.release();
        const MsgAnswer answer =
            MsgBox(nome + QStringLiteral("\r\rTem Certeza que Deseja Excluir O Cadastro deste Cliente?\r"
                                         "Esta Operação não poderá ser Desfeita !"),
                   MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No, CustomersTitle);
        if (answer != MsgAnswer::Yes) return;

        WaitCursor busy;
        {
            // The appliances and the customer go together or not at all.
            Transaction tx(db);
            db.execute(QStringLiteral("DELETE FROM TblApClientes WHERE ID = %1").arg(code));
            DataFrmClientes.deleteCurrent();
            tx.commit();
        }
        DataFrmClientes.moveNext();
        if (DataFrmClientes.eof()) DataFrmClientes.moveFirst();
        addToCount(-1);
        busy.release();
        MsgBox(QStringLiteral("Cadastro de Cliente Excluído com Sucesso"), MsgButtons::Ok, MsgIcon::Information,
               std::nullopt, CustomersTitle);
    } catch (const std::exception& e) {
        wait.release();
        // Nothing was deleted: put the list back on the customer.
        try {
            DataFrmClientes.requery();
            if (code >= 0) DataFrmClientes.findFirst(QStringLiteral("Codigo = %1").arg(code));
        } catch (const std::exception&) {
        }
        ShowError({QStringLiteral("OCORREU UM ERRO AO TENTAR EXCLUIR O CADASTRO DESTE CLIENTE !"),
                   QStringLiteral("Se o Problema persistir, Contacte o Suporte Técnico e informe o Erro Abaixo")},
                  ErrorInfo::from(e), QStringLiteral("%1_%2_%3"), DeleteTitle);
    }
}

void FrmClientes::commitApplianceEdit() {
    if (m_cellDelegate) m_cellDelegate->commitOpen();
}

void FrmClientes::BtExAp_Click() {
    commitApplianceEdit();
    if (!DataApClientes.isOpen() || !DataApClientes.hasCurrent()) {
        MsgBox(NoAppliance, MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, NoApplianceTitle);
        return;
    }
    const QString errorLine = QStringLiteral("Ocorreu um Erro ao tentar Excluir o Cadastro deste Aparelho.");
    const QString supportLine =
        QStringLiteral("Se o Problema persistir, Contacte o Suporte Técnico e informe o Erro Abaixo");
    try {
        const QString aparelho = DataApClientes.text(QStringLiteral("Aparelho"));
        const QString modelo = DataApClientes.text(QStringLiteral("Modelo"));
        const QString serie = DataApClientes.text(QStringLiteral("NumSerie"));
        const MsgAnswer answer = MsgBox(QStringLiteral("Confirma a Exclusão do Cadastro do Aparelho Selecionado? \r"
                                                       "Apararelho: %1\rModelo: %2\rNúmero de Série: %3")
                                            .arg(aparelho, modelo, serie),
                                        MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No,
                                        QStringLiteral("Cadastro de Aparelho de Cliente"));
        if (answer != MsgAnswer::Yes) return;
        DataApClientes.deleteCurrent();
        DataApClientes.moveNext();
        if (DataApClientes.eof()) DataApClientes.moveFirst();
    } catch (const std::exception& e) {
        try {
            DataApClientes.requery();
        } catch (const std::exception&) {
        }
        ShowError({errorLine, supportLine}, ErrorInfo::from(e), QStringLiteral("%1_%2_%3"), NoApplianceTitle);
        return;
    }
    if (DataApClientes.recordCount() == 0)
        MsgBox(NoAppliance, MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, NoApplianceTitle);
}

void FrmClientes::BtNvAp_Click() {
    if (!DataFrmClientes.hasCurrent()) return;
    try {
        // The appliance goes to the customer shown, whatever was published last.
        Modulo::CodClienteAtual = std::int32_t(DataFrmClientes.number(QStringLiteral("Codigo")));
        Modulo::NomeClienteAtual = DataFrmClientes.text(QStringLiteral("Nome"));
    } catch (const std::exception&) {
        return;
    }
    WindowHost::showModal(new FrmApCliente);
    try {
        ConsultaApClientes();
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível ler os Aparelhos deste Cliente.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), CustomersTitle);
    }
}

void FrmClientes::BtFazerOs_Click() {
    commitApplianceEdit();
    if (!DataFrmClientes.hasCurrent()) return;
    try {
        // Codigo to Celular as the labels show them; the note stays out.
        for (int i = 0; i <= 11; ++i) Modulo::DadosSelecionados[std::size_t(i)] = Lbl[i]->text();
        Modulo::CodClienteAtual = std::int32_t(DataFrmClientes.number(QStringLiteral("Codigo")));
        selectAppliance();
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível ler os dados do Cliente selecionado.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), CustomersTitle);
        return;
    }
    FrmEntrada::run();
}

void FrmClientes::BtLocCliente_Click() { WindowHost::showModal(new FrmLocCliente(this)); }

void FrmClientes::BtFechar_Click() { close(); }

void FrmClientes::closeEvent(QCloseEvent* event) {
    commitApplianceEdit();
    TimerGrid->stop();
    TimerAparelho->stop();
    for (int i = 15; i <= 20; ++i) Modulo::DadosSelecionados[std::size_t(i)].clear();
    event->accept();
}
