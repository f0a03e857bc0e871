#pragma once
// An image that reports mouse clicks, like the sound switch of the side panel.

#include <QLabel>

namespace stakko {

class ClickImage : public QLabel {
    Q_OBJECT
public:
    explicit ClickImage(QWidget* parent = nullptr) : QLabel(parent) {}

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace stakko
