// The start screens as a player meets them: logos, the player selection, the loading bar, the
// main menu with its options and players, and what a restart finds stored.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "engine/data/profile.h"
#include "engine/platform/engine.h"
#include "engine/snd/snd.h"
#include "game/game.h"
#include "game/profile.h"
#include "screens/dialogs.h"
#include "anim/comics.h"
#include "screens/level_loading.h"
#include "screens/holders.h"
#include "screens/loading.h"
#include "screens/logo.h"
#include "screens/main_menu.h"
#include "screens/shared_background.h"
#include "tests/screens/start_fixture.h"

namespace {

constexpr int kEnter = 13, kBackspace = 8, kUp = 38, kDown = 40, kSpace = 32;
// Bit 29 of a key's data: Alt was held.
constexpr intptr_t kAlt = intptr_t(1) << 29;

std::u16string text(const UIWnd* widget) { return widget ? widget->caption : u""; }

bool contains(const std::u16string& haystack, const char16_t* needle) {
    return haystack.find(needle) != std::u16string::npos;
}

UIPlayerSelect* players() { return static_cast<UIPlayerSelect*>(gUIPlayerSelect.get()); }
UIGameLoading* loading() { return static_cast<UIGameLoading*>(gUIGameLoading.get()); }
UIMainMenu* menu() { return static_cast<UIMainMenu*>(gUIMainMenu.get()); }
UIOptions* options() { return static_cast<UIOptions*>(gUIOptions.get()); }

bool shown(Window* screen, const char* name) {
    UIWnd* w = findChild(screen, name);
    return w && !w->hidden();
}

class Walk : public StartScreens {};

TEST_F(Walk, FirstStartThroughLoadingToTheMenu) {
    start();
    // The logos hand over to the player selection: nobody has played yet.
    ASSERT_TRUE(waitFor(players()));
    EXPECT_FALSE(updating(loading()));
    EXPECT_TRUE(hasChildPointer(players(), gSharedBackground));
    type("An na");  // the space is no part of a name
    EXPECT_EQ(text(players()->nameBox()), u"Anna");
    EXPECT_TRUE(shown(players(), "FirstCreate"));
    key(kEnter);
    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(std::u16string(gCurrentProfile->GetDisplayName()), u"Anna");

    ASSERT_TRUE(waitFor(loading()));
    float last = -1;
    bool keyTried = false;
    while (loading()->stage() < kLoadingStages) {
        const float value = loading()->progress()->GetValue();
        EXPECT_GE(value, last) << "stage " << loading()->stage();
        last = value;
        EXPECT_FALSE(cursorGet()->shown);
        if (!keyTried && loading()->stage() == 9) {
            key(kSpace);  // keys before the end do not leave the screen
            keyTried = true;
        }
        frame();
    }
    frames(4);
    EXPECT_TRUE(updating(loading()));
    EXPECT_FLOAT_EQ(loading()->progress()->GetValue(), 1.0f);
    EXPECT_TRUE(loading()->loadingLabel()->hidden());
    EXPECT_TRUE(cursorGet()->shown);
    ASSERT_TRUE(gUIMainMenu && gUIOptions);

    key(kSpace);
    ASSERT_TRUE(waitFor(menu()));
    EXPECT_TRUE(contains(text(menu()->welcomeText()), u"Anna"));
    EXPECT_TRUE(hasChildPointer(menu(), gSharedBackground));
    EXPECT_TRUE(sndIsMusicPlaying());
    // The player selection gave the shared background back, with its look.
    EXPECT_FALSE(hasChildPointer(players(), gSharedBackground));
    EXPECT_EQ(sharedBackground()->SavedLooks(), 0);
    EXPECT_EQ(sharedBackground()->tint, 0xFFFFFFFFu);

    std::ifstream log("gerr.log");
    const std::string all((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all.find("no window icon"), std::string::npos) << "the bundled icon was read";
}

TEST_F(Walk, MenuKeysMoveTheFocusAndAreAlwaysHandled) {
    firstStartTo("Anna");
    UIWnd* start = findChild(menu(), "Start");
    EXPECT_EQ(menu()->activeChild(), start);
    key(kDown);
    EXPECT_EQ(menu()->activeChild(), findChild(menu(), "Options"));
    key(kUp);
    key(kUp);  // wraps the way FocusNext wraps
    EXPECT_NE(menu()->activeChild(), nullptr);
    EXPECT_EQ(menu()->OnKeyDown(kUp, 0), 1);
}

TEST_F(Walk, EscapeInALevelPausesItAndAbortReturnsToTheMenu) {
    firstStartTo("Anna");
    click(button(menu(), "Start"));
    cGame* level = gCurrentGame;
    finishLevelLoading();
    ASSERT_NE(level, nullptr);
    ASSERT_TRUE(waitFor(level));
    EXPECT_FALSE(updating(menu())) << "the level takes the screen alone";

    Window* pause = gUIGameMenu.get();
    ASSERT_NE(pause, nullptr);
    key(27);
    ASSERT_TRUE(waitFor(pause));
    EXPECT_FALSE(updating(level)) << "the level waits behind its pause menu";
    const int clock = level->GetLevelClock();
    click(button(pause, "Resume"));
    ASSERT_TRUE(waitFor(level));
    EXPECT_EQ(gCurrentGame, level) << "Resume shows the same level, not a new one";
    EXPECT_GE(level->GetLevelClock(), clock);

    // Help's Ok comes back to the pause menu while a level is current.
    key(27);
    ASSERT_TRUE(waitFor(pause));
    click(button(pause, "Help"));
    ASSERT_TRUE(waitFor(gUIHelp.get()));
    click(button(gUIHelp.get(), "BtnOk"));
    ASSERT_TRUE(waitFor(pause));

    // "No" keeps the pause; "Yes" drops the level and, with no result yet, goes to the menu.
    click(button(pause, "Abort"));
    ASSERT_TRUE(waitFor(gUIAbortGameDialog.get()));
    click(button(gUIAbortGameDialog.get(), "DialogNo"));
    ASSERT_TRUE(waitFor(pause));
    EXPECT_EQ(gCurrentGame, level);
    click(button(pause, "Abort"));
    ASSERT_TRUE(waitFor(gUIAbortGameDialog.get()));
    click(button(gUIAbortGameDialog.get(), "DialogYes"));
    ASSERT_TRUE(waitFor(menu()));
    EXPECT_EQ(gCurrentGame, nullptr);

    // A second start makes a new level (the sanitizers watch the old one's deletion).
    click(button(menu(), "Start"));
    ASSERT_NE(gCurrentGame, nullptr);
    finishLevelLoading();
    EXPECT_TRUE(waitFor(gCurrentGame));
}

TEST_F(Walk, ScreensDeletedWhileBorrowingTheBackgroundLeaveItWhole) {
    firstStartTo("Anna");
    ASSERT_TRUE(hasChildPointer(menu(), gSharedBackground));
    for (int which = 0; which < 2; ++which) {
        RCPtr<Window> other =
            which == 0 ? makeScreen<UIMainMenu>("Data/Menu/UIMainMenu/UIMain.ini")
                       : CreatePlayerScreen("Data/Menu/UIPlayer/UIPlayer.ini", "Main");
        other->OnShow(0);
        ASSERT_TRUE(hasChildPointer(other.get(), gSharedBackground));
        other.Release();
    }
    // The menu still shows the background, which the sanitizers would catch if it were freed.
    EXPECT_TRUE(hasChildPointer(menu(), gSharedBackground));
    frames(3);
}

TEST_F(Walk, OptionsActAtOnceAndOkStores) {
    firstStartTo("Anna");
    click(button(menu(), "Options"));
    ASSERT_TRUE(waitFor(options()));

    UIWnd* sound = button(options(), "SoundBar");
    // The left end of the bar: the volume drops at once, the profile keeps its value until Ok.
    frames(13);
    const intptr_t left = uiPack(sound->x + 2, sound->y + sound->ys / 2);
    GameOnMessage(512, 0, left);
    GameOnMessage(256, 1, left);
    GameOnMessage(257, 1, left);
    frame();
    EXPECT_LT(sndGetGroupVolume(0), 0.2f);
    EXPECT_FLOAT_EQ(gCurrentProfile->GetSoundVolume(), 1.0f);
    // Pressed at the music bar's left end and dragged to its middle with the button held, the
    // music follows the pointer.
    UIWnd* music = button(options(), "MusicBar");
    const int barY = music->y + music->ys / 2;
    GameOnMessage(512, 0, uiPack(music->x + 2, barY));
    GameOnMessage(256, 1, uiPack(music->x + 2, barY));
    frame();
    EXPECT_LT(sndGetGroupVolume(1), 0.2f);
    GameOnMessage(512, 1, uiPack(music->x + music->xs / 2, barY));
    frame();
    EXPECT_NEAR(sndGetGroupVolume(1), 0.5f, 0.15f);
    GameOnMessage(257, 1, uiPack(music->x + music->xs / 2, barY));

    // Full screen there and back: the display and its labels return to the window.
    const int windowed = wndIsFullScreen();
    click(button(options(), "WindowArrowRight"));
    EXPECT_NE(wndIsFullScreen(), windowed);
    EXPECT_EQ(options()->windowLabel()->hidden(), wndIsFullScreen() != 0);
    click(button(options(), "WindowArrowLeft"));
    EXPECT_EQ(wndIsFullScreen(), windowed);
    EXPECT_FALSE(options()->windowLabel()->hidden());
    EXPECT_TRUE(options()->fullScreenLabel()->hidden());

    click(button(options(), "TipsArrowRight"));
    EXPECT_TRUE(gCurrentProfile->IsTutorialOn()) << "tips change only on Ok";
    click(button(options(), "Ok"));
    EXPECT_LT(gCurrentProfile->GetSoundVolume(), 0.2f);
    EXPECT_FALSE(gCurrentProfile->IsTutorialOn());
    EXPECT_TRUE(waitFor(menu()));

    // The labels show the real mode, also after Alt+Enter changed it behind the profile's back.
    GameOnMessage(256, kEnter, kAlt);
    click(button(menu(), "Options"));
    ASSERT_TRUE(waitFor(options()));
    EXPECT_TRUE(options()->windowLabel()->hidden());
    EXPECT_FALSE(options()->fullScreenLabel()->hidden());
    click(button(options(), "Ok"));
    EXPECT_TRUE(gCurrentProfile->IsFullScreen());
}

TEST_F(Walk, SecondStartGoesFromTheLogoToLoadingWithTheStoredVolumes) {
    firstStartTo("Anna");
    gCurrentProfile->SetMusicVolume(0.25f);
    gCurrentProfile->SaveVolumes();
    shutdown();
    EXPECT_EQ(gSharedBackground, nullptr);
    EXPECT_FALSE(gUIMainMenu || gUILogo || gUIPlayerSelect || gUIGameLoading || gUIOptions);
    EXPECT_EQ(gCurrentProfile, nullptr);
    EXPECT_EQ(WM::Get(), nullptr);

    start();
    ASSERT_TRUE(waitFor(loading()));
    EXPECT_FALSE(updating(players()));
    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(std::u16string(gCurrentProfile->GetDisplayName()), u"Anna");
    EXPECT_FLOAT_EQ(sndGetGroupVolume(1), 0.25f);
}

TEST_F(Walk, ModalPlayerSelectionCreatesAndSwitches) {
    firstStartTo("Anna");
    click(button(menu(), "Player"));
    ASSERT_TRUE(waitFor(players()));
    // Opened over the menu, the selection leaves the background where it is.
    EXPECT_TRUE(hasChildPointer(menu(), gSharedBackground));
    EXPECT_EQ(sharedBackground()->SavedLooks(), 0);
    EXPECT_TRUE(shown(players(), "Ok"));
    // The name in the box picks its name button out of the list.
    EXPECT_NE(findChild(players(), "Name0")->tint, 0xFFFFFFFFu);
    for (int i = 0; i < 4; ++i) key(kBackspace);
    EXPECT_EQ(findChild(players(), "Name0")->tint, 0xFFFFFFFFu);
    EXPECT_TRUE(shown(players(), "Back"));
    type("Bob");
    EXPECT_TRUE(shown(players(), "Create"));
    key(kEnter);  // Create
    EXPECT_EQ(players()->playerCount(), 2);
    EXPECT_TRUE(shown(players(), "Ok"));
    key(kEnter);  // Ok
    ASSERT_TRUE(waitFor(menu()));
    EXPECT_EQ(std::u16string(gCurrentProfile->GetDisplayName()), u"Bob");
    EXPECT_TRUE(contains(text(menu()->welcomeText()), u"Bob"));
    EXPECT_EQ(sharedBackground()->SavedLooks(), 0);
    EXPECT_TRUE(hasChildPointer(menu(), gSharedBackground));

    char stored[80] = {};
    profGameGetString("main", "player", stored, sizeof stored);
    EXPECT_STREQ(stored, gCurrentProfile->GetName());

    // Escape leaves the selection as Back does.
    click(button(menu(), "Player"));
    ASSERT_TRUE(waitFor(players()));
    key(27);
    ASSERT_TRUE(waitFor(menu()));
    EXPECT_EQ(std::u16string(gCurrentProfile->GetDisplayName()), u"Bob");
}

// Exit stops the music; the menu leaves it off until the question is answered.
TEST_F(Walk, ExitQuestionKeepsTheMusicOff) {
    firstStartTo("Anna");
    if (!gUIExitGameDialog) gUIExitGameDialog.Reset(new Window);
    click(button(menu(), "Exit"));
    EXPECT_TRUE(menu()->exitPending());
    // The fade-out runs on the sound's own clock; once over, the music must stay off.
    for (int i = 0; i < 200 && sndIsMusicPlaying(); ++i) {
        frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    frames(10);
    EXPECT_FALSE(sndIsMusicPlaying());
    gUIExitGameDialog->result = 1;  // No
    frames(2);
    EXPECT_FALSE(menu()->exitPending());
    EXPECT_EQ(gUIExitGameDialog->GetResult(), 0u);
    EXPECT_TRUE(sndIsMusicPlaying());
}

TEST_F(Walk, ScoresHelpAndExitToTheProgramsEnd) {
    firstStartTo("Anna");
    click(button(menu(), "Scores"));
    ASSERT_TRUE(waitFor(gUIScores.get()));
    click(button(gUIScores.get(), "Ok"));
    ASSERT_TRUE(waitFor(menu()));

    click(button(menu(), "Help"));
    UIHelp* help = static_cast<UIHelp*>(gUIHelp.get());
    ASSERT_TRUE(waitFor(help));
    EXPECT_FALSE(hasChildPointer(menu(), gSharedBackground)) << "the menu gave it back";
    for (int page = 1; page < help->pageCount(); ++page) {
        click(button(help, "BtnNext"));
        EXPECT_EQ(help->currentPage(), page);
    }
    click(button(help, "BtnOk"));
    ASSERT_TRUE(waitFor(menu()));
    EXPECT_TRUE(hasChildPointer(menu(), gSharedBackground));

    Window* question = gUIExitGameDialog.get();
    click(button(menu(), "Exit"));
    ASSERT_TRUE(waitFor(question));
    click(button(question, "DialogNo"));
    EXPECT_TRUE(waitFor(menu()));
    EXPECT_FALSE(menu()->exitPending());
    click(button(menu(), "Exit"));
    ASSERT_TRUE(waitFor(question));
    click(button(question, "DialogYes"));
    ASSERT_TRUE(waitFor(gUIFinalScreen.get()));
    EXPECT_FALSE(updating(menu()));
    key(kSpace);
    int ended = 0;
    for (int i = 0; i < 100 && !ended; ++i) ended = frame();
    EXPECT_EQ(ended, 1);
}

TEST_F(Walk, DeletingThePlayerWhoPlaysLetsGoOfIt) {
    firstStartTo("Anna");
    click(button(menu(), "Player"));
    ASSERT_TRUE(waitFor(players()));
    EXPECT_TRUE(shown(players(), "Delete"));  // the box holds the last name read: Anna's
    click(button(players(), "Delete"));
    Window* question = gUIDeletePlayerDialog.get();
    ASSERT_TRUE(waitFor(question));
    EXPECT_TRUE(contains(text(findChild(question, "DialogText")), u"Anna")) << "the question names whom";
    click(button(question, "DialogYes"));
    frames(kUiFadeMs / 25 + 1);
    EXPECT_EQ(players()->nameBox()->caption[0], 0) << "the deleted name leaves the box";
    EXPECT_EQ(gCurrentProfile, nullptr);
    EXPECT_EQ(players()->playerCount(), 0);
    EXPECT_EQ(profileCount(), 0);
    char stored[80] = {};
    profGameGetString("main", "player", stored, sizeof stored);
    EXPECT_STREQ(stored, "");
    // Nobody plays: the menu behind has nothing to come back to.
    for (int i = 0; i < 4; ++i) key(kBackspace);
    type("Cleo");
    EXPECT_FALSE(shown(players(), "Back"));
    EXPECT_TRUE(shown(players(), "FirstCreate"));
    key(kEnter);
    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(std::u16string(gCurrentProfile->GetDisplayName()), u"Cleo");
    EXPECT_TRUE(updating(players())) << "over the menu, the selection stays for a choice";
    key(kEnter);  // Ok
    ASSERT_TRUE(waitFor(menu()));
    EXPECT_TRUE(contains(text(menu()->welcomeText()), u"Cleo"));
}

// Which actions the selection offers, by how many players exist and what the box holds.
TEST_F(Walk, ButtonsFollowThePlayersAndTheTypedName) {
    start();
    ASSERT_TRUE(waitFor(players()));
    struct Case {
        const char* typed;
        bool ok, create, back, del, first;
    };
    auto expectButtons = [&](const Case& c) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(shown(players(), "Ok"), c.ok);
        EXPECT_EQ(shown(players(), "Create"), c.create);
        EXPECT_EQ(shown(players(), "Back"), c.back);
        EXPECT_EQ(shown(players(), "Delete"), c.del);
        EXPECT_EQ(shown(players(), "FirstCreate"), c.first);
        EXPECT_EQ(shown(players(), "FirstHint"), players()->playerCount() == 0)
            << "the hint stands where the list will";
    };
    // Straight to the screen: after the first player it leaves the window manager's stack.
    auto retype = [&](const char* name) {
        for (int i = 0; i < 16; ++i) players()->OnKeyDown(kBackspace, 0);
        for (const char* p = name; *p; ++p) players()->OnChar(*p, 1);
    };
    expectButtons({"", false, false, false, false, false});
    retype("Anna");
    expectButtons({"Anna", false, false, false, false, true});
    players()->OnKeyDown(kEnter, 0);  // the first player: on to loading; the list stays
    ASSERT_NE(gCurrentProfile, nullptr);
    const Case withOne[] = {
        {"Anna", true, false, false, true, false},   // exactly a listed name
        {"Ann", false, true, true, false, false},    // one character less
        {"Annas", false, true, true, false, false},  // one more
        {"anna", false, true, true, false, false},   // names compare with case
        {"", false, false, true, false, false},
    };
    for (const Case& c : withOne) {
        retype(c.typed);
        expectButtons(c);
    }
    for (const char* name : {"Bob", "Cleo", "Dora"}) {
        retype(name);
        players()->CreateEntry();
    }
    EXPECT_EQ(players()->playerCount(), 4);
    retype("Emil");
    expectButtons({"Emil (four players)", false, false, true, false, false});
}

TEST_F(Walk, NamesKeepThirteenCharactersOfTheAllowedOnes) {
    start();
    ASSERT_TRUE(waitFor(players()));
    type("Ab@c.d e/Fghijklmnopqrstu");
    EXPECT_EQ(text(players()->nameBox()), u"AbcdeFghijklm");
    key(kEnter);
    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(std::u16string(gCurrentProfile->GetDisplayName()), u"AbcdeFghijklm");
}

// Reading the list or adding a player must not leave the store on another player's section.
TEST_F(Walk, PlayerFilesLeaveTheStoreOnThePlayerWhoPlays) {
    firstStartTo("Anna");
    const std::string anna = gCurrentProfile->GetName();
    PlayerEntry other;
    other.MakeKey();
    other.name[0] = u'Z';
    ASSERT_TRUE(other.Store());
    PlayerEntry read;
    read.Load(other.key);
    EXPECT_EQ(read.name[0], u'Z');
    profileSetInt("cfg", "probe", 7);  // a write that does not select first
    ASSERT_TRUE(SelectPlayer(anna.c_str()));
    int probe = 0;
    profileGetInt("cfg", "probe", &probe, 0, 100, 0);
    EXPECT_EQ(probe, 7);
    other.Erase();
    EXPECT_FALSE(profileFind(read.key));
}

TEST_F(Walk, UnwritablePlayerFileKeepsTheSelectionOpen) {
    // A folder where profile.ini should be: nothing can be written there.
    char user[512] = {};
    start();
    getUserFolder(user, sizeof user);
    std::filesystem::create_directory(std::string(user) + "/profile.ini");
    ASSERT_TRUE(waitFor(players()));
    type("Anna");
    key(kEnter);
    key(kEnter);
    frames(20);
    EXPECT_EQ(gCurrentProfile, nullptr);
    EXPECT_TRUE(updating(players()));
    EXPECT_FALSE(updating(loading()));
    EXPECT_EQ(players()->playerCount(), 0);
    std::ifstream log("gerr.log");
    std::string all((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    size_t first = all.find("profile.ini could not be written");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(all.find("profile.ini could not be written", first + 1), std::string::npos)
        << "reported once";
}

TEST(Welcome, OneNameAndEveryOtherPercentAsText) {
    const struct {
        const char16_t* templ;
        const char16_t* out;
    } cases[] = {
        {u"Welcome, %s!", u"Welcome, Anna!"},
        {u"100% %s", u"100% Anna"},
        {u"%s and %s", u"Anna and %s"},
        {u"%d %n %x %s", u"%d %n %x Anna"},
        {u"No name", u"No name"},
        {u"%", u"%"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatWelcome(c.templ, u"Anna"), c.out);
    const std::u16string longName(2000, u'n');
    EXPECT_EQ(formatWelcome(u"%s", longName.c_str()).size(), 511u);
}

TEST_F(Walk, LogosSkipOnAKeyAndHandOverAfterTheLast) {
    start();
    UILogo* logo = static_cast<UILogo*>(gUILogo.get());
    ASSERT_EQ(logo->logos.size(), 2u);
    ASSERT_TRUE(waitFor(logo));
    key(kSpace);
    ASSERT_TRUE(waitFor(logo));
    EXPECT_EQ(logo->currentLogo, 1u) << "the second logo came in by the screen pushing itself";
    key(kSpace);
    ASSERT_TRUE(waitFor(players()));
    EXPECT_EQ(logo->currentLogo, 0u);
    // Shown once a run, the logos let their pictures go; showing again reads them back.
    EXPECT_TRUE(logo->released);
    EXPECT_EQ(logo->logos.size(), 0u);
    logo->OnShow(0);
    EXPECT_FALSE(logo->released);
    EXPECT_EQ(logo->logos.size(), 2u);
}

// Without a time to live or a picture, a logo still shows once and closes at its first update.
TEST_F(Walk, LogoWithoutPicturesOrTimeStillHandsOver) {
    std::ofstream("bare_logo.ini") << "[Main]\nxs=1024\nys=768\nlogos=Gone\nGone=Data/none.tga\n";
    start();
    RCPtr<Window> bare = CreateLogoScreen("bare_logo.ini", "Main");
    ASSERT_EQ(static_cast<UILogo*>(bare.get())->logos.size(), 0u);
    ASSERT_TRUE(waitFor(players()));
    WM::Get()->Push(bare.get(), true, false, false);
    int steps = 0;
    while (steps < 200 && !updating(players())) ++steps;
    // The fades alone (in and out for the logo, the selection out and in again): no time to live.
    EXPECT_LT(steps, 4 * kUiFadeMs / 25);
}

TEST_F(Walk, LoadingRestartsOnlyWhenItsFadeInEnds) {
    firstStartTo("Anna");
    UIGameLoading* screen = loading();
    screen->OnShow(0);
    EXPECT_EQ(screen->stage(), uint32_t(kLoadingStages));
    screen->OnShow(1);
    EXPECT_EQ(screen->stage(), 0u);
    EXPECT_FLOAT_EQ((screen->LoadStep(), screen->progress()->GetValue()), 0.0f);
}

}  // namespace
