// The shop driven through the window manager: the offer and its rules, the row of cells, the
// preview of the hotel, and purchases that stay bought exactly once across restarts.
#include "screens/shop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include "engine/gr/image.h"
#include "engine/platform/input.h"
#include "screens/mini_level.h"
#include "tests/screens/between_fixture.h"
#include "tests/support/child.h"
#include "world/draw_list.h"
#include "world/level_object.h"

namespace {

const char kLayout[] = "Data/Menu/UIShop/UIShop.ini";
const char kItems[] = "Data/Menu/UIShop/items/e1/items.ini";

const char kShopLayout[] =
    "[Main]\r\nx=0\r\ny=0\r\nxs=800\r\nys=600\r\n"
    "[Param]\r\ncell_x=100\r\ncell_y=400\r\ncell_w=100\r\ncell_h=80\r\ncash_diffuse_speed=5\r\n"
    "cash_diffuse_max=255\r\nsmall_arrow_speed=1\r\nsmall_arrow_depth=6\r\n"
    "[MiniLevel]\r\nx=400\r\ny=20\r\nwidth=400\r\nheight=300\r\n"
    "[Buy]\r\ntype=sprite\r\nstage=1\r\nx=600\r\ny=520\r\nxs=100\r\nys=40\r\n"
    "[BtnBack]\r\ntype=sprite\r\nstage=1\r\nx=700\r\ny=520\r\nxs=80\r\nys=40\r\n"
    "[ArrowLeft]\r\ntype=sprite\r\nstage=1\r\nx=40\r\ny=420\r\nxs=40\r\nys=40\r\n"
    "[ArrowRight]\r\ntype=sprite\r\nstage=1\r\nx=620\r\ny=420\r\nxs=40\r\nys=40\r\n"
    "[CashAmount]\r\ntype=text\r\nx=10\r\ny=10\r\nxs=80\r\nys=20\r\n"
    "[ClientsAmount]\r\ntype=text\r\nx=10\r\ny=40\r\nxs=80\r\nys=20\r\n";

class Shop : public BetweenLevels {
protected:
    void SetUp() override {
        BetweenLevels::SetUp();
        data(kLayout, kShopLayout);
    }
    void TearDown() override {
        closeShop();
        BetweenLevels::TearDown();
    }
    void closeShop() {
        WM::Get()->Clear();
        shop.reset();
    }
    void items(const std::string& text) { data(kItems, text); }
    // Opens a new shop on way point 1 (a fresh one unless replay).
    void openShop(bool replay = false) {
        standOnWayPoint1(replay);
        shop = std::make_unique<UIShop>();
        open(shop.get(), kLayout);
    }
    void buy() { click(650, 540); }
    void right() { click(640, 440); }
    std::vector<std::string> offer() {
        std::vector<std::string> names;
        for (int i = 0; i < shop->ItemCount(); ++i) names.push_back(shop->Item(i)->name.c_str());
        return names;
    }
    const ShopItem* item(const char* name) {
        for (int i = 0; i < shop->ItemCount(); ++i)
            if (strcmp(shop->Item(i)->name.c_str(), name) == 0) return shop->Item(i);
        return nullptr;
    }
    int state(const char* child) { return findChild(shop.get(), child)->state; }
    void select(const char* name) {
        for (int k = 0; k < shop->ItemCount(); ++k) {
            if (strcmp(shop->Item(k)->name.c_str(), name) != 0) continue;
            ASSERT_LT(k, 5);
            click(150 + 100 * k, 440);
            ASSERT_EQ(shop->Selected(), shop->Item(k));
            return;
        }
        FAIL() << name << " is not on offer";
    }

