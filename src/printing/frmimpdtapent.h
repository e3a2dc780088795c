#pragma once

#include "printer.h"
#include "store/recordcursor.h"

#include <QDialog>
#include <QImage>

class QLabel;
class QProgressBar;
class QPushButton;
class WindowTimer;

// "Relatório de Aparelho Consertado": prints the report of the delivered
// appliance IdApEntregueAtual on the default printer. It starts by itself
// half a second after it opens, shows its progress and closes when the page
// has gone to the printer; Cancel before that closes it without printing. A
// row that no longer exists prints nothing and is reported; a failed print
// is reported and the window stays open.
class FrmImpDtApEnt : public QDialog {
    Q_OBJECT
public:
    explicit FrmImpDtApEnt(QWidget* parent = nullptr);
    ~FrmImpDtApEnt() override;

    void Timer2_Timer();
    void BtFechar_Click();

    // Closing by any way before the job cancels it.
    void done(int result) override;

    const QImage& logo() const { return m_logo; }

private:
    void Form_Load();
    bool findRow();

    QPushButton* BtFechar = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* PgBar = nullptr;
    QLabel* Image1 = nullptr;
    WindowTimer* Timer2 = nullptr;
    RecordCursor DataOsApEnt;
    RecordCursor DataEmpresa;

    Printer m_printer;
    QImage m_logo;
    std::int32_t m_id = 0;      // the row the window was opened on
    bool m_loaded = false;
};
