#include "ordemservico.h"

#include "store/recordcursor.h"
#include "store/sqldialect.h"

#include <algorithm>
#include <cmath>

namespace OrdemServico {

namespace {

// The right-hand column of rows 5 to 20: "|", a blank and the entry.
std::vector<PrintItem> orderColumn(std::vector<PrintItem> entry) {
    std::vector<PrintItem> items{Tab(118), "|", Spc(1)};
    items.insert(items.end(), entry.begin(), entry.end());
    return items;
}

// A label, 2 blanks and a value, in the current style.
std::vector<PrintItem> labelled(const QString& label, const PrintItem& value) { return {label, Spc(2), Fit(value)}; }

void printItems(Printer& p, std::vector<PrintItem> items, LineEnd end = LineEnd::Ends) { p.print(items, end); }

// A row's left part and its entry of the order column in one statement: a
// left part past column 118 sends the entry to the next line.
void row(Printer& p, std::vector<PrintItem> left, std::vector<PrintItem> entry, LineEnd end = LineEnd::Ends) {
    const std::vector<PrintItem> right = orderColumn(std::move(entry));
    left.insert(left.end(), right.begin(), right.end());
    p.print(left, end);
}

// "label  value" from `column`, the value alone in bold; the line left open.
void boldValue(Printer& p, int column, const QString& label, const QVariant& value) {
    p.print({Tab(column), label, Spc(2)}, LineEnd::Open);
    p.setBold(true);
    p.print({Fit(value.toString())}, LineEnd::Open);
    p.setBold(false);
}

// "label  value" from column 1; the line left open.
void leftValue(Printer& p, const char* label, const QVariant& value) {
    p.print({Tab(1), label, Spc(2), Fit(value.toString())}, LineEnd::Open);
}

// Each row's order number: a blank, "00000", a blank.
QString orderNumbers(RecordCursor& rows) {
    QString numbers;
    rows.moveFirst();
    while (rows.hasCurrent()) {
        numbers += QLatin1Char(' ') + Fmt::zeros(rows.field(QStringLiteral("Os")), 5) + QLatin1Char(' ');
        rows.moveNext();
    }
    return numbers;
}

} // namespace

double headingWidth(Printer& p, const QVariant& os) {
    const PrintFont font = p.font();
    p.setFontSize(16);
    double width = p.textWidth(QStringLiteral("    Ordem de Serviço:"));
    p.setFontSize(20);
    p.setBold(true);
    width += p.textWidth(QStringLiteral(" Nº ") + Fmt::zeros(os, 5));
    p.setFontSize(font.size);
    p.setBold(font.bold);
    return width;
}

QString tipoOS(const QString& tipo) {
    if (tipo == QStringLiteral("GAR. DE SERVIÇO")) return QStringLiteral("GS");
    if (tipo == QStringLiteral("GAR.DE FÁBRICA")) return QStringLiteral("GF");
    return QStringLiteral("ORÇ");
}

QString previousRepairsQuery(const RecordCursor& os) {
    return QStringLiteral("SELECT * FROM TblApEntregues WHERE Aparelho = %1 AND Marca = %2 AND Modelo = %3 AND NumSerie = %4")
        .arg(SqlDialect::quote(os.text(QStringLiteral("Aparelho"))), SqlDialect::quote(os.text(QStringLiteral("Marca"))),
             SqlDialect::quote(os.text(QStringLiteral("Modelo"))), SqlDialect::quote(os.text(QStringLiteral("NumSerie"))));
}

QString openOrdersQuery(const RecordCursor& os) {
    return QStringLiteral("SELECT * FROM TblManutencao WHERE IDCliente = %1").arg(os.number(QStringLiteral("IdCliente")));
}

int roundEven(double millimetres) { return int(std::nearbyint(millimetres)); }

void TblDuasLinhas(Printer& p, int topo, int largura) {
    for (int lin = 8; lin <= 16; lin += 8) p.line(0, topo + lin, largura, topo + lin);
}

void TblNormal(Printer& p, int topo, int largura) {
    for (int lin = 8; lin <= 56; lin += 8) {
        p.line(0, topo + lin, largura, topo + lin);
        for (int x : {0, 10, 20, largura - 30, largura}) p.line(x, topo + 8, x, topo + 56);
    }
}

void TblApGarantia(Printer& p, int topo, int largura) {
    for (int lin = 8; lin <= 56; lin += 8) {
        p.line(0, topo + lin, largura, topo + lin);
        for (int x : {0, 10, 20, largura - 53, largura - 20, largura}) p.line(x, topo + 8, x, topo + 56);
    }
}

void printPage(Printer& p, const Sources& s, bool nameRow, bool tags, const std::function<void(int)>& progress) {
    const RecordCursor& os = s.os;
    const auto f = [&os](const char* name) { return os.field(QString::fromLatin1(name)); };
    const QString tipo = os.text(QStringLiteral("Tipo"));

    const int largura = roundEven(p.printableWidth() - 7);
    p.paintPicture(s.logo, 8, 3, 27, 12);

    // Rows 1 and 2: the trade name and the order number.
    p.setFontSize(20);
    p.print();
    p.print({Tab(16)}, LineEnd::Open);
    p.printFitted(s.empresa.text(QStringLiteral("NomeFantasia")), p.printableWidth() - headingWidth(p, f("Os")));
    p.setFontSize(16);
    p.print({Spc(4), "Ordem de Serviço:"}, LineEnd::Open);
    p.setFontSize(20);
    p.setBold(true);
    p.print({Spc(1), "Nº", Spc(1), Fmt::zeros(f("Os"), 5)});
    p.setBold(false);

    // Rows 3 to 11: the customer and the order.
    p.setFontSize(10);
    p.print({QString(200, QLatin1Char('-'))});
    p.print({Tab(20), "---------- DADOS DO CLIENTE ----------", Tab(120), "--- ORDEM DE SERVIÇO ---"});
    printItems(p, orderColumn(labelled("Entrada:", Value(f("DataEntrada")))));

    boldValue(p, 1, QStringLiteral("Nome:"), f("Nome"));
    row(p, {Tab(75), "Tel.Res.:", Spc(2), Fit(Value(f("TelResidencia")))},
        labelled("Hora:", Fmt::shortTime(f("HoraEntrada"))));

    const qlonglong via = os.number(QStringLiteral("Via"));
    leftValue(p, "Endereço:", f("Endereco"));
    row(p, {Tab(75), "Tel.Com.:", Spc(2), Fit(Value(f("TelComercial")))}, {"Via:", Spc(2), Num(via + 1), "ª"});

    leftValue(p, "Complemento:", f("Complemento"));
    row(p, {Tab(75), "Fax:", Spc(2), Fit(Value(f("Fax")))}, labelled("Tipo:", Value(f("Tipo"))));

    leftValue(p, "Bairro:", f("Bairro"));
    row(p, {Tab(75), "Celular:", Spc(2), Fit(Value(f("Celular")))}, labelled("Atendimento:", Value(f("Atendimento"))));

    row(p, {Tab(1), "Cidade:", Spc(2), Fit(Value(f("Cidade"))), Spc(4), "Estado:", Spc(2), Fit(Value(f("Estado"))),
            Tab(75), "Código", Spc(2), Fit(Num(f("IdCliente")))},
        labelled("Operador:", Value(f("OperadorEnt"))));

    p.print({QString(140, QLatin1Char('-'))}, LineEnd::Open);
    printItems(p, orderColumn(labelled("Status:", Value(f("Status")))));

    // Rows 12 to 21: the appliance.
    p.print({Tab(20), "---------- DADOS DO APARELHO ----------"}, LineEnd::Open);
    printItems(p, orderColumn({"Prioridade:"}), LineEnd::Open);
    p.setBold(os.text(QStringLiteral("prioridade")) == QStringLiteral("URGENTE"));
    p.print({Spc(2), Fit(Value(f("prioridade")))});
    p.setBold(false);

    printItems(p, orderColumn(labelled("Técnico:", Value(f("Tecnico")))));

    boldValue(p, 1, QStringLiteral("Aparelho:"), f("Aparelho"));
    boldValue(p, 41, QStringLiteral("Marca:"), f("Marca"));
    boldValue(p, 71, QStringLiteral("Modelo:"), f("Modelo"));
    printItems(p, orderColumn(labelled("Conclusão:", Value(f("DataConcluido")))));

    row(p, {Tab(1), "Chassis:", Spc(2), Fit(Value(f("Chassis"))), Tab(41), "Num Série:", Spc(2),
            Fit(Value(f("NumSerie"))), Tab(78), "Tensão:", Spc(2), Fit(Value(f("Tensao")))},
        {QString(40, QLatin1Char('-'))});

    row(p, {Tab(1), "Defeito:", Spc(2), Fit(Value(f("Defeito")))}, {"--- GARANTIA FÁBRICA ---"});

    row(p, {Tab(1), "Estado do Aparelho:", Spc(2), Fit(Value(f("EstadoAparelho")))}, {"Loja:"}, LineEnd::Open);
    p.setBold(true);
    p.print({Spc(1), Fit(Value(f("Loja")))});
    p.setBold(false);

    row(p, {Tab(1), "Acessórios:", Spc(2), Fit(Value(f("Acessorios")))}, {"Data Compra:"}, LineEnd::Open);
    p.setBold(true);
    p.print({Spc(2), Fit(Value(f("DataCompra")))});
    p.setBold(false);
    if (progress) progress(75);

    p.print({Tab(1), "Manut.Anteriores:"}, LineEnd::Open);
    if (s.mntAnt.recordCount() >= 1) {
        // However many: a long list sends the order column's entry to the next line.
        p.setBold(true);
        p.print({Spc(2), Fit(QStringLiteral("OS's:") + orderNumbers(s.mntAnt))}, LineEnd::Open);
        p.setBold(false);
    }
    printItems(p, orderColumn(labelled("Nota Fiscal:", Value(f("NotaFiscal")))));

    const int openOrders = s.sqlApManutencao.recordCount();
    p.print({Tab(1), "OBS:"}, LineEnd::Open);
    if (openOrders > 1)
        p.print({Spc(2), QStringLiteral("ESTE CLIENTE POSSUI ATUALMENTE %1 APARELHOS EM MANUTENÇÃO.").arg(openOrders)},
                LineEnd::Open);
    printItems(p, orderColumn(labelled("Gar.Comp.:", Value(f("GarComplementar")))));

    if (openOrders > 1 && openOrders < 10) {
        p.print({Tab(9), "OS's:", Fit(orderNumbers(s.sqlApManutencao))});
    } else {
        p.print();
    }

    // Rows 22 to 28: the material grid.
    p.setFontSize(10);
    int topo = roundEven(p.y() - 3);
    TblDuasLinhas(p, topo, largura);
    p.print({Tab(20), "---------- MATERIAL UTILIZADO ----------"});
    p.setFontSize(10);
    p.print();
    topo = roundEven(p.y() - 3);
    const bool factory = tipo == QStringLiteral("GAR.DE FÁBRICA");
    if (factory) {
        p.print({Tab(3), "Qtde", Tab(12), "Id", Tab(25), "Descriçao", Tab(117), "Código", Tab(143), "Local"});
        TblApGarantia(p, topo, largura);
        p.print();
        p.print();
        p.print({Tab(2), QString(50, QLatin1Char('_'))});
    } else {
        p.print({Tab(3), "Qtde", Tab(12), "Id", Tab(25), "Descrição", Tab(135), "Valor"});
        TblNormal(p, topo, largura);
        p.print({Tab(80), "Valor Total do Serviço:"});
        p.print({Tab(2), QString(50, QLatin1Char('_')), Tab(118), QString(20, QLatin1Char('_'))});
    }

    // Row 29: the customer's name under the signature line.
    p.setFontSize(10);
    if (nameRow) {
        p.setItalic(true);
        p.print({Tab(12), Fit(Value(f("Nome")))});
    } else {
        p.print();
        p.print();
    }

    if (!tags) return;
    // The strip of four number tags.
    const QString code = tipoOS(tipo);
    const QString number = Fmt::zeros(f("Os"), 5);
    const QString sigla = s.empresa.text(QStringLiteral("Sigla"));
    p.setFontSize(14);
    p.print({QString(138, QLatin1Char('-'))});
    p.setBold(true);
    p.setFontSize(8);
    p.print({Tab(3), code}, LineEnd::Open);
    p.setFontSize(20);
    p.print({number}, LineEnd::Open);
    p.setFontSize(8);
    p.print({Spc(1), Fit(sigla), Spc(1)}, LineEnd::Open);
    p.setBold(false);
    p.print({Value(f("DataEntrada"))}, LineEnd::Open);
    p.setBold(true);
    // 27 blanks before the other three tags, fewer when a wide type code or
    // abbreviation would take the last tag past the right edge.
    const auto widthAt = [&p](double size, const QString& text) {
        p.setFontSize(size);
        return p.textWidth(text);
    };
    const double tag = widthAt(20, number) + widthAt(8, code + QLatin1Char(' ') + sigla);
    const double blank = widthAt(8, QStringLiteral(" "));
    p.setX(p.x() + std::max(0.0, std::min(27 * blank, p.printableWidth() - p.x() - 3 * tag - 12 * blank)));
    for (int lin = 0; lin <= 2; ++lin) {
        p.setFontSize(8);
        p.print({code}, LineEnd::Open);
        p.setFontSize(20);
        p.print({number}, LineEnd::Open);
        p.setFontSize(8);
        p.print({Spc(1), sigla, Spc(6)}, LineEnd::Open);
    }
    p.setBold(false);
    p.setFontSize(9);
    p.setX(166);
    p.print({"Número de Série"});
    p.setBold(true);
    p.setX(164);
    p.print({Fit(Value(f("NumSerie")))});
    p.setBold(false);
    p.print({Tab(1), Fit(Value(f("Nome")))});
}

}
