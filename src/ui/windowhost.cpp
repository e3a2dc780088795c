#include "windowhost.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace WindowHost {

namespace {

QPointer<QMdiArea> g_area;
// Lists open without an MDI area (tests).
QList<QPointer<QWidget>>& looseLists() {
    static QList<QPointer<QWidget>> lists;
    return lists;
}

QMdiSubWindow* subWindowOf(QWidget* w) {
    for (QWidget* p = w ? w->parentWidget() : nullptr; p; p = p->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p)) return sub;
    return nullptr;
}

// Tells a closed window (deleted later by Qt) from a loaded one: a Close
// event followed at once by the Hide of an accepted close.
class CloseTracker : public QObject {
public:
    explicit CloseTracker(QWidget* w) : QObject(w) {
        setObjectName(QStringLiteral("tarvel_closetracker"));
        w->installEventFilter(this);
    }
    bool closed = false;

    bool eventFilter(QObject*, QEvent* e) override {
        switch (e->type()) {
        case QEvent::Close:
            m_closing = true;
            QMetaObject::invokeMethod(this, [this] { m_closing = false; }, Qt::QueuedConnection);
            break;
        case QEvent::Hide:
            if (m_closing) closed = true;
            break;
        case QEvent::Show:
            closed = false;
            break;
        default:
            break;
        }
        return false;
    }

private:
    bool m_closing = false;
};

bool isClosed(QWidget* w) {
    auto* t = w->findChild<CloseTracker*>(QStringLiteral("tarvel_closetracker"), Qt::FindDirectChildrenOnly);
    return t && t->closed;
}

} // namespace

void setMdiArea(QMdiArea* area) { g_area = area; }
QMdiArea* mdiArea() { return g_area; }

QWidget* findList(const QMetaObject& type) {
    const auto isOpenList = [&type](QWidget* w) { return w && w->metaObject()->inherits(&type) && !isClosed(w); };
    if (g_area)
        for (QMdiSubWindow* sub : g_area->subWindowList())
            if (isOpenList(sub->widget())) return sub->widget();
    auto& loose = looseLists();
    loose.removeAll(QPointer<QWidget>());
    for (const QPointer<QWidget>& w : loose)
        if (isOpenList(w)) return w;
    return nullptr;
}

QWidget* loadList(const QMetaObject& type, const std::function<QWidget*()>& make) {
    if (QWidget* w = findList(type)) return w;
    QWidget* w = make();
    if (w) adopt(w);
    return w;
}

QWidget* openList(const QMetaObject& type, const std::function<QWidget*()>& make) {
    QWidget* w = loadList(type, make);
    if (w) showList(w);
    return w;
}

void adopt(QWidget* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    new CloseTracker(window);
    if (g_area) {
        QMdiSubWindow* sub = g_area->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        // The window's own close() (its close button) takes its frame along.
        QObject::connect(window, &QObject::destroyed, sub, [sub] { sub->close(); });
    } else {
        looseLists().append(window);
    }
}

void showList(QWidget* window) {
    if (QMdiSubWindow* sub = subWindowOf(window)) {
        sub->show();
        window->show();
        if (g_area) g_area->setActiveSubWindow(sub);
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

namespace {

// Closed windows are deleted later; a closed list must let go of its cursors now.
void deleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

bool closeWindow(QWidget* w) {
    QMdiSubWindow* sub = subWindowOf(w);
    return sub ? sub->close() : w->close();
}

} // namespace

bool closeList(const QMetaObject& type) {
    QWidget* w = findList(type);
    if (!w) return true;
    const bool closed = closeWindow(w);
    deleteClosedWindows();
    return closed;
}

bool closeAllLists() {
    bool all = true;
    if (g_area) {
        for (QMdiSubWindow* sub : g_area->subWindowList())
            if (!sub->close()) all = false;
    }
    deleteClosedWindows();
    return all;
}

QWidget* dialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    if (g_area) return g_area->window();
    return nullptr;
}

int showModal(QDialog* dialog) {
    QPointer<QDialog> d = dialog;
    if (!dialog->parentWidget()) {
        if (QWidget* parent = dialogParent()) dialog->setParent(parent, dialog->windowFlags() | Qt::Dialog);
    }
    const int result = dialog->exec();
    if (d) delete d.data();
    return result;
}

}

WindowTimer::WindowTimer(QObject* owner, const QString& name, int intervalMs, bool oneShot,
                         std::function<void()> handler)
    : QTimer(owner), m_handler(std::move(handler)) {
    setObjectName(name);
    setInterval(intervalMs);
    setSingleShot(oneShot);
    connect(this, &QTimer::timeout, this, [this] {
        if (isSingleShot()) stop();
        if (m_handler) m_handler();
    });
}

void WindowTimer::fire() {
    if (isSingleShot()) stop();
    if (m_handler) m_handler();
}

WaitCursor::WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

WaitCursor::~WaitCursor() { release(); }

void WaitCursor::release() {
    if (!m_active) return;
    m_active = false;
    QGuiApplication::restoreOverrideCursor();
}
