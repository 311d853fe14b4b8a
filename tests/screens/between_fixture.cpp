// The game folder and window-manager driving of the screens between levels.
#include "tests/screens/between_fixture.h"

#include "engine/data/profile.h"
#include "game/app.h"

namespace {

const char kMap[] =
    "[WayPoints]\r\n0=level, 1, 10, 10\r\n1=level, 1, 20, 20\r\n2=level, 1, 30, 30\r\n"
    "3=level, 1, 40, 40\r\n";

const char kObjects[] =
    "[Main]\r\nobjects=desk, room_a, room_b\r\n"
    "[Background]\r\n"
    "[desk]\r\nname=Desk\r\ntype=desk\r\n"
    "[sofa]\r\nname=Sofa\r\ntype=seat\r\ngrade=1\r\n"
    "[sofa_gold]\r\nname=Sofa\r\ntype=seat\r\ngrade=2\r\n"
    "[slots]\r\nname=Slots\r\ntype=casino\r\ngrade=1\r\n"
    "[slots_big]\r\nname=Slots\r\ntype=casino\r\ngrade=2\r\n"
    "[roulette]\r\nname=Roulette\r\ntype=casino\r\ngrade=2\r\n"
    "[lamp]\r\nname=Lamp\r\ntype=lamp\r\n"
    "[room_a]\r\ntype=room\r\ngrade=1\r\n[room_b]\r\ntype=room\r\ngrade=1\r\n";

const char kLevels[] = "[level2]\r\nclients=man, 4; woman, 3; kid\r\n";

}  // namespace

void BetweenLevels::SetUp() {
    GameFolder::SetUp();
    data("Data/shared.ini", kMap);
    data("Data/Episodes/e1/objects.ini", kObjects);
    data("Data/Episodes/e1/map.ini", "[Background]\r\n");
    data("Data/Episodes/e1/levels.ini", kLevels);
    data("Data/translation.ini",
         "#SHOP_ITEM_DESCRIPTION_1_sofa_item=A soft sofa\r\n#SCHOOL_TEXT_CASH=Points: \r\n");
    data("Data/Menu/UIShop/items/e1/items.ini", "");
    data("Data/Menu/UISchool/items.ini", "");
    LoadWayPoints();
    CreatePlayer("p1", u"Anna");
    WM::Create();
}

void BetweenLevels::TearDown() {
    WM::Destroy();
    GameFolder::TearDown();
}

void BetweenLevels::open(Window* screen, const char* layout) {
    screen->Create(layout, "Main");
    WM::Get()->Push(screen, true, false, false);
    frames(14);
}

void BetweenLevels::frames(int n) {
    for (int i = 0; i < n; ++i) {
        WM::Get()->Update(kUpdateStepMs);
        WM::Get()->Render();
    }
}

void BetweenLevels::click(int x, int y) {
    intptr_t at = uiPack(x, y);
    WM::Get()->OnMouseMove(0, at);
    WM::Get()->OnKeyDown(kUiLeftButton, at);
    WM::Get()->OnKeyUp(kUiLeftButton, at);
    frames(1);
}

void BetweenLevels::restart() {
    ReleasePlayer();
    iniFreeAll();
    ASSERT_TRUE(SelectPlayer("p1"));
}

void BetweenLevels::standOnWayPoint1(bool replay) {
    gCurrentProfile->AddCash(500);  // what the first level earned
    gCurrentProfile->AddSkillPoints(300);
    gWayPoints[0].SetResult(2);
    gCurrentProfile->GoToLevel(1);
    if (!replay) return;
    gCurrentProfile->AddCash(999);  // what the level earned
    gWayPoints[1].SetResult(2);
    gCurrentProfile->GoToLevel(2);
    gCurrentProfile->SetLevel(1);
}

std::string BetweenLevels::stored(const char* group, const char* key) {
    char text[256] = "";
    profileSelect("p1");
    profileGetString(group, key, text, sizeof text);
    return text;
}
