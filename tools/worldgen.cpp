// Draws the pictures of the level-world sample data: the four episodes' hotel floors (walls
// where each map.ini blocks cells), the coffee steam and the busy sign.
// Fixed shapes only: every run writes the same.
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/tga_write.h"

namespace {

struct Colour {
    int r, g, b;
};

// A BGRA picture; every shape paints whole pixels whose centres it covers.
struct Picture {
    int w, h;
    std::vector<uint8_t> px;
    Picture(int width, int height)
        : w(width), h(height), px(static_cast<size_t>(width) * height * 4, 0) {}

    void put(int x, int y, Colour c, int a = 255) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 4];
        p[0] = static_cast<uint8_t>(c.b);
        p[1] = static_cast<uint8_t>(c.g);
        p[2] = static_cast<uint8_t>(c.r);
        p[3] = static_cast<uint8_t>(a);
    }
    template <typename Inside>
    void fill(Colour c, Inside inside, int a = 255) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (inside(x + 0.5, y + 0.5)) put(x, y, c, a);
    }
    void disc(double cx, double cy, double r, Colour c, int a = 255) {
        fill(
            c,
            [&](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; },
            a);
    }
    void box(double x0, double y0, double x1, double y1, Colour c, int a = 255) {
        fill(
            c, [&](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }, a);
    }
    // Frames of the same size stacked top to bottom.
    void paste(const Picture& frame, int top) {
        for (int y = 0; y < frame.h; ++y)
            for (int x = 0; x < frame.w * 4; ++x)
                px[(static_cast<size_t>(top + y) * w) * 4 + x] =
                    frame.px[static_cast<size_t>(y) * frame.w * 4 + x];
    }
    bool save(const std::string& path) const { return writeTga(path.c_str(), w, h, 32, px, true); }
    bool saveOpaque(const std::string& path) const {
        std::vector<uint8_t> rgb;
        for (size_t i = 0; i < px.size(); i += 4)
            rgb.insert(rgb.end(), {px[i], px[i + 1], px[i + 2]});
        return writeTga(path.c_str(), w, h, 24, rgb, true);
    }
};

// The walk map's columns of cells as map.ini lists them ("nodes<x>="), each padded with walls
// ('1') to the full height; a column the file does not list is all wall.
std::vector<std::string> readWalkColumns(const std::string& file, int columns, int rows) {
    std::vector<std::string> column(static_cast<size_t>(columns), std::string(rows, '1'));
    std::ifstream map(file);
    std::string line;
    while (std::getline(map, line)) {
        int x = 0;
        char text[64] = {};
        if (std::sscanf(line.c_str(), "nodes%d=%63s", &x, text) == 2 && x >= 0 && x < columns)
            column[static_cast<size_t>(x)] = std::string(text) + std::string(rows, '1');
    }
    return column;
}

// The hotel floor: carpet in the rooms, tiles elsewhere, walls where map.ini blocks a cell.
bool drawFloor(const std::string& data) {
    const int step = 32, columns = 32, rows = 24;
    const std::vector<std::string> column = readWalkColumns(data + "/Episodes/e1/map.ini", columns, rows);
    Picture floor(columns * step, rows * step);
    for (int y = 0; y < floor.h; ++y)
        for (int x = 0; x < floor.w; ++x) {
            const int cx = x / step, cy = y / step;
            Colour c;
            if (column[cx][cy] == '2')
                c = ((x / 8 + (y / 8) % 2) % 4 == 0) ? Colour{90, 60, 50} : Colour{120, 85, 70};
            else if (cy < 7)
                c = ((x + y) / 3 % 2) ? Colour{150, 60, 70} : Colour{160, 68, 78};
            else
                c = ((x / 64 + y / 64) % 2) ? Colour{215, 205, 180} : Colour{195, 185, 160};
            floor.put(x, y, c);
        }
    return floor.saveOpaque(data + "/Episodes/e1/back.tga");
}

// Steam puffs rising over six frames.
bool drawSteam(const std::string& dir) {
    const int fw = 48, fh = 48, frames = 6;
    Picture strip(fw, fh * frames);
    for (int i = 0; i < frames; ++i) {
        Picture frame(fw, fh);
        for (int p = 0; p < 3; ++p) {
            const double rise = std::fmod(i * 8.0 + p * 16.0, 48.0);
            frame.disc(16 + p * 8, fh - 6 - rise, 6 + rise / 8, {240, 240, 240},
                       200 - static_cast<int>(rise * 3));
        }
        strip.paste(frame, i * fh);
    }
    return strip.save(dir + "/steam.tga");
}

// The later episodes' floors: the same walls-from-the-map rule as the first hotel, each in the
// colours of its country, so the four hotels read apart at a glance.
struct FloorLook {
    Colour wall, wallJoint, room, roomStripe, floor, floorAlt;
    int tile;  // side of the floor's checker squares
};

bool drawEpisodeFloor(const std::string& data, int episode, const FloorLook& look) {
    const int step = 32, columns = 32, rows = 24;
    const std::string folder = data + "/Episodes/e" + std::to_string(episode);
    const std::vector<std::string> column = readWalkColumns(folder + "/map.ini", columns, rows);
    Picture floor(columns * step, rows * step);
    for (int y = 0; y < floor.h; ++y)
        for (int x = 0; x < floor.w; ++x) {
            const int cx = x / step, cy = y / step;
            Colour c;
            if (column[cx][cy] == '2')
                c = (y % 16 == 0 || (x + (y / 16) * 24) % 48 == 0) ? look.wallJoint : look.wall;
            else if (cy < 7)
                c = ((x / 6 + y / 6) % 5 == 0) ? look.roomStripe : look.room;
            else
                c = ((x / look.tile + y / look.tile) % 2) ? look.floor : look.floorAlt;
            floor.put(x, y, c);
        }
    return floor.saveOpaque(folder + "/back.tga");
}

const FloorLook kEpisodeFloors[] = {
    // Seaside: whitewashed walls, blue carpets, terracotta tiles.
    {{232, 226, 214}, {150, 185, 215}, {70, 125, 185}, {95, 150, 205}, {226, 150, 110}, {240, 200, 160}, 48},
    // The mountains: log walls, green carpets, dark boards.
    {{118, 76, 44}, {80, 50, 28}, {62, 112, 72}, {84, 134, 90}, {128, 90, 58}, {112, 78, 50}, 32},
    // The islands: bamboo walls, woven red mats, pale sand.
    {{205, 176, 98}, {160, 130, 62}, {180, 84, 58}, {214, 128, 84}, {232, 212, 164}, {216, 196, 146}, 64},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: worldgen <Data folder>\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string objects = data + "/Episodes/e1/objects";
    for (const std::string& d : {objects, data + "/Request"})
        mkdir(d.c_str(), 0755);
    bool ok = drawFloor(data) && drawSteam(objects);
    for (int e = 2; e <= 4; ++e) ok = ok && drawEpisodeFloor(data, e, kEpisodeFloors[e - 2]);
    Picture busy(24, 24);
    busy.disc(12, 12, 11, {250, 210, 60});
    busy.fill({80, 60, 20}, [](double x, double y) {
        return std::fabs(x - 12) <= std::fabs(y - 12) * 0.7 && std::fabs(y - 12) <= 7;
    });
    ok = ok && busy.save(objects + "/busy.tga");
    return ok ? 0 : 1;
}
