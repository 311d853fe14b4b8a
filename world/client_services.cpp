// Clients' side of the service economy: what to ask for and where, how a service ends (payment,
// popularity, loyalty), the crying baby and the number of requests of a stay.
#include <strings.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/random.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/snd/snd.h"
#include "world/client.h"
#include "world/factory.h"
#include "world/hero.h"
#include "world/level_object.h"
#include "world/room.h"

namespace {

constexpr int kPlaceAttempts = 10;

int numberOf(const char* text) {
    const long n = text ? strtol(text, nullptr, 10) : 0;
    return static_cast<int>(n < INT_MIN ? INT_MIN : n > INT_MAX ? INT_MAX : n);
}

constexpr int kMaxLevelValue = 1 << 24;

}  // namespace

void cClient::PickRequestWeights(const char* iniFile) {
    ProfileLink* profile = worldProfile();
    if (!profile) return;
    GameLink* game = worldGame();
    for (int k = 0; k < kRequestKinds; ++k) {
        weights_[k] = game ? game->GetRequestWeight(k) : 0;
        weightTotal_ += weights_[k];
    }
    char levels[64], section[32];
    safeSnprintf(levels, sizeof levels, "Data/Episodes/e%d/levels.ini", profile->Episode());
    safeSnprintf(section, sizeof section, "level%d", profile->Level());
    (void)iniFile;
    const TokenList groups = TokenList::Split(iniGetString(levels, section, GetName(), ""), ';');
    if (groups.Count() == 0) return;
    const TokenList first = TokenList::Split(groups.At(0), ',');
    // Held within a range no level comes near, so the sums made of them stay inside int.
    auto held = [&](const char* text) {
        return iniHeldInt(numberOf(text), -kMaxLevelValue, kMaxLevelValue, levels, section,
                          GetName());
    };
    if (first.Count() >= 3) {
        requestCount_ = held(first.At(0));
        thinkTime_ += held(first.At(1));
    }
    for (uint32_t g = 1; g < groups.Count(); ++g) {
        const TokenList parts = TokenList::Split(groups.At(g), ',');
        if (parts.Count() < 2) continue;
        const int k = RequestKindFromName(parts.At(0));
        // A client cannot ask for a kind the level does not offer.
        if (k == kNoRequest || weights_[k] == 0) continue;
        const int w = held(parts.At(1));
        if (weights_[k] + w < 0) {
            weightTotal_ -= weights_[k];
            weights_[k] = 0;
        } else {
            weights_[k] += w;
            weightTotal_ += w;
        }
    }
}

bool cClient::IsFinished() const {
    return requestsMade_ >= requestCount_ && request_.GetKind() == kNoRequest && IsInOwnRoom();
}

int cClient::GetRemainingRequests() const {
    const int own = IntMax(requestCount_ - requestsMade_, 0);
    return own + (linked_ ? linked_->GetRemainingRequests() : 0);
}

void cClient::AddRequestCount(int& delta) {
    requestCount_ += delta;
    if (requestCount_ < 1 && linked_) {
        int rest = requestCount_ - 1;
        linked_->AddRequestCount(rest);
    }
    if (requestCount_ < 1) requestCount_ = 1;
}

