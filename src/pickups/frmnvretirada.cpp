#include "frmnvretirada.h"

#include "app/appicons.h"
#include "operators/validasenhaoperador.h"
#include "receiptprint.h"
#include "store/clock.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/sqldialect.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/numbers.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString ReceiptTitle = QStringLiteral("Criar Novo Comprovante de Retirada");
const QString CustomersTitle = QStringLiteral("Cadastro de Clientes");

// Typing limits of Txt(0) to Txt(15).
constexpr std::array<int, ReceiptForm::Count> Limits = {40, 40, 12, 15, 15, 2, 15, 15, 50, 50, 50, 16, 15, 15, 15, 95};

// Hints of the boxes.
constexpr std::array<const char*, ReceiptForm::Count> Hints = {
    "Nome Completo", "Rua, Av",     "Casa, Apto etc", "Bairro",      "Cidade",      "Estado",
    "Telefone",      "Celular",     "Localização",    "Localização", "Localização", "Tipo",
    "Marca",         "Modelo",      "Número de Série", "Defeito"};

// The customer fields that boxes 0 to 7 fill in TblClientes.
constexpr std::array<const char*, 8> CustomerFields = {"Nome",   "Endereco", "Complemento",   "Bairro",
                                                       "Cidade", "Estado",   "TelResidencia", "Celular"};

} // namespace

FrmNvRetirada::FrmNvRetirada(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmNvRetirada"));
    setWindowTitle(QStringLiteral("Novo Comprovante de Retirada"));
    buildWidgets();
    WindowKeys::install(this);
    Form_Load();
    Txt.box(0)->setFocus();
}

FrmNvRetirada::~FrmNvRetirada() = default;

void FrmNvRetirada::buildWidgets() {
    Txt.make(this, Limits, TextEntry::Standard);
    Txt.setFocusStyle(TextEntry::FocusStyle{TextEntry::toolTipBase(), {}, true, nullptr, {}});
    for (int i = 0; i < ReceiptForm::Count; ++i) Txt.box(i)->setToolTip(QString::fromUtf8(Hints[std::size_t(i)]));

    auto* root = new QVBoxLayout(this);

    // The customer.
    auto* cliente = new QGroupBox(QStringLiteral("Cliente"), this);
    cliente->setObjectName(QStringLiteral("FrameCliente"));
    auto* grid = new QGridLayout(cliente);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(5);
    ReceiptForm::placeBoxes(grid, cliente, Txt,
                            {{0, "Nome:", 0, 0, 4}, {1, "Endereço:", 1, 0, 4}, {2, "Complemento:", 2, 0},
                             {3, "Bairro:", 2, 2, 2}, {4, "Cidade:", 3, 0}, {5, "Estado:", 3, 2},
                             {6, "Tel Residência:", 4, 0}, {7, "Celular:", 4, 2, 2}});
    Txt.box(5)->setMaximumWidth(Txt.box(5)->fontMetrics().horizontalAdvance(QStringLiteral("WWW")) + 12);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    root->addWidget(cliente);

    // Where to collect the appliance.
    auto* loc = new QGroupBox(QStringLiteral("Localização:"), this);
    loc->setObjectName(QStringLiteral("FrameLocalizacao"));
    auto* locLayout = new QVBoxLayout(loc);
    for (int i = 8; i <= 10; ++i) locLayout->addWidget(Txt.box(i));
    root->addWidget(loc);

    // The appliance.
    auto* ap = new QGroupBox(QStringLiteral("Dados do Aparelho:"), this);
    ap->setObjectName(QStringLiteral("FrameAparelho"));
    auto* apGrid = new QGridLayout(ap);
    apGrid->setHorizontalSpacing(6);
    const std::array<const char*, 4> headings = {"Tipo", "Marca", "Modelo", "Número Série"};
    for (int c = 0; c < 4; ++c) {
        apGrid->addWidget(Widgets::label(ap, QStringLiteral("Lbl(%1)").arg(11 + c), QString::fromUtf8(headings[std::size_t(c)])),
                          0, c + 1);
        apGrid->addWidget(Txt.box(11 + c), 1, c + 1);
    }
    ReceiptForm::placeBoxes(apGrid, ap, Txt, {{15, "Defeito", 2, 0, 4}});
    root->addWidget(ap);

    // The operator and the buttons.
    auto* bottom = new QHBoxLayout;
    auto* usuario = new QGroupBox(QStringLiteral("Usuário"), this);
    usuario->setObjectName(QStringLiteral("FrameUsuario"));
    auto* userLayout = new QHBoxLayout(usuario);
    TxtOperador = Widgets::lineEdit(usuario, QStringLiteral("TxtOperador"));
    TxtOperador->setFixedWidth(TxtOperador->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 11);
    userLayout->addWidget(TxtOperador);
    bottom->addWidget(usuario);
    bottom->addStretch(1);
    BtSalvar = Widgets::pictureButton(this, QStringLiteral("BtSalvar"), style()->standardIcon(QStyle::SP_DialogSaveButton),
                                      QStringLiteral("Salvar Comprovante de Retirada"));
    BtClientes = Widgets::pictureButton(this, QStringLiteral("BtClientes"), AppIcons::toolbar(QStringLiteral("Clientes")),
                                        QStringLiteral("Adicionar ao Cadastro de Clientes"));
    BtFechar = Widgets::pictureButton(this, QStringLiteral("BtFechar"), style()->standardIcon(QStyle::SP_DialogCloseButton),
                                      QStringLiteral("Fechar"));
    for (QPushButton* b : {BtSalvar, BtClientes, BtFechar}) bottom->addWidget(b, 0, Qt::AlignBottom);
    root->addLayout(bottom);

    connect(BtSalvar, &QPushButton::clicked, this, &FrmNvRetirada::BtSalvar_Click);
    connect(BtClientes, &QPushButton::clicked, this, &FrmNvRetirada::BtClientes_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmNvRetirada::BtFechar_Click);

    for (int i = 0; i + 1 < ReceiptForm::Count; ++i) setTabOrder(Txt.box(i), Txt.box(i + 1));
    setTabOrder(Txt.box(15), TxtOperador);
    setTabOrder(TxtOperador, BtSalvar);
    setTabOrder(BtSalvar, BtClientes);
    setTabOrder(BtClientes, BtFechar);
    resize(640, sizeHint().height());
}

