#pragma once

#include "operators/operatorcontrols.h"

#include <QDialog>

class QLabel;

// A small modal gate that consists of nothing but the operator check: the
// password field, "&OK" (enabled when the window's right is granted) and
// "&Cancelar" (also Esc). Confirmation is the subclass's BtOk_Click.
class OperatorGate : public QDialog, protected OperatorControls {
    Q_OBJECT
public:
    OperatorGate(const QString& caption, const OperatorCheckConfig& row, QWidget* parent = nullptr);

protected:
    void BtFechar_Click() override;

    QLabel* Image1 = nullptr;

private:
    void Form_Load();
};
