// Every data file in turn removed or cut short, with the whole program driven along the road
// that reads it: it must neither crash nor hang, its log must name the file, and where it stops
// short it must have shown a message.
//
// A start costs seconds under the sanitizers, too much to repeat for hundreds of files. So one
// process (the template) walks the road on sound data and every few steps leaves a paused copy of
// itself behind. The files first opened since the copy was made are damaged on the disk, all with
// one kind of damage at once, and the copy forks a child that takes those steps again on the
// damaged data and plays on for a while. A child that goes wrong is tried again on fewer files,
// down to the one to blame.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "engine/platform/engine.h"
#include "engine/platform/input.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "engine/snd/snd_internal.h"
#include "game/app.h"
#include "game/app_internal.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "minigames/minigame.h"
#include "screens/holders.h"
#include "screens/level_loading.h"
#include "screens/loading.h"
#include "screens/logo.h"
#include "screens/map.h"
#include "tests/support/child.h"
#include "tests/support/temp_folder.h"
#include "ui/ui.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kKeyDown = 256, kKeyUp = 257, kChar = 258, kMouseMove = 512;
constexpr int kEnter = 13, kEscape = 27, kSpace = 32;

// How far a run got: the exit code of a damaged run.
enum Reached : int {
    kNothing = 10,    // no player selection after the logos
    kPlayers = 11,    // no loading screen after a player was made
    kLoading = 12,    // the loading screen never finished
    kMenu = 13,       // no main menu, or its Start led nowhere
    kLevelLoad = 14,  // the level or mini-game never finished loading
    kPlaying = 15,    // the level or mini-game never took the screen
    kPlayed = 16,     // the whole road, with some seconds of play
    kGameEnded = 17,  // the program closed its last window on its own
    kWentOn = 18,     // a damaged run played its frames and was still going
};

const char* reachedName(int code) {
    static const char* const names[] = {"the start",        "the player selection",
                                        "the loading screen", "the main menu",
                                        "the level loading",  "the level",
                                        "the end of the road", "the program's own end",
                                        "its frames"};
    return code >= kNothing && code <= kWentOn ? names[code - kNothing] : "an unknown point";
}

// Frames of 25 ms a damaged run plays after its damaged step.
constexpr int kCaseFrames = 16;
// Wall-clock seconds a damaged run may take: more is a hang inside a frame.
constexpr unsigned kCaseSeconds = 60;
// The same for the whole walk of the template with all its damaged runs.
constexpr unsigned kWalkSeconds = 900;
// Frames of play at the end of the road.
constexpr int kPlayFrames = 3 * 40;

// --- Damage --------------------------------------------------------------------------------------

