// Walk grids for the path-finding tests and benchmark: a small hotel floor, a large maze-like
// stress grid and random ones, with fixed pairs of free cells.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/random.h"
#include "world/walkmap.h"

namespace grids {

// rows[y][x]: '1' free, '2' blocked.
using Rows = std::vector<std::string>;

// Rooms off a corridor above a furnished lobby, 32 x 24.
inline Rows hotel() {
    Rows r(24, std::string(32, '1'));
    for (int x = 0; x < 32; ++x) r[0][x] = r[9][x] = '2';
    for (int x = 0; x < 32; x += 6)  // room walls with doors onto the corridor (rows 10-11)
        for (int y = 0; y < 9; ++y) r[y][x] = '2';
    for (int x = 3; x < 32; x += 6) r[9][x] = '1';
    for (int x = 0; x < 32; ++x) r[12][x] = (x % 8 == 4) ? '1' : '2';  // lobby wall
    const int furniture[][4] = {{3, 15, 3, 2}, {10, 14, 2, 4}, {16, 18, 5, 2}, {24, 14, 3, 3},
                                {6, 20, 4, 1}, {27, 20, 2, 2}, {13, 21, 1, 2}};
    for (const auto& f : furniture)
        for (int y = f[1]; y < f[1] + f[3]; ++y)
            for (int x = f[0]; x < f[0] + f[2]; ++x) r[y][x] = '2';
    return r;
}

// Walls with gaps every 16 cells and about 20% scattered blocks, 128 x 96.
inline Rows stress(uint32_t seed = 7) {
    Random rnd(seed);
    Rows r(96, std::string(128, '1'));
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 128; ++x)
            if (rnd.Int(100) < 20) r[y][x] = '2';
    for (int x = 16; x < 128; x += 16)
        for (int y = 0; y < 96; ++y)
            if (y % 24 > 3) r[y][x] = '2';
    for (int y = 12; y < 96; y += 12)
        for (int x = 0; x < 128; ++x)
            if (x % 32 > 5) r[y][x] = '2';
    return r;
}

inline Rows random(int w, int h, int blockedPercent, uint32_t seed) {
    Random rnd(seed);
    Rows r(h, std::string(w, '1'));
    for (auto& row : r)
        for (char& c : row)
            if (static_cast<int>(rnd.Int(100)) < blockedPercent) c = '2';
    return r;
}

// Column-major cells as the walk map keeps them.
inline std::vector<Cell> cells(const Rows& r) {
    const int h = static_cast<int>(r.size()), w = static_cast<int>(r[0].size());
    std::vector<Cell> out(static_cast<size_t>(w) * h);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) out[x * h + y] = Cell{Point2i(x, y), r[y][x] - '0'};
    return out;
}

// n pairs of distinct free cells as states (y * width + x).
inline std::vector<std::pair<uint32_t, uint32_t>> pairs(const Rows& r, int n, uint32_t seed) {
    const int h = static_cast<int>(r.size()), w = static_cast<int>(r[0].size());
    std::vector<uint32_t> free;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (r[y][x] == '1') free.push_back(static_cast<uint32_t>(y * w + x));
    Random rnd(seed);
    std::vector<std::pair<uint32_t, uint32_t>> out;
    while (static_cast<int>(out.size()) < n) {
        const uint32_t a = free[rnd.Int(static_cast<uint32_t>(free.size()))];
        const uint32_t b = free[rnd.Int(static_cast<uint32_t>(free.size()))];
        if (a != b) out.push_back({a, b});
    }
    return out;
}

}  // namespace grids
