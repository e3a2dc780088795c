#include "manutencoesanteriores.h"

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
    p.print({Tab(2), "OS", Spc(2), "ENTRADA", Spc(2), "SAÍDA", Tab(35), "CLIENTE", Tab(72), "APARELHO", Spc(10), "MARCA",
             Spc(8), "MODELO", Spc(9), "TIPO", Spc(8), "STATUS", Spc(6), "DIAS", Spc(3), "VALOR"});
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
    const auto f = [&mntAnt](const char* name) { return mntAnt.field(QString::fromLatin1(name)); };

    int count = 0;
    CabecalhoApEntregues(p, logo, nomeFantasia, tituloRelatorio);
    for (mntAnt.moveFirst(); mntAnt.hasCurrent(); mntAnt.moveNext()) {
        if (++count == 7) {
            p.newPage();
            CabecalhoApEntregues(p, logo, nomeFantasia, tituloRelatorio);
            count = 0;
        }
        p.setFontSize(8);
        p.setBold(true);
        p.print({Tab(2), Num(f("Os"))}, LineEnd::Open);
        p.setBold(false);
        p.print({Tab(12), Fmt::shortDate(f("DataEntrada")), Spc(2), Fmt::shortDate(f("DataSaida")), Spc(2),
                 Value(f("Nome")), Tab(93), Value(f("Aparelho")), Tab(122), Value(f("Marca")), Tab(146),
                 Value(f("Modelo")), Tab(170), Value(f("Tipo")), Tab(194), Value(f("Status")), Tab(217),
                 Num(f("Dias")), Tab(225), Fmt::currency(f("ValorCobrado"))});
        p.print({Tab(23), "Defeito:", Spc(1), Value(f("Defeito")), Spc(3), "Acessórios:", Spc(1), Value(f("Acessorios")),
                 Spc(3), "Técnico:", Spc(1), Value(f("Tecnico"))});
        p.print({Tab(23), Value(f("Relatorio0")), Spc(2), Value(f("Relatorio1")), Spc(2), Value(f("Relatorio2"))});
        p.print({Tab(23), Value(f("Relatorio3")), Spc(2), Value(f("Relatorio4"))});
        p.print();
    }
    p.endDoc();
    return true;
}

}
