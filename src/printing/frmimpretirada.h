#pragma once

#include "printer.h"

#include <QDialog>
#include <QImage>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;
class RecordCursor;
class WindowTimer;

// The print window of a pickup receipt, opened modally on the receipt named
// by Modulo::IdRetiradaAtual. One second after it opens it prints both copies
// of the receipt on one page - the customer's, with the shop's data and its
// authorised brands, and the shop's, with the directions to the customer's
// address - and closes itself. Cancel before the job (or after a failed one)
// closes it without printing. Nothing is written to the database.
class FrmImpRetirada : public QDialog {
    Q_OBJECT
public:
    explicit FrmImpRetirada(QWidget* parent = nullptr);
    ~FrmImpRetirada() override;

    void TimerRetirada_Timer();
    void BtFechar_Click();
    // Closing by any way (the close box too) before the job cancels it.
    void done(int result) override;

    // The top of an appliance grid, in whole millimetres (halves to the even
    // number), when the grid's headings ended their line at y: y - 5. Throws
    // PrintError when it lies outside 0 to 255 (the grid would run off the page).
    static std::uint8_t topoTabela(double y);

    // The picture the job prints as the logo.
    const QImage& logo() const { return m_logo; }

private:
    void Form_Load();
    // The customer's copy, the cut line and the shop's copy.
    void viaCliente();
    void linhaDeCorte();
    void viaEmpresa();
    // "O Aparelho abaixo está sendo retirado para: " the shop " para reparo. "
    void sentence();
    // What both copies share below the customer: the rule, the sentence, the
    // appliance, the room for its state, blankLines empty lines and the
    // signature line.
    void corpo(int blankLines);
    // The appliance's column headings, grid, values and defect.
    void aparelho();
    void Tabela();
    void Conteudo_Tabela();
    // Where a title text in bold `size` points ends to stay short of `column`
    // of that font, in millimetres.
    double titleColumn(double size, int column) const;
    void rule();
    // A field of the company record or of the receipt, as stored.
    QString empresa(const QString& field) const;
    QString retirada(const QString& field) const;

    QLabel* Label1 = nullptr;
    QProgressBar* PgBar = nullptr;
    QPushButton* BtFechar = nullptr;
    QLabel* Image1 = nullptr;
    WindowTimer* TimerRetirada = nullptr;
    RecordCursor* DataRetirada = nullptr;
    RecordCursor* DataEmpresa = nullptr;

    Printer m_printer;
    QImage m_logo;
    QImage ImgTesoura;
    std::uint8_t TopoTabela = 0;
    qint64 m_id = -1;          // the receipt the window was opened on
    bool m_loaded = false;     // the cursors opened
};
