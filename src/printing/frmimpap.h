#pragma once

#include "store/recordcursor.h"

#include <QDialog>
#include <QImage>

class Printer;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The print window of the list of appliances in repair, opened modally by
// the list with OsAtual set to its current order. It prints the whole
// workshop table as a landscape report, one line per order (43 orders on the
// first page, 44 on each next one, each page under its own header), or hands
// the selected order to the service-order print window. The two query
// options are shown unavailable: a filter on screen does not reach the paper.
class FrmImpAp : public QDialog {
    Q_OBJECT
public:
    explicit FrmImpAp(QWidget* parent = nullptr);
    ~FrmImpAp() override;

    void BtImprimir_Click();
    void BtFechar_Click();

    // The picture the report prints as the logo.
    const QImage& logo() const { return m_logo; }

private:
    void Form_Load();
    void RelatorioCompleto();
    void Cabecalho(Printer& printer);
    void printRow(Printer& printer);

    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option4 = nullptr;
    QRadioButton* Option3 = nullptr;
    QPushButton* BtImprimir = nullptr;
    QPushButton* BtFechar = nullptr;
    QLabel* Image1 = nullptr;

    RecordCursor DataEmpresa;
    RecordCursor DataOs;
    QImage m_logo;
    QString m_titulo;       // the report's title
};
