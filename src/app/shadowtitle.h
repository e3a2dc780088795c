#pragma once

#include <QWidget>

class QLabel;

// A title in the program's look: the text twice, the light copy a little
// lower and to the right of the dark one. The labels stay the window's own
// (named, maybe bound to a field); the title takes them as its children,
// colours them and lays them out. Its height follows the text.
class ShadowTitle : public QWidget {
public:
    ShadowTitle(QLabel* shadow, QLabel* front, QWidget* parent, Qt::Alignment alignment = Qt::AlignCenter);

    // How far the shadow lies from the text, right and down.
    static constexpr int Offset = 2;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int w) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QLabel* m_shadow;
    QLabel* m_front;
};
