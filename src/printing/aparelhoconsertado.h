#pragma once

#include "printer.h"

#include <QImage>
#include <QString>
#include <functional>

class RecordCursor;

// "RELATÓRIO DE APARELHO CONSERTADO": the one-page report of one delivered
// appliance - the order number, customer, appliance, factory warranty, entry
// and exit, the stored service report with the payment lines, the amount
// charged and the issue date - in millimetres, portrait, font "Arial".
namespace AparelhoConsertado {

// Sets the page up and prints the page of the row (the printer's document is
// not ended). `progress` is told 75 after the appliance block. Throws on
// failure.
void printPage(Printer& printer, const RecordCursor& row, const QString& nomeFantasia, const QImage& logo,
               const std::function<void(int)>& progress);

}
