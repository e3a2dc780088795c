#include "frmaltcadastro.h"

#include "customerform.h"
#include "operators/validasenhaoperador.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "ui/errormessage.h"
#include "ui/textentry.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const std::array<CustomerForm::Box, 13> Boxes = {{{"Codigo", "Código:", 10},
                                    {"Nome", "Nome:", 40},
                                    {"Endereco", "Endereço:", 40},
                                    {"Complemento", "Complemento:", 20},
                                    {"Bairro", "Bairro:", 18},
                                    {"Cidade", "Cidade:", 18},
                                    {"Estado", "Estado:", 2},
                                    {"Cep", "Cep:", 12},
                                    {"TelResidencia", "Tel. Residência:", 15},
                                    {"TelComercial", "Tel Comercial:", 15},
                                    {"Fax", "Fax:", 15},
                                    {"Celular", "Celular:", 15},
                                    {"Email", "Obs:", 25}}};

const QString Title = QStringLiteral("Alteração de Dados Cadastrais do Cliente");

void setTextColour(QLineEdit* box, const QColor& colour) {
    QPalette p = box->palette();
    p.setColor(QPalette::Text, colour);
    box->setPalette(p);
}

} // namespace

FrmAltCadastro::FrmAltCadastro(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmAltCadastro"));
    setWindowTitle(QStringLiteral("Alterar Dados Cadastrais do Cliente"));

    auto* root = new QVBoxLayout(this);
    CustomerForm::makeBoxes(this, Boxes.data(), 13, 0, Txt.data(), Lbl.data());
    for (int i = 0; i < 13; ++i) {
        TextEntry::attach(Txt[i], TextEntry::UpperCase | TextEntry::NoApostrophe);
        connect(Txt[i], &QLineEdit::textChanged, this, [this, i] { Txt_Change(i); });
    }
    Txt[0]->setReadOnly(true);
    Txt[0]->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('W')) * 7);
    auto* grid = new QGridLayout;
    grid->addWidget(Lbl[0], 0, 0, Qt::AlignRight);
    grid->addWidget(Txt[0], 0, 1);
    CustomerForm::layOut(grid, Txt.data() + 1, Lbl.data() + 1, 1, true);
    root->addLayout(grid);

    LblEdit = new QLabel(QStringLiteral("Alterando Cadastro do Cliente..."), this);
    LblEdit->setObjectName(QStringLiteral("LblEdit"));
    QFont bold = LblEdit->font();
    bold.setBold(true);
    LblEdit->setFont(bold);
    LblEdit->hide();
    root->addWidget(LblEdit);

    TxtOperador = new QLineEdit(this);
    TxtOperador->setObjectName(QStringLiteral("TxtOperador"));
    BtAltCadastro = CustomerForm::button(this, "BtAltCadastro", QStringLiteral("Confirmar &Alterações"),
                                         QStringLiteral("Confirmar Alterações"));
    BtAltCadastro->setEnabled(false);
    BtFechar = CustomerForm::button(this, "BtFechar", QStringLiteral("&Fechar"), QStringLiteral("Fechar"));
    root->addSpacing(6);
    root->addLayout(CustomerForm::operatorBar(this, TxtOperador, {BtAltCadastro, BtFechar}));
    connect(BtAltCadastro, &QPushButton::clicked, this, &FrmAltCadastro::BtAltCadastro_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmAltCadastro::BtFechar_Click);

    for (int i = 1; i < 12; ++i) setTabOrder(Txt[i], Txt[i + 1]);
    setTabOrder(Txt[12], BtAltCadastro);
    setTabOrder(BtAltCadastro, BtFechar);
    setTabOrder(BtFechar, Txt[0]);
    setTabOrder(Txt[0], TxtOperador);
    WindowKeys::install(this);
    Form_Load();
}

FrmAltCadastro::~FrmAltCadastro() { m_loaded = false; }

void FrmAltCadastro::Form_Load() {
    const QString path = ProgramFolder::databasePath();
    try {
        DataClientes.open(path, QStringLiteral("SELECT * FROM TblClientes WHERE Codigo = %1").arg(Modulo::CodClienteAtual));
        DataOperador.open(path, QStringLiteral("TblOperador"));
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Ocorreu um Erro ao tentar abrir o Cadastro deste Cliente."),
                   QStringLiteral("Tente Reparar e Compactar o Banco de Dados e Tente Novamente")},
                  ErrorInfo::from(e), QStringLiteral("%1 %2 %3"), Title);
    }
    const QColor highlight = QApplication::palette().color(QPalette::Highlight);
    for (int i = 0; i < 13; ++i) {
        Txt[i]->setText(Modulo::DadosSelecionados[std::size_t(i)]);
        Txt[i]->setCursorPosition(0);
        setTextColour(Txt[i], highlight);
    }
    OperatorCheckConfig check = OperatorCheckRows::FrmAltCadastro;
    check.toolTip = QStringLiteral("Operador Autorizado a alterar o Nome do Cliente");
    m_check = new ValidaSenhaOperador(TxtOperador, &DataOperador, check, this);
    m_loaded = true;
}

