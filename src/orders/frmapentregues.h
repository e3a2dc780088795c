#pragma once

#include "orderlist.h"

// The list of the delivered appliances: one row per checked-out order
// (TblApEntregues). A modeless list window of the main window ("Entregues",
// F4, the toolbar), with the shared list behaviour of OrderList; its filters
// go to SqlFiltroEntregues and TituloFiltroEntregues. From here the details
// of the current appliance (F11), the search by order or serial number (F10)
// and the printing of the list.
class FrmApEntregues : public OrderList {
    Q_OBJECT
public:
    explicit FrmApEntregues(QWidget* parent = nullptr);

    // The main window's entry: loads the list when it is not open and shows
    // or activates it. nullptr when the database could not be read.
    static FrmApEntregues* open();
    // A new list, not adopted or shown; nullptr when the database could not
    // be read (the error was shown).
    static FrmApEntregues* create();
    // The previous repairs of one appliance: loads the list when it is not
    // open, shows the rows of the query under the heading as a filter (count,
    // blinking indicator) and shows the list. Throws DbError (a refused
    // query, or one without rows: the list is back on the whole table then).
    static void showPreviousRepairs(const QString& query, const QString& heading);

    // The list's cursor, which the search dialog moves.
    RecordCursor& dataFrmApEnt() { return m_data; }

    // The text of the last name search, kept for the rest of the run.
    static QString rememberedSearch();

    void BtLocAp_Click() override;
    // The details of the current row (F11).
    void BtDetalhes_Click();
    void BtImprimir_Click() override;

protected:
    void openDetails() override { BtDetalhes_Click(); }

private:
    // IdApEntregueAtual = the current row's key; false (after the message) when there is no current row.
    bool takeCurrent(const QString& noRowMessage);
};
