#include "frmopcoesos.h"

#include "openorder.h"

#include "app/appicons.h"
#include "app/frmcalculadora.h"
#include "checkout.h"
#include "frmmanutencao.h"
#include "operators/validasenhaoperador.h"
#include "store/clock.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "ui/boundfields.h"
#include "ui/errormessage.h"
#include "ui/numbers.h"
#include "ui/textentry.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QShowEvent>

namespace {

const QString Title = QStringLiteral("Preparar Saída do Aparelho");
const QString OtherOperator = QStringLiteral("É Possível que outro operador já tenha dado Saída neste Aparelho,");

const QColor LightYellow(255, 255, 128);
const QColor PaleYellow(255, 255, 192);
const QColor Salmon(255, 128, 128);
const QColor Blue(0, 0, 255);

QString idx(const char* name, int i) { return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i); }

void setColours(QWidget* w, const QColor& base, const QColor& text = QColor()) {
    QPalette p = w->palette();
    if (base.isValid()) p.setColor(QPalette::Base, base);
    if (text.isValid()) p.setColor(QPalette::Text, text);
    w->setPalette(p);
}

void setBold(QWidget* w, qreal pointSize = 0) {
    QFont f = w->font();
    f.setBold(true);
    if (pointSize > 0) f.setPointSizeF(pointSize);
    w->setFont(f);
}

// A box of the window: its name, place and typing limit.
QLineEdit* box(QWidget* parent, const QString& name, const QRect& geometry, int limit, Qt::Alignment align,
               const QString& toolTip = {}) {
    QLineEdit* b = Widgets::lineEdit(parent, name, geometry);
    if (limit > 0) TextEntry::setTypingLimit(b, limit);
    b->setAlignment(align | Qt::AlignVCenter);
    b->setToolTip(toolTip);
    b->setTextMargins(0, 0, 0, 0);
    return b;
}

// A computed box: light yellow, read-only, outside the focus order.
QLineEdit* shownBox(QWidget* parent, const QString& name, const QRect& geometry, const QString& toolTip = {}) {
    QLineEdit* b = box(parent, name, geometry, 0, Qt::AlignRight, toolTip);
    b->setReadOnly(true);
    b->setFocusPolicy(Qt::NoFocus);
    setColours(b, LightYellow);
    return b;
}

QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry) {
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(name);
    f->setGeometry(geometry);
    return f;
}

QFrame* plainFrame(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setFrameShape(QFrame::StyledPanel);
    f->setFrameShadow(QFrame::Sunken);
    f->setGeometry(geometry);
    return f;
}

bool wholeNumber(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return digits.match(text).hasMatch();
}

} // namespace

FrmOpcoesOS::FrmOpcoesOS(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmOpcoesOS"));
    buildWidgets();
    WindowKeys::install(this);
    Form_Load();
}

FrmOpcoesOS::~FrmOpcoesOS() = default;

