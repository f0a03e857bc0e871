#include "game/ClickImage.h"

#include <QMouseEvent>

namespace stakko {

void ClickImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit Click();
    QLabel::mousePressEvent(event);
}

} // namespace stakko
