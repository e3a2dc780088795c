#pragma once

#include <QWidget>

class QCalendarWidget;
class QLabel;
class QPushButton;

// The calendar: a month calendar that comes back to today whenever the window
// is activated. The one desk tool shown beside the main window (modeless).
class frmCalend : public QWidget {
    Q_OBJECT
public:
    explicit frmCalend(QWidget* parent = nullptr);

    void Form_Activate();
    void BtFechar_Click();

protected:
    bool event(QEvent* e) override;

private:
    QCalendarWidget* Calendario = nullptr;
    QPushButton* BtFechar = nullptr;
    QLabel* Image1 = nullptr;
};
