#pragma once

#include "store/recordcursor.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;

// Records appliances of the current customer (CodClienteAtual, named by
// NomeClienteAtual), one row of TblApClientes per confirmation; stays open
// for the next one.
class FrmApCliente : public QDialog {
    Q_OBJECT
public:
    explicit FrmApCliente(QWidget* parent = nullptr);

    void BtCadastrar_Click();
    void BtFechar_Click();
    // A serial number for an appliance that has none (company's Sigla).
    QString GeraNumSerie();

private:
    void Form_Load();

    RecordCursor Data2;
    RecordCursor DataAparelho;
    RecordCursor DataMarca;
    RecordCursor DataEmpresa;

    QLineEdit* TxtNmCliente = nullptr;
    std::array<QComboBox*, 2> Combo{};
    std::array<QLineEdit*, 4> Txt{};
    QPushButton* BtCadastrar = nullptr;
    QPushButton* BtFechar = nullptr;
};
