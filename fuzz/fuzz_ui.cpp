// Fuzzes the widget layer: arbitrary bytes as a layout file (up to a line "--") and a key-frame
// file (after it); a window is built from every section (by its type, and also as a nine-piece
// frame and as a name box), then updated, drawn and given keys, characters, pointer moves and the
// layout editor's keys through the window manager.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "engine/platform/engine.h"
#include "fuzz/fuzz_support.h"
#include "ui/ui.h"

namespace {

constexpr char kSplit[] = "\n--\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    size_t layoutSize = size;
    for (size_t i = 0; i + sizeof kSplit - 1 <= size; ++i)
        if (memcmp(text + i, kSplit, sizeof kSplit - 1) == 0) {
            layoutSize = i;
            break;
        }
    const std::string layout = fuzzsupport::writeScratch("layout.ini", data, layoutSize);
    const size_t keysAt = layoutSize + (layoutSize < size ? sizeof kSplit - 1 : 0);
    const std::string keys = fuzzsupport::writeScratch("keys.ini", data + keysAt, size - keysAt);
    iniFreeAll();

    static HSPRITE target = grCreateSprite(320, 240, "fuzz target");
    grSetTarget(target);
    grSetClip(target, 0, 0, 320, 240);

    char sections[2048];
    iniGetSections(layout.c_str(), sections, sizeof sections);
    Window window;
    window.Create(layout.c_str(), sections[0] ? sections : "none");
    const int relative = size & 1, center = (size >> 1) & 1;
    int made = 0;
    for (const char* s = sections; *s && made < 200; s += strlen(s) + 1, ++made) {
        if (made % 7 == 1) {
            auto* frame = new cFrame;
            if (window.AddChild(frame)) frame->Load(layout.c_str(), s);
            else delete frame;
        }
        if (made % 7 == 3) {
            auto* box = new UIEntryIE_Repaired;
            if (window.AddChild(box)) box->Load(layout.c_str(), s);
            else delete box;
        }
        UIWnd* w = CreateChildFromIni(&window, layout.c_str(), s, relative, center);
        // Key frames from the second file too, whatever the layout names.
        if (auto* anim = dynamic_cast<UIAnimWnd*>(w)) {
            UIAnimWnd probe;
            iniWriteString(layout.c_str(), s, "animkey", keys.c_str());
            probe.Load(layout.c_str(), s);
            anim->keyCount = probe.keyCount;
            memcpy(anim->keys, probe.keys, sizeof anim->keys);
        }
    }

    WM::Create();
    WM* wm = WM::Get();
    wm->Push(&window, false, (size >> 2) & 1, (size >> 3) & 1);
    uiShowBounds = (size >> 4) & 1;
    for (int step = 0; step < 16; ++step) {
        wm->Update(step < 13 ? 25 : 1000);
        const intptr_t at = uiPack((step * 37) % 320, (step * 53) % 240);
        wm->OnMouseMove(step & 1, at);
        const int key = step % 4 == 0 ? kUiEnter : step % 4 == 1 ? kUiLeftButton : 37 + step % 4;
        wm->OnKeyDown(key, at);
        wm->OnKeyUp(key, at);
        wm->OnChar(step % 5 == 0 ? 8 : 'a' + step, 0);
        wm->OnKeyDown(step % 2 ? 8 : 46, 0);
        if (UIWnd* a = window.activeChild()) a->SetValue(static_cast<float>(step * 3 - 7));
        window.FocusNext(step - 3, (step % 3) - 1);
        wm->Render();
    }
    uiLayoutEditor = (size >> 5) & 1;
    if (uiLayoutEditor) {
        for (int key : {1, 39, 40, 113}) {
            wm->OnKeyDown(key, uiPack(1, 1));
            wm->OnKeyUp(key, uiPack(1, 1));
        }
    }
    uiLayoutEditor = 0;
    uiShowBounds = 0;
    WM::Destroy();
    iniFreeAll();
    return 0;
}
