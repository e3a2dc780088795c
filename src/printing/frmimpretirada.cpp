#include "frmimpretirada.h"

#include "app/appicons.h"
#include "printjob.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QRectF>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <cmath>

namespace {

// The frame round the customer's copy's title, in millimetres.
const QRectF TitleFrame(QPointF(125, 4), QPointF(195, 27));
// The appliance grid's borders, left to right (millimetres).
constexpr double GridBorders[] = {10, 70, 110, 150, 190};

const QString JobTitle = QStringLiteral("Impressão de Comprovante de Retirada");
const QString Underscores50(50, QLatin1Char('_'));
const QString Underscores100(100, QLatin1Char('_'));

// The window's own picture, printed when the program folder has no logo:
// the receipt picture and the product's name, 176 x 93.
QImage builtInLogo() {
    QImage img(176, 93, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(6, 14, AppIcons::toolbar(QStringLiteral("Retirada")).pixmap(64, 64));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(30);
    f.setBold(true);
    f.setItalic(true);
    p.setFont(f);
    p.setPen(QColor(0, 0, 128));
    p.drawText(QRect(72, 0, 104, 93), Qt::AlignVCenter | Qt::AlignLeft, PrintJob::productName());
    return img;
}

} // namespace

FrmImpRetirada::FrmImpRetirada(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("FrmImpRetirada"));
    setWindowTitle(QStringLiteral("Impressâo de Comprovante de Retirada"));
    setModal(true);
    setFixedSize(Twips::toPixels(5400), Twips::toPixels(2400));

    Image1 = Widgets::label(this, QStringLiteral("Image1"), {}, Twips::rect(240, 240, 1320, 700));
    Image1->setAlignment(Qt::AlignCenter);
    Label1 = Widgets::label(this, QStringLiteral("Label1"), QStringLiteral("Preparando Impressão do Comprovante de Retirada ..."),
                            Twips::rect(1700, 360, 3460, 480));
    Label1->setWordWrap(true);
    QFont bold = font();
    bold.setBold(true);
    Label1->setFont(bold);
    PgBar = Widgets::progressBar(this, QStringLiteral("PgBar"), Twips::rect(240, 1200, 4920, 300));
    BtFechar = Widgets::button(this, QStringLiteral("BtFechar"), QStringLiteral("&Cancelar"), QStringLiteral("Cancelar"),
                               Twips::rect(3960, 1680, 1200, 495));
    connect(BtFechar, &QPushButton::clicked, this, &FrmImpRetirada::BtFechar_Click);
    WindowKeys::install(this);

    DataRetirada = new RecordCursor(this);
    DataRetirada->setObjectName(QStringLiteral("DataRetirada"));
    DataEmpresa = new RecordCursor(this);
    DataEmpresa->setObjectName(QStringLiteral("DataEmpresa"));
    ImgTesoura = AppIcons::scissors(32);

    // Runs from the opening: the window paints first.
    TimerRetirada = new WindowTimer(this, QStringLiteral("TimerRetirada"), 1000, true, [this] { TimerRetirada_Timer(); });
    Form_Load();
    TimerRetirada->setEnabled(true);
}

FrmImpRetirada::~FrmImpRetirada() { m_printer.killDoc(); }

void FrmImpRetirada::Form_Load() {
    const QString db = ProgramFolder::databasePath();
    bool ok = false;
    m_id = Modulo::IdRetiradaAtual.toLongLong(&ok);
    if (!ok) m_id = -1;
    try {
        DataEmpresa->open(db, QStringLiteral("TblEmpresa"), QString::fromUtf8(ConnectPlain));
        DataRetirada->open(db, QStringLiteral("TblRetirada"), QString::fromUtf8(ConnectPlain));
        m_loaded = true;
        DataRetirada->findFirst(QStringLiteral("IdRetirada = %1").arg(m_id));
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível abrir o Banco de Dados para imprimir este Comprovante de Retirada.")},
                  ErrorInfo::from(e), QStringLiteral("%2__%1"), QStringLiteral("Erro de Impressão"));
    }
    PgBar->setValue(20);
    m_logo = PrintJob::loadLogo(builtInLogo());
    PrintJob::showPicture(Image1, m_logo);
}

QString FrmImpRetirada::empresa(const QString& field) const {
    return DataEmpresa->hasCurrent() ? DataEmpresa->text(field) : QString();
}