int cClient::ChooseRequestKind() {
    if (room_ && room_->HasBreakFlag()) return kRepair;
    if (requestsMade_ >= requestCount_)
        return !linked_ || linked_->IsFinished() ? kCheckOut : kNoRequest;
    GameLink* game = worldGame();
    int w[kRequestKinds];
    for (int k = 0; k < kRequestKinds; ++k) w[k] = IntMax(weights_[k], 0);
    float direct = 1, indirect = 1;
    if (game) game->GetDecreaseRatios(&direct, &indirect);
    for (int k = 0; k < kRequestKinds; ++k) {
        if (w[k] == 0) continue;
        HeroLink* hero = RequestKindHero(k);
        if (!hero) continue;
        const int n = game ? game->CountRequestsOfKind(k, this) : 0;
        for (int i = 0; i < n; ++i) {
            w[k] = static_cast<int>(w[k] * direct);
            for (int j = 0; j < kRequestKinds; ++j)
                if (j != k && w[j] > 0 && RequestKindHero(j) == hero)
                    w[j] = static_cast<int>(w[j] * indirect);
        }
        if (k == lastKind_) w[k] /= 2;
        if (k == failedKind_) w[k] = 0;
    }
    int total = 0;
    for (int k = 0; k < kRequestKinds; ++k) total += w[k];
    int r = static_cast<int>(gRandom.Int(static_cast<uint32_t>(IntMax(total, 0))));
    for (int k = 0; k < kRequestKinds; ++k) {
        if (w[k] <= 0) continue;
        r -= w[k];
        if (r < 0) return k;
    }
    return kNoRequest;
}

cLevelObj* cClient::FindRequestPlace(int kind) {
    if (kind < 0 || kind >= kNoRequest) return nullptr;
    GameLink* game = worldGame();
    if (!game) return nullptr;
    if (IsOneOf(kind, kChess, kFire, kMusic, kPhoto, kSouvenir) && game->FindRequest(kind, false))
        return nullptr;
    if (kind == kCheckOut) {
        cLevelObj* place = game->GetLastFreeCheckOutPlace();
        if (!place) return room_;
        while (cLevelObj* ahead = game->GetNextCheckOutPlace(place)) place = ahead;
        return place;
    }
    const TokenList names =
        TokenList::Split(iniGetString(kRequestFile, RequestKindName(kind), "place", ""), ',');
    cLevelObj* room = nullptr;
    cLevelObj* outdoor = nullptr;
    float best = 0;
    for (uint32_t i = 0; i < names.Count(); ++i) {
        if (strcasecmp(names.At(i), "Room") == 0) {
            if (room_ && !room_->IsOccupied()) room = room_;
            continue;
        }
        cLevelObj* o = game->FindLevelObjectByName(names.At(i));
        if (!o || o->IsOccupied()) continue;
        const Point2i p = o->GetClientPos();
        const float dx = p.x - body_.position.x, dy = p.y - body_.position.y;
        const float d = dx * dx + dy * dy;
        if (!outdoor || d < best) {
            outdoor = o;
            best = d;
        }
    }
    if (room && outdoor) {
        int a = 0, b = 0;
        game->GetOutdoorRequestPriority(&a, &b);
        const int r = static_cast<int>(gRandom.IntInclusive(static_cast<uint32_t>(IntMax(b, 0))));
        return a >= r ? outdoor : room;
    }
    return room ? room : outdoor;
}

void cClient::MakeRequest() {
    stateTime_ = 0;
    int kind = kNoRequest;
    cLevelObj* owner = nullptr;
    for (int attempt = 0; attempt < kPlaceAttempts && !owner; ++attempt) {
        kind = ChooseRequestKind();
        owner = FindRequestPlace(kind);
        failedKind_ = owner ? kNoRequest : kind;
    }
    if (!owner) return;
    GameLink* game = worldGame();
    if (kind == kCheckOut) {
        scheduleNext();
        if (linked_) linked_->SetState(kStateFollowing);
    }
    const int extra = (game ? game->GetRequestTtl() : 0) * loyalty_;
    if (kind != kRepair) ++requestsMade_;
    request_.Load(kind, extra, owner, 0);
    lastKind_ = kind;
    babyCried_ = 0;
    if (kind == kCheckOut) {
        char key[16];
        safeSnprintf(key, sizeof key, "price%d", room_ ? room_->UpgradeLevel() : 0);
        request_.SetPrice(iniGetInt(kRequestFile, "CheckOut", key, 0));
    }
    if (owner == static_cast<cLevelObj*>(room_) && kind != kCheckOut) {
        SetState(kStateWaiting);
        request_.SetWaiting();
    } else {
        SetState(kStateLeavingRoom);
        SetSubState(kStateWaiting);
        SetAnimation(kAnimStand, false);
        if (room_) room_->OpenDoor(false);
    }
}

