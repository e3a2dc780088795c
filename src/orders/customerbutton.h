#pragma once

#include <cstdint>
#include <functional>

class QPushButton;
class QWidget;

// The customer button of the service-order and delivered-details windows:
// the customers' picture without a caption, the tip "Cadastro de Clientes",
// the pointing hand over it ("BtCadCliente").
namespace CustomerButton {

QPushButton* make(QWidget* parent);

// Its click: `CodClienteAtual` becomes `codigo` and the customer list (loaded
// when it is not open) moves to that customer; `missing` runs when no
// customer has the code. Then `closeWindow` closes the calling window and
// the list shows beside the lists already open.
void open(std::int32_t codigo, const std::function<void()>& closeWindow, const std::function<void()>& missing = {});

}
