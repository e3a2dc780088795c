#pragma once

#include "appliancesearch.h"
#include "store/recordcursor.h"

#include <QPointer>

class FrmManutencao;

// Finds an appliance in the workshop by its order or serial number and moves
// the in-repair list to it. It looks in the whole workshop table first; an
// order number that is no longer there but among the delivered appliances is
// answered with when and by whom it was checked out.
class FrmLocAp : public ApplianceSearch {
    Q_OBJECT
public:
    explicit FrmLocAp(FrmManutencao* list, QWidget* parent = nullptr);

    // The text of the last search, kept for the rest of the run.
    static QString rememberedSearch();

protected:
    void searchOrder(qint64 os) override;
    void searchSerial(const QString& serial) override;

private:
    // Moves the list to the first row matching the criterion (it may not hold it) and closes.
    void showInList(const QString& criterion);

    QPointer<FrmManutencao> m_list;
    RecordCursor DataMnt;
    RecordCursor DataApEntregue;
};
