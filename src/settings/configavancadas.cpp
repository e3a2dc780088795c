#include "configavancadas.h"

#include "listeditor.h"
#include "operators/frmaltacesso.h"
#include "operators/frmaltsenha.h"
#include "operators/frmexoperador.h"
#include "operators/frmnvoperador.h"
#include "operators/validasenhaoperador.h"
#include "settingsrow.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "ui/boundfields.h"
#include "ui/gridmodel.h"
#include "ui/numbers.h"
#include "ui/textentry.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Configurações Avançadas");

// A company box: its frame's caption, its name, its field and its limit.
struct CompanyBox {
    const char* frame;
    const char* name;
    const char* field;
    int limit;
};
constexpr CompanyBox CompanyBoxes[] = {
    {"Nome da Empresa", "TxtNomeEmpresa", "NomeReal", 50},
    {"Nome Fantasia da Empresa", "Text2", "NomeFantasia", 25},
    {"Sigla", "Text3", "Sigla", 2},
    {"Endereço Completo", "TxTEndereco", "Endereco", 50},
    {"Cep", "Text4", "Cep", 15},
    {"Cidade / Estado", "Text5", "Cidade", 20},
    {"Cidade / Estado", "Text6", "Estado", 2},
    {"Telefone 1", "TxtFone1", "Fone1", 15},
    {"Telefone 2", "TxtFone2", "Fone2", 15},
    {"Fax", "TxtFax", "Fax", 15},
    {"E-mail", "TxtEmail", "Email", 45},
    {"CGC", "TxtCGC", "CGC", 20},
    {"Inscrição Estadual", "TxtInsEstadual", "InscEstadual", 20},
    {"Inscrição Municipal", "TxtInscMunicipal", "InscMunicipal", 20},
};

// The restriction's detail boxes: label and field; only the reason is editable.
constexpr std::array<std::pair<const char*, const char*>, 9> RestrictionBoxes = {{
    {"Cliente", "Cliente"}, {"Aparelho", "Aparelho"}, {"Marca", "Marca"}, {"Modelo", "Modelo"},
    {"Núm.Série", "NumSerie"}, {"Motivo", "Motivo"}, {"Operador", "OpRestricao"}, {"Data", "DataRestricao"},
    {"Nivel", "Tipo"}}};
constexpr int MotivoBox = 5;

// A text box of the company record: name, typing limit, Enter moves on.
QLineEdit* companyLine(QWidget* parent, const QString& name, int limit) {
    QLineEdit* box = Widgets::lineEdit(parent, name);
    TextEntry::attach(box, TextEntry::EnterMovesNext);
    TextEntry::setTypingLimit(box, limit);
    return box;
}

QGroupBox* frame(QWidget* parent, const QString& caption, const QString& name = {}) {
    auto* f = new QGroupBox(caption, parent);
    if (!name.isEmpty()) f->setObjectName(name);
    return f;
}

ListFamily statusFamily() {
    ListFamily f;
    f.table = QStringLiteral("TblStatus");
    f.field = QStringLiteral("TipoStatus");
    f.prompt = QStringLiteral("Digite o Nome do Status");
    f.maxLength = 13;
    f.lengthMessage = QStringLiteral("Digite o Nome do Status com no Máximo 13 Caracteres");
    f.selectionMessage = QStringLiteral("Selecione o Nome do Status a ser Excluído !!!");
    f.selectionTitle = QStringLiteral("Exclusão de Status");
    // These drive intake and checkout.
    f.builtIn = {QStringLiteral("PRONTO"), QStringLiteral("EM SERVIÇO"), QStringLiteral("SEM CONSERTO")};
    f.builtInMessage = QStringLiteral("Este Status nao poderar ser Excluído");
    f.builtInTitle = QStringLiteral("Impossível Excluir");
    f.notice = [](const QString& name) {
        return quotedNotice(QStringLiteral("O Status:"), name, QStringLiteral("Será Excluído !"));
    };
    f.addError = QStringLiteral("Ocorreu um Erro ao tentar Cadastrar este Status!");
    f.deleteError = QStringLiteral("Ocorreu um Erro ao tentar Excluir este Status!");
    return f;
}

