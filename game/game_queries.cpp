// What the level world asks of the level screen: finders over clients and objects, the level's
// values, the check-in and check-out queues, clients coming and going, and the order of a
// service after a click.
#include <algorithm>
#include <cstring>

#include "engine/data/ini.h"
#include "engine/platform/log.h"
#include "game/game.h"
#include "game/game_data.h"
#include "world/jenny.h"
#include "world/level_object.h"
#include "world/maid.h"
#include "world/musician.h"
#include "world/porter.h"
#include "world/request.h"
#include "world/room.h"

namespace {

constexpr int kHandDirections = 9;
// Client activation stops one short of the array, as the loader holds one client back.
constexpr int kActivationLimit = cGame::kMaxClients - 1;

void lock(cBaseObj* object) {
    if (object) object->Enable();
}

// The place just before the given one in queue order, when it is free.
cLevelObj* freePlaceBefore(const cArray<cLevelObj*>& places, const cLevelObj* place) {
    for (uint32_t i = 1; i < places.size(); ++i)
        if (places[i] == place) return places[i - 1]->IsOccupied() ? nullptr : places[i - 1];
    return nullptr;
}

cLevelObj* lastFreePlace(const cArray<cLevelObj*>& places) {
    if (!places.size()) return nullptr;
    cLevelObj* last = places[places.size() - 1];
    return last->IsOccupied() ? nullptr : last;
}

}  // namespace

// --- The client array ----------------------------------------------------------------------------

bool cGame::AddClient(cClient* client) {
    if (!client) return false;
    if (clientsMade_ >= kMaxClients) {
        logPrintf("%s [%s]: more than %d clients; the rest stay away\n", levelsFile_,
                  levelSection_, kMaxClients);
        delete client;
        return false;
    }
    levelClients_[clientsMade_++] = client;
    return true;
}

void cGame::SetClientCount(int count) {
    clientCount_ = count < 0 ? 0 : count > clientsMade_ ? clientsMade_ : count;
}

// --- Heroes, objects and hand objects ------------------------------------------------------------

HeroLink* cGame::GetHeroByName(const char* name) {
    if (!name) return nullptr;
    if (strcmp(name, "Jenny") == 0) return jenny_;
    if (strcmp(name, "Maid") == 0) return maid_;
    if (strcmp(name, "Porter") == 0) return porter_;
    return nullptr;
}

namespace {

bool nameBefore(const std::pair<const char*, cLevelObj*>& entry, const char* name) {
    return strcmp(entry.first, name) < 0;
}

}  // namespace

// Objects are only added while a level loads, so the index is made a few times then kept.
void cGame::indexObjects() {
    indexedObjects_ = objectCount_;
    objectIndex_.clear();
    objectIndex_.reserve(kMaxObjects);
    for (int i = 0; i < objectCount_; ++i) objectIndex_.push_back({objects_[i]->GetName(), objects_[i]});
    // Stable, so of equal names the first in the list stays first, as the scan found it.
    std::stable_sort(objectIndex_.begin(), objectIndex_.end(),
                     [](const auto& a, const auto& b) { return strcmp(a.first, b.first) < 0; });
}

void cGame::indexObjectKinds() {
    kindsIndexed_ = true;
    // A request's target is the object found by a name its kind gives; no other can be one.
    requestTargets_.clear();
    for (int kind = 0; kind < kNoRequest; ++kind)
        for (const char* key : {"target", "target1"})
            if (cLevelObj* object = FindLevelObjectByName(
                    iniGetString(kRequestFile, RequestKindName(kind), key, "")))
                requestTargets_.push_back(object);
    std::sort(requestTargets_.begin(), requestTargets_.end());
    for (int i = 0; i < objectCount_; ++i)
        objects_[i]->SetMayBeRequestTarget(
            std::binary_search(requestTargets_.begin(), requestTargets_.end(), objects_[i]));
    breakables_.clear();
    breakables_.reserve(kMaxObjects);
    for (int i = 0; i < objectCount_; ++i)
        if (!objectOfType(objects_[i], "room") && !objectOfType(objects_[i], "flower"))
            breakables_.push_back(objects_[i]);
}