void cClient::dropTask(int kind, cLevelObj* object) {
    if (HeroLink* hero = request_.GetHero()) hero->RemoveTask(kind, object);
}

void cClient::OnServiceEnd(bool success) {
    const Point2i p = GetEffectPoint();
    const int kind = request_.GetKind();
    bool fast = false;
    const bool wasLeaving = leaving_ != 0;
    if (kind != kCheckIn) {
        if (!success) {
            BecomeAngrier();
            goodStreak_ = 0;
        } else if (request_.GetTimeRatio() < 0.2f && kind != kCalmBaby) {
            if (kind != kCheckOut) BecomeHappier();
            fast = true;
        }
    }
    // The last loyalty point lost just now set the client on its angry way out; the reaction to
    // the service below must not settle it back in its room or at its place, where it would stay
    // for ever with its leave already spent.
    const bool leftNow = !wasLeaving && leaving_ != 0;
    const int leaveState = state_, leaveSubState = subState_;
    GameLink* game = worldGame();
    cHero* hero = dynamic_cast<cHero*>(request_.GetHero());
    if (success && hero) {
        const int combo = hero->CountCombo(kind);
        const int price = request_.GetPrice();
        int pop = 0;
        if (fast && kind == kCheckOut) {
            pop = static_cast<int>(price * 0.1);
        } else if (fast) {
            pop = ((game ? game->GetMaxCostTipClient() : 0) + goodStreak_) * combo +
                  hero->GetServiceBonus(kind);
            ++goodStreak_;
        } else {
            pop = combo > 1 ? 1 : 0;
        }
        if (game) {
            game->AddPopularity(pop, 1, p);
            game->ShowTips(price, pop, p);
            game->AddMoney(price, 0);
        }
        worldPlaySound("service_accepted");
    }

    const bool mirrored = mirroredLikeOwner();
    cLevelObj* owner = request_.GetOwner();
    cLevelObj* target = request_.GetTarget();
    const bool ownerIsRoom = owner && owner == static_cast<cLevelObj*>(room_);
    auto back = [this] {
        SetSubState(3);
        SetState(kStateReacting);
    };
    auto nobodyTargets = [&](cLevelObj* t) {
        return !game || !game->FindClientByRequestTarget(t);
    };
    switch (kind) {
    case kCalmBaby:
        if (success) {
            SetAnimation(seated_ ? kAnimSit : kAnimStand, mirrored);
            HeroLink* stashedHero = stashed_.GetHero();
            if (stashed_.GetKind() == kMusic && stashedHero == request_.GetHero() && stashedHero &&
                !stashedHero->HasTask(kMusic, stashed_.GetTarget())) {
                stashedHero->AddTask(kMusic, stashed_.GetTarget());
                if (cLevelObj* o = stashed_.GetOwner()) {
                    if (o == stashed_.GetTarget())
                        Enable();
                    else
                        o->Enable();
                }
                if (stashed_.GetTarget()) stashed_.GetTarget()->Enable();
            }
            request_ = stashed_;
        } else {
            dropTask(kCalmBaby, owner);
            back();
        }
        if (babyCryHandle_) sndStop(babyCryHandle_);
        stashed_.Reset();
        break;
    case kCards:
    case kCasino:
        SetAnimation(success ? kAnimSitHappy : kAnimSitAngry, mirrored);
        if (!success) dropTask(kind, target);
        // A game played out no longer asks for the table: left done while the guest reacts, the
        // Porter's next task at the table would deal to this guest again instead of the other
        // chair's.
        if (success) request_.SetServing();
        // After the game too the client goes back: its card or casino state has nothing left to end.
        back();
        break;
    case kCheckIn:
        if (!success) {
            scheduleNext();
            SetSubState(4);
            SetState(kStateReacting);
            request_.SetServing();
        }
        break;
    case kCheckOut:
        if (success) {
            if (game) game->ReleaseNextClient();
        } else if (angrySound_.length() > 0) {
            worldPlaySound(angrySound_.c_str());
        }
        SetAnimation(success ? kAnimStandHappy : kAnimStandAngry, false);
        SetSubState(4);
        SetState(kStateReacting);
        releaseOwner(false);
        if (!success) dropTask(kind, target);
        request_.SetServing();
        Disable();
        worldPlaySound("checkout");
        break;
    case kChess:
        SetAnimation(success ? kAnimSitHappy : kAnimSitAngry, mirrored);
        if (!success) dropTask(kind, target);
        releaseOwner(false);
        SetSubState(success ? 9 : 3);
        SetState(kStateReacting);
        break;
    case kClean:
    case kClothes:
    case kDog:
    case kLuggage:
    case kPhone:
    case kPillow:
        if (kind == kPhone) worldPlaySound("action_phone2");
        SetState(kStateInRoom);
        if (!success) dropTask(kind, owner);
        releaseOwner(true);
        request_.Reset();
        break;
    case kCocktail:
    case kNews:
        if (ownerIsRoom) {
            SetState(kStateInRoom);
        } else {
            if (kind == kCocktail && !seated_)
                SetAnimation(success ? kAnimStandHappy : kAnimStandAngry, mirrored);
            else
                SetAnimation(success ? kAnimSitHappy : kAnimSitAngry, mirrored);
            SetSubState(success ? (kind == kCocktail ? 10 : 14) : 3);
            SetState(kStateReacting);
        }
        request_.SetServing();
        if (!success) {
            dropTask(kind, owner);
            if (nobodyTargets(target)) dropTask(kind, target);
        }
        releaseOwner(ownerIsRoom);
        if (ownerIsRoom) request_.Reset();
        break;
    case kFire:
        SetAnimation(success ? kAnimSitHappy : kAnimSitAngry, mirrored);
        SetSubState(success ? 11 : 3);
        SetState(kStateReacting);
        request_.SetServing();
        if (!success) {
            dropTask(kind, target);
            if (target && target->GetRequest().GetKind() == kRepair)
                if (HeroLink* h = request_.GetHero()) h->AddTask(kRepair, target);
        }
        releaseOwner(false);
        break;
    case kFood:
        SetAnimation(success ? kAnimSitHappy : kAnimSitAngry, mirrored);
        SetSubState(success ? 12 : 3);
        SetState(kStateReacting);
        request_.SetServing();
        if (!success) {
            dropTask(kind, owner);
            if (nobodyTargets(target)) dropTask(kind, target);
        } else if (owner) {
            owner->PlayAction(1);
        }
        releaseOwner(false);
        break;
    case kMusic:
        if (owner != target) {
            SetAnimation(success ? kAnimSit : kAnimSitAngry, mirrored);
            if (owner) owner->Disable();
            releaseOwner(false);
        } else {
            SetAnimation(success ? kAnimMusic : kAnimStandAngry, false);
            Disable();
        }
        if (!success) {
            dropTask(kind, target);
            back();
        } else {
            // Left waiting, the request could be ordered and paid again while the guest listens,
            // and each new tune would keep the guest from ever leaving the musician.
            request_.SetServing();
            SetState(kStateListening);
        }
        break;
    case kPhoto:
    case kSouvenir:
        SetAnimation(success ? kAnimStandHappy : kAnimStandAngry, false);
        if (!success) dropTask(kind, target);
        releaseOwner(false);
        back();
        break;
    case kPlaid:
        if (ownerIsRoom) {
            SetState(kStateInRoom);
            if (owner) owner->ClearOccupied();
        } else {
            SetAnimation(success ? kAnimSitHappy : kAnimSitAngry, mirrored);
            SetSubState(success ? 17 : 3);
            SetState(kStateReacting);
        }
        if (!success) dropTask(kind, owner);
        releaseOwner(false);
        request_.SetServing();
        if (ownerIsRoom) request_.Reset();
        break;
    case kRepair:
        SetState(kStateInRoom);
        if (!success) dropTask(kind, owner);
        releaseOwner(true);
        if (cRoom* room = dynamic_cast<cRoom*>(owner)) room->ClearBreakFlag();
        request_.Reset();
        break;
    default:
        break;
    }
    if (leftNow) {
        SetState(leaveState);
        SetSubState(leaveSubState);
    }
}