QString FrmImpRetirada::retirada(const QString& field) const { return DataRetirada->text(field); }

void FrmImpRetirada::BtFechar_Click() { reject(); }

void FrmImpRetirada::done(int result) {
    TimerRetirada->setEnabled(false);
    m_printer.killDoc();
    QDialog::done(result);
}

void FrmImpRetirada::TimerRetirada_Timer() {
    TimerRetirada->setEnabled(false);
    if (!m_loaded) {
        reject();
        return;
    }
    WaitCursor wait;
    try {
        // The receipt as it is stored now: another copy may have deleted it.
        DataRetirada->requery();
        if (!DataRetirada->findFirst(QStringLiteral("IdRetirada = %1").arg(m_id))) {
            wait.release();
            MsgBox(QStringLiteral("O Comprovante de Retirada N.: %1 não foi encontrado.\r"
                                  "Ele pode ter sido excluído em outro computador.\rNada foi impresso.")
                       .arg(m_id),
                   MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok, JobTitle);
            reject();
            return;
        }
        PrintJob::pageSetUp(m_printer, PrintOrientation::Portrait, PrintUnit::Millimetres, QStringLiteral("Lucida Sans"), 1);
        m_printer.setItalic(true);
        m_printer.setDocumentName(QStringLiteral("Comprovante de Retirada %1").arg(m_id));
        PgBar->setValue(40);
        viaCliente();
        linhaDeCorte();
        viaEmpresa();

        m_printer.setItalic(false);
        m_printer.setBold(false);
        m_printer.setUnderline(false);
        m_printer.setLineStyle(LineStyle::Solid);
        PgBar->setValue(100);
        m_printer.endDoc();
    } catch (const std::exception& e) {
        // The window stays, its bar where the job stopped; only Cancel closes it.
        m_printer.killDoc();
        wait.release();
        PrintJob::showFailure(QStringLiteral("Não foi possível imprimir este Comprovante de Retirada"), {}, e);
        return;
    }
    wait.release();
    PrintJob::showSent(JobTitle);
    accept();
}

double FrmImpRetirada::titleColumn(double size, int column) const {
    // The title's "Comprovante" stands at `column` of its bold font, not italic.
    PrintFont font = m_printer.font();
    font.size = size;
    font.bold = true;
    font.italic = false;
    return (column - 1) * PrintMetrics::averageCharWidth(font);
}

void FrmImpRetirada::rule() {
    const double y = m_printer.y();
    m_printer.line(0, y, m_printer.printableWidth(), y);
}

void FrmImpRetirada::sentence() {
    Printer& p = m_printer;
    p.print({Tab(15), "O Aparelho abaixo está sendo retirado para: "}, LineEnd::Open);
    // The shop's name whole, with the rest of the sentence inside the page.
    const QString tail = QStringLiteral(" para reparo. ");
    const double end = p.printableWidth() - p.textWidth(tail);
    p.setItalic(true);
    p.setUnderline(true);
    p.printFitted(empresa("NomeFantasia"), end);
    p.setItalic(false);
    p.setUnderline(false);
    p.print({tail});
}

void FrmImpRetirada::corpo(int blankLines) {
    Printer& p = m_printer;
    rule();
    p.print();
    sentence();
    p.print();
    aparelho();
    // Room for the state of the appliance, then the signature line.
    p.setFontSize(8);
    p.print({Tab(2), "(Estado do Aparelho/Acessórios:)"});
    p.print({Underscores100});
    p.print();
    p.setItalic(true);
    for (int i = 0; i < blankLines; ++i) p.print();
    p.print({Tab(10), Underscores50});
}

void FrmImpRetirada::aparelho() {
    Printer& p = m_printer;
    p.setFontSize(10);
    p.setBold(true);
    p.setItalic(true);
    p.print({Tab(15), "Aparelho", Tab(52), "Marca", Tab(80), "Modelo", Tab(108), "Número de Série"});
    p.setBold(false);
    p.setItalic(false);
    // The grid's first row frames the headings just printed.
    TopoTabela = topoTabela(p.y());
    Tabela();
    Conteudo_Tabela();
}

std::uint8_t FrmImpRetirada::topoTabela(double y) {
    const double top = std::nearbyint(y - 5);
    if (!(top >= 0 && top <= 255)) throw PrintError(6, QStringLiteral("Estouro de capacidade"));
    return std::uint8_t(top);
}

