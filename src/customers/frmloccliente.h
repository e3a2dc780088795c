#pragma once

#include <QDialog>
#include <QPointer>

class FrmClientes;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Finds a customer of the customers list by his code or one of his phone
// numbers, moving the list's cursor; closes when a customer is found.
class FrmLocCliente : public QDialog {
    Q_OBJECT
public:
    explicit FrmLocCliente(FrmClientes* list, QWidget* parent = nullptr);

    // The criterion of the last search started, kept for the rest of the run.
    static QString rememberedCriterion();

    void BtIniciar_Click();
    void BtFechar_Click();

private:
    void Form_Load();
    void Option_Click();

    QPointer<FrmClientes> m_list;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QRadioButton* Option4 = nullptr;
    QLineEdit* TxtBusca = nullptr;
    QPushButton* BtIniciar = nullptr;
    QPushButton* BtFechar = nullptr;
};
