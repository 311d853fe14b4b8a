// The episode map and the level loading screen on the bundled data, the program driven through
// the shell's hooks: way-point states and their pictures, the hint of the way point under the
// pointer, the episodes' photos, the loading steps against the clock and the hints that lengthen it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine/gr/registry.h"
#include "engine/gr/sprite.h"
#include "engine/platform/engine.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "screens/after_game.h"
#include "screens/between.h"
#include "screens/holders.h"
#include "screens/level_loading.h"
#include "screens/map.h"
#include "screens/shared_background.h"
#include "tests/screens/start_fixture.h"

namespace {

constexpr uint32_t kMouseMove = 512;

UIGameMap* map() { return dynamic_cast<UIGameMap*>(gUIGameMap.get()); }

// The road of the bundled data: way points 0-4 and 6-10 are the first episode's levels, 5 and
// 11 its mini-games, 12 the second episode's first level.
class MapScreens : public StartScreens {
protected:
    // A player past the first level chooses on the map.
    UIGameMap* openMap(const char* player) {
        firstStartTo(player);
        if (!gCurrentProfile) return nullptr;
        gWayPoints[0].LoadResult(2);
        click(button(gUIMainMenu.get(), "Start"));
        return waitFor(map()) ? map() : nullptr;
    }
    // The first results as given, every later way point not played.
    static void results(const std::vector<int>& first) {
        for (uint32_t i = 0; i < gWayPoints.size(); ++i)
            gWayPoints[i].LoadResult(i < first.size() ? first[i] : 0);
    }
    static std::vector<int> done(size_t n) { return std::vector<int>(n, 2); }
    void pointAt(Point2i at) { GameOnMessage(kMouseMove, 0, uiPack(at.x, at.y)); }
};

TEST_F(MapScreens, WayPointStatesFollowTheResultsAndPickTheirPictures) {
    UIGameMap* m = openMap("Ada");
    ASSERT_NE(m, nullptr);
    using M = UIGameMap;
    // Seven different pictures, or two states would look alike (or not show at all).
    for (int a = 0; a < M::kSprites; ++a) {
        EXPECT_NE(m->WayPointSpriteOf(M::Sprite(a)), nullptr) << "way-point picture " << a;
        for (int b = 0; b < a; ++b)
            EXPECT_NE(m->WayPointSpriteOf(M::Sprite(a)), m->WayPointSpriteOf(M::Sprite(b)));
    }
    struct Expect {
        uint32_t wayPoint;
        int state;
        M::Sprite sprite;
    };
    const struct {
        const char* what;
        std::vector<int> first;
        uint32_t selected;
        Expect expect[4];
    } cases[] = {
        {"a new player", {}, 0,
         {{0, M::kOpen, M::kLevelStar}, {1, M::kLocked, M::kLevelDisabled},
          {5, M::kLocked, M::kMiniDisabled}, {12, M::kLocked, M::kLevelDisabled}}},
        {"done, expert, failed once", {2, 3, 1}, 0,
         {{0, M::kOpen, M::kLevelStar}, {1, M::kExpert, M::kLevelExpert},
          {2, M::kOpen, M::kLevel}, {3, M::kLocked, M::kLevelDisabled}}},
        {"the level before a mini-game opens it", done(5), 0,
         {{4, M::kOpen, M::kLevel}, {5, M::kOpen, M::kMini}, {6, M::kLocked, M::kLevelDisabled},
          {11, M::kLocked, M::kMiniDisabled}}},
        {"a selected mini-game", done(5), 5,
         {{5, M::kOpen, M::kMiniStar}, {0, M::kOpen, M::kLevel}, {4, M::kOpen, M::kLevel},
          {6, M::kLocked, M::kLevelDisabled}}},
        {"a mini-game at expert grade", {2, 2, 2, 2, 2, 3}, 6,
         {{5, M::kExpert, M::kMini}, {6, M::kOpen, M::kLevelStar},
          {7, M::kLocked, M::kLevelDisabled}, {0, M::kOpen, M::kLevel}}},
        {"a selected expert level", {3, 3}, 1,
         {{1, M::kExpert, M::kLevelStar}, {0, M::kExpert, M::kLevelExpert},
          {2, M::kOpen, M::kLevel}, {3, M::kLocked, M::kLevelDisabled}}},
        {"the last mini-game opens the next episode", done(12), 0,
         {{11, M::kOpen, M::kMini}, {12, M::kOpen, M::kLevel}, {13, M::kLocked, M::kLevelDisabled},
          {10, M::kOpen, M::kLevel}}},
    };
    for (const auto& c : cases) {
        results(c.first);
        m->RefreshStates();
        gSelectedWayPoint = c.selected;
        for (const Expect& e : c.expect) {
            EXPECT_EQ(m->State(e.wayPoint), e.state) << c.what << ", way point " << e.wayPoint;
            EXPECT_EQ(m->WayPointSprite(e.wayPoint), m->WayPointSpriteOf(e.sprite))
                << c.what << ", way point " << e.wayPoint;
        }
    }
    // Way points numbered inside their episode, mini-games apart.
    const int numbers[][2] = {{0, 1}, {4, 5}, {5, -1}, {6, 6}, {11, -1}, {12, 1}};
    for (const auto& n : numbers)
        EXPECT_EQ(gWayPoints[static_cast<uint32_t>(n[0])].GetLevelNumber(), n[1]) << n[0];
}

TEST_F(MapScreens, TheHintShowsTheStartValuesOfTheOpenWayPointUnderThePointer) {
    UIGameMap* m = openMap("Bea");
    ASSERT_NE(m, nullptr);
    results(done(13));
    m->RefreshStates();
    Window* hint = m->HintWindow();
    ASSERT_NE(hint, nullptr);
    UIWnd* day = findChild(hint, "hintWnd_DayLabel");
    UIWnd* mini = findChild(hint, "hintWnd_MinigameLabel");
    UIWnd* money = findChild(hint, "hintWnd_MoneyLabel");
    UIWnd* exp = findChild(hint, "hintWnd_ExpLabel");
    ASSERT_TRUE(day && mini && money && exp);
    const std::u16string dayWord = translatedText("#MENU_DAY");
    const struct {
        const char* what;
        uint32_t wayPoint;
        Point2i start;
        bool shown;
        const char16_t* day;  // null: the mini-game label instead
        const char16_t *money, *exp;
    } cases[] = {
        {"an episode's first level starts with an empty purse", 0, {700, 5}, true, u"1", u"0", u"5"},
        {"a later level", 3, {1234, 17}, true, u"4", u"1234", u"17"},
        {"a mini-game", 5, {300, 2}, true, nullptr, u"300", u"2"},
        {"the next episode's first level", 12, {999, 8}, true, u"1", u"0", u"8"},
        {"a locked way point", 14, {50, 1}, false, nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        gWayPoints[c.wayPoint].SetStartValues(c.start);
        const Point2i at = gWayPoints[c.wayPoint].GetPos();
        pointAt(at);
        int waited = 0;
        while (hint->hidden() && waited < 40) {
            frame();
            ++waited;
        }
        EXPECT_EQ(!hint->hidden(), c.shown) << c.what;
        if (!c.shown) continue;
        EXPECT_GE(waited * 25, 400) << c.what << ": the pointer rests first";
        EXPECT_EQ(hint->x, at.x - gWayPoints[0].GetPos().x) << c.what;
        EXPECT_EQ(hint->y, at.y + 40) << c.what;
        EXPECT_EQ(day->hidden(), c.day == nullptr) << c.what;
        EXPECT_EQ(mini->hidden(), c.day != nullptr) << c.what;
        if (c.day) {
            EXPECT_EQ(std::u16string(day->caption), dayWord + c.day) << c.what;
        }
        EXPECT_EQ(std::u16string(money->caption), c.money) << c.what;
        EXPECT_EQ(std::u16string(exp->caption), c.exp) << c.what;
        EXPECT_LT(hint->tint >> 24, 255u) << c.what << ": the hint fades in";
        frames(17);
        EXPECT_EQ(hint->tint >> 24, 255u) << c.what;
    }
    pointAt(Point2i(5, 5));
    EXPECT_TRUE(hint->hidden()) << "a move of the pointer takes the hint away";

    // A click chooses an open way point, never a locked one.
    const uint32_t before = gSelectedWayPoint;
    const Point2i locked = gWayPoints[14].GetPos();
    pointAt(locked);
    key(1, uiPack(locked.x, locked.y));
    EXPECT_EQ(gSelectedWayPoint, before);
    const Point2i open = gWayPoints[3].GetPos();
    pointAt(open);
    key(1, uiPack(open.x, open.y));
    EXPECT_EQ(gSelectedWayPoint, 3u);
    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(gCurrentProfile->GetLevel(), 3u) << "the player moves to the chosen way point";
}

TEST_F(MapScreens, AnEpisodesPhotoIsStampedOnlyWhenEveryWayPointOfItIsDone) {
    UIGameMap* m = openMap("Cleo");
    ASSERT_NE(m, nullptr);
    gCurrentProfile->SetLevel(24);  // the third episode: three photos on the desk
    ASSERT_EQ(gCurrentProfile->GetEpisode(), 3);
    enum Shown { kNone, kPicture, kStamp };
    const struct {
        const char* what;
        std::vector<int> first;
        int episode;
        Shown shown;
    } cases[] = {
        {"nothing done", {}, 1, kPicture},
        {"all but the last mini-game", done(11), 1, kPicture},
        {"the whole episode", done(12), 1, kStamp},
        {"the next episode only begun", done(12), 2, kPicture},
        {"one level only failed", {2, 2, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2}, 1, kPicture},
        {"expert grades count as done", {3, 2, 3, 2, 2, 3, 2, 2, 2, 2, 2, 3}, 1, kStamp},
        {"the player's own episode", done(36), 3, kStamp},
        {"an episode not reached", done(48), 4, kNone},
    };
    for (const auto& c : cases) {
        results(c.first);
        const HSPRITE expected = c.shown == kNone      ? nullptr
                                 : c.shown == kStamp ? m->PhotoStamp(c.episode)
                                                     : m->PhotoPicture(c.episode);
        if (c.shown != kNone) {
            EXPECT_NE(expected, nullptr) << c.what;
        }
        EXPECT_EQ(m->PhotoShown(c.episode), expected) << c.what;
    }
    EXPECT_TRUE(m->IsEpisodeComplete(5)) << "an episode without way points counts as complete";
}

TEST_F(MapScreens, ButtonsLentAFontGiveItBackOnce) {
    firstStartTo("Fay");
    // "Play" has a font of its own, unlike "Shop" and "School"; disabled ones get the common one back.
    const char* button = "type=ieButton\nstage=1\nxs=100\nys=40\n";
    std::ofstream("fonts.ini") << "[Main]\nxs=1024\nys=768\nfont=Data/Fonts/normal.tga\n"
                               << "[Param]\nfont_disabled=Data/Fonts/normal.tga\n"
                               << "[Play]\nfont=Data/Fonts/large.tga\n" << button
                               << "[Shop]\n" << button << "[School]\n" << button;
    auto holders = [](const char* font) {
        CSpriteExt* f = grRegistryFind(font);
        return f ? f->references() : 0;
    };
    const int large = holders("Data/Fonts/large.tga"), normal = holders("Data/Fonts/normal.tga");
    {
        RCPtr<Window> screen = makeScreen<UIGameMap>("fonts.ini");
        auto* m = dynamic_cast<UIGameMap*>(screen.get());
        ASSERT_NE(m, nullptr);
        UIWnd* play = m->Child("Play");
        UIWnd* shop = m->Child("Shop");
        ASSERT_TRUE(play && shop);
        CGraphFont* playFont = play->font;
        for (uint32_t wayPoint : {0u, 5u, 0u}) {  // a level, a mini-game, a level again
            m->SelectWayPoint(wayPoint);
            const bool level = wayPoint != 5;
            EXPECT_EQ(shop->state, level ? 1 : 0) << wayPoint;
            EXPECT_EQ(shop->font == playFont, level) << wayPoint;
            shop->Draw();
        }
        EXPECT_EQ(play->font, playFont);
    }
    // Every font is given back once by each of its holders, no more, no less.
    EXPECT_EQ(holders("Data/Fonts/large.tga"), large);
    EXPECT_EQ(holders("Data/Fonts/normal.tga"), normal);
}

// A loading screen of its own: 700 ms per listed hint, a hint list per level and mini-game.
class LevelLoadingTimes : public StartScreens {
protected:
    void SetUp() override {
        StartScreens::SetUp();
        std::ofstream("loading.ini") << "[Main]\nxs=1024\nys=768\n"
                                        "[Param]\nloading_time=700\nletters_per_sec=10\n"
                                        "hints_total=8\n"
                                        "[level2]\nhint0=5\nhint1=2\nhint2=7\n"
                                        "[level3]\nhint0=3\n"
                                        "[minigame1]\nhint0=6\nhint1=4\n";
    }
    void TearDown() override {
        if (borrowed_) gSharedBackground = borrowed_;
        StartScreens::TearDown();
    }
    // The screen shown for the player moved to the way point (chosen on the map too). The main
    // menu keeps the shared background meanwhile: this screen is shown beside it, not after it.
    RCPtr<Window> show(uint32_t wayPoint) {
        gCurrentProfile->SetLevel(wayPoint);
        gSelectedWayPoint = wayPoint;
        if (!borrowed_) borrowed_ = gSharedBackground;
        gSharedBackground = nullptr;
        RCPtr<Window> screen = makeScreen<UILevelLoading>("loading.ini");
        screen->OnShow(0);
        return screen;
    }
    Window* borrowed_ = nullptr;
    static UILevelLoading* loading(const RCPtr<Window>& w) {
        return dynamic_cast<UILevelLoading*>(w.get());
    }
    static std::u16string hintText(const RCPtr<Window>& w) {
        UIWnd* hint = findChild(w.get(), "Hint");
        return hint ? std::u16string(hint->caption) : std::u16string();
    }
};

TEST_F(LevelLoadingTimes, StepKRunsOnceTheClockPassesItsShareOfTheLoadingTime) {
    firstStartTo("Dora");
    RCPtr<Window> screen = show(2);  // the third level: one listed hint, 700 ms
    UILevelLoading* l = loading(screen);
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(l->LoadingTime(), 700);
    // Step k runs once the clock passes (k + 1) / 7 of the time, here (k + 1) x 100 ms.
    const struct {
        int ms, clock, step;
    } fine[] = {{100, 100, 0}, {1, 101, 1},   {99, 200, 1},  {1, 201, 2},  {199, 400, 3},
                {1, 401, 4},   {198, 599, 5}, {2, 601, 6},   {98, 699, 6}, {1, 700, UILevelLoading::kDone},
                {500, 1200, UILevelLoading::kDone}};
    for (const auto& f : fine) {
        l->Update(f.ms);
        EXPECT_EQ(l->Clock(), f.clock);
        EXPECT_EQ(l->Step(), f.step) << "at " << f.clock << " ms";
    }
    l->OnHide(1);

    // One long update runs one step; the next ones run one each, the last one finishing.
    screen = show(2);
    l = loading(screen);
    const int jumped[] = {1, 2, 3, 4, 5, UILevelLoading::kDone};
    l->Update(5000);
    for (int expected : jumped) {
        EXPECT_EQ(l->Step(), expected);
        l->Update(0);
    }
    l->OnHide(1);
}

TEST_F(LevelLoadingTimes, ListedHintsComeFirstInOrderAndMultiplyTheLoadingTime) {
    firstStartTo("Eva");
    const struct {
        const char* what;
        uint32_t wayPoint;
        int loadingTime;
        std::vector<const char*> hints;  // the listed ones, in the order shown
    } cases[] = {
        {"three hints triple the time", 1, 2100, {"#LOAD_TEXT_5", "#LOAD_TEXT_2", "#LOAD_TEXT_7"}},
        {"one hint", 2, 700, {"#LOAD_TEXT_3"}},
        {"no hints keep the plain time", 3, 700, {}},
        {"a mini-game's own list", 5, 1400, {"#LOAD_TEXT_6", "#LOAD_TEXT_4"}},
    };
    for (const auto& c : cases) {
        RCPtr<Window> screen = show(c.wayPoint);
        UILevelLoading* l = loading(screen);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->LoadingTime(), c.loadingTime) << c.what;
        // The first step waits for its seventh of the whole time.
        l->Update(c.loadingTime / 7);
        EXPECT_EQ(l->Step(), 0) << c.what;
        l->Update(1);
        EXPECT_EQ(l->Step(), 1) << c.what;
        for (size_t i = 0; i < c.hints.size(); ++i) {
            EXPECT_EQ(hintText(screen), translatedText(c.hints[i])) << c.what << ", hint " << i;
            const std::u16string shown = hintText(screen);
            for (int t = 0; t < 400 && hintText(screen) == shown; ++t) l->Update(100);
        }
        l->OnHide(1);
    }
}

}  // namespace

namespace {

TEST_F(LevelLoadingTimes, AScreenDeletedOnShowGivesTheSharedBackgroundBack) {
    firstStartTo("Gia");
    gCurrentProfile->SetLevel(2);
    borrowed_ = gSharedBackground;
    const struct {
        const char* what;
        RCPtr<Window> (*make)(const char*);
    } cases[] = {{"the level loading screen", makeScreen<UILevelLoading>},
                 {"the after-level statistics", makeScreen<UIAfterGameStats>}};
    for (const auto& c : cases) {
        auto* own = new SharedBackground;  // the main menu keeps the real one meanwhile
        gSharedBackground = own;
        {
            RCPtr<Window> screen = c.make("loading.ini");
            screen->OnShow(0);
            EXPECT_TRUE(hasChildPointer(screen.get(), own)) << c.what;
        }  // as at shut-down: the window manager lets go of a screen still on show
        // Still there (the sanitizer would see a freed one), and its look given back.
        EXPECT_EQ(own->SavedLooks(), 0) << c.what;
        delete own;
    }
    gSharedBackground = nullptr;
}

}  // namespace
