#pragma once

#include "operators/operatorgate.h"

// The gate before a service order's data may be changed. Confirmed by an
// operator holding Cnf, it sets Modulo::AcessoOsLiberado to True; cancelled
// (button, Esc, close box) it leaves the variable as it was.
class FrmAcessoOs : public OperatorGate {
    Q_OBJECT
public:
    explicit FrmAcessoOs(QWidget* parent = nullptr);

protected:
    void BtOk_Click() override;
};
