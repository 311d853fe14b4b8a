// Runs the screenshot walk for its first screens and reads the pictures back through the engine's
// own PNG reader: names in road order, the display's size, real content, and the figures printed.
#include "engine/gr/image.h"
#include "tests/support/temp_folder.h"
#include "tools/tests/tool_run.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using testsupport::TempFolder;

ToolRun shots(const std::string& args) { return runTool(SHOTS, args); }

// The picture's pixels as 0x00RRGGBB; empty when the file does not open as an image.
std::vector<uint32_t> readPicture(const std::string& path, int* width, int* height) {
    std::unique_ptr<cFileImage> reader(imageOpen(path.c_str()));
    if (!reader || reader->Open(path.c_str()) != 0) return {};
    *width = reader->Width();
    *height = reader->Height();
    std::vector<uint32_t> rgb(static_cast<size_t>(*width) * *height, 0);
    reader->Convert(0, 0, *width, *height, rgb.data(), 0, 0, *width, *height, 4, *width * 4, 8, 8, 8,
                    0, 16, 8, 0, 0);
    return rgb;
}

TEST(Shots, TheFirstScreensComeOutAsFullSizePicturesInRoadOrder) {
    TempFolder out("velmora_shots_out");
    ASSERT_TRUE(out.made());
    const ToolRun run = shots("--stop-after 4 " + out.path() + "/pictures");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("screens written: 4\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("peak resident memory: "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(" ms wall"), std::string::npos) << "the menu was reached, and timed";

    const char* names[] = {"01-logo.png", "02-player-selection.png", "03-loading.png",
                           "04-main-menu.png"};
    std::vector<uint32_t> previous;
    for (const char* name : names) {
        int w = 0, h = 0;
        const std::vector<uint32_t> pixels = readPicture(out.file("pictures/") + name, &w, &h);
        ASSERT_FALSE(pixels.empty()) << name;
        EXPECT_EQ(w, 1024) << name;
        EXPECT_EQ(h, 768) << name;
        // A drawn screen, not a cleared buffer, and not the screen before it again.
        const std::set<uint32_t> colours(pixels.begin(), pixels.end());
        EXPECT_GT(colours.size(), 64u) << name;
        EXPECT_NE(pixels, previous) << name;
        previous = pixels;
    }
    EXPECT_FALSE(out.exists("pictures/05-options.png")) << "the walk stopped where asked";
}

TEST(Shots, BadArgumentsShowTheUsageAndStartNothing) {
    TempFolder out("velmora_shots_args");
    const std::string folder = out.path() + "/pictures";
    const std::string cases[] = {"", "--stop-after many " + folder, "--stop-after",
                                 folder + " " + folder};
    for (const std::string& args : cases) {
        const ToolRun run = shots(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_NE(run.output.find("usage: shots"), std::string::npos) << args;
    }
    EXPECT_FALSE(out.exists("pictures/01-logo.png"));
}

}  // namespace
