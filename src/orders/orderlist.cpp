#include "orderlist.h"

#include "app/appicons.h"
#include "cellfilter.h"
#include "checkout.h"
#include "store/programfolder.h"
#include "ui/errormessage.h"
#include "ui/namesearch.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString FilterRefused = QStringLiteral("Não é possível Filtrar através deste Registro!");
const QString FilterRefusedTitle = QStringLiteral("Erro ao tentar Filtrar Registros");

// The filter indicator: a small filled red circle.
QPixmap redDot(int size) {
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(128, 0, 0), 1));
    painter.setBrush(QColor(255, 0, 0));
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
    return p;
}

// The buttons' pictures, read once for every list the program opens.
QIcon picture(const QStyle* style, QStyle::StandardPixmap which) {
    static QHash<int, QIcon> icons;
    auto it = icons.find(int(which));
    if (it == icons.end()) it = icons.insert(int(which), style->standardIcon(which));
    return *it;
}

// A box of the bottom panel: a heading label over its contents.
QFrame* headedBox(QWidget* parent, QLabel* heading, QLayout* contents) {
    auto* box = new QFrame(parent);
    box->setFrameShape(QFrame::StyledPanel);
    box->setFrameShadow(QFrame::Sunken);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(6, 2, 6, 4);
    v->setSpacing(2);
    v->addWidget(heading);
    v->addLayout(contents);
    return box;
}

// Runs `placed` each time the watched widget changes size.
class OnResize : public QObject {
public:
    OnResize(QWidget* watched, std::function<void()> placed) : QObject(watched), m_placed(std::move(placed)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Resize) m_placed();
        return false;
    }

private:
    std::function<void()> m_placed;
};

} // namespace

GridColumn listColumn(const char* field, const char* title, int twips, FieldFormat format, Qt::Alignment align,
                      const QStringList& widest) {
    return GridColumn{QString::fromUtf8(field), QString::fromUtf8(title), Twips::toPixels(twips), format, align, widest};
}

const QStringList OrderValues::Tipos = {Checkout::Orcamento, Checkout::GarantiaServico, Checkout::GarantiaFabrica};
const QStringList OrderValues::Prioridades = {QStringLiteral("NORMAL"), QStringLiteral("URGENTE")};
const QStringList OrderValues::Atendimentos = {QStringLiteral("INTERNO"), QStringLiteral("EXTERNO")};

OrderList::OrderList(OrderListSetup setup, QWidget* parent) : QWidget(parent), m_setup(std::move(setup)) {
    setObjectName(m_setup.objectName);
    setWindowTitle(m_setup.caption);
    buildWidgets();
    WindowKeys::install(this);
}

OrderList::~OrderList() = default;

