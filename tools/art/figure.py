"""The parts every character of the game is drawn from: palette, SVG helpers, limbs, coat, head
and face, the eight walk views and the arms that go with them. A character is a Look (its
colours, its hair and what it wears over its head and collar); the scripts under Heroes/ and
Clients/ give each one its Look and its own poses.

Every frame is 64 x 96 with the foot point at (32, 92). Views: "front", "back", "side" (facing
left), "front3" and "back3" (three-quarter, facing left); the right-facing walks are the
left-facing views mirrored. Positive limb angles swing the end to the image's left.
"""

import math
import os

INK = "#3b2a24"
CREAM = "#fff4e0"
SAND = "#f3d9b1"
HONEY = "#f2b84b"
MUSTARD = "#d9962c"
CORAL = "#e0704f"
BRICK = "#b8453a"
TEAL = "#3e9c96"
DEEP_TEAL = "#25706d"
LEAF = "#8dbf6a"
MOSS = "#5a9447"
SKY = "#8ccbe8"
OAK_LIGHT = "#d9a066"
OAK = "#b87a45"
WALNUT = "#8a5530"
DUSK = "#9c8c94"
SKIN_LIGHT = "#f6cfa8"
SKIN_WARM = "#d99a6c"
SKIN_DEEP = "#9a6244"

W, H = 64, 96
FOOT = (32, 92)
FRAMES = 8

# Walk names as the animation sections name them ("WalkUpLeft" is walk_upleft), with the view each
# uses and whether it is mirrored, in the order of the walk direction codes 1..8.
WALKS = [
    ("left", "side", False),
    ("upleft", "back3", False),
    ("up", "back", False),
    ("upright", "back3", True),
    ("right", "side", True),
    ("downright", "front3", True),
    ("down", "front", False),
    ("downleft", "front3", False),
]


def shade(colour, k=0.25):
    """A palette colour mixed with Ink (k of Ink): the in-shade step of colours without one."""
    a = [int(colour[i:i + 2], 16) for i in (1, 3, 5)]
    b = [int(INK[i:i + 2], 16) for i in (1, 3, 5)]
    return "#%02x%02x%02x" % tuple(round(x + (y - x) * k) for x, y in zip(a, b))


def f(v):
    """A coordinate written short."""
    return ("%.2f" % v).rstrip("0").rstrip(".")


def outlined(d, fill, width):
    """A filled path with an Ink outline."""
    return ('<path d="%s" fill="%s" stroke="%s" stroke-width="%s" stroke-linejoin="round"/>'
            % (d, fill, INK, width))


def star(x, y, r):
    """A five-pointed Honey star with an Ink outline, centred at (x, y): the dazed stars."""
    pts = []
    for i in range(10):
        a = math.pi / 2 + i * math.pi / 5
        k = r if i % 2 == 0 else r * .45
        pts.append("%s,%s" % (f(x + k * math.cos(a)), f(y - k * math.sin(a))))
    return outlined("M" + " L".join(pts) + " Z", HONEY, 1.2)


def curve(x0, y0, cx, cy, x1, y1, colour, opacity=1.0, width=2.0):
    """A stroke bent through one control point: shines, seams, a mouth."""
    return ('<path d="M%s,%s Q%s,%s %s,%s" fill="none" stroke="%s" stroke-width="%s" '
            'stroke-linecap="round" opacity="%s"/>'
            % (f(x0), f(y0), f(cx), f(cy), f(x1), f(y1), colour, f(width), f(opacity)))


def circle(x, y, r, fill, width=2.0):
    return ('<circle cx="%s" cy="%s" r="%s" fill="%s" stroke="%s" stroke-width="%s"/>'
            % (f(x), f(y), f(r), fill, INK, f(width)))


def ellipse(x, y, rx, ry, fill, width=2.0):
    return ('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="%s" stroke="%s" stroke-width="%s"/>'
            % (f(x), f(y), f(rx), f(ry), fill, INK, f(width)))


def rect(x, y, w, h, fill, r=1.5, width=2.0):
    return ('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s" stroke="%s" '
            'stroke-width="%s"/>' % (f(x), f(y), f(w), f(h), f(r), fill, INK, f(width)))


def mouth(x0, y0, cx, cy, x1, y1):
    return curve(x0, y0, cx, cy, x1, y1, INK, width=1.8)


