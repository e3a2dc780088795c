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
