#include "widgets.h"

#include "windowkeys.h"

#include <QBoxLayout>
#include <QEvent>
#include <QRegularExpression>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPainter>
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

namespace {

// The font, from `own` down to the floor in half points, in which `text`
// takes at most `room` pixels; false (with the floor's font) when none does.
bool fittingFont(const QFont& own, const QString& text, int room, QFont& font) {
    font = own;
    while (QFontMetrics(font).horizontalAdvance(text) > room) {
        if (font.pointSizeF() <= FloorPoints) return false;
        font.setPointSizeF(std::max(FloorPoints, font.pointSizeF() - 0.5));
    }
    return true;
}

// Fits a label's text at each painting (a label tells no one of a new text):
// the font as fittingFont() gives it, and the shortened text painted here
// when even the floor's font is too wide.
class LabelFit : public QObject {
public:
    explicit LabelFit(QLabel* label) : QObject(label), m_label(label), m_own(label->font()), m_ownTip(label->toolTip()) {
        label->installEventFilter(this);
    }

private:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        const QString text = m_label->text();
        if (text != m_text || m_label->width() != m_width) {
            m_text = text;
            m_width = m_label->width();
            m_room = textPlace(QFontMetrics(m_own)).width();
            QFont font;
            m_whole = fittingFont(m_own, text, m_room, font);
            if (font != m_label->font()) m_label->setFont(font);
            m_label->setToolTip(m_whole ? m_ownTip : text);
        }
        if (m_whole) return false;
        QPainter painter(m_label);
        QStyleOptionFrame frame;
        frame.initFrom(m_label);
        frame.rect = m_label->frameRect();
        frame.frameShape = QFrame::Shape(m_label->frameShape());
        frame.lineWidth = m_label->lineWidth();
        frame.midLineWidth = m_label->midLineWidth();
        if (m_label->frameShadow() == QFrame::Sunken) frame.state |= QStyle::State_Sunken;
        else if (m_label->frameShadow() == QFrame::Raised) frame.state |= QStyle::State_Raised;
        m_label->style()->drawControl(QStyle::CE_ShapedFrame, &frame, &painter, m_label);
        const QRect place = textPlace(m_label->fontMetrics());
        const QString shortened = m_label->fontMetrics().elidedText(text, Qt::ElideRight, place.width());
        m_label->style()->drawItemText(&painter, place, int(QStyle::visualAlignment(m_label->layoutDirection(), m_label->alignment())),
                                       m_label->palette(), m_label->isEnabled(), shortened, m_label->foregroundRole());
        return true;
    }

    // Where the label draws its text in a font: inside its frame and
    // margins, and indented from the aligned edge as it indents it.
    QRect textPlace(const QFontMetrics& metrics) const {
        const int margin = m_label->margin();
        QRect place = m_label->contentsRect().adjusted(margin, margin, -margin, -margin);
        int indent = m_label->indent();
        if (indent < 0 && m_label->frameWidth() > 0) indent = metrics.horizontalAdvance(QLatin1Char('x')) / 2 - margin;
        if (indent > 0) {
            const Qt::Alignment a = QStyle::visualAlignment(m_label->layoutDirection(), m_label->alignment());
            if (a & Qt::AlignLeft) place.setLeft(place.left() + indent);
            if (a & Qt::AlignRight) place.setRight(place.right() - indent);
            if (a & Qt::AlignTop) place.setTop(place.top() + indent);
            if (a & Qt::AlignBottom) place.setBottom(place.bottom() - indent);
        }
        return place;
    }

    QLabel* m_label;
    const QFont m_own;
    const QString m_ownTip;
    QString m_text;
    int m_width = -1;
    int m_room = 0;
    bool m_whole = true;
};

} // namespace

void showWhole(QLineEdit* box) {
    const QFont own = box->font();
    const QString ownTip = box->toolTip();
    const auto fit = [box, own, ownTip](const QString& text) {
        QStyleOptionFrame opt;
        opt.initFrom(box);
        const int room = box->style()->subElementRect(QStyle::SE_LineEditContents, &opt, box).width() - 2;
        QFont font;
        const bool whole = fittingFont(own, text, room, font);
        box->setFont(font);
        box->setToolTip(whole ? ownTip : text);
        // The start of the text in sight, unless the operator is typing in it.
        if (!box->hasFocus()) box->setCursorPosition(0);
    };
    QObject::connect(box, &QLineEdit::textChanged, box, fit);
    fit(box->text());
}

void showWhole(QLabel* label) {
    // In a layout its place is what the layout gives it, not what its text asks for.
    QSizePolicy policy = label->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Ignored);
    label->setSizePolicy(policy);
    new LabelFit(label);
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