ListFamily priceFamily() {
    ListFamily f;
    f.table = QStringLiteral("TblPrecoMObra");
    f.field = QStringLiteral("Aparelho");
    f.selectionMessage = QStringLiteral("Selecione o aparelho que deseja excluir! ");
    f.selectionIcon = MsgIcon::Exclamation;
    f.selectionTitle = QStringLiteral("Exclusão de Preço de Mão de Obra");
    f.notice = [](const QString&) {
        return QStringLiteral("O Aparelho selecionado será Excluído da Tabela de Preços de Mão de Obra !");
    };
    f.addError = QStringLiteral("Ocorreu um Erro ao tentar Cadastrar este Preço de Mão de Obra!");
    f.deleteError = QStringLiteral("Ocorreu um Erro ao tentar Excluir este Preço de Mão de Obra!");
    // The type padded to 20 characters, then the price: prices line up in
    // the fixed-pitch list.
    f.lineText = [](const RecordCursor& c, int index) {
        const QString aparelho = c.valueAt(index, c.fieldIndex(QStringLiteral("Aparelho"))).toString();
        const Currency preco = c.valueAt(index, c.fieldIndex(QStringLiteral("Preco"))).value<Currency>();
        return aparelho + QString(std::max<qsizetype>(0, 20 - aparelho.size()), QLatin1Char(' ')) +
               Numbers::currencyText(preco);
    };
    return f;
}

} // namespace

ConfigAvancadas::ConfigAvancadas(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ConfigAvancadas"));
    setWindowTitle(Title);
    setModal(true);

    auto* root = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    root->addWidget(SSTab1);
    const std::pair<const char*, void (ConfigAvancadas::*)(QWidget*)> tabs[] = {
        {"&Empresa", &ConfigAvancadas::buildEmpresa},
        {"&&Serviço Autorizado", &ConfigAvancadas::buildAutorizado},
        {"&M.O. / Status", &ConfigAvancadas::buildPrecosStatus},
        {"Senhas/&Oper.", &ConfigAvancadas::buildOperadores},
        {"Mensa&gens", &ConfigAvancadas::buildMensagens},
        {"&Restrição", &ConfigAvancadas::buildRestricao},
    };
    for (const auto& [caption, build] : tabs) {
        auto* page = new QWidget(SSTab1);
        (this->*build)(page);
        SSTab1->addTab(page, QString::fromUtf8(caption));
    }

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    BtFechar = Widgets::closeButton(this);
    connect(BtFechar, &QPushButton::clicked, this, &ConfigAvancadas::BtFechar_Click);
    bottom->addWidget(BtFechar);
    root->addLayout(bottom);

    m_status = new ListEditor(List1, &DataStatus, statusFamily(), this);
    m_precos = new ListEditor(List5, &DataPcMo, priceFamily(), this);
    m_precos->setKeyList(List6);
    m_check = new ValidaSenhaOperador(TxtOperador, &DataOperador, OperatorCheckRows::ConfigAvancadas, this);
    m_check->setTargets({BtExRestricao}, {}, BtExRestricao);

    WindowKeys::install(this);
    resize(800, 560);
    Form_Load();
}

ConfigAvancadas::~ConfigAvancadas() = default;

