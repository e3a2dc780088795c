#pragma once

#include "store/recordcursor.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class ValidaSenhaOperador;

// "Nova Ordem de Serviço": takes an appliance into the workshop under a new
// service order. The customer and the appliance come in DadosSelecionados
// (slots 0 to 13 and 15 to 20); a warranty return (RetornoGarantia) comes
// with the earlier repair's technician (TecnicoRetorno) and warranty end
// (DataLimiteRetorno). An operator holding the right EmOs enables the
// confirmation, which checks the entry and adds one TblManutencao row with
// status "EM SERVIÇO". The window stays open after a saved order; however
// it closes, DadosSelecionados is emptied.
class FrmEntrada : public QDialog {
    Q_OBJECT
public:
    explicit FrmEntrada(QWidget* parent = nullptr);
    ~FrmEntrada() override;

    // Opens the window modally and returns when it has closed.
    static void run();

    // Handlers.
    void BtEntrada_Click();
    void BtFechar_Click();
    void ComboAparelho_Click();
    void Option1_Click(int index);

    // A serial number for an appliance that has none (company's Sigla).
    QString GeraNumSerie2();

protected:
    void done(int result) override;

private:
    void buildWidgets();
    void Form_Load();
    void Form_Unload();
    // "Aparelho = '...' AND Marca = '...' AND Modelo = '...' AND NumSerie = '...'".
    QString applianceCriterion() const;
    // The open order with the criterion, looked up in the table as it stands
    // now; false when there is none. On true the cursor stands on it.
    bool findOpenOrder(const QString& criterion);
    void showDuplicate();
    // The restriction checks; false when the intake is refused.
    bool restrictionsAllow(const QString& applianceCriterion);
    // Adds the order in one transaction with a last duplicate check; returns
    // its number, 0 when an open order for the appliance came meanwhile.
    qint64 saveOrder(const QString& criterion);
    void afterSave(qint64 os);
    // The print offer's Yes: the order OsAtual in the print window.
    void printOrder();
    // The selected type option, -1 when none.
    int selectedType() const;
    void setWarrantyBoxesOpen(bool open);

    RecordCursor DataFrmEntrada;
    RecordCursor DataMarca;
    RecordCursor DataAparelho;
    RecordCursor DataOperador;
    RecordCursor DataTecnico;
    RecordCursor DataRestricao;
    RecordCursor DataEmpresa;
    ValidaSenhaOperador* m_check = nullptr;

    // Label(0)..Label(14): captions of the customer block (no Label(7)).
    std::array<QLabel*, 15> Label{};
    // Lbl(0)..Lbl(13): the customer's values; Lbl(15)..Lbl(29): captions of
    // the appliance and order widgets, Lbl(n) beside Txt(n).
    std::array<QLabel*, 30> Lbl{};
    // Txt(17)..Txt(27).
    std::array<QLineEdit*, 28> Txt{};
    QComboBox* ComboAparelho = nullptr;
    // Combo(1) brands, Combo(3) technicians.
    std::array<QComboBox*, 4> Combo{};
    QComboBox* ComboDpto = nullptr;
    QLineEdit* TxtOperador = nullptr;
    std::array<QRadioButton*, 3> Option1{};
    QRadioButton* OptInterno = nullptr;
    QRadioButton* OptExterno = nullptr;
    QRadioButton* OptNormal = nullptr;
    QRadioButton* OptUrgente = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* BtEntrada = nullptr;
    QPushButton* BtFechar = nullptr;
    QLabel* Label3 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QGroupBox* Frame6 = nullptr;
    QGroupBox* Frame7 = nullptr;
    bool m_unloaded = false;
};