def eye(x, y):
    return ('<ellipse cx="%s" cy="%s" rx="2" ry="2.7" fill="%s"/><circle cx="%s" cy="%s" r=".8" '
            'fill="%s"/>' % (f(x), f(y), INK, f(x - 0.6), f(y - 1), CREAM))


def shut_eye(x, y):
    """An eye squeezed shut, for laughing, wincing and dozing."""
    return curve(x - 2.2, y, x, y - 2, x + 2.2, y, INK, width=1.6)


def blush(x, y, r):
    return '<circle cx="%s" cy="%s" r="%s" fill="%s" opacity=".35"/>' % (f(x), f(y), f(r), CORAL)


def point(x, y, length, angle):
    """Where a limb of that length ends when it hangs from (x, y) turned by angle degrees."""
    a = math.radians(angle)
    return x - length * math.sin(a), y + length * math.cos(a)


def translate(text, dx, dy):
    return '<g transform="translate(%s %s)">%s</g>' % (f(dx), f(dy), text) if dx or dy else text


def rotate(text, angle, x, y):
    return '<g transform="rotate(%s %s %s)">%s</g>' % (f(angle), f(x), f(y), text) if angle else text


def svg(groups, width=W, height=H):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d">\n%s\n</svg>\n'
            % (width, height, "\n".join('<g id="frame%d">%s</g>' % (i, g) for i, g in enumerate(groups))))


def scale_frames(text, k):
    """A document of svg()'s frames with every frame scaled by k about the foot point: a child
    drawn from the same parts stands on the same spot."""
    wrap = 'transform="translate(%s %s) scale(%s) translate(%s %s)"' % (FOOT[0], FOOT[1], f(k), -FOOT[0], -FOOT[1])
    lines = []
    for line in text.split("\n"):
        if line.startswith('<g id="frame'):
            head, _, rest = line.partition(">")
            line = '%s><g %s>%s</g>' % (head, wrap, rest)
        lines.append(line)
    return "\n".join(lines)


def mirror(text, mirrored, width=W):
    return '<g transform="matrix(-1 0 0 1 %d 0)">%s</g>' % (width, text) if mirrored else text


class Look:
    """What sets one character apart. Colours: coat (with its shade and trim), sleeve, legs,
    shoes, skin, hair. hair_style picks the hair drawn over the skull ("bob", "short", "bald");
    the hooks draw what sits behind the head (under_head), over it (over_head, hats and
    ponytails) and at the collar (collar), each as (look, view, x, y, sway) -> SVG text."""

    def __init__(self, **kw):
        self.coat, self.coat_shade, self.trim = TEAL, DEEP_TEAL, HONEY
        self.sleeve = None
        self.legs, self.shoes = WALNUT, DEEP_TEAL
        self.skin = SKIN_LIGHT
        self.hair, self.hair_shade = "#a4512f", "#7a3a22"
        self.hair_style = "bob"
        self.buttons = True
        self.belt = True
        self.hem = 70.0           # where the coat ends; legs start at hem - 2
        self.width = 0.0          # added to the coat's half-widths
        self.under_head = None
        self.over_head = None
        self.collar = None
        self.face = None          # (look, view, cx, cy, mood) -> eyes, mouth...; None: the usual
        self.prop = None          # (look, x, y) -> what the right hand carries, at the hand (x, y)
        self.__dict__.update(kw)
        if self.sleeve is None:
            self.sleeve = self.coat


def limb(x, y, length, angle, colour, width, end):
    """A limb hanging from (x, y), turned by angle degrees, outlined in Ink, with its end piece."""
    return ('<g transform="rotate(%s %s %s)">'
            '<path d="M%s,%s v%s" stroke="%s" stroke-width="%s" stroke-linecap="round"/>'
            '<path d="M%s,%s v%s" stroke="%s" stroke-width="%s" stroke-linecap="round"/>%s</g>'
            % (f(angle), f(x), f(y), f(x), f(y), f(length), INK, f(width + 3.5),
               f(x), f(y), f(length), colour, f(width), end(x, y + length)))


def shoe(colour, dx):
    return lambda x, y: ('<ellipse cx="%s" cy="%s" rx="5.5" ry="3.2" fill="%s" stroke="%s" '
                         'stroke-width="2"/>' % (f(x + dx), f(y + 1.5), colour, INK))


def hand(look, x, y):
    return circle(x, y + 1, 4, look.skin)


