// Configuration files through the file layer: loading, the errors of missing, empty and unreadable
// files, saving and loading back, and a save that cannot be written.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "engine/data/config_file.h"
#include "tests/support/own_folder.h"

namespace {

void writeFile(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
}

std::string firstError(const cConfigFile& c) {
    return c.GetErrors().size() ? c.GetErrors()[0].c_str() : "";
}

TEST(cConfigFile, MissingAndEmptyFiles) {
    cConfigFile missing("no_such.cfg");
    EXPECT_EQ(firstError(missing), "no_such.cfg: file not found");
    EXPECT_EQ(missing.SectionCount(), 0u);
    writeFile("empty.cfg", "");
    cConfigFile empty("empty.cfg");
    EXPECT_EQ(firstError(empty), "empty.cfg: file is empty or seek error");
    // Bytes that cannot be read whole: a compressed file whose stream is damaged.
    writeFile("damaged.cfg.zz", std::string("12345678") + "00000010" + "not a zlib stream");
    cConfigFile damaged("damaged.cfg.zz");
    EXPECT_EQ(firstError(damaged), "damaged.cfg.zz: read error");
    EXPECT_EQ(damaged.SectionCount(), 0u);
}

TEST(cConfigFile, SavesAndLoadsBack) {
    writeFile("game.cfg",
              "; settings\nspeed = 3\n[ player ]\nname = \"Zuna\"\nscale = 1.5\n[x]\nbad = 1.\n");
    cConfigFile c("game.cfg");
    ASSERT_EQ(c.GetErrors().size(), 2u);
    EXPECT_EQ(firstError(c), "game.cfg(7): invalid number format");
    EXPECT_STREQ(c.GetErrors()[1].c_str(), "game.cfg(7): no values found after '='");
    EXPECT_STREQ(c.GetString("player", "name", ""), "Zuna");
    c.AddSection("added")->SetVariable("n")->AddValue(cValue(42));
    ASSERT_TRUE(c.Save("saved.cfg"));

    cConfigFile back("saved.cfg");
    EXPECT_EQ(back.GetErrors().size(), 0u);
    EXPECT_EQ(back.GetInt(nullptr, "speed", 0), 3);
    EXPECT_STREQ(back.GetString("player", "name", ""), "Zuna");
    EXPECT_EQ(back.GetFloat("player", "scale", 0), 1.5f);
    EXPECT_EQ(back.GetInt("added", "n", 0), 42);
    EXPECT_STREQ(back.Format().c_str(), c.Format().c_str());
}

TEST(cConfigFile, FailedSaveSaysSoAndKeepsTheOldFile) {
    writeFile("keep.cfg", "a = 1\n");
    cConfigFile c("keep.cfg");
    EXPECT_FALSE(c.Save("no_folder/out.cfg"));
    EXPECT_FALSE(c.Save(""));
    ASSERT_TRUE(c.Save("keep.cfg"));
    cConfigFile again("keep.cfg");
    EXPECT_EQ(again.GetInt(nullptr, "a", 0), 1);
}

}  // namespace
