#include "aparelhoconsertado.h"

#include "ordemservico.h"
#include "printjob.h"
#include "store/clock.h"
#include "store/recordcursor.h"
#include "ui/numbers.h"

#include <algorithm>
#include <array>

namespace AparelhoConsertado {

namespace {

QString rule(int length) { return QString(length, QLatin1Char('-')); }

} // namespace

void printPage(Printer& p, const RecordCursor& row, const QString& nomeFantasia, const QImage& logo,
               const std::function<void(int)>& progress) {
    const auto f = [&row](const char* name) { return row.field(QString::fromLatin1(name)); };
    const auto v = [&f](const char* name) { return Value(f(name)); };

    PrintJob::pageSetUp(p, PrintOrientation::Portrait, PrintUnit::Millimetres, QStringLiteral("Arial"), 2);
    p.setDocumentName(QStringLiteral("Relatório de Aparelho Consertado %1").arg(row.number(QStringLiteral("Os")), 5, 10,
                                                                                QLatin1Char('0')));
    p.paintPicture(logo, 8, 3, 27, 12);

    // The trade name and the order number.
    p.setFontSize(16);
    p.print();
    p.print({Tab(16)}, LineEnd::Open);
    p.printFitted(nomeFantasia, p.printableWidth() - OrdemServico::headingWidth(p, f("Os")));
    p.print({Spc(4), "Ordem de Serviço:"}, LineEnd::Open);
    p.setFontSize(20);
    p.setBold(true);
    p.print({Spc(1), "Nº", Spc(1), Fmt::zeros(f("Os"), 5)}, LineEnd::Open);
    p.setFontSize(10);
    p.setBold(false);
    p.print();
    p.print();
    p.print({Tab(5), rule(150)});
    p.print({Tab(29), "RELATÓRIO DE APARELHO CONSERTADO"});
    p.print({Tab(5), rule(150)});
    p.print();

    // The customer.
    p.print({Tab(20), "---------- DADOS DO CLIENTE ----------"});
    p.print();
    // Each value keeps to its place: a long one never pushes the rest of its
    // line onto another line, nor past the right edge.
    const auto upTo = [&p, &row](const char* field, int column = 0) {
        p.print({Spc(2)}, LineEnd::Open);
        p.printUpTo(row.text(QString::fromLatin1(field)), column);
    };
    const auto pair = [&](const char* label, const char* field, const char* rightLabel, const char* rightField) {
        p.print({Tab(1), label}, LineEnd::Open);
        upTo(field, 70);
        p.print({Tab(70), rightLabel}, LineEnd::Open);
        upTo(rightField);
        p.print();
    };
    pair("Nome:", "Nome", "Tel.Res.:", "TelResidencia");
    pair("Endereço:", "Endereco", "Tel.Com.:", "TelComercial");
    pair("Complemento:", "Complemento", "Fax:", "Fax");
    pair("Bairro:", "Bairro", "Celular:", "Celular");
    p.print({Tab(1), "Cidade:", Spc(2), Fit(v("Cidade")), Spc(4), "Estado:", Spc(2), Fit(v("Estado")), Tab(70),
             "Id Cliente:", Spc(2), Fit(v("IdCliente"))});
    p.print({rule(150)});

    // The appliance.
    p.print({Tab(20), "---------- DADOS DO APARELHO ----------"});
    p.print();
    // Three labelled values on a line, from columns 1, 41 and `third`.
    const auto three = [&](const std::array<const char*, 6>& items, int third) {
        const int columns[] = {1, 41, third, 0};
        for (int i = 0; i < 3; ++i) {
            p.print({Tab(columns[i]), items[2 * i]}, LineEnd::Open);
            upTo(items[2 * i + 1], columns[i + 1]);
        }
        p.print();
    };
    three({"Aparelho:", "Aparelho", "Marca:", "Marca", "Modelo:", "Modelo"}, 81);
    three({"Chassis:", "Chassis", "Num Série:", "NumSerie", "Tensão:", "Tensao"}, 82);
    for (const auto& [label, field] : {std::pair{"Defeito:", "Defeito"}, std::pair{"Estado do Aparelho:", "EstadoAparelho"},
                                       std::pair{"Acessórios:", "Acessorios"}}) {
        p.print({Tab(1), label}, LineEnd::Open);
        upTo(field);
        p.print();
    }
    progress(75);
    p.print({rule(150)});

    // The factory warranty, whatever the order's type.
    p.print({Tab(20), "---------- GARANTIA DE FÁBRICA ----------"});
    p.print();
    // One blank after these labels.
    const auto after = [&p](const QString& value, int column = 0) {
        p.print({Spc(1)}, LineEnd::Open);
        p.printUpTo(value, column);
    };
    p.print({Tab(1), "Loja:"}, LineEnd::Open);
    after(row.text(QStringLiteral("Loja")), 37);
    p.print({Tab(37), "Data Compra:"}, LineEnd::Open);
    after(Fmt::shortDate(f("DataCompra")), 65);
    p.print({Tab(65), "Nota Fiscal:"}, LineEnd::Open);
    after(row.text(QStringLiteral("NotaFiscal")), 95);
    p.print({Tab(95), "Gar.Complementar:"}, LineEnd::Open);
    after(row.text(QStringLiteral("GarComplementar")));
    p.print();
    p.print();
    p.print({rule(150)});
    p.print();

    // Entry and exit.
    p.print({Tab(5), "---------- DADOS DA ENTRADA ----------", Tab(70), "---------- DADOS DA SAÍDA----------"});
    p.print();
    p.print({Tab(4), "Data:................", Tab(25), Fit(v("DataEntrada")), Tab(70), "Data:........................",
             Tab(94), Fit(v("DataSaida"))});
    p.print({Tab(4), "Hora:........-.........", Tab(25), Fit(Fmt::shortTime(f("HoraEntrada"))), Tab(70),
             "Hora:........................", Tab(94), Fit(Fmt::shortTime(f("HoraSaida")))});
    p.print({Tab(4), "Tipo:......:............", Tab(25), Fit(v("Tipo")), Tab(70), "Conclusao:.................",
             Tab(94), Fit(v("DataConcluido"))});
    p.print({Tab(4), "Atendimento:......", Tab(25), Fit(v("Atendimento")), Tab(70), "Garantia até:................",
             Tab(94), Fit(v("DATALIMITEGARANTIA"))});
    p.print({Tab(4), "Operador:............", Tab(25), Fit(v("OperadorEnt")), Tab(70),
             "Dias:.........................", Tab(94), Fit(v("Dias"))});
    p.print({Tab(70), "Técnico:.....................", Tab(94), Fit(v("Tecnico"))});
    p.print({Tab(70), "Status:...............", Tab(94), Fit(v("Status"))});
    p.print({Tab(70), "Operador:.................", Tab(94), Fit(v("OperadorSaida"))});
    p.print({rule(150)});

    // The service report beside the payment lines.
    p.print({Tab(10), "---------- MATERIAL UTILIZADO ----------", Spc(20), "-------- FORMA DE PAGAMENTO --------"});
    p.print();
    const char* const parts[] = {"Relatorio0", "Relatorio1", "Relatorio2", "Relatorio3", "Relatorio4"};
    const char* const payment[] = {"Relatorio12", "Relatorio13", "Relatorio14", "Relatorio15", "Relatorio16"};
    // A parts line too long for its place beside the payment is printed
    // smaller but whole: its value stands at its end.
    const auto partsLine = [&p, &row](const char* field) {
        const QString line = row.text(QString::fromLatin1(field));
        p.print({Tab(2)}, LineEnd::Open);
        p.printUpTo(line, 71);
    };
    for (int i = 0; i < 5; ++i) {
        partsLine(parts[i]);
        p.print({Tab(71), "|", Spc(3)}, LineEnd::Open);
        p.printUpTo(row.text(QString::fromLatin1(payment[i])));
        p.print();
    }
    partsLine("Relatorio55");
    p.print({Tab(71)});
    p.print();
    // Each amount one text with its label.
    p.print({Tab(10), Fit(QStringLiteral("Mão de Obra: ") + row.text(QStringLiteral("Relatorio5")))});
    p.print({Tab(10), Fit(QStringLiteral("Sub Total: ") + row.text(QStringLiteral("Relatorio6")))});
    p.print({Tab(10), Fit(QStringLiteral("Desconto: ") + row.text(QStringLiteral("Relatorio7")))});
    p.setFontSize(16);
    p.print({Tab(12), Fit(QStringLiteral("Total do Serviço: ") + Fmt::currency(f("ValorCobrado")))});
    p.setFontSize(10);
    p.print({rule(50)});
    p.print({Tab(4), "OBSERVAÇÃO:"});
    for (const char* obs : {"Relatorio9", "Relatorio10", "Relatorio11"}) {
        p.print({Tab(1)}, LineEnd::Open);
        p.printUpTo(row.text(QString::fromLatin1(obs)));
        p.print();
    }
    p.print({rule(150)});

    // The issue.
    p.setFontSize(9);
    p.setItalic(true);
    const QDateTime now = Clock::now();
    p.print({Tab(80), "Data Emissão:", Spc(2), Numbers::shortDate(now.date()), Spc(4), "Hora:", Spc(2),
             Fmt::shortTime(now.time())});
    p.setItalic(false);
}

}
