// Hotel rooms: the door, the signs, the upgrade cycle and the tint by fit under a dragged client.
#include "world/room.h"

#include <cmath>
#include <cstdlib>

#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "world/coordinates.h"
#include "world/draw_list.h"
#include "world/factory.h"
#include "world/links.h"

namespace {

const ColorRGBA kFitTint(0, 255, 0, 255);
const ColorRGBA kNearTint(255, 255, 45, 255);
const ColorRGBA kMisfitTint(255, 0, 0, 255);
const sMaterial kPlain(4, 4, 1, 30);

void drawAt(const DrawList& list, HSPRITE s, Point2i p, uint8_t alpha, sMaterial material,
            int time) {
    const Point2i at = list.ToScreen(p);
    const int w = spriteWidth(s), h = spriteHeight(s);
    grDraw(material, at.x, at.y, static_cast<int>(w * list.scale.x),
           static_cast<int>(h * list.scale.y), s, 0, 0, w, h,
           ColorRGBA(255, 255, 255, alpha).Argb(), time);
}

}  // namespace

cRoom::cRoom()
    : breakFlag_(false),
      sign_(nullptr),
      dnd_(nullptr),
      upgrade_(nullptr),
      closedSign_(nullptr),
      signPoint_(0, 0),
      dndPoint_(0, 0),
      upgradePoint_(0, 0),
      grade_(0),
      upgradeTime_(0),
      closeAfter_(false),
      closed_(false),
      upgradePending_(false),
      roomPhase_(0),
      roomPulse_(0) {}

cRoom::~cRoom() {
    spriteFree(&dnd_);
    spriteFree(&upgrade_);
    spriteFree(&closedSign_);
}

int cRoom::doorPeriod() const {
    const AnimDesc* r = Anim(0);
    // Without a door picture the door is a single instant: open and shut at once.
    return r && r->sprite ? IntMax(1, grSpriteTime(r->sprite)) : 1;
}

void cRoom::Load(const char* iniFile, const char* section, int grade) {
    if (!iniFile || !*iniFile || !section || !*section) return;
    cLevelObj::Load(iniFile, section);
    sign_ = worldRoomSprite(grade);
    spriteFree(&dnd_);
    spriteFree(&upgrade_);
    spriteFree(&closedSign_);
    dnd_ = iniReadAnimSprite(iniFile, section, "dnd");
    upgrade_ = iniReadAnimSprite(iniFile, section, "upgrd");
    closedSign_ = iniReadAnimSprite(iniFile, section, "closed");
    const Point2i at(static_cast<int>(body_.position.x), static_cast<int>(body_.position.y));
    auto point = [&](const char* kx, const char* ky) {
        return iniGetPoint(iniFile, section, kx, ky) + at;
    };
    signPoint_ = point("sign_x", "sign_y");
    dndPoint_ = point("dnd_x", "dnd_y");
    upgradePoint_ = point("upgrd_x", "upgrd_y");
    grade_ = grade;
    SetState(kNormal);
    animTime_ = doorPeriod() - 1;
}

void cRoom::UpdateHighlight() {
    highlightOn_ = IsActionable();
    GameLink* game = worldGame();
    cBaseObj* dragged = game ? game->GetDraggedObject() : nullptr;
    if (!dragged) {
        tint_ = kNearTint;
        return;
    }
    const int d = std::abs(grade_ - dragged->GetRequest().GetGrade());
    tint_ = d == 0 ? kFitTint : d == 1 ? kNearTint : kMisfitTint;
}

bool cRoom::CanTakeGuest() {
    GameLink* game = worldGame();
    return !closed_ && request_.GetKind() == kNoRequest && !(game && game->FindClientAtObject(this));
}

bool cRoom::IsActionable() {
    // Under a dragged guest only a room that can take it lights: an occupied or busy room
    // glowing like a free one would invite a drop that angers both guests.
    GameLink* game = worldGame();
    if (game && game->GetDraggedObject()) return CanTakeGuest();
    return cLevelObj::IsActionable();
}

bool cRoom::CanBreak() { return breakable_ && !breakFlag_ && request_.GetKind() == kNoRequest; }

void cRoom::OpenDoor(bool closeAfter) {
    if (state_ == kOpening || IsDoorOpen()) return;
    // A door that was shutting already holds the state to return to.
    if (state_ != kClosing) subState_ = state_;
    SetState(kOpening);
    closeAfter_ = closeAfter;
    worldPlaySound("door_open");
}

void cRoom::CloseDoor() {
    if (state_ == kClosing || IsDoorClosed()) return;
    if (state_ != kOpening) subState_ = state_;
    SetState(kClosing);
    closeAfter_ = false;
}