void ConfigAvancadas::buildEmpresa(QWidget* tab) {
    auto* layout = new QHBoxLayout(tab);
    auto* grid = new QGridLayout;
    layout->addLayout(grid, 1);
    // Rows of frames: (first box, how many boxes, column, column span).
    QGroupBox* cityFrame = nullptr;
    int row = 0, col = 0;
    for (const CompanyBox& b : CompanyBoxes) {
        QLineEdit* box = companyLine(tab, QString::fromLatin1(b.name), b.limit);
        const QString caption = QString::fromUtf8(b.frame);
        if (cityFrame && caption == cityFrame->title()) {
            cityFrame->layout()->addWidget(box);
            static_cast<QHBoxLayout*>(cityFrame->layout())->setStretch(1, 0);
            box->setMaximumWidth(40);
            continue;
        }
        QGroupBox* f = frame(tab, caption);
        auto* fl = new QHBoxLayout(f);
        fl->setContentsMargins(6, 2, 6, 4);
        fl->addWidget(box, 1);
        if (QLatin1String(b.field) == QLatin1String("Cidade")) cityFrame = f;
        // Long boxes take two columns.
        const int span = b.limit >= 45 ? 2 : 1;
        if (col + span > 2) { ++row; col = 0; }
        grid->addWidget(f, row, col, 1, span);
        col += span;
        if (col >= 2) { ++row; col = 0; }
    }
    grid->setRowStretch(row + 1, 1);

    QGroupBox* logo = frame(tab, QStringLiteral("Logotipo"));
    auto* ll = new QVBoxLayout(logo);
    Image1 = Widgets::label(logo, QStringLiteral("Image1"), {});
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setMinimumSize(160, 120);
    ll->addWidget(Image1);
    ll->addStretch(1);
    layout->addWidget(logo);
}

void ConfigAvancadas::buildAutorizado(QWidget* tab) {
    auto* outer = new QVBoxLayout(tab);
    QGroupBox* f = frame(tab, QStringLiteral("Serviço Autorizado"));
    auto* grid = new QGridLayout(f);
    for (int i = 0; i < 12; ++i) {
        TxtAut[std::size_t(i)] = companyLine(f, QStringLiteral("TxtAut(%1)").arg(i), 20);
        grid->addWidget(TxtAut[std::size_t(i)], i / 2, i % 2);
    }
    outer->addWidget(f);
    outer->addStretch(1);
}

void ConfigAvancadas::buildPrecosStatus(QWidget* tab) {
    auto* layout = new QHBoxLayout(tab);

    QGroupBox* precos = frame(tab, QStringLiteral("Tabela Preço Mão de Obra"));
    auto* pl = new QGridLayout(precos);
    List5 = new QListWidget(precos);
    List5->setObjectName(QStringLiteral("List5"));
    QFont fixedPitch(QStringLiteral("Courier New"));
    fixedPitch.setStyleHint(QFont::Monospace);
    List5->setFont(fixedPitch);
    List5->setMinimumWidth(QFontMetrics(fixedPitch).horizontalAdvance(QString(34, QLatin1Char('X'))));
    List6 = new QListWidget(precos);
    List6->setObjectName(QStringLiteral("List6"));
    List6->hide();
    connect(List5, &QListWidget::itemClicked, this, &ConfigAvancadas::List5_Click);
    pl->addWidget(List5, 0, 0, 1, 4);
    pl->addWidget(Widgets::label(precos, QStringLiteral("Label1"), QStringLiteral("Aparelho")), 1, 0);
    TxtAparelho = Widgets::lineEdit(precos, QStringLiteral("TxtAparelho"));
    TxtAparelho->setToolTip(QStringLiteral("Tipo de Aparelho"));
    TextEntry::setTypingLimit(TxtAparelho, 18);
    pl->addWidget(TxtAparelho, 1, 1);
    pl->addWidget(Widgets::label(precos, QStringLiteral("Label2"), QStringLiteral("Preço")), 1, 2);
    TxtPreco = Widgets::lineEdit(precos, QStringLiteral("TxtPreco"));
    TxtPreco->setToolTip(QStringLiteral("Valor da Mão de Obra"));
    // Digits and one comma, typed or pasted; "." enters ","; a text left
    // holding a lone "," (TxtPreco_Change), however it came to be, reads "0,".
    TextEntry::attach(TxtPreco, TextEntry::Money);
    TextEntry::setTypingLimit(TxtPreco, 7);
    TxtPreco->setMaximumWidth(90);
    pl->addWidget(TxtPreco, 1, 3);
    auto* pb = new QHBoxLayout;
    auto* gravar = Widgets::button(precos, QStringLiteral("BtSalvarMo"), QStringLiteral("&Gravar"),
                                   QStringLiteral("Salvar Alterações"));
    auto* excluir = Widgets::button(precos, QStringLiteral("BtExcluirMo"), QStringLiteral("Excluir"),
                                    QStringLiteral("Excluir Preço de Mão de Obra"));
    connect(gravar, &QPushButton::clicked, this, &ConfigAvancadas::BtSalvarMo_Click);
    connect(excluir, &QPushButton::clicked, this, &ConfigAvancadas::BtExcluirMo_Click);
    pb->addStretch(1);
    pb->addWidget(gravar);
    pb->addWidget(excluir);
    pl->addLayout(pb, 2, 0, 1, 4);
    layout->addWidget(precos, 3);

    QGroupBox* status = frame(tab, QStringLiteral("Status"));
    auto* sl = new QVBoxLayout(status);
    List1 = new QListWidget(status);
    List1->setObjectName(QStringLiteral("List1"));
    sl->addWidget(List1);
    auto* nv = Widgets::button(status, QStringLiteral("BtNvStatus"), QStringLiteral("Nova Status"),
                               QStringLiteral("Adicionar Novo Status"));
    auto* ex = Widgets::button(status, QStringLiteral("BtExStatus"), QStringLiteral("Excluir &Status"),
                               QStringLiteral("Excluir Status"));
    connect(nv, &QPushButton::clicked, this, &ConfigAvancadas::BtNvStatus_Click);
    connect(ex, &QPushButton::clicked, this, &ConfigAvancadas::BtExStatus_Click);
    sl->addWidget(nv);
    sl->addWidget(ex);
    layout->addWidget(status, 2);
}