def leg(look, x, y, angle, lift, dx=0.0):
    return limb(x, y, 20 - lift, angle, look.legs, 5.5, shoe(look.shoes, dx))


def arm(look, x, y, angle, prop=None):
    end = (lambda hx, hy: prop(look, hx, hy) + hand(look, hx, hy)) if prop else (lambda hx, hy: hand(look, hx, hy))
    return limb(x, y, 15, angle, look.sleeve, 5, end)


def bent_arm(look, x, y, upper, fore):
    """An arm bent at the elbow: the upper arm and the forearm each at their own angle."""
    ex, ey = point(x, y, 8, upper)
    hx, hy = point(ex, ey, 8, fore)
    d = "M%s,%s L%s,%s L%s,%s" % (f(x), f(y), f(ex), f(ey), f(hx), f(hy))
    return ('<path d="%s" fill="none" stroke="%s" stroke-width="8.5" stroke-linecap="round" '
            'stroke-linejoin="round"/><path d="%s" fill="none" stroke="%s" stroke-width="5" '
            'stroke-linecap="round" stroke-linejoin="round"/>%s'
            % (d, INK, d, look.sleeve, hand(look, hx, hy - 1)))


def hand_at(x, y, upper, fore):
    """Where bent_arm puts the hand's centre."""
    ex, ey = point(x, y, 8, upper)
    hx, hy = point(ex, ey, 8, fore)
    return hx, hy


def coat(look, cx, half_top, half_hem, y_top=44.0, y_hem=70.0, back=False, side=False):
    """The coat: rounded shoulders, a flared hem, shading on the right, the trim as a belt."""
    half_top += look.width
    half_hem += look.width
    out = ('<path d="M%s,%s Q%s,%s %s,%s L%s,%s Q%s,%s %s,%s Z" fill="%s" stroke="%s" '
           'stroke-width="2.5" stroke-linejoin="round"/>'
           % (f(cx - half_top), f(y_top + 2), f(cx), f(y_top - 4), f(cx + half_top), f(y_top + 2),
              f(cx + half_hem), f(y_hem), f(cx), f(y_hem + 3), f(cx - half_hem), f(y_hem), look.coat, INK))
    out += ('<path d="M%s,%s L%s,%s Q%s,%s %s,%s Z" fill="%s" opacity=".8"/>'
            % (f(cx + half_top - 3), f(y_top + 4), f(cx + half_hem - 1.5), f(y_hem - 1),
               f(cx + half_hem - 4), f(y_hem + 1.5), f(cx + half_hem - 7), f(y_hem + 1.5), look.coat_shade))
    if look.belt:
        out += ('<path d="M%s,%s H%s" stroke="%s" stroke-width="3"/>'
                % (f(cx - half_top - 0.5), f(y_top + 15), f(cx + half_top + 0.5), look.trim))
    if look.buttons and not back and not side:
        out += ('<path d="M%s,%s V%s" stroke="%s" stroke-width="1.5"/>'
                '<circle cx="%s" cy="%s" r="1.6" fill="%s"/><circle cx="%s" cy="%s" r="1.6" fill="%s"/>'
                % (f(cx), f(y_top + 3), f(y_hem + 2), look.coat_shade, f(cx + 2.5), f(y_top + 10), look.trim,
                   f(cx + 2.5), f(y_top + 21), look.trim))
    return out