void cClient::BecomeHappier() {
    const int old = loyalty_;
    loyalty_ = IntMin(loyalty_ + 1, kMaxLoyalty);
    greenSmile_.StartAt(IntPointToVec2(GetEffectPoint()));
    if (loyalty_ == old) return;
    GameLink* game = worldGame();
    if (game) game->ShowLoyaltyChange(1, GetEffectPoint());
    if (request_.GetKind() != kNoRequest)
        request_.SetWaitTime(request_.GetWaitTime() + (game ? game->GetRequestTtl() : 0));
}

void cClient::BecomeAngrier() {
    if (angrySound_.length() > 0) worldPlaySound(angrySound_.c_str());
    loyalty_ = IntMax(loyalty_ - 1, 0);
    GameLink* game = worldGame();
    // A wait that the loss would make negative stays as it is.
    if (request_.GetKind() != kNoRequest)
        request_.SetWaitTime(request_.GetWaitTime() - (game ? game->GetRequestTtl() : 0));
    if (loyalty_ == 0) LeaveAngry();
    redSmile_.StartAt(IntPointToVec2(GetEffectPoint()));
    if (game) game->ShowLoyaltyChange(-1, GetEffectPoint());
}

void cClient::ReactHappy() {
    if (state_ != kStateWaiting || IsInOwnRoom()) return;
    SetAnimation(seated_ ? kAnimSitHappy : kAnimStandHappy, mirroredLikeOwner());
    SetState(kStateReacting);
    SetSubState(1);
}

