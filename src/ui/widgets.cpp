#include "widgets.h"

#include "windowkeys.h"

#include <QBoxLayout>
#include <QRegularExpression>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <algorithm>

namespace Widgets {

namespace {
template <class W> W* named(W* w, const QString& name, const QRect& geometry) {
    w->setObjectName(name);
    if (!geometry.isNull()) w->setGeometry(geometry);
    return w;
}
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    return named(new QLabel(text, parent), name, geometry);
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QString& toolTip,
                    const QRect& geometry) {
    auto* b = named(new QPushButton(caption, parent), name, geometry);
    b->setToolTip(toolTip);
    return b;
}

QPushButton* pictureButton(QWidget* parent, const QString& name, const QIcon& picture, const QString& toolTip) {
    QPushButton* b = button(parent, name, QString(), toolTip);
    b->setIcon(picture);
    b->setIconSize(QSize(32, 32));
    b->setMinimumSize(56, 48);
    return b;
}

QPushButton* closeButton(QWidget* parent, const QRect& geometry) {
    return button(parent, QStringLiteral("BtFechar"), QStringLiteral("&Fechar"), QStringLiteral("Fechar"), geometry);
}

QLineEdit* lineEdit(QWidget* parent, const QString& name, const QRect& geometry) {
    return named(new QLineEdit(parent), name, geometry);
}

SearchButtons searchButtons(QWidget* dialog, QBoxLayout* into) {
    auto* row = new QHBoxLayout;
    SearchButtons b{button(dialog, QStringLiteral("BtIniciar"), QStringLiteral("Iniciar &Pesquisa"),
                           QStringLiteral("Iniciar Pesquisa")),
                    closeButton(dialog)};
    row->addWidget(b.start);
    row->addWidget(b.close);
    into->addLayout(row);
    // Enter starts the search: the one default button of the dialog.
    WindowKeys::install(dialog, true);
    b.close->setAutoDefault(false);
    b.start->setAutoDefault(false);
    b.start->setDefault(true);
    return b;
}

QProgressBar* progressBar(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* bar = named(new QProgressBar(parent), name, geometry);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::ButtonText, colour);
    w->setPalette(p);
}

void showWhole(QLineEdit* box) {
    const QFont own = box->font();
    const auto fit = [box, own](const QString& text) {
        QStyleOptionFrame opt;
        opt.initFrom(box);
        const int room = box->style()->subElementRect(QStyle::SE_LineEditContents, &opt, box).width() - 2;
        QFont f = own;
        box->setFont(f);
        while (f.pointSizeF() > 5 && box->fontMetrics().horizontalAdvance(text) > room) {
            f.setPointSizeF(std::max(5.0, f.pointSizeF() - 0.5));
            box->setFont(f);
        }
        // The start of the text in sight, unless the operator is typing in it.
        if (!box->hasFocus()) box->setCursorPosition(0);
    };
    QObject::connect(box, &QLineEdit::textChanged, box, fit);
    fit(box->text());
}

int widenToText(QWidget* w) {
    int room = 0;
    QString text;
    Qt::Alignment alignment = Qt::AlignLeft;
    if (auto* l = qobject_cast<QLabel*>(w)) {
        text = l->text();
        room = l->contentsRect().width() - 2 * l->margin() - std::max(0, l->indent());
        alignment = l->alignment();
    } else if (auto* b = qobject_cast<QPushButton*>(w)) {
        text = b->text();
        QStyleOptionButton opt;
        opt.initFrom(b);
        room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b).width();
        if (!b->icon().isNull()) room -= b->iconSize().width() + 4;
        alignment = Qt::AlignHCenter;
    }
    // The mnemonic marks take no room; "&&" shows one "&".
    static const QRegularExpression mnemonic(QStringLiteral("&(.)"));
    text.replace(mnemonic, QStringLiteral("\\1"));
    int need = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) need = std::max(need, w->fontMetrics().horizontalAdvance(line));
    const int grow = need - room;
    if (grow <= 0) return 0;
    QRect g = w->geometry();
    if (alignment & Qt::AlignHCenter) g.translate(-grow / 2, 0);
    else if (alignment & Qt::AlignRight) g.translate(-grow, 0);
    g.setWidth(g.width() + grow);
    w->setGeometry(g);
    return grow;
}

int boxWidthFor(const QWidget* box, int chars) {
    // Two thirds of a "W" is about the mean width of a capital.
    return chars * box->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 2 / 3 + 8;
}

namespace {

// A scroll area that asks for the whole room of its body: the window opens
// at its full size, and only a window made smaller than that scrolls.
class BodyScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        const QWidget* body = widget();
        if (!body) return QScrollArea::sizeHint();
        const int frame = 2 * frameWidth();
        return body->sizeHint().expandedTo(body->minimumSizeHint()) + QSize(frame, frame);
    }
};

} // namespace

QWidget* scrollingBody(QWidget* window) {
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new BodyScrollArea(window);
    scroll->setObjectName(QStringLiteral("ScrollBody"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    // No stop of its own in the window's tab order; a field reached by Tab
    // is scrolled into sight.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* body = new QWidget;
    body->setObjectName(QStringLiteral("Body"));
    scroll->setWidget(body);
    outer->addWidget(scroll);
    return body;
}

}
