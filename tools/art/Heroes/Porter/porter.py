#!/usr/bin/env python3
"""Writes the SVG sources of the Porter's pictures into a folder: his eight walks and standing
pose, the same pushing the luggage trolley (the game draws the trolley) and walking a guest's dog,
the level's start and end animations and the small scripts of his services.

The Porter is the hotel's handyman and bellboy: a long Teal coat with Honey buttons and collar, a
round Teal cap with a Honey band. His arms are part of every picture. Every picture is a 64 x 96
frame with the foot point at (32, 92), so every section places it with spr_x -32 and spr_y -92;
the shadow (48 x 16) with shadow_x -24, shadow_y -8.

File names by animation section (frames in brackets):
  "WalkLeft" .. "WalkDownLeft"          walk_left .. walk_downleft (8 each)
  "Stand"                               stand (1)
  "Applause", "Hail", "Unhappy"         applause, hail, unhappy (4 each)
  "CartStand"                           cart_stand (1)
  "CartLeft" .. "CartDownLeft"          cart_left .. cart_downleft (8 each)
  "DogStand"                            dog_stand (1)
  "DogLeft" .. "DogDownLeft"            dog_left .. dog_downleft (8 each)
  "CardsStart", "CardsStand"            cards_start (4), cards_stand (1)
  "CardsLoop", "CardsEnd"               cards_loop (4), cards_end (4)
  "CasinoStart", "CasinoStand"          casino_start (4), casino_stand (1)
  "CasinoLoop", "CasinoEnd"             casino_loop (4), casino_end (4)
  "Chess"                               chess (4)
  "PhotoPrepare", "PhotoStand"          photo_prepare (4), photo_stand (1)
  "PhotoShoot", "PhotoDone"             photo_shoot (4), photo_done (4)
  "RepairUp", "RepairDown"              repair_up (4), repair_down (4)
  "RepairSwitchUp", "RepairSwitchDown"  repair_switch_up (4), repair_switch_down (4)
  "Souvenir"                            souvenir (4)
  [Main] "shadow_spr"                   shadow
Facing: the card, casino and souvenir pictures face right, so the game mirrors them towards a
guest at his left; chess, the photo and the repairs face left, towards the table, the guest or the
thing he mends. "RepairUp" works at a height, "RepairDown" kneeling; "RepairSwitchDown" goes down
on his knees and "RepairSwitchUp" stands up again. The dog walks in front of him on a lead.

usage: porter.py <output folder>
       porter.py --list     (the picture names, separated by ';', for the build)
"""

import math
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from figure import (ARMS_BEHIND, CORAL, CREAM, DEEP_TEAL, DUSK, FRAMES, HONEY, INK, OAK_LIGHT,  # noqa: E402
                    SKIN_DEEP, SKY, TEAL, WALKS, WALNUT, Look, bent_arm, circle, curve, ellipse, f,
                    figure, hand_at, hero_poses, mirror, outlined, rect, run, shadow, shoulder,
                    side_figure, svg, walks, whole)


def collar(look, view, cx, y, sway):
    """A stand-up Honey collar."""
    if view in ("back", "back3"):
        return curve(cx - 7, y + 1, cx, y + 3, cx + 7, y + 1, HONEY, width=3.5)
    if view == "side":
        return curve(cx - 4, y + 1, cx + 1, y + 2, cx + 6, y, HONEY, width=3.5)
    return (outlined("M%s,%s L%s,%s L%s,%s Z" % (f(cx - 7), f(y - 1), f(cx - 1), f(y - 1), f(cx - 3), f(y + 5)), HONEY, 1.5) +
            outlined("M%s,%s L%s,%s L%s,%s Z" % (f(cx + 1), f(y - 1), f(cx + 7), f(y - 1), f(cx + 3), f(y + 5)), HONEY, 1.5))


def cap(look, view, x, y, sway):
    """A round Teal cap with a Honey band, worn straight on top of the head."""
    dx = {"side": -2, "front3": -2, "back3": 2}.get(view, 0)
    x += dx
    out = outlined("M%s,%s L%s,%s Q%s,%s %s,%s L%s,%s Q%s,%s %s,%s Z" % (
        f(x - 10), f(y - 9), f(x - 9), f(y - 20), f(x), f(y - 23), f(x + 9), f(y - 20), f(x + 10), f(y - 9),
        f(x), f(y - 6), f(x - 10), f(y - 9)), TEAL, 2)
    out += curve(x - 10, y - 12, x, y - 9, x + 10, y - 12, HONEY, width=3)
    out += curve(x - 6, y - 19, x - 2, y - 21, x + 2, y - 21, CREAM, .6)
    if view in ("front", "front3", "side"):
        out += ellipse(x - (4 if view == "side" else 0), y - 7.5, 7 if view != "side" else 6, 2, DEEP_TEAL, 1.5)
    return out


