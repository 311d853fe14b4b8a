// The level screen: its states at the fixed step, the drawing order of the level, the player's
// clicks, keys and cheat words.
#include "game/game.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "anim/comics.h"
#include "anim/fx_effects.h"
#include "core/random.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/input.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "world/cash.h"
#include "world/client.h"
#include "world/flower.h"
#include "world/gift.h"
#include "world/jenny.h"
#include "world/maid.h"
#include "world/porter.h"
#include "world/level_object.h"
#include "world/musician.h"
#include "world/request.h"
#include "world/room.h"

cGame* gCurrentGame = nullptr;
int32_t gGoalType = 2;

namespace {
Window* (*gPauseMenu)() = nullptr;
Window* (*gAfterLevel)() = nullptr;
}  // namespace

void gameSetPauseMenu(Window* (*pauseMenu)()) { gPauseMenu = pauseMenu; }
void gameSetAfterLevel(Window* (*afterLevel)()) { gAfterLevel = afterLevel; }

namespace {

constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kEscape = 27;
constexpr int kBannerKind = 4;
constexpr int kCheatMoney = 10000;
constexpr int kLastClientsBelow = 4;
constexpr int kDayLabelMargin = 10;
const char kTranslation[] = "Data/translation.ini";

}  // namespace

std::u16string widenText(const char* text) {
    std::u16string out;
    for (const char* p = text; p && *p; ++p) out += static_cast<char16_t>(static_cast<uint8_t>(*p));
    return out;
}

std::u16string translated(const char* key) {
    const char16_t* text = iniGetWideGlobal(kTranslation, key);
    return text ? std::u16string(text) : std::u16string();
}

cGame::cGame() {
    // The level's objects are made by their own classes, whatever made objects before.
    worldSetObjectMaker(kTypeFlower, cFlower::Make);
    worldSetObjectMaker(kTypeMusician, cMusician::Make);
    worldSetObjectMaker(kTypeRoom, makeRoom);
    worldSetObjectMaker(kTypeCash, cCash::Make);
    worldSetObjectMaker(kTypeGift, cGift::Make);
    worldSetObjectMaker(kTypeSweets, cSweets::Make);
    // Listeners at a musician go back to their rooms once it stops playing.
    worldSetMusicianHook(cMusician::IsIdleObject);
    drawList_.Init();
    state = UI_NORMAL;
}

cGame::~cGame() {
    delete banner_;
    spriteFree(&background_);
    spriteFree(&moneySprite_);
    for (uint32_t i = 0; i < requestIcons_.size(); ++i) grFreeSprite(requestIcons_[i]);
    for (CGraphFont* font : {bannerFont_, dayFont_, cashFont_, noTipsFont_, loyaltyFont_})
        grFreeFont(font);
    // Clients first: they point at the rooms they stay in.
    for (int i = 0; i < clientsMade_; ++i) delete levelClients_[i];
    for (int i = 0; i < kMaxObjects; ++i) delete objects_[i];
    // A level made before this one was deleted keeps the globals it set.
    if (gCurrentGame == this) gCurrentGame = nullptr;
    if (worldGame() == this) worldSetGame(nullptr);
    if (cWalkMap::Current() == &walkMap_) cWalkMap::SetCurrent(nullptr);
}

// --- Update -------------------------------------------------------------------------------------

int cGame::Update(int ms) {
    if (gComics && gComics->Update(static_cast<float>(ms) / 1000.0f)) return 0;
    if (state_ != kPlaying) musicSilent_ = false;
    switch (state_) {
    case kStart:
        state_ = kGetReady;
        worldPlaySound("get_ready");
        for (cHero* hero : Heroes()) {
            hero->SetState(cHero::kStateHail);
            hero->SetKeepApplauding(false);
        }
        heroesSentHome_ = false;
        return commonTail(ms);
    case kGetReady: updateGetReady(ms); return 0;
    case kTutorial:
        // The level waits for the hint to close; only the hint's own clock runs.
        if (gTutorial) gTutorial->AddTime(ms);
        return commonTail(ms);
    case kPlaying: commonUpdate(ms); return commonTail(ms);
    case kLevelOver:
        updateLevelOver(ms);
        return state_ == kLevelOver ? commonTail(ms) : 0;
    default: return commonTail(ms);
    }
}