void FrmOpcoesOS::buildWidgets() {
    setFixedSize(Twips::toPixels(10050), Twips::toPixels(6390));
    const QColor info = TextEntry::toolTipBase();
    const TextEntry::FocusStyle focused{QApplication::palette().color(QPalette::Base), Blue, true, nullptr, {}};
    const auto entry = [&](QLineEdit* b, TextEntry::Rules rules, bool focusColours) {
        TextEntry::attach(b, rules | TextEntry::EnterMovesNext);
        setColours(b, info, Qt::black);
        if (focusColours) TextEntry::setFocusStyle(b, focused);
    };

    // Status and technician.
    QFrame* frame6 = plainFrame(this, QStringLiteral("Frame6"), Twips::rect(120, 120, 2775, 975));
    Widgets::label(frame6, QStringLiteral("LblStatus"), QStringLiteral("Status:"), Twips::rect(120, 180, 900, 285));
    Widgets::label(frame6, QStringLiteral("LblTecnico"), QStringLiteral("Técnico:"), Twips::rect(120, 540, 900, 285));
    Lbl[5] = Widgets::label(frame6, idx("Lbl", 5), {}, Twips::rect(1020, 180, 1650, 285));
    Lbl[6] = Widgets::label(frame6, idx("Lbl", 6), {}, Twips::rect(1020, 540, 1650, 285));
    for (int i : {5, 6}) {
        setBold(Lbl[i]);
        Widgets::showWhole(Lbl[i]);
    }

    // Warranty days and end date.
    QGroupBox* frame4 = frame(this, QStringLiteral("Frame4"), QStringLiteral("Garantia"), Twips::rect(3120, 120, 2535, 975));
    Widgets::label(frame4, QStringLiteral("Label2"), QStringLiteral("Dias"), Twips::rect(120, 250, 600, 225));
    Widgets::label(frame4, QStringLiteral("LblGarantiaAte"), QStringLiteral("Garantia até:"),
                   Twips::rect(1080, 250, 1215, 225));
    Text1 = box(frame4, QStringLiteral("Text1"), Twips::rect(120, 480, 495, 285), 3, Qt::AlignHCenter,
                QStringLiteral("Tempo de Garantia Padrão"));
    setBold(Text1);
    setColours(Text1, info, Qt::black);
    Label1[2] = Widgets::label(frame4, idx("Label1", 2), {}, Twips::rect(1080, 480, 1215, 285));
    Label1[2]->setToolTip(QStringLiteral("Limite Garantia"));
    Label1[2]->setAlignment(Qt::AlignCenter);
    Label1[2]->setFrameShape(QFrame::Box);
    Label1[2]->setAutoFillBackground(true);
    {
        QPalette p = Label1[2]->palette();
        p.setColor(QPalette::Window, PaleYellow);
        Label1[2]->setPalette(p);
    }
    connect(Text1, &QLineEdit::textEdited, this, &FrmOpcoesOS::Text1_Change);
    Text1->installEventFilter(this);

    // The operator's password.
    QGroupBox* frame2 = frame(this, QStringLiteral("Frame2"), QStringLiteral("Operador"), Twips::rect(5880, 120, 2295, 975));
    TxtOperador = box(frame2, QStringLiteral("TxtOperador"), Twips::rect(240, 360, 1815, 330), 0, Qt::AlignHCenter);

    // The order number.
    QGroupBox* frame7 = frame(this, QStringLiteral("Frame7"), QStringLiteral("OS"), Twips::rect(8400, 120, 1455, 975));
    Label3 = Widgets::label(frame7, QStringLiteral("Label3"), {}, Twips::rect(60, 300, 1335, 540));
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setFont(QFont(QStringLiteral("Tahoma"), 15, QFont::Bold));
    Label3->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
    Widgets::showWhole(Label3);

    // The material used.
    QGroupBox* frame3 = frame(this, QStringLiteral("Frame3"), QStringLiteral("Material Utilizado"),
                              Twips::rect(120, 1200, 8055, 3735));
    struct Column { const char* title; int left, width; };
    const Column columns[] = {{"Código", 480, 735}, {"Qtde", 1260, 495}, {"Id:", 1800, 495},
                              {"Descriçao", 2340, 3735}, {"Valor Unitário", 6120, 855}, {"Valor (R$)", 7020, 855}};
    auto* heading = new QWidget(frame3);
    heading->setObjectName(QStringLiteral("LblTitulo"));
    heading->setGeometry(Twips::rect(0, 240, 8055, 240));
    for (const Column& c : columns) {
        // The amounts' titles stand over their columns' right edges, as the
        // amounts do, a long one reaching out to the left.
        const bool amount = c.left >= 6120;
        QLabel* l = Widgets::label(heading, {}, QString::fromUtf8(c.title),
                                   amount ? Twips::rect(c.left, 0, c.width, 240) : Twips::rect(c.left - 60, 0, c.width + 120, 240));
        l->setAlignment(amount ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignCenter);
        QFont f = l->font();
        f.setPointSizeF(f.pointSizeF() * 0.8);
        l->setFont(f);
        Widgets::widenToText(l);
    }
    // A row every 240 twips, each box as high as its step, so that no box's
    // edge lies over the next row's.
    const auto rowRect = [&](int col, int row) {
        return Twips::rect(columns[col].left, 480 + 240 * row, columns[col].width, 240);
    };
    for (int i = 0; i < Pricing::Rows; ++i) {
        TxtCod[i] = box(frame3, idx("TxtCod", i), rowRect(0, i), 5, Qt::AlignHCenter,
                        QStringLiteral("Código da Tabela de Preços"));
        TxtQtde[i] = box(frame3, idx("TxtQtde", i), rowRect(1, i), 2, Qt::AlignHCenter, QStringLiteral("Quantidade"));
        TxtId[i] = box(frame3, idx("TxtId", i), rowRect(2, i), 3, Qt::AlignHCenter);
        TxtDescricao[i] = box(frame3, idx("TxtDescricao", i), rowRect(3, i), 39, Qt::AlignLeft, QStringLiteral("Descrição"));
        TxtVlUn[i] = box(frame3, idx("TxtVlUn", i), rowRect(4, i), 7, Qt::AlignRight);
        TxtVl[i] = shownBox(frame3, idx("TxtVl", i), rowRect(5, i), QStringLiteral("Valor"));
        entry(TxtCod[i], {}, true);
        entry(TxtQtde[i], TextEntry::DigitsOnly, true);
        entry(TxtId[i], {}, true);
        entry(TxtDescricao[i], TextEntry::UpperCase, true);
        entry(TxtVlUn[i], TextEntry::Money, true);
    }
    const auto caption = [frame3](const QString& text, int top) {
        QLabel* l = Widgets::label(frame3, {}, text, Twips::rect(4560, top, 2040, 285));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    caption(QStringLiteral("Mão de Obra (+)"), 2040);
    TxtVlUn[6] = box(frame3, idx("TxtVlUn", 6), Twips::rect(6660, 2040, 1215, 285), 10, Qt::AlignRight);
    entry(TxtVlUn[6], TextEntry::Money, true);
    caption(QStringLiteral("Sub ToTal (=)"), 2400);
    TxtTotal = shownBox(frame3, QStringLiteral("TxtTotal"), Twips::rect(6660, 2400, 1215, 285));
    caption(QStringLiteral("Desconto  (-)"), 2760);
    TxtDesc = box(frame3, QStringLiteral("TxtDesc"), Twips::rect(6660, 2760, 1215, 285), 7, Qt::AlignRight,
                  QStringLiteral("Desconto"));
    entry(TxtDesc, TextEntry::Money, false);
    TxtPerc = box(frame3, QStringLiteral("TxtPerc"), Twips::rect(240, 3120, 495, 285), 2, Qt::AlignHCenter,
                  QStringLiteral("Percentual de Desconto"));
    entry(TxtPerc, TextEntry::DigitsOnly, false);
    for (QLineEdit* b : {TxtDesc, TxtPerc}) {
        setColours(b, info, Salmon);
        setBold(b);
    }
    Widgets::label(frame3, QStringLiteral("LblPerc"), QStringLiteral("%"), Twips::rect(840, 3120, 240, 285));
    TxtVlPerc = shownBox(frame3, QStringLiteral("TxtVlPerc"), Twips::rect(1080, 3120, 1095, 255));
    QLabel* totalCaption = Widgets::label(frame3, QStringLiteral("LblTotal"), QStringLiteral("Total do Serviço"),
                                          Twips::rect(4560, 3240, 1680, 285));
    totalCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setBold(totalCaption);
    TxtVlFinal = shownBox(frame3, QStringLiteral("TxtVlFinal"), Twips::rect(6300, 3120, 1575, 420));
    setColours(TxtVlFinal, LightYellow, Blue);
    setBold(TxtVlFinal, 12);
    // The computed amounts show whole, however large.
    for (QLineEdit* b : TxtVl) Widgets::showWhole(b);
    for (QLineEdit* b : TxtVlUn) Widgets::showWhole(b);
    for (QLineEdit* b : {TxtTotal, TxtVlPerc, TxtVlFinal}) Widgets::showWhole(b);

    QFrame* frame5 = plainFrame(frame3, QStringLiteral("Frame5"), Twips::rect(240, 2040, 3855, 855));
    BtCalc = Widgets::button(frame5, QStringLiteral("BtCalc"), {}, QStringLiteral("Calculadora"),
                             Twips::rect(1560, 240, 615, 495));
    BtCalc->setIcon(QIcon(AppIcons::calculator(28)));
    BtCalc->setIconSize(QSize(28, 28));
    BtCalcular = Widgets::button(frame5, QStringLiteral("BtCalcular"), QStringLiteral("C&alcular"), {},
                                 Twips::rect(2640, 240, 1095, 495));

    // Exit observations.
    QGroupBox* frame1 = frame(this, QStringLiteral("Frame1"), QStringLiteral("Observações de Saída"),
                              Twips::rect(120, 5040, 8055, 1215));
    const int obsTop[] = {240, 530, 810};
    for (int i = 0; i < 3; ++i) {
        TxtObs[i] = box(frame1, idx("TxtObs", i), Twips::rect(240, obsTop[i], 7695, 255), 70, Qt::AlignLeft,
                        QStringLiteral("Observações de Saída"));
        entry(TxtObs[i], TextEntry::Rules(TextEntry::UpperCase) | TextEntry::DateTimeKeys, true);
    }

    BtDarSaída = Widgets::button(this, QStringLiteral("BtDarSaída"), QStringLiteral("&Confirmar Saída"),
                                 QStringLiteral("Sair com o Aparelho"), Twips::rect(8640, 4800, 1095, 495));
    BtDarSaída->setEnabled(false);
    Widgets::widenToText(BtDarSaída);
    BtFechar = Widgets::closeButton(this, Twips::rect(8640, 5640, 1095, 495));

    // The focus order.
    QList<QWidget*> order{TxtOperador};
    for (int i = 0; i < Pricing::Rows; ++i) order << TxtCod[i] << TxtQtde[i] << TxtId[i] << TxtDescricao[i] << TxtVlUn[i];
    order << TxtVlUn[6] << TxtDesc << TxtPerc << TxtObs[0] << TxtObs[1] << TxtObs[2] << BtDarSaída << BtFechar << Text1
          << BtCalc << BtCalcular;
    for (int i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);

    for (QLineEdit* b : TxtVlUn) b->installEventFilter(this);
    TxtDesc->installEventFilter(this);

    connect(BtCalcular, &QPushButton::clicked, this, &FrmOpcoesOS::BtCalcular_Click);
    connect(BtCalc, &QPushButton::clicked, this, &FrmOpcoesOS::BtCalc_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmOpcoesOS::BtFechar_Click);
    connect(BtDarSaída, &QPushButton::clicked, this, &FrmOpcoesOS::BtDarSaída_Click);
}

void FrmOpcoesOS::Form_Load() {
    const QString path = ProgramFolder::databasePath();
    try {
        DataOperador.open(path, QStringLiteral("TblOperador"));
        DataFrmOpcMnt.open(path, QStringLiteral("SELECT * FROM TblManutencao WHERE OS = %1").arg(Modulo::OsAtual));
        // Used only to add the delivered row: no rows need reading.
        DataFrmOpcApEnt.open(path, QStringLiteral("SELECT * FROM TblApEntregues WHERE IdApEntregues = 0"));
        if (!DataFrmOpcMnt.hasCurrent())
            throw DbError(DbErrorCode::NoCurrentRecord, QStringLiteral("Nenhum registro atual."), dbErrorSource());
        m_os = DataFrmOpcMnt.number(QStringLiteral("Os"));
        setWindowTitle(QStringLiteral("::: Preparar Saída do Aparelho - Ordem de Serviço N: %1").arg(m_os));

        m_bound = new BoundFields(&DataFrmOpcMnt, this);
        m_bound->bind(Label3, QStringLiteral("OS"));
        m_bound->bind(Lbl[5], QStringLiteral("Status"));
        m_bound->bind(Lbl[6], QStringLiteral("Tecnico"));
        for (int i = 0; i < Pricing::Rows; ++i) {
            m_bound->bind(TxtCod[i], QStringLiteral("Cod%1").arg(i));
            m_bound->bind(TxtQtde[i], QStringLiteral("Qtde%1").arg(i));
            m_bound->bind(TxtId[i], QStringLiteral("Id%1").arg(i));
            m_bound->bind(TxtDescricao[i], QStringLiteral("Desc%1").arg(i));
            m_bound->bind(TxtVlUn[i], QStringLiteral("VlUnit%1").arg(i));
        }
        m_bound->bind(TxtVlUn[6], QStringLiteral("VlMo"));
        m_bound->bind(TxtDesc, QStringLiteral("VlDesc"));
        m_bound->bind(TxtPerc, QStringLiteral("Percentual"));
        for (int i = 0; i < 3; ++i) m_bound->bind(TxtObs[i], QStringLiteral("Obs%1").arg(i + 1));
        // The computed boxes show the stored amounts; only a computation
        // writes them (Calcular), from its exact amounts.
        for (int i = 0; i < Pricing::Rows; ++i)
            TxtVl[i]->setText(BoundFields::displayText(DataFrmOpcMnt.field(QStringLiteral("Vl%1").arg(i)), FieldFormat::Fixed));
        TxtTotal->setText(BoundFields::displayText(DataFrmOpcMnt.field(QStringLiteral("VlTotal")), FieldFormat::CurrencyText));
        TxtVlPerc->setText(
            BoundFields::displayText(DataFrmOpcMnt.field(QStringLiteral("VlPercentual")), FieldFormat::CurrencyText));
        showStoredFinal();

        // The warranty days: none for an appliance not repaired; the days
        // left of the earlier warranty for a warranty return.
        const QString status = DataFrmOpcMnt.text(QStringLiteral("Status"));
        const QString tipo = DataFrmOpcMnt.text(QStringLiteral("Tipo"));
        Text1->setText(QStringLiteral("90"));
        if (status == Checkout::SemConserto || tipo == Checkout::GarantiaServico) {
            Text1->setText(QStringLiteral("0"));
            Text1->setEnabled(false);
        }
        if (tipo == Checkout::GarantiaServico) {
            const QDate end = DataFrmOpcMnt.date(QStringLiteral("DtLmtGr"));
            if (!end.isValid())
                throw DbError(94, QStringLiteral("Uso inválido de Nulo: a ordem de garantia não tem a data limite da garantia."),
                              dbErrorSource());
            Text1->setText(QString::number(Clock::today().daysTo(end)));
        }
        showWarrantyEnd();
    } catch (const std::exception& e) {
        m_loadFailed = true;
        ShowError({QStringLiteral("Não foi possível carregar o formulário de Saída"), OtherOperator}, ErrorInfo::from(e),
                  QStringLiteral("%1__%2"), Title);
        return;
    }
    SubTotal = Currency();
    m_check = new ValidaSenhaOperador(TxtOperador, &DataOperador, OperatorCheckRows::FrmOpcoesOS, this);
    // Filled from the row above without computing; from now on a change
    // shows the percentage of the last sub-total.
    connect(TxtPerc, &QLineEdit::textEdited, this, &FrmOpcoesOS::TxtPerc_Change);
    TxtOperador->setFocus();
}

FrmOpcoesOS* FrmOpcoesOS::create(QWidget* opener) {
    auto* window = new FrmOpcoesOS(opener ? opener : WindowHost::dialogParent());
    if (!window->loadFailed()) return window;
    QWidget* parent = window->parentWidget();
    delete window;
    // The list was not changed: it stays on the row the operator left it.
    closeOrderWindow(parent);
    return nullptr;
}

bool FrmOpcoesOS::showFor(QWidget* opener) {
    QPointer<QWidget> guard(opener);
    FrmOpcoesOS* window = create(opener);
    if (window && WindowHost::showModal(window) != OrderClosed) return false;
    closeOrderWindow(guard);
    return true;
}

void FrmOpcoesOS::closeOrderWindow(QWidget* opener) {
    // Only a dialog of the order's chain: never the main window or a list.
    if (auto* dialog = qobject_cast<QDialog*>(opener); dialog && dialog->isVisible()) dialog->close();
}

void FrmOpcoesOS::refreshWorkshopList() {
    // A list that cannot be read now shows the workshop at its next refresh.
    if (auto* list = WindowHost::findList<FrmManutencao>()) {
        try {
            list->AtualizaData();
        } catch (const std::exception&) {
        }
    }
}

void FrmOpcoesOS::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous() && !m_loadFailed) Form_Activate();
}

