#pragma once

#include "printer.h"

#include <QImage>
#include <QString>
#include <functional>

class RecordCursor;

// The service-order document: one portrait page with the logo, the trade
// name and the order number, the customer's and the order's data, the
// appliance and its factory warranty, the previous repairs and the
// customer's other open orders, the empty "MATERIAL UTILIZADO" grid, the
// customer's name under the signature line and the strip of number tags.
namespace OrdemServico {

// What the page reads, each cursor on its rows.
struct Sources {
    const RecordCursor& os;               // the order (TblManutencao)
    const RecordCursor& empresa;          // the company record
    RecordCursor& mntAnt;                 // previous repairs of the appliance (TblApEntregues)
    RecordCursor& sqlApManutencao;        // the customer's open orders (TblManutencao)
    const QImage& logo;
};

// The tag code of an order type: "GS", "GF", otherwise "ORÇ".
QString tipoOS(const QString& tipo);
// The query of the previous repairs of the order's appliance: same type,
// brand, model and serial number, each value quoted.
QString previousRepairsQuery(const RecordCursor& os);
// The query of the customer's open orders.
QString openOrdersQuery(const RecordCursor& os);

// The width of what follows the trade name on the heading line ("Ordem de
// Serviço:" and the number), in the current unit; the font is kept.
double headingWidth(Printer& p, const QVariant& os);

// Whole millimetres, a half going to the even number.
int roundEven(double millimetres);

// The ruled figures, from the top reference and the right edge; the print
// position is left at the last rule's end.
void TblDuasLinhas(Printer& printer, int topo, int largura);
void TblNormal(Printer& printer, int topo, int largura);
void TblApGarantia(Printer& printer, int topo, int largura);

// Prints the page on a printer already set up (portrait, mm, "Arial
// Narrow", line width 2), up to the tags: the customer's name row when
// nameRow (the stub's option), the tags when tags. progress(75) is called
// after the appliance's factory-warranty rows.
void printPage(Printer& printer, const Sources& sources, bool nameRow, bool tags,
               const std::function<void(int)>& progress = {});

}
