// Walk map loading, cell conversion, the eight-neighbour graph and the mask grid.
#include "world/walkmap.h"

#include <climits>
#include <cmath>
#include <cstdio>

#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"

namespace {

cWalkMap* gCurrentWalkMap = nullptr;

struct Step {
    int dx, dy;
    float cost;
};
// Straight steps cost 1, diagonal ones 1.41; tried in this order.
const Step kSteps[8] = {{1, 0, 1.0f},  {1, 1, 1.41f},   {0, 1, 1.0f},  {-1, 1, 1.41f},
                        {-1, 0, 1.0f}, {-1, -1, 1.41f}, {0, -1, 1.0f}, {1, -1, 1.41f}};

int32_t clampToInt(int64_t v) {
    return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : static_cast<int32_t>(v);
}

}  // namespace

// --- Map ---------------------------------------------------------------------------------------

Map::Map() : solver_(nullptr), moves_(), columns_(0), rows_(0), cells_(nullptr) {}

Map::~Map() { delete solver_; }

void Map::SetCells(Cell* cells, int columns, int rows) {
    cells_ = cells;
    columns_ = columns;
    rows_ = rows;
    statePath_.clear();
    for (int k = 0; k < 8; ++k) {
        moves_[k].offset = kSteps[k].dy * columns + kSteps[k].dx;
        moves_[k].cost = kSteps[k].cost;
    }
    delete solver_;
    solver_ = new micropather::MicroPather(this, 250, 6);
}

float Map::LeastCostEstimate(uint32_t a, uint32_t b) {
    const int ax = static_cast<int>(a % columns_), ay = static_cast<int>(a / columns_);
    const int bx = static_cast<int>(b % columns_), by = static_cast<int>(b / columns_);
    const int dx = (ax - bx) / 10, dy = (ay - by) / 10;
    return std::sqrt(static_cast<float>(dx * dx + dy * dy));
}

uint32_t Map::OpenMoves(uint32_t state) {
    const int x = static_cast<int>(state % columns_), y = static_cast<int>(state / columns_);
    uint32_t open = 0;
    for (int k = 0; k < 8; ++k) {
        const int nx = x + kSteps[k].dx, ny = y + kSteps[k].dy;
        if (nx < 0 || ny < 0 || nx >= columns_ || ny >= rows_) continue;
        if (cellBlocked(cells_[nx * rows_ + ny].value)) continue;
        open |= 1u << k;
    }
    return open;
}

void Map::AdjacentCost(uint32_t state, cArray<micropather::StateCost>* adjacent) {
    const uint32_t open = OpenMoves(state);
    for (int k = 0; k < 8; ++k)
        if (open & (1u << k)) {
            const int32_t to = static_cast<int32_t>(state) + moves_[k].offset;
            micropather::StateCost sc = {static_cast<uint32_t>(to), moves_[k].cost};
            adjacent->push_back(sc);
        }
}

uint32_t Map::GridMoves(const micropather::Move** moves, uint32_t* moveCount) {
    *moves = moves_;
    *moveCount = 8;
    return cells_ ? static_cast<uint32_t>(columns_ * rows_) : 0;
}

int Map::Solve(uint32_t from, uint32_t to, float* cost) {
    statePath_.clear();
    *cost = 0.0f;
    if (!solver_) return micropather::MicroPather::NO_SOLUTION;
    return solver_->Solve(from, to, &statePath_, cost);
}

// --- cMaskGrid ---------------------------------------------------------------------------------

cMaskGrid::cMaskGrid(int width, int height, Point2i origin)
    : cells_(nullptr), width_(0), height_(0), origin_(origin), spare_(0), outside_(false) {
    if (width > 0 && height > 0) {
        width_ = static_cast<uint32_t>(width);
        height_ = static_cast<uint32_t>(height);
        cells_ = new int32_t[static_cast<size_t>(width_) * height_];
        Fill();
    }
}

cMaskGrid::~cMaskGrid() { delete[] cells_; }

void cMaskGrid::Fill() {
    for (size_t i = 0; i < static_cast<size_t>(width_) * height_; ++i) cells_[i] = 1;
}

int32_t& cMaskGrid::CellRef(int x, int y) {
    if (static_cast<uint32_t>(x) >= width_ || static_cast<uint32_t>(y) >= height_) {
        outside_ = true;
        spare_ = 0;
        return spare_;
    }
    return cells_[static_cast<size_t>(y) * width_ + static_cast<uint32_t>(x)];
}

// --- cWalkMap ----------------------------------------------------------------------------------

// Room for a path across a whole floor in each kept path, so that keeping one allocates nothing.
constexpr uint32_t kKeptPathRoom = 128;

cWalkMap::cWalkMap() : cellCount_(0, 0), size_(0, 0), offset_(0, 0), step_(0, 0), point_(0, 0) {
    file_[0] = 0;
    for (KeptPath& kept : kept_) kept.cells.reserve(kKeptPathRoom);
}

void cWalkMap::forgetPaths() {
    for (KeptPath& kept : kept_) kept.used = false;
}