PORTER = Look(coat=TEAL, coat_shade=DEEP_TEAL, trim=HONEY, legs=DEEP_TEAL, shoes=WALNUT, skin=SKIN_DEEP,
              hair=INK, hair_shade=WALNUT, hair_style="short", hem=72, width=1, collar=collar,
              over_head=cap)

NEAR, FAR = (31, 47), (34, 47)


def right(text):
    """A side view turned to face right."""
    return mirror(text, True)


def card(x, y, angle=0.0):
    return ('<g transform="rotate(%s %s %s)">%s%s</g>'
            % (f(angle), f(x), f(y), rect(x - 3, y - 4, 6, 8, CREAM, 1, 1.2), rect(x - 1.5, y - 2.5, 3, 5, CORAL, .5, 0)))


def deck(x, y):
    return rect(x - 3.5, y - 4, 7, 9, CORAL, 1.2, 1.5) + curve(x - 2, y - 2.5, x, y - 3, x + 2, y - 2.5, CREAM, .7, 1.2)


def cards(name, t):
    """Facing left while drawn, turned right on output: the deck comes out, cards are dealt one by
    one towards the guest, the cards are gathered and put away."""
    hold = (60, 160)  # both hands before the chest
    if name in ("cards_start", "cards_end"):
        k = t if name == "cards_start" else 1 - t  # how far the deck is out
        near = (0 + 60 * k, 0 + 160 * k)
        far = (0 + 50 * k, 0 + 150 * k)
        hx, hy = hand_at(*NEAR, *near)
        return side_figure(PORTER, near, far, held=deck(hx, hy - 3) if k > 0.3 else "")
    hx, hy = hand_at(*FAR, 50, 150)
    if name == "cards_stand":
        return side_figure(PORTER, hold, (50, 150), held=deck(hx, hy - 3))
    # cards_loop: the near hand flicks a card forward, off it flies
    flick = math.sin(math.pi * t)
    near = (60 + 30 * flick, 160 - 70 * flick)
    cx, cy = hand_at(*NEAR, *near)
    fly = card(cx - 14 * t, cy - 4 * flick, -90 * t) if t > 0 else ""
    return side_figure(PORTER, near, (50, 150), held=deck(hx, hy - 3), front=fly)


def wheel_hand(t):
    return (55 + 25 * math.cos(2 * math.pi * t), 80 + 30 * math.sin(2 * math.pi * t))


def casino(name, t):
    """Facing left while drawn, turned right on output: he reaches for the roulette wheel, spins
    it with a round sweep of the hand and then opens his hand to the guest."""
    if name == "casino_start":
        k = t + 0.25
        return side_figure(PORTER, (80 * k, 80 * k), None)
    if name == "casino_stand":
        return side_figure(PORTER, (80, 80), None)
    if name == "casino_loop":
        return side_figure(PORTER, wheel_hand(t), None)
    # casino_end: the hand opens towards the guest, a smile
    k = math.sin(math.pi * (t + 1) / 2) if t else 1.0
    return side_figure(PORTER, (80 + 40 * (1 - k), 80 + 80 * (1 - k)), None, mood="happy")


def chess(t):
    """Leaning over the board: he picks up a piece, moves it and lets go."""
    lift = math.sin(math.pi * t)
    near = (45 + 10 * t, 70 + 10 * t - 20 * lift)
    hx, hy = hand_at(*NEAR, *near)
    pawn = (circle(hx, hy - 6, 2.2, CREAM, 1.2) +
            outlined("M%s,%s L%s,%s H%s L%s,%s Z" % (f(hx - 1.8), f(hy - 4.5), f(hx - 3), f(hy - 1), f(hx + 3),
                                                     f(hx + 1.8), f(hy - 4.5)), CREAM, 1.2)) if t > 0 else ""
    return rotate_lean(side_figure(PORTER, near, None, held=""), 4) + pawn


def rotate_lean(text, angle):
    """The whole figure leaning forward from the feet."""
    return '<g transform="rotate(%s 32 90)">%s</g>' % (f(-angle), text)


def camera(x, y):
    return (rect(x - 7, y - 5, 14, 10, DUSK, 2) + circle(x - 7, y, 3.2, SKY, 1.5) +
            rect(x - 1, y - 8, 6, 3, INK, .8, 1))


