#pragma once

#include "store/recordcursor.h"
#include "ui/gridmodel.h"

#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class WindowTimer;

// A column of a list of orders: its width in twips, the widest forms of its
// values (GridColumn::widest).
GridColumn listColumn(const char* field, const char* title, int twips, FieldFormat format = FieldFormat::Auto,
                      Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter, const QStringList& widest = {});

// The fixed values of an order's type, priority and place of service.
namespace OrderValues {
extern const QStringList Tipos;
extern const QStringList Prioridades;
extern const QStringList Atendimentos;
}

// What makes one list of orders: its table, headings and columns, the order
// of its filters and the program-wide variables it writes.
struct OrderListSetup {
    QString objectName;          // "FrmManutencao"
    QString caption;             // the window's caption
    QString table;               // "TblManutencao"
    QString heading;             // the grid's heading while no filter is on
    QString filterPrefix;        // the filter heading begins with it
    bool filterNamesField = false; // the filter heading names the field in capitals (else the column heading)
    QString filterOrder;         // ORDER BY of a filter on text, numbers, money, yes/no
    QString dateFilterOrder;     // ORDER BY of a filter on a date or a time
    QList<GridColumn> columns;
    QString detailsButton;       // "BtOs", "BtDetalhes"
    QString detailsToolTip;
    QString resetToolTip;
    QString errorTitle;          // title of the list's own error messages
    QString* sqlFilter = nullptr;   // program-wide: the last filter's query
    QString* filterTitle = nullptr; // program-wide: the last filter's heading
    QString* lastSearch = nullptr;  // the remembered name search (lives for the run)
    // F10 and F11 open their windows on an empty list too (else they wait,
    // like their buttons, for rows).
    bool keysWithoutRows = false;
    // The filter indicator stands at the window's top left corner, over the
    // grid's heading (else on the bottom panel beside the count).
    bool indicatorAtTop = false;
    // The bottom buttons show their pictures alone, the words in their tool
    // tips (else the words too while the panel has room).
    bool picturesOnly = false;
};

// The behaviour the lists of orders share (the appliances in repair and the
// delivered ones): a grid bound to the list's cursor with a heading and a
// count beside it; the refresh that stands on the last row; the name search
// that first orders the list by name; the cell filter of a double click with
// its blinking red indicator; the reset; F5 (reset), F10 (search dialog) and
// F11 (details) wherever the focus is in the window.
//
// A list is a modeless child window of the main window (see WindowHost). A
// concrete list builds its setup, calls Form_Load() from its constructor and
// gives the three buttons that open other windows.
class OrderList : public QWidget {
    Q_OBJECT
public:
    ~OrderList() override;

    // The list's cursor: the whole table, the table ordered by name or the
    // query of a filter. Other windows move it (search dialogs) or refresh it.
    RecordCursor& listCursor() { return m_data; }

    // Refresh, last row, count (and what the list keeps of its last row).
    // Throws DbError.
    void AtualizaData();
    // Enter in the search field: the first name that begins with the text.
    void Busca_Nome();
    // Double click on a cell: lists the rows holding the same value.
    void DBGrid1_DblClick();
    // F5: back to the whole table, indicator off, heading and count.
    void BtReset_Click();
    void BtMove1_Click();
    void BtFechar_Click();
    void Timer2_Timer();

    // Shows a query of the list's table as a filter: its rows, the heading,
    // the blinking indicator and the count. Throws DbError (a refused query,
    // or a query without rows).
    void showFilter(const QString& sql, const QString& heading);
    bool filtered() const;
    bool orderedByName() const { return m_byName; }
    // The count label Label1 (other windows write it after removing a row).
    QString countText() const;
    void setCountText(const QString& text);
    // The database could not be read when the window was made.
    bool loadFailed() const { return m_loadFailed; }

protected:
    OrderList(OrderListSetup setup, QWidget* parent);

    // Opens the cursor on the whole table and shows it; false (after the
    // message) when the database could not be read.
    bool Form_Load();

    // The list's other windows.
    virtual void BtLocAp_Click() = 0;
    virtual void openDetails() = 0;
    virtual void BtImprimir_Click() = 0;
    // After each refresh, standing on the last row (there is one).
    virtual void lastRowShown() {}

    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // The heading of the grid's column of a field, "" when none.
    QString headingOf(const QString& field) const;

    const OrderListSetup m_setup;
    RecordCursor m_data;
    DataGrid* DBGrid1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QLabel*, 2> Label3{};
    QLineEdit* TxtBusca = nullptr;
    QLabel* Shape1 = nullptr;
    WindowTimer* Timer2 = nullptr;
    QPushButton* BtDetails = nullptr;
    QPushButton* BtLocAp = nullptr;
    QPushButton* BtImprimir = nullptr;
    QPushButton* BtReset = nullptr;
    QPushButton* BtFechar = nullptr;
    QPushButton* BtMove1 = nullptr;

private:
    void buildWidgets();
    // Buttons that need rows are enabled only while the list has some.
    void enableForRows();
    void stopIndicator();
    QString tableSource() const { return m_setup.table; }

    bool m_byName = false;    // OrdenadoPorNome
    // Words on the buttons while the panel has room for them.
    void fitButtons();

    bool m_placed = false;    // first shown: the frame fills the main window's area
    int m_panelFullWidth = 0; // the panel's width with the buttons' words
    bool m_loadFailed = false;
};
