// Draws the About box's picture "INFO_PIC" at build time: the seven pieces
// side by side, drawn by the game's own piece and paint-box code, so they
// look exactly as they do in the well. The background stays transparent.
//
//   stakko_infopic <output.png>
#include "board/Figur.h"
#include "game/PaintBox.h"

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <cstdio>

using namespace stakko;

namespace {

constexpr int CellSize = 14;
constexpr int Gap = 1; // empty columns between two pieces
constexpr int Rows = 2;

// How far a shape reaches to the left and how wide it is, in cells.
struct TExtent {
    int minDx, width;
};

TExtent ExtentOf(const TShape& shape) {
    const auto [lo, hi] = std::minmax_element(shape.begin(), shape.end(),
                                              [](TOffset a, TOffset b) { return a.dx < b.dx; });
    return {lo->dx, hi->dx - lo->dx + 1};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: stakko_infopic <output.png>\n");
        return 2;
    }
    QApplication app(argc, argv);

    const TElement kinds[] = {EI, EL, EJ, ET, EO, EZ, ES};
    int columns = -Gap;
    for (const TElement kind : kinds)
        columns += ExtentOf(ShapeOf(kind, 0)).width + Gap;

    // The paint box draws a block at 4 pixels from its corner and leaves
    // the last pixel line of each block free; the picture is cut to that.
    constexpr int Margin = 4;
    PaintBox box;
    box.resize(2 * Margin + columns * CellSize, 2 * Margin + Rows * CellSize);

    int column = 0;
    for (const TElement kind : kinds) {
        TFigur piece(&box);
        piece.init(kind);
        const TExtent extent = ExtentOf(ShapeOf(kind, 0));
        piece.X = column - extent.minDx;
        // The long piece lies on the bottom row, the others fill both.
        piece.Y = kind == EI ? 1 : 0;
        piece.Draw(CellSize);
        column += extent.width + Gap;
    }

    const QImage picture =
        box.Canvas().copy(Margin, Margin, columns * CellSize - 1, Rows * CellSize - 1);
    if (!picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "stakko_infopic: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
