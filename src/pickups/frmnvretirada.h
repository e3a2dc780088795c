#pragma once

#include "receiptform.h"
#include "store/recordcursor.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class ValidaSenhaOperador;

// Writes a new pickup receipt: the customer's name, address and phones, three
// lines of directions, one appliance and its defect, stamped with the date,
// time and the operator, who must hold the right EmOs. A second button
// records the receipt's customer in the customers table.
//
// A stored receipt sets NovaRetiradaSalva; printing it sets IdRetiradaAtual
// to the key the insert gave and shows the receipt's print window.
class FrmNvRetirada : public QDialog {
    Q_OBJECT
public:
    explicit FrmNvRetirada(QWidget* parent = nullptr);
    ~FrmNvRetirada() override;

    void BtSalvar_Click();
    void BtClientes_Click();
    void BtFechar_Click();

private:
    void buildWidgets();
    void Form_Load();
    // Adds the customer row; true when it was stored.
    bool recordCustomer();

    RecordCursor DataRetirada;
    RecordCursor DataClientes;
    RecordCursor DataOperador;
    RecordCursor DataEmpresa;
    ValidaSenhaOperador* m_check = nullptr;

    ReceiptForm::Boxes Txt;
    QLineEdit* TxtOperador = nullptr;
    QPushButton* BtSalvar = nullptr;
    QPushButton* BtClientes = nullptr;
    QPushButton* BtFechar = nullptr;
};