void FrmAltCadastro::Txt_Change(int index) {
    if (!m_loaded) return;
    setTextColour(Txt[std::size_t(index)], QColor(255, 0, 0));
    BtAltCadastro->setEnabled(true);
}

void FrmAltCadastro::BtAltCadastro_Click() {
    // A name or address emptied here (or made of blanks) would be stored
    // empty in the customer and in all his copies.
    for (int i : {1, 2}) {
        QLineEdit* box = Txt[std::size_t(i)];
        if (box->text().trimmed().isEmpty() && box->text() != Modulo::DadosSelecionados[std::size_t(i)]) {
            MsgBox(i == 1 ? QStringLiteral("'E obrigatório preencher o Nome do Cliente !")
                          : QStringLiteral("'E obrigatório preencher o Endereço do Cliente !"),
                   MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, Title);
            box->setFocus();
            return;
        }
    }
    if (MsgBox(QStringLiteral("Confirma a Alteração nos dados cadastrais deste Cliente?"), MsgButtons::YesNo,
               MsgIcon::Question, MsgAnswer::No, Title) != MsgAnswer::Yes)
        return;

    LblEdit->setText(QStringLiteral("Alterando Cadastro do Cliente..."));
    LblEdit->show();
    QStringList values;
    for (int i = 1; i <= 12; ++i) values << Txt[std::size_t(i)]->text().trimmed();
    // Only an accepted operator's name; never an unfinished password.
    const QString operador = m_check && m_check->operadorAutorizado() ? m_check->nomeOperador() : QString();
    try {
        WaitCursor wait;
        if (!DataClientes.isOpen()) DataClientes.refresh();
        if (!DataClientes.hasCurrent())
            throw DbError(DbErrorCode::NoCurrentRecord,
                          QStringLiteral("O Cadastro deste Cliente não foi encontrado; pode ter sido excluído por "
                                         "outro usuário."),
                          QStringLiteral("Banco de Dados"));
        Database& db = DataClientes.database();
        Transaction tx(db);
        DataClientes.edit();
        for (int i = 1; i <= 12; ++i)
            DataClientes.setField(QString::fromLatin1(Boxes[i].field), values[i - 1]);
        DataClientes.setField(QStringLiteral("Operador"), operador);
        DataClientes.update();
        const qlonglong code = DataClientes.number(QStringLiteral("Codigo"));

        QStringList sets;
        QVariantList params;
        for (int i = 1; i <= 12; ++i) {
            sets << QString::fromLatin1(Boxes[i].field) + QStringLiteral(" = ?");
            params << values[i - 1];
        }
        LblEdit->setText(QStringLiteral("Alterando Cadastro dos Aparelhos em Manutenção..."));
        db.execute(QStringLiteral("UPDATE TblManutencao SET %1 WHERE IDCliente = %2")
                       .arg(sets.join(QStringLiteral(", ")))
                       .arg(code),
                   params);
        // The delivered appliances keep no note (Email).
        sets.removeLast();
        params.removeLast();
        LblEdit->setText(QStringLiteral("Alterando Cadastro dos Aparelhos Entregues..."));
        db.execute(QStringLiteral("UPDATE TblApEntregues SET %1 WHERE IDCliente = %2")
                       .arg(sets.join(QStringLiteral(", ")))
                       .arg(code),
                   params);
        tx.commit();
    } catch (const std::exception& e) {
        DataClientes.cancelUpdate();
        // The transaction was undone: show the row as it is stored.
        try {
            DataClientes.requery();
        } catch (const std::exception&) {
        }
        LblEdit->hide();
        ShowError({QStringLiteral("Ocorreu um Erro ao tentar Alterar os Dados Cadastrais deste Cliente."),
                   QStringLiteral("Nenhuma alteração foi gravada."),
                   QStringLiteral("Tente Reparar e Compactar o Banco de Dados e Tente Novamente"),
                   QStringLiteral("Se o problema persistir Contacte o Suporte Técnico e Informe o erro Abaixo")},
                  ErrorInfo::from(e), QStringLiteral("%1 %2 %3"), Title);
        return;
    }
    LblEdit->hide();
    BtAltCadastro->setEnabled(false);
    for (QLineEdit* box : Txt) box->setEnabled(false);
    MsgBox(QStringLiteral("Dados Cadastrais do Cliente Alterados com Sucesso!"), MsgButtons::Ok, MsgIcon::Information,
           std::nullopt, Title);
    accept();
}

void FrmAltCadastro::BtFechar_Click() {
    m_loaded = false;
    reject();
}
