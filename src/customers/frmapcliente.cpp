#include "frmapcliente.h"

#include "customerform.h"
#include "geranumserie.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "ui/widgets.h"
#include "ui/messagebox.h"
#include "ui/textentry.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Cadastro de Aparelho de Cliente");

} // namespace

FrmApCliente::FrmApCliente(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmApCliente"));
    setWindowTitle(QStringLiteral("Cadastrar Aparelho de Cliente"));

    auto* root = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Cadastrar Aparelho"), this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont tf = title->font();
    tf.setBold(true);
    tf.setPointSizeF(tf.pointSizeF() * 1.5);
    title->setFont(tf);
    title->setAlignment(Qt::AlignCenter);
    root->addWidget(title);

    auto* form = new QGridLayout;
    form->setHorizontalSpacing(8);
    const auto label = [&](int row, const QString& caption) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QStringLiteral("Lbl(%1)").arg(row));
        form->addWidget(l, row, 0, Qt::AlignRight);
    };
    label(0, QStringLiteral("Cliente"));
    TxtNmCliente = new QLineEdit(this);
    TxtNmCliente->setObjectName(QStringLiteral("TxtNmCliente"));
    TxtNmCliente->setReadOnly(true);
    TextEntry::setTypingLimit(TxtNmCliente, 40);
    CustomerForm::setTextColour(TxtNmCliente, CustomerForm::DarkBlue);
    form->addWidget(TxtNmCliente, 0, 1, 1, 3);

    const QStringList comboCaptions = {QStringLiteral("Aparelho"), QStringLiteral("Marca")};
    for (int i = 0; i < 2; ++i) {
        label(1 + i, comboCaptions[i]);
        Combo[i] = new QComboBox(this);
        Combo[i]->setObjectName(QStringLiteral("Combo(%1)").arg(i));
        Combo[i]->setEditable(true);
        Combo[i]->setInsertPolicy(QComboBox::NoInsert);
        Combo[i]->setMinimumWidth(190);
        CustomerForm::setTextColour(Combo[i], CustomerForm::DarkBlue);
        // The type and brand later enter criteria: no apostrophe.
        TextEntry::attach(Combo[i]->lineEdit(), TextEntry::NoApostrophe | TextEntry::EnterMovesNext);
        form->addWidget(Combo[i], 1 + i, 1, 1, 3);
    }

    const QStringList captions = {QStringLiteral("Modelo"), QStringLiteral("Chassis"), QStringLiteral("Num Série"),
                                  QStringLiteral("Tensão")};
    const int limits[] = {14, 12, 15, 10};
    for (int i = 0; i < 4; ++i) {
        label(3 + i, captions[i]);
        Txt[i] = new QLineEdit(this);
        Txt[i]->setObjectName(QStringLiteral("Txt(%1)").arg(i));
        TextEntry::attach(Txt[i], TextEntry::Standard);
        TextEntry::setTypingLimit(Txt[i], limits[i]);
        TextEntry::setFocusStyle(Txt[i], TextEntry::FocusStyle{TextEntry::toolTipBase(), {}, false, nullptr, {}});
        CustomerForm::setTextColour(Txt[i], CustomerForm::DarkBlue);
        Txt[i]->setMinimumWidth(fontMetrics().horizontalAdvance(QString(limits[i], QLatin1Char('X'))) + 16);
        form->addWidget(Txt[i], 3 + i, 1, 1, 2);
    }
    form->setColumnStretch(3, 1);
    root->addLayout(form);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BtCadastrar = Widgets::button(this, "BtCadastrar", QStringLiteral("&Cadastrar"),
                                       QStringLiteral("Confirmar Cadastro"));
    BtFechar = Widgets::closeButton(this);
    buttons->addWidget(BtCadastrar);
    buttons->addWidget(BtFechar);
    root->addLayout(buttons);
    connect(BtCadastrar, &QPushButton::clicked, this, &FrmApCliente::BtCadastrar_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmApCliente::BtFechar_Click);

    setTabOrder(Combo[0], Combo[1]);
    setTabOrder(Combo[1], Txt[0]);
    for (int i = 0; i < 3; ++i) setTabOrder(Txt[i], Txt[i + 1]);
    setTabOrder(Txt[3], BtCadastrar);
    setTabOrder(BtCadastrar, BtFechar);
    setTabOrder(BtFechar, TxtNmCliente);
    WindowKeys::install(this);
    Form_Load();
}

