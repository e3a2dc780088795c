// Every window the program opens, at the largest values the database holds: each caption, value and column
// title whole in the space it is drawn in, each column wide enough for the widest known form of its values, no
// widget drawn over another, also with the lists tiled and cascaded.
#include "apptest.h"
#include "orders/workshopdata.h"
#include "app/frmabout.h"
#include "app/frmbackup.h"
#include "app/frmcalculadora.h"
#include "app/frmcalend.h"
#include "app/frminfo.h"
#include "app/programwindows.h"
#include "app/shadowtitle.h"
#include "customers/frmaltcadastro.h"
#include "customers/frmapcliente.h"
#include "customers/frmclientes.h"
#include "customers/frmloccliente.h"
#include "customers/frmnvcliente.h"
#include "operators/frmacesso.h"
#include "operators/frmacessoos.h"
#include "operators/frmaltacesso.h"
#include "operators/frmaltsenha.h"
#include "operators/frmexoperador.h"
#include "operators/frminicializar.h"
#include "operators/frmnvoperador.h"
#include "orders/frmapentregues.h"
#include "orders/frmdetalhes.h"
#include "orders/frmentrada.h"
#include "orders/frmlocap.h"
#include "orders/frmlocapentregue.h"
#include "orders/frmmanutencao.h"
#include "orders/frmopcoesos.h"
#include "orders/frmos.h"
#include "pickups/frmnvretirada.h"
#include "pickups/frmretirada.h"
#include "printing/frmimpap.h"
#include "printing/frmimpapentr.h"
#include "printing/frmimpdtapent.h"
#include "printing/frmimpressao.h"
#include "printing/frmimpretirada.h"
#include "settings/configavancadas.h"
#include "settings/frmconfig.h"
#include "store/currency.h"
#include "store/database.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "ui/gridmodel.h"
#include "ui/twips.h"
#include "ui/widgets.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTableView>

