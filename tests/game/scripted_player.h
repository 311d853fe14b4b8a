// A scripted player for a level: it looks only at what the hotel shows (guests, what they ask
// for, objects wanting a service, the panels' buttons) and acts through pointer messages, as a
// person at the mouse would.
#pragma once

#include <functional>

#include "core/values.h"

class cBaseObj;
class cClient;
class cGame;
class cRoom;

class ScriptedPlayer {
public:
    enum Mouse { kMove, kPress, kRelease };
    // Where the pointer messages go: the window manager directly, or the shell's message hook.
    using Send = std::function<void(Mouse, Point2i)>;

    ScriptedPlayer(cGame* game, Send send) : game_(game), send_(std::move(send)) {}
    // The sender that hands the pointer straight to the window manager.
    static Send AtWindowManager();

    // One look at the hotel and everything it asks for: resting heroes called out, the head of
    // the check-in queue carried into a free room, every object and guest asking to be clicked,
    // and every monster about struck.
    void React();

    // A point where the object answers the pointer, searched over its bounds; (-1, -1) when none.
    static Point2i HitPoint(cBaseObj* object);
    cClient* HeadOfCheckIn() const;
    // A free room: the grade the guest asks for first, else the nearest.
    cRoom* FreeRoomFor(const cClient* guest) const;

    void MoveTo(Point2i p) { send_(kMove, p); }
    void Press(Point2i p) {
        MoveTo(p);
        send_(kPress, p);
    }
    void Release(Point2i p) { send_(kRelease, p); }
    void Click(Point2i p) {
        Press(p);
        Release(p);
    }

private:
    cGame* game_;
    Send send_;
};
