#pragma once

#include "operators/operatorcontrols.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;

// Edits the nine rights of the operator selected in the settings
// (Modulo::OperadorSelecionado), after an operator holding CadUsu typed his
// password. Nobody changes his own rights. Closing the window empties
// OperadorSelecionado.
class FrmAltAcesso : public QDialog, protected OperatorControls {
    Q_OBJECT
public:
    explicit FrmAltAcesso(QWidget* parent = nullptr);
    ~FrmAltAcesso() override;

    void BtAlterar_Click();
    void done(int result) override;

protected:
    void BtOk_Click() override { BtAlterar_Click(); }
    void BtFechar_Click() override { reject(); }

private:
    void Form_Load();

    QPushButton*& BtAlterar = BtOk;
    QGroupBox* Frame1 = nullptr;
    std::array<QCheckBox*, 9> Check{};
    RecordCursor* DataOperadorAcesso = nullptr;
    // The edited operator's name as stored; empty when his row was not found.
    QString m_editado;
};
