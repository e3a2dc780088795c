#include "aparelhoconsertado.h"

#include "ordemservico.h"
#include "printjob.h"
#include "store/clock.h"
#include "store/recordcursor.h"
#include "ui/numbers.h"

#include <algorithm>

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
    // A value past the next label's column sends that label to the next line.
    const auto t = [&row](const char* field) { return Fit(row.text(QString::fromLatin1(field))); };
    const auto pair = [&](const char* label, const char* field, const char* rightLabel, const char* rightField) {
        p.print({Tab(1), label, Spc(2), t(field), Tab(70), rightLabel, Spc(2), t(rightField)});
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
    p.print({Tab(1), "Aparelho:", Spc(2), t("Aparelho"), Tab(41), "Marca:", Spc(2), t("Marca"), Tab(81), "Modelo:", Spc(2),
             t("Modelo")});
    p.print({Tab(1), "Chassis:", Spc(2), t("Chassis"), Tab(41), "Num Série:", Spc(2), t("NumSerie"), Tab(82), "Tensão:",
             Spc(2), t("Tensao")});
    p.print({Tab(1), "Defeito:", Spc(2), t("Defeito")});
    p.print({Tab(1), "Estado do Aparelho:", Spc(2), t("EstadoAparelho")});
    p.print({Tab(1), "Acessórios:", Spc(2), t("Acessorios")});
    progress(75);
    p.print({rule(150)});

    // The factory warranty, whatever the order's type.
    p.print({Tab(20), "---------- GARANTIA DE FÁBRICA ----------"});
    p.print();
    p.print({Tab(1), "Loja:", Spc(1), t("Loja"), Tab(37), "Data Compra:", Spc(1), Fit(Fmt::shortDate(f("DataCompra"))),
             Tab(65), "Nota Fiscal:", Spc(1), t("NotaFiscal"), Tab(95), "Gar.Complementar:", Spc(1), t("GarComplementar")});
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
    for (int i = 0; i < 5; ++i) p.print({Tab(2), t(parts[i]), Tab(71), "|", Spc(3), t(payment[i])});
    p.print({Tab(2), t("Relatorio55"), Tab(71)});
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
        p.print({Tab(1), t(obs)});
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