void cGame::updateGetReady(int ms) {
    if (!banner_) {
        banner_ = new cBounceCaption;
        banner_->SetText(bannerFont_, "#GAME_GET_READY", kBannerKind);
        banner_->Start();
    }
    banner_->Update(ms);
    for (int i = 0; i < objectCount_; ++i) objects_[i]->Update(ms);
    for (cHero* hero : Heroes()) hero->Update(ms);
    if (!banner_->IsIdle()) return;
    banner_->SetText(bannerFont_, "#GAME_GO", kBannerKind);
    banner_->Start();
    state_ = kPlaying;
    StartLevelMusic();
    musicSilent_ = !sndIsMusicPlaying();
    for (int i = 0; i < objectCount_; ++i) objects_[i]->SetHighlighted(false);
}

void cGame::updateLevelOver(int ms) {
    barTarget_ = 0;
    if (AnimatePopularityBar(ms, -1) && (!banner_ || banner_->IsIdle())) {
        CloseSelf();
        Window* next = gAfterLevel ? gAfterLevel() : nullptr;
        if (WM* wm = WM::Get(); wm && next) wm->Push(next, true, false, false);
        return;
    }
    // Once the Maid and the Porter stand at their wait points and Jenny is back at her base,
    // the three applaud until the screen closes.
    cHero* maid = dynamic_cast<cHero*>(GetHeroByName("Maid"));
    cHero* porter = dynamic_cast<cHero*>(GetHeroByName("Porter"));
    cHero* jenny = dynamic_cast<cHero*>(GetHeroByName("Jenny"));
    if (maid && porter && jenny && maid->GetState() == cHero::kStateAtWaitPoint &&
        porter->GetState() == cHero::kStateAtWaitPoint &&
        jenny->GetState() == cHero::kStateAtBase) {
        for (cHero* hero : {maid, porter, jenny}) {
            hero->SetState(cHero::kStateApplause);
            hero->SetKeepApplauding(true);
        }
    }
    commonUpdate(ms);
}

void cGame::commonUpdate(int ms) {
    if (state_ == kPlaying && !musicSilent_ && !sndIsMusicPlaying()) {
        StartLevelMusic();
        musicSilent_ = !sndIsMusicPlaying();
    }
    if (gFxManager) gFxManager->Update(static_cast<float>(ms) / 1000.0f);
    levelClock_ += ms;
    CheckLevelEnd(ms);
    if (!lastClients_ && clientsIn_ + clientsGone_ == clientCount_ &&
        clientsIn_ < kLastClientsBelow) {
        lastClients_ = true;
        for (int i = 0; i < objectCount_; ++i) objects_[i]->SetBreakable(false);
    }
    AdvanceUpgradeProgress(ms, 0);
    if (startTimes_.size() && startTimes_[0] <= levelClock_) AdmitNextClient();
    for (int i = 0; i < objectCount_; ++i) objects_[i]->Update(ms);
    updateClients(ms);
    if (state_ == kPlaying) {
        if (nextObjectBreak_ && nextObjectBreak_ <= levelClock_) {
            BreakRandomObject();
            nextObjectBreak_ += objectBreakMin_ + static_cast<int>(gRandom.Int(
                                                      static_cast<uint32_t>(objectBreakRange_)));
        }
        if (nextRoomBreak_ && nextRoomBreak_ <= levelClock_) {
            BreakRandomRoom();
            nextRoomBreak_ += roomBreakMin_ +
                              static_cast<int>(gRandom.Int(static_cast<uint32_t>(roomBreakRange_)));
        }
        AnimatePopularityBar(ms, barShown_ <= barTarget_ ? 1 : -1);
    }
    for (cHero* hero : Heroes()) hero->Update(ms);
    if (banner_) banner_->Update(ms);
    flying_.Update(ms);
    UpdateMonsters(ms);
}

int cGame::commonTail(int ms) {
    pulse_.Update(static_cast<float>(ms) / 1000.0f);
    if (gFlyingTips) gFlyingTips->Update(ms);
    // The widgets only read the level: their questions share one search (see waiting_), kept
    // from the step before while no request changed.
    widgetsUpdating_ = true;
    const int result = Window::Update(ms);
    widgetsUpdating_ = false;
    return result;
}

// --- Drawing ------------------------------------------------------------------------------------