namespace {

// Capitals of a shop's usual wide names, `n` of them.
QString wide(int n) {
    static const QString names = QStringLiteral("JOSÉ WAGNER MOURA DA CONCEIÇÃO MÁXIMO WANDERLEY ");
    QString s;
    while (s.size() < n) s += names;
    s.truncate(n);
    if (s.endsWith(' ')) s[n - 1] = 'M';
    return s;
}

QVariant money(qint64 cents) { return QVariant::fromValue(Currency::fromCents(cents)); }
const qint64 Largest = 1592999940600;   // the largest final price the price window computes

using WorkshopData::Fields;
using WorkshopData::insert;
using WorkshopData::merged;

// The customer copy every table holds, at its typing limits.
Fields customer(const QString& address = "Endereco", const QString& home = "TelResidencia",
                const QString& mobile = "Celular") {
    return {{"Nome", wide(40)}, {address, wide(40)}, {"Complemento", wide(20)}, {"Bairro", wide(18)},
            {"Cidade", wide(18)}, {"Estado", "MW"}, {home, "(021) 9999-9999"}, {mobile, "(021) 9999-9999"}};
}

Fields appliance() {
    return {{"Aparelho", wide(16)}, {"Marca", wide(16)}, {"Modelo", wide(14)}, {"NumSerie", wide(15)},
            {"Chassis", wide(12)}, {"Tensao", wide(10)}};
}

// Rows at the largest stored values in every table a window shows.
void fillLargest() {
    Database db = Database::openDefault();
    db.execute("UPDATE TblOperador SET NomeOperador = ?", {wide(14)});
    db.execute("UPDATE TblEmpresa SET NomeFantasia = ?, Sigla = ?", {wide(30), wide(5)});
    for (int i = 0; i < 3; ++i) db.execute("INSERT INTO TblTecnicos (NomeTecnico) VALUES (?)", {wide(13) + char('A' + i)});
    db.execute("INSERT INTO TblStatus (TipoStatus) VALUES (?)", {wide(13)});
    db.execute("INSERT INTO TblMarca (Marca) VALUES (?)", {wide(16)});
    db.execute("INSERT INTO TblAparelhos (Aparelho, Dpto) VALUES (?, 'OUTROS')", {wide(16)});
    db.execute("INSERT INTO TblPrecoMObra (Aparelho, Preco) VALUES (?, ?)", {wide(16), money(999999900)});
    insert("TblClientes", merged(customer(), {{"Cep", "25.000-000"}, {"Email", wide(40)}, {"TelComercial", "(021) 9999-9999"},
                                              {"Fax", "(021) 9999-9999"}, {"Operador", wide(14)},
                                              {"DataCadastro", QDate(2026, 12, 28)}}));
    insert("TblApClientes", merged(appliance(), {{"ID", 1}}));

    const Fields common = merged(merged(customer(), appliance()),
                                 {{"Cep", "25.000-000"}, {"IdCliente", 1}, {"Defeito", wide(55)}, {"Tipo", "GAR. DE SERVIÇO"},
                                  {"Status", wide(13)}, {"Tecnico", wide(14)}, {"OperadorEnt", wide(14)},
                                  {"DataEntrada", QDate(2026, 12, 28)}, {"Dias", 99999}, {"Loja", wide(20)},
                                  {"NotaFiscal", wide(15)}, {"EstadoAparelho", wide(55)}, {"Acessorios", wide(50)},
                                  {"HoraEntrada", QTime(23, 59, 59)}, {"DataCompra", "28/12/2026"},
                                  {"GarComplementar", wide(15)}, {"Atendimento", "23:59:59"}, {"DataConcluido", QDate(2026, 12, 28)}});
    Fields order = merged(common, {{"Via", 999}, {"DtLmtGr", QDate(2027, 12, 28)}, {"prioridade", "URGENTE"}, {"VlFinal", money(Largest)},
                                   {"VlTotal", money(Largest)}, {"VlMo", money(999999999900)}});
    for (int i = 0; i < 6; ++i)
        order = merged(order, {{QString("Qtde%1").arg(i), 99}, {QString("VlUnit%1").arg(i), money(999999900)},
                               {QString("Vl%1").arg(i), money(98999990100)}});
    const Fields delivered = merged(common, {{"Os", 999999}, {"OperadorSaida", wide(14)}, {"DataSaida", QDate(2026, 12, 28)},
                                             {"HoraSaida", QTime(23, 59, 59)}, {"Garantia de Serviço", true},
                                             {"DATALIMITEGARANTIA", QDate(2027, 12, 28)}, {"ValorCobrado", money(Largest)}});
    const Fields receipt = merged(customer("End", "TelRes", "Cel"),
                                  {{"Nome", wide(35)}, {"End", wide(35)}, {"Complemento", wide(12)}, {"Bairro", wide(15)},
                                   {"Cidade", wide(15)}, {"Loc0", wide(50)}, {"Loc1", wide(50)}, {"Loc2", wide(50)},
                                   {"Ap0", wide(16)}, {"Marca0", wide(16)}, {"Mod0", wide(14)}, {"NumSerie", wide(16)},
                                   {"Defeito", wide(95)}, {"DataEmissao", QDate(2026, 12, 28)},
                                   {"HoraEmissao", QTime(23, 59, 59)}, {"Operador", wide(14)}});
    for (int i = 0; i < 2; ++i) insert("TblManutencao", order), insert("TblApEntregues", delivered), insert("TblRetirada", receipt);
}

QString plain(QString text) {
    text.replace("&&", QChar(1));
    text.remove('&');
    text.replace(QChar(1), '&');
    return text;
}

int textWidth(const QFontMetrics& fm, const QString& text) {
    int w = 0;
    for (const QString& line : plain(text).split('\n')) w = std::max(w, fm.horizontalAdvance(line));
    return w;
}

// The widget by the name of its window (a list inside the main window by its own).
QString where(const QWidget* w) {
    const QWidget* window = w;
    while (window->parentWidget() && !window->isWindow() &&
           !QRegularExpression("^(Frm|frm|ConfigAvancadas)").match(window->objectName()).hasMatch())
        window = window->parentWidget();
    return window->objectName() + '.' + (w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName());
}

// The room a widget gives its text, or -1 for a widget that shows no text of its own.
int room(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->wordWrap() || l->text().isEmpty() || !l->pixmap().isNull() || Qt::mightBeRichText(l->text())) return -1;
        return l->contentsRect().width() - 2 * l->margin() - std::max(0, l->indent());
    }
    if (qobject_cast<QPushButton*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
        auto* b = static_cast<QAbstractButton*>(w);
        if (b->text().isEmpty()) return -1;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        if (!qobject_cast<QPushButton*>(w))
            return b->style()->subElementRect(qobject_cast<QCheckBox*>(w) ? QStyle::SE_CheckBoxContents
                                                                          : QStyle::SE_RadioButtonContents, &opt, b).width();
        const int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
        return b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b).width() - icon;
    }
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title().isEmpty() ? -1 : g->width() - 8;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text().isEmpty() || e->echoMode() != QLineEdit::Normal) return -1;
        QStyleOptionFrame opt;
        opt.initFrom(e);
        return e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e).width() - 2;
    }
    return -1;
}

QString shownText(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    return {};
}

