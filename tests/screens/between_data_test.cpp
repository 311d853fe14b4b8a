// The bundled layouts and item files of the shop, the school and the home name only pictures
// that the build renders, and the screens open on them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

TEST(BetweenLevelsData, EveryPictureNamedExists) {
    const std::string root = VELMORA_GAME_DIR;
    const char* files[] = {"Data/Menu/UIShop/UIShop.ini",        "Data/Menu/UISchool/UISchool.ini",
                           "Data/Menu/UIHome/UIHome.ini",        "Data/Menu/UIHome/items.ini",
                           "Data/Menu/UISchool/items.ini",       "Data/Menu/UIShop/items/e1/items.ini",
                           "Data/Menu/UIShop/items/e4/items.ini"};
    const std::regex picture(R"(Data/[A-Za-z0-9_/]+\.(tga|jpg|png))");
    for (const char* file : files) {
        std::ifstream in(root + "/" + file);
        ASSERT_TRUE(in) << file;
        std::stringstream text;
        text << in.rdbuf();
        std::string s = text.str();
        int named = 0;
        for (std::sregex_iterator it(s.begin(), s.end(), picture), end; it != end; ++it, ++named)
            EXPECT_TRUE(std::filesystem::exists(root + "/" + it->str())) << file << ": " << it->str();
        EXPECT_GT(named, 0) << file;
    }
}

}  // namespace
