#include "frmconfig.h"

#include "configavancadas.h"
#include "listeditor.h"
#include "settingsrow.h"
#include "store/programfolder.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"
#include "ui/windowkeys.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Configurações");

// What the three lists have in common; the rest is each one's own wording.
ListFamily family(const QString& table, const QString& field, int maxRows, int maxLength) {
    ListFamily f;
    f.table = table;
    f.field = field;
    f.maxRows = maxRows;
    f.maxLength = maxLength;
    f.lengthTitle = Title;
    f.selectionTitle = Title;
    f.noticeTitle = Title;
    return f;
}

ListFamily marcas() {
    ListFamily f = family(QStringLiteral("TblMarca"), QStringLiteral("Marca"), 15, 16);
    f.limitMessage = QStringLiteral("Número Máximo de Marcas Excedido");
    f.prompt = QStringLiteral("Digite a \" Nova Marca\"");
    f.lengthMessage = QStringLiteral("Digite o Nome da Marca com no Máximo 16 Caracteres");
    f.selectionMessage = QStringLiteral("Selecione a Marca a ser Excluída !!!");
    f.notice = [](const QString& name) {
        return quotedNotice(QStringLiteral("A Marca:"), name, QStringLiteral("Será Excluída !"));
    };
    f.addError = QStringLiteral("Ocorreu um Erro ao tentar Cadastrar esta Marca de Aparelho!");
    f.deleteError = QStringLiteral("Ocorreu um Erro ao tentar Excluir o nome desta Marca!");
    return f;
}

ListFamily tecnicos() {
    ListFamily f = family(QStringLiteral("TblTecnicos"), QStringLiteral("NomeTecnico"), 3, 14);
    f.limitMessage = QStringLiteral("Número Máximo de Técnicos Excedido");
    f.prompt = QStringLiteral("Digite o Nome do Técnico");
    f.lengthMessage = QStringLiteral("Digite o Nome do Técnico com no Máximo 14 Caracteres");
    f.selectionMessage = QStringLiteral("Selecione o Nome do Técnico a ser Excluído !!!");
    f.notice = [](const QString& name) {
        return quotedNotice(QStringLiteral("O Técnico:"), name, QStringLiteral("Será Excluído !"));
    };
    f.addError = QStringLiteral("Ocorreu um Erro ao tentar Cadastrar o Nome deste Técnico!");
    f.deleteError = QStringLiteral("Ocorreu um Erro ao tentar Excluir o nome deste Técnico!");
    return f;
}

ListFamily aparelhos() {
    ListFamily f = family(QStringLiteral("TblAparelhos"), QStringLiteral("Aparelho"), 20, 16);
    f.limitMessage = QStringLiteral("Número Máximo de Aparelhos Excedido");
    f.prompt = QStringLiteral("Digite o \" Novo Aparelho \"");
    f.lengthMessage = QStringLiteral("Digite a Descrição do Aparelho com no Máximo 16 Caracteres");
    f.newRowValues = {{QStringLiteral("Dpto"), QStringLiteral("OUTROS")}};
    f.selectionMessage = QStringLiteral("Selecione o Tipo de Aparelho a ser Excluído !!!");
    f.notice = [](const QString& name) {
        return quotedNotice(QStringLiteral("O Aparelho:"), name, QStringLiteral("Será Excluído !"));
    };
    f.addError = QStringLiteral("Ocorreu um Erro ao tentar Cadastrar este Tipo de Aparelho!");
    f.deleteError = QStringLiteral("Ocorreu um Erro ao tentar Excluir este Tipo de Aparelho!");
    return f;
}

} // namespace

