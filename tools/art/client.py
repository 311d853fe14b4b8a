"""Every picture a hotel guest needs, for any Look: the eight walks, standing still and its
moods, the activities at the hotel's objects, sitting (the legs of a seated guest are pictures of
their own, drawn by the game in front of the chair), the two portraits for the request bubble and
the shadow. The scripts under Clients/ give each kind its Look and call pictures() here.

File names by animation section (frames in brackets; every frame 64 x 96 with the foot point at
(32, 92), placed with spr_x -32 and spr_y -92):
  "WalkLeft" .. "WalkDownLeft"   walk_left .. walk_downleft (8 each)
  "Stand"                        stand (1)
  "StandIdle"                    stand_idle (4)       a look at the watch
  "StandAngry", "StandHappy"     stand_angry, stand_happy (4 each)
  "ScaredStand", "ScaredSit"     scared_stand, scared_sit (4 each)
  "Music"                        music (4)            swaying to the tune
  "DrinkStand", "DrinkSit"       drink_stand, drink_sit (4 each)
  "Sit", "SitAngry", "SitHappy"  sit (1), sit_angry, sit_happy (4 each)
  "Chess"                        chess (4)
  "News", "NewsLoop"             news, news_loop (4 each), seated
  "CardsStart", "CardsIdle"      cards_start (4), cards_idle (1), seated
  "CardsLoop", "CardsEnd"        cards_loop (4), cards_end (4), seated
  "CasinoEnd"                    casino_end (4)       watching the wheel, then turning to cheer
  "Food"                         food (4), seated
  "LegsSit", "LegsChess"         legs_sit, legs_chess (1 each)
  "LegsPlaid", "LegsScared"      legs_plaid, legs_scared (1 each)
  [Main] "portrait_happy", "portrait_angry"   portrait_happy, portrait_angry (64 x 64 each)
  [Main] "shadow_spr"            shadow (48 x 16: shadow_x -24, shadow_y -8)
The moods and "Music" face the player; the activities and the seated pictures face left, towards
the object, and the game mirrors them like the object. A seated body sits SEAT_DROP (12) pixels
lower than a standing one; its legs share the body's frame and foot point, so the legs sections
also use spr_x -32 and spr_y -92 and "legs_offset" 0,1 puts them just in front of the body.
Where the request bubble stands depends on the kind's height: each kind's script gives its
"request_x" and "request_y".
"""

import copy
import math

from figure import (CORAL, CREAM, HONEY, INK, SAND, SEAT_DROP, SKY, circle, curve, f, figure, hand_at,
                    outlined, rect, rotate, shadow, shoe, side_figure, stand_arms, svg, translate, walks,
                    whole)

NEAR, FAR = (31, 47), (34, 47)
HIP = (33, 80)  # where a seated figure's thighs start


def front(look, mood="calm", left=None, right=None, lift=0.0):
    """The front view standing still, arms at rest or bent as given by (upper, fore) pairs."""
    body, _ = figure(look, "front", None, mood)
    arm_l, arm_r = stand_arms(look, left, right)
    behind = ("" if left else arm_l) + ("" if right else arm_r)
    over = (arm_l if left else "") + (arm_r if right else "")
    return translate(behind + body + over, 0, lift)


def shake(text, t, amount=1.2):
    return translate(text, amount * math.sin(8 * math.pi * t), 0)


def stand_idle(look, t):
    lift = math.sin(math.pi * t) ** 0.5
    return front(look, left=(-20, 160 - 60 * lift))


def stand_angry(look, t):
    s = math.sin(2 * math.pi * t)
    return front(look, "angry", left=(-40 - 15 * s, -170), right=(40, 150))


def stand_happy(look, t):
    hop = -3 * math.sin(math.pi * t)
    return front(look, "happy", left=(-150, -170), right=(150, 170), lift=hop)


def scared_stand(look, t):
    return shake(front(look, "scared", left=(-120, -40), right=(120, 40)), t)


def music(look, t):
    s = math.sin(2 * math.pi * t)
    return rotate(front(look, "happy", left=(-40, -150 + 20 * s)), 4 * s, 32, 92)


def glass(x, y):
    return (outlined("M%s,%s L%s,%s L%s,%s L%s,%s Z" % (f(x - 3.5), f(y - 8), f(x + 3.5), f(y - 8), f(x + 2.5), f(y + 2),
                                                       f(x - 2.5), f(y + 2)), SKY, 1.5) +
            '<rect x="%s" y="%s" width="5" height="4" fill="%s"/>' % (f(x - 2.5), f(y - 3), CORAL))


def drinking(look, t, seated):
    sip = math.sin(math.pi * t)
    near = (40 + 30 * sip, 150 + 20 * sip)
    hx, hy = hand_at(*NEAR, *near)
    return side_figure(look, near, None, held="", front=translate(glass(hx, hy - 2), 0, SEAT_DROP if seated else 0),
                       seated=seated, mood="happy" if sip > 0.9 else "calm")


LAP = (60, 60)  # forearms resting on the lap when seated


