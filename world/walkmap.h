// The level's walk grid read from the episode's map.ini, its path-search graph, and the small
// integer grid that objects' walk masks are kept in.
#pragma once

#include <cstdint>

#include "core/array.h"
#include "core/values.h"
#include "world/micropather.h"

// One cell of the walk grid.
struct Cell {
    Point2i position;  // level coordinates of the cell's top-left corner
    int32_t value;     // '1' in the file is 1 (free), '2' is 2 (blocked)
};

// A cell value that no path may enter.
inline bool cellBlocked(int32_t value) { return (value & 66) != 0; }

// The path-search graph over the cells: state y * columns + x, eight neighbours.
class Map : public micropather::Graph {
public:
    Map();
    ~Map() override;
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;

    // Borrows the walk map's cells (column-major, rows per column) and starts a fresh solver.
    void SetCells(Cell* cells, int columns, int rows);

    // The distance in tens of cells (each axis divided by 10, truncated), deliberately weak: it
    // decides which of several equal-cost paths the search returns.
    float LeastCostEstimate(uint32_t a, uint32_t b) override;
    void AdjacentCost(uint32_t state, cArray<micropather::StateCost>* adjacent) override;
    // The eight steps, straight ones cost 1 and diagonal ones 1.41, in a fixed order; a step
    // off the grid or onto a blocked cell is not open.
    uint32_t GridMoves(const micropather::Move** moves, uint32_t* moveCount) override;
    uint32_t OpenMoves(uint32_t state) override;

    // Fills statePath; the solver's result code.
    int Solve(uint32_t from, uint32_t to, float* cost);
    const cArray<uint32_t>& StatePath() const { return statePath_; }
    micropather::MicroPather* Solver() { return solver_; }

private:
    cArray<uint32_t> statePath_;
    micropather::MicroPather* solver_;
    micropather::Move moves_[8];
    int columns_, rows_;
    Cell* cells_;
};

// A width x height grid of 32-bit cells, all 1 when made; cells outside read and write a spare.
class cMaskGrid {
public:
    cMaskGrid(int width, int height, Point2i origin);
    ~cMaskGrid();
    cMaskGrid(const cMaskGrid&) = delete;
    cMaskGrid& operator=(const cMaskGrid&) = delete;

    void Fill();
    // x and y compare as unsigned, so negative ones are outside too.
    int32_t& CellRef(int x, int y);
    bool AccessedOutside() const { return outside_; }
    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    Point2i Origin() const { return origin_; }
    void SetOrigin(Point2i origin) { origin_ = origin; }

private:
    int32_t* cells_;  // row after row
    uint32_t width_, height_;
    Point2i origin_;
    int32_t spare_;
    bool outside_;
};

class cWalkMap {
public:
    // The most cells a map may have; a larger grid is refused.
    static constexpr int kMaxCells = 1 << 18;

    cWalkMap();
    cWalkMap(const cWalkMap&) = delete;
    cWalkMap& operator=(const cWalkMap&) = delete;

    // Reads Data/Episodes/e<episode>/map.ini. A missing file or a [Main] "size"/"step" that is
    // not positive, or a grid too large, leaves an empty grid (logged): every search then fails.
    bool Load(int episode, Point2i point);

    // Level point to cell, truncating toward zero; with no grid the cell is (-1, -1), outside.
    Point2i ScreenToCell(Point2i p) const;
    Vec2f CellToScreenF(Point2i cell) const;
    bool Inside(Point2i cell) const;
    // The cells from the cell of from to the cell of to; false (path empty) when either is
    // outside, the target is blocked, both are one cell or no way exists.
    bool FindPath(cArray<Point2i>& path, Point2i from, Point2i to);

    // Null outside the grid. A cell handed out may be changed: the paths kept are forgotten.
    Cell* GetCell(int x, int y);
    Point2i GetSize() const { return cellCount_; }
    Point2i Offset() const { return offset_; }
    Point2i Step() const { return step_; }
    const char* File() const { return file_; }
    Map& Graph() { return graph_; }

    // The walk map of the level being played; moving objects and masks use it.
    static cWalkMap* Current();
    static void SetCurrent(cWalkMap* map);

private:
    void clearGrid();
    void forgetPaths();

    // The last few searches' answers, by their cells: guests walk the same few ways again (the
    // desk, their room, the way out), and the same search on the same grid finds the same path.
    struct KeptPath {
        uint32_t from = 0, to = 0;
        bool used = false;
        cArray<Point2i> cells;
    };
    static constexpr int kKeptPaths = 8;
    KeptPath kept_[kKeptPaths];
    int nextKept_ = 0;

    char file_[512];
    Map graph_;
    cArray<Cell> cells_;  // column after column: cells_[x * rows + y]
    Point2i cellCount_, size_, offset_, step_, point_;
};