void FrmOpcoesOS::Form_Activate() { showStoredFinal(); }

void FrmOpcoesOS::showStoredFinal() {
    try {
        if (DataFrmOpcMnt.hasCurrent())
            TxtVlFinal->setText(Numbers::currencyText(DataFrmOpcMnt.currency(QStringLiteral("VlFinal"))));
    } catch (const std::exception&) {
        // A row another copy removed shows nothing.
        TxtVlFinal->clear();
    }
}

bool FrmOpcoesOS::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (watched == Text1) Text1_LostFocus();
            else if (watched == TxtDesc) TxtDesc->setText(Pricing::fixedText(TxtDesc->text()));
            else showPriceBoxesFixed();
        }
    }
    return QDialog::eventFilter(watched, e);
}

void FrmOpcoesOS::showPriceBoxesFixed() {
    for (QLineEdit* b : TxtVlUn) b->setText(Pricing::fixedText(b->text()));
}

void FrmOpcoesOS::showWarrantyEnd() {
    Label1[2]->setText(Numbers::shortDate(Clock::today().addDays(Numbers::leadingInteger(Text1->text()))));
}

void FrmOpcoesOS::Text1_Change() {
    // Whole days only: a sign or a comma could make an end date in the past.
    if (wholeNumber(Text1->text())) return;
    MsgBox(QStringLiteral("ATENÇÃO - Digite Apenas Números Inteiros!"), MsgButtons::Ok, MsgIcon::Critical, std::nullopt,
           Title);
    Text1->setText(QStringLiteral("90"));
}

