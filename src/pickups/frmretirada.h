#pragma once

#include "receiptform.h"
#include "store/recordcursor.h"
#include "ui/messagebox.h"

#include <QWidget>

class BoundFields;
class DataGrid;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The pickup receipts: every stored receipt in a grid, the current one's
// fields below it (edited in place, written when the list leaves the row or
// closes), five sort orders, a name search and the buttons for a new
// receipt, printing and deleting. A modeless list window of the main window
// (single instance, see WindowHost).
class FrmRetirada : public QWidget {
    Q_OBJECT
public:
    explicit FrmRetirada(QWidget* parent = nullptr);
    ~FrmRetirada() override;

    RecordCursor& dataRetirada() { return DataRetirada; }

    // Handlers.
    void OptBairro_Click();
    void OptData_Click();
    void OptEndereco_Click();
    void OptNome_Click();
    void OptOperador_Click();
    void BtCad_Click();
    void BtImpressao_Click();
    void BtExcluir_Click();
    void BtFechar_Click();
    void Busca_Nome();

private:
    void buildWidgets();
    void Form_Load();
    // Reads the list again ordered by `field` (forFind: for a find that
    // follows at once). False when the edit on screen could not be written
    // first: the rows and their source stay as they were. Throws DbError.
    bool readInOrder(const QString& field, bool forFind);
    void sortBy(const QString& field);
    // Writes the fields edited on screen into the current receipt; false (after
    // the message) when the database refused them.
    bool writePending();
    // With no receipt shown: the message `none` and false. Otherwise asks the
    // Yes/No question; true on Yes.
    bool confirmOnCurrent(const QString& none, const QString& noneTitle, const QString& question,
                          const QString& questionTitle, MsgAnswer defaultAnswer);
    // The detail boxes take typing only while a receipt is shown.
    void showCurrent();

    RecordCursor DataRetirada;
    BoundFields* m_fields = nullptr;

    DataGrid* DBGrid1 = nullptr;
    ReceiptForm::Boxes Txt;
    QLineEdit* TxtBusca = nullptr;
    QRadioButton* OptNome = nullptr;
    QRadioButton* OptEndereco = nullptr;
    QRadioButton* OptBairro = nullptr;
    QRadioButton* OptData = nullptr;
    QRadioButton* OptOperador = nullptr;
    QPushButton* BtCad = nullptr;
    QPushButton* BtImpressao = nullptr;
    QPushButton* BtExcluir = nullptr;
    QPushButton* BtFechar = nullptr;
};
