#include "frmcalculadora.h"

#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/numbers.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/windowkeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

using Wide = __int128;
using CalcError = FrmCalculadora::CalcError;

constexpr int OverflowNumber = 6;
constexpr int DivisionByZeroNumber = 11;
constexpr int TypeMismatchNumber = 13;

CalcError overflow() { return {OverflowNumber, QStringLiteral("Estouro de capacidade")}; }
CalcError divisionByZero() { return {DivisionByZeroNumber, QStringLiteral("Divisão por zero")}; }
CalcError typeMismatch() { return {TypeMismatchNumber, QStringLiteral("Tipos incompatíveis")}; }

const QColor Lit(255, 255, 0);

// The working values, kept for the whole run.
struct WorkingValues {
    Currency first;           // the display when an operator was last chosen
    Currency second;          // the display when the last calculation ran
    Currency result;          // the last result
    QString op;               // "+", "-", "*", "/", "%" or empty
    bool newNumber = false;   // the next digit or comma starts a new number
    bool pending = false;     // an operator waits for its calculation
    int current = 0;          // the last digit or operator button used
};
WorkingValues g_values;

Currency checked(Wide raw) {
    if (raw > std::numeric_limits<std::int64_t>::max() || raw < std::numeric_limits<std::int64_t>::min())
        throw overflow();
    return Currency::fromRaw(std::int64_t(raw));
}

// n / d rounded to the nearest whole number, halves to the even one (d > 0).
Wide divideRounded(Wide n, Wide d) {
    Wide q = n / d, r = n % d;
    if (r < 0) {
        r += d;
        --q;
    }
    if (2 * r > d || (2 * r == d && (q & 1) != 0)) ++q;
    return q;
}

// A double count of ten-thousandths rounded to currency, halves to even.
Currency fromDouble(double raw) {
    constexpr double limit = 9223372036854775808.0;   // 2^63
    const double rounded = std::nearbyint(raw);
    if (!std::isfinite(rounded) || rounded >= limit || rounded < -limit) throw overflow();
    return Currency::fromRaw(std::int64_t(rounded));
}

// Reads a number as the display holds it: an optional sign, digits and
// optionally a comma and more digits ("12", "-3", "1,5", ",5", "5,"). More
// than four decimals are rounded, halves to even.
Currency readNumber(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^\\s*([+-]?)(\\d*)(?:,(\\d*))?\\s*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch()) throw typeMismatch();
    QString whole = m.captured(2);
    const QString decimals = m.captured(3);
    if (whole.isEmpty() && decimals.isEmpty()) throw typeMismatch();
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0'))) whole.remove(0, 1);
    if (whole.size() > 16) throw overflow();
    Wide raw = 0;
    for (QChar c : whole) raw = raw * 10 + (c.unicode() - '0');
    for (int i = 0; i < 4; ++i) raw = raw * 10 + (i < decimals.size() ? decimals[i].unicode() - '0' : 0);
    if (decimals.size() > 4) {
        // The digits beyond the fourth against one half.
        const QString rest = decimals.mid(4);
        const bool half = rest[0] == QLatin1Char('5');
        bool zeros = true;
        for (qsizetype i = 1; i < rest.size(); ++i)
            if (rest[i] != QLatin1Char('0')) zeros = false;
        if (rest[0] > QLatin1Char('5') || (half && !zeros) || (half && zeros && (raw & 1) != 0)) ++raw;
    }
    return checked(m.captured(1) == QLatin1String("-") ? -raw : raw);
}

Currency calculate(const QString& op, Currency a, Currency b) {
    if (op == QLatin1String("+")) return checked(Wide(a.raw()) + b.raw());
    if (op == QLatin1String("-")) return checked(Wide(a.raw()) - b.raw());
    if (op == QLatin1String("*")) return checked(divideRounded(Wide(a.raw()) * b.raw(), Currency::Scale));
    if (op == QLatin1String("/")) {
        // Dividing by zero has no answer: it is an error, never the previous
        // result shown as if it were one.
        if (b.isZero()) throw divisionByZero();
        return fromDouble(double(a.raw()) / double(b.raw()) * double(Currency::Scale));
    }
    if (op == QLatin1String("%")) {
        const Currency product = checked(divideRounded(Wide(a.raw()) * b.raw(), Currency::Scale));
        return fromDouble(double(product.raw()) / 100.0);
    }
    // No operator yet: the number stands as it is (the last result would
    // show as if it were its answer).
    return b;
}

const char* const Captions[FrmCalculadora::KeyCount] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
                                                         ",", "C", "=", "*", "/", "+", "-", "%"};

// The keys on the buttons, row by row; -1 is the close button.
constexpr int Rows[4][5] = {{7, 8, 9, FrmCalculadora::Mais, FrmCalculadora::Menos},
                            {4, 5, 6, FrmCalculadora::Vezes, FrmCalculadora::Dividir},
                            {1, 2, 3, FrmCalculadora::Porcento, FrmCalculadora::IgualKey},
                            {0, FrmCalculadora::Virgula, FrmCalculadora::Limpar, -1, -1}};

