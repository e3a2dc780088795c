// Values fitted into their places (labels and read-only boxes) and captions widened to their text.
#include "support/testmain.h"
#include "ui/widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <memory>

namespace {

// The room a label gives its text: inside its frame, less the indent a framed label gives it.
int room(const QLabel* l) {
    return l->contentsRect().width() - (l->frameWidth() > 0 ? l->fontMetrics().horizontalAdvance('x') / 2 : 0);
}

} // namespace

// A value wider than its place shows whole in a smaller font, down to the floor; past the floor it is shortened
// with the whole value as the tip; a value that fits again gets its own font and tip back.
TEST(WidgetsTest, AValueShowsWholeInASmallerFontOrShortenedWithItsTip) {
    auto window = std::make_unique<QWidget>();
    window->resize(300, 100);
    for (const bool framed : {false, true}) {
        SCOPED_TRACE(framed);
        QLabel* label = Widgets::label(window.get(), "Lbl", {}, QRect(10, 10, 130, 20));
        if (framed) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->setToolTip("Técnico");
        Widgets::showWhole(label);
        window->show();
        const auto shown = [&](const QString& text) {
            label->setText(text);
            label->grab();
            return label->font().pointSizeF();
        };
        EXPECT_EQ(shown("ANA"), bold.pointSizeF());
        EXPECT_EQ(label->toolTip(), "Técnico");
        const QString wide(14, 'W');
        const double smaller = shown(wide);
        EXPECT_TRUE(smaller < bold.pointSizeF() && smaller >= Widgets::FloorPoints) << smaller;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(wide), room(label));
        EXPECT_EQ(label->toolTip(), "Técnico");
        // Given room, the same value takes its own font back; narrowed again, the smaller one.
        for (const auto& [width, points] : {std::pair{280, bold.pointSizeF()}, std::pair{130, smaller}}) {
            label->resize(width, 20);
            label->grab();
            EXPECT_EQ(label->font().pointSizeF(), points) << width;
        }

        const QString longest(60, 'W');
        EXPECT_EQ(shown(longest), Widgets::FloorPoints);
        EXPECT_EQ(label->text() + "|" + label->toolTip(), longest + "|" + longest) << "the label keeps its value";
        // Drawn as a label of the shortened text would be.
        QLabel plain(window.get());
        plain.setGeometry(label->geometry());
        plain.setFrameStyle(label->frameStyle());
        plain.setFont(label->font());
        plain.setText(label->fontMetrics().elidedText(longest, Qt::ElideRight, room(label)));
        EXPECT_TRUE(plain.text().endsWith(QChar(0x2026)));
        EXPECT_EQ(label->grab().toImage(), plain.grab().toImage());

        EXPECT_EQ(shown("ANA"), bold.pointSizeF());
        EXPECT_EQ(label->toolTip(), "Técnico");
        delete label;
    }

    // A read-only box: its start in sight at the floor, the whole value as its tip.
    QLineEdit* box = Widgets::lineEdit(window.get(), "TxtVl", QRect(10, 40, 80, 20));
    box->setReadOnly(true);
    box->setToolTip("Valor");
    const double own = box->font().pointSizeF();
    Widgets::showWhole(box);
    box->setText("R$ 15.929.999.406,00");
    QStyleOptionFrame opt;
    opt.initFrom(box);
    EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()),
              box->style()->subElementRect(QStyle::SE_LineEditContents, &opt, box).width());
    EXPECT_LT(box->font().pointSizeF(), own);
    EXPECT_EQ(box->toolTip(), "Valor");
    box->setText(QString(60, '9'));
    EXPECT_EQ(box->font().pointSizeF(), Widgets::FloorPoints);
    EXPECT_EQ(box->toolTip() + "|" + QString::number(box->cursorPosition()), QString(60, '9') + "|0");
    box->setText("1,00");
    EXPECT_EQ(box->font().pointSizeF(), own);
    EXPECT_EQ(box->toolTip(), "Valor");
}

// A caption wider than its place grows as little as it needs: a centred one both ways, keeping its centre; a
// right-aligned one to the left; any other to the right.
TEST(WidgetsTest, AWidenedCaptionKeepsItsAlignment) {
    QWidget window;
    QPushButton* button = Widgets::button(&window, "BtDarSaída", "&Confirmar Saída", {}, QRect(200, 10, 40, 30));
    QLabel* centred = Widgets::label(&window, "Centred", "Total do Serviço", QRect(200, 50, 30, 20));
    centred->setAlignment(Qt::AlignCenter);
    QLabel* right = Widgets::label(&window, "Right", "Valor Unitário", QRect(200, 80, 30, 20));
    right->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QLabel* left = Widgets::label(&window, "Left", "Descriçao", QRect(200, 110, 30, 20));
    for (QWidget* w : std::initializer_list<QWidget*>{button, centred, right, left}) {
        const QRect before = w->geometry();
        const int grew = Widgets::widenToText(w);
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_GT(grew, 0);
        EXPECT_EQ(w->width(), before.width() + grew);
        if (w == right) EXPECT_EQ(w->geometry().right(), before.right());
        else if (w == left) EXPECT_EQ(w->x(), before.x());
        else EXPECT_LE(std::abs(2 * w->x() + w->width() - 2 * before.x() - before.width()), 1) << "its centre stays";
        EXPECT_EQ(Widgets::widenToText(w), 0) << "the whole caption fits now";
    }
    EXPECT_LE(centred->fontMetrics().horizontalAdvance(centred->text()), centred->contentsRect().width());
}

TARVEL_TEST_MAIN()
