#pragma once

#include "store/recordcursor.h"

#include <QDialog>
#include <QImage>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// "Relatório de Aparelhos  Entregues": the print dialog of the delivered
// list. "OS Selecionada" (chosen when it opens) prints the report of the
// appliance IdApEntregueAtual (FrmImpDtApEnt); "Relatório Completo" prints
// every delivered appliance; "Apenas a Consulta" is shown unavailable, so a
// filter on screen does not reach the paper.
class FrmImpApEntr : public QDialog {
    Q_OBJECT
public:
    explicit FrmImpApEntr(QWidget* parent = nullptr);
    ~FrmImpApEntr() override;

    void BtImprimir_Click();
    void BtFechar_Click();

    const QImage& logo() const { return m_logo; }

private:
    void Form_Load();
    // Prints the rows of a record source under a title; false after the
    // failure message.
    bool printList(const QString& source, const QString& title);

    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QPushButton* BtImprimir = nullptr;
    QPushButton* BtFechar = nullptr;
    QLabel* Image1 = nullptr;
    RecordCursor DataOs;
    RecordCursor DataEmpresa;

    QImage m_logo;
    QString TituloRelatorio;
};
