#include "frmacesso.h"

#include "settings/frmconfig.h"
#include "ui/windowhost.h"

#include <QPointer>

FrmAcesso::FrmAcesso(QWidget* parent)
    : OperatorGate(QStringLiteral("Acesso à Configurações"), OperatorCheckRows::FrmAcesso, parent) {
    setObjectName(QStringLiteral("FrmAcesso"));
}

void FrmAcesso::BtOk_Click() {
    if (!m_check->acessoLiberado()) return;
    // The gate is gone from the screen before the settings open.
    QWidget* owner = parentWidget();
    done(Accepted);
    WindowHost::showModal(new FrmConfig(owner));
}
