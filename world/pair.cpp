// Companions: following the partner, their own requests in its room, the angry leave together;
// the cowboy kid's standing by, bothering at the way points and its looping cry.
#include "world/pair.h"

#include <cerrno>
#include <cstdlib>

#include "core/random.h"
#include "core/strings.h"
#include "core/text.h"
#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "world/coordinates.h"
#include "world/draw_list.h"
#include "world/factory.h"
#include "world/level_object.h"

namespace {

// A whole decimal integer with nothing after it but blanks.
bool wholeNumber(const char* text, int* out) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    const long v = strtol(text, &end, 10);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (end == text || !end || *end || errno == ERANGE) return false;
    *out = static_cast<int>(v);
    return true;
}

// The partner's record alpha at the same index, or fully shown when it has no such record.
int partnerAlpha(const cClient& partner, int index) {
    const AnimDesc* r = partner.Anim(index);
    return r ? r->alpha : 255;
}

}  // namespace

// --- making the companion ----------------------------------------------------------------------

bool cClient::LoadLinked(const char* iniFile) {
    if (linked_) return true;
    if (!iniFile || !*iniFile) return false;
    // The INI store's buffers rotate: keep the kind while other values are read.
    char kind[128];
    StrCopyN(kind, iniGetString(iniFile, "Main", "pair", ""), sizeof kind);
    if (!*kind) return false;
    if (dynamic_cast<cPairClient*>(this)) {
        // A companion's companion would load companions without end when a kind names itself.
        logPrintf("%s: a companion brings no companion of its own; pair \"%s\" is left out\n",
                  iniFile, kind);
        return false;
    }
    char file[320];
    safeSnprintf(file, sizeof file, "Data/Clients/%s/%s.ini", kind, kind);
    if (!fileExists(file)) {
        logPrintf("%s: pair \"%s\" has no file %s; the client comes alone\n", iniFile, kind, file);
        return false;
    }
    linked_ = createPairClient(this, kind);
    linked_->Load(file);
    return true;
}

// --- the companion -----------------------------------------------------------------------------

cPairClient::cPairClient(cClient* partner) : partner_(partner), followOffset_(0, 0) {}

cPairClient::~cPairClient() {}

void cPairClient::Load(const char* iniFile) {
    cClient::Load(iniFile);
    if (!iniFile || !*iniFile) return;
    followOffset_ = iniGetPoint(iniFile, "Main", "follow_offset_x", "follow_offset_y");
}

void cPairClient::Update(int ms) {
    cClient::Update(ms);
    if (state_ == kStateFollowing) Follow();
}

void cPairClient::Follow() {
    if (!partner_) return;
    body_.position = partner_->GetBody().position + IntPointToVec2(followOffset_);
    animIndex_ = partner_->GetAnimIndex();
    const int partnerState = partner_->GetState();
    if (partnerState == kStateOutside) {
        // Followed out of the hotel: it goes with its partner rather than wait at the door.
        SetState(kStateOutside);
    } else if (partnerState == kStateInRoom) {
        room_ = partner_->GetRoom();
        body_.position = partner_->GetBody().position;
        SetState(kStateInRoom);
    } else if (IsOneOf(partnerState, kStateEnteringRoom, kStateLeavingRoom)) {
        setAlpha(partner_->GetClientAlpha());
    }
}

void cPairClient::MakeRequest() {
    if (requestsMade_ < requestCount_) cClient::MakeRequest();
}

void cPairClient::LeaveAngry() {
    if (state_ == kStateFollowing || leaving_) return;
    leaving_ = 1;
    if (IsInOwnRoom()) {
        SetState(kStateLeavingRoom);
        SetSubState(kStateLeavingAngry);
    } else {
        WalkTo(angerPoint(), kStateLeavingAngry, kStateWalking);
        room_ = nullptr;
    }
    request_.CancelTask();
    // The partner's own leave calls the next client and has the room cleaned; it finds this
    // one already leaving.
    if (partner_) partner_->LeaveAngry();
}

void cPairClient::UpdateLeavingAngry() {
    if (partner_ && partner_->GetState() == kStateLeavingAngry)
        SetState(kStateFollowing);
    else
        SetAnimation(kAnimStand, false);
}

// --- the cowboy kid ----------------------------------------------------------------------------

CowboyKid::CowboyKid(cClient* partner)
    : cPairClient(partner), kidPartner_(partner), standOffset_(0, 0) {}

CowboyKid::~CowboyKid() {}

void CowboyKid::Load(const char* iniFile) {
    cPairClient::Load(iniFile);
    if (!iniFile || !*iniFile || !anims_) return;
    const struct {
        int index;
        const char* section;
    } own[] = {{kAnimStand, "Stand"},
               {kAnimBotherStart, "BotherStart"},
               {kAnimBotherLoop, "BotherLoop"},
               {kAnimBotherEnd, "BotherEnd"}};
    for (const auto& r : own)
        if (AnimDesc* a = Anim(r.index)) a->Load(iniFile, r.section);
    loadWayPoints();
    Point2i offset(0, 0);
    if (iniReadPoint(&offset, iniFile, "Main", "stand_offset")) standOffset_ = offset;
}

