#pragma once

#include "ui/messagebox.h"
#include "ui/widgets.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <array>
#include <exception>
#include <initializer_list>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Pieces that the customer windows share: the customer's fields, the boxes
// of his data and their arrangement, the operator bar, the checks
// and messages the windows give alike.
namespace CustomerForm {

// The fields of a customer's row in the order the windows show them: the
// code, his data Nome to Email (the box captioned "Obs:" holds Email), then
// who recorded him and when. DadosSelecionados slots 0 to 12 hand over the
// first thirteen.
inline constexpr std::array<const char*, 15> Fields = {
    "Codigo",
    "Nome", "Endereco", "Complemento", "Bairro", "Cidade", "Estado", "Cep",
    "TelResidencia", "TelComercial", "Fax", "Celular", "Email",
    "Operador", "DataCadastro"};
inline constexpr int FirstData = 1;   // Nome
inline constexpr int LastData = 12;   // Email

// Fields[index] as a QString.
QString field(int index);

// A box of the customer's data: its caption and its typing limit. Each window
// lists its boxes in the order of Fields.
struct Box {
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

// The colour of the text a box or list shows.
using Widgets::setTextColour;
inline const QColor DarkBlue(0, 0, 192);

// The name and the address are required: a box holding nothing but blanks
// gets "'E obrigatório preencher o Nome do Cliente !" (or "... o Endereço
// ...") with the given icon and title, and the focus. False then.
enum class Required { Nome, Endereco };
bool requireFilled(QLineEdit* box, Required which, MsgIcon icon, const QString& title);

// The message of a failed read or write of the database: the lines saying
// what failed, the advice to repair and compact the database, after a failed
// write the call for support, then the error (pattern as ErrorInfo::format).
enum class Task { Read, Write };
void showDbError(Task task, const QStringList& what, const std::exception& error, const QString& title,
                 const QString& pattern = QStringLiteral("%1 %2 %3"));

}