// The widest forms of the values of the columns that have one, by the column's title: a time, a date, a whole
// number of six digits, money to 12345,67, the serial the program generates (its company abbreviation at its limit
// of two letters), the fixed lists of types, priorities and places of service, yes and no.
QStringList widestValues(const QString& title) {
    const QStringList number = {"123456", "999999"}, date = {"28/12/2026"}, yesNo = {"Sim", "Não"};
    static const QHash<QString, QStringList> byTitle = {
        {"OS", number}, {"DIAS", number}, {"ID ClLIENTE", number}, {"ID CLIENTE", number}, {"ID AP", number},
        {"ID Cliente", number}, {"Num", number}, {"Id Cliente", number}, {"Numero", number},
        {"ENTRADA", date}, {"SAÍDA", date}, {"DATA GAR.", date}, {"DATA", date},
        {"HORA", {"00:48:06", "23:58:58"}},
        {"VALOR", {"12345,67"}},
        {"NÚM SÉRIE", {"261228235898-MW", "261228235898-WW"}}, {"Núm. Série", {"261228235898-WW"}},
        {"TIPO", {"ORÇAMENTO", "GAR. DE SERVIÇO", "GAR.DE FÁBRICA"}},
        {"PRIORIDADE", {"NORMAL", "URGENTE"}}, {"ATENDIMENTO", {"INTERNO", "EXTERNO"}},
        {"GS", yesNo}, {"INI", yesNo}, {"EM", yesNo}, {"BX", yesNo}, {"CE", yesNo}, {"USU", yesNo},
        {"FUN", yesNo}, {"CON", yesNo}, {"RST", yesNo}, {"FIN", yesNo},
    };
    return byTitle.value(title);
}

// Overlays a window places over another widget on purpose.
bool overlay(const QWidget* a, const QWidget* b) {
    static const QStringList over = {"BtMove1", "Shape1"};
    return over.contains(a->objectName()) || over.contains(b->objectName()) ||
           dynamic_cast<const ShadowTitle*>(a->parentWidget());
}

bool ours(const QWidget* w, const QWidget* window) {
    return !w->isWindow() && w->isVisibleTo(window) && !w->objectName().isEmpty() && !w->objectName().startsWith("qt_");
}

// What a window shows cut or drawn over another widget, one line each.
QStringList screenFaults(QWidget* window) {
    QStringList faults;
    QList<QWidget*> all = window->findChildren<QWidget*>();
    all.prepend(window);
    for (QWidget* w : all) {
        if (w != window && !w->isVisibleTo(window)) continue;
        if (const int r = room(w); r >= 0) {
            const int need = textWidth(w->fontMetrics(), shownText(w));
            if (need > r) faults << QString("%1 \"%2\": %3 > %4").arg(where(w), plain(shownText(w))).arg(need).arg(r);
        }
        // A box of several lines without a scroll bar shows all its lines.
        if (auto* e = qobject_cast<QAbstractScrollArea*>(w);
            e && e->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff && e->verticalScrollBar()->maximum() > 0)
            faults << QString("%1 shows %2 lines too few").arg(where(w)).arg(e->verticalScrollBar()->maximum());
        if (auto* view = qobject_cast<QTableView*>(w)) {
            QHeaderView* h = view->horizontalHeader();
            const int margin = 2 * h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
            // A cell shows its text inside its margins, on the column less its grid line.
            const int cellMargins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
            for (int s = 0; s < h->count(); ++s) {
                if (h->isSectionHidden(s) || h->sectionSize(s) == 0) continue;
                const QString title = view->model()->headerData(s, Qt::Horizontal).toString();
                const int need = textWidth(h->fontMetrics(), title) + margin;
                if (need > h->sectionSize(s))
                    faults << QString("%1 column \"%2\": %3 > %4").arg(where(view), title).arg(need).arg(h->sectionSize(s));
                const int cell = h->sectionSize(s) - (view->showGrid() ? 1 : 0);
                for (const QString& value : widestValues(title))
                    if (const int needs = textWidth(view->fontMetrics(), value) + cellMargins; needs > cell)
                        faults << QString("%1 column \"%2\" cuts \"%3\": %4 > %5").arg(where(view), title, value).arg(needs).arg(cell);
            }
        }
        QList<QWidget*> kids;
        for (QObject* o : w->children())
            if (auto* k = qobject_cast<QWidget*>(o); k && ours(k, window)) kids << k;
        // Inside a frame a widget shows whole; only a window may hide widgets behind its edge (or scroll them).
        if (w != window && !qobject_cast<QAbstractScrollArea*>(w->parentWidget()))
            for (QWidget* k : kids)
                if (!w->rect().contains(k->geometry())) faults << QString("%1 past the edge of its frame").arg(where(k));
        for (int i = 0; i < kids.size(); ++i)
            for (int j = i + 1; j < kids.size(); ++j)
                if (kids[i]->geometry().intersects(kids[j]->geometry()) && !overlay(kids[i], kids[j]))
                    faults << QString("%1 over %2").arg(where(kids[i]), kids[j]->objectName());
    }
    return faults;
}

