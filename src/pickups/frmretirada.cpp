#include "frmretirada.h"

#include "app/appicons.h"
#include "app/shadowtitle.h"
#include "frmnvretirada.h"
#include "receiptprint.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "ui/boundfields.h"
#include "ui/errormessage.h"
#include "ui/gridmodel.h"
#include "ui/messagebox.h"
#include "ui/namesearch.h"
#include "ui/twips.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString ListTitle = QStringLiteral("Comprovante de Retirada");
const QString PrintTitle = QStringLiteral("Impressão de Comprovante de Retirada");
const QString DeleteTitle = QStringLiteral("Exclusão de Comprovante de Retirada");

// Typing limits of the detail boxes Txt(0) to Txt(15); 0: none.
constexpr std::array<int, ReceiptForm::Count> Limits = {35, 35, 12, 15, 15, 2, 15, 15, 50, 50, 50, 0, 0, 0, 16, 95};

const QColor GridText(0, 0, 128);

QString sortQuery(const QString& field) { return QStringLiteral("SELECT * FROM TblRetirada ORDER BY ") + field; }

} // namespace

FrmRetirada::FrmRetirada(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmRetirada"));
    setWindowTitle(ListTitle);
    buildWidgets();
    WindowKeys::install(this);
    Form_Load();
}

FrmRetirada::~FrmRetirada() = default;

