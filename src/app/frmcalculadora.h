#pragma once

#include "store/currency.h"

#include <QDialog>
#include <QPalette>

class QLabel;
class QPushButton;

// The desk calculator: four operations and a percentage key, computed in
// currency (four decimal places) and shown with the decimal comma. Driven by
// its buttons or the keyboard; the window sees the keys before its buttons.
// Shown modally by the main window and by the price window; it hands nothing
// back.
//
// The working values (operands, result, operator, flags) last as long as the
// program: closing the window keeps them, "C", Esc and every error reset
// them. The display shows "0" whenever the window opens.
class FrmCalculadora : public QDialog {
    Q_OBJECT
public:
    explicit FrmCalculadora(QWidget* parent = nullptr);

    // Indexes of the button array Digito: 0 to 9 the digits, then these.
    enum Key { Virgula = 10, Limpar = 11, IgualKey = 12, Vezes = 13, Dividir = 14, Mais = 15, Menos = 16,
               Porcento = 17, KeyCount = 18 };

    // A failed calculation: its error number and description.
    struct CalcError {
        int number;
        QString description;
    };

    // The working values as at the program's start (a new run; tests).
    static void forgetWorkingValues();

    // Handlers.
    void Digito_Click(int index);
    void Digito_MouseDown(int index);
    void Digito_MouseUp(int index);
    void Digito_LostFocus(int index);
    void Form_KeyPress(QChar key);
    void Form_KeyDown(int keyCode);
    void Form_KeyUp();
    void BtFechar_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void typeDigit(int index);
    void chooseOperator(int index);
    void ClicaBtDigitoNum();
    void CasaDecimal();
    void ResetCalc();
    void Igual();
    void showFailure(const CalcError& error);
    // Runs one handler's work, with its failures reported.
    template <class Work> void guarded(Work work);

    void light(int index, bool on);
    int indexOf(const QObject* button) const;
    QString display() const;
    void setDisplay(const QString& text);
    void showErrorState();
    // The display's text read as currency; the error state reads 0.
    Currency displayValue() const;

    QLabel* LblDisplay = nullptr;
    QPushButton* Digito[KeyCount] = {};
    QPushButton* BtFechar = nullptr;
    QPalette m_face;
    // The display shows "ERRO" after a division by zero, until the next key.
    bool m_errorState = false;
};
