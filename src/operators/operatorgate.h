#pragma once

#include "operators/validasenhaoperador.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class RecordCursor;

// A small modal gate that consists of nothing but the operator check: the
// password field, "&OK" (enabled when the window's right is granted) and
// "&Cancelar" (also Esc). Confirmation is the subclass's BtOk_Click.
class OperatorGate : public QDialog {
    Q_OBJECT
public:
    OperatorGate(const QString& caption, const OperatorCheckConfig& row, QWidget* parent = nullptr);

    ValidaSenhaOperador* check() const { return m_check; }

protected:
    virtual void BtOk_Click() = 0;
    void BtFechar_Click();

    QLabel* Image1 = nullptr;
    QLineEdit* TxtOperador = nullptr;
    QPushButton* BtOk = nullptr;
    QPushButton* BtFechar = nullptr;
    RecordCursor* DataOperador = nullptr;

private:
    void Form_Load();
    ValidaSenhaOperador* m_check = nullptr;
};
