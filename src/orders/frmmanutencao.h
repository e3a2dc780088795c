#pragma once

#include "orderlist.h"

// The list of the appliances in the workshop: one row per open service order
// (TblManutencao). A modeless list window of the main window ("Em
// Manutenção", F3, the toolbar), with the shared list behaviour of OrderList.
//
// After each refresh OsAtual holds the order of the last row; before the
// service order or the print window opens, the order of the current row.
class FrmManutencao : public OrderList {
    Q_OBJECT
public:
    explicit FrmManutencao(QWidget* parent = nullptr);

    // The main window's entry: loads the list when it is not open and shows
    // or activates it. nullptr when the database could not be read.
    static FrmManutencao* open();
    // A new list, not adopted or shown; nullptr when the database could not
    // be read (the error was shown).
    static FrmManutencao* create();

    // The list's cursor, which the search dialog moves and the checkout refreshes.
    RecordCursor& dataFrmApMnt() { return m_data; }

    // The text of the last name search, kept for the rest of the run.
    static QString rememberedSearch();

    void BtLocAp_Click() override;
    // The service order of the current row (F11).
    void BtOs_Click();
    void BtImprimir_Click() override;

protected:
    void openDetails() override { BtOs_Click(); }
    void lastRowShown() override;
};