cLevelObj* cGame::FindLevelObjectByName(const char* name) {
    if (!name || !*name) return nullptr;
    if (indexedObjects_ != objectCount_) indexObjects();
    auto at = std::lower_bound(objectIndex_.begin(), objectIndex_.end(), name, nameBefore);
    return at != objectIndex_.end() && strcmp(at->first, name) == 0 ? at->second : nullptr;
}

const AnimDesc* cGame::GetHandObjectEntry(const char* name, int index) {
    if (!name || !*name || index < 0 || index >= kHandDirections) return nullptr;
    return FindHandObjectEntry(name, index);
}

// --- Finders over the clients --------------------------------------------------------------------

namespace {

// The first active client, or its linked client right after it, that matches.
template <class Match>
cBaseObj* firstClient(cClient* const* clients, int count, Match match) {
    for (int i = 0; i < count; ++i) {
        cClient* client = clients[i];
        if (!client) continue;
        if (match(*client)) return client;
        cBaseObj* linked = client->GetLinked();
        if (linked && match(*linked)) return linked;
    }
    return nullptr;
}

}  // namespace

cBaseObj* cGame::FindClientByRequestOwner(const cLevelObj* object) {
    if (!object) return nullptr;
    return firstClient(levelClients_, activeClients(), [object](const cBaseObj& c) {
        const cRequest& r = c.GetRequest();
        return r.GetOwner() == object && (r.IsWaiting() || r.IsDone());
    });
}

namespace {

// Whether a client's request is found by the object it names.
bool foundByTarget(const cRequest& r) {
    const int kind = r.GetKind();
    // The fetched kinds stay found while Jenny walks to fetch them, not once delivering.
    const bool fetched = kind == kCocktail || kind == kFood || kind == kNews || kind == kPhone;
    return (fetched && !r.IsServing()) || r.IsWaiting() || r.IsDone();
}

// Keeps the first value found for each key in a small table of pairs. A key that finds the table
// full sets overflow: whoever asks the table then searches instead.
template <class Key, int N>
void keepFirst(const Key* (&keys)[N], cBaseObj* (&values)[N], int& count, bool& overflow,
               const Key* key, cBaseObj* value) {
    for (int i = 0; i < count; ++i)
        if (keys[i] == key) return;
    if (count == N) {
        overflow = true;
        return;
    }
    keys[count] = key;
    values[count++] = value;
}

}  // namespace

const cGame::TargetIndex& cGame::indexTargets() {
    TargetIndex& t = targetIndex_;
    const int clients = activeClients();
    t = TargetIndex();
    t.valid = true;
    t.changes = cRequest::Changes();
    t.clients = clients;
    // In the finder's order, each client before its linked client: the first found stays.
    auto add = [&t](cBaseObj* c) {
        const cRequest& r = c->GetRequest();
        const cLevelObj* target = r.GetTarget();
        if (target && foundByTarget(r))
            keepFirst(t.targets, t.found, t.count, t.overflow, target, c);
    };
    for (int i = 0; i < clients; ++i) {
        cClient* client = levelClients_[i];
        if (!client) continue;
        add(client);
        if (cBaseObj* linked = client->GetLinked()) add(linked);
    }
    return t;
}

cBaseObj* cGame::FindClientByRequestTarget(const cLevelObj* object) {
    if (!object) return nullptr;
    // Every object of the list was told whether a request can name it.
    if (kindsIndexed_ && !object->MayBeRequestTarget()) return nullptr;
    const TargetIndex& t = targetIndex();
    if (!t.overflow) {
        for (int i = 0; i < t.count; ++i)
            if (t.targets[i] == object) return t.found[i];
        return nullptr;
    }
    return firstClient(levelClients_, activeClients(), [object](const cBaseObj& c) {
        return c.GetRequest().GetTarget() == object && foundByTarget(c.GetRequest());
    });
}

cClient* cGame::FindClientAtObject(const cLevelObj* room) {
    if (!room) return nullptr;
    for (int i = 0; i < activeClients(); ++i)
        if (levelClients_[i] && static_cast<const cLevelObj*>(levelClients_[i]->GetRoom()) == room)
            return levelClients_[i];
    return nullptr;
}

