#pragma once
// The well and the pieces: the grid the pieces fall into, the seven piece
// kinds with their four orientations, the piece object that tests itself
// against the well, moves, turns and fixes itself into it, and the removal
// of completed rows. Drawing and the reactions to removed rows (sound,
// statistics) are reached through two small interfaces so that this logic
// can be tested on its own.

#include <QtGlobal>

#include <array>
#include <cstdint>

namespace stakko {

// Content of a well cell and kind of a piece.
enum TElement : quint8 { ENone = 0, EI, EL, EJ, ET, EO, EZ, ES, EFrame };

// A surface that draws one block: the well's paint box or the preview box.
class TBlockSurface {
public:
    virtual ~TBlockSurface() = default;
    // Draws block (x, y) of edge `size` pixels with the colour of `value`.
    virtual void DrawBlock(int x, int y, int size, TElement value) = 0;
};

// Told about rows that a landed piece completed; the game plays their sound
// and counts them.
class TRowsRemovedSink {
public:
    virtual ~TRowsRemovedSink() = default;
    virtual void RowsRemoved(int count) = 0;
};

// The well: 13 columns by 22 rows, one byte per cell, stored column by
// column. Columns 2..10 and rows 0..19 are the playing area; a frame two
// cells thick lies left, right and below it, nothing above.
class TField {
public:
    static constexpr int Columns = 13;
    static constexpr int Rows = 22;
    static constexpr int PlayColumns = 9;
    static constexpr int PlayRows = 20;
    static constexpr int FrameWidth = 2;

    // Grid cell by grid column and row.
    [[nodiscard]] TElement Grid(int column, int row) const { return FCells[index(column, row)]; }
    void SetGrid(int column, int row, TElement value) { FCells[index(column, row)] = value; }

    // Cell by playing coordinates: x 0..8, y 0..19 (the frame lies around).
    [[nodiscard]] TElement At(int x, int y) const { return Grid(x + FrameWidth, y); }
    void Set(int x, int y, TElement value) { SetGrid(x + FrameWidth, y, value); }

    // Empties the whole grid, then lays the frame: the reset of a new game.
    void Reset();
    // Empties the 9 x 20 playing cells only.
    void ClearPlayingArea();
    // True when none of the nine playing cells of row y is empty.
    [[nodiscard]] bool RowFull(int y) const;

    [[nodiscard]] const std::array<TElement, Columns * Rows>& Bytes() const { return FCells; }

private:
    [[nodiscard]] static int index(int column, int row) {
        Q_ASSERT(column >= 0 && column < Columns && row >= 0 && row < Rows);
        return column * Rows + row;
    }
    std::array<TElement, Columns * Rows> FCells{};
};

// The one well of the program.
extern TField Field;

struct TOffset {
    qint8 dx;
    qint8 dy;
};
using TShape = std::array<TOffset, 4>;

// The four cells of each piece kind (EI..ES, index kind - 1) in each
// orientation, as offsets from the piece's reference position.
extern const std::array<std::array<TShape, 4>, 7> ShapeTable;

// The shape of `kind` (EI..ES) in orientation `spin` (0..3).
[[nodiscard]] const TShape& ShapeOf(TElement kind, int spin);

// A piece kind from EI to ES, each with probability 1/7, independent of
// earlier draws.
[[nodiscard]] TElement RandomElement();
// Seeds the generator behind RandomElement; the game seeds it once from the
// clock, tests with a fixed value.
void SeedRandom(quint32 seed);
void SeedRandomFromClock();

// Finds and removes full rows from the bottom up and tells `sink` how many
// went (only when at least one did). Returns the count.
int RemoveFullRows(TRowsRemovedSink* sink);
// Moves the playing rows above row r down by one and empties row 0.
void RemoveRow(int r);

// Draws the four blocks of `kind` (EI..ES) turned `spin` at (x, y) on
// `surface`, each with `value` (ENone erases them).
void DrawShape(TBlockSurface& surface, TElement kind, int spin, qint32 x, qint32 y, int size,
               TElement value);

// A falling piece or the preview piece. The game's two pieces are changed
// by the game alone; others see them const.
class TFigur {
public:
    explicit TFigur(TBlockSurface* TheParent);
    TFigur(const TFigur&) = delete;
    TFigur& operator=(const TFigur&) = delete;

    TBlockSurface* Parent;
    TElement Typ = ENone;
    qint32 X = 3;
    qint32 Y = 1;
    qint8 Spin = 0;
    bool visible = false;

    // Puts the piece at its start position: column 3, row 1, orientation 0.
    void init(TElement ATyp);
    void Draw(int size);
    void Hide(int size);
    // Draws the piece on `surface` in its colour, or erases it with ENone;
    // unlike Draw and Hide it leaves the piece as it is.
    void DrawOn(TBlockSurface& surface, int size, TElement value) const;
    // True when every cell of the piece is empty in the well (ENone fits).
    [[nodiscard]] bool Fit() const;
    // True when the piece would fit one row lower.
    [[nodiscard]] bool CanFallDown() const;
    void MovHoriz(qint8 Direction);
    void Rotate(qint8 Direction);
    // Fixes the piece into the well and removes the rows it completed.
    void InsertE(TRowsRemovedSink* sink);

private:
    [[nodiscard]] bool FitsAt(qint32 x, qint32 y) const;
    void paint(int size, TElement value);
};

} // namespace stakko
