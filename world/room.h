// Hotel rooms: grade and sign, the animated door, the do-not-disturb and closed signs, the
// upgrade cycle and the tint by fit while a client is dragged.
#pragma once

#include <cstdint>

#include "world/factory.h"
#include "world/level_object.h"

class cRoom : public cLevelObj {
public:
    // Room states besides the level object's: an upgrade request waits, the door opens or shuts.
    enum { kUpgradeWaits = 1, kNormal = 2, kOpening = 4, kClosing = 5 };

    cRoom();
    ~cRoom() override;

    // The object, its signs and points; the door starts shut.
    void Load(const char* iniFile, const char* section, int grade);
    using cLevelObj::Load;
    void Update(int ms) override;
    void Draw(DrawList* list) override;
    // In place of the outline highlight: the tint by fit while a client is dragged.
    void UpdateHighlight() override;
    // While a guest is dragged, the rooms that can take it are the lit drop targets.
    bool IsActionable() override;
    // No guest lives here, no request waits on it and it is not closed for the day.
    bool CanTakeGuest();
    bool CanBreak() override;

    // Ignored while the door opens or is open; with closeAfter it shuts again once open.
    void OpenDoor(bool closeAfter);
    // Ignored while the door shuts or is shut.
    void CloseDoor();
    bool IsDoorOpen() const { return animTime_ == 0; }
    bool IsDoorClosed() const { return animTime_ == doorPeriod() - 1; }

    int UpgradeLevel() const { return grade_; }
    // No guest, or the guest (and its partner) settled in the room.
    bool CanUpgrade();
    // The room asks for the upgrade, with time ms of extra wait, as soon as it is free.
    void BeginUpgrade(int time);
    void CompleteUpgrade();
    void MarkClosed() { closed_ = true; }
    bool IsClosed() const { return closed_; }
    bool IsUpgradePending() const { return upgradePending_; }
    bool HasBreakFlag() const { return breakFlag_; }
    void SetBreakFlag() { breakFlag_ = true; }
    void ClearBreakFlag() { breakFlag_ = false; }
    int GetRoomPulse() const { return roomPulse_; }

private:
    int doorPeriod() const;

    bool breakFlag_;
    HSPRITE sign_;  // the game data's: not ours to free
    HSPRITE dnd_, upgrade_, closedSign_;
    Point2i signPoint_, dndPoint_, upgradePoint_;
    int32_t grade_, upgradeTime_;
    bool closeAfter_, closed_, upgradePending_;
    float roomPhase_;
    int32_t roomPulse_;
};

// The factory's maker for "room" sections: the owned item's value is the grade.
cLevelObj* makeRoom(const char* objectsFile, const char* section, const char* levelsFile,
                    int level, const ObjectItemInfo* item);