void ConfigAvancadas::buildOperadores(QWidget* tab) {
    auto* layout = new QVBoxLayout(tab);
    QGroupBox* ops = frame(tab, QStringLiteral("Operadores / Niveis de Acesso"));
    auto* ol = new QVBoxLayout(ops);
    DBGrid1 = new DataGrid(ops);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    QList<GridColumn> columns{{QStringLiteral("NomeOperador"), QStringLiteral("OPERADOR"), Twips::toPixels(2200)}};
    const char* titles[] = {"INI", "EM", "BX", "CE", "USU", "FUN", "CON", "RST", "FIN"};
    const char* fields[] = {"Ini", "EmOs", "BxOs", "Ce", "CadUsu", "CadFunc", "Cnf", "Rst", "Fnr"};
    for (int i = 0; i < 9; ++i)
        columns.append({QString::fromLatin1(fields[i]), QString::fromLatin1(titles[i]), Twips::toPixels(600),
                        FieldFormat::YesNo, Qt::AlignCenter});
    DBGrid1->setColumns(columns);
    ol->addWidget(DBGrid1);
    auto* buttons = new QHBoxLayout;
    const std::tuple<const char*, const char*, const char*, void (ConfigAvancadas::*)()> made[] = {
        {"BtNvOp", "Novo Operador", "Cadastrar Novo Operador", &ConfigAvancadas::BtNvOp_Click},
        {"BtAltAcesso", "Alterar Acesso", "Alterar Níveis de Acesso", &ConfigAvancadas::BtAltAcesso_Click},
        {"BtExOp", "Excluir Operador", "Excluir Operador do Sistema", &ConfigAvancadas::BtExOp_Click},
        {"BtAlSenha", "Alterar Senha", "Alterar Senha", &ConfigAvancadas::BtAlSenha_Click},
    };
    for (const auto& [name, caption, tip, handler] : made) {
        auto* b = Widgets::button(ops, QString::fromLatin1(name), QString::fromUtf8(caption), QString::fromUtf8(tip));
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
    }
    ol->addLayout(buttons);
    layout->addWidget(ops, 1);

    QGroupBox* legenda = frame(tab, QStringLiteral("Legenda"));
    auto* lg = new QGridLayout(legenda);
    const char* lines[] = {"INI    =  Inicializar o Sistema",       "EM    =  Emitir Ordem de Serviço",
                           "BX    =  Dar Baixa em Ordem de Serviço", "CE    =  Controle de Estoque",
                           "USU =  Cadastro de Usuários",           "FUN =  Cadastro de Funcionários",
                           "CON =  Configuraçõe do Tarvel",         "RST =  Cadastrar / Remover Restrição",
                           "FIN   =  Financeiro"};
    for (int i = 0; i < 9; ++i)
        lg->addWidget(Widgets::label(legenda, QStringLiteral("LblLegenda(%1)").arg(i), QString::fromUtf8(lines[i])),
                      i % 5, i / 5);
    layout->addWidget(legenda);
}

