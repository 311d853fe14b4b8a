// The level's clients in its fixed step, in its picture and under the player's hand: their updates,
// the evening-out of the last two clients' requests, clicks on clients and the drag of a guest.
#include "game/game.h"
#include "world/client.h"
#include "world/request.h"
#include "world/room.h"

void cGame::updateClients(int ms) {
    for (int i = 0; i < clientCount_; ++i)
        if (cClient* client = GetClient(i)) client->Update(ms);
    balanceLastClients();
}

void cGame::balanceLastClients() {
    if (clientCount_ <= 2) return;
    cClient* second = GetClient(clientCount_ - 2);
    cClient* last = GetClient(clientCount_ - 1);
    if (!second || !last) return;
    // So that the level does not wait on one guest's long stay after every other has gone.
    if (clientCount_ - clientsGone_ - clientsIn_ == 1 && second->GetRemainingRequests() < 2 &&
        last->GetRequestCount() > 1) {
        int less = -1, more = 1;
        last->AddRequestCount(less);
        second->AddRequestCount(more);
    }
    if (clientCount_ == clientsGone_ + 2 && second->GetRemainingRequests() > 0 &&
        last->GetRemainingRequests() > 0) {
        int more = (last->GetRemainingRequests() - second->GetRemainingRequests()) / 2;
        if (!more) return;
        int less = -more;
        last->AddRequestCount(less);
        second->AddRequestCount(more);
    }
}

void cGame::addClientsToDrawList() {
    const cBaseObj* dragged = GetDraggedObject();
    for (int i = 0; i < clientCount_; ++i) {
        cClient* client = GetClient(i);
        if (client && client != dragged) client->AddToDrawList(&drawList_);
    }
}

void cGame::drawDraggedClient() {
    cBaseObj* dragged = GetDraggedObject();
    if (!dragged) return;
    if (cClient* client = dynamic_cast<cClient*>(dragged))
        if (cBaseObj* linked = client->GetLinked()) linked->Draw(&drawList_);
    dragged->Draw(&drawList_);
}

// --- the player's hand on clients ---------------------------------------------------------------

void cGame::cancelDrag() {
    if (cClient* client = dynamic_cast<cClient*>(dragged_)) client->CancelDrag();
    dragged_ = nullptr;
}

cClient* cGame::clickClients(int x, int y, const cBaseObj* draggedAtStart, cClient* receiver) {
    for (int i = 0; i < clientCount_; ++i) {
        cClient* client = GetClient(i);
        if (!client) continue;
        for (cClient* hit : {client, dynamic_cast<cClient*>(client->GetLinked())}) {
            if (!hit || !hit->HitTestPoint(x, y)) continue;
            if (selectedCarried_ && hit->GetState() == cClient::kStateWaiting &&
                hit->GetRequest().IsWaiting())
                receiver = hit;
            if (!hit->CanOrderService()) {
                if (hit->GetState() == cClient::kStateWaiting)
                    if (cLevelObj* target = hit->GetRequest().GetTarget()) target->SignalWrongClick();
                continue;
            }
            const cRequest& request = hit->GetRequest();
            if (client->GetRequest().GetKind() == kCheckIn) {
                // The one carried when the click began was just put down; it is not picked up
                // again, and a guest handed a gift is not carried off with it.
                if (client != draggedAtStart && client != receiver && hit != receiver) {
                    client->BeginDrag(x, y);
                    dragged_ = client;
                    dragStart_ = Point2i(x, y);
                    pointCheckInRoom(client->GetRequest().GetGrade());
                }
                return receiver;
            }
            if (receiver) return receiver;
            switch (request.GetKind()) {
            case kCalmBaby: case kPhoto: case kSouvenir:
                OrderService(request.GetOwner());
                break;
            case kMusic:
                if (request.GetOwner() == request.GetTarget()) OrderService(request.GetOwner());
                break;
            case kCheckOut:
                // This guest's own check-out: the desk is also the target of other guests'
                // luggage, which the first request found there may be.
                OrderService(request.GetTarget(), &request);
                break;
            default:
                break;
            }
            return receiver;
        }
    }
    return receiver;
}

cRoom* cGame::roomAt(int x, int y) {
    for (int i = 0; i < objectCount_; ++i) {
        cRoom* room = dynamic_cast<cRoom*>(objects_[i]);
        if (room && room->HitTestPoint(x, y)) return room;
    }
    return nullptr;
}

void cGame::pointCheckInRoom(int grade) {
    // The hint shows where the guest goes: the free room of the grade it asks for.
    cLevelObj* room = FindRoomByNumber(grade);
    if (!room || FindClientAtObject(room)) return;
    const Body& b = room->GetBody();
    OnTutorialEvent("CheckIn_End", (b.position + b.boundOffset).ToPoint2i(),
                    b.boundSize.ToPoint2i());
}

void cGame::dragOver(int x, int y) {
    cClient* dragged = dynamic_cast<cClient*>(dragged_);
    if (dragged && state_ != kTutorial)
        for (int i = 0; i < objectCount_; ++i) {
            cRoom* room = dynamic_cast<cRoom*>(objects_[i]);
            if (!room || FindClientAtObject(room) || room->GetRequest().GetKind() != kNoRequest)
                continue;
            if (room->IsHovered())
                room->OpenDoor(false);
            else
                room->CloseDoor();
        }
    for (int i = 0; i < clientCount_; ++i) {
        cClient* client = GetClient(i);
        if (!client) continue;
        client->HitTestPoint(x, y);
        if (cBaseObj* linked = client->GetLinked()) linked->HitTestPoint(x, y);
    }
    if (dragged) dragged->DragTo(x, y);
}
