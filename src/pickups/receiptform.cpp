#include "receiptform.h"

#include "store/recordcursor.h"
#include "ui/widgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextOption>
#include <algorithm>

namespace ReceiptForm {

QString field(int index) { return QString::fromLatin1(Fields[std::size_t(index)]); }

qint64 addRow(RecordCursor& cursor, const std::function<void()>& fill) {
    const qint64 before = cursor.lastInsertKey();
    try {
        cursor.addNew();
        fill();
        return cursor.update();
    } catch (...) {
        if (cursor.lastInsertKey() != before) return cursor.lastInsertKey();
        cursor.cancelUpdate();
        throw;
    }
}

void Boxes::make(QWidget* owner, const std::array<int, Count>& limits, TextEntry::Rules rules) {
    for (int i = 0; i < DefectBox; ++i) {
        line[std::size_t(i)] = Widgets::lineEdit(owner, QStringLiteral("Txt(%1)").arg(i));
        TextEntry::attach(line[std::size_t(i)], rules);
        TextEntry::setTypingLimit(line[std::size_t(i)], limits[std::size_t(i)]);
        // Room for the longest text the box takes.
        const int chars = std::max(limits[std::size_t(i)] ? limits[std::size_t(i)] : 15, 3);
        line[std::size_t(i)]->setMinimumWidth(Widgets::boxWidthFor(line[std::size_t(i)], chars));
    }
    defect = new QPlainTextEdit(owner);
    defect->setObjectName(QStringLiteral("Txt(%1)").arg(DefectBox));
    defect->setTabChangesFocus(true);
    defect->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    defect->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Three lines hold the longest defect the box takes, however it wraps.
    const int lines = defect->fontMetrics().lineSpacing() * 3;
    defect->setFixedHeight(lines + 2 * (defect->frameWidth() + int(defect->document()->documentMargin())) + 2);
    TextEntry::attach(defect, rules);
    TextEntry::setTypingLimit(defect, limits[DefectBox]);
}

QWidget* Boxes::box(int index) const {
    if (index == DefectBox) return defect;
    return line[std::size_t(index)];
}

QString Boxes::text(int index) const {
    if (index == DefectBox) return defect->toPlainText();
    return line[std::size_t(index)]->text();
}

void Boxes::setText(int index, const QString& text) {
    if (index == DefectBox) defect->setPlainText(text);
    else line[std::size_t(index)]->setText(text);
}

void Boxes::setFocusStyle(const TextEntry::FocusStyle& style) {
    for (int i = 0; i < Count; ++i) TextEntry::setFocusStyle(box(i), style);
}

void Boxes::setTextColour(const QColor& colour) {
    for (int i = 0; i < Count; ++i) Widgets::setTextColour(box(i), colour);
}

void Boxes::setReadOnly(bool readOnly) {
    for (QLineEdit* l : line) l->setReadOnly(readOnly);
    defect->setReadOnly(readOnly);
}

void placeBoxes(QGridLayout* grid, QWidget* frame, const Boxes& boxes, std::initializer_list<Place> places) {
    for (const Place& p : places) {
        if (p.caption)
            grid->addWidget(Widgets::label(frame, QStringLiteral("Lbl(%1)").arg(p.box), QString::fromUtf8(p.caption)),
                            p.row, p.col, Qt::AlignRight);
        grid->addWidget(boxes.box(p.box), p.row, p.col + 1, 1, p.span);
    }
}

}