void saveShot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("TARVEL_SCREEN_DIR");
    if (!dir.isEmpty()) w->grab().save(QDir(dir).filePath(name + ".png"));
}

// Closes a window as the program does: a list through its host, a dialog by deleting it.
void dispose(QWidget* w) {
    if (!w->testAttribute(Qt::WA_DeleteOnClose)) delete w;
    else w->close();
    WindowHost::closeAllLists();
}

// A window of a table by a name (its own, or what a check expects of it), and the widget of it a check
// looks at (none: the window itself).
struct WindowWidget {
    const char* window;
    std::function<QWidget*()> make;
    const char* widget = nullptr;
};

// Shows each window, hands its row's name, the window and its widget to `check`, and closes it.
void checkEach(std::initializer_list<WindowWidget> rows,
               const std::function<void(const QString&, QWidget*, QWidget*)>& check) {
    for (const WindowWidget& r : rows) {
        SCOPED_TRACE(r.window);
        QWidget* w = r.make();
        w->show();
        QApplication::processEvents();
        QWidget* widget = r.widget ? w->findChild<QWidget*>(r.widget) : w;
        EXPECT_NE(widget, nullptr) << r.widget;
        if (widget) check(QString::fromUtf8(r.window), w, widget);
        dispose(w);
    }
}

class ScreenTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        fillLargest();
        Modulo::OsAtual = 1;
        Modulo::IdApEntregueAtual = 1;
        Modulo::IdRetiradaAtual = 1;
        Modulo::CodClienteAtual = 1;
        Modulo::NomeClienteAtual = wide(40);
        Modulo::OperadorSelecionado = wide(14);
        const QStringList row = {"1", wide(40), wide(40), wide(20), wide(18), wide(18), "MW", "25.000-000",
                                 "(021) 9999-9999", "(021) 9999-9999", "(021) 9999-9999", "(021) 9999-9999", wide(40),
                                 {}, {}, wide(16), wide(16), wide(14), wide(12), wide(15), wide(10)};
        for (int i = 0; i < row.size(); ++i) Modulo::DadosSelecionados[std::size_t(i)] = row[i];
    }
    // Shows a window as the program does and returns what it shows wrong, on each page of its tab strips.
    QStringList check(QWidget* window) {
        window->show();
        QApplication::processEvents();
        saveShot(window, window->objectName());
        QStringList faults = screenFaults(window);
        for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
            const int shown = tabs->currentIndex();
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QApplication::processEvents();
                if (i != shown) saveShot(window, window->objectName() + '-' + plain(tabs->tabText(i)));
                faults << screenFaults(window);
            }
            tabs->setCurrentIndex(shown);
        }
        faults.removeDuplicates();
        return faults;
    }
};

} // namespace