void OrderList::buildWidgets() {
    Timer2 = new WindowTimer(this, QStringLiteral("Timer2"), 500, false, [this] { Timer2_Timer(); });

    QWidget* body = Widgets::scrollingBody(this);
    auto* root = new QVBoxLayout(body);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    DBGrid1 = new DataGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setColumns(m_setup.columns);
    DBGrid1->setCaption(m_setup.heading);
    // Below this the grid keeps its height; the window may be made smaller.
    DBGrid1->setMinimumHeight(Twips::toPixels(2000 - 1520));
    connect(DBGrid1, &DataGrid::cellDoubleClicked, this, [this] { DBGrid1_DblClick(); });
    root->addWidget(DBGrid1, 1);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel"));
    panel->setFixedHeight(Twips::toPixels(1125));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    auto* bar = new QHBoxLayout(panel);
    bar->setContentsMargins(6, 4, 6, 4);
    bar->setSpacing(6);

    // The count.
    Label3[0] = Widgets::label(panel, QStringLiteral("Label3(0)"), QStringLiteral(" Contagem "));
    Label1 = Widgets::label(panel, QStringLiteral("Label1"), QStringLiteral("0"));
    QFont countFont = Label1->font();
    countFont.setBold(true);
    countFont.setPointSizeF(countFont.pointSizeF() * 1.4);
    Label1->setFont(countFont);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setMinimumWidth(Label1->fontMetrics().horizontalAdvance(QStringLiteral("000000")));
    Label1->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
    Label2 = Widgets::label(panel, QStringLiteral("Label2"), QStringLiteral("Aparelhos"));
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(Label1);
    countRow->addWidget(Label2);
    bar->addWidget(headedBox(panel, Label3[0], countRow));

    // The filter indicator, hidden until a filter blinks it.
    Shape1 = new QLabel(m_setup.indicatorAtTop ? body : panel);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setPixmap(redDot(Twips::toPixels(195)));
    Shape1->setFixedSize(Twips::toPixels(195), Twips::toPixels(195));
    Shape1->hide();
    if (!m_setup.indicatorAtTop) {
        auto* dotColumn = new QVBoxLayout;
        dotColumn->addWidget(Shape1);
        dotColumn->addStretch(1);
        auto* dotHolder = new QWidget(panel);
        dotHolder->setFixedWidth(Twips::toPixels(195));
        dotHolder->setLayout(dotColumn);
        dotColumn->setContentsMargins(0, 4, 0, 0);
        bar->addWidget(dotHolder);
    }

    // The name search.
    Label3[1] = Widgets::label(panel, QStringLiteral("Label3(1)"), QStringLiteral(" Digite um Nome para Pesquisar "));
    TxtBusca = Widgets::lineEdit(panel, QStringLiteral("TxtBusca"));
    NameSearch::prepareBox(TxtBusca, 30, QStringLiteral("Pesquisar Cliente pelo Nome"));
    TxtBusca->setMinimumWidth(TxtBusca->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 18);
    QFont searchFont = TxtBusca->font();
    searchFont.setBold(true);
    TxtBusca->setFont(searchFont);
    connect(TxtBusca, &QLineEdit::returnPressed, this, &OrderList::Busca_Nome);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(TxtBusca);
    bar->addWidget(headedBox(panel, Label3[1], searchRow));
    bar->addStretch(1);

    // The buttons, each a picture with a word under its tool tip.
    const auto button = [panel, bar](const QString& name, const QString& caption, const QString& tip,
                                     const QIcon& icon) {
        QPushButton* b = Widgets::button(panel, name, caption, tip);
        b->setProperty("caption", caption);
        b->setIcon(icon);
        b->setIconSize(QSize(24, 24));
        b->setMinimumHeight(Twips::toPixels(1125) - 16);
        bar->addWidget(b);
        return b;
    };
    BtDetails = button(m_setup.detailsButton, QStringLiteral("Detalhes"), m_setup.detailsToolTip,
                       picture(panel->style(), QStyle::SP_FileDialogDetailedView));
    BtLocAp = button(QStringLiteral("BtLocAp"), QStringLiteral("Localizar"), QStringLiteral("Localizar Aparelho (F10)"),
                     picture(panel->style(), QStyle::SP_FileDialogContentsView));
    static const QIcon printerIcon(AppIcons::printer(48));
    BtImprimir = button(QStringLiteral("BtImprimir"), QStringLiteral("Imprimir"), QStringLiteral("Imprimir"),
                        printerIcon);
    BtReset = button(QStringLiteral("BtReset"), QStringLiteral("Atualizar"), m_setup.resetToolTip,
                     picture(panel->style(), QStyle::SP_BrowserReload));
    BtFechar = button(QStringLiteral("BtFechar"), QStringLiteral("Fechar"), QStringLiteral("Fechar"),
                      picture(panel->style(), QStyle::SP_DialogCloseButton));
    root->addWidget(panel);

    connect(BtDetails, &QPushButton::clicked, this, [this] { openDetails(); });
    connect(BtLocAp, &QPushButton::clicked, this, [this] { BtLocAp_Click(); });
    connect(BtImprimir, &QPushButton::clicked, this, [this] { BtImprimir_Click(); });
    connect(BtReset, &QPushButton::clicked, this, &OrderList::BtReset_Click);
    connect(BtFechar, &QPushButton::clicked, this, &OrderList::BtFechar_Click);

    // The small button at the window's top right corner, over the grid's
    // heading: it stays in sight however the body scrolls (a window narrower
    // than its widgets), left of a scroll bar when one shows.
    QWidget* sight = body->parentWidget();
    BtMove1 = Widgets::button(sight, QStringLiteral("BtMove1"), QStringLiteral("^"),
                              QStringLiteral("Move para o Primeiro Registro"));
    BtMove1->setFixedSize(Twips::toPixels(225), Twips::toPixels(225));
    BtMove1->setFocusPolicy(Qt::NoFocus);
    connect(BtMove1, &QPushButton::clicked, this, &OrderList::BtMove1_Click);
    new OnResize(sight, [this, sight] {
        BtMove1->move(sight->width() - Twips::toPixels(360), 0);
        BtMove1->raise();
    });
    // The indicator moves with the body, scrolled or not.
    new OnResize(body, [this] {
        if (m_setup.indicatorAtTop) {
            // In the grid's heading bar, at its left end.
            const int bar = DBGrid1->captionLabel()->sizeHint().height();
            Shape1->move(Twips::toPixels(120), std::max(0, (bar - Shape1->height()) / 2));
            Shape1->raise();
        }
    });

    resize(Twips::toPixels(11400), Twips::toPixels(6000));
}