void FrmRetirada::buildWidgets() {
    auto* root = new QGridLayout(Widgets::scrollingBody(this));
    root->setContentsMargins(6, 6, 6, 6);
    root->setHorizontalSpacing(8);
    root->setVerticalSpacing(6);

    // Heading with the product's picture.
    auto* heading = new QHBoxLayout;
    auto* picture = Widgets::label(this, QStringLiteral("Image1"), QString());
    picture->setPixmap(AppIcons::toolbar(QStringLiteral("Retirada")).pixmap(40, 40));
    heading->addWidget(picture);
    auto* shadow = Widgets::label(this, QStringLiteral("Label1(0)"), ListTitle);
    auto* front = Widgets::label(this, QStringLiteral("Label1(1)"), ListTitle);
    QFont titleFont = font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    shadow->setFont(titleFont);
    front->setFont(titleFont);
    heading->addWidget(new ShadowTitle(shadow, front, this, Qt::AlignLeft | Qt::AlignVCenter), 1);
    auto* product = Widgets::label(this, QStringLiteral("LblProduto"), QStringLiteral("Tarvel"));
    QFont productFont = font();
    productFont.setBold(true);
    productFont.setItalic(true);
    productFont.setPointSizeF(productFont.pointSizeF() * 1.3);
    product->setFont(productFont);
    heading->addWidget(product);
    auto* picture2 = Widgets::label(this, QStringLiteral("Image2"), QString());
    picture2->setPixmap(AppIcons::toolbar(QStringLiteral("Manutencao")).pixmap(40, 40));
    heading->addWidget(picture2);
    root->addLayout(heading, 0, 0, 1, 2);

    // The receipts.
    DBGrid1 = new DataGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setColumns({{QStringLiteral("Nome"), QStringLiteral("Nome"), Twips::toPixels(3000)},
                         {QStringLiteral("End"), QStringLiteral("Endereco"), Twips::toPixels(3000)},
                         {QStringLiteral("Bairro"), QStringLiteral("Bairro"), Twips::toPixels(1500)},
                         {QStringLiteral("Cidade"), QStringLiteral("Cidade"), Twips::toPixels(1500)},
                         {QStringLiteral("Estado"), QStringLiteral("Estado"), Twips::toPixels(700)},
                         {QStringLiteral("Operador"), QStringLiteral("OPERADOR"), Twips::toPixels(1800)},
                         {QStringLiteral("DataEmissao"), QStringLiteral("DATA"), Twips::toPixels(1400), FieldFormat::ShortDate},
                         {QStringLiteral("HoraEmissao"), QStringLiteral("HORA"), Twips::toPixels(1200), FieldFormat::Time},
                         {QStringLiteral("IdRetirada"), QStringLiteral("Numero"), Twips::toPixels(800),
                          FieldFormat::Auto, Qt::AlignRight | Qt::AlignVCenter, {GridValues::Number}}});
    {
        QPalette p = DBGrid1->view()->palette();
        p.setColor(QPalette::Base, TextEntry::toolTipBase());
        p.setColor(QPalette::Text, GridText);
        DBGrid1->view()->setPalette(p);
    }
    root->addWidget(DBGrid1, 1, 0, 1, 2);

    // The current receipt.
    Txt.make(this, Limits, TextEntry::Rules(TextEntry::UpperCase) | TextEntry::NoApostrophe);
    Txt.setTextColour(QColor(0, 0, 192));
    auto* cliente = new QGroupBox(QStringLiteral("Dados do Cliente"), this);
    cliente->setObjectName(QStringLiteral("FrameCliente"));
    auto* cg = new QGridLayout(cliente);
    cg->setHorizontalSpacing(6);
    cg->setVerticalSpacing(4);
    ReceiptForm::placeBoxes(cg, cliente, Txt,
                            {{0, "Nome:", 0, 0, 5}, {1, "Endereço:", 1, 0, 3}, {2, "Complemento", 1, 4},
                             {3, "Bairro:", 2, 0}, {4, "Cidade:", 2, 2}, {5, "Estado:", 2, 4},
                             {6, "Tel. Residência", 3, 0}, {7, "Celular:", 3, 2, 3}, {8, "Localização:", 4, 0, 5},
                             {9, nullptr, 5, 0, 5}, {10, nullptr, 6, 0, 5}});
    Txt.box(5)->setMaximumWidth(Txt.box(5)->fontMetrics().horizontalAdvance(QStringLiteral("WWW")) + 12);
    cg->setColumnStretch(1, 1);
    cg->setColumnStretch(3, 1);
    root->addWidget(cliente, 2, 0);

    auto* aparelho = new QGroupBox(QStringLiteral("Dados do Aparelho"), this);
    aparelho->setObjectName(QStringLiteral("FrameAparelho"));
    auto* ag = new QGridLayout(aparelho);
    ag->setHorizontalSpacing(6);
    ag->setVerticalSpacing(4);
    ReceiptForm::placeBoxes(ag, aparelho, Txt,
                            {{11, "Tipo", 0, 0}, {12, "Marca", 1, 0}, {13, "Modelo", 2, 0}, {14, "Num Série", 3, 0},
                             {15, "Defeito", 4, 0}});
    ag->setRowStretch(5, 1);

    // Sorting, search and buttons beside the appliance.
    auto* side = new QVBoxLayout;
    side->addWidget(aparelho);
    auto* sortFrame = new QGroupBox(QStringLiteral("Classificar"), this);
    sortFrame->setObjectName(QStringLiteral("FrameClassificar"));
    auto* sortLayout = new QGridLayout(sortFrame);
    sortLayout->setVerticalSpacing(2);
    const auto option = [sortFrame, sortLayout](const char* name, const QString& text) {
        auto* o = new QRadioButton(text, sortFrame);
        o->setObjectName(QString::fromLatin1(name));
        const int n = sortLayout->count();
        sortLayout->addWidget(o, n / 3, n % 3);
        return o;
    };
    OptNome = option("OptNome", QStringLiteral("Nome"));
    OptEndereco = option("OptEndereco", QStringLiteral("Endereço"));
    OptBairro = option("OptBairro", QStringLiteral("Bairro"));
    OptData = option("OptData", QStringLiteral("Data"));
    OptOperador = option("OptOperador", QStringLiteral("Operador"));
    OptData->setChecked(true);
    side->addWidget(sortFrame);

    auto* searchFrame = new QGroupBox(QStringLiteral(" Digite um Nome para Pesquisar "), this);
    searchFrame->setObjectName(QStringLiteral("FrameBusca"));
    auto* searchLayout = new QHBoxLayout(searchFrame);
    TxtBusca = Widgets::lineEdit(searchFrame, QStringLiteral("TxtBusca"));
    NameSearch::prepareBox(TxtBusca, 30, QStringLiteral("Pesquisar Cliente pelo Nome"), true);
    searchLayout->addWidget(TxtBusca);

    BtCad = Widgets::pictureButton(this, QStringLiteral("BtCad"), AppIcons::toolbar(QStringLiteral("Retirada")),
                                   QStringLiteral("Criar Novo Comprovante"));
    BtImpressao = Widgets::pictureButton(this, QStringLiteral("BtImpressao"), QIcon(AppIcons::printer(64)),
                                         QStringLiteral("Imprimir"));
    BtExcluir = Widgets::pictureButton(this, QStringLiteral("BtExcluir"), style()->standardIcon(QStyle::SP_TrashIcon),
                                       QStringLiteral("Excluir Registro Selecionado"));
    BtFechar = Widgets::pictureButton(this, QStringLiteral("BtFechar"), style()->standardIcon(QStyle::SP_DialogCloseButton),
                                      QStringLiteral("Fechar"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(searchFrame, 1);
    for (QPushButton* b : {BtCad, BtImpressao, BtExcluir, BtFechar}) buttons->addWidget(b, 0, Qt::AlignBottom);
    side->addLayout(buttons);
    root->addLayout(side, 2, 1);
    root->setColumnStretch(0, 3);
    root->setColumnStretch(1, 2);
    root->setRowStretch(1, 1);

    connect(OptNome, &QRadioButton::clicked, this, &FrmRetirada::OptNome_Click);
    connect(OptEndereco, &QRadioButton::clicked, this, &FrmRetirada::OptEndereco_Click);
    connect(OptBairro, &QRadioButton::clicked, this, &FrmRetirada::OptBairro_Click);
    connect(OptData, &QRadioButton::clicked, this, &FrmRetirada::OptData_Click);
    connect(OptOperador, &QRadioButton::clicked, this, &FrmRetirada::OptOperador_Click);
    connect(TxtBusca, &QLineEdit::returnPressed, this, &FrmRetirada::Busca_Nome);
    connect(BtCad, &QPushButton::clicked, this, &FrmRetirada::BtCad_Click);
    connect(BtImpressao, &QPushButton::clicked, this, &FrmRetirada::BtImpressao_Click);
    connect(BtExcluir, &QPushButton::clicked, this, &FrmRetirada::BtExcluir_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmRetirada::BtFechar_Click);

    setTabOrder(DBGrid1->view(), Txt.box(0));
    for (int i = 0; i + 1 < ReceiptForm::Count; ++i) setTabOrder(Txt.box(i), Txt.box(i + 1));
    resize(1180, 720);
}

void FrmRetirada::Form_Load() {
    // An unreadable table opens an empty list.
    try {
        DataRetirada.open(ProgramFolder::databasePath(), QStringLiteral("TblRetirada"));
        DataRetirada.moveLast();
    } catch (const std::exception&) {
    }
    m_fields = new BoundFields(&DataRetirada, this);
    for (int i = 0; i < ReceiptForm::DefectBox; ++i) m_fields->bind(Txt.line[std::size_t(i)], ReceiptForm::field(i));
    m_fields->bind(Txt.defect, ReceiptForm::field(ReceiptForm::DefectBox));
    DBGrid1->bindCursor(&DataRetirada);
    connect(&DataRetirada, &RecordCursor::currentChanged, this, &FrmRetirada::showCurrent);
    showCurrent();
    Modulo::NovaRetiradaSalva = false;
}

void FrmRetirada::showCurrent() { Txt.setReadOnly(!DataRetirada.isOpen() || !DataRetirada.hasCurrent()); }

bool FrmRetirada::writePending() {
    try {
        m_fields->commit();
        return true;
    } catch (const std::exception& e) {
        BoundFields::showWriteError(e, ListTitle);
        return false;
    }
}

bool FrmRetirada::readInOrder(const QString& field, bool forFind) {
    // The edit on screen is written first: when the disk refuses it the list
    // keeps its rows, and the source they were read from.
    if (!writePending()) return false;
    WaitCursor wait;
    DataRetirada.setRecordSource(sortQuery(field));
    forFind ? DataRetirada.refreshForFind() : DataRetirada.refresh();
    return true;
}

void FrmRetirada::sortBy(const QString& field) {
    try {
        readInOrder(field, false);
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível classificar a lista de Comprovantes de Retirada.")},
                  ErrorInfo::from(e), QStringLiteral("%1_%2_%3"), ListTitle);
    }
}

void FrmRetirada::OptBairro_Click() { sortBy(QStringLiteral("Bairro")); }
void FrmRetirada::OptData_Click() { sortBy(QStringLiteral("DataEmissao")); }
void FrmRetirada::OptEndereco_Click() { sortBy(QStringLiteral("End")); }
void FrmRetirada::OptNome_Click() { sortBy(QStringLiteral("Nome")); }
void FrmRetirada::OptOperador_Click() { sortBy(QStringLiteral("Operador")); }

void FrmRetirada::Busca_Nome() {
    try {
        // Every search reads the list again in name order, whichever option
        // is shown: receipts other copies stored meanwhile are found too.
        if (!readInOrder(QStringLiteral("Nome"), true)) return;
        if (NameSearch::find(DataRetirada, TxtBusca)) DBGrid1->view()->setFocus();
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível pesquisar o Nome digitado.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), ListTitle);
    }
}

