#include "modal.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <gtest/gtest.h>

namespace {
qint64 nowMs() { return QDateTime::currentMSecsSinceEpoch(); }
}

ModalScript::ModalScript(std::function<void(QWidget*)> act, int timeoutMs, const QString& expectedObjectName)
    : m_act(std::move(act)), m_expectedName(expectedObjectName),
      m_deadline(nowMs() + timeoutMs), m_timeout(timeoutMs), m_before(QApplication::activeModalWidget()) {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
    m_timer.start();
}

ModalScript::~ModalScript() {
    m_timer.stop();
    if (!m_done) ADD_FAILURE() << "The expected modal dialog " << m_expectedName.toStdString() << " never came";
}

int ModalScript::closeModals() {
    int n = 0;
    for (int guard = 0; guard < 20; ++guard) {
        QWidget* m = QApplication::activeModalWidget();
        if (!m) break;
        if (auto* d = qobject_cast<QDialog*>(m)) d->reject();
        else m->close();
        m->hide();
        ++n;
    }
    return n;
}

void ModalScript::poll() {
    QWidget* m = QApplication::activeModalWidget();
    if (!m_done) {
        if (m && m != m_before && m->isVisible()) {
            // A dialog is shown before it is activated and its focus set; on
            // a loaded machine a poll can fall in between. Give activation a
            // moment, as an operator would only type into the active window.
            if (!m->isActiveWindow()) {
                if (m_seen != m) {
                    m_seen = m;
                    m_seenAt = nowMs();
                }
                if (nowMs() - m_seenAt < 2000) return;
            }
            m_done = true;
            m_dialog = m;
            if (!m_expectedName.isEmpty()) {
                EXPECT_EQ(m->objectName().toStdString(), m_expectedName.toStdString()) << "another dialog came";
            }
            m_deadline = nowMs() + m_timeout;
            m_act(m);
            return;
        }
        if (nowMs() > m_deadline) {
            m_timer.stop();
            ADD_FAILURE() << "No modal dialog came within " << m_timeout << " ms";
            closeModals();
            m_done = true;  // reported already
        }
        return;
    }
    if (!m_dialog || !m_dialog->isVisible()) {
        m_timer.stop();
        return;
    }
    if (nowMs() > m_deadline) {
        m_timer.stop();
        ADD_FAILURE() << "The modal dialog " << m_dialog->objectName().toStdString() << " stayed open";
        closeModals();
    }
}

bool waitFor(const std::function<bool()>& pred, int timeoutMs) {
    const qint64 end = nowMs() + timeoutMs;
    while (!pred()) {
        if (nowMs() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}
