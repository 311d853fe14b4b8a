// Stand-ins for the level screen and the heroes, files written into the test folder, and a
// listener for the world's sounds.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/data/ini.h"
#include "tests/support/temp_folder.h"
#include "tools/tga_write.h"
#include "world/factory.h"
#include "world/level_object.h"
#include "world/links.h"

namespace worldtest {

struct FakeHero : HeroLink {
    std::vector<std::pair<int, const cLevelObj*>> tasks;
    bool unavailable = false;
    std::string holding, hands[2];
    int waitBonus = 0;

    void AddTask(int kind, cLevelObj* target) override { tasks.push_back({kind, target}); }
    void RemoveTask(int kind, cLevelObj* target) override {
        tasks.erase(
            std::remove(tasks.begin(), tasks.end(), std::pair<int, const cLevelObj*>(kind, target)),
            tasks.end());
    }
    bool HasTask(int kind, const cLevelObj* target) const override {
        return std::find(tasks.begin(), tasks.end(), std::make_pair(kind, target)) != tasks.end();
    }
    bool HasTaskOfKind(int kind) const override {
        for (const auto& t : tasks)
            if (t.first == kind) return true;
        return false;
    }
    bool IsUnavailable() const override { return unavailable; }
    bool IsHolding(const char* h) const override { return h && *h && holding == h; }
    int GetWaitTimeBonus(int) const override { return waitBonus; }
    const char* HandObject(int i) const override {
        return hands[i & 1].empty() ? nullptr : hands[i & 1].c_str();
    }
};

struct FakeGame : GameLink {
    std::map<std::string, cLevelObj*> objects;
    std::map<std::string, HeroLink*> heroes;
    std::map<const cLevelObj*, cBaseObj*> clients;  // target -> client
    int priceBonus = 0, timeBonus = 0;
    std::vector<int> wrongActions;
    bool upgradeSettled = false;

    FakeGame() { worldSetGame(this); }
    ~FakeGame() override { worldSetGame(nullptr); }

    cLevelObj* FindLevelObjectByName(const char* name) override {
        auto it = objects.find(name ? name : "");
        return it == objects.end() ? nullptr : it->second;
    }
    HeroLink* GetHeroByName(const char* name) override {
        auto it = heroes.find(name ? name : "");
        return it == heroes.end() ? nullptr : it->second;
    }
    int GetRequestPriceBonus() override { return priceBonus; }
    int GetRequestTimeBonus() override { return timeBonus; }
    cBaseObj* FindClientByRequestTarget(const cLevelObj* t) override {
        auto it = clients.find(t);
        return it == clients.end() ? nullptr : it->second;
    }
    void PlayWrongAction(int kind) override { wrongActions.push_back(kind); }
    void SetUpgradeSettled() override { upgradeSettled = true; }

    // --- The musician, the cash desk, carried objects and flowers.
    struct PopularityChange {
        int amount, fly;
        Point2i from;
    };
    std::vector<PopularityChange> popularity;
    int maxCostTip = 0, levelState = 3, checkOutRequests = 0, checkOutPlaces = 0;
    bool heroesSentHome = false;
    cBaseObj* selected = nullptr;

    void AddPopularity(int amount, int fly, Point2i from) override {
        popularity.push_back({amount, fly, from});
    }
    int GetMaxCostTipClient() override { return maxCostTip; }
    int GetLevelState() const override { return levelState; }
    bool AreHeroesSentHome() override { return heroesSentHome; }
    int CountCheckOutRequests() override { return checkOutRequests; }
    int GetCheckOutPlaceCount() override { return checkOutPlaces; }
    cBaseObj* GetSelectedDragObject() override { return selected; }
};

// A player of episode 1, level 1, owning nothing, with the school skills listed.
struct FakeProfile : ProfileLink {
    std::vector<SkillInfo> skills;
    FakeProfile() { worldSetProfile(this); }
    ~FakeProfile() override { worldSetProfile(nullptr); }
    int Episode() const override { return 1; }
    int Level() const override { return 1; }
    int ObjectItemCount() const override { return 0; }
    const ObjectItemInfo* ObjectItem(int) const override { return nullptr; }
    const char* CurrentShopItems() const override { return ""; }
    const char* PreviousShopItems() const override { return ""; }
    int LearntSkillCount() const override { return static_cast<int>(skills.size()); }
    const SkillInfo* LearntSkill(int i) const override { return &skills[i]; }
};

// Hears the world's sounds for as long as it lives.
struct Sounds {
    static std::vector<std::string>& heard() {
        static std::vector<std::string> h;
        return h;
    }
    Sounds() {
        heard().clear();
        worldSetSoundHook([](const char* name) { heard().push_back(name); });
    }
    ~Sounds() { worldSetSoundHook(nullptr); }
    int count(const std::string& name) const {
        return static_cast<int>(std::count(heard().begin(), heard().end(), name));
    }
};

// Writes a file relative to the working folder and drops the INI cache.
inline void writeFile(const std::string& path, const std::string& text) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    FILE* f = fopen(path.c_str(), "wb");
    if (f) {
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }
    iniFreeAll();
}

// An opaque w x h picture of one colour, frames stacked top to bottom.
inline void writePicture(const std::string& path, int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::vector<uint8_t> px;
    for (int i = 0; i < w * h; ++i) {
        px.push_back(b);
        px.push_back(g);
        px.push_back(r);
    }
    writeTga(path.c_str(), w, h, 24, px, true);
}

}  // namespace worldtest