def hair(look, view, cx, cy):
    """The hair over the skull for a view (the skull itself is drawn in hair colour from behind)."""
    style = look.hair_style
    if style == "bald":
        if view in ("front", "front3"):
            return ""
        if view == "side":
            return outlined("M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
                f(cx + 4), f(cy - 2), f(cx + 16), f(cy - 2), f(cx + 10), f(cy + 11), f(cx + 4),
                f(cy + 8), f(cx + 4), f(cy - 2)), look.hair, 2)
        return ""
    if view == "front":
        if style == "short":
            return outlined("M%s,%s A15,15 0 0 1 %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
                f(cx - 15), f(cy - 1), f(cx + 15), f(cy - 1), f(cx + 6), f(cy - 9), f(cx - 2),
                f(cy - 7), f(cx - 10), f(cy - 9), f(cx - 15), f(cy - 1)), look.hair, 2.5)
        return outlined("M%s,%s A15,15 0 0 1 %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
            f(cx - 15), f(cy + 2), f(cx + 15), f(cy + 2), f(cx + 11), f(cy - 6), f(cx + 4),
            f(cy - 5), f(cx), f(cy - 10), f(cx - 4), f(cy - 5), f(cx - 11), f(cy - 6), f(cx - 15),
            f(cy + 2)), look.hair, 2.5)
    if view == "side":
        if style == "short":
            return outlined("M%s,%s A15,15 0 1 1 %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
                f(cx - 12), f(cy - 8), f(cx + 8), f(cy + 11), f(cx + 3), f(cy + 1), f(cx - 2),
                f(cy - 5), f(cx - 7), f(cy - 5), f(cx - 12), f(cy - 8)), look.hair, 2.5)
        return outlined("M%s,%s A15,15 0 1 1 %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
            f(cx - 14), f(cy - 4), f(cx + 6), f(cy + 13), f(cx + 2), f(cy + 2), f(cx - 2),
            f(cy - 3), f(cx - 8), f(cy - 2), f(cx - 14), f(cy - 4)), look.hair, 2.5)
    if view == "front3":
        if style == "short":
            return outlined("M%s,%s A15,15 0 0 1 %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
                f(cx - 15), f(cy - 3), f(cx + 15), f(cy + 3), f(cx + 10), f(cy - 4), f(cx - 2),
                f(cy - 8), f(cx - 9), f(cy - 8), f(cx - 15), f(cy - 3)), look.hair, 2.5)
        return outlined("M%s,%s A15,15 0 0 1 %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
            f(cx - 15), f(cy), f(cx + 15), f(cy + 4), f(cx + 12), f(cy + 10), f(cx + 8),
            f(cy - 4), f(cx - 4), f(cy - 9), f(cx - 8), f(cy - 4), f(cx - 12), f(cy - 5),
            f(cx - 15), f(cy)), look.hair, 2.5)
    return ""


def face(look, view, cx, cy, mood="calm"):
    """Eyes, cheeks and mouth; mood is "calm", "happy", "angry", "sad" or "scared"."""
    if look.face:
        return look.face(look, view, cx, cy, mood)
    if view == "front":
        ex = (cx - 6, cx + 6)
        cheeks = blush(cx - 10, cy + 7, 2.6) + blush(cx + 10, cy + 7, 2.6)
        mx = cx
    elif view == "front3":
        ex = (cx - 9, cx + 1)
        cheeks = blush(cx - 12, cy + 7, 2.6)
        mx = cx - 4.5
    elif view == "side":
        ex = (cx - 9,)
        cheeks = blush(cx - 8, cy + 7, 2.4)
        mx = None
    else:
        return ""
    out = ""
    for x in ex:
        out += shut_eye(x, cy + 2) if mood == "happy" else eye(x, cy + 2)
        inner = 1 if x < cx else -1  # which way the nose is
        if mood == "angry":  # brows pulled down to the nose
            out += curve(x - 3, cy - 3, x, cy - 2, x + 2.5 * inner, cy - 0.5, INK, width=1.8)
        if mood == "sad":  # brows raised over the nose
            out += curve(x - 2.5 * inner, cy - 2.5, x, cy - 3.5, x + 2.5 * inner, cy - 5.5, INK, width=1.6)
        if mood == "scared":
            out += curve(x - 2.5, cy - 4, x, cy - 6, x + 2.5, cy - 4, INK, width=1.4)
    out += cheeks
    if mx is None:  # profile: the mouth sits at the front of the face
        if mood == "happy":
            out += mouth(cx - 13.5, cy + 7, cx - 11, cy + 11, cx - 8.5, cy + 8)
        elif mood in ("angry", "sad"):
            out += mouth(cx - 13, cy + 10, cx - 11, cy + 7.5, cx - 9, cy + 9)
        elif mood == "scared":
            out += ellipse(cx - 11, cy + 9, 1.6, 2.2, INK, 0.5)
        else:
            out += mouth(cx - 13, cy + 8, cx - 11, cy + 10, cx - 9, cy + 9)
    elif mood == "happy":
        out += outlined("M%s,%s Q%s,%s %s,%s Z" % (f(mx - 4), f(cy + 7.5), f(mx), f(cy + 14),
                                                 f(mx + 4), f(cy + 7.5)), BRICK, 1.5)
    elif mood in ("angry", "sad"):
        out += mouth(mx - 3.5, cy + 10.5, mx, cy + 7, mx + 3.5, cy + 10.5)
    elif mood == "scared":
        out += ellipse(mx, cy + 9.5, 2, 2.8, INK, 0.5)
    else:
        half = 3 if view == "front" else 2.5
        out += mouth(mx - half, cy + 8, mx, cy + 10.5, mx + half, cy + 8)
    return out


