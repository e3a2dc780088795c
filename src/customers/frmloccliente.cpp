#include "frmloccliente.h"

#include "customerform.h"
#include "frmclientes.h"
#include "store/sqldialect.h"
#include "ui/errormessage.h"
#include "ui/textentry.h"
#include "ui/widgets.h"
#include "ui/windowhost.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdint>
#include <limits>

namespace {

QString g_criterion;
const QString Title = QStringLiteral("Localizar Cliente");

bool digitsOnly(const QString& text) {
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return !text.isEmpty();
}

// A stored phone compared by its digits: the new-customer window stores the
// separators as blanks, the editing window as typed.
QString phoneDigits(const QString& field) {
    QString expr = field;
    for (const char* sep : {" ", "-", "(", ")", ".", "/"})
        expr = QStringLiteral("REPLACE(%1, '%2', '')").arg(expr, QString::fromLatin1(sep));
    return expr;
}

} // namespace

FrmLocCliente::FrmLocCliente(FrmClientes* list, QWidget* parent) : QDialog(parent), m_list(list) {
    setObjectName(QStringLiteral("FrmLocCliente"));
    setWindowTitle(Title);

    auto* root = new QVBoxLayout(this);
    auto* options = new QGroupBox(QStringLiteral("Opção de Busca"), this);
    auto* optLayout = new QVBoxLayout(options);
    const auto option = [&](const char* name, const QString& caption) {
        auto* o = new QRadioButton(caption, options);
        o->setObjectName(QString::fromLatin1(name));
        // Reached with Tab and the arrow keys; a mouse click sends the focus to the search text.
        o->setFocusPolicy(Qt::TabFocus);
        optLayout->addWidget(o);
        connect(o, &QRadioButton::clicked, this, &FrmLocCliente::Option_Click);
        return o;
    };
    TxtBusca = Widgets::lineEdit(this, QStringLiteral("TxtBusca"));
    // Codes and phones are made of digits: nothing else can be typed or pasted.
    TextEntry::attach(TxtBusca, TextEntry::DigitsOnly | TextEntry::NoApostrophe | TextEntry::SelectAllOnFocus);
    TextEntry::setTypingLimit(TxtBusca, 30);
    CustomerForm::setTextColour(TxtBusca, CustomerForm::DarkBlue);
    QFont bold = TxtBusca->font();
    bold.setBold(true);
    TxtBusca->setFont(bold);
    root->addWidget(TxtBusca);
    Option1 = option("Option1", QStringLiteral("Código do Cliente"));
    Option2 = option("Option2", QStringLiteral("Telefone Residência"));
    Option3 = option("Option3", QStringLiteral("Telefone Comercial"));
    Option4 = option("Option4", QStringLiteral("Celular"));
    root->addWidget(options);

    const Widgets::SearchButtons buttons = Widgets::searchButtons(this, root);
    BtIniciar = buttons.start;
    BtFechar = buttons.close;
    connect(BtIniciar, &QPushButton::clicked, this, &FrmLocCliente::BtIniciar_Click);
    connect(BtFechar, &QPushButton::clicked, this, &FrmLocCliente::BtFechar_Click);
    setTabOrder(TxtBusca, Option1);
    setTabOrder(Option1, Option2);
    setTabOrder(Option2, Option3);
    setTabOrder(Option3, Option4);
    setTabOrder(Option4, BtIniciar);
    setTabOrder(BtIniciar, BtFechar);
    setFixedWidth(300);
    Form_Load();
}

QString FrmLocCliente::rememberedCriterion() { return g_criterion; }

void FrmLocCliente::Form_Load() {
    Option1->setChecked(true);
    TxtBusca->setText(g_criterion);
    TxtBusca->setFocus();
}

void FrmLocCliente::Option_Click() { TxtBusca->setFocus(); }

void FrmLocCliente::BtIniciar_Click() {
    const QString text = TxtBusca->text();
    g_criterion = text;
    if (text.isEmpty()) {
        MsgBox(QStringLiteral("Digite algum Critério para a Pesquisa"), MsgButtons::Ok, MsgIcon::Exclamation,
               std::nullopt, Title);
        return;
    }
    if (!digitsOnly(text)) {
        MsgBox(QStringLiteral("DIGITE APENAS NÚMEROS !"), MsgButtons::Ok, MsgIcon::Exclamation, std::nullopt, Title);
        return;
    }
    if (!m_list) return;
    RecordCursor& cursor = m_list->dataFrmClientes();
    WaitCursor wait;
    try {
        if (Option1->isChecked()) {
            // Codes beyond the 32-bit range belong to no customer.
            bool ok = false;
            const qlonglong code = text.toLongLong(&ok);
            const bool found = ok && code <= std::numeric_limits<std::int32_t>::max() &&
                               cursor.findFirst(QStringLiteral("Codigo = %1").arg(code));
            if (found) {
                wait.release();
                accept();
                return;
            }
            cursor.refresh();
            wait.release();
            MsgBox(QStringLiteral("Cliente não Localizado pelo Código"), MsgButtons::Ok, MsgIcon::Information,
                   std::nullopt, Title);
            return;
        }
        QString field, notFound;
        if (Option2->isChecked()) {
            field = QStringLiteral("TelResidencia");
            notFound = QStringLiteral("Cliente não Localizado pelo Telefone Residencial");
        } else if (Option3->isChecked()) {
            field = QStringLiteral("TelComercial");
            notFound = QStringLiteral("Cliente não Localizado pelo Telefone Comercial");
        } else {
            field = QStringLiteral("Celular");
            notFound = QStringLiteral("Cliente não Localizado pelo Número do Celular");
        }
        if (cursor.findFirst(phoneDigits(field) + QStringLiteral(" = ") + SqlDialect::quote(text))) {
            wait.release();
            accept();
            return;
        }
        wait.release();
        MsgBox(notFound, MsgButtons::Ok, MsgIcon::Information, std::nullopt, Title);
    } catch (const std::exception& e) {
        wait.release();
        ShowError({QStringLiteral("Não foi possível pesquisar o Cliente.")}, ErrorInfo::from(e),
                  QStringLiteral("%1_%2_%3"), Title);
    }
}

void FrmLocCliente::BtFechar_Click() { reject(); }
