#pragma once

#include "appliancesearch.h"
#include "store/recordcursor.h"

#include <QPointer>

// Finds a delivered appliance by its order or serial number in the delivered
// list's cursor (within the list's current query, a filter included) and
// leaves the list on it. It has no cursor of its own. When nothing is found
// the list's query is read again and the list stands on its last row.
class FrmLocApEntregue : public ApplianceSearch {
    Q_OBJECT
public:
    // listCursor: the delivered list's cursor (DataFrmApEnt).
    explicit FrmLocApEntregue(RecordCursor* listCursor, QWidget* parent = nullptr);

    // The text of the last search, kept for the rest of the run.
    static QString rememberedSearch();

protected:
    void searchOrder(qint64 os) override;
    void searchSerial(const QString& serial) override;

private:
    // Finds the first row of the list; false (the list read again, on its last row) when none.
    bool find(const QString& criterion);

    QPointer<RecordCursor> m_list;
};
