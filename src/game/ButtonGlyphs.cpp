#include "game/ButtonGlyphs.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace stakko {

namespace {

// Draws one glyph into a square of 16 units at any size.
class GlyphEngine : public QIconEngine {
public:
    explicit GlyphEngine(TGlyph glyph) : FGlyph(glyph) {}

    QIconEngine* clone() const override { return new GlyphEngine(FGlyph); }
    QString key() const override { return QStringLiteral("stakko-glyph"); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const qreal side = qMin(rect.width(), rect.height());
        painter->translate(rect.x() + (rect.width() - side) / 2,
                           rect.y() + (rect.height() - side) / 2);
        painter->scale(side / 16, side / 16);
        Draw(*painter, mode == QIcon::Disabled);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1);
    }

    // `size` is in device pixels already; `scale` is the screen's.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        }
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }

private:
    void Draw(QPainter& p, bool disabled) const {
        // Disabled glyphs keep their shapes in two greys.
        const auto colour = [disabled](const QColor& c) {
            if (!disabled)
                return c;
            const int grey = qGray(c.rgb()) > 200 ? 245 : 150;
            return QColor(grey, grey, grey);
        };
        const QColor white = colour(Qt::white);
        const QColor blue = colour(QColor(30, 90, 200));
        const QColor green = colour(QColor(20, 150, 40));
        const QColor red = colour(QColor(200, 40, 30));
        const auto disc = [&p](const QColor& fill) {
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawEllipse(QRectF(1, 1, 14, 14));
        };
        const auto stroke = [&p](const QColor& c, qreal width) {
            p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
        };
        switch (FGlyph) {
        case TGlyph::Info:
            disc(blue);
            p.setBrush(white);
            p.drawEllipse(QRectF(6.9, 3.2, 2.2, 2.2));
            p.drawRoundedRect(QRectF(7, 6.6, 2, 6.2), 0.6, 0.6);
            break;
        case TGlyph::Help: {
            disc(blue);
            stroke(white, 1.9);
            QPainterPath hook;
            hook.moveTo(5.6, 6.2);
            hook.cubicTo(5.6, 3.4, 10.4, 3.4, 10.4, 6.0);
            hook.cubicTo(10.4, 7.8, 8.0, 7.8, 8.0, 9.6);
            p.drawPath(hook);
            p.setPen(Qt::NoPen);
            p.setBrush(white);
            p.drawEllipse(QRectF(6.9, 11.0, 2.2, 2.2));
            break;
        }
        case TGlyph::NewGame: {
            stroke(green, 2.2);
            p.drawArc(QRectF(2.5, 2.5, 11, 11), 100 * 16, 280 * 16);
            p.setPen(Qt::NoPen);
            p.setBrush(green);
            const QPointF head[] = {{6.2, 0.4}, {10.6, 3.2}, {6.4, 6.2}};
            p.drawPolygon(head, 3);
            break;
        }
        case TGlyph::End:
            disc(red);
            stroke(white, 2.0);
            p.drawLine(QPointF(5.3, 5.3), QPointF(10.7, 10.7));
            p.drawLine(QPointF(10.7, 5.3), QPointF(5.3, 10.7));
            break;
        case TGlyph::Ok:
            stroke(green, 2.6);
            p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.3, 12.3), QPointF(13.5, 3.8)}));
            break;
        }
    }

    TGlyph FGlyph;
};

} // namespace

QIcon ButtonGlyph(TGlyph glyph) {
    return QIcon(new GlyphEngine(glyph));
}

} // namespace stakko
