#include "liststeps.h"

#include "scriptedboxes.h"
#include "typing.h"
#include "store/recordcursor.h"
#include "store/sqldialect.h"
#include "ui/gridmodel.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace ListSteps {

QStringList column(RecordCursor& cursor, const QString& field) {
    QStringList out;
    const int f = cursor.fieldIndex(field);
    for (int i = 0; i < cursor.recordCount(); ++i) out << cursor.valueAt(i, f).toString();
    return out;
}

void standOn(RecordCursor& cursor, const QString& nome) {
    ASSERT_TRUE(cursor.findFirst("Nome = " + SqlDialect::quote(nome))) << nome.toStdString();
}

void doubleClick(DataGrid* grid, RecordCursor& cursor, const QString& heading) {
    QTableView* v = grid->view();
    int col = -1;
    for (int c = 0; c < v->model()->columnCount(); ++c)
        if (v->model()->headerData(c, Qt::Horizontal).toString() == heading) col = c;
    ASSERT_GE(col, 0) << heading.toStdString();
    const QModelIndex cell = v->model()->index(cursor.absolutePosition(), col);
    v->scrollTo(cell);
    QApplication::processEvents();
    const QPoint at = v->visualRect(cell).center();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, at);
}

void search(QWidget* box, const QString& text) {
    static_cast<QLineEdit*>(box)->clear();
    Typing::type(box, text);
    Typing::key(box, Qt::Key_Return);
}

} // namespace ListSteps

namespace ListSteps {

// "<icon> <title>: <text>", the icon as "X" critical, "!" exclamation,
// "i" information, "?" question.
QString shown(const ShownBox& b) {
    const char* icon = b.icon == MsgIcon::Critical ? "X" : b.icon == MsgIcon::Exclamation ? "!"
                     : b.icon == MsgIcon::Information ? "i" : "?";
    return QString::fromLatin1(icon) + QLatin1Char(' ') + b.title + QStringLiteral(": ") + b.text;
}

} // namespace ListSteps

using ListSteps::shown;

void ListScenario::run(const std::vector<ListStep>& steps) const {
    for (const ListStep& s : steps) {
        SCOPED_TRACE(s.what);
        {
            ScriptedBoxes boxes;
            for (int i = 0; i < s.boxes.size(); ++i) boxes.answer(MsgAnswer::Ok);
            s.act();
            QStringList seen;
            for (const ShownBox& b : boxes.log()) seen << shown(b);
            ASSERT_EQ(seen.size(), s.boxes.size()) << seen.join(" | ").toStdString();
            for (int i = 0; i < seen.size(); ++i)
                EXPECT_TRUE(seen[i].startsWith(s.boxes[i])) << seen[i].toStdString();
        }
        QWidget* w = window();
        ASSERT_NE(w, nullptr);
        RecordCursor& c = cursor();
        if (s.rows != QStringList{"-"}) {
            EXPECT_EQ(ListSteps::column(c, field), s.rows);
            EXPECT_EQ(w->findChild<QLabel*>("Label1")->text(), QString::number(s.rows.size()));
        }
        if (!s.current.isEmpty()) { EXPECT_EQ(c.text(field), s.current); }
        if (!s.heading.isEmpty()) { EXPECT_EQ(w->findChild<DataGrid*>("DBGrid1")->caption(), s.heading); }
        if (s.filtered >= 0) {
            EXPECT_EQ(w->findChild<QTimer*>("Timer2")->isActive(), s.filtered == 1);
            if (auto* dot = w->findChild<QWidget*>("Shape1"); dot && s.filtered == 0) { EXPECT_FALSE(dot->isVisible()); }
        }
        if (s.check) s.check();
    }
}