void FrmNvRetirada::Form_Load() {
    const QString path = ProgramFolder::databasePath();
    try {
        DataRetirada.open(path, QStringLiteral("TblRetirada"));
        DataEmpresa.open(path, QStringLiteral("TblEmpresa"));
        DataOperador.open(path, QStringLiteral("TblOperador"), QString::fromLatin1(ConnectWithPassword));
        DataClientes.open(path, QStringLiteral("TblClientes"));
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível abrir o Banco de Dados para criar o Comprovante de Retirada.")},
                  ErrorInfo::from(e), QStringLiteral("%2 %1"), ReceiptTitle);
    }
    m_check = new ValidaSenhaOperador(TxtOperador, &DataOperador, OperatorCheckRows::FrmNvRetirada, this);
    // The shop's own city and state as defaults; a value that cannot be read
    // is left out.
    try {
        if (DataEmpresa.isOpen() && DataEmpresa.hasCurrent()) {
            Txt.setText(4, DataEmpresa.text(QStringLiteral("Cidade")).toUpper());
            Txt.setText(5, DataEmpresa.text(QStringLiteral("Estado")).toUpper());
        }
    } catch (const std::exception&) {
    }
}

void FrmNvRetirada::BtSalvar_Click() {
    // At least three characters as typed, blanks included; blanks alone are
    // no name or address.
    const auto required = [this](int box, const QString& message) {
        const QString typed = Txt.text(box);
        if (typed.size() >= 3 && !typed.trimmed().isEmpty()) return true;
        MsgBox(message, MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, ReceiptTitle);
        Txt.box(box)->setFocus();
        return false;
    };
    if (!required(0, QStringLiteral("Obrigatório o Preenchimento do Nome do Cliente")) ||
        !required(1, QStringLiteral("Obrigatório o Preenchimento do Endereço do Cliente")))
        return;

    // One receipt per opening, whatever follows.
    BtSalvar->setEnabled(false);
    qint64 key = -1;
    try {
        key = ReceiptForm::addRow(DataRetirada, [this] {
            for (int i = 0; i < ReceiptForm::Count; ++i) DataRetirada.setField(ReceiptForm::field(i), Txt.text(i).trimmed());
            const QDateTime now = Clock::now();
            DataRetirada.setField(QStringLiteral("DataEmissao"), now.date());
            DataRetirada.setField(QStringLiteral("HoraEmissao"), QTime(now.time().hour(), now.time().minute(), now.time().second()));
            DataRetirada.setField(QStringLiteral("Operador"), TxtOperador->text());
        });
    } catch (const std::exception& e) {
        // No receipt was stored (addRow gives the key of one that was): the
        // receipt typed can be saved once the cause is gone.
        BtSalvar->setEnabled(true);
        ShowError({QStringLiteral("Ocorreu um Erro ao tentar gerar este Comprovante de Retirada"),
                   QStringLiteral("Verifique os dados digitados estão corretos."),
                   QStringLiteral("Se o problema persistir Contacte o Suporte Técnico")},
                  ErrorInfo::from(e), QStringLiteral("%2 %1"), QStringLiteral("Erro ao emitir Comprovante de Retirada"));
        return;
    }
    Modulo::NovaRetiradaSalva = true;

    const MsgAnswer answer = MsgBox(QStringLiteral("Comprovante de Retirada Criado com Sucesso\r"
                                                   "Deseja Imprimir este Comprovante Agora ?"),
                                    MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes,
                                    QStringLiteral("Novo Comprovante de Retirada"));
    if (answer != MsgAnswer::Yes) return;
    // The receipt just stored, whatever other copies added meanwhile.
    Modulo::IdRetiradaAtual = key;
    ReceiptPrint::show();
    accept();
}

