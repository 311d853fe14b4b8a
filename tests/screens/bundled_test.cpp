// The bundled layouts, tables and pictures of the dialogs, pause menu, help, final screen, scores
// and tutorial: every child each screen asks for exists, every visible text is translated, every
// picture loads, and the tutorial has a hint for each event the game raises.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/tutorial.h"
#include "screens/dialogs.h"
#include "screens/scores.h"
#include "tests/screens/screen_fixture.h"

namespace {

class Bundled : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        std::filesystem::create_directory_symlink(VELMORA_GAME_DIR "/Data", program.file("Data"));
        iniFreeAll();
    }
    // Every child and grandchild: a text key that names no translation shows as nothing, and a
    // sprite widget without its picture as nothing.
    void expectComplete(UIWnd* w) {
        for (int i = 0; i < w->childCount(); ++i) {
            UIWnd* c = w->children[i];
            SCOPED_TRACE(c->section);
            if (*iniGetString(c->iniFile, c->section, "name", "") == '#') {
                EXPECT_NE(c->caption[0], 0);
            }
            if (*iniGetString(c->iniFile, c->section, "ignore", "")) {
                EXPECT_NE(c->sprites[0], nullptr);
            }
            if (*iniGetString(c->iniFile, c->section, "normal", "")) {
                EXPECT_NE(c->sprites[1], nullptr);
            }
            expectComplete(c);
        }
    }
};

TEST_F(Bundled, EveryScreenHasItsChildrenTextsAndPictures) {
    struct Screen {
        RCPtr<Window> window;
        int children;
    };
    const Screen screens[] = {
        {makeScreen<UIConfirmDialog>("Data/Menu/UIDialog/UIExitGameDialog.ini"), 13},
        {makeScreen<UIConfirmDialog>("Data/Menu/UIDialog/UIAbortGameDialog.ini"), 13},
        {makeScreen<UIConfirmDialog>("Data/Menu/UIDialog/UIDeletePlayerDialog.ini"), 13},
        {makeScreen<UIConfirmDialog>("Data/Menu/UIDialog/UIMapDialog.ini"), 13},
        {makeScreen<UIGameMenuBase>("Data/Menu/UIGameMenu/UIGameMenu.ini"), 16},
        {makeScreen<UIHelp>("Data/Menu/UIHelp/UIHelp.ini"), 13},  // seven pages, page number
        {makeScreen<UIFinalScreen>("Data/Menu/UIFinalScreen/UIFinalScreen.ini"), 1},
        {makeScreen<UIScores>("Data/Menu/UIScores/UIScores.ini"), 11},
    };
    for (const Screen& s : screens) {
        SCOPED_TRACE(s.window->iniFile);
        EXPECT_EQ(s.window->childCount(), s.children);
        expectComplete(s.window.get());
    }
    auto* help = static_cast<UIHelp*>(screens[5].window.get());
    for (int p = 0; p < help->pageCount(); ++p) ASSERT_NE(help->page(p), nullptr) << p;
    EXPECT_GT(static_cast<UIFinalScreen*>(screens[6].window.get())->ttl, 0);
    EXPECT_EQ(static_cast<UIScores*>(screens[7].window.get())->entries().size(), 8u);
}

TEST_F(Bundled, TheTutorialHasAHintForEveryEvent) {
    CreatePlayer("profile.aaaaaaaaaa", u"Anna");
    cTutorial::Load("Data/Tutorial/Tutorial.ini");
    ASSERT_NE(gTutorial, nullptr);
    for (const char* name :
         {"CheckIn_Start", "CheckIn_End", "CheckOut", "Candy_Start", "Candy_End", "Cocktail_Start",
          "Cocktail_End", "Clean_Start", "Water_Start", "Fire_Start", "Repair_Start",
          "Upgrade_Start", "Clean_End", "Water_End", "Fire_End", "Repair_End", "Upgrade_End",
          "Monster_Start", "Monster_End", "Baby"}) {
        const cTutorialHint* hint = gTutorial->FindHint(name);
        ASSERT_NE(hint, nullptr) << name;
        EXPECT_FALSE(hint->text.empty()) << name;
        EXPECT_FALSE(gTutorial->WasShown(name)) << name;
    }
    for (HSPRITE s : {gTutorial->back, gTutorial->spot, gTutorial->arrow, gTutorial->picture,
                      gTutorial->checkBox.onSprite, gTutorial->checkBox.offSprite})
        EXPECT_NE(s, nullptr);
    EXPECT_NE(gTutorial->font, nullptr);
    EXPECT_FALSE(gTutorial->checkBox.text.empty());
    EXPECT_TRUE(gTutorial->checkBox.isChecked);
    for (HSPRITE piece : gTutorial->frame.pieces) EXPECT_NE(piece, nullptr);
    cTutorial::Free();
}

}  // namespace
