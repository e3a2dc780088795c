#pragma once

#include <QString>
#include <initializer_list>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Pieces that the customer windows share: the boxes of the customer's data
// and their arrangement, the operator bar, buttons.
namespace CustomerForm {

// A box of the customer's data: the field it holds, its caption, its limit.
struct Box {
    const char* field;
    const char* caption;
    int limit;
};

// Makes the boxes "Txt(n)" and their labels "Lbl(n)", n from firstIndex, with
// their typing limits.
void makeBoxes(QWidget* owner, const Box* boxes, int count, int firstIndex, QLineEdit** txt, QLabel** lbl);

// Arranges the twelve boxes Nome to Email (txt[0] is the name) from row
// firstRow: name and address on whole rows, then complement and district,
// city, state and postal code, home and work phone, fax and mobile, the note.
// Without nameLabel the name's label is hidden and its box takes the row.
void layOut(QGridLayout* grid, QLineEdit* const* txt, QLabel* const* lbl, int firstRow, bool nameLabel);

// The row under the data: "Operador:" and the password field, then the buttons.
QHBoxLayout* operatorBar(QWidget* owner, QLineEdit* txtOperador, std::initializer_list<QPushButton*> buttons);

// A push button named as the windows name them.
QPushButton* button(QWidget* owner, const char* name, const QString& caption, const QString& toolTip);

}
