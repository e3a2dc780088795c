#include "shadowtitle.h"

#include <QEvent>
#include <QLabel>
#include <algorithm>

ShadowTitle::ShadowTitle(QLabel* shadow, QLabel* front, QWidget* parent, Qt::Alignment alignment)
    : QWidget(parent), m_shadow(shadow), m_front(front) {
    for (QLabel* l : {shadow, front}) {
        l->setParent(this);
        l->setWordWrap(true);
        l->setAlignment(alignment);
    }
    shadow->setStyleSheet(QStringLiteral("color: #9aa4b8;"));
    front->setStyleSheet(QStringLiteral("color: #102a66;"));
    front->raise();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

int ShadowTitle::heightForWidth(int w) const { return m_front->heightForWidth(std::max(1, w - Offset)) + Offset; }

QSize ShadowTitle::sizeHint() const { return QSize(200, heightForWidth(200)); }

QSize ShadowTitle::minimumSizeHint() const { return QSize(100, heightForWidth(100)); }

bool ShadowTitle::event(QEvent* e) {
    // A label whose text changed (a bound one) asks for a new layout: the
    // height follows the text.
    if (e->type() == QEvent::LayoutRequest) updateGeometry();
    return QWidget::event(e);
}

void ShadowTitle::resizeEvent(QResizeEvent*) {
    const QSize inner(width() - Offset, height() - Offset);
    m_front->setGeometry(QRect(QPoint(0, 0), inner));
    m_shadow->setGeometry(QRect(QPoint(Offset, Offset), inner));
}
