#include "windowscenario.h"

#include "support/scriptedboxes.h"
#include "support/typing.h"
#include "store/database.h"
#include "store/programfolder.h"
#include "support/othercopy.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

namespace Scenario {

void run(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name.toStdString());
        ScriptedBoxes boxes;
        for (const Box& b : step.boxes) {
            if (b.input) boxes.input(b.typed, b.text);
            else boxes.answer(b.answer, b.text);
        }
        step.act();
        EXPECT_EQ(boxes.log().size(), qsizetype(step.boxes.size())) << boxes.texts().join(" / ").toStdString();
        EXPECT_EQ(boxes.pending(), 0);
        if (!step.query.isEmpty()) { EXPECT_EQ(rows(step.query), step.expected) << step.query.toStdString(); }
        if (!step.focus.isEmpty()) { EXPECT_EQ(focusName(), step.focus); }
        if (::testing::Test::HasFatalFailure()) return;
    }
}

void perform(QWidget* window, const QString& actions) {
    for (const QString& action : actions.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = action.indexOf(QLatin1Char('='));
        const qsizetype at = action.indexOf(QLatin1Char('@'));
        if (eq > 0 && action[eq - 1] == QLatin1Char('+')) {
            QWidget* box = child(window, action.left(eq - 1).trimmed());
            Typing::focus(box);
            if (auto* l = qobject_cast<QLineEdit*>(box)) l->end(false);
            else if (auto* p = qobject_cast<QPlainTextEdit*>(box)) p->moveCursor(QTextCursor::End);
            Typing::type(box, action.mid(eq + 1));
        } else if (eq > 0) {
            setText(child(window, action.left(eq).trimmed()), action.mid(eq + 1));
        } else if (at > 0) {
            const QString key = action.mid(at + 1);
            Typing::key(child(window, action.left(at).trimmed()), key == QLatin1String("Escape") ? Qt::Key_Escape
                                                                                                   : Qt::Key_Return);
        } else {
            click(window, action.trimmed());
        }
    }
}

QString focusName() {
    const QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

QString rows(const QString& sql, const QVariantList& params) {
    QStringList out;
    for (const QVariantList& row : Database::openDefault().rows(sql, params)) {
        QStringList values;
        for (const QVariant& v : row) values << v.toString();
        out << values.join(QLatin1Char('|'));
    }
    return out.join(QLatin1Char(','));
}

void raw(const QString& sql) {
    Database d = Database::openDefault();
    char* error = nullptr;
    const int rc = sqlite3_exec(d.handle(), sql.toUtf8().constData(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
}

void elsewhere(const QString& sql) {
    sqlite3* other = otherConnection(ProgramFolder::databasePath());
    char* error = nullptr;
    const int rc = sqlite3_exec(other, sql.toUtf8().constData(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(other);
}

QWidget* child(QWidget* parent, const QString& name) {
    auto* w = parent->findChild<QWidget*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

void click(QWidget* parent, const QString& button) {
    if (auto* b = child<QAbstractButton>(parent, button)) b->click();
}

void setText(QWidget* box, const QString& text) {
    if (auto* l = qobject_cast<QLineEdit*>(box)) l->clear();
    else if (auto* p = qobject_cast<QPlainTextEdit*>(box)) p->clear();
    if (text.isEmpty()) Typing::focus(box);
    else Typing::type(box, text);
}

QString text(QWidget* box) {
    if (auto* l = qobject_cast<QLineEdit*>(box)) return l->text();
    if (auto* p = qobject_cast<QPlainTextEdit*>(box)) return p->toPlainText();
    return {};
}

QString lines(QWidget* parent, const QString& list) {
    QStringList out;
    if (auto* l = child<QListWidget>(parent, list))
        for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out.join(QLatin1Char(','));
}

}
