// Speed of drawing a screen of widgets: a 1024 x 768 window of about 100 widgets (background,
// sprites, end-cap buttons, word-wrapped texts, a nine-piece frame holding two bars, a switch and
// an edit box) under a settled modal dialog of 10 widgets, drawn by the window manager, beside a
// reference loop that draws the same picture straight through the blitter. Both must give the
// same pixels; the check runs before the measurements.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "bench/synthetic_font.h"
#include "bench/ui_reference.h"
#include "engine/data/ini.h"
#include "engine/gr/image.h"
#include "engine/gr/sprite.h"
#include "ui/ui.h"

namespace {

using benchref::drawReferenceWidget;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kSprites = 60, kButtons = 24, kTexts = 15, kDialogButtons = 8;
constexpr char kLayout[] = "bench.ini";
constexpr char kWords[] =
    "Rooms are cleaned, luggage carried and clients greeted with a smile all day long";

bool saveTga(const std::string& name, int width, int height, uint32_t argb, bool withAlpha) {
    std::vector<uint8_t> px(static_cast<size_t>(width) * height * (withAlpha ? 4 : 3));
    const int bytes = withAlpha ? 4 : 3;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &px[(static_cast<size_t>(y) * width + x) * bytes];
            const int shade = (x * 7 + y * 3) & 63;
            p[0] = static_cast<uint8_t>((argb & 0xFF) ^ shade);
            p[1] = static_cast<uint8_t>(((argb >> 8) & 0xFF) ^ shade);
            p[2] = static_cast<uint8_t>(((argb >> 16) & 0xFF) ^ shade);
            if (withAlpha) {
                // Soft edges: the outer two pixels fade out.
                const int edge = std::min(std::min(x, width - 1 - x), std::min(y, height - 1 - y));
                p[3] = edge >= 2 ? static_cast<uint8_t>(argb >> 24) : static_cast<uint8_t>(edge * 100);
            }
        }
    cTGAImage writer;
    return writer.Save(name.c_str(), px.data(), withAlpha ? 32 : 24, width, -height) == 0;
}

std::string button(const char* name, int x, int y, int w) {
    char text[512];
    snprintf(text, sizeof text,
             "[%s]\ntype=ieButton\nstage=1\nx=%d\ny=%d\nxs=%d\nys=40\nname=%s\nxalign=0\n"
             "yalign=0\nnormal=mid.tga\nleftnormal=left.tga\nrightnormal=right.tga\n",
             name, x, y, w, name);
    return text;
}

