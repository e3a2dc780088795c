#pragma once

#include "operators/operatorcontrols.h"
#include "ui/messagebox.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;

// Records a new operator: name, password and the nine access rights. An
// operator holding CadUsu types his own password first; the window stays
// open after the save with its button disabled. The settings open it only
// while fewer than two operators are recorded.
class frmNvOperador : public QDialog, protected OperatorControls {
    Q_OBJECT
public:
    explicit frmNvOperador(QWidget* parent = nullptr);

    void BtCadastrar_Click();

protected:
    void BtOk_Click() override { BtCadastrar_Click(); }
    void BtFechar_Click() override { reject(); }

private:
    void Form_Load();
    // Shows a refused input (title of the window), focuses the field.
    void refuse(const QString& text, MsgIcon icon, QLineEdit* field);

    QPushButton*& BtCadastrar = BtOk;
    QLineEdit* TxtNvUsuario = nullptr;
    QLineEdit* TxtSnNvUsuario = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QCheckBox*, 9> Check{};
};
