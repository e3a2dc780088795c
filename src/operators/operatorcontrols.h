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
// the window's right is granted; or the window's own action button),
// "&Cancelar", the operator cursor
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
        // The confirm button's name and caption (the operator windows name
        // it after what it does: "BtCadastrar", "BtExcluir", "BtAlterar").
        QString okName = QStringLiteral("BtOk");
        QString okCaption = QStringLiteral("&OK");
    };

    ~OperatorControls() = default;

    // Makes the controls on `window` with the check of `row`. Install the
    // window's keys (WindowKeys) once all its buttons exist.
    void buildOperatorControls(QDialog* window, const Places& places, const OperatorCheckConfig& row);

    // Points DataOperador at the program's database (TblOperador). On failure
    // shows why, under the window's title, disables the password field and
    // returns false.
    bool openOperatorCursor();

    virtual void BtOk_Click() = 0;
    virtual void BtFechar_Click() = 0;

    QLineEdit* TxtOperador = nullptr;
    QPushButton* BtOk = nullptr;
    QPushButton* BtFechar = nullptr;
    RecordCursor* DataOperador = nullptr;
    ValidaSenhaOperador* m_check = nullptr;
};
