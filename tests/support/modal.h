#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

// Answers a nested modal dialog that the code under test opens with exec().
//
//   ModalScript next([](QWidget* dlg) {
//       Typing::type(dlg->findChild<QLineEdit*>("TxtBusca"), "MARIA");
//       dlg->findChild<QPushButton*>("BtOk")->click();
//   });
//   window->findChild<QPushButton*>("BtLocalizar")->click();   // runs exec()
//   EXPECT_TRUE(next.done());
//
// From its making, a timer watches for a new modal widget; when one is
// active, `act` runs on it once. When the dialog is still open timeoutMs after
// act, or no dialog came within timeoutMs while events were processed, the
// test fails (ADD_FAILURE) and any open modal dialog is closed, so the test
// never hangs. A script that never ran fails when the object ends.
class ModalScript : public QObject {
    Q_OBJECT
public:
    explicit ModalScript(std::function<void(QWidget*)> act, int timeoutMs = 10000,
                         const QString& expectedObjectName = {});
    ~ModalScript() override;

    bool done() const { return m_done; }
    // The dialog that came (nullptr until then or after it was deleted).
    QWidget* dialog() const { return m_dialog; }

    // Closes every modal widget (reject for dialogs); returns how many.
    static int closeModals();

private:
    void poll();
    std::function<void(QWidget*)> m_act;
    QString m_expectedName;
    QTimer m_timer;
    qint64 m_deadline;
    int m_timeout;
    QPointer<QWidget> m_dialog;
    QPointer<QWidget> m_before;
    QPointer<QWidget> m_seen;   // the dialog waiting to be activated
    qint64 m_seenAt = 0;
    bool m_done = false;
};

// Spins the event loop until pred() holds or timeoutMs passes; returns pred().
bool waitFor(const std::function<bool()>& pred, int timeoutMs = 5000);
