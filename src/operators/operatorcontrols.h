#pragma once

#include "operators/validasenhaoperador.h"

#include <QRect>
#include <QString>

class QDialog;
class QLineEdit;
class QPushButton;
class QWidget;
class RecordCursor;

// The part of a window that an operator's password confirms (the log-in
// window and the gates): the masked field "TxtOperador", "&OK" (enabled once
// the window's right is granted), "&Cancelar", the operator cursor
// "DataOperador" (the window opens it) and the check on them. The buttons call
// the window's BtOk_Click and BtFechar_Click.
class OperatorControls {
protected:
    // Where the controls stand (pixels) and the buttons' tool tips.
    struct Places {
        QWidget* fieldParent;   // the window, or a frame of it
        QRect field;
        QRect ok;
        QRect cancel;
        QString okTip;
        QString cancelTip;
    };

    ~OperatorControls() = default;

    // Makes the controls on `window` with the check of `row`. Install the
    // window's keys (WindowKeys) once all its buttons exist.
    void buildOperatorControls(QDialog* window, const Places& places, const OperatorCheckConfig& row);

    virtual void BtOk_Click() = 0;
    virtual void BtFechar_Click() = 0;

    QLineEdit* TxtOperador = nullptr;
    QPushButton* BtOk = nullptr;
    QPushButton* BtFechar = nullptr;
    RecordCursor* DataOperador = nullptr;
    ValidaSenhaOperador* m_check = nullptr;
};
