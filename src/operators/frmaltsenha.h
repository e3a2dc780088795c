#pragma once

#include "operators/operatorcontrols.h"
#include "ui/messagebox.h"

#include <QDialog>

// An operator replaces his own password: he types the current one (any
// operator, no right needed), then the new one twice. The window closes
// after a successful change.
class FrmAltSenha : public QDialog, protected OperatorControls {
    Q_OBJECT
public:
    explicit FrmAltSenha(QWidget* parent = nullptr);

protected:
    void BtOk_Click() override;
    void BtFechar_Click() override { reject(); }

private:
    void Form_Load();
    void TxtNvSenha_Change();
    void TxtConfNvSenha_Change();
    void refuse(const QString& text, MsgIcon icon, QLineEdit* field);

    QLineEdit* TxtNvSenha = nullptr;
    QLineEdit* TxtConfNvSenha = nullptr;
    RecordCursor* DataSenha = nullptr;
};