bool OrderList::Form_Load() {
    try {
        m_data.open(ProgramFolder::databasePath(), tableSource());
        DBGrid1->bindCursor(&m_data);
    } catch (const std::exception& e) {
        m_loadFailed = true;
        ShowError({QStringLiteral("Ocorreu um Erro ao tentar abrir a lista de %1.").arg(m_setup.errorTitle)},
                  ErrorInfo::from(e), QStringLiteral("%1_%2_%3"), m_setup.errorTitle);
        return false;
    }
    m_byName = false;
    TxtBusca->setText(*m_setup.lastSearch);
    TxtBusca->setCursorPosition(int(TxtBusca->text().size()));
    try {
        // The cursor was just read: the refresh of AtualizaData would read it twice.
        m_data.moveLast();
        if (m_data.hasCurrent()) lastRowShown();
        Label1->setText(QString::number(m_data.recordCount()));
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível ler a lista de %1.").arg(m_setup.errorTitle)}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), m_setup.errorTitle);
    }
    enableForRows();
    return true;
}

void OrderList::enableForRows() {
    const bool rows = m_data.isOpen() && m_data.recordCount() > 0;
    for (QPushButton* b : {BtReset, BtImprimir, BtDetails, BtLocAp}) b->setEnabled(rows);
    // The grid cannot be worked with while it has nothing to show.
    DBGrid1->view()->setFocusPolicy(rows ? Qt::StrongFocus : Qt::NoFocus);
}

void OrderList::AtualizaData() {
    m_data.refresh();
    m_data.moveLast();
    if (m_data.hasCurrent()) lastRowShown();
    Label1->setText(QString::number(m_data.recordCount()));
    enableForRows();
}

QString OrderList::countText() const { return Label1->text(); }
void OrderList::setCountText(const QString& text) { Label1->setText(text); }

bool OrderList::filtered() const { return Timer2->isActive(); }

void OrderList::stopIndicator() {
    Timer2->setEnabled(false);
    Shape1->hide();
}

QString OrderList::headingOf(const QString& field) const {
    for (const GridColumn& c : m_setup.columns)
        if (c.field.compare(field, Qt::CaseInsensitive) == 0) return c.title;
    return {};
}

void OrderList::Timer2_Timer() { Shape1->setVisible(!Shape1->isVisible()); }

