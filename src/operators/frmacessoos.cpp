#include "frmacessoos.h"

#include "store/globals.h"

FrmAcessoOs::FrmAcessoOs(QWidget* parent)
    : OperatorGate(QStringLiteral("Alterar dados da Ordem de Serviço"), OperatorCheckRows::FrmAcessoOs, parent) {}

void FrmAcessoOs::BtOk_Click() {
    if (!m_check->acessoLiberado()) return;
    Modulo::AcessoOsLiberado = true;
    accept();
}
