#include "windowkeys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>

namespace WindowKeys {

namespace {

// Enter presses the button that has the focus, as on the desktop the shop
// is used to; it never reaches a button that does not have it.
class EnterPressesFocusedButton : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || !button->isEnabled() || !button->hasFocus()) return false;
        button->click();
        return true;
    }
};

} // namespace

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
        auto* enter = window->findChild<EnterPressesFocusedButton*>(QStringLiteral("tarvel_enter"));
        if (!enter) {
            enter = new EnterPressesFocusedButton(window);
            enter->setObjectName(QStringLiteral("tarvel_enter"));
        }
        for (QPushButton* b : window->findChildren<QPushButton*>()) {
            b->setAutoDefault(false);
            b->setDefault(false);
            b->installEventFilter(enter);
        }
    }
}

}
