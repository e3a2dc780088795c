#include "deliveredrows.h"

#include "store/recordcursor.h"

namespace DeliveredRows {

void columnHeadings(Printer& p) {
    p.setFontSize(10);
    p.print({Tab(2), "OS", Spc(2), "ENTRADA", Spc(2), "SAÍDA", Tab(35), "CLIENTE", Tab(72), "APARELHO", Spc(10), "MARCA",
             Spc(8), "MODELO", Spc(9), "TIPO", Spc(8), "STATUS", Spc(6), "DIAS", Spc(3), "VALOR"});
}

void printRow(Printer& p, const RecordCursor& row) {
    const auto f = [&row](const char* name) { return row.field(QString::fromLatin1(name)); };
    const auto text = [&row](const char* name) { return row.text(QString::fromLatin1(name)); };
    p.setFontSize(8);
    p.setBold(true);
    p.print({Tab(2)}, LineEnd::Open);
    p.printUpTo(Num(f("Os")).text(), 12);
    p.setBold(false);
    // Each field keeps to its column: a long one never pushes the rest of
    // the row onto other lines.
    p.print({Tab(12), Fmt::shortDate(f("DataEntrada")), Spc(2), Fmt::shortDate(f("DataSaida")), Spc(2)}, LineEnd::Open);
    p.printUpTo(text("Nome"), 93);
    const struct { const char* field; int column, next; } columns[] = {
        {"Aparelho", 93, 122}, {"Marca", 122, 146}, {"Modelo", 146, 170}, {"Tipo", 170, 194}, {"Status", 194, 217}};
    for (const auto& c : columns) {
        p.print({Tab(c.column)}, LineEnd::Open);
        p.printUpTo(text(c.field), c.next);
    }
    p.print({Tab(217), Fit(Num(f("Dias"))), Tab(225), Fit(Fmt::currency(f("ValorCobrado")))});
    p.print({Tab(23)}, LineEnd::Open);
    p.printUpTo(QStringLiteral("Defeito: %1   Acessórios: %2   Técnico: %3")
                    .arg(text("Defeito"), text("Acessorios"), text("Tecnico")));
    p.print();
}

}
