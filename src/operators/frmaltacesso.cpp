#include "frmaltacesso.h"

#include "operators/operatorrules.h"
#include "settings/settingsrow.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "ui/messagebox.h"
#include "ui/widgets.h"
#include "ui/windowkeys.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString Title = QStringLiteral("Alterar Níveis de Acesso");
}

FrmAltAcesso::FrmAltAcesso(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmAltAcesso"));
    setWindowTitle(Title);
    setModal(true);

    Frame1 = OperatorRules::makeRightsFrame(this, OperatorRules::RightsCaptions::RightsWindow, Check);
    buildOperatorControls(this,
                          {this, {}, {}, {}, QStringLiteral("Confirmar Alterações"), QStringLiteral("Fechar"),
                           QStringLiteral("BtAlterar"), QStringLiteral("&Alterar")},
                          OperatorCheckRows::FrmAltAcesso);
    // The boxes show the rights from the start and may be changed before the
    // password; nothing is stored until BtAlterar.
    Frame1->setEnabled(true);
    DataOperadorAcesso = new RecordCursor(this);
    DataOperadorAcesso->setObjectName(QStringLiteral("DataOperadorAcesso"));

    auto* root = new QVBoxLayout(this);
    auto* op = new QHBoxLayout;
    op->addWidget(Widgets::label(this, QStringLiteral("Label1"), QStringLiteral("Senha Operador Autorizado")));
    op->addWidget(TxtOperador, 1);
    root->addLayout(op);
    root->addWidget(Frame1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtAlterar);
    buttons->addWidget(BtFechar);
    root->addLayout(buttons);

    setTabOrder(TxtOperador, Check[0]);
    for (std::size_t i = 0; i + 1 < Check.size(); ++i) setTabOrder(Check[i], Check[i + 1]);
    setTabOrder(Check[8], BtAlterar);
    setTabOrder(BtAlterar, BtFechar);
    WindowKeys::install(this);
    Form_Load();
    TxtOperador->setFocus();
}

FrmAltAcesso::~FrmAltAcesso() { Modulo::OperadorSelecionado.clear(); }

void FrmAltAcesso::Form_Load() {
    if (!openOperatorCursor()) return;
    setWindowTitle(QStringLiteral("Alterar Níveis de Acesso para o Operador: ") + Modulo::OperadorSelecionado);
    try {
        DataOperadorAcesso->open(ProgramFolder::databasePath(), QStringLiteral("TblOperador"),
                                 QString::fromUtf8(ConnectWithPassword));
        // The selected operator's own row, or none: never another's.
        if (SettingsRow::moveToExact(*DataOperadorAcesso, QStringLiteral("NomeOperador"),
                                     Modulo::OperadorSelecionado)) {
            m_editado = DataOperadorAcesso->text(QStringLiteral("NomeOperador"));
            for (std::size_t i = 0; i < Check.size(); ++i)
                Check[i]->setChecked(DataOperadorAcesso->yesNo(QString::fromLatin1(OperatorRules::RightFields[i])));
        }
    } catch (const std::exception& e) {
        SettingsRow::showError(QStringLiteral("Não foi possível ler os Níveis de Acesso do Operador!"), e, Title);
    }
}

void FrmAltAcesso::done(int result) {
    Modulo::OperadorSelecionado.clear();
    QDialog::done(result);
}

void FrmAltAcesso::BtAlterar_Click() {
    if (!m_check->acessoLiberado() || !BtAlterar->isEnabled()) return;
    if (!m_editado.isEmpty() && m_check->nomeOperador() == m_editado) {
        MsgBox(QStringLiteral("Você não pode alterar seus próprios Níveis de Acesso!\r"
                              "Solicite a outro Operador Autorizado para fazer isto"),
               MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, Title);
        BtAlterar->setEnabled(false);
        return;
    }
    try {
        if (m_editado.isEmpty()
            || !SettingsRow::moveToExact(*DataOperadorAcesso, QStringLiteral("NomeOperador"), m_editado)) {
            BtAlterar->setEnabled(false);
            SettingsRow::showGone(Title);
            return;
        }
        DataOperadorAcesso->edit();
        for (std::size_t i = 0; i < Check.size(); ++i)
            DataOperadorAcesso->setField(QString::fromLatin1(OperatorRules::RightFields[i]), Check[i]->isChecked());
        DataOperadorAcesso->update();
    } catch (const std::exception& e) {
        if (DataOperadorAcesso->editMode() != RecordCursor::EditMode::None) DataOperadorAcesso->cancelUpdate();
        SettingsRow::showError(QStringLiteral("Ocorreu um Erro ao tentar Alterar os Níveis de Acesso!"), e, Title);
        return;
    }
    BtAlterar->setEnabled(false);
    Frame1->setEnabled(false);
    MsgBox(QStringLiteral("Níveis de Acesso do Operador: ") + Modulo::OperadorSelecionado +
               QStringLiteral("\rAlterados Com Sucesso !"),
           MsgButtons::Ok, MsgIcon::Information, std::nullopt, Title);
}
