#pragma once

#include "operators/operatorcontrols.h"

#include <QDialog>

class QLabel;

// Deletes the operator selected in the settings (Modulo::OperadorSelecionado),
// after an operator holding CadUsu typed his password. Nobody deletes
// himself. Closing the window empties OperadorSelecionado.
class FrmExOperador : public QDialog, protected OperatorControls {
    Q_OBJECT
public:
    explicit FrmExOperador(QWidget* parent = nullptr);
    ~FrmExOperador() override;

    void BtExcluir_Click();
    void done(int result) override;

protected:
    void BtOk_Click() override { BtExcluir_Click(); }
    void BtFechar_Click() override { reject(); }

private:
    void Form_Load();

    QPushButton*& BtExcluir = BtOk;
    QLabel* LblExOp = nullptr;
};
