// The records that live for the whole run whatever player and level are current: the way points
// of the episode map, the school items, the three staff heroes, the effects, the comics, the hand
// objects, the room sprites and the game-finished flag.
#pragma once

#include <cstdint>
#include <string>

#include "core/array.h"
#include "core/strings.h"
#include "core/text.h"
#include "core/values.h"
#include "core/strmap.h"
#include "engine/gr/gr.h"
#include "world/object.h"

class cJenny;
class cMaid;
class cPorter;
class FxManager;
class FlyingTips;

// One point of the episode map: a level or a mini-game, in map order.
class cMapWayPoint {
public:
    static constexpr int32_t kUnreadable = 0;
    static constexpr int32_t kLevel = 1;
    static constexpr int32_t kMiniGame = 2;

    cMapWayPoint() : startValues_(0, 0), levelNumber_(0) {}
    cMapWayPoint(int32_t episode, int32_t kind, Point2i pos)
        : episode_(episode), kind_(kind), pos_(pos), startValues_(0, 0), levelNumber_(0) {}

    int32_t GetEpisode() const { return episode_; }
    int32_t GetKind() const { return kind_; }
    Point2i GetPos() const { return pos_; }
    // 0 and 1 are not completed, 2 completed, 3 completed at expert grade.
    int32_t GetResult() const { return result_; }
    // A replay never lowers what the way point has reached: the better result is kept.
    void SetResult(int32_t result) { result_ = result > result_ ? result : result_; }
    // The stored result as it is, when a player's progress is read.
    void LoadResult(int32_t result) { result_ = result; }
    // (cash, skill points) with which the level starts.
    Point2i GetStartValues() const { return startValues_; }
    void SetStartValues(Point2i values) { startValues_ = values; }
    // The level's number inside its episode; -1 for a mini-game.
    int32_t GetLevelNumber() const { return levelNumber_; }
    void SetLevelNumber(int32_t n) { levelNumber_ = n; }

private:
    int32_t episode_ = 0;
    int32_t kind_ = kUnreadable;
    Point2i pos_{0, 0};
    int32_t result_ = 0;
    Point2i startValues_;
    int32_t levelNumber_;
};

// A hotel object that learning a school item puts into the hotel; only the section is used.
struct cSchoolBonus {
    CString section;
    CString name;
    CString type;
};

// One staff skill of the school. Owns its icons.
class cSchoolItem {
public:
    cSchoolItem() = default;
    ~cSchoolItem();
    cSchoolItem(const cSchoolItem&) = delete;
    cSchoolItem& operator=(const cSchoolItem&) = delete;

    CString type;  // the skill line: a player holds one item per line
    CString hero;
    CString name;  // the section name
    HSPRITE iconNormal = nullptr;
    HSPRITE iconDisabled = nullptr;
    int32_t price = 0;  // skill points
    int32_t bonusAbility = 0;
    uint8_t bonusWaitTime = 0;
    uint8_t bonusService = 0;
    CString bonusText;
    uint8_t allowedFromLevel = 0;
    uint8_t grade = 0;
    cArray<cSchoolBonus> grants;
    TokenList replaceCosts;
    std::u16string description;
    std::u16string bonusDescription;
};

// A thing a hero carries, seen standing (0) and walking in the eight directions (1..8: left,
// up-left, up, up-right, right, down-right, down, down-left).
class cHandObject {
public:
    static constexpr int kDirections = 9;
    // Each direction from the section of its name; a missing section leaves that one empty.
    void Load(const char* iniFile);
    // Null outside 0..8.
    const AnimDesc* Entry(int direction) const;

private:
    AnimDesc anims_[kDirections];
};

extern cArray<cMapWayPoint> gWayPoints;
extern cArray<cSchoolItem*> gSchoolItems;
extern cArray<HSPRITE> gRoomSprites;
// Set when the player has finished the last way point; cleared by FreeGameData.
extern bool gGameFinished;
// The staff heroes, built anew for every level; owned here, the level only points at them.
extern cJenny* gJenny;
extern cMaid* gMaid;
extern cPorter* gPorter;
// The combo caption's format and font, read with the heroes.
constexpr int kComboTextSize = 64;
extern char16_t gComboText[kComboTextSize];
extern CGraphFont* gComboFont;
// The effect manager and the flying tips of the whole run; null until LoadFxList, and every user
// tests them.
extern FxManager* gFxManager;
extern FlyingTips* gFlyingTips;
// What heroes carry, by name and grade ("cocktail0"), from "Data/HandObj/HandObjects.ini".
extern cStrMap<cHandObject*> gHandObjects;

// Appends the way points of "Data/shared.ini" [WayPoints] ("0", "1", ... each "level" or "mini",
// episode, x, y); the first missing or unreadable entry ends the list. Runs once per run.
void LoadWayPoints();
// Appends every section of "Data/Menu/UISchool/items.ini" to gSchoolItems. Runs once per run.
void LoadSchoolItems();
// Deletes the three heroes if they exist and loads new ones from "data/Heroes/<name>/<name>.ini";
// then the combo text ("#COMBO", at most 63 characters) and font ([GameWindow] "combo_font").
void LoadHeroes();
// A new effect manager and new flying tips from "Data/Fx/fx.ini" in place of any before.
void LoadFxList();
// Stops every effect and removes every flying tip, when they exist; a level does it as it loads.
void ResetFx();
// The comics manager with every comic loaded; nothing when it exists already.
void CreateComicsManager();
// Every hand object that "Data/HandObj/HandObjects.ini" [Main] "objects" names, each from
// "fname_format" filled with the name twice; names already held are kept as they are.
void LoadHandObjects();
// The direction's picture of a hand object; null for an unknown name or a direction outside 0..8.
const AnimDesc* FindHandObjectEntry(const char* name, int direction);
// The four room sprites (single, double, luxe, president) of "Data/Episodes/e1/objects.ini";
// nothing when they are already loaded.
void LoadRoomSprites();
// The sprite of room kind 0..3; null for any other kind.
HSPRITE GetRoomSprite(int kind);
// Releases the heroes, the combo text, the effects, the comics, the hand objects, the school items
// and the room sprites and clears the game-finished flag; the way points and the combo font stay
// until the end of the run.
void FreeGameData();

// Episode structure, read from the way points so that another map needs no code change.
// True when way point i is the first of its episode (way point 0 always is, even on an empty
// map); false for any other index out of range.
// Every episode starts there with empty pockets.
bool IsEpisodeStart(uint32_t i);
// The last way point of each episode, in map order: where an episode's result is kept.
cArray<uint32_t> EpisodeEnds();
