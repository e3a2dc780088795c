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
    const auto record = [&] {
        DeliveredRows::printRow(p, rows);
        p.print();
    };
    // 14 rows on the first page, 15 on the others.
    for (rows.moveFirst(); rows.hasCurrent(); rows.moveNext())
        PrintJob::printRecord(p, count, 15, record, [&] { Cabecalho(p, logo, nomeFantasia, tituloRelatorio); });
    p.endDoc();
}

}