void FrmOpcoesOS::Text1_LostFocus() { showWarrantyEnd(); }

void FrmOpcoesOS::TxtPerc_Change() {
    if (TxtPerc->text().isEmpty()) {
        TxtPerc->setText(QStringLiteral("0"));
        TxtPerc->setCursorPosition(1);
    }
    TxtVlPerc->setText(Numbers::currencyText(Pricing::percentValue(SubTotal, TxtPerc->text())));
}

Pricing::Boxes FrmOpcoesOS::priceBoxes() const {
    Pricing::Boxes b;
    for (int i = 0; i < Pricing::Rows; ++i) {
        b.qtde[i] = TxtQtde[i]->text();
        b.vlUn[i] = TxtVlUn[i]->text();
        b.vl[i] = TxtVl[i]->text();
    }
    b.maoDeObra = TxtVlUn[6]->text();
    b.desconto = TxtDesc->text();
    b.percentual = TxtPerc->text();
    b.vlPercentual = TxtVlPerc->text();
    b.total = TxtTotal->text();
    b.vlFinal = TxtVlFinal->text();
    return b;
}

void FrmOpcoesOS::setPriceBoxes(const Pricing::Boxes& b) {
    const auto put = [](QLineEdit* box, const QString& text) {
        if (box->text() != text) box->setText(text);
    };
    for (int i = 0; i < Pricing::Rows; ++i) {
        put(TxtQtde[i], b.qtde[i]);
        put(TxtVlUn[i], b.vlUn[i]);
        put(TxtVl[i], b.vl[i]);
    }
    put(TxtVlUn[6], b.maoDeObra);
    put(TxtDesc, b.desconto);
    put(TxtVlPerc, b.vlPercentual);
    put(TxtTotal, b.total);
    put(TxtVlFinal, b.vlFinal);
}

