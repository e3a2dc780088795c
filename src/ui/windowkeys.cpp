#include "windowkeys.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>

namespace WindowKeys {

void install(QWidget* window, bool allowDefaultButtons) {
    if (!window) return;
    if (!window->findChild<QShortcut*>(QStringLiteral("tarvel_escape"))) {
        auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), window);
        esc->setObjectName(QStringLiteral("tarvel_escape"));
        esc->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(esc, &QShortcut::activated, window, [window] {
            // The close button is the window's cancel button.
            auto* close = window->findChild<QAbstractButton*>(QStringLiteral("BtFechar"));
            if (close && close->isEnabled()) close->click();
        });
    }
    if (!allowDefaultButtons) {
        for (QPushButton* b : window->findChildren<QPushButton*>()) {
            b->setAutoDefault(false);
            b->setDefault(false);
        }
    }
}

}
