#include "frmaltsenha.h"

#include "operators/operatorrules.h"
#include "settings/settingsrow.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "store/schema.h"
#include "ui/textentry.h"
#include "ui/widgets.h"
#include "ui/windowkeys.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString Title = QStringLiteral("Alteração de Senha");
}

FrmAltSenha::FrmAltSenha(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmAltSenha"));
    setWindowTitle(QStringLiteral(" Alterar Senha"));
    setModal(true);

    // Before the check: it focuses the new password on a match.
    TxtNvSenha = Widgets::lineEdit(this, QStringLiteral("TxtNvSenha"));
    TxtNvSenha->setToolTip(QStringLiteral("Nova Senha"));
    TxtConfNvSenha = Widgets::lineEdit(this, QStringLiteral("TxtConfNvSenha"));
    TxtConfNvSenha->setToolTip(QStringLiteral("Confirmação da Nova Senha"));
    for (QLineEdit* field : {TxtNvSenha, TxtConfNvSenha}) {
        OperatorRules::makePasswordField(field);
        TextEntry::attach(field, TextEntry::SelectAllOnFocus);
    }
    buildOperatorControls(this,
                          {this, {}, {}, {}, QStringLiteral("Confirmar a Nova Senha"), QStringLiteral("Fechar")},
                          OperatorCheckRows::FrmAltSenha);
    BtOk->setText(QStringLiteral("&Ok"));
    DataSenha = new RecordCursor(this);
    DataSenha->setObjectName(QStringLiteral("DataSenha"));

    auto* root = new QVBoxLayout(this);
    auto* form = new QGridLayout;
    form->addWidget(Widgets::label(this, QStringLiteral("Label1"), QStringLiteral("Operador:")), 0, 0);
    form->addWidget(TxtOperador, 0, 1);
    form->addWidget(Widgets::label(this, QStringLiteral("Label2"), QStringLiteral("Nova Senha")), 1, 0);
    form->addWidget(TxtNvSenha, 1, 1);
    form->addWidget(Widgets::label(this, QStringLiteral("Label3"), QStringLiteral("Confirmar Nova Senha")), 2, 0);
    form->addWidget(TxtConfNvSenha, 2, 1);
    form->setColumnStretch(1, 1);
    root->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtOk);
    buttons->addWidget(BtFechar);
    root->addLayout(buttons);

    setTabOrder(TxtOperador, TxtNvSenha);
    setTabOrder(TxtNvSenha, TxtConfNvSenha);
    setTabOrder(TxtConfNvSenha, BtOk);
    setTabOrder(BtOk, BtFechar);
    connect(TxtNvSenha, &QLineEdit::textChanged, this, &FrmAltSenha::TxtNvSenha_Change);
    connect(TxtConfNvSenha, &QLineEdit::textChanged, this, &FrmAltSenha::TxtConfNvSenha_Change);
    WindowKeys::install(this);
    Form_Load();
    TxtOperador->setFocus();
}

void FrmAltSenha::Form_Load() {
    if (!openOperatorCursor()) return;
    try {
        DataSenha->open(ProgramFolder::databasePath(), QStringLiteral("TblOperador"),
                        QString::fromUtf8(ConnectWithPassword));
    } catch (const std::exception& e) {
        SettingsRow::showError(QStringLiteral("Não foi possível abrir o Cadastro de Operadores!"), e, Title);
        TxtOperador->setEnabled(false);
    }
}

void FrmAltSenha::TxtNvSenha_Change() {
    if (TxtNvSenha->text().size() == 4) TxtConfNvSenha->setFocus();
}

void FrmAltSenha::TxtConfNvSenha_Change() {
    // Before an operator was accepted the button cannot take the focus.
    if (TxtConfNvSenha->text().size() == 4 && BtOk->isEnabled()) BtOk->setFocus();
}

void FrmAltSenha::refuse(const QString& text, MsgIcon icon, QLineEdit* field) {
    MsgBox(text, MsgButtons::Ok, icon, std::nullopt, Title);
    field->setFocus();
}

void FrmAltSenha::BtOk_Click() {
    using OperatorRules::PasswordFault;
    if (!m_check->acessoLiberado() || !BtOk->isEnabled()) return;
    const QString password = TxtNvSenha->text();
    const QString confirmation = TxtConfNvSenha->text();
    try {
        const PasswordFault fault = OperatorRules::checkNewPassword(
            password, &confirmation, [this](const QString& p) { return OperatorRules::passwordTaken(*DataSenha, p); });
        switch (fault) {
        case PasswordFault::None: break;
        case PasswordFault::NotDigits:
            return refuse(QStringLiteral("ATENÇÃO - Digite Apenas Números Inteiros!"), MsgIcon::Critical, TxtNvSenha);
        case PasswordFault::Mismatch:
            return refuse(QStringLiteral("A Nova Senha não Confere.\rDigite Novamente a Nova Senha e Tecle OK"),
                          MsgIcon::Critical, TxtConfNvSenha);
        case PasswordFault::Length:
            return refuse(QStringLiteral("A Nova Senha precisa ter 4 Dígitos"), MsgIcon::Information, TxtNvSenha);
        case PasswordFault::AllEqual:
        case PasswordFault::Taken:
            return refuse(OperatorRules::SecurityMessage, MsgIcon::Exclamation, TxtNvSenha);
        case PasswordFault::LeadingZero:
            return refuse(OperatorRules::ZeroMessage, MsgIcon::Exclamation, TxtNvSenha);
        }
        // The row of the operator whose current password was typed, if it is
        // still there.
        if (!SettingsRow::moveToExact(*DataOperador, QStringLiteral("NomeOperador"), m_check->nomeOperador(),
                                      DataOperador->currentKey(), false)) {
            SettingsRow::showGone(Title);
            return;
        }
        DataOperador->edit();
        DataOperador->setField(QStringLiteral("Senha"), Schema::passwordToStored(confirmation.toLongLong()));
        DataOperador->update();
    } catch (const std::exception& e) {
        if (DataOperador->editMode() != RecordCursor::EditMode::None) DataOperador->cancelUpdate();
        SettingsRow::showError(QStringLiteral("Ocorreu um Erro ao tentar Alterar a Senha!"), e, Title);
        return;
    }
    BtOk->setEnabled(false);
    MsgBox(QStringLiteral("SENHA ALTERADA COM SUCESSO !"), MsgButtons::Ok, MsgIcon::Information, std::nullopt, Title);
    accept();
}
