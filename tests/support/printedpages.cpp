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
