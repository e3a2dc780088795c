// Printing: a service order (one page with the previous repairs, the
// customer's open orders, the material grid, the tags and the stub, then its
// previous-repairs report) read from its database, recorded and written to
// PDF, against writing the same recorded pages alone ("bare"); and a long
// job (a delivered-appliances list of 200 and 2,000 landscape pages: logo,
// header and 15 three-line records per page) recorded and written to PDF,
// with the cost per page and the resident memory before and after.
// Targets: the service order under 50 ms per document; the long job at a
// steady cost per page, with memory that does not grow with the page count.
#include "support/bare.h"
#include "support/benchmain.h"
#include "support/figures.h"
#include "support/looptimer.h"

#include "printing/canhotocliente.h"
#include "printing/manutencoesanteriores.h"
#include "printing/ordemservico.h"
#include "printing/printer.h"
#include "printing/printjob.h"
#include "store/database.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "store/schema.h"

#include <QDate>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

const char* const ServiceOrder = "service order and report to PDF";

struct Shop {
    QTemporaryDir dir;
    qint64 os = 0;
    Shop() {
        const QString db = dir.filePath(QString::fromUtf8(DatabaseFileName));
        Schema::createDatabaseFile(db);
        ProgramFolder::setPath(dir.path());
        Database d(db);
        const QString insertOrder = QStringLiteral(
            "INSERT INTO TblManutencao (IdCliente, Nome, Endereco, Complemento, Bairro, Cidade, Estado, TelResidencia, "
            "TelComercial, Fax, Celular, Aparelho, Marca, Modelo, Chassis, NumSerie, Tensao, Defeito, EstadoAparelho, "
            "Acessorios, Tipo, prioridade, Atendimento, Status, Tecnico, OperadorEnt, DataEntrada, HoraEntrada, Via, "
            "Loja, DataCompra, NotaFiscal, GarComplementar) VALUES (7, 'JOSÉ DA CONCEIÇÃO', 'RUA DAS ACÁCIAS, 120', "
            "'APTO 3', 'JARDIM SÃO JOÃO', 'CAMPINAS', 'SP', '(19) 3232-1111', '(19) 3232-2222', '(19) 3232-3333', "
            "'(19) 99999-4444', 'TELEVISOR', 'PHILCO', 'PH29', 'CH-77', 'SN12345', '110V', 'NÃO LIGA', 'RISCOS', "
            "'CONTROLE', 'ORÇAMENTO', 'URGENTE', 'INTERNO', 'EM SERVIÇO', 'CARLOS', 'ADMINISTRADOR', '2026-12-01', "
            "'14:35:00', 0, 'LOJA', '10/10/2026', 'NF 1', '12 MESES')");
        for (int i = 0; i < 5; ++i) d.execute(insertOrder);
        os = d.lastInsertKey();
        for (int i = 0; i < 8; ++i)
            d.execute(QStringLiteral(
                "INSERT INTO TblApEntregues (IdCliente, Os, Nome, Aparelho, Marca, Modelo, NumSerie, DataEntrada, "
                "DataSaida, Tipo, Status, Dias, ValorCobrado, Defeito, Acessorios, Tecnico, Relatorio0, Relatorio1, "
                "Relatorio2, Relatorio3, Relatorio4) VALUES (7, ?, 'JOSÉ DA CONCEIÇÃO', 'TELEVISOR', 'PHILCO', 'PH29', "
                "'SN12345', '2025-03-01', '2025-03-10', 'ORÇAMENTO', 'PRONTO', 9, 1505000, 'SEM IMAGEM', 'NENHUM', "
                "'CARLOS', '1 FLYBACK', '2 CAPACITOR', '1 RESISTOR', '1 FUSÍVEL', '1 SOLDA')"),
                {100 + i});
    }
    ~Shop() { ProgramFolder::setPath(QString()); }
};

Shop& shop() {
    static Shop s;
    return s;
}

// Records the service order and its report, as the print window's job does,
// delivering to `target`.
void printServiceOrder(const std::shared_ptr<PrintTarget>& target, RecordCursor& os, RecordCursor& empresa,
                       RecordCursor& mntAnt, RecordCursor& open, const QImage& logo) {
    Printer p(target);
    const QString query = OrdemServico::previousRepairsQuery(os);
    mntAnt.setRecordSource(query);
    mntAnt.refresh();
    open.setRecordSource(OrdemServico::openOrdersQuery(os));
    open.refresh();
    open.moveLast();
    PrintJob::pageSetUp(p, PrintOrientation::Portrait, PrintUnit::Millimetres, QStringLiteral("Arial Narrow"), 2);
    OrdemServico::printPage(p, {os, empresa, mntAnt, open, logo}, true, true);
    CanhotoCliente::print(p, os, empresa, logo);
    p.endDoc();
    QString titulo;
    ManutencoesAnteriores::print(p, mntAnt, query, os, empresa, logo, titulo);
}

// A target that writes each document to one PDF file.
std::shared_ptr<PdfTarget> pdfTarget(const QTemporaryDir& dir) {
    return std::make_shared<PdfTarget>(dir.filePath(QStringLiteral("out.pdf")));
}

