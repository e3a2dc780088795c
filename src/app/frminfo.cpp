#include "frminfo.h"

#include "app/backup.h"
#include "app/shadowtitle.h"
#include "ui/widgets.h"
#include "ui/windowkeys.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

QString FrmInfo::text() {
    // The folder of the automatic copies stands in the user's home folder.
    const QString documents = QDir::toNativeSeparators(QFileInfo(Backup::folder()).path());
    return QStringLiteral(
               "Este Programa faz Automaticamente um BackUp diário de todos os seus arquivos, todas as vezes que o "
               "programa é encerrado. Entretanto para evitar despedício de espaço em seu HD é aconselhável esvaziar "
               "esta pasta peridiocamente. Localize a Pasta \"BackUp Os\" em \"%1\", e Exclua os Arquivos mais "
               "Antigos")
        .arg(documents);
}

FrmInfo::FrmInfo(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("FrmInfo"));
    setWindowTitle(QStringLiteral("Informação  sobre BackUp"));
    setModal(true);
    setFixedSize(420, 236);

    auto* border = new QFrame(this);
    border->setFrameStyle(QFrame::Panel | QFrame::Raised);
    border->setLineWidth(2);
    border->setGeometry(rect());

    const QFont titleFont(QStringLiteral("Lucida Sans"), 22, QFont::Bold);
    for (int i = 0; i < 2; ++i) {
        LblTarvel[i] = new QLabel(QStringLiteral("Tarvel"));
        LblTarvel[i]->setObjectName(QStringLiteral("LblTarvel(%1)").arg(i));
        LblTarvel[i]->setFont(titleFont);
    }
    auto* title = new ShadowTitle(LblTarvel[0], LblTarvel[1], this, Qt::AlignLeft | Qt::AlignVCenter);
    title->setGeometry(20, 12, 300 + ShadowTitle::Offset, 44 + ShadowTitle::Offset);

    Label1 = Widgets::label(this, QStringLiteral("Label1"), text(), QRect(20, 64, 380, 120));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    BtFechar = Widgets::closeButton(this, QRect(300, 192, 100, 30));
    connect(BtFechar, &QPushButton::clicked, this, &QDialog::accept);

    WindowKeys::install(this);
}

void FrmInfo::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}
