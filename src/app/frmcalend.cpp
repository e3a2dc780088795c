#include "frmcalend.h"

#include "app/appicons.h"
#include "store/clock.h"
#include "ui/numbers.h"
#include "ui/widgets.h"
#include "ui/windowkeys.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

frmCalend::frmCalend(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmCalend"));
    setWindowTitle(QStringLiteral("Calendário"));
    setFixedSize(420, 262);

    Image1 = Widgets::label(this, QStringLiteral("Image1"), {}, QRect(14, 14, 64, 64));
    Image1->setPixmap(AppIcons::calendar(64));

    Calendario = new QCalendarWidget(this);
    Calendario->setObjectName(QStringLiteral("Calendario"));
    Calendario->setLocale(Numbers::brazil());
    Calendario->setFirstDayOfWeek(Qt::Sunday);
    Calendario->setGridVisible(true);
    Calendario->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendario->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    Calendario->setGeometry(92, 14, 314, 194);

    BtFechar = Widgets::button(this, QStringLiteral("BtFechar"), QStringLiteral("&Cancelar"), QStringLiteral("Fechar"),
                               QRect(306, 218, 100, 30));
    connect(BtFechar, &QPushButton::clicked, this, &frmCalend::BtFechar_Click);

    WindowKeys::install(this);
    Form_Activate();
}

bool frmCalend::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) Form_Activate();
    return QWidget::event(e);
}

void frmCalend::Form_Activate() {
    const QDate today = Clock::today();
    Calendario->setSelectedDate(today);
    Calendario->setCurrentPage(today.year(), today.month());
}

void frmCalend::BtFechar_Click() { close(); }