def bald_tuft(look, cx, cy, side):
    """What a bald head keeps of its hair, seen from behind: a tuft over the ear on that side."""
    return outlined("M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
        f(cx + side * 15), f(cy - 1), f(cx + side * 9), f(cy + 1), f(cx + side * 10), f(cy + 11),
        f(cx + side * 14), f(cy + 8), f(cx + side * 15), f(cy - 1)), look.hair, 2)


def head(look, view, cy, mood="calm"):
    """Head, hair and face for a view; the head circle is centred on (32, cy)."""
    cx = 32.0
    out = ""
    if view in ("front", "side", "front3"):
        out += circle(cx, cy, 15, look.skin, 2.5)
        out += hair(look, view, cx, cy)
        if view == "side":
            out += circle(cx + 3, cy + 3, 3.2, look.skin)  # the ear
        out += face(look, view, cx, cy, mood)
        if view == "front":
            out += curve(cx - 8, cy - 9, cx - 4, cy - 12, cx, cy - 12, CREAM, .6)
    elif view == "back":
        out += circle(cx, cy, 15, look.hair if look.hair_style != "bald" else look.skin, 2.5)
        if look.hair_style == "bald":
            # What is left of the hair: a tuft over each ear, the crown and the nape bare.
            out += bald_tuft(look, cx, cy, -1) + bald_tuft(look, cx, cy, 1)
        else:
            out += curve(cx - 10, cy + 8, cx, cy + 13, cx + 10, cy + 8, look.hair_shade)
        out += curve(cx - 9, cy - 8, cx - 4, cy - 12, cx + 1, cy - 12, CREAM, .5)
    elif view == "back3":
        bald = look.hair_style == "bald"
        out += circle(cx, cy, 15, look.skin if bald else look.hair, 2.5)
        if bald:
            out += bald_tuft(look, cx, cy, 1)
        out += ('<path d="M%s,%s A15,15 0 0 0 %s,%s Q%s,%s %s,%s Z" fill="%s" stroke="%s" '
                'stroke-width="2" stroke-linejoin="round"/>'
                % (f(cx - 15), f(cy + 1), f(cx - 8), f(cy + 13), f(cx - 9), f(cy + 5), f(cx - 15), f(cy + 1),
                   look.skin, INK))
        out += curve(cx - 6, cy - 10, cx, cy - 13, cx + 5, cy - 11, CREAM, .5)
    return out


def hook(fn, look, view, x, y, sway):
    return fn(look, view, x, y, sway) if fn else ""


# The two arms per view: (shoulder x, free angle at rest, free swing factor, busy upper, busy fore)
# for the figure's left and right hand.
ARMS = {
    "front": {"left": (44.5, -12, 10, -40, -150), "right": (19.5, 12, 10, 40, 150)},
    "back": {"left": (19.5, 12, -10, 40, 150), "right": (44.5, -12, -10, -40, -150)},
    "side": {"left": (31, 0, 25, 55, 95), "right": (34, 0, -25, 45, 105)},
    "front3": {"left": (41.5, -8, -16, 30, 120), "right": (22.5, 10, 16, 45, 140)},
    "back3": {"left": (22.5, 8, 16, 45, 140), "right": (41.5, -8, -16, -40, -150)},
}

# Which arms the body hides (drawn first) and which go over it, per view.
ARMS_BEHIND = {"front": ("left", "right"), "back": ("left", "right"), "side": ("right",),
               "front3": ("right",), "back3": ("right",)}


def shoulder(look, view, side):
    x = ARMS[view][side][0]
    if view in ("front", "back"):
        x += look.width if x > 32 else -look.width
    return x


def arms(look, view, s, bob):
    """The left and right arm, each free (swinging by s, -1..1) and busy (raised to carry)."""
    out = {}
    for side, (_, rest, swing, upper, fore) in ARMS[view].items():
        x, y = shoulder(look, view, side), 47 + bob
        prop = look.prop if side == "right" else None
        out[side] = (arm(look, x, y, rest + swing * s, prop), bent_arm(look, x, y, upper, fore))
    return out


