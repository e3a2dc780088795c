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
    p.print({Tab(2), Fit(Num(f("Os")))}, LineEnd::Open);
    p.setBold(false);
    // A field past the next column sends the rest of the row to the next line.
    p.print({Tab(12), Fmt::shortDate(f("DataEntrada")), Spc(2), Fmt::shortDate(f("DataSaida")), Spc(2), Fit(text("Nome")),
             Tab(93), Fit(text("Aparelho")), Tab(122), Fit(text("Marca")), Tab(146), Fit(text("Modelo")), Tab(170),
             Fit(text("Tipo")), Tab(194), Fit(text("Status")), Tab(217), Fit(Num(f("Dias"))), Tab(225),
             Fit(Fmt::currency(f("ValorCobrado")))});
    p.print({Tab(23), Fit(QStringLiteral("Defeito: %1   Acessórios: %2   Técnico: %3")
                              .arg(text("Defeito"), text("Acessorios"), text("Tecnico")))});
}

}