void ConfigAvancadas::buildMensagens(QWidget* tab) {
    auto* layout = new QVBoxLayout(tab);
    LblMensagens = Widgets::label(tab, QStringLiteral("LblMensagens"),
                                  QStringLiteral("Mensagens que serão Impressas na Ordem de Serviço (Canhoto do Cliente)"));
    QFont bold = LblMensagens->font();
    bold.setBold(true);
    LblMensagens->setFont(bold);
    layout->addWidget(LblMensagens);
    for (int i = 0; i < 3; ++i) {
        QGroupBox* f = frame(tab, QStringLiteral("Mensagem %1").arg(i + 1), QStringLiteral("FrameMsg(%1)").arg(i));
        auto* fl = new QHBoxLayout(f);
        Text1[std::size_t(i)] = companyLine(f, QStringLiteral("Text1(%1)").arg(i), 100);
        QPalette red = Text1[std::size_t(i)]->palette();
        red.setColor(QPalette::Text, Qt::red);
        Text1[std::size_t(i)]->setPalette(red);
        fl->addWidget(Text1[std::size_t(i)]);
        layout->addWidget(f);
    }
    layout->addStretch(1);
}

void ConfigAvancadas::buildRestricao(QWidget* tab) {
    auto* layout = new QVBoxLayout(tab);
    QGroupBox* rest = frame(tab, QStringLiteral("Restrições"));
    auto* rl = new QGridLayout(rest);
    DBGrid2 = new DataGrid(rest);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    DBGrid2->setColumns({{QStringLiteral("IdRestricao"), QStringLiteral("Num"), Twips::toPixels(700), FieldFormat::Auto,
                          left, {GridValues::Number}},
                         {QStringLiteral("IdCliente"), QStringLiteral("Id Cliente"), Twips::toPixels(1000), FieldFormat::Auto,
                          left, {GridValues::Number}},
                         {QStringLiteral("Cliente"), QStringLiteral("Cliente"), Twips::toPixels(3000)},
                         {QStringLiteral("Aparelho"), QStringLiteral("Aparelho"), Twips::toPixels(1800)},
                         {QStringLiteral("Marca"), QStringLiteral("Marca"), Twips::toPixels(1600)}});
    rl->addWidget(DBGrid2, 0, 0, 1, 6);
    const QColor face = palette().color(QPalette::Button);
    for (int i = 0; i < 9; ++i) {
        auto* lbl = Widgets::label(rest, QStringLiteral("Lbl(%1)").arg(i),
                                   QString::fromUtf8(RestrictionBoxes[std::size_t(i)].first));
        QLineEdit* box = Widgets::lineEdit(rest, QStringLiteral("TxtRest(%1)").arg(i));
        box->setFocusPolicy(Qt::ClickFocus);   // Tab passes them by
        box->setReadOnly(i != MotivoBox);
        QPalette p = box->palette();
        p.setColor(QPalette::Base, i == MotivoBox ? TextEntry::toolTipBase() : face);
        box->setPalette(p);
        TxtRest[std::size_t(i)] = box;
        const int r = 1 + i / 3, c = (i % 3) * 2;
        rl->addWidget(lbl, r, c);
        rl->addWidget(box, r, c + 1);
    }
    auto* nova = Widgets::button(rest, QStringLiteral("BtNvRestricao"), QStringLiteral("Adicionar Restrição"),
                                 QStringLiteral("Adicionar Nova Restrição"));
    connect(nova, &QPushButton::clicked, this, &ConfigAvancadas::BtNvRestricao_Click);
    rl->addWidget(nova, 4, 0, 1, 2);
    layout->addWidget(rest, 1);

    QGroupBox* ex = frame(tab, QStringLiteral("Excluir Restrição"));
    auto* el = new QHBoxLayout(ex);
    el->addWidget(Widgets::label(ex, QStringLiteral("Label3"), QStringLiteral("Operador")));
    TxtOperador = Widgets::lineEdit(ex, QStringLiteral("TxtOperador"));
    TxtOperador->setMaximumWidth(160);
    el->addWidget(TxtOperador);
    BtExRestricao = Widgets::button(ex, QStringLiteral("BtExRestricao"), {}, QStringLiteral("Excluir Restrição"));
    BtExRestricao->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    BtExRestricao->setIconSize(QSize(24, 24));
    connect(BtExRestricao, &QPushButton::clicked, this, &ConfigAvancadas::BtExRestricao_Click);
    el->addWidget(BtExRestricao);
    el->addStretch(1);
    layout->addWidget(ex);
}

