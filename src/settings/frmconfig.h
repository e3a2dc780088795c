#pragma once

#include "store/recordcursor.h"

#include <QDialog>

class ListEditor;
class QListWidget;
class QPushButton;

// The settings window: the brands, the technicians and the appliance types
// that the other windows offer for choice, each kept by a list editor, and
// the way to the advanced settings. Reached through the gate FrmAcesso.
class FrmConfig : public QDialog {
    Q_OBJECT
public:
    explicit FrmConfig(QWidget* parent = nullptr);

    void BtNvMarca_Click();
    void BtExMarca_Click();
    void BtNvTecnico_Click();
    void BtExTecnico_Click();
    void BtNvTipo_Click();
    void BtExTipo_Click();
    void BtConfigAvanc_Click();
    void BtFechar_Click();

private:
    void Form_Load();

    RecordCursor DataMarca;
    RecordCursor DataTecnico;
    RecordCursor DataAparelho;

    QListWidget* List1 = nullptr;   // brands
    QListWidget* List2 = nullptr;   // appliance types
    QListWidget* List3 = nullptr;   // technicians
    ListEditor* m_marcas = nullptr;
    ListEditor* m_tecnicos = nullptr;
    ListEditor* m_aparelhos = nullptr;
    QPushButton* BtConfigAvanc = nullptr;
    QPushButton* BtFechar = nullptr;
};
