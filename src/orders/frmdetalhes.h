#pragma once

#include "store/recordcursor.h"

#include <QDialog>
#include <QStringList>
#include <array>

class BoundFields;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Detalhes do Aparelho Entregue": one delivered appliance (the row
// IdApEntregueAtual of TblApEntregues), read-only: the order, the customer
// copy, the appliance, the factory warranty, the exit with the amount charged
// and the stored service report. From here the repaired-appliance report is
// printed, the customer opened in the customers list, or a new service order
// started for the appliance - a service-warranty return while its warranty
// holds.
class FrmDetalhes : public QDialog {
    Q_OBJECT
public:
    // The result of a window closed by BtRetorno: its opener closes the
    // delivered list and then calls startNewOrder().
    static constexpr int NovaOrdem = 2;

    explicit FrmDetalhes(QWidget* parent = nullptr);
    ~FrmDetalhes() override;

    void BtImpressao_Click();
    void BtCadCliente_Click();
    void BtRetorno_Click();
    void BtFechar_Click();

    // Closes the delivered list and opens the intake on DadosSelecionados
    // (a warranty return when RetornoGarantia is set).
    static void startNewOrder();

    // Whether the window found its row (IdApEntregueAtual).
    bool found() const { return m_found; }
    // The service report as built by the load, one text per line.
    QStringList reportLines() const;

    // The service report of a delivered row, one text per line.
    static QStringList Relatorio(const RecordCursor& row);

private:
    void buildWidgets();
    void Form_Load();

    RecordCursor DataApEntregue;
    BoundFields* m_bound = nullptr;

    // Frame "Ordem de Serviço".
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    // Frame "Saída".
    QLabel* Label8 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    // Frame "Dados do Cliente": captions Label(i) and values Lbl(i), 0..11.
    std::array<QLabel*, 12> Label{};
    std::array<QLabel*, 12> Lbl{};
    // Frames "Dados do Aparelho" (12, 15..23) and "Garantia de Fábrica" (24..27).
    std::array<QLineEdit*, 28> Txt{};
    QListWidget* List1 = nullptr;

    QPushButton* BtImpressao = nullptr;
    QPushButton* BtRetorno = nullptr;
    QPushButton* BtFechar = nullptr;
    QPushButton* BtCadCliente = nullptr;
    QPushButton* BtRecibo = nullptr;

    bool m_found = false;
};
