#include "manutencoesanteriores.h"

#include "deliveredrows.h"
#include "printjob.h"
#include "store/recordcursor.h"

namespace ManutencoesAnteriores {

QString titulo(const RecordCursor& os) {
    return QStringLiteral("Manutenções Anteriores do Aparelho: ") + os.text(QStringLiteral("Aparelho")) +
           QStringLiteral(" Marca: ") + os.text(QStringLiteral("Marca")) + QStringLiteral(" Modelo: ") +
           os.text(QStringLiteral("Modelo")) + QStringLiteral(" Número de Série: ") + os.text(QStringLiteral("NumSerie"));
}

void CabecalhoApEntregues(Printer& p, const QImage& logo, const QString& nomeFantasia, const QString& titulo) {
    PrintJob::listPageTop(p, logo, nomeFantasia, 10, titulo, true);
    p.print();
    p.setFontSize(10);
    const QString dashes(250, QLatin1Char('-'));
    p.print({dashes});
    DeliveredRows::columnHeadings(p);
    p.print({dashes});
    p.print();
}

bool print(Printer& p, RecordCursor& mntAnt, const QString& query, const RecordCursor& os,
           const RecordCursor& empresa, const QImage& logo, QString& tituloRelatorio) {
    mntAnt.setRecordSource(query);
    mntAnt.refresh();
    PrintJob::pageSetUp(p, PrintOrientation::Landscape, PrintUnit::Centimetres, QStringLiteral("Arial Narrow"));
    if (mntAnt.recordCount() < 1) {
        p.killDoc();
        return false;
    }
    p.setDocumentName(QStringLiteral("Manutenções Anteriores"));
    tituloRelatorio = titulo(os);
    const QString nomeFantasia = empresa.text(QStringLiteral("NomeFantasia"));

    int count = 0;
    CabecalhoApEntregues(p, logo, nomeFantasia, tituloRelatorio);
    const auto record = [&] {
        DeliveredRows::printRow(p, mntAnt);
        // The stored report lines, whole, inside the page.
        for (const QStringList& fields : {QStringList{"Relatorio0", "Relatorio1", "Relatorio2"},
                                          QStringList{"Relatorio3", "Relatorio4"}}) {
            QStringList lines;
            for (const QString& field : fields) lines << mntAnt.text(field);
            p.print({Tab(23), Fit(lines.join(QStringLiteral("  ")))});
        }
        p.print();
    };
    for (mntAnt.moveFirst(); mntAnt.hasCurrent(); mntAnt.moveNext())
        PrintJob::printRecord(p, count, 7, record, [&] { CabecalhoApEntregues(p, logo, nomeFantasia, tituloRelatorio); });
    p.endDoc();
    return true;
}

}
