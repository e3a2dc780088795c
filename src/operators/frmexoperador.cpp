#include "frmexoperador.h"

#include "settings/settingsrow.h"
#include "store/globals.h"
#include "store/recordcursor.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/widgets.h"
#include "ui/windowkeys.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString Title = QStringLiteral("Exclusão de Operador");
}

FrmExOperador::FrmExOperador(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmExOperador"));
    setWindowTitle(QStringLiteral("Excluir Operador"));
    setModal(true);

    buildOperatorControls(this,
                          {this, {}, {}, {}, QStringLiteral("Excluir Operador do Sistema"), QStringLiteral("Fechar"),
                           QStringLiteral("BtExcluir"), QStringLiteral("&Excluir")},
                          OperatorCheckRows::FrmExOperador);

    auto* root = new QVBoxLayout(this);
    auto* who = new QHBoxLayout;
    who->addWidget(Widgets::label(this, QStringLiteral("Label1"), QStringLiteral("Usuário a ser Excluído:")));
    LblExOp = Widgets::label(this, QStringLiteral("LblExOp"), {});
    QFont bold = LblExOp->font();
    bold.setBold(true);
    LblExOp->setFont(bold);
    who->addWidget(LblExOp, 1);
    root->addLayout(who);
    root->addWidget(Widgets::label(this, QStringLiteral("Label2"),
                                   QStringLiteral("Digite a Senha de um Operador autozizado e Tecle Excluir")));
    root->addWidget(TxtOperador);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtExcluir);
    buttons->addWidget(BtFechar);
    root->addLayout(buttons);

    WindowKeys::install(this);
    Form_Load();
    TxtOperador->setFocus();
}

FrmExOperador::~FrmExOperador() { Modulo::OperadorSelecionado.clear(); }

void FrmExOperador::Form_Load() {
    openOperatorCursor();
    LblExOp->setText(Modulo::OperadorSelecionado);
}

void FrmExOperador::done(int result) {
    Modulo::OperadorSelecionado.clear();
    QDialog::done(result);
}

void FrmExOperador::BtExcluir_Click() {
    if (!m_check->acessoLiberado() || !BtExcluir->isEnabled()) return;
    if (TxtOperador->text() == LblExOp->text()) {
        MsgBox(QStringLiteral("Você não pode se Auto Excluir!\r"
                              "Solicite a algum outro Operador Autorizado que faça a sua Exclusão"),
               MsgButtons::Ok, MsgIcon::Information, std::nullopt, Title);
        BtExcluir->setEnabled(false);
        return;
    }
    try {
        // Only the selected operator's own row goes.
        if (!SettingsRow::moveToExact(*DataOperador, QStringLiteral("NomeOperador"), LblExOp->text())) {
            BtExcluir->setEnabled(false);
            SettingsRow::showGone(Title);
            return;
        }
        DataOperador->deleteCurrent();
    } catch (const std::exception& e) {
        SettingsRow::showError(QStringLiteral("Ocorreu um Erro ao tentar Excluir o Operador!"), e, Title);
        return;
    }
    BtExcluir->setEnabled(false);
    MsgBox(QStringLiteral("OPERADOR: ") + LblExOp->text() + QStringLiteral("\rEXCLUÍDO COM SUCESSO !"), MsgButtons::Ok,
           MsgIcon::Information, std::nullopt, Title);
}
