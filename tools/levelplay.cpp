// Plays every level of the road (or the way points named) with the scripted player and prints
// how each ends: the figures to tune the levels' goals and guests by. It plays on its build's
// game folder (game.ini and Data/); the player lives in a temporary user folder.
//
// usage: levelplay [--verbose] [--trace] [--every MS] [--seed N] [way point index ...]
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "anim/caption.h"
#include "core/random.h"
#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "tests/game/scripted_player.h"
#include "world/client.h"
#include "world/hero.h"
#include "world/level_object.h"
#include "world/request.h"
#include "ui/ui.h"

namespace {

constexpr int kStepMs = 25;

struct Result {
    bool ended = false, won = false;
    int money = 0, popularity = 0, goal = 0, expert = 0, seconds = 0, clients = 0, out = 0;
    std::string angry;  // request kinds the guests who left angry last asked for
};

bool gVerbose = false;
bool gTrace = false;
uint32_t gSeed = 7;

// With --trace: one line per change of a guest's state or request and of a hero's state or
// task count, with the time, to follow why a guest left.
void trace(cGame* game, int step) {
    static std::vector<std::string> last;
    if (step == 0) last.clear();
    auto note = [&](size_t slot, const std::string& what, const std::string& line) {
        if (last.size() <= slot) last.resize(slot + 1);
        if (last[slot] == what) return;
        last[slot] = what;
        printf("   %6.2f s  %s\n", step * kStepMs / 1000.0, line.c_str());
    };
    for (int i = 0; i < game->GetClientArraySize(); ++i) {
        const cClient* c = game->GetClient(i);
        for (int n = 0; c && n < 2; ++n, c = static_cast<const cClient*>(c->GetLinked())) {
            const cRequest& q = c->GetRequest();
            const std::string what = std::to_string(c->GetState()) + "/" + std::to_string(q.GetKind()) +
                                     "/" + std::to_string(q.GetState()) + "/" +
                                     std::to_string(c->GetLoyalty()) + (c->IsLeaving() ? "!" : "");
            note(static_cast<size_t>(i) * 2 + static_cast<size_t>(n), what,
                 "client " + std::to_string(i) + (n ? "'" : "") + " " + c->GetName() + " state " +
                     std::to_string(c->GetState()) + " asks " +
                     (q.GetKind() < kRequestKinds ? RequestKindName(q.GetKind()) : "-") + " (" +
                     std::to_string(q.GetState()) + ") loyalty " + std::to_string(c->GetLoyalty()) +
                     (c->IsLeaving() ? " LEAVING" : ""));
        }
    }
    size_t slot = static_cast<size_t>(game->GetClientArraySize()) * 2;
    for (cHero* hero : game->Heroes()) {
        std::string tasks;
        for (int t = 0; t < hero->TaskCount(); ++t)
            tasks += std::string(" ") + RequestKindName(hero->Task(t).kind) + "@" +
                     (hero->Task(t).target ? hero->Task(t).target->GetSectionName() : "-");
        const std::string what = std::to_string(hero->GetState()) + tasks;
        note(slot++, what, std::string("hero ") + hero->GetName() + " state " +
                               std::to_string(hero->GetState()) + " tasks" + tasks);
    }
}

Result play(uint32_t wayPoint, int everyMs) {
    Result r;
    CreatePlayer("levelplay", u"Tester");
    gCurrentProfile->SetLevel(wayPoint);
    gCurrentProfile->SetTutorialOn(false);
    gRandom.Seed(gSeed);
    captionSeedRandom(gSeed);
    WM::Create();
    // The win rule reads the goal type that the level loading screen sets: a mandatory room
    // upgrade makes it 3.
    {
        const int episode = gCurrentProfile->GetEpisode(), number = gCurrentProfile->GetLevelNumber();
        const std::string levels = "Data/Episodes/e" + std::to_string(episode) + "/levels.ini";
        const std::string section = "level" + std::to_string(number);
        gGoalType = iniGetInt(levels.c_str(), section.c_str(), "mandatory_room_upgrades", 0) > 0 ? 3 : 2;
    }
    cGame* game = gameCreateLevel();
    WM::Get()->Push(game, false, false, true);
    ScriptedPlayer player(game, ScriptedPlayer::AtWindowManager());
    const int every = everyMs / kStepMs > 0 ? everyMs / kStepMs : 1;
    int step = 0;
    // Why guests left angry: the kind each one last asked for, counted as it turned to go.
    std::vector<int> lastKind(static_cast<size_t>(game->GetClientArraySize()) * 2, kNoRequest);
    std::vector<bool> wasLeaving(lastKind.size(), false);
    int angry[kRequestKinds + 1] = {};
    std::vector<int> lastState(lastKind.size(), -1);
    int scared = 0;
    for (; step < 40 * 60 * 1000 / kStepMs; ++step) {
        if (game->GetLevelState() == cGame::kPlaying && step % every == 0) player.React();
        WM::Get()->Update(kStepMs);
        if (gTrace) trace(game, step);
        for (int i = 0; i < game->GetClientArraySize(); ++i) {
            const cClient* c = game->GetClient(i);
            for (int n = 0; c && n < 2; ++n, c = static_cast<const cClient*>(c->GetLinked())) {
                const size_t k = static_cast<size_t>(i) * 2 + static_cast<size_t>(n);
                if (c->IsLeaving() && !wasLeaving[k]) ++angry[lastKind[k]];
                wasLeaving[k] = c->IsLeaving();
                if (c->GetState() == cClient::kStateScared && lastState[k] != cClient::kStateScared)
                    ++scared;
                // Out of the hotel without its check-out and without anger: waited too long in
                // the queue, or frightened off.
                if (n == 0 && c->GetState() == cClient::kStateOutside &&
                    lastState[k] != cClient::kStateOutside && lastState[k] >= 0 && !c->IsLeaving() &&
                    lastKind[k] != kCheckOut)
                    ++angry[lastKind[k]];
                lastState[k] = c->GetState();
                if (c->GetRequest().GetKind() != kNoRequest) lastKind[k] = c->GetRequest().GetKind();
            }
        }
        if (gVerbose)
            for (int i = 0; i < game->GetClientArraySize(); ++i) {
                const cClient* c = game->GetClient(i);
                const cClient* l = static_cast<const cClient*>(c->GetLinked());
                if (!l) continue;
                static int last[256];
                const int key = c->GetState() * 100 + l->GetState();
                if (last[i] != key) {
                    last[i] = key;
                    printf("   step %d client %d state %d companion %d\n", step, i, c->GetState(),
                           l->GetState());
                }
            }
        if (game->GetLevelState() == cGame::kLevelOver) {
            r.ended = true;
            break;
        }
    }
    if (gVerbose)
        for (int i = 0; i < game->GetClientArraySize(); ++i) {
            const cClient* c = game->GetClient(i);
            const cClient* l = static_cast<const cClient*>(c->GetLinked());
            printf("   client %d %s state %d request %d (state %d, hero %s) finished %d", i,
                   c->GetName(), c->GetState(), c->GetRequest().GetKind(),
                   c->GetRequest().GetState(), c->GetRequest().GetHero() ? "yes" : "no",
                   c->IsFinished());
            if (l)
                printf("  | companion %s state %d request %d waiting %d", l->GetName(), l->GetState(),
                       l->GetRequest().GetKind(), l->GetRequest().IsWaiting());
            printf("\n");
        }
    if (gVerbose)
        for (cHero* hero : game->Heroes()) {
            printf("   hero %s state %d sub %d tasks", hero->GetName(), hero->GetState(), hero->GetSubState());
            for (int t = 0; t < hero->TaskCount(); ++t)
                printf(" [%d %s]", hero->Task(t).kind,
                       hero->Task(t).target ? hero->Task(t).target->GetSectionName() : "-");
            printf("\n");
        }
    for (int k = 0; k <= kRequestKinds; ++k)
        if (angry[k]) r.angry += std::string(r.angry.empty() ? "" : ",") +
                                (k < kRequestKinds ? RequestKindName(k) : "none") + "x" +
                                std::to_string(angry[k]);
    if (scared) r.angry += std::string(r.angry.empty() ? "" : ",") + "scared x" + std::to_string(scared);
    r.won = game->IsLevelWon();
    r.money = game->GetMoney();
    r.popularity = game->GetPopularity();
    r.goal = game->GetCashGoal();
    r.expert = game->GetCashExpert();
    r.clients = game->GetClientCount();
    r.out = game->GetClientsReleased();
    r.seconds = step * kStepMs / 1000;
    WM::Destroy();
    delete game;
    ReleasePlayer();
    FreeGameData();
    gWayPoints.clear();
    iniFreeAll();
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    int everyMs = 2000;
    std::vector<uint32_t> chosen;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--verbose")
            gVerbose = true;
        else if (std::string(argv[i]) == "--trace")
            gTrace = true;
        else if (std::string(argv[i]) == "--seed" && i + 1 < argc)
            gSeed = static_cast<uint32_t>(strtoul(argv[++i], nullptr, 10));
        else if (std::string(argv[i]) == "--every" && i + 1 < argc)
            everyMs = atoi(argv[++i]);
        else
            chosen.push_back(static_cast<uint32_t>(atoi(argv[i])));
    }
    if (chdir(VELMORA_GAME_DIR) != 0) {
        perror("levelplay: " VELMORA_GAME_DIR);
        return 1;
    }
    char tmpl[] = "/tmp/levelplay.XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    setenv("XDG_DATA_HOME", tmpl, 1);
    userFolderCreate();
    LoadWayPoints();
    if (chosen.empty())
        for (uint32_t i = 0; i < gWayPoints.size(); ++i)
            if (gWayPoints[i].GetKind() == cMapWayPoint::kLevel) chosen.push_back(i);
    printf("way  result  money  pop  total  goal  expert  out/clients  seconds  angry at\n");
    for (uint32_t w : chosen) {
        LoadWayPoints();
        const Result r = play(w, everyMs);
        printf("%3u  %-6s %6d %4d %6d %5d %7d %8d/%-3d %7d  %s%s\n", w, r.won ? "won" : "lost", r.money,
               r.popularity, r.money + r.popularity, r.goal, r.expert, r.out, r.clients, r.seconds,
               r.angry.c_str(), r.ended ? "" : "  (no end)");
        fflush(stdout);
    }
    return 0;
}
