#pragma once

#include "store/recordcursor.h"

#include <QDialog>
#include <array>
#include <functional>
#include <utility>
#include <vector>

class BoundFields;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

// The window of one open service order (a TblManutencao row), shown
// modally on Modulo::OsAtual by the workshop list. The workshop follows the
// order here: status (with its completion date), technician, the customer's
// mood and the progress notes; behind the FrmAcessoOs gate the appliance's
// identity, the factory-warranty documents and the order's type, priority
// and place of service are corrected. It leads to the customer's record, the
// appliance's previous repairs, the print window and the price window.
//
// Every write of the order stores only the fields this window changed, and
// first checks that the order is still open: another copy of the program may
// have checked it out. Then the window says so, writes nothing and closes.
class FrmOS : public QDialog {
    Q_OBJECT
public:
    // Loads the order in Modulo::OsAtual. A failed loading shows its message
    // and leaves the window closed (loadFailed()).
    explicit FrmOS(QWidget* parent = nullptr);
    ~FrmOS() override;

    // A new window on Modulo::OsAtual; nullptr when it could not load (the
    // message was shown).
    static FrmOS* create(QWidget* parent = nullptr);
    bool loadFailed() const { return m_loadFailed; }

    // The delivered list's part in the previous repairs: shows the rows of the
    // query under the heading, its count label holding the number of rows and
    // its filter indicator blinking. The delivered list registers it; until
    // then the previous-repairs button stays disabled.
    using DeliveredListFilter = std::function<void(const QString& query, const QString& heading)>;
    static void setDeliveredListFilter(DeliveredListFilter filter);

    // The stored mood shown by Image1 (-1: none).
    int shownMood() const { return m_shownMood; }
    bool editing() const;

    // Handlers.
    void Form_Activate();
    void List1_Click();
    void BtSalvaStatus_Click();
    void List2_Click();
    void BtSalvaTecnico_Click();
    void Image1_Click();
    void Combo1_Click();
    void BtAlterar_Click();
    void Label1_Click();
    void Label10_Click();
    void Label8_Click();
    void BtMntAnt_Click();
    void BtOpcao_Click();
    void BtImpOs_Click();
    void BtCadCliente_Click();
    void BtFechar_Click();

    // The window's cursor on the order.
    RecordCursor& dataFrmOsMnt() { return DataFrmOsMnt; }

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    void Form_Load();
    void fillList(RecordCursor& cursor, const QString& field, QListWidget* list);
    void showMood();
    void setEditLook(bool editing);
    // One write of the order: checks that it is still open, then writes the
    // fields setFields sets, the owed status and technician, the toggled
    // labels and the pending edits, all in one transaction. Throws DbError.
    void gravaOs(const std::function<void()>& setFields = {});
    // The common error path: the message, then the window closes without
    // another write.
    // The common error path of a failed task: an order another copy checked
    // out closes the window; any other cause keeps it open with what was typed.
    // Returns true when the window stays.
    bool reportFailure(const std::exception& error, const QString& task = {});
    // The labels toggled in edit mode and their columns; pending when they
    // show another value than the stored one.
    std::vector<std::pair<QLabel*, QString>> toggledLabels() const;
    bool labelsPending() const;
    // A status or technician picked in its list is only shown until its own
    // "Salvar" stores it. One whose "Salvar" failed is owed to the order: it
    // is pending like a typed value, and the next write stores it.
    bool picksPending() const;
    void setPicks();
    // After a write: the owed picks are stored, their labels and buttons
    // done with.
    void picksStored();
    // The status or technician button: writes the order with its pick.
    void savePick(QLabel* pick, QString& owed, QPushButton* save);
    void toggle(QLabel* label, const QString& a, const QString& b);
    qint64 os() const { return m_os; }

    RecordCursor DataFrmOsMnt;
    RecordCursor DataTecnico;
    RecordCursor DataStatus;
    RecordCursor DataMntAnt;
    BoundFields* m_fields = nullptr;

    std::array<QLineEdit*, 28> Txt{};
    QPlainTextEdit* TxtAndamento = nullptr;
    QLabel* Label1 = nullptr;   // Tipo
    QLabel* Label2 = nullptr;   // Os
    QLabel* Label3 = nullptr;   // Status
    QLabel* Label4 = nullptr;   // DataEntrada
    QLabel* Label5 = nullptr;   // Tecnico
    QLabel* Label6 = nullptr;   // HoraEntrada
    QLabel* Label7 = nullptr;   // Dias
    QLabel* Label8 = nullptr;   // Atendimento
    QLabel* Label9 = nullptr;   // DataConcluido
    QLabel* Label10 = nullptr;  // prioridade
    QLabel* Label11 = nullptr;  // VlFinal
    QLabel* Label12 = nullptr;  // Via
    QLabel* Label13 = nullptr;  // OperadorEnt
    QLabel* Image1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QWidget* m_moodPopup = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QLabel* LblStatus = nullptr;
    QLabel* LblTecnico = nullptr;
    QPushButton* BtSalvaStatus = nullptr;
    QPushButton* BtSalvaTecnico = nullptr;
    QPushButton* BtCadCliente = nullptr;
    QPushButton* BtAlterar = nullptr;
    QPushButton* BtImpOs = nullptr;
    QPushButton* BtOpcao = nullptr;
    QPushButton* BtMntAnt = nullptr;
    QPushButton* BtFechar = nullptr;

    QString m_owedStatus;     // empty: nothing owed
    QString m_owedTecnico;
    qint64 m_os = 0;
    int m_shownMood = -1;
    bool m_loadFailed = false;
    bool m_failed = false;      // the error path ran: close without writing
};
