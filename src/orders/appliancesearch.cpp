#include "appliancesearch.h"

#include "ui/errormessage.h"
#include "ui/textentry.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

bool digitsOnly(const QString& text) {
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return !text.isEmpty();
}

} // namespace

ApplianceSearch::ApplianceSearch(ApplianceSearchSetup setup, QWidget* parent)
    : QDialog(parent), m_setup(std::move(setup)) {
    setObjectName(m_setup.objectName);
    setWindowTitle(m_setup.caption);

    auto* root = new QVBoxLayout(this);
    Frame2 = new QGroupBox(QStringLiteral("Opção de Busca"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* options = new QHBoxLayout(Frame2);
    Option1 = new QRadioButton(QStringLiteral("Ordem de Serviço"), Frame2);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option1->setToolTip(QStringLiteral("Ex. 1234, 9889 etc."));
    Option3 = new QRadioButton(QStringLiteral("Número de Série"), Frame2);
    Option3->setObjectName(QStringLiteral("Option3"));
    for (QRadioButton* o : {Option1, Option3}) {
        // Reached with Tab and the arrow keys; a click sends the focus to the text.
        o->setFocusPolicy(Qt::TabFocus);
        options->addWidget(o);
    }
    connect(Option1, &QRadioButton::clicked, this, &ApplianceSearch::Option1_Click);
    connect(Option3, &QRadioButton::clicked, this, &ApplianceSearch::Option3_Click);
    root->addWidget(Frame2);

    TxtBusca = Widgets::lineEdit(this, QStringLiteral("TxtBusca"));
    TextEntry::attach(TxtBusca, TextEntry::NoApostrophe | TextEntry::SelectAllOnFocus);
    TextEntry::setTypingLimit(TxtBusca, 15);
    Widgets::setTextColour(TxtBusca, QColor(0, 0, 255));
    QFont bold = TxtBusca->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    TxtBusca->setFont(bold);
    root->addWidget(TxtBusca);

    const Widgets::SearchButtons buttons = Widgets::searchButtons(this, root);
    BtIniciar = buttons.start;
    BtFechar = buttons.close;
    connect(BtIniciar, &QPushButton::clicked, this, &ApplianceSearch::BtIniciar_Click);
    connect(BtFechar, &QPushButton::clicked, this, &ApplianceSearch::BtFechar_Click);
    setTabOrder(TxtBusca, Option1);
    setTabOrder(Option1, Option3);
    setTabOrder(Option3, BtIniciar);
    setTabOrder(BtIniciar, BtFechar);
    setFixedWidth(340);
}

void ApplianceSearch::Form_Load() {
    Option1->setChecked(true);
    TxtBusca->setText(*m_setup.lastSearch);
    TxtBusca->setFocus();
}

void ApplianceSearch::Option1_Click() { TxtBusca->setFocus(); }
void ApplianceSearch::Option3_Click() { TxtBusca->setFocus(); }

void ApplianceSearch::say(const QString& text, MsgIcon icon, const QString& title) {
    if (m_wait) m_wait->release();
    MsgBox(text, MsgButtons::Ok, icon, std::nullopt, title.isEmpty() ? m_setup.title : title);
}

void ApplianceSearch::orderNotFound() {
    say(QStringLiteral("Ordem de Serviço não Localizada"), MsgIcon::Information, m_setup.orderNotFoundTitle);
}

void ApplianceSearch::serialNotFound() {
    say(QStringLiteral("Nenhum Aparelho foi Localizado com este Número de Série!"), MsgIcon::Information);
}

void ApplianceSearch::BtIniciar_Click() {
    const QString text = TxtBusca->text();
    *m_setup.lastSearch = text;
    if (text.isEmpty()) {
        say(QStringLiteral("Digite algum Critério para a Pesquisa"), MsgIcon::Exclamation);
        return;
    }
    if (Option1->isChecked() && !digitsOnly(text)) {
        say(QStringLiteral("DIGITE APENAS NÚMEROS !"), MsgIcon::Exclamation);
        return;
    }
    WaitCursor wait;
    m_wait = &wait;
    try {
        // At most 15 digits: the number fits.
        if (Option1->isChecked()) searchOrder(text.toLongLong());
        else searchSerial(text);
    } catch (const std::exception& e) {
        m_wait = nullptr;
        wait.release();
        ShowError({QStringLiteral("Ocorreu um erro Inesperado ao tentar fazer esta Pesquisa"),
                   QStringLiteral("Feche todos os Formulário e tente Novamente. Se o Problema Persistir Contacte o "
                                  "Suporte Técnico e Informe o Erro Abaixo!")},
                  ErrorInfo::from(e), QStringLiteral("%1 %2"), m_setup.title);
    }
    m_wait = nullptr;
}

void ApplianceSearch::BtFechar_Click() { reject(); }
