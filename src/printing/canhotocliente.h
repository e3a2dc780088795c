#pragma once

#include "printer.h"

#include <QImage>

class RecordCursor;

// The customer's stub: the part of the service order the customer takes home
// (cut line, logo, the shop's data and messages, the order number, the
// signature line with city, date, time and intake operator, the customer
// and the appliance, and the program's footer).
namespace CanhotoCliente {

// Draws the stub from the current print position downwards, in the style the
// caller left on the surface until the stub changes it; leaves the position
// on the line after the web address. Neither starts a page nor ends the document.
void print(Printer& printer, const RecordCursor& os, const RecordCursor& empresa, const QImage& logo);

}