bool cRoom::CanUpgrade() {
    GameLink* game = worldGame();
    if (!game) return false;
    cBaseObj* guest = game->FindClientAtObject(this);
    if (!guest) return true;
    if (guest->GetState() != 3) return false;
    ClientLink* client = asClient(guest);
    cBaseObj* partner = client ? client->GetLinked() : nullptr;
    return !partner || partner->GetState() == 3;
}

void cRoom::BeginUpgrade(int time) {
    SetHighlighted(true);
    request_.CancelTask();
    upgradeTime_ = time;
    upgradePending_ = true;
}

void cRoom::CompleteUpgrade() {
    GameLink* game = worldGame();
    char text[128];
    safeSnprintf(text, sizeof text, "RoomUpgrade_%u_%u_%s:%s", static_cast<unsigned>(grade_),
                 static_cast<unsigned>(grade_ + 1), GetName(), GetName());
    ++grade_;
    sign_ = worldRoomSprite(grade_);
    if (game) {
        game->SetEventText(text);
        game->RecordRoomUpgrade();
        game->ActivateNextClient();
        game->OnRoomUpgraded();
    }
    ClearOccupied();
    request_.Reset();
    SetState(kNormal);
    worldPlaySound("upgrade_room");
}

void cRoom::Update(int ms) {
    UpdateHighlight();
    // The door's position is the animation timer, which only the door moves.
    const int door = animTime_;
    cBaseObj::Update(ms);
    animTime_ = door;

    if (highlighted_) {
        roomPhase_ += ms / 200.0f;
        roomPulse_ = static_cast<int>(std::lround((std::cos(roomPhase_) * 0.5 + 0.5) * 64));
    } else {
        roomPhase_ = 0;
        roomPulse_ = 0;
    }

    switch (state_) {
    case kUpgradeWaits:
        if (request_.Update(ms) == 0) {
            SetHighlighted(false);
            request_.CancelTask();
            SetState(kNormal);
            CloseDoor();
        }
        break;
    case kNormal:
        if (upgradePending_ && CanUpgrade()) {
            request_.Load(kUpgrade, upgradeTime_, this, 0);
            request_.SetWaiting();
            SetHighlighted(true);
            SetState(kUpgradeWaits);
            upgradePending_ = false;
            if (GameLink* game = worldGame()) game->ShowBanner("#MSG_UPGRADE_ROOM");
        }
        break;
    case kOpening:
        animTime_ = IntMax(animTime_ - ms, 0);
        if (animTime_ == 0) {
            SetState(subState_);
            subState_ = 2;
            if (closeAfter_) CloseDoor();
        }
        break;
    case kClosing:
        animTime_ = IntMin(animTime_ + ms, doorPeriod() - 1);
        if (animTime_ == doorPeriod() - 1) {
            SetState(subState_);
            subState_ = 2;
            worldPlaySound("door_close");
        }
        break;
    default:
        break;
    }
}

void cRoom::Draw(DrawList* list) {
    if (!list) return;
    // The door, its outline, the waiting upgrade's bubble (state 1 is the level object's
    // bubble state too) and the ordered mark are the level object's drawing. The bubble stays at
    // the request point, where clicks on it are tested: the wait clock's position is only where
    // the clock sits inside a bubble, the same for every room, so a bubble drawn there would sit
    // in the screen's corner under the interface, away from its room.
    cLevelObj::Draw(list);
    if (sign_) {
        const int lowered = static_cast<int>((1.0f - grow_) * spriteHeight(sign_));
        drawAt(*list, sign_, signPoint_ + Point2i(0, lowered), 255, kPlain, animTime_);
        if (highlighted_) {
            if (HSPRITE next = worldRoomSprite(grade_ + 1)) {
                const long alpha = std::lround((std::cos(roomPhase_) * 0.5 + 0.5) * 255);
                drawAt(*list, next, signPoint_ + Point2i(0, lowered), static_cast<uint8_t>(alpha),
                       sMaterial(2, 4, 1, 30), animTime_);
            }
            if (upgrade_ && state_ == kUpgradeWaits && request_.GetKind() == kUpgrade)
                drawAt(*list, upgrade_, upgradePoint_, 255, kPlain, animTime_);
        }
    }
    GameLink* game = worldGame();
    if (dnd_ && IsDoorClosed() && game && game->FindClientAtObject(this))
        drawAt(*list, dnd_, dndPoint_, 255, kPlain, animTime_);
    if (closedSign_ && closed_ && IsDoorClosed())
        drawAt(*list, closedSign_, upgradePoint_, 255, kPlain, animTime_);
}

cLevelObj* makeRoom(const char* objectsFile, const char* section, const char*, int,
                    const ObjectItemInfo* item) {
    cRoom* room = new cRoom();
    room->Load(objectsFile, section, item ? item->value : 0);
    return room;
}