cWalkMap* cWalkMap::Current() { return gCurrentWalkMap; }
void cWalkMap::SetCurrent(cWalkMap* map) { gCurrentWalkMap = map; }

void cWalkMap::clearGrid() {
    forgetPaths();
    cells_.release();
    cellCount_ = Point2i(0, 0);
    graph_.SetCells(nullptr, 0, 0);
}

bool cWalkMap::Load(int episode, Point2i point) {
    point_ = point;
    safeSnprintf(file_, sizeof file_, "Data/Episodes/e%d/map.ini", episode);
    clearGrid();
    iniReadIntPair(&offset_, file_, "Main", "offset");
    iniReadIntPair(&step_, file_, "Main", "step");
    iniReadIntPair(&size_, file_, "Main", "size");
    if (step_.x <= 0 || step_.y <= 0 || size_.x <= 0 || size_.y <= 0) {
        logPrintf(
            "%s: [Main] \"size\" and \"step\" must be positive (size %d,%d step %d,%d); "
            "no walk grid\n",
            file_, size_.x, size_.y, step_.x, step_.y);
        return false;
    }
    const int columns = size_.x / step_.x, rows = size_.y / step_.y;
    const int64_t far = static_cast<int64_t>(offset_.x) + size_.x;
    const int64_t low = static_cast<int64_t>(offset_.y) + size_.y;
    if (columns < 1 || rows < 1 || static_cast<int64_t>(columns) * rows > kMaxCells ||
        far > INT_MAX || low > INT_MAX) {
        logPrintf(
            "%s: a walk grid of %d x %d cells at %d,%d is out of range (at most %d cells); "
            "no walk grid\n",
            file_, columns, rows, offset_.x, offset_.y, kMaxCells);
        return false;
    }
    cellCount_ = Point2i(columns, rows);
    cells_.resize(static_cast<uint32_t>(columns * rows), Cell{Point2i(0, 0), 1});
    char key[32];
    for (int x = 0; x < columns; ++x) {
        safeSnprintf(key, sizeof key, "nodes%d", x);
        const char* text = iniGetString(file_, "map", key, "");
        const char* c = text;
        for (int y = 0; y < rows; ++y) {
            Cell& cell = cells_[x * rows + y];
            cell.position = Point2i(x * step_.x + offset_.x, y * step_.y + offset_.y);
            cell.value = *c ? *c++ - '0' : 1;
        }
    }
    graph_.SetCells(&cells_[0], columns, rows);
    return true;
}

Point2i cWalkMap::ScreenToCell(Point2i p) const {
    if (step_.x <= 0 || step_.y <= 0 || cellCount_.x == 0) return Point2i(-1, -1);
    return Point2i(clampToInt((static_cast<int64_t>(p.x) - offset_.x) / step_.x),
                   clampToInt((static_cast<int64_t>(p.y) - offset_.y) / step_.y));
}

Vec2f cWalkMap::CellToScreenF(Point2i cell) const {
    return Vec2f(static_cast<float>(cell.x) * step_.x + offset_.x,
                 static_cast<float>(cell.y) * step_.y + offset_.y);
}

bool cWalkMap::Inside(Point2i cell) const {
    return cell.x >= 0 && cell.y >= 0 && cell.x < cellCount_.x && cell.y < cellCount_.y;
}

Cell* cWalkMap::GetCell(int x, int y) {
    if (!Inside(Point2i(x, y))) return nullptr;
    forgetPaths();
    return &cells_[x * cellCount_.y + y];
}

bool cWalkMap::FindPath(cArray<Point2i>& path, Point2i from, Point2i to) {
    path.clear();
    const Point2i a = ScreenToCell(from), b = ScreenToCell(to);
    if (!Inside(a) || !Inside(b)) return false;
    const int32_t target = cells_[b.x * cellCount_.y + b.y].value;
    if (target == 2) return false;
    if (a.x == b.x && a.y == b.y) return false;
    if (cellBlocked(target)) return false;
    const int columns = cellCount_.x;
    const uint32_t start = static_cast<uint32_t>(a.y * columns + a.x);
    const uint32_t end = static_cast<uint32_t>(b.y * columns + b.x);
    for (const KeptPath& kept : kept_)
        if (kept.used && kept.from == start && kept.to == end) {
            for (uint32_t i = 0; i < kept.cells.size(); ++i) path.push_back(kept.cells[i]);
            return path.size() > 0;
        }
    float cost;
    graph_.Solve(start, end, &cost);
    const cArray<uint32_t>& states = graph_.StatePath();
    KeptPath& kept = kept_[nextKept_];
    nextKept_ = (nextKept_ + 1) % kKeptPaths;
    kept.from = start;
    kept.to = end;
    kept.used = true;
    kept.cells.clear();
    for (uint32_t i = 0; i < states.size(); ++i) {
        const Point2i cell(static_cast<int>(states[i] % columns),
                           static_cast<int>(states[i] / columns));
        path.push_back(cell);
        kept.cells.push_back(cell);
    }
    return path.size() > 0;
}