def sit(look, mood="calm", near=LAP, far=LAP, held="", front_props=""):
    return side_figure(look, near, far, mood=mood, held=held, front=front_props, seated=True)


def sit_angry(look, t):
    s = math.sin(2 * math.pi * t)
    return sit(look, "angry", near=(100 + 20 * s, 160))


def sit_happy(look, t):
    gap = 8 * abs(math.sin(2 * math.pi * t))
    return sit(look, "happy", near=(70, 140 - gap), far=(80, 150 + gap))


def scared_sit(look, t):
    return shake(sit(look, "scared", near=(150, 30), far=(140, 40)), t)


def pawn(x, y):
    return (circle(x, y - 6, 2.2, CREAM, 1.2) +
            outlined("M%s,%s L%s,%s H%s L%s,%s Z" % (f(x - 1.8), f(y - 4.5), f(x - 3), f(y - 1), f(x + 3),
                                                     f(x + 1.8), f(y - 4.5)), CREAM, 1.2))


def chess(look, t):
    if t < 0.5:  # chin in hand, thinking
        return sit(look, near=(20, 170))
    near = (70, 90)
    hx, hy = hand_at(*NEAR, *near)
    return sit(look, near=near, front_props=pawn(hx, hy + SEAT_DROP))


def paper(x, y, turn):
    """An open newspaper held up before the face; turn (0..1) folds the page over."""
    out = rect(x - 11, y - 12, 22, 18, CREAM, 1, 1.8)
    out += "".join(curve(x - 8, y - 8 + 3 * i, x - 4, y - 8 + 3 * i, x - 1, y - 8 + 3 * i, INK, .5, 1.2) for i in range(4))
    out += rect(x + 2, y - 9, 6, 5, SAND, .5, 1)
    out += '<path d="M%s,%s V%s" stroke="%s" stroke-width="1.2"/>' % (f(x), f(y - 12), f(y + 6), INK)
    if turn:
        out += outlined("M%s,%s L%s,%s L%s,%s L%s,%s Z" % (f(x), f(y - 12), f(x + 11 - 22 * turn), f(y - 13),
                                                          f(x + 11 - 22 * turn), f(y + 5), f(x), f(y + 6)), CREAM, 1.5)
    return out


def news(look, t, loop):
    near, far = (75, 165), (70, 160)
    hx, hy = hand_at(*NEAR, *near)
    turn = math.sin(math.pi * t) if loop else 0.0
    bob = 0.6 * math.sin(2 * math.pi * t) if not loop else 0.0
    return sit(look, near=near, far=far, front_props=paper(hx - 4, hy + SEAT_DROP - 2 + bob, turn))


def hand_of_cards(x, y, spread):
    return "".join('<g transform="rotate(%s %s %s)">%s</g>' % (
        f((i - 1) * spread), f(x), f(y + 4),
        rect(x - 3, y - 5, 6, 9, CREAM, 1, 1.2) + '<circle cx="%s" cy="%s" r="1.2" fill="%s"/>' % (f(x), f(y - 1), CORAL))
        for i in range(3))


def cards(look, name, t):
    held = (70, 150)
    hx, hy = hand_at(*NEAR, *held)
    if name == "cards_start":  # picks the cards up from the table and fans them
        k = t + 0.25
        near = (70 - 10 * (1 - k), 150 - 60 * (1 - k))
        px, py = hand_at(*NEAR, *near)
        return sit(look, near=near, front_props=hand_of_cards(px, py + SEAT_DROP - 4, 20 * k))
    if name == "cards_idle":
        return sit(look, near=held, front_props=hand_of_cards(hx, hy + SEAT_DROP - 4, 20))
    if name == "cards_loop":  # swaps a card: the far hand takes one out and puts it back
        k = math.sin(math.pi * t)
        far = (70 - 20 * k, 120 + 20 * k)
        return sit(look, near=held, far=far, front_props=hand_of_cards(hx, hy + SEAT_DROP - 4, 20),
                   mood="calm" if k < 0.9 else "happy")
    k = 1 - t  # cards_end: lays them down, pleased
    near = (70 - 10 * (1 - k), 150 - 60 * (1 - k))
    px, py = hand_at(*NEAR, *near)
    return sit(look, "happy", near=near, front_props=hand_of_cards(px, py + SEAT_DROP - 4, 20 * k) if k > 0 else "")


def casino_end(look, t):
    if t < 0.5:  # leaning towards the wheel, watching
        return rotate(side_figure(look, (30, 60), None), -4, 32, 90)
    return front(look, "happy", left=(-150, -170), right=(150, 170))  # turns round to cheer


def fork(x, y):
    return ('<path d="M%s,%s L%s,%s" stroke="%s" stroke-width="3.5" stroke-linecap="round"/>'
            '<path d="M%s,%s L%s,%s" stroke="%s" stroke-width="1.5" stroke-linecap="round"/>'
            % (f(x), f(y), f(x - 6), f(y - 6), INK, f(x), f(y), f(x - 6), f(y - 6), CREAM))