def figure(look, view, t, mood="calm", legs_shown=True):
    """One frame of a view at walk phase t (0..1, None for standing still): the body without
    arms, and the arms as {"left": (free, busy), "right": (free, busy)}."""
    walking = t is not None
    phase = 2 * math.pi * (t or 0.0)
    s = math.sin(phase) if walking else 0.0
    bob = -1.5 * (1 - abs(s)) if walking else 0.0
    sway = -3 * s
    head_y = 28 + bob
    hip = look.hem - 2 + bob
    lift = look.hem - 70  # longer coats cover more of the leg

    if view in ("front", "back"):
        lift_l, lift_r = max(0.0, s) * 3, max(0.0, -s) * 3
        legs = leg(look, 27, hip, 0, lift_l + lift) + leg(look, 37, hip, 0, lift_r + lift)
        body = coat(look, 32, 11, 15, 44 + bob, look.hem, back=view == "back")
        collar = hook(look.collar, look, view, 32, 44 + bob - (view == "back"), sway)
    elif view == "side":
        swing = 28 * s
        legs = leg(look, 33, hip - 1, swing, lift, -2) + leg(look, 31, hip - 1, -swing, lift, -2)
        body = coat(look, 32, 8, 11, 44 + bob, look.hem, side=True)
        collar = hook(look.collar, look, view, 29, 44 + bob, sway)
    else:
        swing = 16 * s
        if view == "front3":
            legs = (leg(look, 35, hip - 1, swing * 0.8, max(0.0, -s) * 2 + lift, -1) +
                    leg(look, 28, hip - 1, -swing * 0.8, max(0.0, s) * 2 + lift, -1))
        else:
            legs = (leg(look, 28, hip - 1, -swing * 0.8, max(0.0, s) * 2 + lift, -1) +
                    leg(look, 35, hip - 1, swing * 0.8, max(0.0, -s) * 2 + lift, -1))
        body = coat(look, 32, 10, 14, 44 + bob, look.hem, back=view == "back3")
        collar = hook(look.collar, look, view, 29 if view == "front3" else 33, 44 + bob - (view == "back3"), sway)
    parts = [legs if legs_shown else "", body, collar, hook(look.under_head, look, view, 32, head_y, sway),
             head(look, view, head_y, mood), hook(look.over_head, look, view, 32, head_y, sway)]
    return "".join(parts), arms(look, view, s, bob)


def whole(look, view, t, busy=False, mood="calm", extra_front=""):
    """A whole figure, arms included: those the body hides first, then the body, then the rest."""
    body, arms_of = figure(look, view, t, mood)
    pick = 1 if busy else 0
    behind = ARMS_BEHIND[view]
    front = [s for s in ("left", "right") if s not in behind]
    return ("".join(arms_of[s][pick] for s in behind) + body +
            "".join(arms_of[s][pick] for s in front) + extra_front)


def bent_legs(look, crouch):
    """The side view's legs folded at the knee as the figure crouches by crouch pixels: the feet
    stay where they stand, the knees come forward."""
    out = ""
    for hx, fx in ((34, 31), (32, 29)):  # the far leg first
        hip = look.hem - 3 + crouch
        foot = 88.0
        half = (foot - (look.hem - 3)) / 2
        reach = (foot - hip) / 2
        knee_x = (hx + fx) / 2 - math.sqrt(max(0.0, half * half - reach * reach))
        knee_y = (hip + foot) / 2
        d = "M%s,%s L%s,%s L%s,%s" % (f(hx), f(hip), f(knee_x), f(knee_y), f(fx), f(foot))
        out += ('<path d="%s" fill="none" stroke="%s" stroke-width="9" stroke-linecap="round" '
                'stroke-linejoin="round"/><path d="%s" fill="none" stroke="%s" stroke-width="5.5" '
                'stroke-linecap="round" stroke-linejoin="round"/>%s'
                % (d, INK, d, look.legs, shoe(look.shoes, -2)(fx, foot)))
    return out


