// Banner captions: one line of text as letters that drop from above the screen, bounce on a floor
// line, rest, fade and leave; and a caption of two such lines so a second message can play while
// the first is still showing.
#pragma once

#include <cstdint>

#include "engine/gr/gr.h"

// The letters' start heights come from this 15-bit generator (0..32767), seeded by tests.
void captionSeedRandom(uint32_t seed);
int captionRandom();

struct BounceLetter {
    enum State { kIdle = 0, kFalling = 1, kResting = 2, kGone = 3 };

    uint32_t age = 0;  // ms
    char16_t character = 0;
    int glyphWidth = 0, glyphHeight = 0;
    int state = kIdle;
    float x = 0, y = 0;
    int floor = 300;
    float gravity = 98.0f;
    float velocity = 0;  // pixels per second, downwards
    float bounce = 0.3f;

    void Update(int ms);
};

// One line of bouncing letters, centred on the display with 2 pixels between letters. Holds its
// own reference to its font.
class cBounceText {
public:
    enum State { kIdle = 0, kPlaying = 1, kEmpty = 2 };
    static constexpr int kMaxLetters = 127;

    cBounceText() = default;
    ~cBounceText() { FreeFont(); }
    cBounceText(const cBounceText&) = delete;
    cBounceText& operator=(const cBounceText&) = delete;

    // Lays out the translation of key (kind 4; any other kind gives no text) from
    // Data/translation.ini, cut at 127 letters; the line stays idle until Go. The font held
    // before is released.
    void Start(CGraphFont* font, const char* key, int kind);
    void StartWide(CGraphFont* font, const char16_t* text, int kind);
    // Every letter takes the line's floor and starts falling.
    void Go();
    // True in the update in which the line ends: its first letter has gone, or it has no letters.
    bool Update(int ms);
    void Draw();
    void Reset();
    bool IsIdle() const { return state_ == kIdle; }
    void FreeFont();

    void SetFloor(int floor) { floor_ = floor; }
    int Count() const { return count_; }
    const BounceLetter& LetterAt(int i) const { return letters_[i]; }
    const char16_t* Text() const { return text_; }

private:
    void layOut(CGraphFont* font, const char16_t* text);

    int state_ = kIdle;
    int count_ = 0;
    char16_t text_[kMaxLetters + 1] = {};
    CGraphFont* font_ = nullptr;
    int displayWidth_ = 0, displayHeight_ = 0;
    int floor_ = 300;
    BounceLetter letters_[kMaxLetters + 1];
};

// Two lines: the first rests on y = 300, the second on y = 200. A new text goes to the first
// line when it is idle, else to the second; call SetText, then Start.
class cBounceCaption {
public:
    cBounceCaption() { lines_[1].SetFloor(200); }

    void SetText(CGraphFont* font, const char* key, int kind);
    void SetTextW(CGraphFont* font, const char16_t* text, int kind);
    void Start();
    bool Update(int ms);
    void Draw();
    void Reset();
    bool IsIdle() const { return lines_[0].IsIdle() && lines_[1].IsIdle(); }
    void FreeFonts();

    const cBounceText& Line(int i) const { return lines_[i]; }

private:
    cBounceText& nextLine();

    cBounceText lines_[2];
};