void CowboyKid::loadWayPoints() {
    wayPoints_.clear();
    ProfileLink* profile = worldProfile();
    if (!profile) return;
    char levels[64];
    safeSnprintf(levels, sizeof levels, "Data/Episodes/e%d/levels.ini", profile->Episode());
    const TokenList groups = TokenList::Split(iniGetString(levels, "Main", "monsters_way", ""), ';');
    for (uint32_t g = 0; g < groups.Count(); ++g) {
        const TokenList parts = TokenList::Split(groups.At(g), ',');
        if (parts.Count() < 2) continue;
        Point2i p(0, 0);
        if (!wholeNumber(parts.At(0), &p.x) || !wholeNumber(parts.At(1), &p.y)) {
            logPrintf("%s: [Main] monsters_way point \"%s\" is not two numbers; it is skipped\n",
                      levels, groups.At(g));
            continue;
        }
        wayPoints_.push_back(p);
    }
}

bool CowboyKid::bothering() const {
    return IsOneOf(state_, kStateBothering, kStateBotherLoop) ||
           (state_ == kStateWalking && subState_ == kStateBothering);
}

void CowboyKid::runToWayPoint() {
    if (wayPoints_.size() == 0) return;
    const uint32_t i = gRandom.Int(wayPoints_.size());
    WalkTo(wayPoints_[i], kStateBothering, kStateWalking);
}

void CowboyKid::Follow() {
    if (!kidPartner_) return;
    body_.position = kidPartner_->GetBody().position + IntPointToVec2(followOffset_);
    animIndex_ = kidPartner_->GetAnimIndex();
    const int partnerState = kidPartner_->GetState();
    if (partnerState == kStateOutside) {
        SetState(kStateOutside);
    } else if (partnerState == kStateInRoom) {
        room_ = kidPartner_->GetRoom();
        SetState(kStateInRoom);
        babyCried_ = 0;
    } else if (IsOneOf(partnerState, kStateEnteringRoom, kStateLeavingRoom)) {
        setAlpha(partnerAlpha(*kidPartner_, animIndex_));
    }
}

void CowboyKid::Update(int ms) {
    cPairClient::Update(ms);
    if (!kidPartner_) return;
    setAlpha(partnerAlpha(*kidPartner_, animIndex_));
    const int partnerState = kidPartner_->GetState();
    if (partnerState == kStateWalking && state_ != kStateFollowing) {
        SetState(kStateFollowing);
    } else if (partnerState == kStateWaiting) {
        const cRequest& asked = kidPartner_->GetRequest();
        const bool babyCrying = calmBabyRequest();
        if (asked.GetTimeRatio() >= 0.23f && state_ == kStateBeside && !babyCrying && !babyCried_) {
            kidPartner_->StartBabyCry();
            babyCried_ = 1;
            runToWayPoint();
        } else if (!kidPartner_->IsInOwnRoom() &&
                   !IsOneOf(asked.GetKind(), kCheckIn, kCheckOut, kCalmBaby)) {
            if (const cLevelObj* owner = asked.GetOwner())
                body_.position = IntPointToVec2(owner->GetHeroPos() + standOffset_);
            if (state_ != kStateBeside) SetState(kStateBeside);
        }
    }
    switch (state_) {
    case kStateBeside:
        // It arrives with its partner's walk showing: standing starts at once.
        if (!IsOneOf(animIndex_, kAnimStand, kAnimStandIdle))
            SetAnimation(kAnimStand, false);
        else if (played())
            SetAnimation(animIndex_ == kAnimStand ? kAnimStandIdle : kAnimStand, false);
        break;
    case kStateBothering:
        SetAnimation(kAnimBotherStart, false);
        if (babyCryHandle_ && !sndIsPlaying(babyCryHandle_)) sndPlaySound(babyCryHandle_, -1);
        if (played()) {
            SetAnimation(kAnimBotherLoop, false);
            SetState(kStateBotherLoop);
        }
        break;
    case kStateBotherLoop:
        if (played()) runToWayPoint();
        break;
    default:
        break;
    }
    // The cry belongs to the bothering; only the partner's own cry stops when the baby is calmed.
    if (!bothering() && babyCryHandle_ && sndIsPlaying(babyCryHandle_)) sndStop(babyCryHandle_);
}

void CowboyKid::Draw(DrawList* list) {
    cClient::Draw(list);
    if (!list) return;
    request_.Draw(list->ToScreen(body_.position.ToPoint2i()), false, false);
}