// Positions in twips: buttons of 615 x 495 with 60 between them.
constexpr int Margin = 120, Gap = 60, KeyWidth = 615, KeyHeight = 495;
constexpr int DisplayTop = Margin, DisplayHeight = 495;
constexpr int KeysTop = DisplayTop + DisplayHeight + Margin;
constexpr int Columns = 5;
constexpr int WindowWidth = 2 * Margin + Columns * KeyWidth + (Columns - 1) * Gap;
constexpr int WindowHeight = KeysTop + 4 * KeyHeight + 3 * Gap + Margin;

int operatorIndex(QChar c) {
    switch (c.unicode()) {
    case '*': return FrmCalculadora::Vezes;
    case '/': return FrmCalculadora::Dividir;
    case '+': return FrmCalculadora::Mais;
    case '-': return FrmCalculadora::Menos;
    case '%': return FrmCalculadora::Porcento;
    default: return -1;
    }
}

} // namespace

FrmCalculadora::FrmCalculadora(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmCalculadora"));
    setWindowTitle(QStringLiteral("Calculadora Tarvel"));
    setModal(true);
    setFixedSize(Twips::toPixels(WindowWidth), Twips::toPixels(WindowHeight));

    LblDisplay = Widgets::label(this, QStringLiteral("LblDisplay"), QStringLiteral("0"),
                                Twips::rect(Margin, DisplayTop, WindowWidth - 2 * Margin, DisplayHeight));
    LblDisplay->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LblDisplay->setAutoFillBackground(true);
    LblDisplay->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LblDisplay->setMargin(4);
    QPalette screen = LblDisplay->palette();
    screen.setColor(QPalette::Window, Qt::black);
    screen.setColor(QPalette::WindowText, Lit);
    LblDisplay->setPalette(screen);
    QFont digits(QStringLiteral("Comic Sans MS"));
    digits.setPointSizeF(14.25);
    digits.setBold(true);
    LblDisplay->setFont(digits);

    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < Columns; ++col) {
            const int index = Rows[row][col];
            if (index < 0) continue;
            const QRect place = Twips::rect(Margin + col * (KeyWidth + Gap), KeysTop + row * (KeyHeight + Gap),
                                            KeyWidth, KeyHeight);
            QPushButton* b = Widgets::button(this, QStringLiteral("Digito(%1)").arg(index),
                                             QString::fromLatin1(Captions[index]), {}, place);
            Digito[index] = b;
            connect(b, &QPushButton::clicked, this, [this, index] { Digito_Click(index); });
        }
    }
    BtFechar = Widgets::closeButton(this, Twips::rect(Margin + 3 * (KeyWidth + Gap), KeysTop + 3 * (KeyHeight + Gap),
                                                      2 * KeyWidth + Gap, KeyHeight));
    connect(BtFechar, &QPushButton::clicked, this, &FrmCalculadora::BtFechar_Click);
    m_face = Digito[0]->palette();

    // "=" first in the Tab order and focused at the start, so Enter presses it.
    QWidget* previous = Digito[IgualKey];
    for (int i = 0; i < KeyCount; ++i) {
        if (i == IgualKey) continue;
        setTabOrder(previous, Digito[i]);
        previous = Digito[i];
    }
    setTabOrder(previous, BtFechar);
    Digito[IgualKey]->setFocus();

    // Enter presses the focused button; Esc is the calculator's own key here
    // (it clears), so the keys are looked at before the window's.
    WindowKeys::install(this);
    installEventFilter(this);
    for (QPushButton* b : Digito) b->installEventFilter(this);
    BtFechar->installEventFilter(this);
}

void FrmCalculadora::forgetWorkingValues() { g_values = WorkingValues{}; }

// ---------------------------------------------------------------- events

int FrmCalculadora::indexOf(const QObject* button) const {
    for (int i = 0; i < KeyCount; ++i)
        if (Digito[i] == button) return i;
    return -1;
}

bool FrmCalculadora::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Esc would otherwise close the window through its close button.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Backspace) {
            Form_KeyDown(key->key() == Qt::Key_Escape ? 27 : 8);
            return true;
        }
        const QString text = key->text();
        if (text.size() == 1 && QStringLiteral("0123456789.,+-*/%=").contains(text[0])) {
            Form_KeyPress(text[0]);
            return true;
        }
        break;
    }
    case QEvent::KeyRelease:
        Form_KeyUp();
        break;
    case QEvent::MouseButtonPress:
        if (const int i = indexOf(watched); i >= 0) Digito_MouseDown(i);
        break;
    case QEvent::MouseButtonRelease:
        if (const int i = indexOf(watched); i >= 0) Digito_MouseUp(i);
        break;
    case QEvent::FocusOut:
        if (const int i = indexOf(watched); i >= 0) Digito_LostFocus(i);
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmCalculadora::light(int index, bool on) {
    QPushButton* b = Digito[index];
    if (!on) {
        b->setPalette(m_face);
        return;
    }
    QPalette p = m_face;
    p.setColor(QPalette::Button, Lit);
    b->setPalette(p);
}

