#pragma once

#include "printer.h"

#include <QDialog>
#include <QImage>

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class RecordCursor;
class WindowTimer;

// The print window of one service order, opened modally on Modulo::OsAtual.
// The operator chooses the customer's stub, the number tags and the previous
// repairs (or the stub alone) and starts the job; the window shows its
// progress, prints to the default printer and closes itself.
//
// The job counts each complete print in the order's Via (one atomic raise
// after the document went out). An order that no longer exists prints
// nothing and writes nothing.
class FrmImpressao : public QDialog {
    Q_OBJECT
public:
    explicit FrmImpressao(QWidget* parent = nullptr);
    ~FrmImpressao() override;

    void Check4_Click();
    void BtIniciar_Click();
    void BtFechar_Click();
    void Timer1_Timer();

    // The job's parts.
    void Canhoto_Cliente();
    void ImpManuAnteriores();

    // Closing by any way (the close box too) before the job cancels it.
    void done(int result) override;

    // The picture that the jobs print as the logo.
    const QImage& logo() const { return m_logo; }
    // The title line of the previous-repairs report of the last job.
    const QString& tituloRelatorio() const { return TituloRelatorio; }

private:
    void Form_Load();
    bool findOrder();
    void lockWindow();
    void missingOrder();

    QGroupBox* Frame1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check4 = nullptr;
    QPushButton* BtIniciar = nullptr;
    QPushButton* BtFechar = nullptr;
    QProgressBar* PgBar = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    WindowTimer* Timer1 = nullptr;
    RecordCursor* DataOs = nullptr;
    RecordCursor* DataEmpresa = nullptr;
    RecordCursor* DataSqlApManutencao = nullptr;
    RecordCursor* DataMntAnt = nullptr;

    Printer m_printer;
    QImage m_logo;
    QString TituloRelatorio;
    std::int32_t m_os = 0;      // the order the window was opened on
    bool m_loaded = false;      // the cursors opened
};