int cGame::Draw() {
    if (background_) grDrawSprite(0, 0, background_, 0);
    DrawMonsters();
    for (int i = 0; i < objectCount_; ++i) objects_[i]->AddToDrawList(&drawList_);
    addClientsToDrawList();
    for (cHero* hero : Heroes()) hero->AddToDrawList(&drawList_);
    drawList_.Flush();
    drawDraggedClient();
    if (cDragObj* carried = dynamic_cast<cDragObj*>(selectedCarried_))
        carried->DrawAtCursor(pointer_);
    Window::Draw();
    flying_.Draw();
    if (banner_) banner_->Draw();
    if (gFlyingTips) gFlyingTips->Draw();
    pulse_.Draw(0xFFFFFFFFu);
    if (gFxManager) gFxManager->Draw();
    drawDayLabel();
    drawInterfaceLabel();
    if (state_ == kTutorial && gTutorial) gTutorial->Draw();
    if (gComics) gComics->Draw(1.0f);
    return 1;
}

void cGame::drawDayLabel() {
    if (!dayFont_) return;
    std::u16string text = dayText_ + widenText(std::to_string(levelNumber_).c_str());
    int w = 0, h = 0, bits = 0, full = 0;
    grGetMode(&w, &h, &bits, &full);
    grDrawText(dayFont_, (w ? w : xs) - kDayLabelMargin, kDayLabelMargin, text.c_str(), 0, 1, -1);
}

void cGame::drawInterfaceLabel() {
    // The counters of the top bar carry figures only; the pointer over one says what it counts,
    // under the bar, in the ringed letters of the flying payments.
    static const struct {
        const char* widget;
        const char* key;
    } kLabels[] = {{"Cash", "#INTERFACE_CASH_LABEL"},
                   {"Goal", "#INTERFACE_GOAL_LABEL"},
                   {"Clients", "#INTERFACE_CLIENTS_LABEL"},
                   {"BustCounter", "#INTERFACE_SERVED_LABEL"},
                   {"TipsBack", "#INTERFACE_POPULARITY_LABEL"},
                   {"TipsSum", "#INTERFACE_POPULARITY_LABEL"}};
    if (!cashFont_) return;
    for (const auto& label : kLabels) {
        const UIWnd* widget = nullptr;
        for (const UIWnd* child : children)
            if (child && strcmp(child->section, label.widget) == 0) widget = child;
        if (!widget) continue;
        int w = widget->xs, h = widget->ys;
        if ((w <= 0 || h <= 0) && widget->sprites[0]) {
            w = spriteWidth(widget->sprites[0]);
            h = spriteHeight(widget->sprites[0]);
        }
        // The bell's counter reaches left over the bell itself.
        const int left = widget->x - (strcmp(label.widget, "BustCounter") == 0 ? kBellWidth : 0);
        if (pointer_.x < left || pointer_.x >= widget->x + w || pointer_.y < widget->y ||
            pointer_.y >= widget->y + h)
            continue;
        const std::u16string text = translated(label.key);
        if (text.empty()) return;
        int screenW = 0, screenH = 0, bits = 0, full = 0;
        grGetMode(&screenW, &screenH, &bits, &full);
        const int width = grTextWidth(cashFont_, text.c_str(), static_cast<int>(text.size()));
        int x = left;
        if (x + width > (screenW ? screenW : xs) - kDayLabelMargin)
            x = (screenW ? screenW : xs) - kDayLabelMargin - width;
        grDrawText(cashFont_, x, widget->y + h + kLabelGap, text.c_str(), 0, -1, -1);
        return;
    }
}

// --- Input --------------------------------------------------------------------------------------

int cGame::OnKeyDown(int key, intptr_t data) {
    if (gComics && gComics->IsShowing()) gComics->OnButton(key);
    if (key == kEscape) {
        openPauseMenu();
        return 1;
    }
    if (state_ == kTutorial && (key == kLeftButton || key == kRightButton)) {
        if (gTutorial) gTutorial->OnMouseDown(key, data);
        return 1;
    }
    if (state_ == kPlaying && (key == kLeftButton || key == kRightButton)) {
        // The interface lies over the level: a widget that takes the click keeps it.
        if (Window::OnKeyDown(key, data)) return 1;
        if (key == kLeftButton)
            leftButtonDown(uiPackedX(data), uiPackedY(data));
        else
            rightButtonDown(uiPackedX(data), uiPackedY(data));
        return 1;
    }
    return Window::OnKeyDown(key, data);
}