def food(look, t):
    bite = math.sin(math.pi * t)
    near = (50 + 20 * bite, 80 + 80 * bite)
    hx, hy = hand_at(*NEAR, *near)
    return sit(look, "happy" if bite > 0.9 else "calm", near=near, front_props=fork(hx, hy + SEAT_DROP))


def thigh_shin(look, hip, knee, foot, colour=None):
    d = "M%s,%s L%s,%s L%s,%s" % (f(hip[0]), f(hip[1]), f(knee[0]), f(knee[1]), f(foot[0]), f(foot[1]))
    return ('<path d="%s" fill="none" stroke="%s" stroke-width="9" stroke-linecap="round" '
            'stroke-linejoin="round"/><path d="%s" fill="none" stroke="%s" stroke-width="5.5" '
            'stroke-linecap="round" stroke-linejoin="round"/>%s'
            % (d, INK, d, colour or look.legs, shoe(look.shoes, -2)(foot[0], foot[1])))


def legs(look, name):
    """A seated figure's legs, facing left: thighs forward from the seat, shins down."""
    hx, hy = HIP
    far = thigh_shin(look, (hx + 2, hy - 1), (hx - 12, hy - 1), (hx - 13, 87))
    if name == "legs_scared":  # knees pulled up, feet off the floor
        return (thigh_shin(look, (hx + 2, hy - 1), (hx - 10, hy - 8), (hx - 13, hy + 1)) +
                thigh_shin(look, (hx, hy), (hx - 12, hy - 7), (hx - 15, hy + 2)))
    if name == "legs_chess":  # the near leg crossed over the far knee
        return far + thigh_shin(look, (hx, hy - 1), (hx - 13, hy - 4), (hx - 19, hy + 5))
    near = thigh_shin(look, (hx, hy), (hx - 14, hy), (hx - 15, 88))
    if name == "legs_plaid":  # a checked plaid over the lap, down to the ankles
        plaid = outlined("M%s,%s Q%s,%s %s,%s L%s,%s Q%s,%s %s,%s Z" % (
            f(hx + 6), f(hy - 6), f(hx - 8), f(hy - 9), f(hx - 20), f(hy - 3), f(hx - 19), f(84),
            f(hx - 10), f(86), f(hx + 4), f(hy + 5)), CORAL, 2)
        checks = ('<path d="M%s,%s V%s M%s,%s V%s M%s,%s H%s M%s,%s H%s" stroke="%s" stroke-width="2" opacity=".8"/>'
                  % (f(hx - 12), f(hy - 6), f(85), f(hx - 3), f(hy - 7), f(hy + 3), f(hx - 19), f(hy + 1), f(hx + 3),
                     f(hx - 19), f(hy - 3 + 0.5 * 10), f(hx - 10), HONEY))
        return far + near + plaid + checks + curve(hx - 12, hy - 7, hx - 4, hy - 8, hx + 3, hy - 6, CREAM, .5, 1.5)
    return far + near


def portrait(look, mood):
    """The guest's head and shoulders in a round window, for the request bubble."""
    body, _ = figure(look, "front", None, mood)
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64"><defs><clipPath id="round">'
            '<circle cx="32" cy="32" r="31"/></clipPath></defs><g clip-path="url(#round)">'
            '<g transform="translate(32 36) scale(1.55) translate(-32 -30)">%s</g></g></svg>\n' % body)


def pictures(look):
    """Every picture of a guest of that look, by file name (without extension): the SVG text."""
    out = walks(look)
    out["stand"] = svg([whole(look, "front", None)])
    # What the guest carries stays with the moods; at the hotel's objects it is put down.
    standing, look = look, copy.copy(look)
    look.prop = None
    out["sit"] = svg([sit(look)])
    out["cards_idle"] = svg([cards(look, "cards_idle", 0)])
    four = {
        "stand_idle": lambda t: stand_idle(standing, t),
        "stand_angry": lambda t: stand_angry(standing, t),
        "stand_happy": lambda t: stand_happy(standing, t),
        "scared_stand": lambda t: scared_stand(standing, t),
        "music": lambda t: music(standing, t),
        "drink_stand": lambda t: drinking(look, t, False),
        "drink_sit": lambda t: drinking(look, t, True),
        "sit_angry": lambda t: sit_angry(look, t),
        "sit_happy": lambda t: sit_happy(look, t),
        "scared_sit": lambda t: scared_sit(look, t),
        "chess": lambda t: chess(look, t),
        "news": lambda t: news(look, t, False),
        "news_loop": lambda t: news(look, t, True),
        "cards_start": lambda t: cards(look, "cards_start", t),
        "cards_loop": lambda t: cards(look, "cards_loop", t),
        "cards_end": lambda t: cards(look, "cards_end", t),
        "casino_end": lambda t: casino_end(look, t),
        "food": lambda t: food(look, t),
    }
    for name, draw in four.items():
        out[name] = svg([draw(i / 4) for i in range(4)])
    for name in ("legs_sit", "legs_chess", "legs_plaid", "legs_scared"):
        out[name] = svg([legs(look, name)])
    out["portrait_happy"] = portrait(look, "happy")
    out["portrait_angry"] = portrait(look, "angry")
    out["shadow"] = shadow()
    return out
