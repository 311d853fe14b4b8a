// The level screen's side of its command panels (loading them and offering them the level's
// kinds, the flash after a wrong action) and of the tutorial's hints that freeze the level.
#include <cstring>

#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/platform/log.h"
#include "game/game.h"
#include "game/panel.h"
#include "world/request.h"

void cGame::LoadCommandPanels() {
    const char* const keys[2] = {"LeftPanel", "RightPanel"};
    for (int i = 0; i < 2; ++i) {
        char file[kUiFileSize];
        StrCopyN(file, iniGetString(kInterfaceFile, "Panels", keys[i], ""), sizeof file);
        if (!*file) continue;
        cCommandPanel* panel = new cCommandPanel;
        panel->Load(file, "Main");
        if (!AddChild(panel)) {
            delete panel;
            continue;
        }
        panels_[i] = panel;
    }
    cCommandPanel* left = panels_[0];
    cCommandPanel* right = panels_[1];
    if (right) right->AddRequest(kRepair);
    if (left) {
        left->AddRequest(kClean);
        if (flowerCount_ > 0) left->AddRequest(kWater);
    }
    // Each panel keeps only its own hero's kinds.
    for (uint32_t i = 0; i < kindsInUse_.size(); ++i) {
        const int kind = kindsInUse_[i];
        if (kind == kRepair || kind == kClean || kind == kWater) continue;
        for (cCommandPanel* panel : panels_)
            if (panel) panel->AddRequest(kind);
    }
    kindsInUse_.clear();
}

void cGame::FlashCommandPanels(int kind) {
    for (cCommandPanel* panel : panels_)
        if (panel) panel->FlashRequest(kind);
}

void cGame::OnTutorialEvent(const char* name, Point2i pos, Point2i size) {
    openHint(name, pos, size, -1);
}

void cGame::OnTutorialEventAt(const char* name, Point2i centre, int radius) {
    openHint(name, centre, Point2i(0, 0), radius < 0 ? 0 : radius);
}

void cGame::openHint(const char* name, Point2i point, Point2i size, int radius) {
    if (!gTutorial || !name || state_ != kPlaying || (point.x < 1 && point.y < 1) ||
        gTutorial->WasShown(name))
        return;
    gTutorial->SetLevel(&tutorialBridge_);
    const bool opened =
        radius < 0 ? gTutorial->Show(name, point, size) : gTutorial->ShowAt(name, point, radius);
    if (!opened) return;
    waiting_.valid = false;
    state_ = kTutorial;
    // The room hint guides the drag on; any other puts the guest back where it stood.
    if (dragged_ && strcmp(name, "CheckIn_End") != 0) cancelDrag();
}

bool cGame::TutorialHintShown(const char* name) { return gTutorial && gTutorial->WasShown(name); }

void cGame::ResumeFromTutorial() { state_ = kPlaying; }

cGame::TutorialBridge::~TutorialBridge() {
    if (gTutorial && gTutorial->GetLevel() == this) gTutorial->SetLevel(nullptr);
}

void cGame::TutorialBridge::ResumeFromTutorial() { game_->ResumeFromTutorial(); }

int cGame::TutorialBridge::OnButtonDown(int button, intptr_t position) {
    return game_->OnKeyDown(button, position);
}