void FrmCalculadora::Digito_MouseDown(int index) { light(index, true); }
void FrmCalculadora::Digito_MouseUp(int index) { light(index, false); }
void FrmCalculadora::Digito_LostFocus(int index) { light(index, false); }

void FrmCalculadora::Form_KeyUp() {
    for (int i = 0; i < KeyCount; ++i) light(i, false);
}

void FrmCalculadora::Form_KeyDown(int keyCode) {
    if (keyCode == 27) {
        ResetCalc();
    } else if (keyCode == 8) {
        QString text = m_errorState ? QString() : display();
        text.chop(1);
        setDisplay(text.isEmpty() ? QStringLiteral("0") : text);
    }
}

template <class Work> void FrmCalculadora::guarded(Work work) {
    try {
        work();
    } catch (const CalcError& e) {
        showFailure(e);
    }
}

void FrmCalculadora::Digito_Click(int index) {
    guarded([&] {
        if (index <= 9) {
            typeDigit(index);
            Digito[IgualKey]->setFocus();
        } else if (index == Virgula) {
            CasaDecimal();
        } else if (index == Limpar) {
            ResetCalc();
        } else if (index == IgualKey) {
            Igual();
        } else {
            chooseOperator(index);
        }
    });
}

void FrmCalculadora::Form_KeyPress(QChar key) {
    guarded([&] {
        if (key.isDigit()) {
            typeDigit(key.unicode() - '0');
        } else if (key == QLatin1Char('.') || key == QLatin1Char(',')) {
            CasaDecimal();
        } else if (key == QLatin1Char('=')) {
            Igual();
        } else if (const int op = operatorIndex(key); op >= 0) {
            chooseOperator(op);
        }
    });
}

void FrmCalculadora::BtFechar_Click() { accept(); }

// ---------------------------------------------------------------- work

QString FrmCalculadora::display() const { return LblDisplay->text(); }

void FrmCalculadora::setDisplay(const QString& text) {
    m_errorState = false;
    LblDisplay->setText(text);
}

void FrmCalculadora::showErrorState() {
    LblDisplay->setText(QStringLiteral("ERRO"));
    m_errorState = true;
}

Currency FrmCalculadora::displayValue() const { return m_errorState ? Currency() : readNumber(display()); }

void FrmCalculadora::typeDigit(int index) {
    if (g_values.newNumber) {
        setDisplay({});
        g_values.newNumber = false;
    }
    g_values.current = index;
    ClicaBtDigitoNum();
}

void FrmCalculadora::ClicaBtDigitoNum() {
    light(g_values.current, true);
    QString text = m_errorState ? QString() : display();
    if (text == QLatin1String("0")) text.clear();
    setDisplay(text + Digito[g_values.current]->text());
}

void FrmCalculadora::CasaDecimal() {
    light(Virgula, true);
    if (g_values.newNumber) {
        setDisplay({});
        g_values.newNumber = false;
    }
    const QString text = m_errorState ? QString() : display();
    if (!text.contains(QLatin1Char(','))) setDisplay(text + QLatin1Char(','));
}

void FrmCalculadora::chooseOperator(int index) {
    Digito[IgualKey]->setFocus();
    g_values.current = index;
    light(index, true);
    if (g_values.pending && !g_values.newNumber) {
        Igual();
        g_values.pending = false;
    }
    g_values.op = Digito[index]->text();
    g_values.newNumber = true;
    g_values.pending = true;
    g_values.first = displayValue();
}

void FrmCalculadora::ResetCalc() {
    light(Limpar, true);
    g_values.first = g_values.second = g_values.result = Currency();
    g_values.newNumber = true;
    g_values.pending = false;
    setDisplay(QStringLiteral("0"));
}

void FrmCalculadora::Igual() {
    try {
        light(IgualKey, true);
        g_values.second = displayValue();
        g_values.result = calculate(g_values.op, g_values.first, g_values.second);
        setDisplay(Numbers::plain(g_values.result));
        g_values.pending = false;
    } catch (const CalcError& e) {
        setDisplay(QStringLiteral("ERRO"));
        showFailure(e);
        // A division by zero leaves the error on the display until the next
        // key, so no number stands there as its answer.
        if (e.number == DivisionByZeroNumber) showErrorState();
    }
}

void FrmCalculadora::showFailure(const CalcError& error) {
    ShowError({QStringLiteral("Ocorreu um Erro ao tentar Efetuar este Calculo."),
               QStringLiteral("Verifique os Valores Digitados")},
              ErrorInfo{error.number, error.description, programTitle()}, QStringLiteral("%2 %1 %3"),
              QStringLiteral("Calculadora"), MsgIcon::Exclamation);
    ResetCalc();
}
