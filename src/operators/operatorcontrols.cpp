#include "operatorcontrols.h"

#include "store/recordcursor.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

namespace {

QPushButton* button(QDialog* window, const QString& name, const QString& caption, const QString& tip,
                    const QRect& where) {
    auto* b = new QPushButton(caption, window);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setGeometry(where);
    return b;
}

} // namespace

void OperatorControls::buildOperatorControls(QDialog* window, const Places& places, const OperatorCheckConfig& row) {
    TxtOperador = new QLineEdit(places.fieldParent);
    TxtOperador->setObjectName(QStringLiteral("TxtOperador"));
    TxtOperador->setGeometry(places.field);

    BtOk = button(window, QStringLiteral("BtOk"), QStringLiteral("&OK"), places.okTip, places.ok);
    BtFechar = button(window, QStringLiteral("BtFechar"), QStringLiteral("&Cancelar"), places.cancelTip, places.cancel);
    QWidget::setTabOrder(TxtOperador, BtOk);
    QWidget::setTabOrder(BtOk, BtFechar);

    DataOperador = new RecordCursor(window);
    DataOperador->setObjectName(QStringLiteral("DataOperador"));
    // After the buttons: the check finds the ones its row guards by name.
    m_check = new ValidaSenhaOperador(TxtOperador, DataOperador, row, window);

    QObject::connect(BtOk, &QPushButton::clicked, window, [this] { BtOk_Click(); });
    QObject::connect(BtFechar, &QPushButton::clicked, window, [this] { BtFechar_Click(); });
}
