#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Explains the automatic backup; shown modally by the backup window. Its
// close button or a click anywhere on it closes it.
class FrmInfo : public QDialog {
    Q_OBJECT
public:
    explicit FrmInfo(QWidget* parent = nullptr);

    // The explanation shown.
    static QString text();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* LblTarvel[2] = {};
    QLabel* Label1 = nullptr;
    QPushButton* BtFechar = nullptr;
};