enum Damage { kRemoved, kHalf, kEmpty, kZeroed };
const char* damageName(Damage d) {
    return d == kRemoved ? "removed"
           : d == kHalf  ? "cut to half"
           : d == kEmpty ? "cut to 0 bytes"
                         : "filled with zero bytes";
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

bool endsWith(const std::string& s, const char* tail) {
    const std::string t = tail;
    return s.size() >= t.size() && lower(s.substr(s.size() - t.size())) == t;
}

std::vector<Damage> damagesOf(const std::string& file) {
    if (endsWith(file, ".ini")) return {kRemoved, kHalf, kEmpty};
    return {kRemoved, kHalf};
}

// --- The data: the built folder, linked into the test's own folder -------------------------------

const fs::path kBuiltData = VELMORA_GAME_DIR "/Data";

class Mirror {
public:
    Mirror() {
        if (!folder_.enter()) return;
        for (const auto& e : fs::recursive_directory_iterator(kBuiltData)) {
            const fs::path to = fs::path("Data") / fs::relative(e.path(), kBuiltData);
            if (e.is_directory()) {
                fs::create_directories(to);
            } else {
                files_.push_back(to.generic_string());
                put(to.generic_string());
            }
        }
        std::sort(files_.begin(), files_.end());
        setenv("XDG_DATA_HOME", folder_.file("user").c_str(), 1);
        std::ofstream("game.ini") << "[main]\nname=Velmora\npath=DamagedTest\nxs=1024\nys=768\n";
    }

    const std::vector<std::string>& files() const { return files_; }

    // Damage replaces the entry, so the built file is never written through a link.
    void damage(const std::string& file, Damage d) {
        const std::string bytes =
            testsupport::TempFolder::readFile((kBuiltData / rel(file)).string());
        std::error_code ec;
        fs::remove(file, ec);
        if (d == kRemoved) return;
        // A text cut just behind a line end is a whole, shorter text that no reader can tell
        // from the real one: the cut goes inside a line.
        if (d == kZeroed) {
            std::ofstream(file, std::ios::binary) << std::string(bytes.size(), '\0');
            return;
        }
        size_t keep = d == kHalf ? bytes.size() / 2 : 0;
        while (keep > 0 && (bytes[keep - 1] == '\n' || bytes[keep - 1] == '\r')) --keep;
        std::ofstream(file, std::ios::binary) << bytes.substr(0, keep);
    }
    void restore(const std::string& file) { put(file); }

private:
    static fs::path rel(const std::string& file) {
        return fs::path(file).lexically_relative("Data");
    }
    // A hard link where the file system allows it, else a copy.
    static void put(const std::string& file) {
        std::error_code ec;
        fs::remove(file, ec);
        const fs::path from = kBuiltData / rel(file);
        fs::create_hard_link(from, file, ec);
        if (ec) fs::copy_file(from, file, fs::copy_options::overwrite_existing);
    }

    testsupport::TempFolder folder_{"velmora_damaged"};
    std::vector<std::string> files_;
};

// --- The files the program opens, step by step ---------------------------------------------------

class OpenWatch {
public:
    OpenWatch() {
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        for (const auto& e : fs::recursive_directory_iterator("Data"))
            if (e.is_directory()) add(e.path().generic_string());
        add("Data");
    }
    ~OpenWatch() {
        if (fd_ >= 0) close(fd_);
    }
    bool ok() const { return fd_ >= 0; }

    // The files opened since the last call that had never been opened before.
    std::vector<std::string> fresh() {
        std::vector<std::string> out;
        for (const std::string& f : drain())
            if (seen_.insert(f).second) out.push_back(f);
        return out;
    }
    // Forgets what was opened meanwhile (by the damaged runs).
    void discard() { drain(); }

private:
    void add(const std::string& dir) {
        const int wd = inotify_add_watch(fd_, dir.c_str(), IN_OPEN);
        if (wd >= 0) dirs_[wd] = dir;
    }
    std::vector<std::string> drain() {
        std::vector<std::string> out;
        alignas(inotify_event) char buffer[16384];
        for (;;) {
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n <= 0) break;
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
                if (e->len > 0 && !(e->mask & IN_ISDIR) && dirs_.count(e->wd))
                    out.push_back(dirs_[e->wd] + "/" + e->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        }
        return out;
    }

    int fd_ = -1;
    std::map<int, std::string> dirs_;
    std::set<std::string> seen_;
};

// --- The template and its damaged runs -----------------------------------------------------------

// What the log says from the given offset on.
std::string logFrom(long offset) {
    std::ifstream in("gerr.log", std::ios::binary);
    in.seekg(offset);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

long logSize() {
    std::error_code ec;
    const auto n = fs::file_size("gerr.log", ec);
    return ec ? 0 : static_cast<long>(n);
}

std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', '|');
    return text.size() > 600 ? text.substr(0, 600) + "..." : text;
}

// What went wrong with a damaged run as a whole; empty when it played on.
std::string runProblem(int status, const std::string& log) {
    if (status == -1) return "did not run";
    if (WIFSIGNALED(status)) {
        if (WTERMSIG(status) == SIGALRM)
            return "hangs: still running after " + std::to_string(kCaseSeconds) + " s";
        return "crashes with signal " + std::to_string(WTERMSIG(status));
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (code != kWentOn && code != kPlayed && log.find("Message box") == std::string::npos)
        return std::string("stops at ") + reachedName(code) + " without a message";
    return "";
}

bool logNames(const std::string& log, const std::string& file) {
    return lower(log).find(lower(fs::path(file).filename().string())) != std::string::npos;
}

class Template;
Template* gTemplate = nullptr;
// Frames left to a damaged run; negative in the template.
int gCaseFramesLeft = -1;

// Steps between two paused copies: fewer copies, each damaged run takes more steps again.
constexpr int kStepsPerCopy = 32;

class Template {
public:
    Template(Mirror& mirror, std::function<bool(const std::string&)> takes, const char* report)
        : mirror_(mirror), takes_(std::move(takes)), report_(report, std::ios::trunc) {}

    // Only the stretch of the road a group looks at makes copies; what was read before it is
    // never fresh.
    void setActive(bool active) {
        if (active == active_) return;
        if (!active) finishCopy();
        active_ = active;
        watch_.fresh();
    }

    bool ok() const { return watch_.ok() && report_.good(); }

    // Before a step; true in a damaged run, which then takes the step itself.
    bool beforeStep() {
        if (!active_) return false;
        if (standby_ > 0 && stepsSinceCopy_ < kStepsPerCopy) return false;
        finishCopy();
        stepsSinceCopy_ = 0;
        return pauseCopy();
    }
    // After the step: what it opened first joins the files of the current copy.
    void afterStep() {
        if (!active_) {
            watch_.fresh();  // what is opened now is not fresh later, and the queue stays short
            return;
        }
        ++stepsSinceCopy_;
        for (const std::string& file : watch_.fresh()) {
            if (takes_(file)) pending_.push_back(file);
        }
    }
    void finish() {
        finishCopy();
        report_ << "#\t" << runs_ << " damaged runs from " << copies_ << " paused copies"
                << std::endl;
    }

private:
    // A paused copy of the program as it is now, which forks a damaged run on each request.
    bool pauseCopy() {
        int command[2], reply[2];
        if (pipe(command) != 0) return false;
        if (pipe(reply) != 0) {
            close(command[0]);
            close(command[1]);
            return false;
        }
        // The copy and its runs start from the user's files as they are now, not as the template
        // leaves them further on.
        std::error_code ec;
        fs::remove_all("user.at_copy", ec);
        fs::copy("user", "user.at_copy", fs::copy_options::recursive, ec);
        fflush(nullptr);
        ++copies_;
        const pid_t standby = fork();
        if (standby == 0) {
            close(command[1]);
            close(reply[0]);
            char c = 0;
            while (read(command[0], &c, 1) == 1 && c == 'g') {
                const pid_t run = fork();
                if (run == 0) {
                    close(command[0]);
                    close(reply[1]);
                    gTemplate = nullptr;
                    gCaseFramesLeft = kStepsPerCopy + kCaseFrames;
                    alarm(kCaseSeconds);
                    return true;
                }
                int status = 0;
                waitpid(run, &status, 0);
                if (write(reply[1], &status, sizeof status) != sizeof status) break;
            }
            _exit(0);
        }
        close(command[0]);
        close(reply[1]);
        command_ = command[1];
        reply_ = reply[0];
        standby_ = standby;
        return false;
    }

    // The files first opened since the copy was made, damaged in turn, and the copy let go.
    void finishCopy() {
        if (standby_ <= 0) return;
        if (!pending_.empty())
            for (Damage d : {kRemoved, kHalf, kEmpty}) {
                std::vector<std::string> files;
                for (const std::string& f : pending_)
                    for (Damage of : damagesOf(f))
                        if (of == d) files.push_back(f);
                if (!files.empty()) runBatch(files, d);
            }
        pending_.clear();
        close(command_);
        int status = 0;
        waitpid(standby_, &status, 0);
        close(reply_);
        standby_ = -1;
        watch_.discard();
    }

    // All files damaged at once. Files the log names are done; the others again on their own
    // batch, as another file's damage may have kept them from being read. A run that goes wrong
    // as a whole is split in halves, down to the one file to blame.
    void runBatch(const std::vector<std::string>& files, Damage d) {
        int status = -1;
        const std::string log = runDamaged(files, d, &status);
        const std::string problem = runProblem(status, log);
        if (!problem.empty() && files.size() > 1) {
            split(files, d);
            return;
        }
        if (!problem.empty()) {
            report(files[0], d, problem, log);
            return;
        }
        std::vector<std::string> unnamed;
        for (const std::string& file : files) {
            if (logNames(log, file))
                report(file, d, "", "");
            else
                unnamed.push_back(file);
        }
        if (unnamed.size() == 1 && files.size() == 1)
            report(unnamed[0], d, "no log line names it", log);
        else if (unnamed.size() == files.size())
            split(unnamed, d);
        else if (!unnamed.empty())
            runBatch(unnamed, d);
    }
    void split(const std::vector<std::string>& files, Damage d) {
        const auto half = files.begin() + static_cast<long>(files.size() / 2);
        runBatch(std::vector<std::string>(files.begin(), half), d);
        runBatch(std::vector<std::string>(half, files.end()), d);
    }
    void report(const std::string& file, Damage d, const std::string& problem,
                const std::string& log) {
        report_ << file << '\t' << damageName(d) << '\t' << problem << '\t' << oneLine(log)
                << '\n';
        report_.flush();
    }

    // The log of a run from the paused copy on the damaged files; the user folder as it was.
    std::string runDamaged(const std::vector<std::string>& files, Damage d, int* status) {
        ++runs_;
        std::error_code ec;
        fs::remove_all("user.kept", ec);
        fs::rename("user", "user.kept", ec);
        fs::copy("user.at_copy", "user", fs::copy_options::recursive, ec);
        const long from = logSize();
        for (const std::string& f : files) mirror_.damage(f, d);
        if (write(command_, "g", 1) != 1 || read(reply_, status, sizeof *status) != sizeof *status)
            *status = -1;
        for (const std::string& f : files) mirror_.restore(f);
        fs::remove_all("user", ec);
        fs::rename("user.kept", "user", ec);
        return logFrom(from);
    }

    Mirror& mirror_;
    std::function<bool(const std::string&)> takes_;
    bool active_ = false;
    std::ofstream report_;
    OpenWatch watch_;
    std::vector<std::string> pending_;
    int stepsSinceCopy_ = 0;
    int runs_ = 0, copies_ = 0;
    int command_ = -1, reply_ = -1;
    pid_t standby_ = -1;
};

// --- The road ------------------------------------------------------------------------------------

struct Ended {
    Reached at;
};

class Driver {
public:
    explicit Driver(std::function<void(Reached)> onReached) : onReached_(std::move(onReached)) {}
    // Every touch of the program is a step the template can take again on damaged data.
    template <class F>
    void step(F&& touch) {
        if (gTemplate) gTemplate->beforeStep();
        touch();
        if (gTemplate) gTemplate->afterStep();
    }
    void frame() {
        if (gCaseFramesLeft == 0) throw Ended{kWentOn};
        if (gCaseFramesLeft > 0) --gCaseFramesLeft;
        bool over = false;
        step([&] { over = GameFrame() != 0; });
        if (over) throw Ended{kGameEnded};
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }
    // Frames until the window gets an update step; false after limit frames.
    bool waitFor(Window* window, int limit = 400) {
        for (int i = 0; i < limit && window; ++i) {
            const int32_t before = window->clock;
            frame();
            if (window->clock != before) return true;
        }
        return false;
    }
    void key(int code) {
        step([&] {
            GameOnMessage(kKeyDown, static_cast<uintptr_t>(code), 0);
            GameOnMessage(kKeyUp, static_cast<uintptr_t>(code), 0);
        });
    }
    void type(const char* text) {
        step([&] {
            for (const char* p = text; *p; ++p) {
                typedPush(static_cast<unsigned char>(*p));
                GameOnMessage(kChar, static_cast<unsigned char>(*p), 1);
            }
        });
    }
    // A click at the centre of the named button of the screen; false when it has none.
    bool click(Window* screen, const char* name) {
        if (!screen || !findChild(screen, name)) return false;
        frames(kUiFadeMs / kUpdateStepMs + 1);
        step([&] {
            UIWnd* widget = findChild(screen, name);
            if (!widget) return;
            const intptr_t at = uiPack(widget->x + widget->xs / 2, widget->y + widget->ys / 2);
            GameOnMessage(kMouseMove, 0, at);
            GameOnMessage(kKeyDown, 1, at);
            GameOnMessage(kKeyUp, 1, at);
        });
        frame();
        return true;
    }
    void stopIfNot(bool ok) {
        if (!ok) throw Ended{reached_};
    }
    void reached(Reached r) {
        reached_ = r;
        onReached_(r);
    }

private:
    std::function<void(Reached)> onReached_;
    Reached reached_ = kNothing;
};

// A new player, the loading bar, the main menu; then Start, straight into the first level, or,
// for a later way point, through the map; the level loading; some seconds of play.
Reached road(Driver& d, int wayPoint) {
    d.stopIfNot(d.waitFor(gUIPlayerSelect.get()));
    d.reached(kPlayers);
    d.type("Tess");
    d.key(kEnter);
    d.stopIfNot(gCurrentProfile != nullptr);
    auto* loading = static_cast<UIGameLoading*>(gUIGameLoading.get());
    d.stopIfNot(d.waitFor(loading));
    d.reached(kLoading);
    for (int i = 0; i < 2000 && loading->stage() < kLoadingStages; ++i) d.frame();
    d.stopIfNot(loading->stage() >= kLoadingStages);
    d.key(kSpace);
    d.stopIfNot(d.waitFor(gUIMainMenu.get()));
    d.reached(kMenu);
    if (wayPoint > 0) {
        d.stopIfNot(static_cast<size_t>(wayPoint) < gWayPoints.size());
        d.step([&] {
            for (int i = 0; i < wayPoint; ++i) gWayPoints[i].LoadResult(2);
            gCurrentProfile->SetLevel(static_cast<uint32_t>(wayPoint));
        });
    }
    d.stopIfNot(d.click(gUIMainMenu.get(), "Start"));
    if (wayPoint > 0) {
        d.stopIfNot(d.waitFor(gUIGameMap.get()));
        d.stopIfNot(d.click(gUIGameMap.get(), "Play"));
    }
    auto* levelLoading = dynamic_cast<UILevelLoading*>(gUILevelLoading.get());
    d.stopIfNot(levelLoading != nullptr);
    d.reached(kLevelLoad);
    for (int i = 0; i < 2000 && levelLoading->Step() != UILevelLoading::kDone; ++i) {
        if (i % 40 == 20) d.key(kEscape);  // a comic holds the loading clock until it ends
        d.frame();
    }
    d.stopIfNot(levelLoading->Step() == UILevelLoading::kDone);
    d.key(kEnter);
    d.reached(kPlaying);
    Window* play = gCurrentMiniGame ? static_cast<Window*>(gCurrentMiniGame)
                                    : static_cast<Window*>(gCurrentGame);
    d.stopIfNot(d.waitFor(play));
    d.frames(kPlayFrames);
    return kPlayed;
}

// A stretch of one road, and which of the files first read on it it damages.
struct Group {
    const char* name;
    int wayPoint;
    Reached from, to;  // the template copies itself from the first point until the second
    std::function<bool(const std::string&)> takes;
};

void PrintTo(const Group& g, std::ostream* os) { *os << g.name; }

// The template's whole life, in a child of the test: ends with 0 once the road was walked.
[[noreturn]] void walk(Mirror& mirror, const Group& g, const char* report) {
    alarm(kWalkSeconds);
    // A copy keeps only the thread that forked it: the renderer must draw on that one.
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("LP_NUM_THREADS", "0", 1);
    Template keeper(mirror, g.takes, report);
    if (!keeper.ok()) _exit(2);
    gTemplate = &keeper;
    // Every run shares the one log; each reads what was added while it ran.
    logOpen();
    appSetScreens(screensStart, screensRelease);
    appSetClock([] { return float(kUpdateStepMs); });
    Driver d([&](Reached r) {
        if (gTemplate) gTemplate->setActive(r >= g.from && r < g.to);
    });
    Reached at = kNothing;
    try {
        d.reached(kNothing);
        d.step([] {
            iniFreeAll();
            if (engineInit() != 0) throw Ended{kNothing};
            appResetFrame();
            GameInit();
            // The template forks before every step: no thread of the sound device or of its
            // stream may hold a lock at that moment. The sounds are read as before.
            if (gTemplate) {
                sndDone();
                sndInitWithoutDevice();
                sndLoadScript("Data/Sounds/sounds.ini");
                sndLoadScript("Data/Sounds/music.ini");
            }
        });
        at = road(d, g.wayPoint);
    } catch (const Ended& e) {
        at = e.at;
    }
    // A damaged run lacks the threads its template had, so it cannot stop them.
    if (!gTemplate) _exit(at);
    gTemplate->finish();
    GameShutdown();
    _exit(at == kPlayed ? 0 : 3);
}

// --- The INI store on its own --------------------------------------------------------------------

// A data file read for its values that is missing, empty or cut inside a line is reported once a
// run, however often it comes back into the cache; a whole file is not, nor a missing file of the
// player's own.
TEST(DamagedIni, AMissingEmptyOrCutFileIsReportedOncePerRun) {
    testsupport::TempFolder folder{"velmora_damaged_ini"};
    ASSERT_TRUE(folder.enter());
    const struct {
        const char* file;
        const char* bytes;  // null: no file
        const char* reason;
    } cases[] = {
        {"Data/gone.ini", nullptr, "gone.ini is missing"},
        {"Data/empty.ini", "", "empty.ini is empty"},
        {"Data/cut.ini", "[a]\nb=1\nc=", "cut.ini ends inside a line"},
        {"Data/whole.ini", "[a]\nb=1\n", nullptr},
        {"settings.ini", nullptr, nullptr},  // a user's file is missing until first written
        {"scratch.ini", "", "scratch.ini is empty"},
    };
    for (const auto& c : cases)
        if (c.bytes) folder.write(c.file, c.bytes);
    const int status = testsupport::inChild([&] {
        for (int run = 0; run < 2; ++run) {
            for (int i = 0; i < 3; ++i)
                for (const auto& c : cases) iniGetString(c.file, "a", "b", "");
            // Ten other files push them out of the cache; read again, they are not reported again.
            for (int i = 0; i < 10; ++i)
                iniGetInt(("Data/other" + std::to_string(i) + ".ini").c_str(), "a", "b", 0);
            for (const auto& c : cases) iniGetString(c.file, "a", "b", "");
            iniFreeAll();  // a new run
        }
    });
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string log = folder.read("gerr.log");
    for (const auto& c : cases) {
        size_t count = 0;
        for (size_t at = log.find(c.file); at != std::string::npos; at = log.find(c.file, at + 1))
            ++count;
        EXPECT_EQ(count, c.reason ? 2u : 0u) << c.file << "\n" << log;
        if (c.reason) {
            EXPECT_NE(log.find(c.reason), std::string::npos) << log;
        }
    }
}

// --- Every TGA picture through the sprite loader -------------------------------------------------

// The game loads all its pictures through one loader; each TGA file, removed and cut in turn,
// goes through it once, all in one child (the file last tried is named should it die).
TEST(DamagedPictures, EveryTgaRemovedOrCutIsReportedByTheSpriteLoader) {
    Mirror mirror;
    int pictures = 0;
    const int status = testsupport::inChild([&] {
        logOpen();
        std::ofstream report("pictures.txt");
        for (const std::string& file : mirror.files()) {
            if (!endsWith(file, ".tga")) continue;
            for (Damage d : damagesOf(file)) {
                std::ofstream("trying.txt", std::ios::trunc) << file << " " << damageName(d);
                const long from = logSize();
                mirror.damage(file, d);
                grFreeSprite(grLoadSprite(file.c_str(), nullptr, 0));
                mirror.restore(file);
                const std::string log = logFrom(from);
                const std::string name = lower(fs::path(file).filename().string());
                if (lower(log).find(name) == std::string::npos)
                    report << file << " " << damageName(d) << ": no log line names it\n";
            }
        }
        std::ofstream("trying.txt", std::ios::trunc) << "";
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the loader died on " << testsupport::TempFolder::readFile("trying.txt");
    for (const std::string& file : mirror.files()) pictures += endsWith(file, ".tga");
    EXPECT_GT(pictures, 0);
    EXPECT_EQ(testsupport::TempFolder::readFile("pictures.txt"), "");
}

// --- The player's own files ----------------------------------------------------------------------

// The start of a run in its child: the shell with the screens at the fixed step, the engine and
// the game; a start that fails ends the child at once.
void startRun() {
    alarm(kCaseSeconds);
    appSetScreens(screensStart, screensRelease);
    appSetClock([] { return float(kUpdateStepMs); });
    iniFreeAll();
    if (engineInit() != 0) _exit(kNothing);
    appResetFrame();
    GameInit();
}

// The road to the first level in a child on the data as it stands: its wait status.
int roadInChild() {
    return testsupport::inChild([] {
        startRun();
        Driver d([](Reached) {});
        Reached at = kNothing;
        try {
            at = road(d, 0);
        } catch (const Ended& e) {
            at = e.at;
        }
        GameShutdown();
        _exit(at);
    });
}

// Two players and a score table as a player's files hold them, Ada first and further along.
const std::string kProfile =
    "[profile.aaaaaaaaaa]\r\nplayer_name=Ada\r\ncurrent_level=3\r\nlevel0_result=2\r\n"
    "level1_result=3\r\nlevel2_result=2\r\n[profile.bbbbbbbbbb]\r\nplayer_name=Bea\r\n"
    "current_level=1\r\nlevel0_result=2\r\n";
const std::string kScores =
    "[score0]\r\nname=Ada\r\nvalue=900\r\n[score1]\r\nname=Bea\r\nvalue=400\r\n";

// A damaged profile.ini or scores.ini: the game starts, lists who can still be read, and the
// selected player goes on where she was, through the loading (which builds the score table) to
// the menu.
TEST(DamagedPlayerFiles, WhatCanStillBeReadIsKeptAndTheGameGoesOn) {
    const struct {
        const char* what;
        std::string profile, scores;
        const char* seen;  // the names listed, then who plays (the one selected) and her way point
    } cases[] = {
        {"the second player cut inside a line, the scores empty",
         kProfile.substr(0, kProfile.size() - 9), "", "Ada Bea | B 1"},
        {"the second player's header cut", kProfile.substr(0, kProfile.find("[profile.b") + 12),
         kScores, "Ada | A 3"},
        {"junk in the middle and the scores cut",
         kProfile.substr(0, 60) + std::string("\0\xff\xfe[\x01=\r\n", 9) + kProfile.substr(60),
         kScores.substr(0, 30), "Ada Bea | B 1"},
    };
    Mirror mirror;
    for (const auto& c : cases) {
        std::error_code ec;
        fs::remove_all("user", ec);
        fs::remove("seen.txt", ec);
        fs::create_directories("user/DamagedTest");
        std::ofstream("user/DamagedTest/profile.ini", std::ios::binary) << c.profile;
        std::ofstream("user/DamagedTest/scores.ini", std::ios::binary) << c.scores;
        const int status = testsupport::inChild([] {
            startRun();
            Driver d([](Reached) {});
            Reached at = kNothing;
            try {
                d.stopIfNot(d.waitFor(gUIPlayerSelect.get()));
                d.reached(kPlayers);
                auto* select = static_cast<UIPlayerSelect*>(gUIPlayerSelect.get());
                std::ofstream seen("seen.txt");
                for (int i = 0; i < 4; ++i)
                    for (const char16_t* n = select->entry(i).name; *n; ++n)
                        seen << static_cast<char>(*n) << (n[1] ? "" : " ");
                d.key(kEnter);
                d.stopIfNot(gCurrentProfile != nullptr);
                seen << "| " << static_cast<char>(gCurrentProfile->GetDisplayName()[0]) << " "
                     << gCurrentProfile->GetLevel();
                auto* loading = static_cast<UIGameLoading*>(gUIGameLoading.get());
                d.stopIfNot(d.waitFor(loading));
                d.reached(kLoading);
                for (int i = 0; i < 2000 && loading->stage() < kLoadingStages; ++i) d.frame();
                d.key(kSpace);
                d.stopIfNot(d.waitFor(gUIMainMenu.get()));
                at = kPlayed;
            } catch (const Ended& e) {
                at = e.at;
            }
            GameShutdown();
            _exit(at);
        });
        ASSERT_TRUE(WIFEXITED(status)) << c.what << ": died with " << status;
        EXPECT_EQ(WEXITSTATUS(status), kPlayed)
            << c.what << ": stopped at " << reachedName(WEXITSTATUS(status));
        EXPECT_EQ(testsupport::TempFolder::readFile("seen.txt"), c.seen) << c.what;
    }
}

// --- Files filled with zero bytes, as a failing disk or copy leaves them --------------------------

// Each file the road reads whose zero-filled copy once stopped the road without a word: the run
// plays on, or it stops with a box naming the file and the player keeps a way out.
TEST(ZeroFilledData, EveryStopOnTheRoadIsToldInABoxNamingTheFile) {
    const char* const files[] = {
        "Data/Menu/UIMainMenu/UIMain.ini", "Data/Menu/UIPlayer/UIPlayer.ini",
        "Data/Menu/UIMap/UIMap.ini",       "Data/Episodes/e1/levels.ini",
        "Data/Episodes/e1/objects.ini",    "Data/Episodes/e1/map.ini",
        "Data/shared.ini",
    };
    Mirror mirror;
    logOpen();  // one log for every run, each reading what it added
    for (const char* file : files) {
        std::error_code ec;
        fs::remove_all("user", ec);
        mirror.damage(file, kZeroed);
        const long from = logSize();
        const int status = roadInChild();
        mirror.restore(file);
        const std::string log = logFrom(from);
        EXPECT_EQ(runProblem(status, log), "") << file << "\n" << oneLine(log);
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        const size_t box = log.find("Message box");
        if (code != kPlayed && code != kWentOn) {
            EXPECT_TRUE(box != std::string::npos && logNames(log.substr(box), file))
                << file << ": the box names it\n" << oneLine(log);
        }
        EXPECT_NE(log.find("holds nothing but zero bytes"), std::string::npos) << file;
    }
}

// --- Layout values out of all proportion ---------------------------------------------------------

// The main menu's layout with every value of one key replaced by a number no widget can hold:
// each once stopped the road without a word (every button dead, or every widget at one height).
// The run plays on, or it stops with a box naming the file; the log names the key.
TEST(HugeLayoutValues, AreHeldLoggedAndToldInABoxNamingTheFile) {
    const char* const file = "Data/Menu/UIMainMenu/UIMain.ini";
    const struct {
        const char* key;
        const char* value;
        const char* logged;
    } cases[] = {
        {"stage", "2147483648", "is not a widget state"},
        {"y", "99999999999999999999", "\"y\": 2147483647 is out of range; 32767 taken"},
        {"x", "-2147483649", "\"x\": -2147483648 is out of range; -32768 taken"},
        {"y", "1e308", "\"y\": \"1e308\" is no number a layout can hold; 32767 taken"},
    };
    Mirror mirror;
    logOpen();
    const std::string built = testsupport::TempFolder::readFile((kBuiltData / "Menu/UIMainMenu/UIMain.ini").string());
    for (const auto& c : cases) {
        std::error_code ec;
        fs::remove_all("user", ec);
        std::stringstream in(built);
        std::string text;
        for (std::string line; std::getline(in, line);)
            text += (line.rfind(std::string(c.key) + "=", 0) == 0 ? std::string(c.key) + "=" + c.value + "\r"
                                                                 : line) + "\n";
        fs::remove(file, ec);
        std::ofstream(file, std::ios::binary) << text;
        const long from = logSize();
        const int status = roadInChild();
        mirror.restore(file);
        const std::string log = logFrom(from);
        EXPECT_EQ(runProblem(status, log), "") << c.key << "\n" << oneLine(log);
        const size_t box = log.find("Message box");
        EXPECT_TRUE(box != std::string::npos && logNames(log.substr(box), file))
            << c.key << ": the box names the file\n" << oneLine(log);
        EXPECT_NE(log.find(c.logged), std::string::npos) << c.key << "\n" << oneLine(log);
    }
}

// --- The groups: one test case each, so that ctest runs them side by side ------------------------

class DamagedData : public ::testing::TestWithParam<Group> {};

TEST_P(DamagedData, EveryFileTheRoadReadsIsReportedWhenDamaged) {
    const Group& g = GetParam();
    Mirror mirror;
    const std::string report = "report.txt";
    const int status = testsupport::inChild([&] { walk(mirror, g, report.c_str()); });
    ASSERT_TRUE(WIFEXITED(status)) << "the walk on sound data died: " << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the walk on sound data did not get to its end";
    std::ifstream in(report);
    std::string line;
    std::set<std::string> tested;
    int damaged = 0;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream s(line);
        for (std::string cell; std::getline(s, cell, '\t');) cells.push_back(cell);
        cells.resize(4);
        if (cells[0] == "#") {
            std::cout << g.name << ": " << cells[1] << "\n";
            continue;
        }
        ++damaged;
        tested.insert(cells[0]);
        EXPECT_EQ(cells[2], "") << cells[0] << " " << cells[1] << ": " << cells[2] << "\n  log: "
                                << cells[3];
    }
    std::cout << g.name << ": " << tested.size() << " files, " << damaged << " kinds of damage\n";
    EXPECT_GT(tested.size(), 0u);
}

// Everything but pictures, and of the TGA pictures (the loader test below reads them all) the
// first one read from each folder.
std::function<bool(const std::string&)> sample() {
    auto folders = std::make_shared<std::set<std::string>>();
    return [folders](const std::string& f) {
        if (!endsWith(f, ".tga")) return true;
        return folders->insert(fs::path(f).parent_path().string()).second;
    };
}

std::function<bool(const std::string&)> under(const char* folder) {
    const std::string prefix = lower(folder);
    return [prefix](const std::string& f) { return lower(f).rfind(prefix, 0) == 0; };
}

INSTANTIATE_TEST_SUITE_P(
    Road, DamagedData,
    ::testing::Values(Group{"StartToMenu", 0, kNothing, kMenu, sample()},
                      Group{"FirstLevel", 0, kMenu, kGameEnded, sample()},
                      Group{"FirstMiniGame", 5, kMenu, kPlaying, under("Data/MiniGame/")},
                      Group{"SecondEpisode", 12, kMenu, kPlaying, under("Data/Episodes/e2/")}),
    [](const ::testing::TestParamInfo<Group>& info) { return std::string(info.param.name); });

}  // namespace
