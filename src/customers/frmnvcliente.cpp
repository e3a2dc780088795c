#include "frmnvcliente.h"

#include "customerform.h"
#include "operators/validasenhaoperador.h"
#include "store/clock.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "ui/messagebox.h"
#include "ui/textentry.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Txt(0) to Txt(11): Nome to Email.
const std::array<CustomerForm::Box, 12> Boxes = {{{"", 40},
                                                  {"Endereço:", 40},
                                                  {"Complemento:", 20},
                                                  {"Bairro:", 18},
                                                  {"Cidade:", 18},
                                                  {"Estado:", 2},
                                                  {"Cep:", 10},
                                                  {"Tel Residência:", 15},
                                                  {"Tel. Comercial:", 15},
                                                  {"Fax:", 15},
                                                  {"Celular:", 15},
                                                  {"Obs:", 40}}};

const QString RequiredTitle = QStringLiteral("Cadastro Cliente");
const QString FailureTitle = QStringLiteral("Cadastrar Novo Cliente");

} // namespace

FrmNvCliente::FrmNvCliente(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmNvCliente"));
    setWindowTitle(QStringLiteral("Cadastro de Novo Cliente"));

    auto* root = new QVBoxLayout(this);
    CustomerForm::makeBoxes(this, Boxes.data(), 12, 0, Txt.data(), Lbl.data());
    for (QLineEdit* box : Txt) {
        TextEntry::attach(box, TextEntry::Standard | TextEntry::SelectAllOnFocus);
        TextEntry::setFocusStyle(box, TextEntry::FocusStyle{TextEntry::toolTipBase(), {}, false, nullptr, {}});
    }
    Txt[0]->setToolTip(QStringLiteral("Nome Completo"));
    Txt[0]->setPlaceholderText(QStringLiteral("Nome Completo"));
    Txt[1]->setToolTip(QStringLiteral("Rua, Av"));
    Txt[2]->setToolTip(QStringLiteral("Casa, Apto etc"));
    QFont nameFont = Txt[0]->font();
    nameFont.setBold(true);
    Txt[0]->setFont(nameFont);
    auto* grid = new QGridLayout;
    CustomerForm::layOut(grid, Txt.data(), Lbl.data(), 0, false);
    root->addLayout(grid);

    TxtOperador = Widgets::lineEdit(this, QStringLiteral("TxtOperador"));
    BtCadastro = Widgets::button(this, QStringLiteral("BtCadastro"), QStringLiteral("&Confirmar Cadastrto"),
                                 QStringLiteral("Confirmar Cadastro"));
    BtFechar = Widgets::closeButton(this);
    root->addSpacing(6);
    root->addLayout(CustomerForm::operatorBar(this, TxtOperador, {BtCadastro, BtFechar}));
    connect(BtCadastro, &QPushButton::clicked, this, &FrmNvCliente::BtCadastro_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmNvCliente::BtFechar_Click);

    for (int i = 0; i < 11; ++i) setTabOrder(Txt[i], Txt[i + 1]);
    setTabOrder(Txt[11], TxtOperador);
    setTabOrder(TxtOperador, BtCadastro);
    setTabOrder(BtCadastro, BtFechar);
    WindowKeys::install(this);
    Form_Load();
    Txt[0]->setFocus();
}

bool FrmNvCliente::run() { return WindowHost::showModal(new FrmNvCliente) == QDialog::Accepted; }

QString FrmNvCliente::soNumeros(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) c = QLatin1Char(' ');
    return out;
}

void FrmNvCliente::Form_Load() {
    const QString path = ProgramFolder::databasePath();
    try {
        DataNvCliente.open(path, QStringLiteral("TblClientes"));
        DataEmpresa.open(path, QStringLiteral("TblEmpresa"));
        DataOperador.open(path, QStringLiteral("TblOperador"), QString::fromLatin1(ConnectWithPassword));
    } catch (const std::exception& e) {
        CustomerForm::showDbError(CustomerForm::Task::Read,
                                  {QStringLiteral("Ocorreu um Erro ao tentar abrir o Cadastro de Clientes.")}, e,
                                  FailureTitle);
    }
    // The company's city, state and postal-code region as defaults; a value
    // that cannot be read is left out.
    const auto company = [this](const char* field) {
        try {
            return DataEmpresa.isOpen() && DataEmpresa.hasCurrent() ? DataEmpresa.text(QString::fromLatin1(field))
                                                                    : QString();
        } catch (const std::exception&) {
            return QString();
        }
    };
    Txt[4]->setText(company("Cidade").toUpper());
    Txt[5]->setText(company("Estado").toUpper());
    Txt[6]->setText(company("Cep").left(2) + QStringLiteral(".000-000"));
    m_check = new ValidaSenhaOperador(TxtOperador, &DataOperador, OperatorCheckRows::FrmNvCliente, this);
}

void FrmNvCliente::SoNumeros() {
    QLineEdit* box = Txt[std::size_t(m_fieldCounter)];
    box->setText(soNumeros(box->text()));
}

void FrmNvCliente::BtCadastro_Click() {
    // A name or address made of blanks is no name or address.
    if (!CustomerForm::requireFilled(Txt[0], CustomerForm::Required::Nome, MsgIcon::Information, RequiredTitle) ||
        !CustomerForm::requireFilled(Txt[1], CustomerForm::Required::Endereco, MsgIcon::Information, RequiredTitle))
        return;
    for (m_fieldCounter = 7; m_fieldCounter <= 10; ++m_fieldCounter) SoNumeros();
    BtCadastro->setEnabled(false);
    try {
        DataNvCliente.addNew();
        for (int i = 0; i < 12; ++i)
            DataNvCliente.setField(CustomerForm::field(CustomerForm::FirstData + i), Txt[i]->text().trimmed());
        DataNvCliente.setField(QStringLiteral("Operador"), m_check->nomeOperador());
        DataNvCliente.setField(QStringLiteral("DataCadastro"), Clock::today());
        // The code is the key the insert gave, whatever other copies added.
        const qint64 codigo = DataNvCliente.update();
        Modulo::CodClienteAtual = std::int32_t(codigo);
    } catch (const std::exception& e) {
        DataNvCliente.cancelUpdate();
        // Nothing was stored: what was typed can be confirmed again once
        // the cause is gone.
        BtCadastro->setEnabled(true);
        CustomerForm::showDbError(CustomerForm::Task::Write,
                                  {QStringLiteral("Ocorreu um Erro ao tentar Cadastrar este Cliente.")}, e,
                                  FailureTitle);
        return;
    }
    BtCadastro->setEnabled(false);
    MsgBox(QStringLiteral("Cliente Cadastrado com Sucesso!"), MsgButtons::Ok, MsgIcon::Information, std::nullopt,
           QStringLiteral("Cadastro de Cliente"));
    accept();
}

void FrmNvCliente::BtFechar_Click() { reject(); }
