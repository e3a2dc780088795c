#pragma once

#include "operators/operatorcontrols.h"

#include <QDialog>
#include <memory>

class QGroupBox;
class QLabel;
class QProgressBar;
class RecordCursor;
class WaitCursor;
class WindowTimer;

// The log-in window shown at start-up.
//
// exec() returns Accepted once an operator holding Ini logged in:
// Modulo::NomeOperadorAtual holds the name and, at the first log-in of the
// day, the daily update has run. It returns Rejected when the start was
// refused (another copy runs for this user, a small screen declined, the
// database unreadable) or cancelled; the caller then ends the program. The
// running-copies counter TblConfig.Qtde has then already been lowered, but
// for an unreadable database.
class FrmInicializar : public QDialog, protected OperatorControls {
    Q_OBJECT
public:
    explicit FrmInicializar(QWidget* parent = nullptr);
    ~FrmInicializar() override;

    int exec() override;
    void reject() override;

    // The greeting for a time of day ("Bom Dia:", "Boa Tarde:", "Boa Noite:"
    // or empty), the time compared as a 24-hour "HH:mm:ss" text.
    static QString saudacao(const QTime& time);

    // Heights of the window (twips): at start, and while updating.
    static constexpr int StartHeight = 3420;
    static constexpr int UpdateHeight = 5000;

protected:
    void BtOk_Click() override;
    void BtFechar_Click() override;

private:
    bool Form_Load();
    void Timer1_Timer();   // the daily update
    void Timer2_Timer();   // the clock
    void lowerCounter();

    QGroupBox* Frame1 = nullptr;
    QLabel* Label2 = nullptr;   // greeting
    QLabel* Label3 = nullptr;   // long date
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;   // clock
    QLabel* Lbl[4] = {};
    QProgressBar* ProgressBar1 = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    WindowTimer* Timer1 = nullptr;
    WindowTimer* Timer2 = nullptr;
    RecordCursor* DataAcesso = nullptr;

    std::unique_ptr<WaitCursor> m_wait;
    bool m_loaded = false;
    bool m_refused = false;        // the load ended the start
    bool m_counterLowered = false;
    bool m_loggingIn = false;      // BtOk pressed: the window closes itself
};
