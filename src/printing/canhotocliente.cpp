#include "canhotocliente.h"

#include "printjob.h"
#include "store/clock.h"
#include "store/recordcursor.h"
#include "ui/numbers.h"


namespace CanhotoCliente {

void print(Printer& p, const RecordCursor& os, const RecordCursor& empresa, const QImage& logo) {
    const auto o = [&os](const char* name) { return Value(os.field(QString::fromLatin1(name))); };
    const auto e = [&empresa](const char* name) { return Value(empresa.field(QString::fromLatin1(name))); };

    p.setFontSize(13);
    p.print({QString(140, QLatin1Char('-'))});
    p.paintPicture(logo, 1, p.y(), 27, 12);
    p.setX(30);
    p.print({Fit(e("NomeFantasia"))}, LineEnd::Open);
    p.setUnderline(true);
    p.print({Tab(43), "Ordem de Serviço:"});

    p.setUnderline(false);
    p.setFontSize(8);
    p.print({Tab(32), "CGC:", Spc(2), Fit(e("Cgc"))}, LineEnd::Open);
    p.setBold(true);
    p.setFontSize(14);
    p.print({Spc(10), "Nº", Spc(1), Fmt::zeros(os.field(QStringLiteral("Os")), 5)}, LineEnd::Open);
    p.setFontSize(8);
    p.print({Tab(105), QString(50, QLatin1Char('_'))});

    p.setBold(false);
    p.setItalic(true);
    const QDateTime now = Clock::now();
    const QString date = Numbers::shortDate(now.date());
    const QString time = Fmt::shortTime(now.time());
    p.setX(135);
    p.print({Fit(e("Cidade")), ", ", date, Spc(2), time, Spc(2), "(", Fit(o("OperadorEnt")), ")"});

    p.setItalic(false);
    p.print({Tab(1), "End.:", Tab(10), Fit(e("Endereco")), Tab(72), QString(80, QLatin1Char('_'))});
    // The shop's data left of its messages.
    const auto message = [&](std::vector<PrintItem> left, const char* name) {
        left.insert(left.end(), {Tab(70), "|", Spc(2), Fit(e(name))});
        p.print(left);
    };
    message({Tab(1), "Fone:", Tab(10), Fit(e("Fone1")), Spc(2), Fit(e("Fone2"))}, "Msg1");
    message({Tab(1), "Fax", Tab(10), Fit(e("Fax"))}, "Msg2");
    message({Tab(1), "E-mail:", Tab(10), Fit(e("Email"))}, "Msg3");
    p.print({QString(170, QLatin1Char('-'))});

    p.print({"Cliente:", Spc(2)}, LineEnd::Open);
    p.setBold(true);
    p.print({Fit(o("Nome"))});
    p.setBold(false);
    p.print({"Aparelho:", Spc(2), Fit(o("Aparelho")), Spc(4), "Marca:", Spc(2), Fit(o("Marca")), Spc(4), "Modelo:",
             Spc(2), Fit(o("Modelo")), Spc(4), "Núm.de Série", Spc(2), Fit(o("NumSerie"))});
    p.print({"Defeito:", Spc(2), Fit(o("Defeito"))});
    p.print({"Estado do aparelho:", Spc(2), Fit(o("EstadoAparelho"))});
    // Long accessories send the version text to the next line.
    p.print({"Acessórios", Spc(2), Fit(o("Acessorios"))}, LineEnd::Open);
    p.setItalic(true);
    p.print({Tab(142), PrintJob::productName(), " Versão: ", Num(PrintJob::versionMajor()), ".",
             QString::number(PrintJob::versionMinor()) + QStringLiteral(" Kelmora")});
    p.setItalic(false);
    p.print({Tab(146), PrintJob::webAddress()});
}

}
