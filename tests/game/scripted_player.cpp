// The scripted level player: what it looks at and where it clicks.
#include "tests/game/scripted_player.h"

#include <algorithm>
#include <cstdlib>

#include "game/game.h"
#include "game/panel.h"
#include "ui/ui.h"
#include "world/client.h"
#include "world/hero.h"
#include "world/level_object.h"
#include "world/monster.h"
#include "world/request.h"
#include "world/room.h"

ScriptedPlayer::Send ScriptedPlayer::AtWindowManager() {
    return [](Mouse m, Point2i p) {
        const intptr_t at = uiPack(p.x, p.y);
        if (m == kMove)
            WM::Get()->OnMouseMove(0, at);
        else if (m == kPress)
            WM::Get()->OnKeyDown(1, at);
        else
            WM::Get()->OnKeyUp(1, at);
    };
}

Point2i ScriptedPlayer::HitPoint(cBaseObj* object) {
    const auto& b = object->GetBody();
    const int x0 = static_cast<int>(b.position.x + b.boundOffset.x);
    const int y0 = static_cast<int>(b.position.y + b.boundOffset.y);
    const int w = static_cast<int>(b.boundSize.x), h = static_cast<int>(b.boundSize.y);
    // From the middle outwards, so a point inside the outline is found first.
    for (int r = 0; r <= std::max(w, h) / 2; r += 3)
        for (int dy : {0, -r, r})
            for (int dx : {0, -r, r}) {
                const int x = x0 + w / 2 + dx, y = y0 + h / 2 + dy;
                if (object->HitTestPoint(x, y)) return Point2i(x, y);
            }
    return Point2i(-1, -1);
}

cClient* ScriptedPlayer::HeadOfCheckIn() const {
    for (int i = 0; i < game_->GetClientCount(); ++i) {
        cClient* c = game_->GetClient(i);
        if (c && c->GetRequest().GetKind() == kCheckIn && c->CanOrderService()) return c;
    }
    return nullptr;
}

cRoom* ScriptedPlayer::FreeRoomFor(const cClient* guest) const {
    // The grade asked for, else the nearest: a room two grades off angers the guest.
    cRoom* best = nullptr;
    int bestOff = 0;
    for (int i = 0; i < game_->GetObjectCount(); ++i) {
        cRoom* room = dynamic_cast<cRoom*>(game_->GetObject(i));
        if (!room || game_->FindClientAtObject(room) || room->GetRequest().GetKind() != kNoRequest)
            continue;
        const int off = std::abs(room->UpgradeLevel() - guest->GetRequest().GetGrade());
        if (!best || off < bestOff) {
            best = room;
            bestOff = off;
        }
    }
    return best;
}

namespace {

bool busy(HeroLink* hero) {
    const cHero* h = dynamic_cast<const cHero*>(hero);
    return h && h->TaskCount() > 0;
}

}  // namespace

void ScriptedPlayer::React() {
    // Heroes resting at their base are called out by their panel's big button.
    for (cCommandPanel* panel : {game_->LeftPanel(), game_->RightPanel()}) {
        if (!panel || !panel->BigButton()) continue;
        cRoundBtn* big = panel->BigButton();
        cHero* hero = big->Hero();
        if (hero && hero->IsUnavailable() && big->UpdateProgress()) Click(big->Centre());
    }
    // The head of the check-in queue into a free room: press, move, release. A room two grades
    // off the one asked for angers the guest: while its clock is young the player waits for a
    // nearer one to come free.
    cClient* guest = HeadOfCheckIn();
    cRoom* room = guest ? FreeRoomFor(guest) : nullptr;
    if (room && std::abs(room->UpgradeLevel() - guest->GetRequest().GetGrade()) >= 2 &&
        guest->GetRequest().GetTimeRatio() < 0.5f)
        room = nullptr;
    if (room) {
        const Point2i from = HitPoint(guest), to = HitPoint(room);
        if (from.x >= 0 && to.x >= 0) {
            Press(from);
            MoveTo(Point2i((from.x + to.x) / 2, (from.y + to.y) / 2));
            MoveTo(to);
            Release(to);
        }
    }
    // Every object asking for a service, then every client whose own click is wanted. The
    // hotel's own chores (a room to clean after its guest, a broken thing, a thirsty flower) wait
    // while their hero still has work queued: ordered now, they would go before a guest who
    // asks a moment later.
    for (int i = 0; i < game_->GetObjectCount(); ++i) {
        cLevelObj* object = game_->GetObject(i);
        if (!object->IsActionable()) continue;
        const cRequest& own = object->GetRequest();
        if (own.IsWaiting() && own.GetHero() && busy(own.GetHero())) continue;
        const Point2i p = HitPoint(object);
        if (p.x >= 0) Click(p);
    }
    for (int i = 0; i < game_->GetClientCount(); ++i) {
        cClient* c = game_->GetClient(i);
        if (!c || c->GetRequest().GetKind() == kCheckIn || !c->CanOrderService()) continue;
        const Point2i p = HitPoint(c);
        if (p.x >= 0) Click(p);
    }
    // Every monster about the hotel is struck once per look.
    cMonsterWave& wave = game_->GetMonsterWave();
    for (int i = 0; i < wave.GetCount(); ++i) {
        cMonster* monster = wave.Monster(i);
        if (!monster || !monster->IsOnStage()) continue;
        const Point2i p = HitPoint(monster);
        if (p.x >= 0) Click(p);
    }
    MoveTo(Point2i(0, 0));
}
