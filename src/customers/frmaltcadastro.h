#pragma once

#include "store/recordcursor.h"

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class ValidaSenhaOperador;

// Edits the customer handed over in DadosSelecionados 0 to 12 (code
// CodClienteAtual) and rewrites his copies in the open service orders and
// the delivered appliances, all in one transaction. The name stays read-only
// until an operator with the right Cnf is accepted.
class FrmAltCadastro : public QDialog {
    Q_OBJECT
public:
    explicit FrmAltCadastro(QWidget* parent = nullptr);

    void BtAltCadastro_Click();
    void BtFechar_Click();

private:
    void Form_Load();
    void Txt_Change(int index);

    RecordCursor DataClientes;
    RecordCursor DataOperador;
    ValidaSenhaOperador* m_check = nullptr;

    std::array<QLineEdit*, 13> Txt{};
    std::array<QLabel*, 13> Lbl{};
    QLineEdit* TxtOperador = nullptr;
    QPushButton* BtAltCadastro = nullptr;
    QPushButton* BtFechar = nullptr;
    QLabel* LblEdit = nullptr;
    bool m_loaded = false;
};