bool FrmOpcoesOS::CalculaPreco() {
    Pricing::Boxes boxes = priceBoxes();
    try {
        m_amounts = Pricing::calculate(boxes, SubTotal);
        setPriceBoxes(boxes);
        return true;
    } catch (const Pricing::Unreadable& e) {
        m_amounts.reset();
        setPriceBoxes(boxes);
        ShowError({QStringLiteral("Não foi possível Calcular o Valores para este aparelho"),
                   QStringLiteral("É possível que você tenha digitado Valores Inválidos. Revise os valores e tente novamente"),
                   QStringLiteral("Se o Problema persistir Contacte o Suporte Técnico.")},
                  ErrorInfo{13, QString::fromStdString(e.what()), Title}, QStringLiteral("%1__%2"), Title);
        return false;
    }
}

FrmOpcoesOS::Saved FrmOpcoesOS::calculateAndSave() {
    const bool computed = CalculaPreco();
    // The amount boxes keep their display through the save ("120,00" stays,
    // not the stored 120; a quantity stays as typed).
    std::vector<std::pair<QLineEdit*, QString>> shown;
    for (QLineEdit* b : TxtQtde) shown.emplace_back(b, b->text());
    for (QLineEdit* b : TxtVlUn) shown.emplace_back(b, b->text());
    for (QLineEdit* b : {TxtDesc, TxtPerc}) shown.emplace_back(b, b->text());
    try {
        DataFrmOpcMnt.edit();
        try {
            m_bound->commit();
            if (computed) {
                // Stored as shown: to the cent.
                const auto money = [](const std::optional<Currency>& c) {
                    return c ? QVariant::fromValue(c->roundedToCents()) : QVariant();
                };
                for (int i = 0; i < Pricing::Rows; ++i)
                    DataFrmOpcMnt.setField(QStringLiteral("Vl%1").arg(i), money(m_amounts->lines[i]));
                DataFrmOpcMnt.setField(QStringLiteral("VlTotal"), money(m_amounts->subTotal));
                DataFrmOpcMnt.setField(QStringLiteral("VlPercentual"), money(m_amounts->percentual));
                DataFrmOpcMnt.setField(QStringLiteral("VlFinal"), money(m_amounts->vlFinal));
            }
            DataFrmOpcMnt.update();
        } catch (...) {
            DataFrmOpcMnt.cancelUpdate();
            throw;
        }
    } catch (const DbError& e) {
        // Another copy of the program may have checked the order out
        // meanwhile: then nothing was written and nothing more can be done here.
        if (e.number() == DbErrorCode::RecordDeleted) {
            closeOnError(QStringLiteral("Não foi possível gravar os valores desta Ordem de Serviço"), e);
            return Saved::Failed;
        }
        BoundFields::showWriteError(e, Title);
        return Saved::Failed;
    } catch (const std::exception& e) {
        BoundFields::showWriteError(e, Title);
        return Saved::Failed;
    }
    m_bound->showAsTyped(shown);
    showStoredFinal();
    return computed ? Saved::Yes : Saved::NotComputed;
}