TEST_F(ScreenTest, EveryWindowShowsItsTextsWholeAtTheLargestValues) {
    ScriptedBoxes boxes(false);   // a window's own questions get their default answers
    const std::pair<const char*, std::function<QWidget*()>> windows[] = {
        {"FrmClientes", [] { return FrmClientes::open(); }},
        {"FrmManutencao", [] { return FrmManutencao::open(); }},
        {"FrmApEntregues", [] { return FrmApEntregues::open(); }},
        {"FrmRetirada", [] { return WindowHost::openList<FrmRetirada>(); }},
        {"FrmNvCliente", [] { return new FrmNvCliente; }},
        {"FrmAltCadastro", [] { return new FrmAltCadastro; }},
        {"FrmApCliente", [] { return new FrmApCliente; }},
        {"FrmLocCliente", [] { return new FrmLocCliente(FrmClientes::load()); }},
        {"FrmNvRetirada", [] { return new FrmNvRetirada; }},
        {"FrmEntrada", [] { return new FrmEntrada; }},
        {"FrmOS", [] { return new FrmOS; }},
        {"FrmOpcoesOS", [] { return new FrmOpcoesOS; }},
        {"FrmDetalhes", [] { return new FrmDetalhes; }},
        {"FrmLocAp", [] { return new FrmLocAp(FrmManutencao::open()); }},
        {"FrmLocApEntregue", [] { return new FrmLocApEntregue(&FrmApEntregues::open()->listCursor()); }},
        {"FrmImpressao", [] { return new FrmImpressao; }},
        {"FrmImpAp", [] { return new FrmImpAp; }},
        {"FrmImpApEntr", [] { return new FrmImpApEntr; }},
        {"FrmImpDtApEnt", [] { return new FrmImpDtApEnt; }},
        {"FrmImpRetirada", [] { return new FrmImpRetirada; }},
        {"FrmInicializar", [] { return new FrmInicializar; }},
        {"FrmAcesso", [] { return new FrmAcesso; }},
        {"FrmAcessoOs", [] { return new FrmAcessoOs; }},
        {"FrmAltSenha", [] { return new FrmAltSenha; }},
        {"FrmAltAcesso", [] { return new FrmAltAcesso; }},
        {"FrmExOperador", [] { return new FrmExOperador; }},
        {"frmNvOperador", [] { return new frmNvOperador; }},
        {"FrmConfig", [] { return new FrmConfig; }},
        {"ConfigAvancadas", [] { return new ConfigAvancadas; }},
        {"FrmBackup", [] { return new FrmBackup; }},
        {"FrmCalculadora", [] { return new FrmCalculadora; }},
        {"frmCalend", [] { return new frmCalend; }},
        {"frmAbout", [] { return new frmAbout; }},
        {"FrmInfo", [] { return new FrmInfo; }},
    };
    QStringList faults;
    for (const auto& [name, make] : windows) {
        QWidget* w = make();
        ASSERT_NE(w, nullptr) << name;
        faults << check(w);
        // A dialog fits the smallest screen the program runs on; the lists scroll inside the main window.
        if (qobject_cast<QDialog*>(w) && (w->width() > 1024 || w->height() > 740))
            faults << QString("%1 larger than the screen").arg(name);
        dispose(w);
    }
    EXPECT_EQ(faults.join('\n'), "");
    // The customer buttons of the order windows: a picture and its tip, no caption.
    for (QWidget* w : std::initializer_list<QWidget*>{new FrmOS, new FrmDetalhes}) {
        auto* b = w->findChild<QPushButton*>("BtCadCliente");
        EXPECT_EQ(b->text() + '|' + b->toolTip() + '|' + QString::number(b->icon().isNull()), "|Cadastro de Clientes|0");
        delete w;
    }
}

// Tab walks each window's boxes and buttons in the window's order, from the first; disabled and hidden
// widgets are passed over as Tab passes them (the first names of each order are checked).
TEST_F(ScreenTest, TabWalksEachWindowInItsOrder) {
    ScriptedBoxes boxes(false);
    const auto numbered = [](const QString& name, int from, int to) {
        QStringList out;
        for (int i = from; i <= to; ++i) out << QString("%1(%2)").arg(name).arg(i);
        return out;
    };
    QStringList prices{"TxtOperador"};
    for (int i = 0; i < 6; ++i)
        for (const char* box : {"TxtCod", "TxtQtde", "TxtId", "TxtDescricao", "TxtVlUn"}) prices << QString("%1(%2)").arg(box).arg(i);
    // The checkout button waits for the password; the days box is locked for a warranty return.
    prices << "TxtVlUn(6)" << "TxtDesc" << "TxtPerc" << numbered("TxtObs", 0, 2) << "BtFechar" << "BtCalc" << "BtCalcular";
    const std::tuple<const char*, std::function<QWidget*()>, QStringList> windows[] = {
        {"FrmNvCliente", [] { return new FrmNvCliente; }, numbered("Txt", 0, 11) << "TxtOperador" << "BtFechar"},
        {"FrmAltCadastro", [] { return new FrmAltCadastro; }, numbered("Txt", 1, 12) << "BtFechar"},
        {"FrmApCliente", [] { return new FrmApCliente; }, QStringList{"Combo(0)", "Combo(1)"} << numbered("Txt", 0, 3) << "BtCadastrar" << "BtFechar" << "TxtNmCliente"},
        {"FrmAltSenha", [] { return new FrmAltSenha; }, {"TxtOperador", "TxtNvSenha", "TxtConfNvSenha", "BtFechar"}},
        {"frmNvOperador", [] { return new frmNvOperador; }, {"TxtOperador", "TxtNvUsuario", "TxtSnNvUsuario"}},
        {"FrmEntrada", [] { return new FrmEntrada; }, {"Txt(21)", "Txt(22)", "Txt(23)", "TxtOperador"}},
        {"FrmOpcoesOS", [] { return new FrmOpcoesOS; }, prices},
    };
    for (const auto& [name, make, order] : windows) {
        std::unique_ptr<QWidget> w(make());
        w->show();
        QApplication::processEvents();
        QStringList walked;
        QWidget* at = w->findChild<QWidget*>(order.first());
        ASSERT_NE(at, nullptr) << name;
        for (int guard = 0; walked.size() < order.size() && guard < 500; ++guard, at = at->nextInFocusChain())
            if ((at->focusPolicy() & Qt::TabFocus) && at->isEnabled() && at->isVisibleTo(w.get()) && !at->objectName().isEmpty())
                walked << at->objectName();
        EXPECT_EQ(walked.join(' '), order.join(' ')) << name;
    }
}