void FrmRetirada::BtCad_Click() {
    WindowHost::showModal(new FrmNvRetirada);
    if (!Modulo::NovaRetiradaSalva) return;
    Modulo::NovaRetiradaSalva = false;
    try {
        DataRetirada.refresh();
        DataRetirada.moveLast();
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível ler a lista de Comprovantes de Retirada.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), ListTitle);
    }
}

bool FrmRetirada::confirmOnCurrent(const QString& none, const QString& noneTitle, const QString& question,
                                   const QString& questionTitle, MsgAnswer defaultAnswer) {
    if (!DataRetirada.isOpen() || !DataRetirada.hasCurrent()) {
        MsgBox(none, MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, noneTitle);
        return false;
    }
    return MsgBox(question, MsgButtons::YesNo, MsgIcon::Question, defaultAnswer, questionTitle) == MsgAnswer::Yes;
}

void FrmRetirada::BtImpressao_Click() {
    if (!confirmOnCurrent(QStringLiteral("Não existe Nenhum Comprovante de Retirada a ser Impresso"), PrintTitle,
                          QStringLiteral("Confirma a Impressão deste Comprovante de Retirada"), ListTitle,
                          MsgAnswer::Yes))
        return;
    // The paper shows what the screen shows.
    if (!writePending()) return;
    try {
        Modulo::IdRetiradaAtual = DataRetirada.number(QStringLiteral("IdRetirada"));
    } catch (const std::exception& e) {
        ShowError({QStringLiteral("Não foi possível ler o Comprovante de Retirada selecionado.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), PrintTitle);
        return;
    }
    ReceiptPrint::show();
}

void FrmRetirada::BtExcluir_Click() {
    if (!confirmOnCurrent(QStringLiteral("Selecione o Comprovante de Retirada a ser Excluido"), DeleteTitle,
                          QStringLiteral("Confirma a Exclusão do Comprovante de Retirada Selecionado"), DeleteTitle,
                          MsgAnswer::No))
        return;
    try {
        DataRetirada.deleteCurrent();
        DataRetirada.moveNext();
        if (DataRetirada.eof()) DataRetirada.moveFirst();
    } catch (const std::exception& e) {
        try {
            DataRetirada.requery();
        } catch (const std::exception&) {
        }
        ShowError({QStringLiteral("Não foi possível excluir o Comprovante de Retirada selecionado.")},
                  ErrorInfo::from(e), QStringLiteral("%1_%2_%3"), DeleteTitle);
    }
}

void FrmRetirada::BtFechar_Click() { close(); }