def photo(name, t):
    """He raises the camera to his eye, holds it, shoots (a flash at the lens) and lowers it."""
    up = {"photo_prepare": t + 0.25, "photo_stand": 1.0, "photo_shoot": 1.0, "photo_done": 0.75 - t}[name]
    near = (0 + 60 * up, 0 + 170 * up)
    far = (0 + 50 * up, 0 + 175 * up)
    hx, hy = hand_at(*NEAR, *near)
    cam = camera(hx - 2, hy - 8) if up > 0.5 else ""
    flash = ""
    if name == "photo_shoot" and t in (0.25, 0.5):
        r = 9 if t == 0.25 else 6
        cx, cy = hx - 12, hy - 8
        pts = " ".join("%s,%s" % (f(cx + (r if i % 2 == 0 else r / 3) * math.cos(i * math.pi / 4)),
                                  f(cy + (r if i % 2 == 0 else r / 3) * math.sin(i * math.pi / 4))) for i in range(8))
        flash = '<polygon points="%s" fill="%s" stroke="%s" stroke-width="1.5"/>' % (pts, CREAM, HONEY)
    mood = "happy" if name == "photo_done" else "calm"
    return side_figure(PORTER, near, far, mood=mood, front=cam + flash)


def wrench(x, y, angle):
    return ('<g transform="rotate(%s %s %s)">%s%s</g>' % (
        f(angle), f(x), f(y), rect(x - 1.5, y - 13, 3, 13, DUSK, 1, 1.5),
        outlined("M%s,%s a4,4 0 1 1 4,0 l-1,-3 h-2 Z" % (f(x - 2), f(y - 13)), DUSK, 1.5)))


def repair(name, t):
    """Mending: up high, tapping with the wrench above his head; or kneeling at something low."""
    s = math.sin(2 * math.pi * t)
    if name == "repair_up":
        near = (120 + 10 * s, 150 + 15 * s)
        hx, hy = hand_at(*NEAR, *near)
        return side_figure(PORTER, near, (100, 120), held="", front=wrench(hx, hy, -60 + 20 * s))
    if name == "repair_down":
        near = (50 + 10 * s, 80 + 20 * s)
        hx, hy = hand_at(*NEAR, *near)
        return side_figure(PORTER, near, (40, 60), crouch=12, held=wrench(hx, hy, -100 + 20 * s))
    k = t if name == "repair_switch_down" else 1 - t  # how far down he is
    return side_figure(PORTER, (50 * k, 80 * k), (40 * k, 60 * k), crouch=12 * k if k > 0 else 0)


def gift(x, y):
    return (rect(x - 5, y - 5, 10, 9, CORAL, 1.5, 1.5) + '<path d="M%s,%s V%s M%s,%s H%s" stroke="%s" stroke-width="1.8"/>'
            % (f(x), f(y - 5), f(y + 4), f(x - 5), f(y - 1), f(x + 5), HONEY) +
            outlined("M%s,%s q-4,-4 -1,-5 q1,1 1,5 q0,-4 1,-5 q3,1 -1,5 Z" % (f(x), f(y - 5)), HONEY, 1))


def souvenir(t):
    """Facing left while drawn, turned right on output: he holds out a wrapped souvenir."""
    k = math.sin(math.pi * t / 1.5) if t else 0.0
    near = (20 + 60 * k, 40 + 60 * k)
    hx, hy = hand_at(*NEAR, *near)
    return side_figure(PORTER, near, None, mood="happy", front=gift(hx, hy - 5))


# The dog he walks: a small Oak dog with a Walnut ear, side view facing left, its feet on y.
def dog(x, y, t, view):
    s = math.sin(2 * math.pi * t)
    out = ""
    if view in ("front", "back"):
        out += ellipse(x, y - 6, 6.5, 6, OAK_LIGHT)
        if view == "front":
            out += circle(x, y - 14, 5.5, OAK_LIGHT)
            out += ellipse(x - 5, y - 14, 2, 3.5, WALNUT, 1.5) + ellipse(x + 5, y - 14, 2, 3.5, WALNUT, 1.5)
            out += circle(x - 2, y - 15, .9, INK, 0) + circle(x + 2, y - 15, .9, INK, 0) + circle(x, y - 12, 1.3, INK, 0)
            out += curve(x - 3, y - 9.5, x, y - 8.5, x + 3, y - 9.5, CORAL, width=2.5)
        else:
            out += curve(x, y - 11, x + 2 * s, y - 18, x + 4 * s, y - 20, INK, width=4.5)
            out += curve(x, y - 11, x + 2 * s, y - 18, x + 4 * s, y - 20, OAK_LIGHT, width=2.2)
            out += circle(x, y - 13, 5, OAK_LIGHT) + ellipse(x - 5, y - 12, 2, 3.5, WALNUT, 1.5) + ellipse(x + 5, y - 12, 2, 3.5, WALNUT, 1.5)
        return out
    for lx, phase in ((x - 5, s), (x + 5, -s)):
        out += '<path d="M%s,%s L%s,%s" stroke="%s" stroke-width="4" stroke-linecap="round"/>' % (
            f(lx), f(y - 6), f(lx - 2 * phase), f(y - 1), INK)
        out += '<path d="M%s,%s L%s,%s" stroke="%s" stroke-width="2" stroke-linecap="round"/>' % (
            f(lx), f(y - 6), f(lx - 2 * phase), f(y - 1), OAK_LIGHT)
    out += curve(x + 7, y - 9, x + 10, y - 14, x + 11 + s, y - 16, INK, width=4)
    out += curve(x + 7, y - 9, x + 10, y - 14, x + 11 + s, y - 16, OAK_LIGHT, width=2)
    out += ellipse(x, y - 9, 8, 4.5, OAK_LIGHT)
    out += ellipse(x + 2, y - 10, 3, 2, WALNUT, 0)
    out += circle(x - 8, y - 14, 4.5, OAK_LIGHT)
    out += ellipse(x - 12.5, y - 12.5, 2.5, 1.8, OAK_LIGHT, 1.5) + circle(x - 14.5, y - 13, .9, INK, 0)
    out += circle(x - 9.5, y - 15, .8, INK, 0)
    out += ellipse(x - 6, y - 14, 2, 3.5, WALNUT, 1.5)
    out += curve(x - 5, y - 10.5, x - 8, y - 9.5, x - 11, y - 10.5, CORAL, width=2)
    return out