void FrmNvRetirada::BtClientes_Click() {
    if (MsgBox(QStringLiteral("Deseja incluir este Cliente no Cadastro de Clientes"), MsgButtons::YesNo,
               MsgIcon::Question, MsgAnswer::No, CustomersTitle) != MsgAnswer::Yes)
        return;
    try {
        // The table as it is now: other windows and copies record customers too.
        DataClientes.requery();
        // A customer whose record could not be confirmed and was stored is
        // this window's own: recording again writes onto it.
        QString sameName = QStringLiteral("Nome = ") + SqlDialect::quote(Txt.text(0).trimmed());
        if (const qint64 own = DataClientes.unconfirmedAddKey()) sameName += QStringLiteral(" AND Codigo <> %1").arg(own);
        if (DataClientes.findFirst(sameName)) {
            const auto value = [this](const char* f) { return DataClientes.text(QString::fromLatin1(f)); };
            const QDate recorded = DataClientes.date(QStringLiteral("DataCadastro"));
            const QString warning =
                QStringLiteral("ATENÇÃO - JÁ EXISTE UM CLIENTE CADASTRADO COM ESTE NOME\r\r") +
                QStringLiteral("Endereço: ") + value("Endereco") + QLatin1Char(' ') + value("Complemento") +
                QStringLiteral("\rBairro: ") + value("Bairro") + QStringLiteral("\rCódigo: ") + value("Codigo") +
                QStringLiteral("\rCadastrado em: ") + (recorded.isValid() ? Numbers::shortDate(recorded) : QString()) +
                QStringLiteral("\rPor: ") + value("Operador") + QStringLiteral("\r\rDeseja Cadastrar assim mesmo?");
            if (MsgBox(warning, MsgButtons::YesNo, MsgIcon::Exclamation, MsgAnswer::No,
                       QStringLiteral("Cadastro de Cliente")) != MsgAnswer::Yes)
                return;
        }
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível procurar este Nome no Cadastro de Clientes.")}, ErrorInfo::from(e),
                  QStringLiteral("%1 %2 %3"), CustomersTitle);
        return;
    }
    if (!recordCustomer()) return;
    MsgBox(QStringLiteral("Cliente Cadastrado com Sucesso!"), MsgButtons::Ok, MsgIcon::Information, std::nullopt,
           CustomersTitle);
}

bool FrmNvRetirada::recordCustomer() {
    // A box of blanks holds no name or address.
    const auto required = [this](int box, const QString& message) {
        if (!Txt.text(box).trimmed().isEmpty()) return true;
        MsgBox(message, MsgButtons::Ok, MsgIcon::Information, std::nullopt, CustomersTitle);
        Txt.box(box)->setFocus();
        return false;
    };
    if (!required(0, QStringLiteral("É obrigatório preencher o Nome do Cliente !")) ||
        !required(1, QStringLiteral("É obrigatório preencher o Endereço do Cliente !")))
        return false;
    BtClientes->setEnabled(false);
    try {
        ReceiptForm::addRow(DataClientes, [this] {
            for (int i = 0; i < int(CustomerFields.size()); ++i)
                DataClientes.setField(QString::fromLatin1(CustomerFields[std::size_t(i)]), Txt.text(i).trimmed());
            DataClientes.setField(QStringLiteral("Operador"), TxtOperador->text());
            DataClientes.setField(QStringLiteral("DataCadastro"), Clock::today());
        });
    } catch (const std::exception& e) {
        // Nothing was stored: the customer can be recorded once the cause is gone.
        BtClientes->setEnabled(true);
        ShowError({QStringLiteral("Ocorreu um Erro ao tentar Cadastrar este Cliente."),
                   QStringLiteral("Verifique se os dados digitados estão corretos e tente novamente"),
                   QStringLiteral("Se o problema persistir Contacte o Suporte Técnico e Informe o erro Abaixo")},
                  ErrorInfo::from(e), QStringLiteral("%1 %2 %3"), QStringLiteral("Cadastrar Novo Cliente"));
        return false;
    }
    return true;
}

void FrmNvRetirada::BtFechar_Click() { reject(); }