    std::unique_ptr<UIShop> shop;
};

const char kSofa[] =
    "[sofa_item]\r\ntype=seat\r\nobjects=sofa\r\nprice.cash=100\r\nprice.popularity=0\r\n"
    "bonus.popularity=5\r\nbonus.clients=2\r\ngrade=1\r\n";

TEST_F(Shop, APurchaseStaysBoughtOnceAfterARestartOnFreshAndReplayedWayPoints) {
    for (bool replay : {false, true}) {
        SCOPED_TRACE(replay ? "replayed" : "fresh");
        CreatePlayer("p1", u"Anna");
        items(kSofa);
        openShop(replay);
        ASSERT_EQ(500u, gCurrentProfile->GetCash());
        std::string after = stored("level1", "cash");
        // The process ends right after the purchase, without any shutdown.
        int status = testsupport::inChild([&] { buy(); });
        ASSERT_TRUE(WIFEXITED(status));
        closeShop();
        restart();

        cPlayerProfile* p = gCurrentProfile;
        EXPECT_NE(nullptr, p->FindShopItem("sofa_item"));
        EXPECT_EQ(1u, p->GetShopItemList().Count());
        EXPECT_EQ(400u, p->GetCash());
        EXPECT_EQ("5", stored("level1", "pop_to_add"));
        if (replay) {
            EXPECT_EQ(after, stored("level1", "cash"));  // the level's own result stays
        }
        // The next showing no longer offers it, and winning pays the bonus once.
        shop = std::make_unique<UIShop>();
        open(shop.get(), kLayout);
        EXPECT_EQ(0, shop->ItemCount());
        uint32_t popularity = p->GetPopularity();
        p->AddPopToAdd();
        EXPECT_EQ(popularity + 5, p->GetPopularity());
        restart();
        EXPECT_EQ(400u, gCurrentProfile->GetCash());
        EXPECT_EQ(1u, gCurrentProfile->GetShopItemList().Count());
        closeShop();
    }
}

TEST_F(Shop, ThePriceIsSpentOnlyWhenTheProfileTookTheItem) {
    items(kSofa);
    openShop();
    ASSERT_TRUE(shop->Item(0)->buyable);
    // The profile already holds it by another way, so it refuses the item a second time.
    ASSERT_TRUE(gCurrentProfile->AddShopItem("sofa_item"));
    buy();
    EXPECT_EQ(500u, gCurrentProfile->GetCash());
    EXPECT_FALSE(shop->Item(0)->sold);
    EXPECT_EQ("0", stored("level1", "pop_to_add"));
}

TEST_F(Shop, ACompulsoryItemLocksTheRowUntilItIsBought) {
    items(std::string(kSofa) +
          "[lamp_item]\r\ntype=lamp\r\nobjects=lamp\r\nprice.cash=20\r\nneeded_from_day=2\r\n"
          "[desk_item]\r\ntype=desk\r\nobjects=desk\r\nprice.cash=10\r\nneeded_from_day=0\r\n");
    openShop();
    // Day 2 makes the lamp compulsory: it comes first, alone buyable, and the arrows stop.
    ASSERT_EQ((std::vector<std::string>{"lamp_item", "desk_item", "sofa_item"}), offer());
    EXPECT_TRUE(item("lamp_item")->mustHave);
    EXPECT_EQ(255, item("desk_item")->neededFromDay);
    EXPECT_FALSE(item("desk_item")->buyable);
    EXPECT_FALSE(item("sofa_item")->buyable);
    EXPECT_EQ(UI_IGNORE, state("ArrowLeft"));
    EXPECT_EQ(UI_IGNORE, state("ArrowRight"));
    buy();
    EXPECT_TRUE(item("lamp_item")->sold);
    EXPECT_TRUE(item("desk_item")->buyable);
    EXPECT_TRUE(item("sofa_item")->buyable);
    EXPECT_EQ(UI_NORMAL, state("ArrowRight"));
    EXPECT_EQ(480u, gCurrentProfile->GetCash());
}

TEST_F(Shop, BuyingAGradeRemovesTheLowerGradesOfItsTypeAndEqualOnesOfACasino) {
    struct Case {
        const char* bought;
        std::vector<std::string> left;
    } cases[] = {
        {"sofa_gold_item",
         {"sofa_gold_item", "other_seat", "slots_item", "slots_big_item", "roulette_item"}},
        {"slots_big_item", {"sofa_item", "sofa_gold_item", "other_seat", "slots_big_item"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bought);
        CreatePlayer("p1", u"Anna");
        items("[sofa_item]\r\ntype=seat\r\nobjects=sofa\r\ngrade=1\r\nprice.cash=1\r\n"
              "[sofa_gold_item]\r\ntype=seat\r\nobjects=sofa_gold\r\ngrade=2\r\nprice.cash=2\r\n"
              "[other_seat]\r\ntype=seat\r\nobjects=lamp\r\ngrade=2\r\nprice.cash=3\r\n"
              "[slots_item]\r\ntype=casino\r\nobjects=slots\r\ngrade=1\r\nprice.cash=4\r\n"
              "[slots_big_item]\r\ntype=casino\r\nobjects=slots_big\r\ngrade=2\r\nprice.cash=5\r\n"
              "[roulette_item]\r\ntype=casino\r\nobjects=roulette\r\ngrade=2\r\nprice.cash=6\r\n");
        openShop();
        for (int k = 0; k < 5 && shop->Selected() != item(c.bought); ++k) right();
        ASSERT_EQ(item(c.bought), shop->Selected());
        buy();
        EXPECT_EQ(c.left, offer());
        // The next showing judges the offer by what is owned in the same way.
        shop->OnShow(0);
        std::vector<std::string> next = c.left;
        next.erase(std::find(next.begin(), next.end(), c.bought));
        EXPECT_EQ(next, offer());
        closeShop();
    }
}

TEST_F(Shop, TwoRoomUpgradesPickDifferentRoomsAndASecondOneWithoutARoomCannotBeBought) {
    items("[lux_a]\r\ntype=room\r\ngrade=2\r\nprice.cash=50\r\n"
          "[lux_b]\r\ntype=room\r\ngrade=2\r\nprice.cash=60\r\n"
          "[lux_c]\r\ntype=room\r\ngrade=2\r\nprice.cash=70\r\n");
    openShop();
    ASSERT_EQ(3, shop->ItemCount());
    std::string a = item("lux_a")->targetRoom.c_str(), b = item("lux_b")->targetRoom.c_str();
    EXPECT_NE(a, b);
    EXPECT_TRUE(a == "room_a" || a == "room_b");
    EXPECT_TRUE(b == "room_a" || b == "room_b");
    EXPECT_EQ(0u, item("lux_c")->targetRoom.length());
    EXPECT_FALSE(item("lux_c")->buyable);
    select("lux_c");
    buy();
    EXPECT_EQ(500u, gCurrentProfile->GetCash());

    select("lux_a");
    buy();
    EXPECT_TRUE(item("lux_a")->sold);
    EXPECT_EQ(450u, gCurrentProfile->GetCash());
    const cObjectItem* upgraded = shop->Preview()->Record(a.c_str());
    ASSERT_NE(nullptr, upgraded);
    EXPECT_EQ(2, upgraded->grade);
    restart();
    EXPECT_NE(nullptr, gCurrentProfile->FindShopItem("lux_a"));
}

TEST_F(Shop, TheRowSelectsByClicksInsideCellsAndScrollsOverSevenItems) {
    std::string seven;
    for (int i = 0; i < 7; ++i)
        seven += "[item" + std::to_string(i) + "]\r\ntype=t" + std::to_string(i) +
                 "\r\nobjects=lamp\r\nprice.cash=" + std::to_string(i) + "\r\n";
    items(seven);
    openShop();
    ASSERT_EQ(7, shop->ItemCount());
    struct Click {
        int x, y, cell;
    } clicks[] = {{250, 440, 1}, {300, 440, 1}, {100, 440, 1}, {350, 400, 1}, {450, 479, 3},
                  {150, 480, 3}, {580, 470, 4}};
    for (const Click& c : clicks) {
        SCOPED_TRACE(c.x);
        click(c.x, c.y);
        EXPECT_EQ(c.cell, shop->SelectedCell());
    }
    EXPECT_EQ(UI_NORMAL, state("ArrowLeft"));
    right();
    EXPECT_EQ(1, shop->First());
    EXPECT_EQ(4, shop->SelectedCell());
    right();
    right();
    EXPECT_EQ(2, shop->First());
    EXPECT_EQ(shop->Item(6), shop->Selected());
    EXPECT_EQ(UI_IGNORE, state("ArrowRight"));
}

TEST_F(Shop, TheMoneyWordPaysAndReopensTheOfferAtOnce) {
    items("[pricey]\r\ntype=decor\r\nobjects=lamp\r\nprice.cash=5000\r\nprice.popularity=200\r\n");
    openShop();
    ASSERT_FALSE(shop->Item(0)->buyable);
    for (const char* c = "rz5coins"; *c; ++c) {
        typedPush(static_cast<unsigned char>(*c));
        WM::Get()->OnChar(*c, 0);
    }
    EXPECT_EQ(10500u, gCurrentProfile->GetCash());
    EXPECT_EQ(10000u, gCurrentProfile->GetPopularity());
    EXPECT_TRUE(shop->Item(0)->buyable);
    EXPECT_EQ(UI_NORMAL, state("Buy"));
}

TEST_F(Shop, TheCashRowStandsSideBySideCentredOnItsPoint) {
    // A font whose every glyph advances 4 pixels: "Coins" is 20 wide, "500" 12.
    std::vector<uint8_t> px(3 * 94 * 4 * 3, 0xFF);
    std::filesystem::create_directories(program.file("Fonts"));
    cTGAImage writer;
    ASSERT_EQ(writer.Save(program.file("Fonts/tiny.tga").c_str(), px.data(), 24, 3 * 94, -4), 0);
    std::string metrics = "2 4 94\n";
    for (int code = 33; code < 127; ++code)
        metrics += std::to_string(code) + " " + std::to_string((code - 33) * 3) + " 0 0 3 1\n";
    program.write("Fonts/tiny.fh", metrics);
    std::string layout = kShopLayout;
    layout.replace(layout.find("cell_x="), 0,
                   "cash_x=200\r\ncash_y=30\r\nfont_gold=Fonts/tiny.tga\r\nfont_red=Fonts/tiny.tga\r\n");
    layout += "[Cash]\r\ntype=text\r\nx=0\r\ny=0\r\nxs=100\r\nys=20\r\nname=Coins\r\n"
              "font=Fonts/tiny.tga\r\n";
    data(kLayout, layout);
    items(kSofa);
    openShop();
    ASSERT_EQ(500u, gCurrentProfile->GetCash());
    UIWnd* label = findChild(shop.get(), "Cash");
    UIWnd* number = findChild(shop.get(), "CashAmount");
    ASSERT_TRUE(label && number);
    EXPECT_EQ(200 - (20 + 12) / 2, label->x);
    EXPECT_EQ(label->x + 20, number->x);
    EXPECT_EQ(30, label->y);
    EXPECT_EQ(30, number->y);
}

TEST_F(Shop, TheClientsOfTheComingLevelCountTheOwnedBonuses) {
    items(kSofa);
    openShop();
    EXPECT_EQ(7, shop->ClientsTotal());
    buy();
    EXPECT_EQ(9, shop->ClientsTotal());
}

// --- The preview ---------------------------------------------------------------------------------

TEST_F(Shop, ThePreviewScalesTheLevelIntoItsRectangle) {
    MiniLevel preview(10, 20, 400.0f / 800.0f, 300.0f / 600.0f);
    Point2i at = preview.List().ToScreen(Point2i(100, 200));
    EXPECT_EQ(60, at.x);
    EXPECT_EQ(120, at.y);
    // Every placed object of the player is in the picture.
    EXPECT_NE(nullptr, preview.Object("Desk"));
    EXPECT_NE(nullptr, preview.Object("room_a"));
    EXPECT_EQ(3, preview.ObjectCount());
}

TEST_F(Shop, ThePreviewTakesABoughtObjectOnlyAtAHigherGrade) {
    MiniLevel preview(0, 0, 0.5f, 0.5f);
    cPlayerProfile* p = gCurrentProfile;
    preview.AddObject(RCPtr<cObjectItem>());
    preview.AddObject(p->MakeObjectItem("sofa"));
    cLevelObj* sofa = preview.Object("Sofa");
    const cObjectItem* record = preview.Record("Sofa");
    ASSERT_NE(nullptr, sofa);
    preview.AddObject(p->MakeObjectItem("sofa"));
    EXPECT_EQ(sofa, preview.Object("Sofa"));
    EXPECT_EQ(record, preview.Record("Sofa"));
    preview.AddObject(p->MakeObjectItem("sofa_gold"));
    EXPECT_EQ(2, preview.Record("Sofa")->grade);
    EXPECT_EQ(4, preview.ObjectCount());

    preview.HideObject("");
    preview.HideObject("Nobody");
    preview.HideObject("Desk");
    EXPECT_FALSE(preview.Object("Desk")->IsVisible());
    preview.ShowAll();
    EXPECT_TRUE(preview.Object("Desk")->IsVisible());
}

TEST_F(Shop, TheSelectedItemReplacesItsObjectsInThePreviewUntilBought) {
    items(kSofa);
    openShop();
    ASSERT_NE(nullptr, shop->Preview());
    EXPECT_EQ(nullptr, shop->Preview()->Object("Sofa"));
    buy();
    EXPECT_NE(nullptr, shop->Preview()->Object("Sofa"));
    EXPECT_TRUE(shop->Preview()->Object("Sofa")->IsVisible());
}

}  // namespace