// The screen and dialog layouts, written into a folder of their own with their pictures.
bool writeScene() {
    char folder[] = "/tmp/velmora_bench_ui_XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) return false;
    if (system("mkdir -p Data/fx") != 0) return false;
    bool ok = saveTga("Data/fx/darkness.tga", 16, 16, 0xFF000000, true) &&
              saveTga("bg.tga", kWidth, kHeight, 0x406080, false) &&
              saveTga("sprite.tga", 48, 48, 0xC0E0A040, true) &&
              saveTga("mid.tga", 8, 40, 0xFF3060C0, true) &&
              saveTga("left.tga", 16, 40, 0xFF2050A0, true) &&
              saveTga("right.tga", 16, 40, 0xFF2050A0, true) &&
              saveTga("panel.tga", 400, 300, 0xF0F0E0C0, true) && writeSyntheticFont("font") &&
              saveTga("corner.tga", 16, 16, 0xF0806040, true) &&
              saveTga("hedge.tga", 8, 16, 0xF0705030, true) &&
              saveTga("vedge.tga", 16, 8, 0xF0705030, true) &&
              saveTga("centre.tga", 8, 8, 0xE0302010, true) &&
              saveTga("track.tga", 200, 12, 0xFF304050, true) &&
              saveTga("fill.tga", 200, 12, 0xFFE0A030, true) &&
              saveTga("thumb.tga", 12, 20, 0xFFF0F0F0, true) &&
              saveTga("on.tga", 60, 24, 0xFF40C060, true) && saveTga("off.tga", 60, 24, 0xFF808080, true);
    if (!ok) return false;
    std::string ini = "[Screen]\nxs=1024\nys=768\nfont=font.tga\n[bg]\ntype=sprite\nignore=bg.tga\n";
    char text[512];
    for (int i = 0; i < kSprites; ++i) {
        snprintf(text, sizeof text, "[s%d]\ntype=sprite\nignore=sprite.tga\nx=%d\ny=%d\n", i,
                 20 + (i % 10) * 100, 420 + (i / 10) * 55);
        ini += text;
    }
    for (int i = 0; i < kButtons; ++i) {
        snprintf(text, sizeof text, "b%d", i);
        ini += button(text, 20 + (i % 4) * 250, 20 + (i / 4) * 45, 220);
    }
    for (int i = 0; i < kTexts; ++i) {
        snprintf(text, sizeof text,
                 "[t%d]\ntype=text\nx=%d\ny=%d\nxs=180\nys=80\nxalign=-1\nyalign=0\nname=%s\n", i,
                 20 + (i % 5) * 200, 290 + (i / 5) * 50, kWords);
        ini += text;
    }
    ini += "[frame]\nx=620\ny=290\nxs=380\nys=120\nleft_top=corner.tga\ntop=hedge.tga\n"
           "right_top=corner.tga\nright=vedge.tga\nright_bottom=corner.tga\nbottom=hedge.tga\n"
           "left_bottom=corner.tga\nleft=vedge.tga\ncenter=centre.tga\n";
    for (int i = 0; i < 2; ++i) {
        snprintf(text, sizeof text,
                 "[bar%d]\ntype=progress\nstage=1\nx=640\ny=%d\nys=12\n0=track\n1=fill\n2=thumb\n",
                 i, 310 + i * 30);
        ini += text;
    }
    ini += "[track]\nnormal=track.tga\n[fill]\nnormal=fill.tga\n[thumb]\nnormal=thumb.tga\n"
           "[switch]\ntype=switch\nstage=1\nx=860\ny=310\n0=on\n1=off\n[on]\nnormal=on.tga\n"
           "[off]\nnormal=off.tga\n"
           "[edit]\ntype=ieEdit\nstage=1\nx=860\ny=350\nxs=120\nys=40\nname=Velmora\n"
           "normal=mid.tga\nleftnormal=left.tga\nrightnormal=right.tga\n";
    ini += "[Dialog]\nx=312\ny=234\nxs=400\nys=300\nfont=font.tga\n[panel]\ntype=sprite\n"
           "ignore=panel.tga\n";
    snprintf(text, sizeof text, "[dtext]\ntype=text\nx=20\ny=20\nxs=360\nys=70\nname=%s\n", kWords);
    ini += text;
    for (int i = 0; i < kDialogButtons; ++i) {
        snprintf(text, sizeof text, "d%d", i);
        ini += button(text, 20 + (i % 2) * 190, 100 + (i / 2) * 45, 170);
    }
    FILE* f = fopen(kLayout, "w");
    if (!f) return false;
    fputs(ini.c_str(), f);
    return fclose(f) == 0;
}

struct Scene {
    bool ready = false;
    HSPRITE target = nullptr, darkness = nullptr;
    Window screen, dialog;
    // What the reference draws, prepared once: the widgets in drawing order and the wrapped
    // lines of each text.
    std::vector<UIWnd*> screenWidgets, dialogWidgets;
    std::vector<std::vector<std::u16string>> lines;