void OrderList::Busca_Nome() {
    if (!m_data.isOpen()) return;
    WaitCursor wait;
    try {
        if (!m_byName) {
            // Searching orders the whole table by name: a filter shown
            // until now goes, with its indicator and heading.
            m_data.setRecordSource(QStringLiteral("SELECT * FROM %1 ORDER BY Nome").arg(m_setup.table));
            m_data.refreshForFind();
            m_byName = true;
            stopIndicator();
            DBGrid1->setCaption(m_setup.heading);
            Label1->setText(QString::number(m_data.recordCount()));
            enableForRows();
        }
        wait.release();
        *m_setup.lastSearch = TxtBusca->text();
        NameSearch::find(m_data, TxtBusca);
    } catch (const std::exception& e) {
        wait.release();
        ShowError({QStringLiteral("Não foi possível pesquisar o Nome digitado.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), m_setup.errorTitle);
    }
}

void OrderList::showFilter(const QString& sql, const QString& heading) {
    m_data.setRecordSource(sql);
    AtualizaData();
    if (m_data.recordCount() == 0)
        throw DbError(DbErrorCode::NoCurrentRecord, QStringLiteral("Nenhum registro atual."), dbErrorSource());
    Timer2->setEnabled(true);
    DBGrid1->setCaption(heading);
}

void OrderList::DBGrid1_DblClick() {
    if (!m_data.isOpen() || !m_data.hasCurrent()) return;
    const int column = DBGrid1->currentColumn();
    const QString field = DBGrid1->model()->fieldOf(column);
    if (field.isEmpty()) return;
    WaitCursor wait;
    const QModelIndex cell = DBGrid1->view()->currentIndex();
    const QString shown = DBGrid1->model()->data(cell, Qt::DisplayRole).toString();
    const QString named = m_setup.filterNamesField ? field.toUpper() : headingOf(field);
    *m_setup.filterTitle = m_setup.filterPrefix + named + QStringLiteral(" =  \"") + shown + QLatin1Char('"');
    const Schema::FieldType type = CellFilter::fieldType(m_setup.table, field);
    *m_setup.sqlFilter = QStringLiteral("SELECT * FROM %1 WHERE %2 ORDER BY %3")
                             .arg(m_setup.table, CellFilter::criterion(field, type, DBGrid1->currentValue()),
                                  CellFilter::comparesDates(type) ? m_setup.dateFilterOrder : m_setup.filterOrder);
    try {
        showFilter(*m_setup.sqlFilter, *m_setup.filterTitle);
    } catch (const std::exception&) {
        wait.release();
        MsgBox(FilterRefused, MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, FilterRefusedTitle);
        m_data.setRecordSource(tableSource());
        BtReset_Click();
    }
}

void OrderList::BtReset_Click() {
    WaitCursor wait;
    stopIndicator();
    DBGrid1->setCaption(m_setup.heading);
    m_data.setRecordSource(tableSource());
    m_byName = false;
    try {
        AtualizaData();
    } catch (const std::exception& e) {
        wait.release();
        ShowError({QStringLiteral("Não foi possível ler a lista de %1.").arg(m_setup.errorTitle)}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), m_setup.errorTitle);
    }
}

void OrderList::BtMove1_Click() {
    try {
        m_data.moveFirst();
    } catch (const std::exception&) {
        // Nothing to move to.
    }
}

void OrderList::BtFechar_Click() { close(); }

void OrderList::keyPressEvent(QKeyEvent* event) {
    // The keys reach the list wherever the focus is in it (the grid and the
    // search field leave them alone).
    switch (event->key()) {
    case Qt::Key_F10:
        if (m_setup.keysWithoutRows || BtLocAp->isEnabled()) BtLocAp_Click();
        break;
    case Qt::Key_F11:
        if (m_setup.keysWithoutRows || BtDetails->isEnabled()) openDetails();
        break;
    case Qt::Key_F5:
        BtReset_Click();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void OrderList::fitButtons() {
    // The buttons show their words when the panel has room for them and
    // their pictures alone (the words stay in the tool tips) when it has not.
    QWidget* panel = findChild<QWidget*>(QStringLiteral("Panel"));
    const QList<QPushButton*> buttons{BtDetails, BtLocAp, BtImprimir, BtReset, BtFechar};
    if (m_panelFullWidth == 0) {
        for (QPushButton* b : buttons) b->setText(b->property("caption").toString());
        m_panelFullWidth = panel->layout()->sizeHint().width();
    }
    const bool words = !m_setup.picturesOnly && width() >= m_panelFullWidth;
    for (QPushButton* b : buttons) b->setText(words ? b->property("caption").toString() : QString());
}

void OrderList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitButtons();
}

void OrderList::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_placed) return;
    m_placed = true;
    // A list inside the main window opens over the whole of its area.
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame && frame->mdiArea()) frame->setGeometry(QRect(QPoint(0, 0), frame->mdiArea()->viewport()->size()));
}

void OrderList::closeEvent(QCloseEvent* event) {
    Timer2->stop();
    event->accept();
}
