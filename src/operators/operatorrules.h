#pragma once

#include <QString>
#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QWidget;
class RecordCursor;

// What the operator windows share: the rules a new password must pass, the
// comparison of operator names, and the frame of the nine access rights.
namespace OperatorRules {

// The new-password rules, in the order the windows test them. The password
// change tests the confirmation between the digits and the length.
enum class PasswordFault { None, NotDigits, Mismatch, Length, AllEqual, LeadingZero, Taken };

// The first rule `password` breaks. `confirmation`: the text typed again
// (nullptr: no confirmation rule). `taken`: whether an operator already holds
// the password (called last, only for a password that passed the others).
// Together they admit the four-digit numbers from 1000 to 9999 whose digits
// are not all the same and that no operator holds.
PasswordFault checkNewPassword(const QString& password, const QString* confirmation,
                               const std::function<bool(const QString&)>& taken);

// Whether some operator of the table holds the typed password. Re-reads the
// cursor (which then stays on the holder, when one was found). The row keyed
// `except` does not count. Throws DbError.
bool passwordTaken(RecordCursor& operators, const QString& password, qint64 except = 0);

// The security message of a password that cannot be used.
inline const QString SecurityMessage = QStringLiteral(
    "POR QUESTÕES DE SEGURANÇA, ESTA SENHA NÃO PODE SER USADA !\rTENTE OUTRA OUTRA SENHA!");
inline const QString ZeroMessage = QStringLiteral("A Senha não pode iniciar com 'ZERO' ");

// A name as names are told apart: blanks around it dropped, letter case and
// accents ignored ("  João " and "JOAO" are the same name).
QString nameKey(const QString& name);
// Whether an operator of the table already has this name (nameKey). Re-reads
// the cursor. The row keyed `except` does not count. Throws DbError.
bool nameTaken(RecordCursor& operators, const QString& name, qint64 except = 0);

// The nine rights in their one order, the fields Check1 to Check9 stand for.
inline constexpr std::array<const char*, 9> RightFields = {"Ini", "EmOs", "BxOs", "Ce", "CadUsu",
                                                           "CadFunc", "Cnf", "Rst", "Fnr"};

// The frame "Niveis de Acesso" (Frame1) with Check1 to Check9. The rights
// window words the eighth right "Adicionar / Remover Restrições".
enum class RightsCaptions { NewOperator, RightsWindow };
QGroupBox* makeRightsFrame(QWidget* parent, RightsCaptions captions, std::array<QCheckBox*, 9>& checks);

// A password field: masked with "*", typing limit `limit`.
void makePasswordField(QLineEdit* field, int limit = 4);

}
