#include "frmnvoperador.h"

#include "operators/operatorrules.h"
#include "settings/settingsrow.h"
#include "store/recordcursor.h"
#include "store/schema.h"
#include "ui/errormessage.h"
#include "ui/textentry.h"
#include "ui/widgets.h"
#include "ui/windowkeys.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString Title = QStringLiteral("Cadastrar Novo Operador");
}

frmNvOperador::frmNvOperador(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmNvOperador"));
    setWindowTitle(Title);
    setModal(true);

    auto* root = new QVBoxLayout(this);
    auto* form = new QGridLayout;
    root->addLayout(form);

    TxtNvUsuario = Widgets::lineEdit(this, QStringLiteral("TxtNvUsuario"));
    TxtNvUsuario->setToolTip(QStringLiteral("Nome do Novo Operador"));
    TextEntry::attach(TxtNvUsuario, TextEntry::NoApostrophe);
    TextEntry::setTypingLimit(TxtNvUsuario, 14);
    TxtSnNvUsuario = Widgets::lineEdit(this, QStringLiteral("TxtSnNvUsuario"));
    TxtSnNvUsuario->setToolTip(QStringLiteral("Senha do Novo Operador"));
    OperatorRules::makePasswordField(TxtSnNvUsuario);
    TextEntry::attach(TxtSnNvUsuario, TextEntry::NoApostrophe);
    Frame1 = OperatorRules::makeRightsFrame(this, OperatorRules::RightsCaptions::NewOperator, Check);
    Check[0]->setChecked(true);

    buildOperatorControls(this,
                          {this, {}, {}, {}, QStringLiteral("Cadastrar o Novo Operador"), QStringLiteral("Fechar"),
                           QStringLiteral("BtCadastrar"), QStringLiteral("Ca&dastrar")},
                          OperatorCheckRows::frmNvOperador);

    form->addWidget(Widgets::label(this, QStringLiteral("Label1"), QStringLiteral("Senha Operador Autorizado")), 0, 0);
    form->addWidget(TxtOperador, 0, 1);
    form->addWidget(Widgets::label(this, QStringLiteral("Label2"), QStringLiteral("Nome Novo Usuário")), 1, 0);
    form->addWidget(TxtNvUsuario, 1, 1);
    form->addWidget(Widgets::label(this, QStringLiteral("Label3"), QStringLiteral("Senha Novo Usuário")), 2, 0);
    form->addWidget(TxtSnNvUsuario, 2, 1);
    form->setColumnStretch(1, 1);
    root->addWidget(Frame1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtCadastrar);
    buttons->addWidget(BtFechar);
    root->addLayout(buttons);

    setTabOrder(TxtOperador, TxtNvUsuario);
    setTabOrder(TxtNvUsuario, TxtSnNvUsuario);
    setTabOrder(TxtSnNvUsuario, Check[0]);
    for (std::size_t i = 0; i + 1 < Check.size(); ++i) setTabOrder(Check[i], Check[i + 1]);
    setTabOrder(Check[8], BtCadastrar);
    setTabOrder(BtCadastrar, BtFechar);
    WindowKeys::install(this);
    Form_Load();
    TxtOperador->setFocus();
}

void frmNvOperador::Form_Load() { openOperatorCursor(); }

void frmNvOperador::refuse(const QString& text, MsgIcon icon, QLineEdit* field) {
    MsgBox(text, MsgButtons::Ok, icon, std::nullopt, Title);
    field->setFocus();
}

void frmNvOperador::BtCadastrar_Click() {
    using OperatorRules::PasswordFault;
    if (!m_check->acessoLiberado() || !BtCadastrar->isEnabled()) return;
    const QString name = TxtNvUsuario->text();
    const QString password = TxtSnNvUsuario->text();
    try {
        // Counted as typed; a name of blanks is no name.
        if (name.size() < 2 || name.trimmed().isEmpty())
            return refuse(QStringLiteral("Digite o Nome do Novo Operador"), MsgIcon::Information, TxtNvUsuario);
        // An add that could not be confirmed is asked about first: when it
        // was stored, this confirm writes onto it and its row is no other
        // operator's.
        const qint64 own = DataOperador->unconfirmedAddKey();
        if (OperatorRules::nameTaken(*DataOperador, name, own))
            return refuse(QStringLiteral("Já existe um Operador Cadastrado com este Nome."), MsgIcon::Information,
                          TxtNvUsuario);
        const PasswordFault fault = OperatorRules::checkNewPassword(
            password, nullptr, [this, own](const QString& p) { return OperatorRules::passwordTaken(*DataOperador, p, own); });
        switch (fault) {
        case PasswordFault::None:
        case PasswordFault::Mismatch: break;
        case PasswordFault::NotDigits:
            return refuse(QStringLiteral("ATENÇÃO - Digite Apenas Números Inteiros para o Número da Senha!"),
                          MsgIcon::Critical, TxtSnNvUsuario);
        case PasswordFault::Length:
            return refuse(QStringLiteral("A Senha precisa ter 4 Números"), MsgIcon::Critical, TxtSnNvUsuario);
        case PasswordFault::AllEqual:
        case PasswordFault::Taken:
            return refuse(OperatorRules::SecurityMessage, MsgIcon::Exclamation, TxtSnNvUsuario);
        case PasswordFault::LeadingZero:
            return refuse(OperatorRules::ZeroMessage, MsgIcon::Exclamation, TxtSnNvUsuario);
        }

        DataOperador->addNew();
        DataOperador->setField(QStringLiteral("NomeOperador"), name.trimmed().toUpper());
        DataOperador->setField(QStringLiteral("Senha"), Schema::passwordToStored(password.toLongLong()));
        for (std::size_t i = 0; i < Check.size(); ++i)
            DataOperador->setField(QString::fromLatin1(OperatorRules::RightFields[i]), Check[i]->isChecked());
        DataOperador->update();
    } catch (const std::exception& e) {
        if (DataOperador->editMode() != RecordCursor::EditMode::None) DataOperador->cancelUpdate();
        SettingsRow::showError(QStringLiteral("Ocorreu um Erro ao tentar Cadastrar o Novo Operador!"), e, Title);
        return;
    }
    BtCadastrar->setEnabled(false);
    MsgBox(QStringLiteral("Operador: ") + name.toUpper() + QStringLiteral("\rCadastrado Com Sucesso !"), MsgButtons::Ok,
           MsgIcon::Information, std::nullopt, Title);
}
