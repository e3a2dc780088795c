#include "aparelhosentregues.h"

#include "deliveredrows.h"
#include "printjob.h"
#include "store/recordcursor.h"

namespace AparelhosEntregues {

void Cabecalho(Printer& p, const QImage& logo, const QString& nomeFantasia, const QString& tituloRelatorio) {
    PrintJob::listPageTop(p, logo, nomeFantasia, 14, tituloRelatorio, false);
    p.print();
    DeliveredRows::columnHeadings(p);
    p.print({QString(210, QLatin1Char('-'))});
    p.print();
}

void print(Printer& p, RecordCursor& rows, const QImage& logo, const QString& nomeFantasia,
           const QString& tituloRelatorio) {
    PrintJob::pageSetUp(p, PrintOrientation::Landscape, PrintUnit::Centimetres, QStringLiteral("Arial Narrow"));
    p.setDocumentName(QStringLiteral("Relatório de Aparelhos Entregues"));
    int count = 0;
    Cabecalho(p, logo, nomeFantasia, tituloRelatorio);
    for (rows.moveFirst(); rows.hasCurrent(); rows.moveNext()) {
        // The count starts again at 0, not 1: 14 rows on the first page, 15 on the others.
        if (++count == 15) {
            p.newPage();
            Cabecalho(p, logo, nomeFantasia, tituloRelatorio);
            count = 0;
        }
        DeliveredRows::printRow(p, rows);
        p.print();
    }
    p.endDoc();
}

}