void cGame::leftButtonDown(int x, int y) {
    const cBaseObj* draggedAtStart = dragged_;
    cDragObj* carried = dynamic_cast<cDragObj*>(selectedCarried_);
    cClient* receiver = nullptr;
    if (cClient* client = dynamic_cast<cClient*>(dragged_)) {
        // A click while carrying a guest puts it down: in the room under the pointer, wherever
        // on the room's picture (the bed before the door is the room too), or back where it
        // stood. The click does nothing else to the hotel.
        if (cRoom* room = roomAt(x, y)) {
            client->DropOnRoom(room);
            dragged_ = nullptr;
        } else {
            cancelDrag();
            client->HitTestPoint(x, y);
        }
    }
    for (int i = 0; i < objectCount_ && !draggedAtStart; ++i) {
        cLevelObj* object = objects_[i];
        if (!object->HitTestPoint(x, y)) continue;
        if (carried)
            if (cClient* found = receiverAt(object)) receiver = found;
        if (object->IsActionable()) {
            OrderService(object);
            if (dynamic_cast<cDragObj*>(object)) {
                // Gifts and sweets are picked up by a click and put back by a second one.
                selectedCarried_ = selectedCarried_ == object ? nullptr : object;
                return;
            }
            break;
        }
        object->SignalWrongClick();
    }
    if (dragged_) cancelDrag();
    receiver = clickClients(x, y, draggedAtStart, receiver);
    ClickMonsters(x, y);
    if (carried && !dragged_) {
        if (receiver) LaunchCarriedImage(carried, Point2i(x, y));
        carried->GiveTo(receiver);
    }
    selectedCarried_ = nullptr;
}

cClient* cGame::receiverAt(cLevelObj* object) {
    if (dynamic_cast<cRoom*>(object)) {
        cClient* guest = FindClientAtObject(object);
        return guest && guest->IsAtRoom() ? guest : nullptr;
    }
    // The client whose request stands on the object, unless the object is what it waits for.
    cClient* client = dynamic_cast<cClient*>(FindClientByRequestOwner(object));
    if (!client || client->GetRequest().GetTarget() == object ||
        client->GetState() != cClient::kStateWaiting)
        return nullptr;
    return client;
}

void cGame::LaunchCarriedImage(const cLevelObj* object, Point2i at) {
    if (!object) return;
    // A candy's flag mirrors it when set; other objects face left with a negative flip.
    const int flip = object->GetFlipX();
    const bool mirrored = dynamic_cast<const cSweets*>(object) ? flip != 0 : flip < 0;
    flying_.Add(new CScalingObject(object->GetCurrentSprite(), static_cast<float>(at.x),
                                   static_cast<float>(at.y), mirrored ? 1 : 0));
}

void cGame::rightButtonDown(int x, int y) {
    for (int i = 0; i < objectCount_; ++i) {
        cLevelObj* object = objects_[i];
        if (!object->HitTestPoint(x, y)) continue;
        cLevelObj* at = object;
        const cRequest* request = pendingOrder(object);
        if (!request) {
            // A right click on a musician's outline object withdraws his music.
            const cRequest* music = FindRequest(kMusic, false);
            cMusician* musician = music ? dynamic_cast<cMusician*>(music->GetTarget()) : nullptr;
            if (musician && musician->GetOutlineObject() == object) {
                request = music;
                at = musician;
            }
        }
        if (HeroLink* hero = request ? request->GetHero() : nullptr) {
            hero->RemoveTask(request->GetKind(), at);
            break;
        }
    }
    for (int i = 0; i < clientCount_; ++i) {
        cClient* client = GetClient(i);
        if (!client) continue;
        cBaseObj* hit = client->HitTestPoint(x, y) ? client : nullptr;
        if (!hit)
            if (cBaseObj* linked = client->GetLinked())
                if (linked->HitTestPoint(x, y)) hit = linked;
        if (!hit || !hit->IsEnabled()) continue;
        const cRequest& request = hit->GetRequest();
        if (HeroLink* hero = request.GetHero())
            hero->RemoveTask(request.GetKind(), request.GetTarget());
    }
    if (dragged_) cancelDrag();
    selectedCarried_ = nullptr;
}

