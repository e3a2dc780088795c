#pragma once

#include "operators/operatorgate.h"

// The gate before the settings. Confirmed by an operator holding Cnf, it
// closes and then shows the settings window FrmConfig modally; closing the
// settings returns to the main window.
class FrmAcesso : public OperatorGate {
    Q_OBJECT
public:
    explicit FrmAcesso(QWidget* parent = nullptr);

protected:
    void BtOk_Click() override;
};