// The windows' headings, order numbers and counts stand out: bold, larger than the window's own text.
TEST_F(ScreenTest, HeadingsNumbersAndCountsStandOut) {
    ScriptedBoxes boxes(false);
    checkEach({{"FrmApCliente", [] { return new FrmApCliente; }, "Label1"},
               {"FrmDetalhes", [] { return new FrmDetalhes; }, "Label2"},
               {"FrmEntrada", [] { return new FrmEntrada; }, "Label3"},
               {"FrmOS", [] { return new FrmOS; }, "Label2"},
               {"FrmOpcoesOS", [] { return new FrmOpcoesOS; }, "Label3"},
               {"FrmClientes", [] { return FrmClientes::open(); }, "LblNumClientes"},
               {"FrmManutencao", [] { return FrmManutencao::open(); }, "Label1"},
               {"FrmRetirada", [] { return WindowHost::openList<FrmRetirada>(); }, "Label1(1)"}},
              [](const QString&, QWidget* w, QWidget* label) {
                  EXPECT_TRUE(label->font().bold() && label->font().pointSizeF() > w->font().pointSizeF());
              });
}

// In the in-repair and delivered lists each heading stands above what it heads: "Contagem" over the count,
// the search's heading over its box.
TEST_F(ScreenTest, TheListsHeadingsStandAboveWhatTheyHead) {
    for (const auto& open : {std::function<QWidget*()>([] { return FrmManutencao::open(); }), {[] { return FrmApEntregues::open(); }}}) {
        QWidget* list = open();
        list->show();
        QApplication::processEvents();
        for (const auto& [heading, headed] : {std::pair{"Label3(0)", "Label1"}, {"Label3(1)", "TxtBusca"}}) {
            const auto place = [list](const char* name) {
                QWidget* w = list->findChild<QWidget*>(name);
                return QRect(w->mapTo(list, QPoint(0, 0)), w->size());
            };
            const QRect top = place(heading), below = place(headed);
            EXPECT_TRUE(top.bottom() < below.top() && top.left() < below.right() && below.left() < top.right())
                << list->objectName().toStdString() << ' ' << heading;
        }
        WindowHost::closeAllLists();
    }
}

// Every box for a state takes its two widest letters whole.
TEST_F(ScreenTest, EveryStateBoxShowsTwoWideLetters) {
    ScriptedBoxes boxes(false);
    checkEach({{"FrmNvCliente", [] { return new FrmNvCliente; }, "Txt(5)"},
               {"FrmAltCadastro", [] { return new FrmAltCadastro; }, "Txt(6)"},
               {"FrmNvRetirada", [] { return new FrmNvRetirada; }, "Txt(5)"},
               {"FrmRetirada", [] { return WindowHost::openList<FrmRetirada>(); }, "Txt(5)"},
               {"ConfigAvancadas", [] { return new ConfigAvancadas; }, "Text6"}},
              [](const QString&, QWidget*, QWidget* state) {
                  static_cast<QLineEdit*>(state)->setText("WW");
                  EXPECT_GE(room(state), textWidth(state->fontMetrics(), "WW"));
              });
}

// Each window's caption names it as the shop knows it.
TEST_F(ScreenTest, EachWindowsCaption) {
    ScriptedBoxes boxes(false);
    checkEach({{" Cadastro de Clientes", [] { return FrmClientes::open(); }},
               {"Aparelhos Entregues", [] { return FrmApEntregues::open(); }},
               {"Comprovante de Retirada", [] { return WindowHost::openList<FrmRetirada>(); }},
               {"Cadastro de Novo Cliente", [] { return new FrmNvCliente; }},
               {"Alterar Dados Cadastrais do Cliente", [] { return new FrmAltCadastro; }},
               {"Localizar Cliente", [] { return new FrmLocCliente(FrmClientes::load()); }},
               {"Cadastrar Aparelho de Cliente", [] { return new FrmApCliente; }},
               {"Detalhes do Aparelho Entregue", [] { return new FrmDetalhes; }},
               {"Ordem de Serviço Número: 1", [] { return new FrmOS; }},
               {"Relatório de Aparelhos em Manutenção", [] { return new FrmImpAp; }},
               {"Impressâo de Comprovante de Retirada", [] { return new FrmImpRetirada; }},
               {" Alterar Senha", [] { return new FrmAltSenha; }}},
              [](const QString& caption, QWidget* w, QWidget*) { EXPECT_EQ(w->windowTitle(), caption); });
}

