// Carried objects: their stock, the gift's label and the sweets' candies, and what handing one
// to a client does.
#include "world/gift.h"

#include <cstdio>

#include "core/text.h"
#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "world/client.h"
#include "world/coordinates.h"
#include "world/draw_list.h"
#include "world/links.h"

namespace {

// The "inifile" of an owned gift or sweets section, copied out of the INI store's rotating
// buffers; false when there is nothing to build from.
bool carriedFile(char* out, size_t size, const char* objectsFile, const char* section,
                 const ObjectItemInfo* item) {
    if (!item) return false;
    StrCopyN(out, iniGetString(objectsFile, section, "inifile", ""), static_cast<int>(size));
    return *out != 0;
}

void drawCentred(HSPRITE s, Point2i at, int flipX, int flipY) {
    if (!s) return;
    const int w = spriteWidth(s), h = spriteHeight(s);
    grDraw(sMaterial(4, 4, 1, 30), at.x - w / 2, at.y - h / 2, flipX ? -w : w, flipY ? -h : h, s,
           0, 0, w, h, 0xFFFFFFFFu, 0);
}

}  // namespace

// --- cDragObj ----------------------------------------------------------------------------------

cDragObj::cDragObj() : count_(0) {}

void cDragObj::Load(const char* iniFile, int index) {
    if (!iniFile || !*iniFile) return;
    char section[64];
    safeSnprintf(section, sizeof section, "Main%d", index);
    cLevelObj::Load(iniFile, section);
    count_ = iniGetInt(iniFile, section, "count", 0);
    if (count_ < 0 || count_ > kMaxCount) {
        const int taken = count_ < 0 ? 0 : kMaxCount;
        logPrintf("%s [%s] \"count\": %d is out of 0..%d; %d taken\n", iniFile, section, count_,
                  kMaxCount, taken);
        count_ = taken;
    }
}

void cDragObj::cheer(cClient* client, bool happier) {
    client->GetRequest().StartAlert();
    if (happier) client->BecomeHappier();
    client->ReactHappy();
    client->PlayHappySound();
    if (client->GetRequest().GetKind() == kCalmBaby) client->OnServiceEnd(true);
}

// --- cGift -------------------------------------------------------------------------------------

cGift::cGift() : font_(nullptr) {}

cGift::~cGift() { grFreeFont(font_); }

cLevelObj* cGift::Make(const char* objectsFile, const char* section, const char*, int,
                       const ObjectItemInfo* item) {
    char file[256];
    if (!carriedFile(file, sizeof file, objectsFile, section, item)) return nullptr;
    cGift* gift = new cGift();
    gift->Load(file, item->value);
    return gift;
}

void cGift::Load(const char* iniFile, int index) {
    if (!iniFile || !*iniFile) return;
    cDragObj::Load(iniFile, index);
    grFreeFont(font_);
    font_ = iniReadFont(iniFile, "Font", "font");
}

void cGift::Draw(DrawList* list) {
    if (count_ == 0 || !list) return;
    cLevelObj::Draw(list);
    if (count_ <= 1 || !font_) return;
    char label[9];
    safeSnprintf(label, sizeof label, "x%d", count_);
    const AnimDesc* r = CurrentAnim();
    const HSPRITE s = r ? r->sprite : nullptr;
    const Point2i middle = body_.position.ToPoint2i() +
                           (r ? Point2i(r->spr_x, r->spr_y) : Point2i(0, 0)) +
                           Point2i(spriteWidth(s) / 2, spriteHeight(s) / 2);
    const Point2i p = list->ToScreen(middle);
    grDrawTextA(font_, p.x, p.y, label, 0, 0, 0);
}

void cGift::DrawAtCursor(Point2i cursor) {
    const AnimDesc* r = CurrentAnim();
    if (r) drawCentred(r->sprite, cursor, 0, 0);
}

void cGift::GiveTo(cClient* client) {
    if (!client || count_ <= 0) return;
    --count_;
    cheer(client, true);
}

// --- cSweets -----------------------------------------------------------------------------------

cSweets::~cSweets() { freeCandies(); }

cLevelObj* cSweets::Make(const char* objectsFile, const char* section, const char*, int,
                         const ObjectItemInfo* item) {
    char file[256];
    if (!carriedFile(file, sizeof file, objectsFile, section, item)) return nullptr;
    cSweets* sweets = new cSweets();
    sweets->Load(file, item->value);
    return sweets;
}

void cSweets::freeCandies() {
    for (uint32_t i = 0; i < candies_.size(); ++i) spriteFree(&candies_[i].sprite);
    candies_.clear();
}

void cSweets::Load(const char* iniFile, int index) {
    if (!iniFile || !*iniFile) return;
    cDragObj::Load(iniFile, index);
    freeCandies();
    for (int i = 0; i < count_; ++i) {
        char section[32];
        safeSnprintf(section, sizeof section, "Candy%d", i);
        Candy candy;
        candy.sprite = iniReadAnimSprite(iniFile, section, "sprite");
        iniReadPoint(&candy.pos, iniFile, section, "pos");
        iniReadIntPair(&candy.flip, iniFile, section, "flip");
        candies_.push_back(candy);
    }
}

int cSweets::GetFlipX() const {
    return candies_.size() ? candies_[candies_.size() - 1].flip.x : 0;
}

HSPRITE cSweets::GetCurrentSprite() const {
    return candies_.size() ? candies_[candies_.size() - 1].sprite : nullptr;
}

void cSweets::Draw(DrawList* list) {
    if (!list) return;
    cLevelObj::Draw(list);
    GameLink* game = worldGame();
    const bool carried = game && game->GetSelectedDragObject() == this;
    const uint32_t shown = candies_.size() - (carried && candies_.size() ? 1 : 0);
    for (uint32_t i = 0; i < shown; ++i) {
        const Candy& c = candies_[i];
        if (!c.sprite) continue;
        const int w = spriteWidth(c.sprite), h = spriteHeight(c.sprite);
        const Point2i p = list->ToScreen(body_.position.ToPoint2i() + c.pos);
        const int dw = static_cast<int>(w * list->scale.x);
        const int dh = static_cast<int>(h * list->scale.y);
        grDraw(sMaterial(4, 4, 1, 30), p.x, p.y, c.flip.x ? -dw : dw, c.flip.y ? -dh : dh,
               c.sprite, 0, 0, w, h, 0xFFFFFFFFu, 0);
    }
}

void cSweets::DrawAtCursor(Point2i cursor) {
    if (!candies_.size()) return;
    const Candy& c = candies_[candies_.size() - 1];
    drawCentred(c.sprite, cursor, c.flip.x, c.flip.y);
}

void cSweets::GiveTo(cClient* client) {
    if (!client || !candies_.size()) return;
    const uint32_t last = candies_.size() - 1;
    spriteFree(&candies_[last].sprite);
    candies_.erase(last);
    count_ = static_cast<int32_t>(candies_.size());
    cheer(client, false);
}
