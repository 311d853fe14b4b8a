// The level's clients in its fixed step and in its picture: their updates, the evening-out of the
// last two clients' requests, and the client being dragged drawn over the hotel.
#include "game/game.h"
#include "world/client.h"

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
