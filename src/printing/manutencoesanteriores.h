#pragma once

#include "printer.h"

#include <QImage>
#include <QString>

class RecordCursor;

// The previous-repairs report: every delivered record of the printed order's
// appliance (same type, brand, model and serial number), one block per
// repair, in landscape, 6 blocks on the first page and 7 on each later one.
namespace ManutencoesAnteriores {

// "Manutenções Anteriores do Aparelho: ... Número de Série: ..." from the order.
QString titulo(const RecordCursor& os);

// The page header (centimetres).
void CabecalhoApEntregues(Printer& printer, const QImage& logo, const QString& nomeFantasia, const QString& titulo);

// Runs `query` on mntAnt and prints the report as one document (set up,
// printed and ended here). With no record, cancels the document and prints
// nothing; returns whether a document was printed. Throws on failure (the
// document is left to the caller to cancel).
bool print(Printer& printer, RecordCursor& mntAnt, const QString& query, const RecordCursor& os,
           const RecordCursor& empresa, const QImage& logo, QString& tituloRelatorio);

}