const cRequest* cGame::pendingOrder(cLevelObj* object) {
    // Only an ordered object has an order to withdraw: the one of the client it serves, of the
    // client whose request it shows, or its own.
    if (!object->IsEnabled()) return nullptr;
    cBaseObj* client = FindClientByRequestTarget(object);
    if (!client) client = FindClientByRequestOwner(object);
    const cRequest* request = client ? &client->GetRequest() : &object->GetRequest();
    return request->GetKind() == kNoRequest ? nullptr : request;
}

int cGame::OnKeyUp(int key, intptr_t data) {
    cClient* client = dynamic_cast<cClient*>(dragged_);
    if (state_ == kPlaying && key == kLeftButton && client) {
        // Released over a room the guest is put down there. Released elsewhere after a real
        // drag, the guest goes back to the queue at once; released where it was picked up (a
        // click), it stays in hand until the next click.
        const int x = uiPackedX(data), y = uiPackedY(data);
        if (cRoom* room = roomAt(x, y)) {
            client->DropOnRoom(room);
            dragged_ = nullptr;
        } else if (std::abs(x - dragStart_.x) > kClickSlop || std::abs(y - dragStart_.y) > kClickSlop) {
            cancelDrag();
            client->HitTestPoint(x, y);
        }
    }
    return Window::OnKeyUp(key, data);
}

int cGame::OnChar(int character, intptr_t data) {
    if (typedEndsWith("rz5top")) ForceWin();
    if (typedEndsWith("rz5climbed")) FinishLevelNow();
    if (typedEndsWith("rz5fallen")) ForceDefeat();
    if (typedEndsWith("rz5coins")) money_ = kCheatMoney;
    return Window::OnChar(character, data);
}

int cGame::OnMouseMove(int buttons, intptr_t position) {
    const int result = Window::OnMouseMove(buttons, position);
    pointer_ = Point2i(uiPackedX(position), uiPackedY(position));
    if (state_ != kTutorial)
        for (int i = 0; i < objectCount_; ++i) objects_[i]->HitTestPoint(pointer_.x, pointer_.y);
    dragOver(pointer_.x, pointer_.y);
    return result;
}

int cGame::OnCommand(UIWnd* sender) {
    if (sender && strcmp(sender->section, "MenuBtn") == 0) {
        openPauseMenu();
        return 1;
    }
    return Window::OnCommand(sender);
}


void cGame::openPauseMenu() {
    sndStopGroup(SND_GROUP_SOUND);
    // The level leaves the stack but lives on: the pause menu's Resume pushes this same level.
    CloseSelf();
    Window* menu = gPauseMenu ? gPauseMenu() : nullptr;
    if (WM* wm = WM::Get(); wm && menu) wm->Push(menu, false, false, false);
}

bool cGame::objectOfType(const cLevelObj* object, const char* type) const {
    if (!object) return false;
    const char* section =
        *object->GetObjectsSection() ? object->GetObjectsSection() : object->GetSectionName();
    return strCmpNoCase(iniGetString(objectsFile_, section, "type", ""), type) == 0;
}

void cGame::ShowBanner(const char* key) {
    if (!banner_ || !key) return;
    banner_->SetText(bannerFont_, key, kBannerKind);
    banner_->Start();
}

void cGame::AddRoomUpgradeRecord(const char* record) {
    if (record && *record) upgradeRecords_.push_back(record);
    roomUpgradeDone_ = true;
}

// --- Counters -----------------------------------------------------------------------------------

void cGame::RefreshClientCounter() {
    if (!clients_) return;
    // Put together in place from the translation's own text: an admission in play allocates
    // nothing for it.
    const char16_t* label = iniGetWideGlobal(kTranslation, "#INTERFACE_CLIENTS");
    char digits[48];
    safeSnprintf(digits, sizeof digits, " %d/%d", clientsIn_ + clientsGone_, clientCount_);
    char16_t text[512];
    size_t n = 0;
    for (const char16_t* l = label; l && *l && n < sizeof text / sizeof *text - sizeof digits; ++l)
        text[n++] = *l;
    for (const char* d = digits; *d; ++d) text[n++] = static_cast<char16_t>(*d);
    text[n] = 0;
    clients_->SetTextW(text);
}

cGame* gameCreateLevel() {
    cGame* game = new cGame;
    for (int stage = 0; stage < cGame::kLoadStages; ++stage) game->LoadLevel(stage);
    return game;
}
