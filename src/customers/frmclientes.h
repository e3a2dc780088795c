#pragma once

#include "store/recordcursor.h"

#include <QWidget>
#include <array>
#include <cstdint>

class BoundFields;
class DataGrid;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class WindowTimer;
class GridCellDelegate;

// The customers list: every customer in a grid, the current customer's fields
// beside it and his appliances below. A modeless list window of the main
// window (single instance, see WindowHost); it also works on its own.
//
// The current customer and appliance are published into the program-wide
// variables one timer tick after the cursors settle on a row:
// CodClienteAtual, and DadosSelecionados slots 15 to 20.
class FrmClientes : public QWidget {
    Q_OBJECT
public:
    explicit FrmClientes(QWidget* parent = nullptr);
    ~FrmClientes() override;

    // The main window's "Clientes" entry (menu, F2, toolbar): loads the list
    // when it is not open and shows or activates it. nullptr when the
    // database could not be read (the error was shown).
    static FrmClientes* open();
    // Loads the list when it is not open, without showing it.
    static FrmClientes* load();
    // A new list window, not yet adopted or shown; nullptr when the database
    // could not be read (the error was shown).
    static FrmClientes* create();
    // The database could not be read when the window was made.
    bool loadFailed() const { return m_loadFailed; }
    // Opens the list on a customer: moves its cursor to "Codigo = codigo" and
    // shows it. When no customer has that code the list stays on the row its
    // cursor stood on. Either way CodClienteAtual names the row shown.
    static FrmClientes* showOnCustomer(std::int32_t codigo);

    // The list's cursor, for the windows that move it (customer search).
    RecordCursor& dataFrmClientes() { return DataFrmClientes; }
    // Moves the list to a customer code and publishes the row shown at once.
    bool moveToCustomer(std::int32_t codigo);
    // Publishes the current customer (and his appliances) now instead of on
    // the next timer tick.
    void publishNow();

    // The text of the last name search, kept for the rest of the run.
    static QString rememberedSearch();

    // Handlers.
    void TimerGrid_Timer();
    void TimerAparelho_Timer();
    void OptNome_Click();
    void OptEndereco_Click();
    void OptBairro_Click();
    void OptCidade_Click();
    void OptCodigo_Click();
    void OptOperador_Click();
    void BtCad_Click();
    void BtEditar_Click();
    void BtExcluir_Click();
    void BtExAp_Click();
    void BtNvAp_Click();
    // Copies the current customer and appliance into DadosSelecionados for
    // the intake (after writing a pending appliance-cell edit).
    void BtFazerOs_Click();
    void BtLocCliente_Click();
    void BtFechar_Click();
    void Busca_Nome();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    void Form_Load();
    void LblCod_Change();
    void Label4_Change();
    void ConsultaApClientes();
    // Puts the current appliance (none: empty texts) into DadosSelecionados
    // slots 15 to 20.
    void selectAppliance();
    void sortBy(const QString& field);
    void addToCount(int delta);
    void setRowsUsable(bool usable);
    // Writes an appliance cell still being edited in the grid.
    void commitApplianceEdit();

    RecordCursor DataFrmClientes;
    RecordCursor DataApClientes;

    BoundFields* m_fields = nullptr;
    DataGrid* DBGrid1 = nullptr;
    DataGrid* DBGrid2 = nullptr;
    GridCellDelegate* m_cellDelegate = nullptr;
    std::array<QLabel*, 15> Lbl{};
    std::array<QLabel*, 15> Label1{};
    QLabel* LblCod = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* LblNumClientes = nullptr;
    QLineEdit* TxtBusca = nullptr;
    QRadioButton* OptNome = nullptr;
    QRadioButton* OptEndereco = nullptr;
    QRadioButton* OptBairro = nullptr;
    QRadioButton* OptCidade = nullptr;
    QRadioButton* OptCodigo = nullptr;
    QRadioButton* OptOperador = nullptr;
    QPushButton* BtCad = nullptr;
    QPushButton* BtEditar = nullptr;
    QPushButton* BtExcluir = nullptr;
    QPushButton* BtLocCliente = nullptr;
    QPushButton* BtNvAp = nullptr;
    QPushButton* BtExAp = nullptr;
    QPushButton* BtFazerOs = nullptr;
    QPushButton* BtFechar = nullptr;
    WindowTimer* TimerGrid = nullptr;
    WindowTimer* TimerAparelho = nullptr;
    bool m_loadFailed = false;
};
