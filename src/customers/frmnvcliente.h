#pragma once

#include "store/recordcursor.h"

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class ValidaSenhaOperador;

// Records a new customer. The confirm button waits for an operator with the
// right Ini. A save leaves the new customer's code in CodClienteAtual and
// closes the window (accepted).
class FrmNvCliente : public QDialog {
    Q_OBJECT
public:
    explicit FrmNvCliente(QWidget* parent = nullptr);

    // Shows the window modally (the main window's "Novo Cliente" entry and
    // the customers list); true when a customer was saved.
    static bool run();

    // A phone as the save keeps it: every character that is not a digit
    // becomes a blank, so each digit keeps its place.
    static QString soNumeros(const QString& text);

    void BtCadastro_Click();
    void BtFechar_Click();

private:
    void Form_Load();
    void SoNumeros();

    RecordCursor DataNvCliente;
    RecordCursor DataEmpresa;
    RecordCursor DataOperador;
    ValidaSenhaOperador* m_check = nullptr;

    std::array<QLineEdit*, 12> Txt{};
    std::array<QLabel*, 12> Lbl{};
    QLineEdit* TxtOperador = nullptr;
    QPushButton* BtCadastro = nullptr;
    QPushButton* BtFechar = nullptr;
    int m_fieldCounter = 7;
};
