// Checks that the bundled data set holds together: every file an INI under Data/ names loads
// through the engine's own loaders, every text key and sound name resolves, every screen layout
// builds its widgets, and every comic, particle file, effect and level loads. Each fault is
// reported with the file, section and key that names it, so a misspelt name is found at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <strings.h>
#include <typeinfo>
#include <utility>
#include <vector>

#include "anim/animation.h"
#include "anim/fx.h"
#include "anim/fx_effects.h"
#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/gr/gr.h"
#include "engine/gr/gr_util.h"
#include "engine/gr/image.h"
#include "engine/platform/log.h"
#include "engine/snd/sndfile.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "tests/support/temp_folder.h"
#include "ui/ui.h"
#include "world/factory.h"
#include "world/jenny.h"
#include "world/level_object.h"
#include "world/maid.h"
#include "world/porter.h"
#include "world/request.h"
#include "world/room.h"
#include "world/walkmap.h"

namespace fs = std::filesystem;

namespace {

// The data set, seen from the test's own folder as the game sees it from its program folder.
const bool kOwnFolder = testsupport::workInOwnFolder("velmora_data_check", [] {
    fs::create_directory_symlink(std::string(VELMORA_GAME_DIR) + "/Data", "Data");
    logOpen();
});

const char kTranslation[] = "Data/translation.ini";
const char kSounds[] = "Data/Sounds/sounds.ini";
const char kMusic[] = "Data/Sounds/music.ini";

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string extension(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || name.find('/', dot) != std::string::npos ? ""
                                                                                : lower(name.substr(dot + 1));
}

// Every file under Data/ with one of the extensions, as "Data/..." names in a stable order.
std::vector<std::string> dataFiles(const std::set<std::string>& extensions) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator("Data", fs::directory_options::follow_directory_symlink))
        if (e.is_regular_file() && extensions.count(extension(e.path().string()))) out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

// One "key=value" line of an INI file; the value as the INI store reads it.
struct Entry {
    std::string file, section, key, value;
    std::string where() const { return file + " [" + section + "] " + key + "=" + value; }
};

std::vector<std::string> sectionsOf(const std::string& file) {
    std::vector<char> names(1 << 16);
    iniGetSections(file.c_str(), names.data(), static_cast<int>(names.size()));
    std::vector<std::string> out;
    for (const char* s = names.data(); *s; s += strlen(s) + 1) out.push_back(s);
    return out;
}

std::set<std::string> lowerSectionsOf(const std::string& file) {
    std::set<std::string> out;
    for (const std::string& s : sectionsOf(file)) out.insert(lower(s));
    out.erase("main");  // the defaults of a sound script, never a sound of its own
    return out;
}

// The store reads values but does not list keys, so the keys come from the file's own lines.
std::vector<Entry> entriesOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<Entry> out;
    std::string line, section;
    while (std::getline(in, line)) {
        const size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos || line[start] == ';') continue;
        if (line[start] == '[') {
            const size_t end = line.find(']', start);
            section = line.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
            continue;
        }
        const size_t eq = line.find('=', start);
        if (eq == std::string::npos || section.empty()) continue;
        std::string key = line.substr(start, eq - start);
        key.erase(key.find_last_not_of(" \t") + 1);
        out.push_back({file, section, key, iniGetString(file.c_str(), section.c_str(), key.c_str(), "")});
    }
    return out;
}

