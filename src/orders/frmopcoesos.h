#pragma once

#include "checkout.h"
#include "pricing.h"
#include "store/recordcursor.h"

#include <QDialog>
#include <array>

class BoundFields;
class QLabel;
class QLineEdit;
class QPushButton;
class ValidaSenhaOperador;

// Parts, labour and price of the open service order OsAtual, and its
// checkout. The operator types the material rows, the labour, a discount,
// the exit observations and the warranty days; "Calcular" computes the line
// values, the sub-total and the final value and stores them in the order's
// row; "Confirmar Saída", enabled once an operator holding BxOs typed a
// password, moves the order to the delivered appliances.
//
// Shown by the service-order window on its order. When the order has left,
// or the window could not load or failed, it ends with OrderClosed: the
// service-order window closes as well and the workshop list is brought up
// to date.
class FrmOpcoesOS : public QDialog {
    Q_OBJECT
public:
    // exec() result when the order's window must close too.
    static constexpr int OrderClosed = 2;

    explicit FrmOpcoesOS(QWidget* parent = nullptr);
    ~FrmOpcoesOS() override;

    // The window on OsAtual over `opener` (the active window when null), not
    // shown yet; nullptr when it could not load: its message was shown and a
    // service-order window that opened it was closed.
    static FrmOpcoesOS* create(QWidget* opener = nullptr);
    // Makes and shows the window modally over `opener`; when it ends with
    // OrderClosed (or cannot load), closes `opener` too. True then.
    static bool showFor(QWidget* opener);

    // The load failed (its message was shown); the window is not to be shown.
    bool loadFailed() const { return m_loadFailed; }

    // Handlers.
    void BtCalcular_Click();
    void BtCalc_Click();
    void BtFechar_Click();
    void BtDarSaída_Click();
    void Text1_Change();
    void Text1_LostFocus();
    void TxtPerc_Change();

    // The price computation on the boxes; false after its failure message.
    bool CalculaPreco();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The boxes typed are written first; a refused write keeps the window
    // open unless the operator closes it all the same.
    void done(int result) override;

private:
    enum class Saved { Yes, NotComputed, Failed };

    void buildWidgets();
    void Form_Load();
    // Each time the window is shown or back from a window it opened.
    void Form_Activate();
    // "Calcular": computes and writes the row. Failed: the write was refused
    // or the order is gone (then the window is closing).
    Saved calculateAndSave();
    void showWarrantyEnd();
    void showPriceBoxesFixed();
    void showStoredFinal();
    // The error path of the checkout and of a vanished order: the message,
    // then this window and the order's window close.
    void closeOnError(const QString& firstLine, const std::exception& e);
    // The order has left: the list, the message, the windows closed.
    void checkedOut();
    // The checkout values as the window shows them.
    Checkout::Exit exitShown() const;
    // The order's window and list after the order closed here.
    static void closeOrderWindow(QWidget* opener);
    static void refreshWorkshopList();
    Pricing::Boxes priceBoxes() const;
    void setPriceBoxes(const Pricing::Boxes& boxes);

    RecordCursor DataFrmOpcMnt;
    RecordCursor DataFrmOpcApEnt;
    RecordCursor DataOperador;
    BoundFields* m_bound = nullptr;
    ValidaSenhaOperador* m_check = nullptr;

    // The sum of the last computation in this opening of the window.
    Currency SubTotal;
    // The amounts of the last computation that went through.
    std::optional<Pricing::Amounts> m_amounts;
    qint64 m_os = 0;
    bool m_loadFailed = false;

    QLabel* Label3 = nullptr;
    std::array<QLabel*, 7> Lbl{};
    std::array<QLineEdit*, Pricing::Rows> TxtCod{};
    std::array<QLineEdit*, Pricing::Rows> TxtQtde{};
    std::array<QLineEdit*, Pricing::Rows> TxtId{};
    std::array<QLineEdit*, Pricing::Rows> TxtDescricao{};
    std::array<QLineEdit*, Pricing::Rows + 1> TxtVlUn{};
    std::array<QLineEdit*, Pricing::Rows> TxtVl{};
    QLineEdit* TxtTotal = nullptr;
    QLineEdit* TxtDesc = nullptr;
    QLineEdit* TxtPerc = nullptr;
    QLineEdit* TxtVlPerc = nullptr;
    QLineEdit* TxtVlFinal = nullptr;
    std::array<QLineEdit*, 3> TxtObs{};
    QLineEdit* Text1 = nullptr;
    std::array<QLabel*, 3> Label1{};
    QLineEdit* TxtOperador = nullptr;
    QPushButton* BtDarSaída = nullptr;
    QPushButton* BtFechar = nullptr;
    QPushButton* BtCalcular = nullptr;
    QPushButton* BtCalc = nullptr;
};
