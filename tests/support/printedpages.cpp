#include "printedpages.h"

#include "scriptedboxes.h"

#include <gtest/gtest.h>

namespace PrintedPages {

void expectWholeInside(const RecordedPage& pg, const QStringList& values) {
    const auto texts = pg.texts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const PrintOp* t = texts[i];
        const PrintFont& f = pg.fontOf(*t);
        const double right = t->x + PrintMetrics::textWidth(f, t->text);
        EXPECT_GE(t->x, -0.05) << t->text.toStdString();
        EXPECT_LE(right, pg.printable.width() + 0.05) << t->text.toStdString();
        EXPECT_LE(t->y + PrintMetrics::lineHeight(f), pg.printable.height() + 0.05) << t->text.toStdString();
        if (i + 1 < texts.size() && std::abs(texts[i + 1]->y - t->y) < 0.05) {
            EXPECT_GE(texts[i + 1]->x + 0.05, right) << t->text.toStdString() << " | " << texts[i + 1]->text.toStdString();
        }
    }
    for (const QString& value : values) {
        const QString v = value.trimmed();
        if (v.isEmpty()) continue;
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&v](const PrintOp* t) { return t->text.contains(v); }))
            << "cut or missing: " << v.toStdString();
    }
}

void expectNoTextAcrossLines(const RecordedPage& pg) {
    for (const PrintOp* l : pg.lines()) {
        if (std::abs(l->x2 - l->x) > 0.01) continue;
        const double top = std::min(l->y, l->y2), bottom = std::max(l->y, l->y2);
        for (const PrintOp* t : pg.texts()) {
            const PrintFont& f = pg.fontOf(*t);
            const double right = t->x + PrintMetrics::textWidth(f, t->text);
            const bool beside = t->y + PrintMetrics::lineHeight(f) <= top + 0.05 || t->y >= bottom - 0.05;
            EXPECT_TRUE(beside || right <= l->x + 0.05 || t->x >= l->x - 0.05)
                << t->text.toStdString() << " crosses the line at x " << l->x;
        }
    }
}

void expectTabbed(const RecordedPage& pg, const PrintOp* value, const PrintOp* item, int column) {
    ASSERT_TRUE(item);
    expectTabbed(pg, value, item, column, pg.fontOf(*item));
}

void expectTabbed(const RecordedPage& pg, const PrintOp* value, const PrintOp* item, int column, const PrintFont& font) {
    ASSERT_TRUE(value && item);
    const double at = (column - 1) * PrintMetrics::averageCharWidth(font);
    EXPECT_NEAR(item->x, at, 0.05) << item->text.toStdString();
    // Texts of one line share its top, or its baseline when drawn smaller to fit.
    const auto baseline = [&pg](const PrintOp* t) { return t->y + PrintMetrics::ascent(pg.fontOf(*t)); };
    const double right = value->x + PrintMetrics::textWidth(pg.fontOf(*value), value->text);
    if (right <= at + 0.05)
        EXPECT_TRUE(std::abs(item->y - value->y) < 0.05 || std::abs(baseline(item) - baseline(value)) < 0.05)
            << item->text.toStdString() << " beside " << value->text.toStdString();
    else
        EXPECT_GT(item->y, value->y + 0.5 * PrintMetrics::lineHeight(font)) << item->text.toStdString();
}

const PrintOp* after(const RecordedPage& pg, const PrintOp* op) {
    const auto texts = pg.texts();
    for (std::size_t i = 0; i + 1 < texts.size(); ++i)
        if (texts[i] == op) return texts[i + 1];
    return nullptr;
}

int count(const RecordedPage& pg, const QString& text) {
    int n = 0;
    for (const PrintOp* t : pg.texts()) n += t->text == text;
    return n;
}

std::vector<int> pageCounts(const RecordingTarget& target) {
    std::vector<int> out;
    for (const auto& d : target.documents) out.push_back(int(d.pages.size()));
    return out;
}

QList<ShownBox> boxesDuring(const std::function<void()>& act) {
    ScriptedBoxes boxes(false);
    act();
    return boxes.log();
}

void expectBoxes(const QList<ShownBox>& boxes, const QStringList& expected) {
    ASSERT_EQ(boxes.size(), expected.size()) << [&] {
        QStringList t;
        for (const ShownBox& b : boxes) t << b.text;
        return t.join(QStringLiteral(" // ")).toStdString();
    }();
    for (int i = 0; i < boxes.size(); ++i)
        EXPECT_TRUE(boxes[i].text.contains(expected[i])) << boxes[i].text.toStdString() << " lacks "
                                                         << expected[i].toStdString();
}

}