const cGame::WaitingIndex& cGame::indexWaiting() {
    const int clients = activeClients();
    WaitingIndex& w = waiting_;
    w = WaitingIndex();
    w.valid = true;
    w.changes = cRequest::Changes();
    w.clients = clients;
    w.objects = objectCount_;
    // In the finders' order: each client's own request (found for its kind and for the kind it
    // put aside), then its linked client's, then the objects'; the first found of each stays.
    auto kindFound = [&w](int kind, const cRequest* r) {
        if (kind >= 0 && kind < kNoRequest && !w.byKind[kind]) w.byKind[kind] = r;
    };
    auto heroFound = [&w](const cRequest& r, cBaseObj* found) {
        const HeroLink* hero = r.IsWaiting() ? r.GetHero() : nullptr;
        if (hero) keepFirst(w.heroes, w.byHero, w.heroCount, w.heroesOverflow, hero, found);
    };
    for (int i = 0; i < activeClients(); ++i) {
        cClient* client = levelClients_[i];
        if (!client) continue;
        const cRequest& own = client->GetRequest();
        if (own.IsWaiting()) {
            kindFound(own.GetKind(), &own);
            kindFound(client->GetStashedRequest().GetKind(), &own);
        }
        cBaseObj* linked = client->GetLinked();
        if (linked && linked->GetRequest().IsWaiting())
            kindFound(linked->GetRequest().GetKind(), &linked->GetRequest());
        heroFound(own, client);
        if (linked) heroFound(linked->GetRequest(), client);
    }
    for (int i = 0; i < objectCount_; ++i) {
        const cRequest& r = objects_[i]->GetRequest();
        if (r.IsWaiting()) kindFound(r.GetKind(), &r);
        heroFound(r, objects_[i]);
    }
    return w;
}

const cRequest* cGame::FindRequest(int kind, bool waitingOnly) {
    if (widgetsUpdating_ && waitingOnly && kind >= 0 && kind < kNoRequest)
        return waitingIndex().byKind[kind];
    const bool anyKind = kind >= kNoRequest;
    if (!anyKind && !cRequest::AnyOfKind(kind)) return nullptr;
    auto counts = [waitingOnly](const cRequest& r) { return !waitingOnly || r.IsWaiting(); };
    for (int i = 0; i < activeClients(); ++i) {
        cClient* client = levelClients_[i];
        if (!client) continue;
        const cRequest& own = client->GetRequest();
        const bool inState1 = client->GetState() == cClient::kStateWaiting;
        // The second request is the one a crying baby put aside; the wait is always the own one's.
        // An empty one is no request: without this a search for any kind matched every guest.
        const int stashed = client->GetStashedRequest().GetKind();
        const bool second = stashed < kNoRequest && stashed == kind;
        if ((anyKind ? inState1 || second : own.GetKind() == kind || second) && counts(own))
            return &own;
        if (cBaseObj* linked = client->GetLinked()) {
            const cRequest& r = linked->GetRequest();
            if ((anyKind ? inState1 : r.GetKind() == kind) && counts(r)) return &r;
        }
    }
    for (int i = 0; i < objectCount_; ++i) {
        const cRequest& r = objects_[i]->GetRequest();
        if ((anyKind ? objects_[i]->GetState() == 1 : r.GetKind() == kind) && counts(r)) return &r;
    }
    return nullptr;
}

int cGame::CountRequestsOfKind(int kind, const cBaseObj* excluded) {
    int n = 0;
    auto count = [&](const cBaseObj* o) {
        if (o && o != excluded && o->GetRequest().GetKind() == kind) ++n;
    };
    for (int i = 0; i < activeClients(); ++i) {
        if (!levelClients_[i]) continue;
        count(levelClients_[i]);
        count(levelClients_[i]->GetLinked());
    }
    for (int i = 0; i < objectCount_; ++i) count(objects_[i]);
    return n;
}

