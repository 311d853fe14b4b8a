// The world demo: the hotel drawn in depth order with Jenny walking the found paths, objects
// glowing under the pointer, breaking into Repair requests and mended by a click.
#include "game/world_demo.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/random.h"
#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "engine/gr/gr_util.h"
#include "engine/snd/snd.h"
#include "world/draw_list.h"
#include "world/factory.h"
#include "world/level_object.h"
#include "world/links.h"
#include "world/moving.h"
#include "world/walkmap.h"

namespace {

constexpr int kEscape = 27, kLeftButton = 1, kKeyB = 'B', kKeyG = 'G';
constexpr int kRepairMs = 20000;
constexpr int kEpisode = 1;
const char kObjectsFile[] = "Data/Episodes/e1/objects.ini";
const char kJennyFile[] = "Data/Heroes/Jenny/Jenny.ini";

Point2i unpack(intptr_t data) {
    return Point2i(static_cast<int16_t>(data & 0xFFFF),
                   static_cast<int16_t>((data >> 16) & 0xFFFF));
}

// Jenny without a task queue: always on duty, empty-handed.
class IdleHero : public HeroLink {
public:
    void AddTask(int, cLevelObj*) override {}
    void RemoveTask(int, cLevelObj*) override {}
    bool HasTask(int, const cLevelObj*) const override { return false; }
    bool HasTaskOfKind(int) const override { return false; }
    bool IsUnavailable() const override { return false; }
    bool IsHolding(const char*) const override { return false; }
    int GetWaitTimeBonus(int) const override { return 0; }
    const char* HandObject(int) const override { return nullptr; }
};

// A walker that shows the walk of its direction and stands still on arrival.
class Walker : public cMovingObj {
public:
    void Update(int ms) override {
        cMovingObj::Update(ms);
        if (walkDir_ > 0)
            SetAnimation(walkDir_ - 1, false);
        else
            animTime_ = 0;
    }
};

class WorldDemo : public ShellWM, public GameLink, public ProfileLink {
public:
    WorldDemo() {
        walk_.Load(kEpisode, Point2i(0, 0));
        cWalkMap::SetCurrent(&walk_);
        worldSetGame(this);
        worldSetProfile(this);
        background_ = iniReadAnimSprite(walk_.File(), "Background", "sprite");
        listItems();
        count_ = createActionObject(objects_, kMaxLevelObjects);
        walker_.Load(kJennyFile);
        walker_.SetAnimation(cMovingObj::kWalkDown, false);
        font_ = grLoadFont("Data/Fonts/normal.tga", nullptr);
    }
    ~WorldDemo() override {
        for (int i = 0; i < count_; ++i) delete objects_[i];
        spriteFree(&background_);
        grFreeFont(font_);
        cWalkMap::SetCurrent(nullptr);
        worldSetGame(nullptr);
        worldSetProfile(nullptr);
    }

    // --- ShellWM ---
    int Count() override { return open_ ? 1 : 0; }
    int Update(int ms) override {
        walker_.Update(ms);
        for (int i = 0; i < count_; ++i) {
            cLevelObj* o = objects_[i];
            o->SetHighlighted(o->HitTestPoint(pointer_.x, pointer_.y) && o->GetCurrentSprite());
            o->Update(ms);
            // A repair left waiting too long is given up: the object stands as before.
            if (o->GetState() == cLevelObj::kBroken && o->GetRequest().Update(ms) == 0)
                o->SetState(cLevelObj::kReset);
        }
        return 1;
    }
    int Render() override {
        grDrawSprite(0, 0, background_, 0);
        for (int i = 0; i < count_; ++i) objects_[i]->AddToDrawList(&list_);
        walker_.AddToDrawList(&list_);
        list_.Flush();
        if (showGrid_) drawGrid();
        grDrawTextA(font_, 512, 748,
                    "Click: walk there or mend   B: break something   G: grid and path   Esc: back",
                    0, 0, 0);
        return 1;
    }
    int OnKeyDown(int key, intptr_t data) override {
        if (key == kEscape) open_ = false;
        if (key == kKeyG) showGrid_ = !showGrid_;
        if (key == kKeyB) breakSomething();
        if (key == kLeftButton) click(unpack(data));
        return 1;
    }
    int OnKeyUp(int, intptr_t) override { return 1; }
    int OnChar(int, intptr_t) override { return 1; }
    int OnMouseMove(int, intptr_t position) override {
        pointer_ = unpack(position);
        return 1;
    }

