// Things the player picks up with a click and hands to a client: gifts counted by a label, and
// sweets, each candy drawn on its own. Either makes the client happy and calms a crying baby.
#pragma once

#include <cstdint>

#include "core/array.h"
#include "world/factory.h"
#include "world/level_object.h"

class CGraphFont;
class cClient;

class cDragObj : public cLevelObj {
public:
    // The most items one object holds; a larger "count" is cut to it.
    static constexpr int kMaxCount = 999;

    cDragObj();

    using cLevelObj::Load;
    // From section "Main%d" of the file; nothing for an empty name. A negative "count" reads
    // as 0.
    virtual void Load(const char* iniFile, int index);
    // Drawn centred on the pointer while the player carries it.
    virtual void DrawAtCursor(Point2i cursor) = 0;
    // Hands one item to a client (null: to nobody, nothing happens).
    virtual void GiveTo(cClient* client) = 0;
    virtual int GetCount() const { return count_; }
    bool IsActionable() override { return count_ != 0 && hover_; }

protected:
    // The client's mood after receiving an item (happier: loyalty rises too); a "CalmBaby"
    // request is served by it.
    static void cheer(cClient* client, bool happier);

    int32_t count_;
};

class cGift : public cDragObj {
public:
    cGift();
    ~cGift() override;

    // The factory's maker for "gift" sections: built from the "inifile" with the owned item's
    // value as the index.
    static cLevelObj* Make(const char* objectsFile, const char* section, const char* levelsFile,
                           int level, const ObjectItemInfo* item);

    using cDragObj::Load;
    void Load(const char* iniFile, int index) override;
    // Nothing once given away; a count above 1 is shown as "x<count>".
    void Draw(DrawList* list) override;
    void DrawAtCursor(Point2i cursor) override;
    void GiveTo(cClient* client) override;

private:
    CGraphFont* font_;
};

class cSweets : public cDragObj {
public:
    cSweets() = default;
    ~cSweets() override;

    // The factory's maker for "sweets" sections, as for gifts.
    static cLevelObj* Make(const char* objectsFile, const char* section, const char* levelsFile,
                           int level, const ObjectItemInfo* item);

    using cDragObj::Load;
    // One candy per item from sections "Candy0", "Candy1" ...
    void Load(const char* iniFile, int index) override;
    // The bowl and its candies; the last one not while it is carried.
    void Draw(DrawList* list) override;
    // The last candy's mirroring; 0 without candies.
    int GetFlipX() const override;
    // The last candy's sprite; null without candies.
    HSPRITE GetCurrentSprite() const override;
    void DrawAtCursor(Point2i cursor) override;
    // Gives the last candy; an empty bowl gives nothing.
    void GiveTo(cClient* client) override;

private:
    struct Candy {
        HSPRITE sprite = nullptr;
        Point2i pos{0, 0};
        Point2i flip{0, 0};  // non-zero: mirrored on that axis
    };
    void freeCandies();

    cArray<Candy> candies_;
};