void FrmImpRetirada::Tabela() {
    const double t = TopoTabela;
    for (double y : {t, t + 8, t + 16}) m_printer.line(10, y, 190, y);
    for (double x : GridBorders) m_printer.line(x, t, x, t + 16);
}

void FrmImpRetirada::Conteudo_Tabela() {
    Printer& p = m_printer;
    p.setY(TopoTabela + 5);
    // The position stands right of column 15: the values go to the grid's
    // second row, each kept off the border that closes its cell.
    const std::pair<int, QString> cells[] = {
        {15, retirada("Ap0")}, {52, retirada("Marca0")}, {80, retirada("Mod0")}, {110, retirada("NumSerie")}};
    for (const auto& [column, value] : cells) {
        p.print({Tab(column)}, LineEnd::Open);
        const double* border = std::find_if(std::begin(GridBorders), std::end(GridBorders),
                                            [&p](double x) { return x > p.x() + 1; });
        p.printFitted(value, (border != std::end(GridBorders) ? *border : p.printableWidth()) - 1);
    }
    p.print();
    p.print();
    p.print();
    p.setItalic(true);
    p.setBold(true);
    p.print({Tab(10), "Defeito:"});
    p.setBold(false);
    p.print({Tab(2), Fit(retirada("Defeito"))});
    p.print();
    p.setBold(false);
}

void FrmImpRetirada::viaCliente() {
    Printer& p = m_printer;
    p.paintPicture(m_logo, 8, 5, 27, 12);
    p.line(TitleFrame.left(), TitleFrame.top(), TitleFrame.right(), TitleFrame.bottom(), true);
    p.setY(0);

    // Title.
    p.setFontSize(20);
    p.print({Tab(12)}, LineEnd::Open);
    p.printFitted(empresa("NomeFantasia"), std::min(titleColumn(14, 54), TitleFrame.left() - 1));
    p.setItalic(false);
    p.setFontSize(14);
    p.setBold(true);
    p.print({Tab(54), "Comprovante"}, LineEnd::Open);
    p.setFontSize(8);
    p.setItalic(true);
    p.print({Spc(3), "(Via Cliente)"});
    p.print();
    p.setFontSize(14);
    p.setItalic(false);
    p.print({Tab(54), "de Retirada"});
    p.setBold(false);
    p.setY(p.y() - 8);

    // The shop.
    p.setFontName(QStringLiteral("Arial"));
    p.setUnderline(true);
    p.setItalic(true);
    p.setFontSize(10);
    p.print();
    p.print();
    // The lines beside the title's frame keep their values out of it.
    p.setRightEdge(TitleFrame.left() - 1);
    p.print({Tab(15), Fit(empresa("NomeReal"))});
    p.setUnderline(false);
    p.setItalic(false);
    p.setFontSize(8);
    p.print({Tab(10), "CGC", Spc(1), Fit(empresa("CGC")), Spc(2), "Insc. Estadual", Spc(1),
             Fit(empresa("InscEstadual")), Spc(2), "Insc. Municipal", Spc(1), Fit(empresa("InscMunicipal"))});
    p.setRightEdge(0);
    p.print({Tab(15), "End.:", Fit(empresa("Endereco")), Spc(2), "Fone: ", Fit(empresa("Fone1")), Spc(2),
             Fit(empresa("Fone2"))});
    p.print({Tab(20), "Fax: ", Fit(empresa("Fax")), Spc(2), "email:", Spc(1), Fit(empresa("Email"))});
    p.setBold(true);
    p.print({Tab(22), Fit(empresa("Site"))});
    p.setBold(false);
    p.print({Tab(25), "Cep: ", Fit(empresa("Cep")), "  -  ", Fit(empresa("Cidade")), " - ", Fit(empresa("Estado"))});
    p.print();

    // The authorised brands.
    p.setBold(true);
    p.print({Tab(2), "SERVIÇO AUTORIZADO:"});
    p.setBold(false);
    p.setItalic(true);
    p.setUnderline(true);
    for (int first : {1, 7}) {
        std::vector<PrintItem> items{Tab(1), Fit(empresa(QStringLiteral("Aut%1").arg(first)))};
        for (int i = first + 1; i < first + 6; ++i) {
            items.push_back(Spc(3));
            items.push_back(Fit(empresa(QStringLiteral("Aut%1").arg(i))));
        }
        p.print(items);
    }
    PgBar->setValue(60);
    p.setItalic(false);
    p.setUnderline(false);
    p.setFontSize(10);
    rule();

    // The customer.
    p.setFontName(QStringLiteral("Times New Roman"));
    p.setItalic(true);
    p.print({Tab(25), "Cliente:", Spc(1), Fit(retirada("Nome"))});
    p.print({Tab(25), "Endereço:", Fit(retirada("End")), Spc(3), Fit(retirada("Complemento"))});
    p.print({Tab(25), "Bairro:", Spc(1), Fit(retirada("Bairro")), Spc(3), "Cidade:", Spc(1), Fit(retirada("Cidade")),
             Spc(2), Fit(retirada("Estado"))});
    PgBar->setValue(80);
    corpo(1);

    // Who issued it, where and when, and the footer.
    p.print({Tab(12), Fit(empresa("NomeFantasia")), " (", Fit(retirada("Operador")), " )", Tab(120),
             Fit(empresa("Cidade")), " ,_____/_____/_______"});
    p.print();
    const QString version = PrintJob::productName() + QStringLiteral(" Versão:") + QString::number(PrintJob::versionMajor()) +
                            QLatin1Char('.') + QString::number(PrintJob::versionMinor()) + QLatin1Char(' ');
    p.print({Tab(1), "Obs: Ligue posteriormente para Empresa e solicite o Número da 'Ordem de Serviço'"}, LineEnd::Open);
    p.setX(p.printableWidth() - p.textWidth(version));
    p.print({version});
    p.print({Tab(5), "do seu aparelho para agilizar o seu atendimento."}, LineEnd::Open);
    p.setItalic(false);
    const QString web = PrintJob::webAddress() + QLatin1Char(' ');
    p.setX(p.printableWidth() - p.textWidth(web));
    p.print({web});
    p.print();
}