// What the log gained since the watch began: loaders report what they could not read there.
class LogWatch {
public:
    LogWatch() : start_(text().size()) {}
    std::string news() const {
        const std::string t = text();
        return t.size() > start_ ? t.substr(start_) : "";
    }

private:
    static std::string text() {
        std::ifstream log("gerr.log", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    }
    size_t start_;
};

const std::set<std::string> kImages = {"tga", "png", "jpg", "jpeg"};
const std::set<std::string> kNamedFiles = {"tga", "png", "jpg", "jpeg", "wav", "ogg", "anm", "psi", "ini", "fh", "txt"};

bool isFontKey(const std::string& key) {
    const std::string k = lower(key);
    return k == "font" || endsWith(k, "_font");
}

// Why the named file does not load through the loader of its kind; empty when it loads.
std::string fileFault(const std::string& name, bool font) {
    const std::string ext = extension(name);
    if (font) {
        CGraphFont* f = grLoadFont(name.c_str(), nullptr);
        const bool ok = f && grFontHeight(f) > 0;
        grFreeFont(f);
        return ok ? "" : "font does not load";
    }
    if (kImages.count(ext)) {
        HSPRITE s = grLoadSprite(name.c_str(), nullptr, 0);
        const bool ok = spriteWidth(s) > 0 && spriteHeight(s) > 0;
        grFreeSprite(s);
        return ok ? "" : "picture does not load";
    }
    if (ext == "wav" || ext == "ogg") {
        CFileSND* reader = sndCreateFileByExt(name.c_str());
        const int result = reader ? reader->Open(name.c_str()) : 1;
        if (reader) reader->Close(0);
        delete reader;
        return result == 0 ? "" : "sound does not load";
    }
    if (ext == "anm") {
        C_Animation comic(name.c_str());
        return comic.Load() == 0 && comic.ObjectCount() > 0 ? "" : "animation does not read";
    }
    if (ext == "psi") {
        unsigned char* block = nullptr;
        const int size = fileLoad(name.c_str(), &block);
        ParticleParams params;
        const char* why = block ? particleParamsParse(block, static_cast<size_t>(size), &params) : "missing";
        memFree(block);
        return why ? std::string("particle file does not read: ") + why : "";
    }
    return fileExists(name.c_str()) ? "" : "file is missing";
}

bool translated(const char* section, const std::string& key) {
    static const char16_t kAbsent[] = u"\x1f absent";
    return iniGetWide(kTranslation, section, key.c_str(), kAbsent) != kAbsent;
}

// Sound script values that name other sections of the script: "name", "name0", "name1"...
bool isScriptNameKey(const std::string& key) {
    const std::string k = lower(key);
    return k.compare(0, 4, "name") == 0 && k.find_first_not_of("0123456789", 4) == std::string::npos;
}

// The faults of one value: a named file that does not load, a text key without a translation,
// a sound or music name that no script holds.
void checkEntry(const Entry& e, const std::set<std::string>& sounds, const std::set<std::string>& music,
                std::vector<std::string>& faults) {
    if (e.value.empty()) return;
    const std::string k = lower(e.key);
    if (e.value[0] == '#') {
        if (!translated(nullptr, e.value)) faults.push_back(e.where() + ": no text in " + kTranslation);
        return;
    }
    std::string name = e.value.substr(0, e.value.find_first_of("|,"));
    name.erase(name.find_last_not_of(" \t") + 1);
    if (kNamedFiles.count(extension(name))) {
        // A file-name pattern ("Data/HandObj/%s.ini") names the files its readers fill it with;
        // those are checked as the readers load them.
        if (name.find("%s") != std::string::npos) return;
        const std::string why = fileFault(name, isFontKey(e.key));
        if (!why.empty()) faults.push_back(e.where() + ": " + why);
        return;
    }
    // Volumes and switches ("sndVolume=0.5", "music=1") are numbers, never names.
    if (e.value.find_first_not_of("0123456789.-+ ") == std::string::npos) return;
    const bool script = e.file == kSounds || e.file == kMusic;
    if (script && isScriptNameKey(e.key)) {
        if (!lowerSectionsOf(e.file).count(lower(name))) faults.push_back(e.where() + ": no such sound");
    } else if (!script && (k.find("snd") != std::string::npos || endsWith(k, "sound"))) {
        if (!sounds.count(lower(name))) faults.push_back(e.where() + ": no such sound in " + kSounds);
    } else if (!script && k.find("music") != std::string::npos) {
        if (!music.count(lower(name))) faults.push_back(e.where() + ": no such music in " + kMusic);
    }
}

void expectNoFaults(const std::vector<std::string>& faults) {
    for (const std::string& f : faults) ADD_FAILURE() << f;
}

TEST(DataSet, EveryNameInTheIniFilesResolves) {
    iniFreeAll();
    const std::set<std::string> sounds = lowerSectionsOf(kSounds), music = lowerSectionsOf(kMusic);
    ASSERT_FALSE(sounds.empty());
    std::vector<std::string> faults;
    int checked = 0;
    for (const std::string& file : dataFiles({"ini"})) {
        if (file == kTranslation) continue;  // texts only
        for (const Entry& e : entriesOf(file)) {
            checkEntry(e, sounds, music, faults);
            ++checked;
        }
    }
    EXPECT_GT(checked, 500);
    expectNoFaults(faults);
}

// A screen layout: an INI under Data/Menu whose sections build widgets. Item lists and score
// tables there also carry a "type", but none that the widget factory knows.
bool isWidgetType(const std::string& type) {
    UIWnd* probe = type.empty() ? nullptr : CreateWidget(type.c_str());
    delete probe;
    return probe != nullptr;
}

bool isLayout(const std::string& file) {
    for (const std::string& s : sectionsOf(file))
        if (isWidgetType(iniGetString(file.c_str(), s.c_str(), "type", ""))) return true;
    return false;
}

TEST(DataSet, EveryScreenLayoutBuildsItsWidgets) {
    iniFreeAll();
    std::vector<std::string> faults;
    int layouts = 0;
    for (const std::string& file : dataFiles({"ini"})) {
        if (file.rfind("Data/Menu/", 0) != 0 || !isLayout(file)) continue;
        ++layouts;
        const std::vector<std::string> sections = sectionsOf(file);
        Window window;
        window.Create(file.c_str(), sections[0].c_str());
        for (size_t i = 1; i < sections.size(); ++i) {
            const std::string& s = sections[i];
            const std::string where = file + " [" + s + "]";
            const std::string type = iniGetString(file.c_str(), s.c_str(), "type", "");
            if (!type.empty() && !isWidgetType(type)) {
                // A screen's own records (a school cell naming its skill) share the layout file
                // but carry none of a widget's keys; one that does has a wrong type.
                bool widgetKeys = false;
                for (const char* key : {"x", "y", "xs", "ys", "name", "font", "ignore", "normal",
                                        "active", "press", "animkey", "stage"})
                    widgetKeys = widgetKeys || *iniGetString(file.c_str(), s.c_str(), key, "");
                if (widgetKeys) faults.push_back(where + " type=" + type + ": no such widget");
                continue;
            }
            const LogWatch log;
            UIWnd* widget = CreateChildFromIni(&window, file.c_str(), s.c_str(), 1, 0);
            if (!widget) {
                faults.push_back(where + ": the widget is not built");
                continue;
            }
            for (int k = 0; k < kUiSprites; ++k)
                if (widget->sprites[k] && spriteWidth(widget->sprites[k]) <= 0)
                    faults.push_back(where + ": state picture " + std::to_string(k) + " does not load");
            // A button without a stage is disabled: it shows but never takes a click. One meant
            // to start disabled says "stage=0".
            if (typeid(*widget) == typeid(UIWndButtonIE) &&
                !*iniGetString(file.c_str(), s.c_str(), "stage", ""))
                faults.push_back(where + ": a button without a stage cannot be pressed");
            if (*iniGetString(file.c_str(), s.c_str(), "font", "") && !widget->font)
                faults.push_back(where + ": font does not load");
            const std::string caption = iniGetString(file.c_str(), s.c_str(), "name", "");
            if (!caption.empty() && caption[0] == '#' && !widget->caption[0])
                faults.push_back(where + " name=" + caption + ": no text");
            if (!log.news().empty()) faults.push_back(where + ": " + log.news());
        }
    }
    EXPECT_GT(layouts, 0);
    expectNoFaults(faults);
}

// Every node of a comic: its picture, font, text key and the sounds of its keys.
void checkComicNode(const std::string& file, const C_AnimationObject* node, const std::set<std::string>& sounds,
                    std::vector<std::string>& faults) {
    const std::string where = file + " object " + (node->name ? node->name : "?");
    if (node->spritePath && *node->spritePath) {
        const std::string why = fileFault(node->spritePath, false);
        if (!why.empty()) faults.push_back(where + " picture " + node->spritePath + ": " + why);
    }
    if (node->fontPath && *node->fontPath) {
        const std::string why = fileFault(node->fontPath, true);
        if (!why.empty()) faults.push_back(where + " font " + node->fontPath + ": " + why);
    }
    if (node->textKey && *node->textKey && !translated("Comics", node->textKey))
        faults.push_back(where + " text " + node->textKey + ": no text in [Comics] of " + kTranslation);
    for (uint32_t i = 0; i < node->soundKeys.size(); ++i) {
        const char* sound = node->soundKeys[i]->name;
        if (sound && *sound && !sounds.count(lower(sound)) && fileFault(sound, false) != "")
            faults.push_back(where + " sound " + sound + ": no such sound in " + kSounds);
    }
    for (int i = 0; i < node->ChildCount(); ++i) checkComicNode(file, node->ChildAt(i), sounds, faults);
}

TEST(DataSet, EveryComicAndParticleFileReads) {
    iniFreeAll();
    const std::set<std::string> sounds = lowerSectionsOf(kSounds);
    std::vector<std::string> faults;
    const std::vector<std::string> comics = dataFiles({"anm"}), particles = dataFiles({"psi"});
    EXPECT_FALSE(comics.empty());
    EXPECT_FALSE(particles.empty());
    for (const std::string& file : comics) {
        C_Animation comic(file.c_str());
        if (comic.Load() != 0 || comic.ObjectCount() == 0) {
            faults.push_back(file + ": animation does not read");
            continue;
        }
        comic.BuildSoundKeys();  // gathers the sounds named on the key frames
        for (int i = 0; i < comic.ObjectCount(); ++i) checkComicNode(file, comic.ObjectAt(i), sounds, faults);
    }
    for (const std::string& file : particles) {
        const std::string why = fileFault(file, false);
        if (!why.empty()) faults.push_back(file + ": " + why);
    }
    // Effects carry a particle file ("path"), emitters a system and its actor; the other sections
    // (the fireworks show, the flying tips) only name pictures, which the INI walk checks.
    for (const std::string& section : sectionsOf(kFxIni)) {
        const LogWatch log;
        if (*iniGetString(kFxIni, section.c_str(), "path", "")) {
            SimpleEffect effect;
            effect.Load(kFxIni, section.c_str());
        } else if (*iniGetString(kFxIni, section.c_str(), "system", "")) {
            FxEmitter emitter;
            emitter.Load(section.c_str());
        }
        if (!log.news().empty()) faults.push_back(std::string(kFxIni) + " [" + section + "]: " + log.news());
    }
    expectNoFaults(faults);
}

// A player of the episode, at its first level, owning nothing.
struct EpisodePlayer : ProfileLink {
    explicit EpisodePlayer(int e) : episode(e) { worldSetProfile(this); }
    ~EpisodePlayer() override { worldSetProfile(nullptr); }
    int Episode() const override { return episode; }
    int Level() const override { return 1; }
    int ObjectItemCount() const override { return 0; }
    const ObjectItemInfo* ObjectItem(int) const override { return nullptr; }
    const char* CurrentShopItems() const override { return ""; }
    const char* PreviousShopItems() const override { return ""; }
    int episode;
};

TEST(DataSet, EveryEpisodeLoadsItsMapAndObjects) {
    iniFreeAll();
    std::vector<std::string> faults;
    int episodes = 0;
    for (const auto& dir : fs::directory_iterator("Data/Episodes")) {
        const std::string name = dir.path().filename().string();
        if (name.size() < 2 || name[0] != 'e' || name.find_first_not_of("0123456789", 1) != std::string::npos)
            continue;
        const std::string base = dir.path().string() + "/";
        const bool levels = fs::exists(base + "levels.ini");
        if (!levels && !fs::exists(base + "map.ini")) continue;
        ++episodes;
        const int episode = std::stoi(name.substr(1));
        for (const char* needed : {"map.ini", "objects.ini"})
            if (!fs::exists(base + needed)) faults.push_back(base + needed + ": file is missing");

        cWalkMap map;
        LogWatch mapLog;
        if (!map.Load(episode, Point2i(0, 0)) || map.GetSize().x <= 0 || !mapLog.news().empty())
            faults.push_back(base + "map.ini: the walk map does not load " + mapLog.news());
        cWalkMap::SetCurrent(&map);
        EpisodePlayer player(episode);
        for (const std::string& section : sectionsOf(base + "objects.ini")) {
            const LogWatch log;
            cLevelObj* object = createLevelObject(section.c_str(), nullptr);
            if (!object) faults.push_back(base + "objects.ini [" + section + "]: the object is not built");
            if (!log.news().empty()) faults.push_back(base + "objects.ini [" + section + "]: " + log.news());
            delete object;
        }
        cWalkMap::SetCurrent(nullptr);
    }
    EXPECT_GT(episodes, 0);
    expectNoFaults(faults);
}

// Why a hero or client standing at from cannot walk to to; empty when it can (or is there).
std::string unreachable(cWalkMap& map, Point2i from, Point2i to) {
    const Point2i a = map.ScreenToCell(from), b = map.ScreenToCell(to);
    if (a.x == b.x && a.y == b.y) return "";
    cArray<Point2i> path;
    if (map.FindPath(path, from, to)) return "";
    return "no way from " + std::to_string(from.x) + "," + std::to_string(from.y) + " to " +
           std::to_string(to.x) + "," + std::to_string(to.y);
}

// The data read afresh, the road's way points loaded and a new player of that key made current.
void newPlayerOnTheRoad(const char* key) {
    iniFreeAll();
    userFolderCreate();
    LoadWayPoints();
    CreatePlayer(key, u"Road");
}

// Every level on the episode map, loaded as a new player standing at its way point loads it:
// nothing it names may be missing, every request kind it asks for must find its target, and the
// staff and guests must be able to walk to every place they serve or wait at.
TEST(DataSet, EveryLevelOfTheRoadLoadsAndIsPlayable) {
    newPlayerOnTheRoad("road");
    ASSERT_NE(gCurrentProfile, nullptr);
    std::vector<std::string> faults;
    int levels = 0;
    // Pictures are shared by name: heroes held here and each level kept until the next is built
    // leave every picture decoded once rather than forty times.
    cJenny jenny;
    cMaid maid;
    cPorter porter;
    jenny.Load("Data/Heroes/Jenny/Jenny.ini");
    maid.Load("Data/Heroes/Maid/Maid.ini");
    porter.Load("Data/Heroes/Porter/Porter.ini");
    cGame* previous = nullptr;
    int rooms = 0;  // the rooms walked to, so that a level without real rooms does not pass
    for (uint32_t i = 0; i < gWayPoints.size(); ++i) {
        if (gWayPoints[i].GetKind() != cMapWayPoint::kLevel) continue;
        gCurrentProfile->SetLevel(i);
        ASSERT_NE(gCurrentProfile, nullptr);
        const int episode = gCurrentProfile->GetEpisode(), number = gCurrentProfile->GetLevelNumber();
        const std::string levelsIni = "Data/Episodes/e" + std::to_string(episode) + "/levels.ini";
        const std::string section = "level" + std::to_string(number);
        const std::string where = levelsIni + " [" + section + "]";
        ++levels;
        for (const char* key : {"crashObjects", "crashRoom", "request_ttl", "other_client_start_delay",
                                "checkOutCleanInterval", "cashGoal", "cashExpert", "addPopularity",
                                "maxCostTipClient", "outdoor_request_priority", "requests", "clients",
                                "mandatory_room_upgrades"})
            if (!*iniGetString(levelsIni.c_str(), section.c_str(), key, ""))
                faults.push_back(where + ": \"" + key + "\" is missing");
        // The guests' kinds: each needs its own file.
        const TokenList clients =
            TokenList::Split(iniGetString(levelsIni.c_str(), section.c_str(), "clients", ""), ';');
        for (uint32_t c = 0; c < clients.Count(); ++c) {
            const TokenList parts = TokenList::Split(clients.At(c), ',');
            const std::string kind = parts.Count() ? parts.At(0) : "";
            if (parts.Count() < 2 || atoi(parts.At(1)) < 1 ||
                !fileExists(("Data/Clients/" + kind + "/" + kind + ".ini").c_str()))
                faults.push_back(where + " \"clients\": \"" + clients.At(c) +
                                 "\" names no guests of a known kind");
        }

        const LogWatch log;
        cGame* game = gameCreateLevel();
        if (!game->Background()) faults.push_back(where + ": the level has no background");
        if (game->GetCashGoal() <= 0 || game->GetCashExpert() <= game->GetCashGoal() ||
            game->GetRequestTtl() <= 0)
            faults.push_back(where + ": the goals or the waiting time are not set");
        if (game->CheckIns().size() == 0 || game->CheckOuts().size() == 0 || !game->GetAngerPoint())
            faults.push_back(where + ": check-in, check-out or anger places are missing");
        if (game->GetRoomCount() < 2) faults.push_back(where + ": the hotel has fewer than two rooms");
        std::set<std::string> served = {"Reception"};
        std::set<std::string> places;
        const TokenList requests =
            TokenList::Split(iniGetString(levelsIni.c_str(), section.c_str(), "requests", ""), ';');
        for (uint32_t r = 0; r < requests.Count(); ++r) {
            const TokenList parts = TokenList::Split(requests.At(r), ',');
            const int kind = parts.Count() ? RequestKindFromName(parts.At(0)) : kRequestKinds;
            if (kind >= kRequestKinds || game->GetRequestWeight(kind) <= 0) {
                faults.push_back(where + " \"requests\": \"" + requests.At(r) + "\" is silenced or unknown");
                continue;
            }
            served.insert(iniGetString(kRequestFile, RequestKindName(kind), "target", ""));
            // A guest asks only for what it can wait for somewhere: its room or a lobby object.
            const TokenList names =
                TokenList::Split(iniGetString(kRequestFile, RequestKindName(kind), "place", ""), ',');
            if (names.Count() == 0)
                faults.push_back(where + " \"requests\": " + RequestKindName(kind) + " has no place");
            for (uint32_t n = 0; n < names.Count(); ++n)
                if (strcasecmp(names.At(n), "Room") != 0) places.insert(names.At(n));
        }

        // Where the staff start, where guests come in, and every place a service is done or the
        // staff wait.
        cWalkMap& map = game->GetWalkMap();
        auto point = [&](const char* group, const char* key) {
            Point2i p(0, 0);
            if (!iniReadIntPair(&p, levelsIni.c_str(), group, key))
                faults.push_back(where + ": [" + group + "] \"" + key + "\" is missing");
            return p;
        };
        const Point2i jenny = point("HeroStartPos", "jenny"), guests = point("BasePos", "clients");
        for (const char* hero : {"maid", "porter"})
            for (const char* group : {"HeroBasePos", "HeroWaitPos"}) {
                const std::string why = unreachable(map, point("HeroStartPos", hero), point(group, hero));
                if (!why.empty()) faults.push_back(where + " " + hero + ": " + why);
            }
        if (*iniGetString(levelsIni.c_str(), section.c_str(), "monsters", "")) {
            const Point2i lair = point("BasePos", "monsters");
            const TokenList way =
                TokenList::Split(iniGetString(levelsIni.c_str(), "Main", "monsters_way", ""), ';');
            for (uint32_t w = 0; w < way.Count(); ++w) {
                Point2i p(0, 0);
                if (std::sscanf(way.At(w), "%d,%d", &p.x, &p.y) != 2) continue;
                const std::string why = unreachable(map, lair, p);
                if (!why.empty()) faults.push_back(where + " monsters: " + why);
            }
        }
        for (int o = 0; o < game->GetObjectCount(); ++o) {
            cLevelObj* object = game->GetObject(o);
            std::string why;
            if (served.count(object->GetName()) || dynamic_cast<cRoom*>(object))
                why = unreachable(map, jenny, object->GetHeroPos());
            if (why.empty() && dynamic_cast<cRoom*>(object)) {
                ++rooms;
                why = unreachable(map, guests, object->GetClientPos());
            }
            if (!why.empty()) faults.push_back(where + " " + object->GetName() + ": " + why);
        }
        for (const cArray<cLevelObj*>* queue : {&game->CheckIns(), &game->CheckOuts()})
            for (uint32_t p = 0; p < queue->size(); ++p) {
                const std::string why = unreachable(map, guests, (*queue)[p]->GetClientPos());
                if (!why.empty()) faults.push_back(where + " " + (*queue)[p]->GetName() + ": " + why);
            }
        // A client point left at the object's foot stands on the object's own blocked cell, so
        // the path check also catches a place whose client point was never given.
        for (const std::string& name : places) {
            cLevelObj* object = game->FindLevelObjectByName(name.c_str());
            const std::string why = object ? unreachable(map, guests, object->GetClientPos())
                                           : "a request's place is not in the level";
            if (!why.empty()) faults.push_back(where + " " + name + ": " + why);
        }
        delete previous;
        previous = game;
        if (!log.news().empty()) faults.push_back(where + ": " + log.news());
    }
    delete previous;
    EXPECT_EQ(levels, 40);
    EXPECT_GE(rooms, 2 * levels);
    ReleasePlayer();
    FreeGameData();
    gWayPoints.clear();
    expectNoFaults(faults);
}

// A screen rectangle with what it shows, for the layout check below.
struct Area {
    int x, y, w, h;
    std::string what;
    bool Meets(const Area& o) const {
        return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
    }
};

// The rectangles the level's interface covers: the top bar's plates and counters, the menu button
// and the two command panels. The popularity change that rides under the bar for a moment is no
// standing part of it.
std::vector<Area> interfaceAreas(cGame& game) {
    std::vector<Area> out;
    for (UIWnd* child : game.children) {
        if (!child || child->hidden() || strcmp(child->section, "TipsText") == 0) continue;
        int w = child->xs, h = child->ys;
        for (HSPRITE s : child->sprites)
            if ((w <= 0 || h <= 0) && s) {
                w = spriteWidth(s);
                h = spriteHeight(s);
            }
        if (w > 0 && h > 0)
            out.push_back({child->x, child->y, w, h, std::string(child->iniFile) + " [" + child->section + "]"});
    }
    return out;
}

// The widest figure among the guests' and the staff's bounds, around a foot point.
Area figureBound() {
    Area a{0, 0, 0, 0, ""};
    std::vector<std::string> files;
    for (const char* hero : {"Jenny", "Maid", "Porter"})
        files.push_back(std::string("Data/Heroes/") + hero + "/" + hero + ".ini");
    for (const auto& dir : fs::directory_iterator("Data/Clients"))
        files.push_back(dir.path().string() + "/" + dir.path().filename().string() + ".ini");
    for (const std::string& f : files) {
        const int x = iniGetInt(f.c_str(), "Main", "bound_x", 0), y = iniGetInt(f.c_str(), "Main", "bound_y", 0);
        a.x = std::min(a.x, x);
        a.y = std::min(a.y, y);
        a.w = std::max(a.w, iniGetInt(f.c_str(), "Main", "bound_w", 0) + x - a.x);
        a.h = std::max(a.h, iniGetInt(f.c_str(), "Main", "bound_h", 0) + y - a.y);
    }
    return a;
}

// Where each kind of guest shows its own bubble, from its foot point.
std::vector<Point2i> guestBubblePoints() {
    std::vector<Point2i> out;
    for (const auto& dir : fs::directory_iterator("Data/Clients")) {
        const std::string f = dir.path().string() + "/" + dir.path().filename().string() + ".ini";
        out.emplace_back(iniGetInt(f.c_str(), "Main", "request_x", 0), iniGetInt(f.c_str(), "Main", "request_y", 0));
    }
    return out;
}

// No place where a guest stands, sits or queues, no point where the staff work or wait, and no
// bubble (with its clock and, at a room, the guest's portrait) of any hotel may lie under the top
// bar or a command panel: whatever is drawn there is hidden from the player, who then loses a
// guest without seeing why.
TEST(DataSet, NoPlaceOrBubbleOfAnyHotelLiesUnderTheInterface) {
    newPlayerOnTheRoad("layout");
    ASSERT_NE(gCurrentProfile, nullptr);
    std::vector<std::string> faults;
    const Area figure = figureBound();
    const std::vector<Point2i> guestBubbles = guestBubblePoints();
    // The bubble with its clock, and the portrait beside it for a guest in its own room.
    const Area bubble{0, 0, 82, 82, ""}, portrait{-64, -8, 76, 76, ""};
    ASSERT_GT(figure.h, 0);
    std::set<int> episodes;
    for (uint32_t i = 0; i < gWayPoints.size(); ++i) {
        if (gWayPoints[i].GetKind() != cMapWayPoint::kLevel) continue;
        gCurrentProfile->SetLevel(i);
        const int episode = gCurrentProfile->GetEpisode();
        if (!episodes.insert(episode).second) continue;
        const std::string base = "Data/Episodes/e" + std::to_string(episode) + "/";
        const std::string levelsIni = base + "levels.ini", objectsIni = base + "objects.ini";
        cGame* game = gameCreateLevel();
        const std::vector<Area> ui = interfaceAreas(*game);
        if (ui.size() < 4) faults.push_back(base + ": the level's interface did not load");
        std::vector<Area> world;
        auto at = [&](const Area& shape, Point2i p, const std::string& what) {
            world.push_back({p.x + shape.x, p.y + shape.y, shape.w, shape.h, what});
        };
        for (const char* group : {"HeroStartPos", "HeroBasePos", "HeroWaitPos"})
            for (const char* hero : {"jenny", "maid", "porter"}) {
                Point2i p(0, 0);
                if (iniReadIntPair(&p, levelsIni.c_str(), group, hero))
                    at(figure, p, levelsIni + " [" + group + "] " + hero);
            }
        auto has = [&](const char* section, const char* a, const char* b) {
            return *iniGetString(objectsIni.c_str(), section, a, "") ||
                   *iniGetString(objectsIni.c_str(), section, b, "");
        };
        for (int o = 0; o < game->GetObjectCount(); ++o) {
            cLevelObj* object = game->GetObject(o);
            const char* section = *object->GetObjectsSection() ? object->GetObjectsSection()
                                                                : object->GetSectionName();
            const std::string where = objectsIni + " [" + section + "] ";
            const bool room = dynamic_cast<cRoom*>(object) != nullptr;
            if (room || has(section, "client_x", "client_y")) {
                at(figure, object->GetClientPos(), where + "guest's place");
                // A guest shows its own bubble where it waits in the lobby; at a room's door it
                // only passes.
                for (const Point2i& b : guestBubbles)
                    if (!room) at(bubble, object->GetClientPos() + b, where + "bubble of the guest there");
            }
            if (room || has(section, "hero_x", "hero_y"))
                at(figure, object->GetHeroPos(), where + "staff's point");
            // A place shows the bubble of the guest waiting there at its request point.
            if (room || has(section, "request_x", "request_y") || has(section, "client_x", "client_y")) {
                at(bubble, object->GetRequestPos(), where + "bubble");
                if (room) at(portrait, object->GetRequestPos(), where + "guest's portrait");
            }
        }
        for (const Area& w : world)
            for (const Area& u : ui)
                if (w.Meets(u))
                    faults.push_back(w.what + " (" + std::to_string(w.x) + "," + std::to_string(w.y) +
                                     " " + std::to_string(w.w) + "x" + std::to_string(w.h) +
                                     ") lies under the interface's " + u.what);
        delete game;
    }
    EXPECT_EQ(episodes.size(), 4u);
    ReleasePlayer();
    FreeGameData();
    gWayPoints.clear();
    expectNoFaults(faults);
}

// The Maid and the Porter rest, start and are called out on the side of the command panel that
// calls them, and never stand in each other: a Porter resting beside the Maid's panel is looked
// for under his own button and not found.
TEST(DataSet, EachOfTheStaffWaitsBesideItsOwnPanel) {
    const char kInterface[] = "Data/Interface/interface.ini";
    std::map<std::string, int> panelCentre;  // by hero, lower case
    for (const char* key : {"LeftPanel", "RightPanel"}) {
        const char* file = iniGetString(kInterface, "Panels", key, "");
        panelCentre[lower(iniGetString(file, "Main", "hero", ""))] =
            iniGetInt(file, "Main", "x", 0) + iniGetInt(file, "Main", "xs", 0) / 2;
    }
    ASSERT_EQ(panelCentre.count("maid") + panelCentre.count("porter"), 2u);
    const Area figure = figureBound();
    const char* const kGroups[] = {"HeroStartPos", "HeroBasePos", "HeroWaitPos"};
    std::vector<std::string> faults;
    int episodes = 0;
    for (int e = 1; fileExists(("Data/Episodes/e" + std::to_string(e) + "/levels.ini").c_str()); ++e, ++episodes) {
        const std::string levels = "Data/Episodes/e" + std::to_string(e) + "/levels.ini";
        std::map<std::string, std::vector<Area>> stands;
        for (const char* hero : {"maid", "porter"}) {
            const std::string other = strcmp(hero, "maid") == 0 ? "porter" : "maid";
            for (const char* group : kGroups) {
                Point2i p(0, 0);
                const std::string where = levels + " [" + group + "] " + hero;
                if (!iniReadIntPair(&p, levels.c_str(), group, hero)) {
                    faults.push_back(where + " is missing");
                    continue;
                }
                if (std::abs(p.x - panelCentre[hero]) >= std::abs(p.x - panelCentre[other]))
                    faults.push_back(where + " (" + std::to_string(p.x) + "," + std::to_string(p.y) +
                                     ") lies on the side of the " + other + "'s panel");
                stands[hero].push_back({p.x + figure.x, p.y + figure.y, figure.w, figure.h, where});
            }
        }
        for (const Area& m : stands["maid"])
            for (const Area& q : stands["porter"])
                if (m.Meets(q)) faults.push_back(m.what + " and " + q.what + " stand in each other");
    }
    EXPECT_EQ(episodes, 4);
    expectNoFaults(faults);
}

// Jenny fetches a cocktail, food, a newspaper or the telephone into a hand and delivers what she
// holds: a kind with nothing to carry leaves her hands empty, so the source asks for the fetch
// again and again while the guest is never served, and the more often the player answers it the
// longer she runs back and forth.
TEST(DataSet, EveryKindJennyFetchesHasSomethingToCarry) {
    const std::string objects =
        std::string(",") + iniGetString("Data/HandObj/HandObjects.ini", "Main", "objects", "") + ",";
    for (int kind : {kCocktail, kFood, kNews, kPhone}) {
        const std::string hand = iniGetString(kRequestFile, RequestKindName(kind), "hand_obj", "");
        EXPECT_FALSE(hand.empty()) << RequestKindName(kind) << " names nothing to carry";
        EXPECT_NE(objects.find("," + hand + "0,"), std::string::npos)
            << RequestKindName(kind) << ": no hand object \"" << hand << "0\"";
    }
}

// A picture file's alpha bytes, rows top first; empty when it cannot be read.
struct Alpha {
    int w = 0, h = 0;
    std::vector<uint8_t> a;
    bool Opaque(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && a[y * w + x] > 128; }
};
Alpha alphaOf(const std::string& file) {
    Alpha out;
    std::unique_ptr<cFileImage> image(imageOpen(file.c_str()));
    if (!image || image->Open(file.c_str()) != 0) return out;
    out.w = image->Width();
    out.h = image->Height();
    out.a.assign(static_cast<size_t>(out.w) * out.h, 0);
    if (image->ExtractChannel(0, 0, out.w, out.h, out.a.data(), 0, 0, out.w, out.h, 1, out.w, 8, 0) != 0)
        out = Alpha();
    return out;
}

// The file and frame count of an animation record's "sprite" key ("file,period,frames").
std::pair<std::string, int> spriteOf(const std::string& ini, const std::string& section) {
    const std::string spec = iniGetString(ini.c_str(), section.c_str(), "sprite", "");
    const size_t comma = spec.find(',');
    const size_t last = spec.rfind(',');
    const int frames = last != std::string::npos && last != comma ? atoi(spec.c_str() + last + 1) : 1;
    return {spec.substr(0, comma), std::max(1, frames)};
}

// Whatever Jenny carries rests on her hand in every facing and every frame of the walk: the
// hand's grip point (obj_x, obj_y, in the hand's own picture) lies on the painted hand, and the
// carried thing's picture, placed from that point by its own offset, reaches it. A grip left at
// one place for all facings floats the tray beside her as soon as she turns.
TEST(DataSet, WhatJennyCarriesRestsInHerHandInEveryFacing) {
    const std::string jenny = "Data/Heroes/Jenny/Jenny.ini";
    const char* const kHands[9] = {"Left", "UpLeft", "Up", "UpRight", "Right", "DownRight", "Down", "DownLeft", "Stand"};
    // The carried thing's picture by facing code (0 standing, then Left ... DownLeft).
    const char* const kEntries[9] = {"Stand", "Left", "UpLeft", "Up", "UpRight", "Right", "DownRight", "Down", "DownLeft"};
    std::vector<std::string> faults;
    for (int kind : {kCocktail, kFood, kNews, kPhone}) {
        const std::string thing = "Data/HandObj/" +
                                  std::string(iniGetString(kRequestFile, RequestKindName(kind), "hand_obj", "")) + "0.ini";
        for (int facing = 0; facing < 9; ++facing) {
            const char* entry = kEntries[facing];
            const auto [thingFile, thingFrames] = spriteOf(thing, entry);
            const Alpha thingPicture = alphaOf(thingFile);
            if (thingPicture.w == 0) {
                faults.push_back(thing + " [" + entry + "]: no picture");
                continue;
            }
            const int tw = thingPicture.w, th = thingPicture.h / thingFrames;
            const int tx = iniGetInt(thing.c_str(), entry, "spr_x", 0), ty = iniGetInt(thing.c_str(), entry, "spr_y", 0);
            for (const char* side : {"Left", "Right"}) {
                const std::string hand = std::string("Hand") + side + "Busy" + kHands[facing == 0 ? 8 : facing - 1];
                const int gx = iniGetInt(jenny.c_str(), hand.c_str(), "obj_x", 0);
                const int gy = iniGetInt(jenny.c_str(), hand.c_str(), "obj_y", 0);
                const std::string where = thing + " [" + entry + "] in " + jenny + " [" + hand + "]";
                if (iniGetInt(jenny.c_str(), hand.c_str(), "obj_flipx", 0) ||
                    iniGetInt(jenny.c_str(), hand.c_str(), "obj_flipy", 0))
                    faults.push_back(where + ": a mirrored thing is placed from its other side");
                // The thing's picture, from the grip, reaches to within a few pixels of it.
                const int near = 3;
                if (tx - near > 0 || tx + tw + near < 0 || ty - near > 0 || ty + th + near < 0)
                    faults.push_back(where + ": the picture is drawn away from the grip");
                const auto [handFile, handFrames] = spriteOf(jenny, hand);
                const Alpha handPicture = alphaOf(handFile);
                const int fh = handPicture.h / handFrames;
                for (int f = 0; f < handFrames; ++f)
                    if (!handPicture.Opaque(gx, f * fh + gy) || gy >= fh) {
                        faults.push_back(where + ": the grip (" + std::to_string(gx) + "," + std::to_string(gy) +
                                         ") is off the hand in frame " + std::to_string(f));
                        break;
                    }
            }
        }
    }
    expectNoFaults(faults);
}

// Where Jenny fetches (the bar, the desk) the first guest found asking there decides whether the
// place lights and what a click orders: a kind of the Maid's or the Porter's naming the same
// place would darken it for the guests waiting on Jenny while that guest waits.
TEST(DataSet, NoServiceOfTheMaidOrThePorterNamesJennysSources) {
    std::set<std::string> sources;
    for (int kind : {kCocktail, kFood, kNews, kPhone})
        sources.insert(iniGetString(kRequestFile, RequestKindName(kind), "target", ""));
    for (int kind = 0; kind < kRequestKinds; ++kind) {
        const std::string hero = iniGetString(kRequestFile, RequestKindName(kind), "hero", "");
        const std::string target = iniGetString(kRequestFile, RequestKindName(kind), "target", "");
        if (hero == "Jenny") continue;
        EXPECT_FALSE(sources.count(target)) << RequestKindName(kind) << " names " << target;
    }
}

}  // namespace