void FrmOpcoesOS::BtCalcular_Click() { calculateAndSave(); }

void FrmOpcoesOS::BtCalc_Click() {
    WindowHost::showModal(new FrmCalculadora(this));
    // Back from the calculator: the window is active again.
    Form_Activate();
}

void FrmOpcoesOS::BtFechar_Click() {
    showPriceBoxesFixed();
    reject();
}

void FrmOpcoesOS::done(int result) {
    if (BoundFields::mayClose(this)) QDialog::done(result);
}

void FrmOpcoesOS::closeOnError(const QString& firstLine, const std::exception& e) {
    ShowError({firstLine, OtherOperator}, ErrorInfo::from(e), QStringLiteral("%1__%2"), Title);
    // The order is gone: what was typed into it has nowhere to go.
    if (m_bound) m_bound->show();
    done(OrderClosed);
    closeOrderWindow(parentWidget());
    refreshWorkshopList();
}

Checkout::Exit FrmOpcoesOS::exitShown() const {
    Checkout::Exit exit;
    exit.operadorSaida = m_check->nomeOperador();
    exit.dias = Text1->text();
    for (int i = 0; i < Pricing::Rows; ++i)
        exit.partsLines[i] = Checkout::partsLine(TxtCod[i]->text(), TxtQtde[i]->text(), TxtId[i]->text(),
                                                 TxtDescricao[i]->text(), TxtVl[i]->text());
    exit.maoDeObra = TxtVlUn[6]->text();
    exit.total = TxtTotal->text();
    exit.desconto = TxtDesc->text();
    for (int i = 0; i < 3; ++i) exit.obs[i] = TxtObs[i]->text();
    // The final value as the box shows it.
    exit.valorCobrado = Numbers::currencyValue(TxtVlFinal->text()).value_or(m_amounts->vlFinal.roundedToCents());
    return exit;
}

