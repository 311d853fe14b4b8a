// The level's monster wave: built from the level file, stepped, drawn and struck by the player's
// clicks, and sent away once every client is served.
#include <cstdlib>

#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "game/game.h"
#include "world/porter.h"

namespace {

// "a/b" as two integers; (0, 0) with fewer than two numbers.
Point2i slashPair(const char* text) {
    TokenList numbers = TokenList::Split(text, '/');
    if (numbers.Count() < 2) return Point2i(0, 0);
    return Point2i(atoi(numbers.At(0)), atoi(numbers.At(1)));
}

}  // namespace

void cGame::LoadMonsters() {
    Point2i base(0, 0);
    iniReadIntPair(&base, levelsFile_, "BasePos", "monsters");
    const char* line = iniGetString(levelsFile_, levelSection_, "monsters", "");
    TokenList parts = TokenList::Split(line, ',');
    if (parts.Count() < 4) {
        if (parts.Count() > 0)
            logPrintf("%s [%s] \"monsters\": \"%s\" is not kind, count, delays, intervals; the level "
                      "has no monsters\n",
                      levelsFile_, levelSection_, line);
        return;
    }
    cArray<Point2i> wayPoints;
    TokenList points = TokenList::Split(iniGetString(levelsFile_, "Main", "monsters_way", ""), ';');
    for (uint32_t i = 0; i < points.Count(); ++i) {
        TokenList xy = TokenList::Split(points.At(i), ',');
        if (xy.Count() >= 2) wayPoints.push_back(Point2i(atoi(xy.At(0)), atoi(xy.At(1))));
    }
    monsterWave_.Load(parts.At(0), atoi(parts.At(1)), slashPair(parts.At(2)),
                      slashPair(parts.At(3)), base, wayPoints);
}

void cGame::UpdateMonsters(int ms) {
    // Runs after the level-end check: once every client is served, no monster stays to frighten
    // anyone, and each step strikes the ones still about.
    if (allServed_) monsterWave_.StopAll();
    monsterWave_.Update(ms);
}

void cGame::DrawMonsters() { monsterWave_.Draw(&drawList_); }

void cGame::ClickMonsters(int x, int y) {
    const cPorter* porter = dynamic_cast<const cPorter*>(GetHeroByName("Porter"));
    monsterWave_.OnClick(Point2i(x, y), (porter ? porter->DefenseLevel() : 0) + 1);
}

cBaseObj* cGame::FindMonsterByTarget(const cBaseObj* client) {
    return monsterWave_.FindByTarget(client);
}