int cGame::CountWaitingFor(int kind, const cLevelObj* target) {
    int n = 0;
    auto count = [&](const cBaseObj* o) {
        if (!o) return;
        const cRequest& r = o->GetRequest();
        if (r.GetKind() == kind && r.IsWaiting() && r.GetTarget() == target) ++n;
    };
    for (int i = 0; i < activeClients(); ++i) {
        if (!levelClients_[i]) continue;
        count(levelClients_[i]);
        count(levelClients_[i]->GetLinked());
    }
    return n;
}

cBaseObj* cGame::FindWaitingRequestOfHero(const HeroLink* hero) {
    if (!hero) return nullptr;
    if (widgetsUpdating_) {
        const WaitingIndex& w = waitingIndex();
        for (int i = 0; i < w.heroCount; ++i)
            if (w.heroes[i] == hero) return w.byHero[i];
        if (!w.heroesOverflow) return nullptr;
    }
    auto waitsFor = [hero](const cBaseObj* o) {
        return o && o->GetRequest().IsWaiting() && o->GetRequest().GetHero() == hero;
    };
    for (int i = 0; i < activeClients(); ++i) {
        cClient* client = levelClients_[i];
        if (client && (waitsFor(client) || waitsFor(client->GetLinked()))) return client;
    }
    for (int i = 0; i < objectCount_; ++i)
        if (waitsFor(objects_[i])) return objects_[i];
    return nullptr;
}

cLevelObj* cGame::FindRoomByNumber(int grade) {
    for (int i = 0; i < objectCount_; ++i) {
        cRoom* room = dynamic_cast<cRoom*>(objects_[i]);
        if (room && room->UpgradeLevel() == grade) return room;
    }
    return nullptr;
}

void cGame::GetWaitingClients(cArray<cClient*>& clients) {
    clients.clear();
    for (int i = 0; i < activeClients(); ++i)
        if (levelClients_[i] && levelClients_[i]->GetState() != cClient::kStateOutside)
            clients.push_back(levelClients_[i]);
}

int cGame::CountCheckOutRequests() {
    int n = 0;
    for (int i = 0; i < activeClients(); ++i) {
        if (!levelClients_[i]) continue;
        const cRequest& r = levelClients_[i]->GetRequest();
        if (r.GetKind() == kCheckOut && (r.IsWaiting() || r.IsDone())) ++n;
    }
    return n;
}

int cGame::GetRequestWeight(int kind) {
    return kind >= 0 && kind < kRequestKinds ? weights_[kind] : 0;
}

// --- Places --------------------------------------------------------------------------------------

cLevelObj* cGame::GetFirstCheckInPlace() { return checkIns_.size() ? checkIns_[0] : nullptr; }

cLevelObj* cGame::GetLastFreeCheckInPlace() { return lastFreePlace(checkIns_); }

cLevelObj* cGame::GetNextCheckInPlace(const cLevelObj* place) {
    return freePlaceBefore(checkIns_, place);
}

cLevelObj* cGame::GetFirstCheckOutPlace() { return checkOuts_.size() ? checkOuts_[0] : nullptr; }

cLevelObj* cGame::GetLastFreeCheckOutPlace() { return lastFreePlace(checkOuts_); }

cLevelObj* cGame::GetNextCheckOutPlace(const cLevelObj* object) {
    // A client leaving its room joins the back of the queue.
    if (dynamic_cast<const cRoom*>(object)) return GetLastFreeCheckOutPlace();
    return freePlaceBefore(checkOuts_, object);
}

// --- Clients coming and going --------------------------------------------------------------------

void cGame::AdmitNextClient() {
    const int next = clientsIn_ + clientsGone_;
    if (next >= clientCount_ || clientsIn_ >= roomCount_) return;
    cClient* client = GetClient(next);
    // Without a free place the start time stays: the client tries again on the next update.
    if (!client || !client->EnterCheckInQueue()) return;
    ++clientsIn_;
    if (startTimes_.size()) startTimes_.erase(0);
    RefreshClientCounter();
    worldPlaySound("door_main_bell");
}