void cClient::ReactAngry() {
    if (state_ != kStateWaiting || IsInOwnRoom()) return;
    SetAnimation(seated_ ? kAnimSitAngry : kAnimStandAngry, mirroredLikeOwner());
    SetState(kStateReacting);
    SetSubState(1);
}

void cClient::PlayHappySound() {
    if (happySound_.length() > 0) worldPlaySound(happySound_.c_str());
}

void cClient::StartBabyCry() {
    const int kind = request_.GetKind();
    if (babyCried_ || IsInOwnRoom() || kind == kCheckIn || kind == kCheckOut) return;
    if (babyCryHandle_) sndPlaySound(babyCryHandle_, 1);
    raiseTutorial("Baby", *this);
    GameLink* game = worldGame();
    const int extra = (game ? game->GetRequestTtl() : 0) * loyalty_;
    cLevelObj* owner = request_.GetOwner();
    cLevelObj* target = request_.GetTarget();
    stashed_ = request_;
    request_.Load(kCalmBaby, extra, owner, strstr(GetName(), "Cowboy") ? 1 : 0);
    request_.SetWaiting();
    babyCried_ = 1;
    HeroLink* stashedHero = stashed_.GetHero();
    auto drop = [&](cLevelObj* o) {
        if (stashedHero) stashedHero->RemoveTask(stashed_.GetKind(), o);
    };
    switch (stashed_.GetKind()) {
    case kCards:
    case kCasino:
    case kChess:
    case kFire:
    case kPhoto:
    case kSouvenir:
        drop(target);
        if (target) target->Disable();
        if (owner) owner->Disable();
        Disable();
        break;
    case kCocktail:
    case kFood:
    case kNews:
        if (!game || !game->FindClientByRequestTarget(target)) drop(target);
        break;
    case kPlaid:
        drop(owner);
        break;
    default:
        break;
    }
    cHero* hero = dynamic_cast<cHero*>(request_.GetHero());
    if (hero && request_.GetHero() == stashedHero && hero->TaskCount() > 0)
        hero->AddTask(kCalmBaby, owner);
}
