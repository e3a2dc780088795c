#include "customerbutton.h"

#include "app/appicons.h"
#include "customers/frmclientes.h"
#include "store/globals.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"

#include <QPushButton>

namespace CustomerButton {

QPushButton* make(QWidget* parent) {
    QPushButton* b = Widgets::pictureButton(parent, QStringLiteral("BtCadCliente"), AppIcons::toolbar(QStringLiteral("Clientes")),
                                            QStringLiteral("Cadastro de Clientes"));
    b->setCursor(Qt::PointingHandCursor);
    // A small button beside the customer's fields.
    b->setIconSize(QSize(20, 20));
    b->setFixedSize(44, 28);
    return b;
}

void open(std::int32_t codigo, const std::function<void()>& closeWindow, const std::function<void()>& missing) {
    Modulo::CodClienteAtual = codigo;
    FrmClientes* clientes = FrmClientes::load();
    if (clientes && !clientes->moveToCustomer(codigo) && missing) missing();
    closeWindow();
    if (clientes) WindowHost::showList(clientes);
}

}
