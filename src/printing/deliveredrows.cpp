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
    p.setFontSize(8);
    p.setBold(true);
    p.print({Tab(2), Num(f("Os"))}, LineEnd::Open);
    p.setBold(false);
    p.print({Tab(12), Fmt::shortDate(f("DataEntrada")), Spc(2), Fmt::shortDate(f("DataSaida")), Spc(2), Value(f("Nome")),
             Tab(93), Value(f("Aparelho")), Tab(122), Value(f("Marca")), Tab(146), Value(f("Modelo")), Tab(170),
             Value(f("Tipo")), Tab(194), Value(f("Status")), Tab(217), Num(f("Dias")), Tab(225),
             Fmt::currency(f("ValorCobrado"))});
    p.print({Tab(23), "Defeito:", Spc(1), Value(f("Defeito")), Spc(3), "Acessórios:", Spc(1), Value(f("Acessorios")),
             Spc(3), "Técnico:", Spc(1), Value(f("Tecnico"))});
}

}