# Per view: where the dog walks (x, feet y), whether he hides it, and the hand holding the lead
# with the arm's (upper, fore) angles. His right hand holds it in front views, the left otherwise.
DOG_AT = {
    "side": (12, 91, False, "left", (35, 50)),
    "front3": (10, 92, False, "right", (30, 20)),
    "back3": (10, 84, True, "left", (35, 45)),
    "front": (9, 92, False, "right", (25, 10)),
    "back": (10, 84, True, "left", (25, 10)),
}


def with_dog(view, t, stand=False):
    x, y, hidden, side, angles = DOG_AT[view]
    body, arms_of = figure(PORTER, view, None if stand else t)
    sx = shoulder(PORTER, view, side)
    bob = 0.0 if stand else -1.5 * (1 - abs(math.sin(2 * math.pi * t)))
    lead_arm = bent_arm(PORTER, sx, 47 + bob, *angles)
    hx, hy = hand_at(sx, 47 + bob, *angles)
    animal = dog(x, y, t, view)
    collar_x = x - 7 if view in ("side", "front3", "back3") else x
    collar_y = y - 12 if view in ("side", "front3", "back3") else y - 9
    lead = curve(hx, hy + 1, (hx + collar_x) / 2, max(hy, collar_y) + 6, collar_x, collar_y, CORAL, width=1.8)
    arm_of = {s: (lead_arm if s == side else arms_of[s][0]) for s in ("left", "right")}
    behind = ARMS_BEHIND[view]
    front = [s for s in ("left", "right") if s not in behind]
    figure_text = "".join(arm_of[s] for s in behind) + body + "".join(arm_of[s] for s in front)
    if hidden:
        return animal + figure_text + lead
    return figure_text + animal + lead


def pictures():
    """Every picture by file name (without extension): the SVG text."""
    out = walks(PORTER)
    out["stand"] = svg([whole(PORTER, "front", None)])
    out.update(hero_poses(PORTER))
    out.update(walks(PORTER, "cart_", busy=True))
    out["cart_stand"] = svg([whole(PORTER, "front", None, busy=True)])
    for direction, view, mirrored in WALKS:
        out["dog_" + direction] = svg([mirror(with_dog(view, i / FRAMES), mirrored) for i in range(FRAMES)])
    out["dog_stand"] = svg([with_dog("front", 0.25, stand=True)])
    for name in ("cards_start", "cards_loop", "cards_end"):
        out[name] = svg([right(cards(name, i / 4)) for i in range(4)])
    out["cards_stand"] = svg([right(cards("cards_stand", 0))])
    for name in ("casino_start", "casino_loop", "casino_end"):
        out[name] = svg([right(casino(name, i / 4)) for i in range(4)])
    out["casino_stand"] = svg([right(casino("casino_stand", 0))])
    out["chess"] = svg([chess(i / 4) for i in range(4)])
    for name in ("photo_prepare", "photo_shoot", "photo_done"):
        out[name] = svg([photo(name, i / 4) for i in range(4)])
    out["photo_stand"] = svg([photo("photo_stand", 0)])
    for name in ("repair_up", "repair_down", "repair_switch_up", "repair_switch_down"):
        out[name] = svg([repair(name, i / 4) for i in range(4)])
    out["souvenir"] = svg([right(souvenir(i / 4)) for i in range(4)])
    out["shadow"] = shadow()
    return out


if __name__ == "__main__":
    sys.exit(run(sys.argv, pictures, "porter.py"))