// The price window at its widest values: every widget at its place, none over another; the status and the
// technician whole in a smaller font inside their frame; the parts rows one every 240 twips.
TEST_F(ScreenTest, ThePriceWindowKeepsItsPlacesAtTheWidestValues) {
    Database::openDefault().execute("UPDATE TblManutencao SET Tecnico = ?, Status = ?", {QString(14, 'W'), QString(13, 'M')});
    FrmOpcoesOS window;
    EXPECT_EQ(check(&window).join('\n'), "");
    const auto place = [&](const char* name) { return window.findChild<QWidget*>(name)->geometry(); };
    EXPECT_EQ(place("Frame6"), Twips::rect(120, 120, 2775, 975));
    EXPECT_EQ(place("Frame4"), Twips::rect(3120, 120, 2535, 975));
    for (const char* name : {"Lbl(5)", "Lbl(6)"}) {
        auto* l = window.findChild<QLabel*>(name);
        EXPECT_TRUE(l->toolTip().isEmpty() && l->font().pointSizeF() < window.font().pointSizeF()) << name;
    }
    for (int i = 0; i < 6; ++i) {
        const QString row = QString::number(i);
        EXPECT_EQ(place(qPrintable("TxtCod(" + row + ")")).top(), Twips::toPixels(480 + 240 * i)) << i;
        EXPECT_EQ(place(qPrintable("TxtVl(" + row + ")")).top(), Twips::toPixels(480 + 240 * i)) << i;
    }
}

// The intake and service-order windows at the widest values of their labels (a customer name of 60 capitals, the
// longest status and technician their lists take, an operator of 14), and at values longer still (kept from
// elsewhere): no wider than the screen with every button in sight, each label at its place showing its value whole
// in its own font or a smaller one, or shortened in the smallest with the whole value as its tip.
TEST_F(ScreenTest, TheOrderWindowsKeepTheirPlacesAtTheWidestValues) {
    const struct { int name, status, tecnico, operador; } widths[] = {{60, 13, 14, 14}, {120, 40, 40, 40}};
    for (const auto& width : widths) {
        const QString name(width.name, 'W'), status(width.status, 'W'), tecnico(width.tecnico, 'W'),
            operador(width.operador, 'W');
        SCOPED_TRACE(width.name);
        Database db = Database::openDefault();
        db.execute("INSERT INTO TblStatus (TipoStatus) VALUES (?)", {status});
        db.execute("INSERT INTO TblTecnicos (NomeTecnico) VALUES (?)", {tecnico});
        db.execute("UPDATE TblManutencao SET Status = ?, Tecnico = ?, OperadorEnt = ?", {status, tecnico, operador});
        Modulo::DadosSelecionados[1] = name;
        FrmEntrada intake;
        FrmOS order;
        for (QListWidget* list : order.findChildren<QListWidget*>()) {
            const auto widest = list->findItems(list->objectName() == "List1" ? status : tecnico, Qt::MatchExactly);
            ASSERT_EQ(widest.size(), 1);
            list->setCurrentItem(widest[0]);
        }
        const std::pair<QDialog*, std::vector<std::pair<const char*, QString>>> windows[] = {
            {&intake, {{"Lbl(1)", name}}},
            {&order, {{"Label3", status}, {"Label5", tecnico}, {"Label13", operador}, {"LblStatus", status}, {"LblTecnico", tecnico}}},
        };
        for (const auto& [window, labels] : windows) {
            SCOPED_TRACE(window->objectName().toStdString());
            window->show();
            QApplication::processEvents();
            saveShot(window, QString("%1-%2").arg(window->objectName()).arg(width.name));
            for (const auto& [label, value] : labels) {
                auto* l = window->findChild<QLabel*>(label);
                l->grab();   // painted: fitted to its place
                const bool whole = l->fontMetrics().horizontalAdvance(value) <= room(l);
                EXPECT_EQ(l->text(), value) << label;
                EXPECT_EQ(l->toolTip(), whole ? QString() : value) << label;
                // The widest values the lists take show whole.
                if (&width == &widths[0]) EXPECT_TRUE(whole) << label;
                if (whole) {
                    EXPECT_LE(l->font().pointSizeF(), window->font().pointSizeF()) << label;
                } else {
                    EXPECT_EQ(l->font().pointSizeF(), Widgets::FloorPoints) << label;
                }
                EXPECT_TRUE(window->rect().contains(QRect(l->mapTo(window, QPoint(0, 0)), l->size()))) << label;
                // Not cut by the frame it stands in.
                EXPECT_TRUE(l->parentWidget()->contentsRect().contains(l->geometry()))
                    << label << " " << l->geometry().right() << " > " << l->parentWidget()->contentsRect().right();
            }
            // A shortened label shows its value in its tip; none is cut otherwise.
            QStringList faults;
            for (const QString& fault : screenFaults(window))
                if (!fault.contains(QRegularExpression("\\.(Lbl\\(1\\)|Label3|Label5|Label13|LblStatus|LblTecnico) \"W+\"")))
                    faults << fault;
            EXPECT_EQ(faults.join('\n'), "");
            const QRect screen(QPoint(0, 0), QSize(1024, 740));
            EXPECT_TRUE(screen.contains(QRect(QPoint(0, 0), window->size())))
                << window->width() << " x " << window->height();
            for (QPushButton* b : window->findChildren<QPushButton*>()) {
                if (!b->isVisibleTo(window)) continue;
                EXPECT_TRUE(screen.contains(QRect(b->mapTo(window, QPoint(0, 0)), b->size()))) << qPrintable(where(b));
            }
        }
    }
}

