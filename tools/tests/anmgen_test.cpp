// The animation tool run as a user runs it: compile a description, edit the file, dump it back.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tools/tests/tool_run.h"

namespace {

ToolRun anmgen(const std::string& args) { return runTool(ANMGEN, args); }

// The order of the top-level objects' names in a dump.
std::string order(const std::string& file) {
    const ToolRun run = anmgen("dump " + file);
    EXPECT_EQ(run.status, 0) << run.output;
    std::string names;
    for (size_t at = 0; (at = run.output.find("object \"", at)) != std::string::npos;) {
        at += 8;
        names += run.output.substr(at, run.output.find('"', at) - at) + " ";
    }
    return names;
}

TEST(Anmgen, EditsTheTopLevelObjectsInPlace) {
    {
        std::ofstream("edit.txt") << "object \"A\"\n alpha 0 1\nend\nobject \"B\"\n alpha 0 1\n"
                                     " object \"B1\"\n  alpha 0 1\n end\nend\nobject \"C\"\n"
                                     " alpha 0 1\nend\n";
    }
    ASSERT_EQ(anmgen("compile edit.txt edit.anm").status, 0);
    EXPECT_EQ(order("edit.anm"), "A B B1 C ");

    const struct {
        const char* args;
        int status;
        const char* after;
    } steps[] = {
        {"swap 0 2", 0, "C B B1 A "},
        {"move 2 0", 0, "A C B B1 "},
        {"delete B1", 0, "A C B "},
        {"delete 0", 0, "C B "},
        {"swap 0 5", 1, "C B "},   // out of range: the file stays as it was
        {"move 0 9", 1, "C B "},
        {"delete nobody", 1, "C B "},
        {"turn 0 1", 2, "C B "},   // not an edit
    };
    for (const auto& s : steps) {
        const ToolRun run = anmgen(std::string("edit edit.anm ") + s.args);
        EXPECT_EQ(run.status, s.status) << s.args << ": " << run.output;
        EXPECT_EQ(order("edit.anm"), s.after) << s.args;
    }
    EXPECT_EQ(anmgen("edit missing.anm delete 0").status, 1);
}

}  // namespace
