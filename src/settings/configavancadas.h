#pragma once

#include "store/recordcursor.h"

#include <QDialog>
#include <array>

class BoundFields;
class DataGrid;
class ListEditor;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class ValidaSenhaOperador;

// The advanced settings, one tab strip: the company record, the authorised
// brands, the labour prices and the statuses, the operators (and the
// windows that keep them), the messages printed on the customer's stub and
// the restrictions, which can only be shown, have their reason edited and be
// deleted. The company boxes and the restriction's reason are written as the
// window closes, whichever way it closes.
class ConfigAvancadas : public QDialog {
    Q_OBJECT
public:
    explicit ConfigAvancadas(QWidget* parent = nullptr);
    ~ConfigAvancadas() override;

    void BtSalvarMo_Click();
    void BtExcluirMo_Click();
    void List5_Click();
    void BtNvStatus_Click();
    void BtExStatus_Click();
    void BtNvOp_Click();
    void BtAltAcesso_Click();
    void BtExOp_Click();
    void BtAlSenha_Click();
    void BtExRestricao_Click();
    void BtNvRestricao_Click();
    void BtFechar_Click();

protected:
    // The company boxes and the reason typed are written first; a refused
    // write keeps the window open unless the operator closes it all the same.
    void done(int result) override;

private:
    void buildEmpresa(QWidget* tab);
    void buildAutorizado(QWidget* tab);
    void buildPrecosStatus(QWidget* tab);
    void buildOperadores(QWidget* tab);
    void buildMensagens(QWidget* tab);
    void buildRestricao(QWidget* tab);
    void Form_Load();
    void LimpaListBox();
    // Opens an operator window, then shows the operators again.
    void openOperatorWindow(QDialog* window);
    // OperadorSelecionado from the grid's current row; false without one.
    bool selectOperator();

    RecordCursor DataPcMo;
    RecordCursor DataEmpresa;
    RecordCursor DataStatus;
    RecordCursor DataOperador;
    RecordCursor DataRestricao;
    BoundFields* m_empresa = nullptr;
    BoundFields* m_restricao = nullptr;

    QTabWidget* SSTab1 = nullptr;
    QLabel* Image1 = nullptr;
    std::array<QLineEdit*, 12> TxtAut{};
    std::array<QLineEdit*, 3> Text1{};
    QLabel* LblMensagens = nullptr;

    QListWidget* List5 = nullptr;   // labour prices
    QListWidget* List6 = nullptr;   // their keys (hidden)
    QLineEdit* TxtAparelho = nullptr;
    QLineEdit* TxtPreco = nullptr;
    QListWidget* List1 = nullptr;   // statuses
    ListEditor* m_precos = nullptr;
    ListEditor* m_status = nullptr;
    int m_precoClicado = -1;        // the price line last clicked

    DataGrid* DBGrid1 = nullptr;
    DataGrid* DBGrid2 = nullptr;
    std::array<QLineEdit*, 9> TxtRest{};
    QLineEdit* TxtOperador = nullptr;
    QPushButton* BtExRestricao = nullptr;
    ValidaSenhaOperador* m_check = nullptr;
    QPushButton* BtFechar = nullptr;
};
