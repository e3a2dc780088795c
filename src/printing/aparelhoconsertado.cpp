#include "aparelhoconsertado.h"

#include "printjob.h"
#include "store/clock.h"
#include "store/recordcursor.h"
#include "ui/numbers.h"

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
    p.print({Tab(16), nomeFantasia, Spc(4), "Ordem de Serviço:"}, LineEnd::Open);
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
    p.print({Tab(1), "Nome:", Spc(2), v("Nome"), Tab(70), "Tel.Res.:", Spc(2), v("TelResidencia")});
    p.print({Tab(1), "Endereço:", Spc(2), v("Endereco"), Tab(70), "Tel.Com.:", Spc(2), v("TelComercial")});
    p.print({Tab(1), "Complemento:", Spc(2), v("Complemento"), Tab(70), "Fax:", Spc(2), v("Fax")});
    p.print({Tab(1), "Bairro:", Spc(2), v("Bairro"), Tab(70), "Celular:", Spc(2), v("Celular")});
    p.print({Tab(1), "Cidade:", Spc(2), v("Cidade"), Spc(4), "Estado:", Spc(2), v("Estado"), Tab(70), "Id Cliente:",
             Spc(2), v("IdCliente")});
    p.print({rule(150)});

    // The appliance.
    p.print({Tab(20), "---------- DADOS DO APARELHO ----------"});
    p.print();
    p.print({Tab(1), "Aparelho:", Spc(2), v("Aparelho"), Tab(41), "Marca:", Spc(2), v("Marca"), Tab(81), "Modelo:",
             Spc(2), v("Modelo")});
    p.print({Tab(1), "Chassis:", Spc(2), v("Chassis"), Tab(41), "Num Série:", Spc(2), v("NumSerie"), Tab(82), "Tensão:",
             Spc(2), v("Tensao")});
    p.print({Tab(1), "Defeito:", Spc(2), v("Defeito")});
    p.print({Tab(1), "Estado do Aparelho:", Spc(2), v("EstadoAparelho")});
    p.print({Tab(1), "Acessórios:", Spc(2), v("Acessorios")});
    progress(75);
    p.print({rule(150)});

    // The factory warranty, whatever the order's type.
    p.print({Tab(20), "---------- GARANTIA DE FÁBRICA ----------"});
    p.print();
    p.print({Tab(1), "Loja:", Spc(1), v("Loja"), Tab(37), "Data Compra:", Spc(1), Fmt::shortDate(f("DataCompra")),
             Tab(65), "Nota Fiscal:", Spc(1), v("NotaFiscal"), Tab(95), "Gar.Complementar:", Spc(1),
             v("GarComplementar")});
    p.print();
    p.print({rule(150)});
    p.print();

    // Entry and exit.
    p.print({Tab(5), "---------- DADOS DA ENTRADA ----------", Tab(70), "---------- DADOS DA SAÍDA----------"});
    p.print();
    p.print({Tab(4), "Data:................", Tab(25), v("DataEntrada"), Tab(70), "Data:........................",
             Tab(94), v("DataSaida")});
    p.print({Tab(4), "Hora:........-.........", Tab(25), Fmt::shortTime(f("HoraEntrada")), Tab(70),
             "Hora:........................", Tab(94), Fmt::shortTime(f("HoraSaida"))});
    p.print({Tab(4), "Tipo:......:............", Tab(25), v("Tipo"), Tab(70), "Conclusao:.................", Tab(94),
             v("DataConcluido")});
    p.print({Tab(4), "Atendimento:......", Tab(25), v("Atendimento"), Tab(70), "Garantia até:................",
             Tab(94), v("DATALIMITEGARANTIA")});
    p.print({Tab(4), "Operador:............", Tab(25), v("OperadorEnt"), Tab(70), "Dias:.........................",
             Tab(94), v("Dias")});
    p.print({Tab(70), "Técnico:.....................", Tab(94), v("Tecnico")});
    p.print({Tab(70), "Status:...............", Tab(94), v("Status")});
    p.print({Tab(70), "Operador:.................", Tab(94), v("OperadorSaida")});
    p.print({rule(150)});

    // The service report beside the payment lines.
    p.print({Tab(10), "---------- MATERIAL UTILIZADO ----------", Spc(20), "-------- FORMA DE PAGAMENTO --------"});
    p.print();
    const char* const parts[] = {"Relatorio0", "Relatorio1", "Relatorio2", "Relatorio3", "Relatorio4"};
    const char* const payment[] = {"Relatorio12", "Relatorio13", "Relatorio14", "Relatorio15", "Relatorio16"};
    for (int i = 0; i < 5; ++i) p.print({Tab(2), v(parts[i]), Tab(71), "|", Spc(3), v(payment[i])});
    p.print({Tab(2), v("Relatorio55"), Tab(71)});
    p.print();
    p.print({Tab(10), QStringLiteral("Mão de Obra: ") + row.text(QStringLiteral("Relatorio5"))});
    p.print({Tab(10), QStringLiteral("Sub Total: ") + row.text(QStringLiteral("Relatorio6"))});
    p.print({Tab(10), QStringLiteral("Desconto: ") + row.text(QStringLiteral("Relatorio7"))});
    p.setFontSize(16);
    p.print({Tab(12), QStringLiteral("Total do Serviço: ") + Fmt::currency(f("ValorCobrado"))});
    p.setFontSize(10);
    p.print({rule(50)});
    p.print({Tab(4), "OBSERVAÇÃO:"});
    for (const char* obs : {"Relatorio9", "Relatorio10", "Relatorio11"}) p.print({Tab(1), v(obs)});
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
