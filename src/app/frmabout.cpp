#include "frmabout.h"

#include "app/appicons.h"
#include "app/desktoplinks.h"
#include "app/frmmdi.h"
#include "ui/messagebox.h"
#include "ui/widgets.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

const QColor LinkColour(0, 0, 255);
const QColor VisitedColour(128, 0, 128);
constexpr int LinkPoints = 8;
constexpr int HoverPoints = 9;

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setFixedSize(440, 262);
    setMouseTracking(true);

    // The picture inside its shape.
    auto* shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setGeometry(16, 16, 76, 76);
    QPalette shapePal = shape->palette();
    shapePal.setColor(QPalette::WindowText, QColor(0, 0, 128));
    shape->setPalette(shapePal);
    auto* picture = Widgets::label(this, QStringLiteral("picIcon"), {}, QRect(22, 22, 64, 64));
    picture->setPixmap(AppIcons::toolbar(QStringLiteral("Manutencao")).pixmap(64, 64));

    lblTitle = Widgets::label(this, QStringLiteral("lblTitle"), {}, QRect(108, 14, 316, 36));
    QFont title(QStringLiteral("Lucida Sans"), 20, QFont::Bold);
    lblTitle->setFont(title);
    lblVersion = Widgets::label(this, QStringLiteral("lblVersion"), {}, QRect(108, 52, 316, 20));
    lblDescription = Widgets::label(
        this, QStringLiteral("lblDescription"),
        QStringLiteral("Sistema de Emissão e Controle de Ordens de Serviço para Empresas de Assistência Técnica "
                       "em Aparelhos Eletrônicos."),
        QRect(108, 78, 316, 52));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    for (int i = 0; i < 2; ++i) {
        auto* line = new QFrame(this);
        line->setObjectName(QStringLiteral("Line%1").arg(i + 1));
        line->setFrameStyle(QFrame::HLine | (i == 0 ? QFrame::Sunken : QFrame::Raised));
        line->setGeometry(16, 140 + i * 2, 408, 2);
    }

    LblEmail = link(QStringLiteral("LblEmail"), DesktopLinks::mailAddress(), QRect(16, 156, 260, 22));
    LblSite = link(QStringLiteral("LblSite"), FrmMdi::webAddress(), QRect(16, 182, 260, 22));

    cmdOK = Widgets::button(this, QStringLiteral("cmdOK"), QStringLiteral("O&K"), QStringLiteral("OK"),
                            QRect(304, 174, 120, 30));
    cmdSysInfo = Widgets::button(this, QStringLiteral("cmdSysInfo"), QStringLiteral("&Seu Sistema"),
                                 QStringLiteral("Informaçoes sobre o seu Sistema"), QRect(304, 214, 120, 30));
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    // OK answers Enter and Esc.
    cmdOK->setDefault(true);
    cmdOK->setFocus();

    Form_Load();
}

QLabel* frmAbout::link(const QString& name, const QString& text, const QRect& place) {
    QLabel* label = Widgets::label(this, name, text, place);
    QFont font = label->font();
    font.setPointSize(LinkPoints);
    label->setFont(font);
    setTextColour(label, LinkColour);
    label->setCursor(Qt::PointingHandCursor);
    label->setMouseTracking(true);
    label->installEventFilter(this);
    return label;
}

QString frmAbout::versionText() {
    return QStringLiteral("Versão %1.%2.").arg(TARVEL_VERSION_MAJOR).arg(TARVEL_VERSION_MINOR);
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("Sobre ") + programTitle());
    lblVersion->setText(versionText());
    lblTitle->setText(programTitle());
}

// ---------------------------------------------------------------- links

void frmAbout::emphasise(QLabel* label, bool on) {
    QFont font = label->font();
    font.setPointSize(on ? HoverPoints : LinkPoints);
    font.setUnderline(on);
    label->setFont(font);
}

void frmAbout::markVisited(QLabel* label) { setTextColour(label, VisitedColour); }

void frmAbout::Form_MouseMove() {
    emphasise(LblEmail, false);
    emphasise(LblSite, false);
}

void frmAbout::LblEmail_MouseMove() { emphasise(LblEmail, true); }
void frmAbout::LblSite_MouseMove() { emphasise(LblSite, true); }

void frmAbout::LblEmail_Click() {
    if (DesktopLinks::openMail(LblEmail->text())) markVisited(LblEmail);
}

void frmAbout::LblSite_Click() {
    if (DesktopLinks::openWebPage(LblSite->text())) markVisited(LblSite);
}

void frmAbout::mouseMoveEvent(QMouseEvent* event) {
    Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LblEmail || watched == LblSite) {
        const bool email = watched == LblEmail;
        switch (event->type()) {
        case QEvent::MouseMove:
            // Kept from the window, whose own move ends the emphasis.
            email ? LblEmail_MouseMove() : LblSite_MouseMove();
            return true;
        case QEvent::Enter:
            email ? LblEmail_MouseMove() : LblSite_MouseMove();
            break;
        case QEvent::Leave:
            emphasise(static_cast<QLabel*>(watched), false);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                email ? LblEmail_Click() : LblSite_Click();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------- buttons

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { DesktopLinks::StartSysInfo(); }