void FrmOpcoesOS::BtDarSaída_Click() {
    if (!m_check || !m_check->acessoLiberado()) return;
    const QString task = QStringLiteral("Não foi possível dar saída nesta Ordem de Serviço");
    try {
        // A checkout that could not be confirmed is asked about first: when
        // it was stored the order has left already, and what the window
        // shows now is written onto its delivered row.
        if (const qint64 earlier = DataFrmOpcApEnt.unconfirmedAddKey()) {
            if (!CalculaPreco()) return;
            WaitCursor wait;
            Checkout::redeliver(earlier, DataFrmOpcApEnt, exitShown());
            // What the boxes show is stored in the delivered row: the order's
            // own row is gone and has nothing left to take.
            std::vector<std::pair<QLineEdit*, QString>> shown;
            for (QLineEdit* box : findChildren<QLineEdit*>()) shown.emplace_back(box, box->text());
            m_bound->showAsTyped(shown);
            return checkedOut();
        }
    } catch (const DbError& e) {
        // Its delivered row deleted by another copy meanwhile: the order
        // has left all the same, and nothing typed here has a place.
        if (e.number() == DbErrorCode::NoCurrentRecord) closeOnError(task, e);
        else OpenOrder::showKeptFailure(task, e, Title);
        return;
    } catch (const std::exception& e) {
        OpenOrder::showKeptFailure(task, e, Title);
        return;
    }
    // What the operator typed is stored first, whatever follows.
    if (calculateAndSave() != Saved::Yes) return;
    try {
        const QString status = DataFrmOpcMnt.text(QStringLiteral("Status"));
        if (status != Checkout::Pronto && status != Checkout::SemConserto) {
            MsgBox(QStringLiteral("O Aparelho só poderar sair se estiver: \" PRONTO \" ou \" SEM CONSERTO \"\r"
                                  "Altere o STATUS para que possa dar saída no Aparelho!"),
                   MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, Title);
            return;
        }
        if (DataFrmOpcMnt.text(QStringLiteral("Tecnico")).isEmpty()) {
            MsgBox(QStringLiteral("Selecione e Salve o Nome do Téçnico para esta Ordem de Serviço!"), MsgButtons::Ok,
                   MsgIcon::Exclamation, std::nullopt, Title);
            return;
        }
        if (MsgBox(QStringLiteral("Todas as Informações para a Saída do aparelho estão Corretas.\rConfirma a sua Saída?"),
                   MsgButtons::YesNo, MsgIcon::Information, MsgAnswer::Yes, Title) != MsgAnswer::Yes)
            return;
        WaitCursor wait;
        Checkout::deliver(m_os, DataFrmOpcApEnt, exitShown());
    } catch (const std::exception& e) {
        // Only an order another copy really checked out closes the windows;
        // any other cause leaves everything typed here for another try.
        if (OpenOrder::goneAfterFailure(DataFrmOpcMnt.database(), m_os)) closeOnError(task, e);
        else OpenOrder::showKeptFailure(task, e, Title);
        return;
    }
    checkedOut();
}

void FrmOpcoesOS::checkedOut() {
    // The order has left: nothing after this point can undo it or fail it.
    // The workshop list shows it gone before the message tells of it.
    refreshWorkshopList();
    MsgBox(QStringLiteral("Foi Dado Saída no Aparelho com Sucesso!"), MsgButtons::Ok, MsgIcon::Information, std::nullopt,
           Title);
    // The service-order window finds its order gone and closes itself.
    done(OrderClosed);
}
