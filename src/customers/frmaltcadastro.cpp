#include "frmaltcadastro.h"

#include "customerform.h"
#include "operators/validasenhaoperador.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/schema.h"
#include "ui/messagebox.h"
#include "ui/textentry.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>

namespace {

// Txt(0) to Txt(12): the code, then Nome to Email.
const std::array<CustomerForm::Box, 13> Boxes = {{{"Código:", 10},
                                                  {"Nome:", 40},
                                                  {"Endereço:", 40},
                                                  {"Complemento:", 20},
                                                  {"Bairro:", 18},
                                                  {"Cidade:", 18},
                                                  {"Estado:", 2},
                                                  {"Cep:", 12},
                                                  {"Tel. Residência:", 15},
                                                  {"Tel Comercial:", 15},
                                                  {"Fax:", 15},
                                                  {"Celular:", 15},
                                                  {"Obs:", 25}}};

const QString Title = QStringLiteral("Alteração de Dados Cadastrais do Cliente");

// Rewrites the copies of the customer's data that the rows of `table` keep:
// each of Nome to Email (values, in that order) that the table has a field
// for; the delivered appliances keep no note.
void rewriteCopies(Database& db, const QString& table, qlonglong code, const QStringList& values) {
    const Schema::Table* t = Schema::table(table);
    if (!t) throw std::logic_error("unknown table " + table.toStdString());
    QStringList sets;
    QVariantList params;
    for (int i = CustomerForm::FirstData; i <= CustomerForm::LastData; ++i) {
        const QString field = CustomerForm::field(i);
        const bool kept = std::any_of(t->fields.begin(), t->fields.end(), [&](const Schema::Field& f) {
            return f.name.compare(field, Qt::CaseInsensitive) == 0;
        });
        if (!kept) continue;
        sets << field + QStringLiteral(" = ?");
        params << values[i - CustomerForm::FirstData];
    }
    db.execute(QStringLiteral("UPDATE %1 SET %2 WHERE IDCliente = %3")
                   .arg(table, sets.join(QStringLiteral(", ")))
                   .arg(code),
               params);
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

    LblEdit = Widgets::label(this, QStringLiteral("LblEdit"), QStringLiteral("Alterando Cadastro do Cliente..."));
    QFont bold = LblEdit->font();
    bold.setBold(true);
    LblEdit->setFont(bold);
    LblEdit->hide();
    root->addWidget(LblEdit);

    TxtOperador = Widgets::lineEdit(this, QStringLiteral("TxtOperador"));
    BtAltCadastro = Widgets::button(this, QStringLiteral("BtAltCadastro"), QStringLiteral("Confirmar &Alterações"),
                                    QStringLiteral("Confirmar Alterações"));
    BtAltCadastro->setEnabled(false);
    BtFechar = Widgets::closeButton(this);
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

void FrmAltCadastro::Form_Load() {
    const QString path = ProgramFolder::databasePath();
    try {
        DataClientes.open(path, QStringLiteral("SELECT * FROM TblClientes WHERE Codigo = %1").arg(Modulo::CodClienteAtual));
        DataOperador.open(path, QStringLiteral("TblOperador"));
    } catch (const std::exception& e) {
        CustomerForm::showDbError(CustomerForm::Task::Read,
                                  {QStringLiteral("Ocorreu um Erro ao tentar abrir o Cadastro deste Cliente.")}, e, Title);
    }
    const QColor highlight = QApplication::palette().color(QPalette::Highlight);
    for (int i = 0; i < 13; ++i) {
        Txt[i]->setText(Modulo::DadosSelecionados[std::size_t(i)]);
        Txt[i]->setCursorPosition(0);
        CustomerForm::setTextColour(Txt[i], highlight);
    }
    OperatorCheckConfig check = OperatorCheckRows::FrmAltCadastro;
    check.toolTip = QStringLiteral("Operador Autorizado a alterar o Nome do Cliente");
    m_check = new ValidaSenhaOperador(TxtOperador, &DataOperador, check, this);
    m_loaded = true;
}

void FrmAltCadastro::Txt_Change(int index) {
    if (!m_loaded) return;
    CustomerForm::setTextColour(Txt[std::size_t(index)], QColor(255, 0, 0));
    BtAltCadastro->setEnabled(true);
}

void FrmAltCadastro::BtAltCadastro_Click() {
    // A name or address emptied here (or made of blanks) would be stored
    // empty in the customer and in all his copies; one handed over blank may
    // stay so.
    const auto required = [this](int i, CustomerForm::Required which) {
        QLineEdit* box = Txt[std::size_t(i)];
        return box->text() == Modulo::DadosSelecionados[std::size_t(i)] ||
               CustomerForm::requireFilled(box, which, MsgIcon::Exclamation, Title);
    };
    if (!required(1, CustomerForm::Required::Nome) || !required(2, CustomerForm::Required::Endereco)) return;
    if (MsgBox(QStringLiteral("Confirma a Alteração nos dados cadastrais deste Cliente?"), MsgButtons::YesNo,
               MsgIcon::Question, MsgAnswer::No, Title) != MsgAnswer::Yes)
        return;

    LblEdit->setText(QStringLiteral("Alterando Cadastro do Cliente..."));
    LblEdit->show();
    QStringList values;
    for (int i = CustomerForm::FirstData; i <= CustomerForm::LastData; ++i)
        values << Txt[std::size_t(i)]->text().trimmed();
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
        for (int i = CustomerForm::FirstData; i <= CustomerForm::LastData; ++i)
            DataClientes.setField(CustomerForm::field(i), values[i - CustomerForm::FirstData]);
        DataClientes.setField(QStringLiteral("Operador"), operador);
        DataClientes.update();
        const qlonglong code = DataClientes.number(QStringLiteral("Codigo"));

        LblEdit->setText(QStringLiteral("Alterando Cadastro dos Aparelhos em Manutenção..."));
        rewriteCopies(db, QStringLiteral("TblManutencao"), code, values);
        LblEdit->setText(QStringLiteral("Alterando Cadastro dos Aparelhos Entregues..."));
        rewriteCopies(db, QStringLiteral("TblApEntregues"), code, values);
        tx.commit();
    } catch (const std::exception& e) {
        DataClientes.cancelUpdate();
        // The transaction was undone: show the row as it is stored.
        try {
            DataClientes.requery();
        } catch (const std::exception&) {
        }
        LblEdit->hide();
        // A write that could not be confirmed may stand: its own text tells it.
        QStringList what{QStringLiteral("Ocorreu um Erro ao tentar Alterar os Dados Cadastrais deste Cliente.")};
        if (const auto* db = dynamic_cast<const DbError*>(&e); !db || db->number() != DbErrorCode::Unconfirmed)
            what << QStringLiteral("Nenhuma alteração foi gravada.");
        CustomerForm::showDbError(CustomerForm::Task::Write, what, e, Title);
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
