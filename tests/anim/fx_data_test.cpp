// The bundled effect data: every particle file and sprite that Data/Fx/fx.ini names exists and
// every particle file is a good one that emits.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "anim/fx.h"
#include "engine/data/ini.h"

namespace {

const std::string kSource = VELMORA_GAME_DIR;

std::string readSourceFile(const std::string& rel) {
    std::ifstream in(kSource + "/" + rel, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(FxData, EveryNamedFileIsThereAndGood) {
    const std::string ini = kSource + "/" + kFxIni;
    char sections[4096];
    iniGetSections(ini.c_str(), sections, sizeof sections);
    int particleFiles = 0;
    for (const char* s = sections; *s; s += strlen(s) + 1) {
        SCOPED_TRACE(s);
        for (const char* key : {"path", "system"}) {
            const std::string file = iniGetString(ini.c_str(), s, key, "");
            if (file.empty()) continue;
            const std::string bytes = readSourceFile(file);
            ParticleParams p;
            EXPECT_EQ(particleParamsParse(reinterpret_cast<const unsigned char*>(bytes.data()),
                                          bytes.size(), &p),
                      nullptr)
                << file;
            EXPECT_GT(p.rate, 0) << file;
            ++particleFiles;
        }
        for (const char* key :
             {"actor", "plusIcon", "minusIcon", "moneyIcon", "bustIcon", "sprite"}) {
            const std::string file = iniGetString(ini.c_str(), s, key, "");
            if (!file.empty()) {
                EXPECT_FALSE(readSourceFile(file).empty()) << file;
            }
        }
    }
    EXPECT_EQ(particleFiles, 16);
    EXPECT_FALSE(readSourceFile("Data/Fx/particles.tga").empty());
    EXPECT_LE(iniGetInt(ini.c_str(), "FlyingTips", "trailLength", 0), 6);
}

}  // namespace
