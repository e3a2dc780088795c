#include "widgets.h"

#include "windowkeys.h"

#include <QBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace Widgets {

namespace {
template <class W> W* named(W* w, const QString& name, const QRect& geometry) {
    w->setObjectName(name);
    if (!geometry.isNull()) w->setGeometry(geometry);
    return w;
}
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    return named(new QLabel(text, parent), name, geometry);
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QString& toolTip,
                    const QRect& geometry) {
    auto* b = named(new QPushButton(caption, parent), name, geometry);
    b->setToolTip(toolTip);
    return b;
}

QPushButton* pictureButton(QWidget* parent, const QString& name, const QIcon& picture, const QString& toolTip) {
    QPushButton* b = button(parent, name, QString(), toolTip);
    b->setIcon(picture);
    b->setIconSize(QSize(32, 32));
    b->setMinimumSize(56, 48);
    return b;
}

QPushButton* closeButton(QWidget* parent, const QRect& geometry) {
    return button(parent, QStringLiteral("BtFechar"), QStringLiteral("&Fechar"), QStringLiteral("Fechar"), geometry);
}

QLineEdit* lineEdit(QWidget* parent, const QString& name, const QRect& geometry) {
    return named(new QLineEdit(parent), name, geometry);
}

SearchButtons searchButtons(QWidget* dialog, QBoxLayout* into) {
    auto* row = new QHBoxLayout;
    SearchButtons b{button(dialog, QStringLiteral("BtIniciar"), QStringLiteral("Iniciar &Pesquisa"),
                           QStringLiteral("Iniciar Pesquisa")),
                    closeButton(dialog)};
    row->addWidget(b.start);
    row->addWidget(b.close);
    into->addLayout(row);
    // Enter starts the search: the one default button of the dialog.
    WindowKeys::install(dialog, true);
    b.close->setAutoDefault(false);
    b.start->setAutoDefault(false);
    b.start->setDefault(true);
    return b;
}

QProgressBar* progressBar(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* bar = named(new QProgressBar(parent), name, geometry);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::ButtonText, colour);
    w->setPalette(p);
}

}
