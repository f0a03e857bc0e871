#pragma once
// The look of the side panel's group box: an etched frame with its caption
// on the top line, and nothing painted inside. The platform style tints a
// group box's inside, and then every block erased from the preview in the
// button face (the preview's own colour) would stay behind as a lighter
// square; with this style the panel, the preview and the form share one
// colour. Everything else is drawn by the platform style.

#include <QProxyStyle>

namespace stakko {

class PanelStyle : public QProxyStyle {
    Q_OBJECT
public:
    PanelStyle();

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
};

} // namespace stakko