    // --- GameLink ---
    cLevelObj* FindLevelObjectByName(const char* name) override {
        for (int i = 0; name && *name && i < count_; ++i)
            if (strcmp(objects_[i]->GetName(), name) == 0) return objects_[i];
        return nullptr;
    }
    HeroLink* GetHeroByName(const char*) override { return &hero_; }
    int GetRequestPriceBonus() override { return 0; }
    int GetRequestTimeBonus() override { return 0; }
    cBaseObj* FindClientByRequestTarget(const cLevelObj*) override { return nullptr; }
    void PlayWrongAction(int) override { worldPlaySound("wrong_action"); }
    void SetUpgradeSettled() override {}

    // --- ProfileLink: every object of the episode is owned ---
    int Episode() const override { return kEpisode; }
    int Level() const override { return 0; }
    int ObjectItemCount() const override { return static_cast<int>(items_.size()); }
    const ObjectItemInfo* ObjectItem(int i) const override { return &items_[i]; }
    const char* CurrentShopItems() const override { return ""; }
    const char* PreviousShopItems() const override { return ""; }

private:
    // Every section but [Main] and the action sections the others name.
    void listItems() {
        static char sections[10240];
        iniGetSections(kObjectsFile, sections, sizeof sections);
        std::vector<std::string> names, actions;
        for (const char* s = sections; *s; s += strlen(s) + 1) {
            if (strCmpNoCase(s, "Main") == 0) continue;
            names.push_back(s);
            const char* action = iniGetString(kObjectsFile, s, "action", "");
            if (*action) actions.push_back(action);
        }
        for (const std::string& n : names) {
            bool isAction = false;
            for (const std::string& a : actions) isAction = isAction || a == n;
            if (isAction) continue;
            ObjectItemInfo item;
            item.name = n.c_str();
            item.type = iniGetString(kObjectsFile, n.c_str(), "type", "");
            items_.push_back(item);
        }
    }

    void click(Point2i p) {
        for (int i = 0; i < count_; ++i) {
            cLevelObj* o = objects_[i];
            if (o->GetState() == cLevelObj::kBroken && o->HitTestPoint(p.x, p.y)) {
                o->GetRequest().SetDone();
                o->SetState(cLevelObj::kReset);
                return;
            }
            if (o->GetActionObject() && o->HitTestPoint(p.x, p.y)) {
                o->PlayAction(0);
                return;
            }
        }
        walker_.WalkTo(p, 3, 2);
    }

    void breakSomething() {
        std::vector<cLevelObj*> candidates;
        for (int i = 0; i < count_; ++i)
            if (objects_[i]->CanBreak()) candidates.push_back(objects_[i]);
        if (!candidates.empty())
            candidates[gRandom.Int(static_cast<uint32_t>(candidates.size()))]->Break(kRepairMs);
    }

    void drawGrid() {
        const Point2i n = walk_.GetSize(), step = walk_.Step();
        for (int x = 0; x < n.x; ++x)
            for (int y = 0; y < n.y; ++y) {
                const Cell* c = walk_.GetCell(x, y);
                const uint32_t colour = cellBlocked(c->value) ? 0x60FF3030u : 0x20FFFFFFu;
                grDrawRect(c->position.x + 1, c->position.y + 1, c->position.x + step.x - 1,
                           c->position.y + step.y - 1, colour);
            }
        const cArray<Point2i>& path = walker_.GetPath();
        for (uint32_t i = 0; i < path.size(); ++i) {
            const Cell* c = walk_.GetCell(path[i].x, path[i].y);
            if (c)
                grDrawRect(c->position.x + 8, c->position.y + 8, c->position.x + step.x - 8,
                           c->position.y + step.y - 8, 0xA030E040u);
        }
    }

    cWalkMap walk_;
    IdleHero hero_;
    std::vector<ObjectItemInfo> items_;
    cLevelObj* objects_[kMaxLevelObjects] = {};
    int count_ = 0;
    Walker walker_;
    DrawList list_;
    HSPRITE background_ = nullptr;
    CGraphFont* font_ = nullptr;
    Point2i pointer_{-1000, -1000};
    bool showGrid_ = false, open_ = true;
};

}  // namespace

ShellWM* worldDemoCreate() { return new WorldDemo; }