void ConfigAvancadas::Form_Load() {
    try {
        const QString path = ProgramFolder::databasePath();
        DataPcMo.open(path, QStringLiteral("TblPrecoMObra"));
        DataEmpresa.open(path, QStringLiteral("TblEmpresa"));
        DataStatus.open(path, QStringLiteral("TblStatus"));
        DataOperador.open(path, QStringLiteral("TblOperador"));
        DataRestricao.open(path, QStringLiteral("TblRestricao"));

        m_empresa = new BoundFields(&DataEmpresa, this);
        for (const CompanyBox& b : CompanyBoxes)
            m_empresa->bind(findChild<QLineEdit*>(QString::fromLatin1(b.name)), QString::fromLatin1(b.field));
        for (int i = 0; i < 12; ++i) m_empresa->bind(TxtAut[std::size_t(i)], QStringLiteral("Aut%1").arg(i + 1));
        for (int i = 0; i < 3; ++i) m_empresa->bind(Text1[std::size_t(i)], QStringLiteral("Msg%1").arg(i + 1));
        m_restricao = new BoundFields(&DataRestricao, this);
        for (int i = 0; i < 9; ++i)
            m_restricao->bind(TxtRest[std::size_t(i)], QString::fromLatin1(RestrictionBoxes[std::size_t(i)].second),
                              i == 7 ? FieldFormat::ShortDate : FieldFormat::Auto);
        DBGrid1->bindCursor(&DataOperador);
        DBGrid2->bindCursor(&DataRestricao);

        m_status->fill();
        LimpaListBox();
    } catch (const std::exception& e) {
        SettingsRow::showError(QStringLiteral("Não foi possível ler as Configurações Avançadas!"), e, Title);
    }
    // No logo, or an unreadable one: the frame stays empty.
    const QPixmap logo(ProgramFolder::file(QStringLiteral("logo.bmp")));
    if (!logo.isNull()) Image1->setPixmap(logo.scaled(Image1->minimumSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void ConfigAvancadas::LimpaListBox() {
    m_precoClicado = -1;
    try {
        m_precos->fill();
    } catch (const std::exception& e) {
        SettingsRow::showError(QStringLiteral("Não foi possível ler a Tabela de Preços de Mão de Obra!"), e, Title);
    }
}

void ConfigAvancadas::List5_Click() {
    m_precoClicado = List5->currentRow();
    if (m_precoClicado < 0 || m_precoClicado >= List6->count()) return;
    try {
        DataPcMo.findFirst(QStringLiteral("Num = ") + List6->item(m_precoClicado)->text());
    } catch (const std::exception&) {
        // The deletion finds its row again by itself.
    }
}

void ConfigAvancadas::BtSalvarMo_Click() {
    const QString aparelho = TxtAparelho->text().trimmed().toUpper();
    const QString texto = TxtPreco->text().trimmed();
    const std::optional<Currency> preco = Numbers::currencyValue(texto);
    // An unreadable price is as good as none.
    if (aparelho.isEmpty() || texto.isEmpty() || !preco) {
        MsgBox(QStringLiteral("Digite o Tipo de Aparelho e o Preço da Mão de Obra"), MsgButtons::Ok,
               MsgIcon::Exclamation);
        TxtAparelho->setFocus();
        return;
    }
    if (!m_precos->addRow({{QStringLiteral("Aparelho"), aparelho}, {QStringLiteral("Preco"), QVariant::fromValue(*preco)}}))
        return;
    LimpaListBox();
    TxtAparelho->clear();
    TxtPreco->clear();
}

void ConfigAvancadas::BtExcluirMo_Click() {
    if (m_precos->deleteSelected()) LimpaListBox();
}

void ConfigAvancadas::BtNvStatus_Click() { m_status->addFromInputBox(); }
void ConfigAvancadas::BtExStatus_Click() { m_status->deleteSelected(); }

void ConfigAvancadas::openOperatorWindow(QDialog* window) {
    WindowHost::showModal(window);
    try {
        DataOperador.refresh();
    } catch (const std::exception& e) {
        SettingsRow::showError(QStringLiteral("Não foi possível ler o Cadastro de Operadores!"), e, Title);
    }
}

bool ConfigAvancadas::selectOperator() {
    if (!DataOperador.isOpen() || !DataOperador.hasCurrent()) return false;
    Modulo::OperadorSelecionado = DataOperador.text(QStringLiteral("NomeOperador"));
    return true;
}

void ConfigAvancadas::BtNvOp_Click() {
    int operadores = 0;
    try {
        DataOperador.refresh();
        operadores = DataOperador.recordCount();
    } catch (const std::exception& e) {
        SettingsRow::showError(QStringLiteral("Não foi possível ler o Cadastro de Operadores!"), e, Title);
        return;
    }
    if (operadores >= 2) {
        MsgBox(QStringLiteral("Numero Máximo de Operadores Excedido"), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    openOperatorWindow(new frmNvOperador(this));
}

void ConfigAvancadas::BtAltAcesso_Click() {
    if (selectOperator()) openOperatorWindow(new FrmAltAcesso(this));
}

void ConfigAvancadas::BtExOp_Click() {
    if (selectOperator()) openOperatorWindow(new FrmExOperador(this));
}

void ConfigAvancadas::BtAlSenha_Click() { openOperatorWindow(new FrmAltSenha(this)); }

void ConfigAvancadas::BtExRestricao_Click() {
    if (!m_check->acessoLiberado()) return;
    // Each part of the question is read on its own; one that cannot be read
    // (no restriction is current) stays empty.
    const auto read = [this](const QString& field, FieldFormat format) {
        try {
            return BoundFields::displayText(DataRestricao.field(field), format);
        } catch (const std::exception&) {
            return QString();
        }
    };
    const QString text = QStringLiteral("Confirma Exclusão da Restrição Número: ") +
                         read(QStringLiteral("IdRestricao"), FieldFormat::Auto) + QStringLiteral("\rAdiciona em: ") +
                         read(QStringLiteral("DataRestricao"), FieldFormat::ShortDate) + QStringLiteral("\rpor: ") +
                         read(QStringLiteral("OpRestricao"), FieldFormat::Auto);
    if (MsgBox(text, MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No) != MsgAnswer::Yes) return;
    if (!DataRestricao.isOpen() || !DataRestricao.hasCurrent()) return;
    // A reason typed into the row that goes is dropped with it.
    if (m_restricao) m_restricao->show();
    try {
        DataRestricao.deleteCurrent();
    } catch (const std::exception& e) {
        // The restriction is still there: say so and stay on it.
        SettingsRow::showError(QStringLiteral("Ocorreu um Erro ao tentar Excluir esta Restrição!"), e,
                               QStringLiteral("Excluir Restrição"));
        return;
    }
    try {
        DataRestricao.moveNext();
        if (DataRestricao.eof()) DataRestricao.moveFirst();
    } catch (const std::exception&) {
    }
}

void ConfigAvancadas::BtNvRestricao_Click() {
    try {
        DataRestricao.refresh();
        DataRestricao.moveLast();
    } catch (const std::exception&) {
    }
}

void ConfigAvancadas::BtFechar_Click() { reject(); }

void ConfigAvancadas::done(int result) {
    if (BoundFields::mayClose(this)) QDialog::done(result);
}
