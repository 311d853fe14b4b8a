// The screens' texts as the player meets them on the bundled data: every text of every layout
// fits its widget with its real font, and on each screen as it shows no two texts overlap, the
// after-level statistics included on their second showing after a replay.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "game/game.h"
#include "screens/after_game.h"
#include "screens/dialogs.h"
#include "screens/holders.h"
#include "screens/level_loading.h"
#include "screens/loading.h"
#include "tests/screens/layout_check.h"
#include "tests/screens/start_fixture.h"

namespace {

UIAfterGameStats* stats() { return dynamic_cast<UIAfterGameStats*>(gUIAfterGameStats.get()); }

// A text shown with a value put in at run time is measured with a long such value: a name of
// the most letters a name may have, a number of five digits.
std::u16string withSampleValues(const char16_t* caption) {
    std::u16string out;
    for (const char16_t* p = caption; *p; ++p) {
        if (p[0] == u'%' && p[1] == u's') {
            out += u"Wilhelminahild";
            ++p;
        } else if (p[0] == u'%' && (p[1] == u'd' || p[1] == u'u')) {
            out += u"88888";
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

void expectNoFaults(UIWnd* screen, const char* when) {
    ASSERT_NE(screen, nullptr) << when;
    for (const std::string& fault : layoutFaults(screen)) ADD_FAILURE() << when << ": " << fault;
}

class Layout : public StartScreens {
protected:
    // The statistics of the first day, lost, counted to the end.
    void loseTheDay() {
        finishLevelLoading();
        ASSERT_NE(gCurrentGame, nullptr);
        ASSERT_TRUE(waitFor(gCurrentGame));
        type("rz5fallen");
        ASSERT_TRUE(waitFor(stats(), 2000));
        for (int i = 0; i < 2000 && !stats()->CountingDone(); ++i) frame();
        ASSERT_TRUE(stats()->CountingDone());
        frames(40);
    }
};

TEST_F(Layout, EveryTextOfEveryLayoutFitsItsWidget) {
    start();
    int checked = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("Data/Menu")) {
        if (entry.path().extension() != ".ini") continue;
        const std::string file = entry.path().generic_string();
        Window screen;
        screen.Create(file.c_str(), "Main");
        char sections[16384];
        iniGetSections(file.c_str(), sections, sizeof sections);
        for (const char* s = sections; *s; s += std::strlen(s) + 1) {
            if (!*iniGetString(file.c_str(), s, "type", "") ||
                !*iniGetString(file.c_str(), s, "name", ""))
                continue;
            UIWnd* widget = CreateChildFromIni(&screen, file.c_str(), s, 0, 0);
            if (!widget) continue;
            widget->SetTextW(withSampleValues(widget->caption).c_str());
            TextBox box;
            if (!textBoxOf(widget, &box)) continue;
            ++checked;
            for (const std::string& fault : fitFaults(box)) ADD_FAILURE() << fault;
        }
    }
    EXPECT_GT(checked, 100) << "the menus' texts were found";
}

TEST_F(Layout, NoTwoTextsOverlapOnTheScreensOfTheMenus) {
    firstStartTo("Wilhelmina");
    Window* menu = gUIMainMenu.get();
    expectNoFaults(menu, "main menu");
    const struct {
        const char* button;
        Window* screen;
        const char* back;
    } visits[] = {{"Options", gUIOptions.get(), "Ok"},
                  {"Scores", gUIScores.get(), "Ok"},
                  {"Player", gUIPlayerSelect.get(), "Ok"}};
    for (const auto& v : visits) {
        click(button(menu, v.button));
        ASSERT_TRUE(waitFor(v.screen)) << v.button;
        expectNoFaults(v.screen, v.button);
        click(button(v.screen, v.back));
        ASSERT_TRUE(waitFor(menu)) << v.button;
    }
    click(button(menu, "Help"));
    auto* help = dynamic_cast<UIHelp*>(gUIHelp.get());
    ASSERT_TRUE(waitFor(help));
    for (int page = 0; page < help->pageCount(); ++page) {
        expectNoFaults(help, ("help page " + std::to_string(page)).c_str());
        if (page + 1 < help->pageCount()) click(button(help, "BtnNext"));
    }
    click(button(help, "BtnOk"));
    ASSERT_TRUE(waitFor(menu));
    click(button(menu, "Exit"));
    ASSERT_TRUE(waitFor(gUIExitGameDialog.get()));
    expectNoFaults(gUIExitGameDialog.get(), "exit dialog");
    click(button(gUIExitGameDialog.get(), "DialogNo"));
}

TEST_F(Layout, TheLevelsScreensKeepTheirTextsApartOnEveryShowing) {
    firstStartTo("Rosa");
    click(button(gUIMainMenu.get(), "Start"));
    auto* loading = dynamic_cast<UILevelLoading*>(gUILevelLoading.get());
    ASSERT_NE(loading, nullptr);
    loseTheDay();
    if (HasFatalFailure()) return;
    const int goalsPlace = childIndex(loading, findChild(loading, "Goals"));
    EXPECT_GE(goalsPlace, 0);
    expectNoFaults(stats(), "statistics of a lost day");
    std::vector<int> firstRows;
    for (int i = 0; i < stats()->childCount(); ++i) firstRows.push_back(stats()->children[i]->y);

    click(button(stats(), "BtnRestart"));
    // The first day's comic plays again first: Escape runs it through.
    for (int i = 0; i < 4000 && loading->Step() != UILevelLoading::kDone; ++i) {
        if (i % 40 == 0) key(27);
        frame();
    }
    expectNoFaults(loading, "level loading screen");
    EXPECT_EQ(childIndex(loading, findChild(loading, "Goals")), goalsPlace)
        << "the goals box rebuilt in its own place";
    loseTheDay();
    if (HasFatalFailure()) return;
    expectNoFaults(stats(), "statistics after a replay");
    std::vector<int> secondRows;
    for (int i = 0; i < stats()->childCount(); ++i) secondRows.push_back(stats()->children[i]->y);
    EXPECT_EQ(firstRows, secondRows) << "every line stands where it stood on the first showing";
}

}  // namespace