def side_figure(look, near=None, far=None, mood="calm", behind="", front="", crouch=0.0, held="",
                seated=False):
    """The side view (facing left) standing still, its near (left) and far (right) arm bent as
    given by (upper, fore) angles or hanging free; behind and front are props drawn before and
    after everything, held is drawn between the body and the near arm (a thing in both hands).
    A crouch lowers everything above the knees by that many pixels; a seated figure is drawn
    SEAT_DROP lower, without legs (they are a picture of their own)."""
    body, arms_of = figure(look, "side", None, mood, legs_shown=not crouch and not seated)
    x_near, x_far = ARMS["side"]["left"][0], ARMS["side"]["right"][0]
    far_arm = bent_arm(look, x_far, 47, *far) if far else arms_of["right"][0]
    near_arm = bent_arm(look, x_near, 47, *near) if near else arms_of["left"][0]
    upper = far_arm + body + held + near_arm
    if crouch:
        return behind + bent_legs(look, crouch) + translate(upper, 0, crouch) + front
    if seated:
        return behind + translate(upper, 0, SEAT_DROP) + front
    return behind + upper + front


SEAT_DROP = 12


def walks(look, prefix="walk_", busy=False, extra=None, mood="calm"):
    """The eight walks of a figure by file name; extra (view, t) -> (behind, front) adds what goes
    with the figure (a dog, say), drawn before and after it."""
    out = {}
    for direction, view, mirrored in WALKS:
        groups = []
        for i in range(FRAMES):
            t = i / FRAMES
            behind, front = extra(view, t) if extra else ("", "")
            groups.append(mirror(behind + whole(look, view, t, busy, mood) + front, mirrored))
        out[prefix + direction] = svg(groups)
    return out


def stand_arms(look, left=None, right=None, view="front", lift=0.0):
    """The front view's two arms at rest, or bent as given by (upper, fore) pairs."""
    y = 47 + lift
    xl, xr = shoulder(look, view, "left"), shoulder(look, view, "right")
    _, rest_l, _, _, _ = ARMS[view]["left"]
    _, rest_r, _, _, _ = ARMS[view]["right"]
    return (bent_arm(look, xl, y, *left) if left else arm(look, xl, y, rest_l),
            bent_arm(look, xr, y, *right) if right else arm(look, xr, y, rest_r, look.prop))


def hero_poses(look):
    """The level's start and end animations every staff member has, four frames each, by file
    name: "Applause", "Hail" (a wave at the level's start) and "Unhappy" (the level is lost)."""
    out = {"applause": [], "hail": [], "unhappy": []}
    for i in range(4):
        t = i / 4
        s = math.sin(2 * math.pi * t)
        calm, _ = figure(look, "front", None)
        happy, _ = figure(look, "front", None, "happy")
        sad, _ = figure(look, "front", None, "sad")
        xl, xr = shoulder(look, "front", "left"), shoulder(look, "front", "right")
        gap = 10 + 8 * abs(s)  # the hands meet in front of the chest and part again
        out["applause"].append(happy + bent_arm(look, xl, 47, -30, 90 - gap) +
                               bent_arm(look, xr, 47, 30, -90 + gap))
        out["hail"].append(calm + bent_arm(look, xl, 47, -130, -170 + 25 * s) +
                           arm(look, xr, 47, 12))
        out["unhappy"].append(rotate(sad, 3 * s, 32, 90) + bent_arm(look, xl, 49, -20, 150) +
                              bent_arm(look, xr, 49, 20, -150))
    return {name: svg(groups) for name, groups in out.items()}


def shadow():
    """The soft shadow drawn under a character's feet (48 x 16, centred on the foot point)."""
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="48" height="16">'
            '<ellipse cx="24" cy="8" rx="22" ry="7" fill="%s" opacity=".2"/>'
            '<ellipse cx="24" cy="8" rx="16" ry="5" fill="%s" opacity=".2"/></svg>\n' % (INK, INK))


def look_of(script, name):
    """The Look named name that a character script (a path under tools/art/) defines, without
    running the script's command line: pictures that show a character elsewhere (the comics, the
    school's cards) draw it from the same Look as its walks."""
    import importlib.util
    spec = importlib.util.spec_from_file_location(name.lower(), os.path.join(os.path.dirname(os.path.abspath(__file__)), script))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return getattr(module, name)


def run(argv, pictures, usage):
    """The command line every character script shares: write the pictures' SVG sources into a
    folder, or list their names for the build."""
    if len(argv) == 2 and argv[1] == "--list":
        print(";".join(sorted(pictures())))
        return 0
    if len(argv) != 2:
        import sys
        sys.stderr.write("usage: %s <output folder>\n" % usage)
        return 2
    os.makedirs(argv[1], exist_ok=True)
    for name, text in pictures().items():
        with open(os.path.join(argv[1], name + ".svg"), "w") as out:
            out.write(text)
    return 0
