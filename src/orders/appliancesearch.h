#pragma once

#include "ui/messagebox.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class WaitCursor;

// What makes one appliance search dialog: its caption and the titles of its
// messages, and where it remembers its last text.
struct ApplianceSearchSetup {
    QString objectName;
    QString caption;
    QString title;               // title of its messages
    QString orderNotFoundTitle;  // title of "Ordem de Serviço não Localizada"
    QString* lastSearch = nullptr;  // lives for the run
};

// The small modal dialog that finds one appliance of a list by its
// service-order number or its serial number and moves the list to it. It
// closes when it finds the appliance; otherwise it says why and stays open
// for another try. An order number is digits only; the number, not the typed
// text, goes into the criterion. A database error is reported and the dialog
// stays open.
//
// A concrete dialog gives the two searches.
class ApplianceSearch : public QDialog {
    Q_OBJECT
public:
    void BtIniciar_Click();
    void BtFechar_Click();
    void Option1_Click();
    void Option3_Click();

protected:
    ApplianceSearch(ApplianceSearchSetup setup, QWidget* parent);

    // Puts the remembered text back; call from the constructor once the
    // dialog's cursors are open.
    void Form_Load();

    // The searches: accept() when found, otherwise a message (say()). They
    // may throw (database errors).
    virtual void searchOrder(qint64 os) = 0;
    virtual void searchSerial(const QString& serial) = 0;

    // The messages of the searches.
    void orderNotFound();
    void serialNotFound();
    // A message of the dialog (its own title unless another is given); the
    // hourglass of a running search goes first.
    void say(const QString& text, MsgIcon icon, const QString& title = {});

    const ApplianceSearchSetup m_setup;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option3 = nullptr;
    QLineEdit* TxtBusca = nullptr;
    QPushButton* BtIniciar = nullptr;
    QPushButton* BtFechar = nullptr;

private:
    WaitCursor* m_wait = nullptr;   // while a search runs
};
