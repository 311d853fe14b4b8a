// The shop's live picture of the player's hotel: the episode's background and every placed
// object, drawn scaled into a rectangle of the screen through a draw list of its own.
#pragma once

#include "core/strmap.h"
#include "game/profile.h"

class cBaseObj;
class cLevelObj;
class DrawList;

class MiniLevel {
public:
    // Reads the current player's placed objects; a level point p is drawn at
    // (x + round(p.x * sx), y + round(p.y * sy)).
    MiniLevel(int x, int y, float sx, float sy);
    ~MiniLevel();
    MiniLevel(const MiniLevel&) = delete;
    MiniLevel& operator=(const MiniLevel&) = delete;

    void Update(int ms);
    // Draws the background, the objects and whatever AddToDraw added since the last frame.
    void Draw();
    // An object the preview does not own, drawn by the next Draw only.
    void AddToDraw(cBaseObj* object);
    void HideObject(const char* name);
    void ShowAll();
    // A bought object: replaces the one of its name only when its grade is higher.
    void AddObject(const RCPtr<cObjectItem>& record);

    cLevelObj* Object(const char* name) const;
    const cObjectItem* Record(const char* name) const;
    int ObjectCount() const { return static_cast<int>(objects_.size()); }
    DrawList& List() { return *list_; }

private:
    ObjectItemMap records_;
    cLevelObj* background_ = nullptr;
    cStrMap<cLevelObj*> objects_;
    DrawList* list_ = nullptr;
};
