// Guests who bring a companion: the companion follows its partner through the queues, shares its
// room, asks for services of its own there and leaves angry together with it; the cowboy kid
// stands by while its partner waits and, bored, sets the partner's baby crying and runs about.
#pragma once

#include "core/array.h"
#include "world/client.h"

class cPairClient : public cClient {
public:
    explicit cPairClient(cClient* partner);
    ~cPairClient() override;

    using cClient::Load;
    // The client's file, then [Main] "follow_offset_x" and "follow_offset_y".
    void Load(const char* iniFile) override;
    void Update(int ms) override;
    // Nothing while following and nothing a second time; the partner leaves too.
    void LeaveAngry() override;
    // Only its own requests: the companion never asks for a check-out.
    void MakeRequest() override;
    // Keeps to the partner while following; joins it in its room.
    virtual void Follow();

    cClient* GetPartner() const { return partner_; }
    Point2i GetFollowOffset() const { return followOffset_; }

protected:
    void UpdateLeavingAngry() override;

    cClient* partner_;
    Point2i followOffset_;
};

class CowboyKid : public cPairClient {
public:
    // The kid's own pictures take the places of the card game's.
    enum {
        kAnimBotherStart = kAnimCardsStart,
        kAnimBotherLoop = kAnimCardsLoop,
        kAnimBotherEnd = kAnimCardsEnd
    };
    enum { kStateBeside = 21, kStateBothering = 22, kStateBotherLoop = 23 };

    explicit CowboyKid(cClient* partner);
    ~CowboyKid() override;

    using cPairClient::Load;
    // The companion's file with the bother pictures, the level's monsters' way points and
    // [Main] "stand_offset".
    void Load(const char* iniFile) override;
    void Update(int ms) override;
    // The guest, then its own bubble at its foot point.
    void Draw(DrawList* list) override;
    void Follow() override;

    const cArray<Point2i>& GetWayPoints() const { return wayPoints_; }
    Point2i GetStandOffset() const { return standOffset_; }

private:
    void runToWayPoint();
    void loadWayPoints();
    // At a way point, in its loop or running on to the next one.
    bool bothering() const;

    cClient* kidPartner_;
    cArray<Point2i> wayPoints_;
    Point2i standOffset_;
};