    Scene() {
        if (!writeScene()) return;
        target = grCreateSprite(kWidth, kHeight, "bench back buffer");
        grSetTarget(target);
        screen.Create(kLayout, "Screen");
        CreateChildFromIni(&screen, kLayout, "bg", 0, 0);
        char name[16];
        for (int i = 0; i < kSprites; ++i) {
            snprintf(name, sizeof name, "s%d", i);
            CreateChildFromIni(&screen, kLayout, name, 0, 0);
        }
        for (int i = 0; i < kButtons; ++i) {
            snprintf(name, sizeof name, "b%d", i);
            CreateChildFromIni(&screen, kLayout, name, 0, 0);
        }
        for (int i = 0; i < kTexts; ++i) {
            snprintf(name, sizeof name, "t%d", i);
            CreateChildFromIni(&screen, kLayout, name, 0, 0);
        }
        auto* frame = new cFrame;
        screen.AddChild(frame);
        frame->Load(kLayout, "frame");
        for (const char* control : {"bar0", "bar1", "switch", "edit"})
            CreateChildFromIni(&screen, kLayout, control, 0, 0);
        screen.children[screen.childCount() - 4]->SetValue(0.3f);
        screen.children[screen.childCount() - 3]->SetValue(0.75f);
        dialog.Create(kLayout, "Dialog");
        CreateChildFromIni(&dialog, kLayout, "panel", 1, 0);
        CreateChildFromIni(&dialog, kLayout, "dtext", 1, 0);
        for (int i = 0; i < kDialogButtons; ++i) {
            snprintf(name, sizeof name, "d%d", i);
            CreateChildFromIni(&dialog, kLayout, name, 1, 0);
        }
        WM::Create();
        WM::Get()->Push(&screen, false, false, false);
        for (int i = 0; i < 12; ++i) WM::Get()->Update(25);
        WM::Get()->Push(&dialog, false, true, false);
        for (int i = 0; i < 12; ++i) WM::Get()->Update(25);
        darkness = grLoadSprite("Data/fx/darkness.tga", nullptr, 0);
        for (Window* w : {&screen, &dialog})
            for (int i = 0; i < w->childCount(); ++i) {
                UIWnd* c = w->children[i];
                (w == &screen ? screenWidgets : dialogWidgets).push_back(c);
                auto* text = dynamic_cast<UITextStatic*>(c);
                lines.push_back(text ? text->WrappedLines() : std::vector<std::u16string>{});
            }
        ready = screen.childCount() == 1 + kSprites + kButtons + kTexts + 5 &&
                dialog.childCount() == 2 + kDialogButtons;
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void drawReference(Scene& sc) {
    size_t line = 0;
    for (UIWnd* w : sc.screenWidgets) drawReferenceWidget(w, sc.lines[line++]);
    grDraw(sMaterial(2, 4, 1, 30), 0, 0, kWidth, kHeight, sc.darkness, 0, 0,
           spriteWidth(sc.darkness), spriteHeight(sc.darkness), 127u << 24 | 0xFFFFFFu, 0);
    for (UIWnd* w : sc.dialogWidgets) drawReferenceWidget(w, sc.lines[line++]);
}

std::vector<uint16_t> pixels(HSPRITE target) {
    grLockSprite(target);
    std::vector<uint16_t> out;
    for (int y = 0; y < kHeight; ++y) {
        const uint16_t* row = reinterpret_cast<const uint16_t*>(
            reinterpret_cast<const uint8_t*>(target->pixels) + y * target->pitch);
        out.insert(out.end(), row, row + kWidth);
    }
    return out;
}

bool samePictures(Scene& sc) {
    WM::Get()->Render();
    const std::vector<uint16_t> managed = pixels(sc.target);
    drawReference(sc);
    const std::vector<uint16_t> reference = pixels(sc.target);
    size_t differ = 0;
    for (size_t i = 0; i < managed.size(); ++i) differ += managed[i] != reference[i];
    if (differ) fprintf(stderr, "bench_ui: %zu pixels differ between the two pictures\n", differ);
    return differ == 0;
}

// The fewest milliseconds per frame that any run of each benchmark took (the machine may be
// shared, so the best run is the steadiest figure), for the ratio printed at the end.
double gManagedMs = 0, gReferenceMs = 0;

template <class Draw>
void measure(benchmark::State& state, double* msPerFrame, Draw draw) {
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) draw();
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    const double ms = spent.count() / static_cast<double>(state.iterations());
    if (*msPerFrame == 0 || ms < *msPerFrame) *msPerFrame = ms;
}

void BM_WindowManagerRender(benchmark::State& state) {
    Scene& sc = scene();
    if (!sc.ready || !samePictures(sc)) {
        state.SkipWithError("the scene could not be built, or the pictures differ");
        return;
    }
    measure(state, &gManagedMs, [] { WM::Get()->Render(); });
}

void BM_ReferenceDraw(benchmark::State& state) {
    Scene& sc = scene();
    if (!sc.ready) {
        state.SkipWithError("the scene could not be built");
        return;
    }
    measure(state, &gReferenceMs, [&sc] { drawReference(sc); });
}

}  // namespace

BENCHMARK(BM_WindowManagerRender)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_ReferenceDraw)->Unit(benchmark::kMillisecond)->Repetitions(5);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (gManagedMs > 0 && gReferenceMs > 0)
        printf("window manager %.3f ms per frame, reference %.3f ms, ratio %.2f\n", gManagedMs,
               gReferenceMs, gManagedMs / gReferenceMs);
    return 0;
}