void FrmImpRetirada::linhaDeCorte() {
    Printer& p = m_printer;
    const double y = p.y();
    p.setLineWidth(1);
    p.setLineStyle(LineStyle::DashDot);
    p.line(0, y, 20, y);
    p.paintPicture(ImgTesoura, 22, y - 2, 4, 4);
    p.line(28, y, p.printableWidth(), y);
    p.setLineStyle(LineStyle::Solid);
    PgBar->setValue(90);
}

void FrmImpRetirada::viaEmpresa() {
    Printer& p = m_printer;
    p.paintPicture(m_logo, 8, p.y() + 5, 27, 12);
    p.setFontSize(18);
    p.setFontName(QStringLiteral("Lucida Sans"));
    p.setItalic(true);
    p.print({Tab(13), Fit(empresa("NomeFantasia"))}, LineEnd::Open);
    p.setItalic(false);
    p.setFontSize(14);
    p.setBold(true);
    p.print({Tab(50), "Comprovante"}, LineEnd::Open);
    p.setFontSize(8);
    p.setItalic(true);
    p.print({Spc(5), "(Via Empresa)"});
    p.print();
    p.setFontSize(14);
    p.setItalic(false);
    p.print({Tab(51), "de Retirada"}, LineEnd::Open);
    p.setBold(false);
    p.print({Spc(2), "Nº", Num(DataRetirada->field(QStringLiteral("IdRetirada")))});
    p.setFontSize(8);
    rule();

    // The customer and where to collect the appliance.
    p.setFontName(QStringLiteral("Times New Roman"));
    p.setItalic(true);
    p.print({Tab(1), "Cliente:", Spc(1), Fit(retirada("Nome")), Tab(100), "Localização:"});
    p.print({Tab(1), "Endereço:", Fit(retirada("End")), Spc(2), Fit(retirada("Complemento")), Tab(95),
             Fit(retirada("Loc0"))});
    p.print({Tab(1), "Bairro:", Spc(1), Fit(retirada("Bairro")), Spc(3), "Cidade:", Spc(1), Fit(retirada("Cidade")),
             Spc(2), Fit(retirada("Estado")), Tab(95), Fit(retirada("Loc1"))});
    p.print({Tab(1), "Fone: ", Fit(retirada("TelRes")), Spc(3), "Celular: ", Fit(retirada("Cel")), Tab(95),
             Fit(retirada("Loc2"))});
    corpo(3);

    // The customer's signature.
    p.print({Tab(12), Fit(retirada("Nome")), Tab(120), Fit(empresa("Cidade")), " , _____/_____/_______ (",
             Fit(retirada("Operador")), " )"});
}
