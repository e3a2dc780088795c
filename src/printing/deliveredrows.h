#pragma once

#include "printer.h"

class RecordCursor;

// What the printed lists of delivered appliances share (the list of
// delivered appliances and the previous-repairs report): the line of column
// headings and the two lines of one delivered row, in centimetres on a
// landscape page.
namespace DeliveredRows {

// In 10 points: "OS", "ENTRADA", "SAÍDA", "CLIENTE", "APARELHO", "MARCA",
// "MODELO", "TIPO", "STATUS", "DIAS", "VALOR".
void columnHeadings(Printer& printer);

// In 8 points: the order number in bold, entry and exit dates, customer,
// appliance, brand, model, type, status, days and the amount charged; then
// the defect, accessories and technician.
void printRow(Printer& printer, const RecordCursor& row);

}