struct Cursors {
    RecordCursor os, empresa, mntAnt, open;
    Cursors() {
        const QString db = ProgramFolder::databasePath();
        os.open(db, QStringLiteral("TblManutencao"));
        os.findFirst(QStringLiteral("Os = %1").arg(shop().os));
        empresa.open(db, QStringLiteral("TblEmpresa"));
        for (RecordCursor* c : {&mntAnt, &open}) c->setDatabaseName(db);
    }
};

void BM_ServiceOrder_Bare(benchmark::State& state) {
    shop();
    Cursors c;
    const QImage logo = PrintJob::loadLogo();
    QTemporaryDir dir;
    // The pages recorded once; each iteration writes them to PDF.
    auto recording = std::make_shared<RecordingTarget>();
    printServiceOrder(recording, c.os, c.empresa, c.mntAnt, c.open, logo);
    std::vector<std::unique_ptr<RecordedDocument>> docs;
    for (RecordingTarget::Document& d : recording->documents) {
        auto doc = std::make_unique<RecordedDocument>();
        doc->addPicture(logo);
        for (std::size_t i = 0; i + 1 < d.pages.size(); ++i) doc->addPage(RecordedPage(d.pages[i]));
        doc->setLastPage(RecordedPage(d.pages.back()));
        docs.push_back(std::move(doc));
    }
    LoopTimer t;
    for (auto _ : state)
        for (const auto& doc : docs) PdfTarget::write(*doc, dir.filePath(QStringLiteral("bare.pdf")));
    figures().recordBare(ServiceOrder, t.perIteration(state));
}

void BM_ServiceOrder_Ours(benchmark::State& state) {
    shop();
    Cursors c;
    const QImage logo = PrintJob::loadLogo();
    QTemporaryDir dir;
    auto target = pdfTarget(dir);
    LoopTimer t;
    for (auto _ : state) printServiceOrder(target, c.os, c.empresa, c.mntAnt, c.open, logo);
    figures().recordOurs(state, ServiceOrder, t.perIteration(state));
}

// One landscape page of the delivered list.
void listPage(Printer& p, const QImage& logo, int page) {
    PrintJob::listPageTop(p, logo, QStringLiteral("ASSISTÊNCIA TÉCNICA"), 14, QStringLiteral("Relatório de Aparelhos ENTREGUES"),
                          false);
    p.print();
    p.print({Tab(2), "OS", Spc(2), "ENTRADA", Spc(2), "SAÍDA", Tab(35), "CLIENTE", Tab(72), "APARELHO"});
    p.print({QString(210, QLatin1Char('-'))});
    p.print();
    for (int r = 0; r < 15; ++r) {
        p.setFontSize(8);
        p.setBold(true);
        p.print({Tab(2), Num(page * 15 + r)}, LineEnd::Open);
        p.setBold(false);
        p.print({Tab(12), "01/03/2025", Spc(2), "10/03/2025", Spc(2), "JOSÉ DA CONCEIÇÃO", Tab(93), "TELEVISOR", Tab(122),
                 "PHILCO", Tab(146), "PH29", Tab(170), "ORÇAMENTO", Tab(194), "PRONTO", Tab(217), Num(9), Tab(225),
                 "R$ 150,50"});
        p.print({Tab(23), "Defeito:", Spc(1), "SEM IMAGEM", Spc(3), "Acessórios:", Spc(1), "NENHUM", Spc(3), "Técnico:",
                 Spc(1), "CARLOS"});
        p.print();
    }
}

void BM_LongJob(benchmark::State& state) {
    const int pages = int(state.range(0));
    const QImage logo = PrintJob::loadLogo();
    QTemporaryDir dir;
    auto target = pdfTarget(dir);
    Bare::releaseFreeMemory();
    const std::int64_t before = Bare::residentBytes();
    std::int64_t peakDuring = before;
    LoopTimer t;
    for (auto _ : state) {
        Printer p(target);
        PrintJob::pageSetUp(p, PrintOrientation::Landscape, PrintUnit::Centimetres, QStringLiteral("Arial Narrow"));
        for (int i = 0; i < pages; ++i) {
            if (i) p.newPage();
            listPage(p, logo, i);
            if (i == pages / 2) peakDuring = std::max(peakDuring, Bare::residentBytes());
        }
        p.endDoc();
    }
    const double perDoc = t.perIteration(state);
    Bare::releaseFreeMemory();
    const std::int64_t after = Bare::residentBytes();
    state.counters["ms_per_page"] = perDoc * 1000.0 / pages;
    state.counters["rss_growth_MB"] = double(std::max(peakDuring, after) - before) / (1024.0 * 1024.0);
    state.counters["pdf_MB"] = double(QFileInfo(dir.filePath(QStringLiteral("out.pdf"))).size()) / (1024.0 * 1024.0);
}

BENCHMARK(BM_ServiceOrder_Bare)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ServiceOrder_Ours)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_LongJob)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv, "bench_printing", [] { shop(); },
                         "targets: the service order under 50 ms per document; the long job at a steady cost per page "
                         "with rss_growth_MB flat from 200 to 2,000 pages",
                         true);
}