// Three lists in the main window, tiled both ways and cascaded: each keeps its widgets apart and whole, a
// window smaller than its widgets scrolling them.
TEST_F(ScreenTest, TiledAndCascadedListsKeepTheirWidgetsApart) {
    registerProgramWindows();
    start();
    mdi->resize(1024, 768);
    mdi->show();
    action("Mnumanut")->trigger();
    action("MnuCompRet")->trigger();
    WindowHost::showList(FrmClientes::load());
    auto* area = mdi->findChild<QMdiArea*>("MdiArea");
    ASSERT_EQ(area->subWindowList().size(), 3);
    for (const char* arrangement : {"MnuHorizontal", "MnuVertical", "MnuCascata"}) {
        SCOPED_TRACE(arrangement);
        action(arrangement)->trigger();
        QApplication::processEvents();
        saveShot(mdi.get(), arrangement);
        EXPECT_EQ(screenFaults(mdi.get()).join('\n'), "");
        if (std::string(arrangement) == "MnuCascata") continue;
        for (QMdiSubWindow* sub : area->subWindowList()) EXPECT_TRUE(area->viewport()->rect().contains(sub->geometry()));
    }
}

// The first-row button of the in-repair and delivered lists stays at the window's top right corner, in sight, when
// the list is narrower than its widgets, and left of the scroll bar a short list shows.
TEST_F(ScreenTest, TheFirstRowButtonStaysAtTheListsRightEdge) {
    registerProgramWindows();
    start();
    mdi->resize(1024, 768);
    mdi->show();
    auto* area = mdi->findChild<QMdiArea*>("MdiArea");
    for (const char* entry : {"Mnumanut", "MnuApEntregues"}) {
        SCOPED_TRACE(entry);
        action(entry)->trigger();
        ASSERT_EQ(area->subWindowList().size(), 1);
        QMdiSubWindow* sub = area->subWindowList().first();
        QWidget* list = sub->widget();
        auto* button = list->findChild<QPushButton*>("BtMove1");
        for (const int height : {600, 110}) {
            sub->resize(360, height);
            QApplication::processEvents();
            SCOPED_TRACE(height);
            ASSERT_GT(list->findChild<QWidget*>("Body")->width(), list->width()) << "narrower than its widgets";
            saveShot(mdi.get(), QStringLiteral("narrow-%1-%2").arg(entry).arg(height));
            EXPECT_EQ(button->visibleRegion(), QRegion(button->rect()));
            const QRect place(button->mapTo(list, QPoint(0, 0)), button->size());
            QScrollBar* bar = list->findChild<QScrollArea*>("ScrollBody")->verticalScrollBar();
            const int right = list->width() - (bar->isVisible() ? bar->width() : 0);
            EXPECT_EQ(place.topLeft(), QPoint(right - Twips::toPixels(360), 0));
            EXPECT_EQ(bar->isVisible(), height == 110);
        }
        auto& cursor = static_cast<OrderList*>(list)->listCursor();
        ASSERT_EQ(cursor.absolutePosition(), 1);
        button->click();
        EXPECT_EQ(cursor.absolutePosition(), 0);
    }
}

TARVEL_TEST_MAIN()
