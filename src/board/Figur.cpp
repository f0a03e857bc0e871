#include "board/Figur.h"

#include <chrono>
#include <random>

namespace stakko {

TField Field;

namespace {

constexpr TShape shape(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3) {
    return {TOffset{qint8(x0), qint8(y0)}, TOffset{qint8(x1), qint8(y1)},
            TOffset{qint8(x2), qint8(y2)}, TOffset{qint8(x3), qint8(y3)}};
}

std::mt19937& generator() {
    static std::mt19937 gen(5489u);
    return gen;
}

} // namespace

// clang-format off
const std::array<std::array<TShape, 4>, 7> ShapeTable = {{
    // EI
    {shape(0,0, 1,0, 2,0, 3,0), shape(1,-1, 1,0, 1,1, 1,2),
     shape(0,0, 1,0, 2,0, 3,0), shape(1,-1, 1,0, 1,1, 1,2)},
    // EL
    {shape(0,0, 1,0, 2,0, 0,1), shape(1,-1, 1,0, 1,1, 2,1),
     shape(0,1, 1,1, 2,1, 2,0), shape(0,-1, 1,-1, 1,0, 1,1)},
    // EJ
    {shape(0,0, 1,0, 2,0, 2,1), shape(0,1, 1,1, 1,0, 1,-1),
     shape(0,-1, 0,0, 1,0, 2,0), shape(2,-1, 1,-1, 1,0, 1,1)},
    // ET
    {shape(0,1, 1,0, 1,1, 2,1), shape(1,0, 2,1, 1,1, 1,2),
     shape(0,1, 1,2, 1,1, 2,1), shape(1,0, 0,1, 1,1, 1,2)},
    // EO
    {shape(1,0, 2,0, 1,1, 2,1), shape(1,0, 2,0, 1,1, 2,1),
     shape(1,0, 2,0, 1,1, 2,1), shape(1,0, 2,0, 1,1, 2,1)},
    // EZ
    {shape(0,0, 1,0, 1,1, 2,1), shape(1,-1, 1,0, 0,0, 0,1),
     shape(0,0, 1,0, 1,1, 2,1), shape(1,-1, 1,0, 0,0, 0,1)},
    // ES
    {shape(1,0, 2,0, 0,1, 1,1), shape(0,-1, 0,0, 1,0, 1,1),
     shape(1,0, 2,0, 0,1, 1,1), shape(0,-1, 0,0, 1,0, 1,1)},
}};
// clang-format on

const TShape& ShapeOf(TElement kind, int spin) {
    Q_ASSERT(kind >= EI && kind <= ES && spin >= 0 && spin <= 3);
    return ShapeTable[kind - EI][spin];
}

void TField::Reset() {
    FCells.fill(ENone);
    for (int column = 0; column < Columns; ++column)
        for (int row = PlayRows; row < Rows; ++row)
            SetGrid(column, row, EFrame);
    for (int row = 0; row < PlayRows; ++row)
        for (int column : {0, 1, Columns - 2, Columns - 1})
            SetGrid(column, row, EFrame);
}

void TField::ClearPlayingArea() {
    for (int x = 0; x < PlayColumns; ++x)
        for (int y = 0; y < PlayRows; ++y)
            Set(x, y, ENone);
}

bool TField::RowFull(int y) const {
    for (int x = 0; x < PlayColumns; ++x)
        if (At(x, y) == ENone)
            return false;
    return true;
}

TElement RandomElement() {
    std::uniform_int_distribution<int> kinds(0, 6);
    return TElement(kinds(generator()) + 1);
}

void SeedRandom(quint32 seed) {
    generator().seed(seed);
}

void SeedRandomFromClock() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count() ^
                     std::chrono::system_clock::now().time_since_epoch().count();
    generator().seed(quint32(now) ^ quint32(quint64(now) >> 32));
}

// Nothing lies above the well, so an empty row comes in at the top: row 0 is
// emptied after the move. This also removes a full row 0 like any other full
// row, so the scan in RemoveFullRows always ends.
void RemoveRow(int r) {
    for (int y = r; y >= 1; --y)
        for (int x = 0; x < TField::PlayColumns; ++x)
            Field.Set(x, y, Field.At(x, y - 1));
    for (int x = 0; x < TField::PlayColumns; ++x)
        Field.Set(x, 0, ENone);
}

int RemoveFullRows(TRowsRemovedSink* sink) {
    int count = 0;
    int y = TField::PlayRows - 1;
    while (y >= 0) {
        if (Field.RowFull(y)) {
            ++count;
            RemoveRow(y); // the row above now stands at y: test it again
        } else {
            --y;
        }
    }
    if (count > 0 && sink)
        sink->RowsRemoved(count);
    return count;
}

TFigur::TFigur(TBlockSurface* TheParent) : Parent(TheParent) {
    init(ENone);
}

void TFigur::init(TElement ATyp) {
    Typ = ATyp;
    Y = 1;
    Spin = 0;
    visible = false;
    X = 3;
}

void DrawShape(TBlockSurface& surface, TElement kind, int spin, qint32 x, qint32 y, int size,
               TElement value) {
    for (const TOffset& o : ShapeOf(kind, spin))
        surface.DrawBlock(x + o.dx, y + o.dy, size, value);
}

void TFigur::paint(int size, TElement value) {
    if (Parent)
        DrawOn(*Parent, size, value);
}

void TFigur::DrawOn(TBlockSurface& surface, int size, TElement value) const {
    if (Typ != ENone)
        DrawShape(surface, Typ, Spin, X, Y, size, value);
}

void TFigur::Draw(int size) {
    if (Typ == ENone)
        return;
    paint(size, Typ);
    visible = true;
}

void TFigur::Hide(int size) {
    if (Typ == ENone)
        return;
    paint(size, ENone);
    visible = false;
}

// A cell outside the grid counts as occupied, so a piece that was put out
// of place by hand can never write or read beyond the well.
bool TFigur::Fit() const {
    return FitsAt(X, Y);
}

bool TFigur::FitsAt(qint32 x, qint32 y) const {
    if (Typ == ENone)
        return true;
    for (const TOffset& o : ShapeOf(Typ, Spin)) {
        const int column = x + o.dx + TField::FrameWidth;
        const int row = y + o.dy;
        if (column < 0 || column >= TField::Columns || row < 0 || row >= TField::Rows)
            return false;
        if (Field.Grid(column, row) != ENone)
            return false;
    }
    return true;
}

bool TFigur::CanFallDown() const {
    return FitsAt(X, Y + 1);
}

void TFigur::MovHoriz(qint8 Direction) {
    if (Direction != 1 && Direction != -1)
        return;
    X += Direction;
    if (!Fit())
        X -= Direction;
}

void TFigur::Rotate(qint8 Direction) {
    if (Typ == EO || (Direction != 1 && Direction != -1))
        return;
    const qint8 old = Spin;
    Spin = qint8((Spin + Direction) & 3);
    if (!Fit())
        Spin = old;
}

void TFigur::InsertE(TRowsRemovedSink* sink) {
    if (Typ == ENone)
        return;
    for (const TOffset& o : ShapeOf(Typ, Spin)) {
        const int column = X + o.dx + TField::FrameWidth;
        const int row = Y + o.dy;
        // A piece that does not fit (the end of a game) may cover the frame
        // or stand partly outside; only cells inside the playing area take it.
        if (column >= TField::FrameWidth && column < TField::Columns - TField::FrameWidth &&
            row >= 0 && row < TField::PlayRows)
            Field.SetGrid(column, row, Typ);
    }
    RemoveFullRows(sink);
}

} // namespace stakko