void cGame::ScheduleNextClient() {
    if (clientsIn_ <= 0) {
        // A second departure of one client would let a later client be skipped.
        logPrintf("a client left while no client was in; the departure is ignored\n");
        return;
    }
    ++clientsGone_;
    --clientsIn_;
    if (clientsIn_ + clientsGone_ < clientCount_)
        startTimes_.push_back(levelClock_ + checkOutCleanInterval_);
}

bool cGame::ActivateNextClient() {
    if (clientCount_ >= kActivationLimit || clientCount_ >= clientsMade_ ||
        !levelClients_[clientCount_])
        return false;
    ++clientCount_;
    RefreshClientCounter();
    return true;
}

void cGame::OnRoomUpgraded() { AdmitNextClient(); }

// --- Wrong actions and locks ---------------------------------------------------------------------

void cGame::PlayWrongAction(int kind) {
    worldPlaySound("wrong_action");
    FlashCommandPanels(kind);
}

void cGame::UnlockObjects(const char* name) {
    for (int i = 0; i < objectCount_; ++i)
        if (objects_[i]->IsEnabled() && (!name || strcmp(objects_[i]->GetName(), name) == 0))
            objects_[i]->Disable();
}

// --- The order of a service ----------------------------------------------------------------------

int cGame::OrderService(cLevelObj* object, const cRequest* chosen) {
    if (!object) return 0;
    cBaseObj* client = FindClientByRequestTarget(object);
    const cRequest* request = chosen;
    if (!request)
        request = object->GetRequest().IsWaiting() ? &object->GetRequest()
                  : client                         ? &client->GetRequest()
                                                   : object->GetAttached();
    if (!request) {
        // A click on a musician's outline object counts as a click on the musician.
        const cRequest* music = FindRequest(kMusic, false);
        cMusician* musician = music ? dynamic_cast<cMusician*>(music->GetTarget()) : nullptr;
        if (musician && musician->GetOutlineObject() == object) {
            request = music;
            client = FindClientByRequestTarget(musician);
        }
    }
    if (!request) return 0;
    HeroLink* hero = request->GetHero();
    if (!hero) return 0;
    const int kind = request->GetKind();
    cLevelObj* target = request->GetTarget();
    switch (kind) {
    case kClean: case kClothes: case kDog: case kLuggage: case kPillow: case kPlaid:
    case kRepair: case kUpgrade: case kWater:
        if (hero->IsUnavailable()) return 0;
        [[fallthrough]];
    case kCalmBaby: case kCheckOut: case kCocktail: case kFood: case kNews: case kPhone: {
        object->Enable();
        const char* name = object->GetName();
        if (hero == GetHeroByName("Jenny") && (strstr(name, "Mus") || strstr(name, "Wait"))) {
            // Jenny's waiting spots stay free for the next order; the client waits instead.
            lock(FindClientByRequestOwner(object));
            object->Disable();
        }
        const char* hand = request->GetHandObject();
        if (!(hero->IsHolding(hand) && strcmp(name, hand) == 0)) hero->AddTask(kind, object);
        if (kind == kCocktail) worldTutorialMarkShown("Cocktail_Start");
        return 1;
    }
    case kCards: case kCasino: case kChess: case kFire:
        if (hero->IsUnavailable()) return 0;
        // Nothing is locked for an order that queues nothing.
        if (!client && !object->GetAttached()) return 0;
        object->Enable();
        if (client) {
            lock(request->GetOwner());
            hero->AddTask(kind, object);
        } else {
            lock(target);
            hero->AddTask(kind, target);
        }
        return 1;
    case kMusic:
        if (!client && !object->GetAttached()) return 0;
        lock(target);
        lock(request->GetOwner());
        if (client) lock(request->GetOwner() == target ? client : request->GetOwner());
        hero->AddTask(kind, target);
        return 1;
    case kPhoto: case kSouvenir:
        if (hero->IsUnavailable()) return 0;
        if (client) {
            lock(client);
            object->Enable();
        } else {
            lock(target);
            lock(FindClientByRequestOwner(object));
        }
        hero->AddTask(kind, target);
        return 1;
    default:
        // A check-in is served by dragging the client onto a room.
        return 0;
    }
}