void FrmApCliente::Form_Load() {
    TxtNmCliente->setText(Modulo::NomeClienteAtual);
    try {
        const QString path = ProgramFolder::databasePath();
        Data2.open(path, QStringLiteral("SELECT * FROM TblApClientes WHERE ID = %1").arg(Modulo::CodClienteAtual));
        DataAparelho.open(path, QStringLiteral("TblAparelhos"));
        DataMarca.open(path, QStringLiteral("TblMarca"));
        DataEmpresa.open(path, QStringLiteral("Tblempresa"));
        for (DataAparelho.moveFirst(); !DataAparelho.eof(); DataAparelho.moveNext())
            Combo[0]->addItem(DataAparelho.text(QStringLiteral("Aparelho")));
        for (DataMarca.moveFirst(); !DataMarca.eof(); DataMarca.moveNext())
            Combo[1]->addItem(DataMarca.text(QStringLiteral("Marca")));
    } catch (const std::exception& e) {
        CustomerForm::showDbError(CustomerForm::Task::Read,
                                  {QStringLiteral("Ocorreu um Erro ao tentar abrir o Cadastro de Aparelhos.")}, e, Title);
    }
    Combo[0]->setCurrentIndex(-1);
    Combo[1]->setCurrentIndex(-1);
    Combo[0]->setFocus();
}

QString FrmApCliente::GeraNumSerie() { return ::GeraNumSerie(DataEmpresa); }

void FrmApCliente::BtCadastrar_Click() {
    const auto refuse = [](const QString& text, QWidget* focus) {
        MsgBox(text, MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, Title);
        focus->setFocus();
    };
    if (Combo[0]->currentText().isEmpty()) return refuse(QStringLiteral("Digite o Tipo de Aparelho"), Combo[0]);
    if (Combo[1]->currentText().isEmpty()) return refuse(QStringLiteral("Digite a Marca do Aparelho"), Combo[1]);
    if (Txt[0]->text().isEmpty()) return refuse(QStringLiteral("Digite a Modelo do Aparelho"), Txt[0]);
    // Blanks are no serial number.
    if (Txt[2]->text().trimmed().size() < 4) {
        const MsgAnswer answer =
            MsgBox(QStringLiteral("Este Equipamento não possui um Número de Série Válido.\r"
                                  "Deseja que o Programa Gere um Número de Série pare ele?"),
                   MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes, Title);
        if (answer == MsgAnswer::Yes) Txt[2]->setText(GeraNumSerie());
        Txt[2]->setFocus();
        return;
    }
    try {
        Data2.addNew();
        Data2.setField(QStringLiteral("Aparelho"), Combo[0]->currentText());
        Data2.setField(QStringLiteral("Marca"), Combo[1]->currentText());
        Data2.setField(QStringLiteral("Modelo"), Txt[0]->text().trimmed().toUpper());
        Data2.setField(QStringLiteral("Chassis"), Txt[1]->text().trimmed().toUpper());
        Data2.setField(QStringLiteral("NumSerie"), Txt[2]->text().trimmed().toUpper());
        Data2.setField(QStringLiteral("Tensao"), Txt[3]->text().trimmed().toUpper());
        Data2.setField(QStringLiteral("ID"), qlonglong(Modulo::CodClienteAtual));
        Data2.update();
    } catch (const std::exception& e) {
        Data2.cancelUpdate();
        CustomerForm::showDbError(CustomerForm::Task::Write,
                                  {QStringLiteral("Ocorreu um Erro ao tentar Cadastrar este Aparelho.")}, e, Title);
        return;
    }
    Txt[0]->clear();
    Txt[1]->clear();
    Txt[2]->clear();
    MsgBox(QStringLiteral("Aparelho Cadastrado com Sucesso!"), MsgButtons::Ok, MsgIcon::Information, std::nullopt,
           Title);
    Combo[0]->setFocus();
}

void FrmApCliente::BtFechar_Click() { reject(); }
