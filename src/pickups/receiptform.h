#pragma once

#include "ui/textentry.h"

#include <QString>
#include <array>
#include <functional>
#include <initializer_list>

class QGridLayout;
class QLineEdit;
class QPlainTextEdit;
class QWidget;
class RecordCursor;

// What the pickup-receipt windows share: the receipt's fields and the
// sixteen boxes that show or take them.
namespace ReceiptForm {

// The fields of TblRetirada that the boxes Txt(0) to Txt(15) hold, in order.
inline constexpr std::array<const char*, 16> Fields = {
    "Nome", "End", "Complemento", "Bairro", "Cidade", "Estado", "TelRes", "Cel",
    "Loc0", "Loc1", "Loc2", "Ap0", "Marca0", "Mod0", "NumSerie", "Defeito"};
inline constexpr int Count = int(Fields.size());
inline constexpr int DefectBox = 15;

QString field(int index);

// Adds a row to the cursor's table: addNew, fill() setting the fields, update.
// Returns the new row's key. A row that was stored counts as stored even when
// reading it back failed; throws only when nothing was stored (the new row is
// then dropped).
qint64 addRow(RecordCursor& cursor, const std::function<void()>& fill);

// The boxes Txt(0) to Txt(15): one-line boxes, and the defect box two lines
// high that wraps its text. A limit of 0 leaves typing unlimited; stored
// values longer than a limit are shown whole (only typing is limited).
struct Boxes {
    std::array<QLineEdit*, DefectBox> line{};
    QPlainTextEdit* defect = nullptr;

    void make(QWidget* owner, const std::array<int, Count>& limits, TextEntry::Rules rules);
    QWidget* box(int index) const;
    QString text(int index) const;
    void setText(int index, const QString& text);
    // Bold on the tool-tip background while a box has the focus.
    void setFocusStyle(const TextEntry::FocusStyle& style);
    void setTextColour(const QColor& colour);
    void setReadOnly(bool readOnly);
};

// Where a box stands in a frame's grid: its caption "Lbl(n)" in the column
// `col` (none when caption is null), the box in the next columns.
struct Place {
    int box;
    const char* caption;
    int row;
    int col;
    int span = 1;
};
void placeBoxes(QGridLayout* grid, QWidget* frame, const Boxes& boxes, std::initializer_list<Place> places);

}
