#include "operatorcontrols.h"

#include "store/recordcursor.h"
#include "ui/widgets.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

void OperatorControls::buildOperatorControls(QDialog* window, const Places& places, const OperatorCheckConfig& row) {
    TxtOperador = Widgets::lineEdit(places.fieldParent, QStringLiteral("TxtOperador"), places.field);
    BtOk = Widgets::button(window, QStringLiteral("BtOk"), QStringLiteral("&OK"), places.okTip, places.ok);
    BtFechar = Widgets::button(window, QStringLiteral("BtFechar"), QStringLiteral("&Cancelar"), places.cancelTip,
                               places.cancel);
    QWidget::setTabOrder(TxtOperador, BtOk);
    QWidget::setTabOrder(BtOk, BtFechar);

    DataOperador = new RecordCursor(window);
    DataOperador->setObjectName(QStringLiteral("DataOperador"));
    // After the buttons: the check finds the ones its row guards by name.
    m_check = new ValidaSenhaOperador(TxtOperador, DataOperador, row, window);

    QObject::connect(BtOk, &QPushButton::clicked, window, [this] { BtOk_Click(); });
    QObject::connect(BtFechar, &QPushButton::clicked, window, [this] { BtFechar_Click(); });
}
