#include "game/PanelStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <qdrawutil.h>

namespace stakko {

// The base is a fresh copy of the application's style: the application
// keeps its own style object, and a proxy frees its base.
PanelStyle::PanelStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

void PanelStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !box) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    QRect label = subControlRect(CC_GroupBox, box, SC_GroupBoxLabel, widget);
    QRect frame = box->rect;
    frame.setTop(label.center().y());
    // The caption stands a little in from the corner, which stays drawn.
    constexpr int captionIndent = 8;
    label.moveLeft(qMax(label.left(), frame.left() + captionIndent));
    // Etched: a shadow line with a light line beside it, all around.
    qDrawShadeRect(painter, frame, box->palette, true, 1, 0);
    if (box->text.isEmpty())
        return;
    // The caption interrupts the top line, on the panel's own colour.
    const int gap = 2;
    painter->fillRect(label.adjusted(-gap, 0, gap, 0), box->palette.window());
    drawItemText(painter, label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                 box->palette, box->state & State_Enabled, box->text, QPalette::WindowText);
}

} // namespace stakko