FrmConfig::FrmConfig(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmConfig"));
    setWindowTitle(Title);
    setModal(true);

    auto* root = new QVBoxLayout(this);
    auto* frames = new QHBoxLayout;
    root->addLayout(frames);
    struct Column {
        const char* frame;
        const char* list;
        QListWidget*& widget;
        const char* nvName; const char* nvCaption; const char* nvTip; void (FrmConfig::*nv)();
        const char* exName; const char* exCaption; const char* exTip; void (FrmConfig::*ex)();
    };
    const Column columns[] = {
        {"Marcas:", "List1", List1, "BtNvMarca", "Nova &Marca", "Cadastrar Marca", &FrmConfig::BtNvMarca_Click,
         "BtExMarca", "Ex&cluir Marca", "Excluir Marca", &FrmConfig::BtExMarca_Click},
        {"Técnicos", "List3", List3, "BtNvTecnico", "Novo &Técnico", "Cadastrar Técnico", &FrmConfig::BtNvTecnico_Click,
         "BtExTecnico", "&Excluir Técnico", "Excluir Técnico", &FrmConfig::BtExTecnico_Click},
        {"Aparelhos", "List2", List2, "BtNvTipo", "&Novo Aparelho", "Cadastrar Aparelho", &FrmConfig::BtNvTipo_Click,
         "BtExTipo", "E&xcluir Aparelho", "Excluir Aparelho", &FrmConfig::BtExTipo_Click},
    };
    for (const Column& c : columns) {
        auto* frame = new QGroupBox(QString::fromUtf8(c.frame), this);
        auto* box = new QVBoxLayout(frame);
        c.widget = new QListWidget(frame);
        c.widget->setObjectName(QString::fromLatin1(c.list));
        c.widget->setMinimumSize(170, 300);
        box->addWidget(c.widget);
        auto* nv = Widgets::button(frame, QString::fromLatin1(c.nvName), QString::fromUtf8(c.nvCaption),
                                   QString::fromUtf8(c.nvTip));
        auto* ex = Widgets::button(frame, QString::fromLatin1(c.exName), QString::fromUtf8(c.exCaption),
                                   QString::fromUtf8(c.exTip));
        connect(nv, &QPushButton::clicked, this, c.nv);
        connect(ex, &QPushButton::clicked, this, c.ex);
        box->addWidget(nv);
        box->addWidget(ex);
        frames->addWidget(frame);
    }
    auto* bottom = new QHBoxLayout;
    BtConfigAvanc = Widgets::button(this, QStringLiteral("BtConfigAvanc"), QStringLiteral("Configurações &Avançadas"),
                                    QStringLiteral("Configurações Avançadas"));
    BtFechar = Widgets::closeButton(this);
    connect(BtConfigAvanc, &QPushButton::clicked, this, &FrmConfig::BtConfigAvanc_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmConfig::BtFechar_Click);
    bottom->addWidget(BtConfigAvanc);
    bottom->addStretch(1);
    bottom->addWidget(BtFechar);
    root->addLayout(bottom);

    m_marcas = new ListEditor(List1, &DataMarca, marcas(), this);
    m_tecnicos = new ListEditor(List3, &DataTecnico, tecnicos(), this);
    m_aparelhos = new ListEditor(List2, &DataAparelho, aparelhos(), this);
    WindowKeys::install(this);
    Form_Load();
}

void FrmConfig::Form_Load() {
    try {
        const QString path = ProgramFolder::databasePath();
        DataTecnico.open(path, QStringLiteral("TblTecnicos"));
        DataAparelho.open(path, QStringLiteral("TblAparelhos"));
        DataMarca.open(path, QStringLiteral("TblMarca"));
        m_marcas->fill();
        m_tecnicos->fill();
        m_aparelhos->fill();
    } catch (const std::exception& e) {
        SettingsRow::showError(QStringLiteral("Não foi possível ler as Configurações!"), e, Title);
    }
}

void FrmConfig::BtNvMarca_Click() { m_marcas->addFromInputBox(); }
void FrmConfig::BtExMarca_Click() { m_marcas->deleteSelected(); }
void FrmConfig::BtNvTecnico_Click() { m_tecnicos->addFromInputBox(); }
void FrmConfig::BtExTecnico_Click() { m_tecnicos->deleteSelected(); }
void FrmConfig::BtNvTipo_Click() { m_aparelhos->addFromInputBox(); }
void FrmConfig::BtExTipo_Click() { m_aparelhos->deleteSelected(); }
void FrmConfig::BtConfigAvanc_Click() { WindowHost::showModal(new ConfigAvancadas(this)); }
void FrmConfig::BtFechar_Click() { reject(); }
