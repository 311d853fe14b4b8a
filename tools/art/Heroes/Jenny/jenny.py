#!/usr/bin/env python3
"""Writes the SVG sources of Jenny's pictures into a folder: her eight walks and standing pose
without arms, her arms for each of those (free and carrying, left and right, drawn separately by
the game so that carried things sit in her hands), and whole-figure poses.

Jenny is the receptionist: a Teal coat with Honey trims and scarf, auburn hair in a high ponytail
tied with a Honey ribbon. Every picture is a 64 x 96 frame with the foot point at (32, 92). A walk
is eight frames (groups frame0..frame7) of one document; the right-facing views are the
left-facing ones mirrored, as her look is symmetric apart from the ponytail's swing.

File names follow the animation sections' names: "WalkUpLeft" is walk_upleft, "Stand" stand,
"HandLeftBusyUpLeft" hand_left_busy_upleft, "Idle2" idle2, "Baby" baby. Walks and their arms have
eight frames, "Stand" and its arms one, the poses four; every frame's foot point is (32, 92), so
the sections place them with spr_x -32 and spr_y -92.

usage: jenny.py <output folder>
       jenny.py --list     (the picture names, separated by ';', for the build)
"""

import math
import os
import sys

INK = "#3b2a24"
CREAM = "#fff4e0"
HONEY = "#f2b84b"
MUSTARD = "#d9962c"
TEAL = "#3e9c96"
DEEP_TEAL = "#25706d"
SKIN = "#f6cfa8"
SKIN_SHADE = "#d99a6c"
CORAL = "#e0704f"
HAIR = "#a4512f"
HAIR_SHADE = "#7a3a22"
TIGHTS = "#8a5530"

W, H = 64, 96
FRAMES = 8

# Walk names as the animation sections name them, with the view each uses and whether it is
# mirrored. Views: front, back, side (facing left), front3 and back3 (three-quarter, facing left).
WALKS = [
    ("walk_left", "side", False),
    ("walk_upleft", "back3", False),
    ("walk_up", "back", False),
    ("walk_upright", "back3", True),
    ("walk_right", "side", True),
    ("walk_downright", "front3", True),
    ("walk_down", "front", False),
    ("walk_downleft", "front3", False),
]


def f(v):
    """A coordinate written short."""
    return ("%.2f" % v).rstrip("0").rstrip(".")


def limb(x, y, length, angle, colour, width, end):
    """A limb hanging from (x, y), turned by angle degrees (positive swings the end to the left,
    which is forward for a figure facing left), outlined in Ink, with its end piece."""
    return ('<g transform="rotate(%s %s %s)">'
            '<path d="M%s,%s v%s" stroke="%s" stroke-width="%s" stroke-linecap="round"/>'
            '<path d="M%s,%s v%s" stroke="%s" stroke-width="%s" stroke-linecap="round"/>%s</g>'
            % (f(angle), f(x), f(y), f(x), f(y), f(length), INK, f(width + 3.5),
               f(x), f(y), f(length), colour, f(width), end(x, y + length)))


def shoe(dx):
    return lambda x, y: ('<ellipse cx="%s" cy="%s" rx="5.5" ry="3.2" fill="%s" stroke="%s" '
                         'stroke-width="2"/>' % (f(x + dx), f(y + 1.5), DEEP_TEAL, INK))


def hand(x, y):
    return '<circle cx="%s" cy="%s" r="4" fill="%s" stroke="%s" stroke-width="2"/>' % (
        f(x), f(y + 1), SKIN, INK)


def leg(x, y, angle, lift, dx=0.0):
    return limb(x, y, 20 - lift, angle, TIGHTS, 5.5, shoe(dx))


def arm(x, y, angle):
    return limb(x, y, 15, angle, TEAL, 5, hand)


def coat(cx, half_top, half_hem, y_top=44.0, y_hem=70.0, back=False, side=False):
    """The coat: rounded shoulders, a flared hem, shading on the right, Honey trims."""
    out = ('<path d="M%s,%s Q%s,%s %s,%s L%s,%s Q%s,%s %s,%s Z" fill="%s" stroke="%s" '
           'stroke-width="2.5" stroke-linejoin="round"/>'
           % (f(cx - half_top), f(y_top + 2), f(cx), f(y_top - 4), f(cx + half_top), f(y_top + 2),
              f(cx + half_hem), f(y_hem), f(cx), f(y_hem + 3), f(cx - half_hem), f(y_hem), TEAL, INK))
    out += ('<path d="M%s,%s L%s,%s Q%s,%s %s,%s Z" fill="%s" opacity=".8"/>'
            % (f(cx + half_top - 3), f(y_top + 4), f(cx + half_hem - 1.5), f(y_hem - 1),
               f(cx + half_hem - 4), f(y_hem + 1.5), f(cx + half_hem - 7), f(y_hem + 1.5), DEEP_TEAL))
    # Belt.
    out += ('<path d="M%s,%s H%s" stroke="%s" stroke-width="3"/>'
            % (f(cx - half_top - 0.5), f(y_top + 15), f(cx + half_top + 0.5), HONEY))
    if not back and not side:
        out += ('<path d="M%s,%s V%s" stroke="%s" stroke-width="1.5"/>'
                '<circle cx="%s" cy="%s" r="1.6" fill="%s"/><circle cx="%s" cy="%s" r="1.6" fill="%s"/>'
                % (f(cx), f(y_top + 3), f(y_hem + 2), DEEP_TEAL, f(cx + 2.5), f(y_top + 10), HONEY,
                   f(cx + 2.5), f(y_top + 21), HONEY))
    return out


def scarf(cx, y, back=False):
    if back:
        return ('<path d="M%s,%s Q%s,%s %s,%s" fill="none" stroke="%s" stroke-width="4" '
                'stroke-linecap="round"/>' % (f(cx - 8), f(y), f(cx), f(y + 3), f(cx + 8), f(y), HONEY))
    return ('<path d="M%s,%s L%s,%s L%s,%s Z" fill="%s" stroke="%s" stroke-width="2" '
            'stroke-linejoin="round"/><path d="M%s,%s L%s,%s L%s,%s Z" fill="%s" stroke="%s" '
            'stroke-width="2" stroke-linejoin="round"/>'
            % (f(cx - 7), f(y - 1), f(cx + 7), f(y - 1), f(cx), f(y + 7), HONEY, INK,
               f(cx - 1), f(y + 4), f(cx + 3), f(y + 12), f(cx + 6), f(y + 9), MUSTARD, INK))


def ponytail(x, y, sway):
    """The ponytail from its ribbon at (x, y), hanging down and swaying by sway pixels."""
    return ('<path d="M%s,%s C%s,%s %s,%s %s,%s C%s,%s %s,%s %s,%s Z" fill="%s" stroke="%s" '
            'stroke-width="2" stroke-linejoin="round"/>'
            '<circle cx="%s" cy="%s" r="3.2" fill="%s" stroke="%s" stroke-width="1.8"/>'
            % (f(x - 4), f(y), f(x - 8 + sway * 0.5), f(y + 8), f(x - 5 + sway), f(y + 16),
               f(x + sway), f(y + 20), f(x + 5 + sway), f(y + 14), f(x + 6 + sway * 0.5), f(y + 6),
               f(x + 4), f(y), HAIR, INK, f(x), f(y), HONEY, INK))


def bun(x, y):
    """The top of the ponytail, seen over the head from the front."""
    return '<circle cx="%s" cy="%s" r="5" fill="%s" stroke="%s" stroke-width="2"/>' % (f(x), f(y), HAIR, INK)


def outlined(d, fill, width):
    """A filled path with an Ink outline."""
    return ('<path d="%s" fill="%s" stroke="%s" stroke-width="%s" stroke-linejoin="round"/>'
            % (d, fill, INK, width))


def blush(x, y, r):
    return '<circle cx="%s" cy="%s" r="%s" fill="%s" opacity=".35"/>' % (f(x), f(y), f(r), CORAL)


def curve(x0, y0, cx, cy, x1, y1, colour, opacity=1.0, width=2.0):
    """A stroke bent through one control point: shines, seams, a mouth."""
    return ('<path d="M%s,%s Q%s,%s %s,%s" fill="none" stroke="%s" stroke-width="%s" '
            'stroke-linecap="round" opacity="%s"/>'
            % (f(x0), f(y0), f(cx), f(cy), f(x1), f(y1), colour, f(width), f(opacity)))


def mouth(x0, y0, cx, cy, x1, y1):
    return curve(x0, y0, cx, cy, x1, y1, INK, width=1.8)


def eye(x, y):
    return ('<ellipse cx="%s" cy="%s" rx="2" ry="2.7" fill="%s"/><circle cx="%s" cy="%s" r=".8" '
            'fill="%s"/>' % (f(x), f(y), INK, f(x - 0.6), f(y - 1), CREAM))


def head(view, cy):
    """Head and hair for a view; the head circle is centred on (32, cy)."""
    cx = 32.0
    skull = '<circle cx="%s" cy="%s" r="15" fill="%%s" stroke="%s" stroke-width="2.5"/>' % (f(cx), f(cy), INK)
    out = ""
    if view == "front":
        out += skull % SKIN
        out += outlined("M%s,%s A15,15 0 0 1 %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
            f(cx - 15), f(cy + 2), f(cx + 15), f(cy + 2), f(cx + 11), f(cy - 6), f(cx + 4),
            f(cy - 5), f(cx), f(cy - 10), f(cx - 4), f(cy - 5), f(cx - 11), f(cy - 6), f(cx - 15),
            f(cy + 2)),
            HAIR, 2.5)
        out += eye(cx - 6, cy + 2) + eye(cx + 6, cy + 2)
        out += blush(cx - 10, cy + 7, 2.6) + blush(cx + 10, cy + 7, 2.6)
        out += mouth(cx - 3, cy + 8, cx, cy + 10.5, cx + 3, cy + 8)
        out += curve(cx - 8, cy - 9, cx - 4, cy - 12, cx, cy - 12, CREAM, .6)
    elif view == "back":
        out += skull % HAIR
        out += curve(cx - 10, cy + 8, cx, cy + 13, cx + 10, cy + 8, HAIR_SHADE)
        out += curve(cx - 9, cy - 8, cx - 4, cy - 12, cx + 1, cy - 12, CREAM, .5)
    elif view == "side":
        out += skull % SKIN
        # Hair over the back and the top, a fringe over the brow.
        out += outlined("M%s,%s A15,15 0 1 1 %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
            f(cx - 14), f(cy - 4), f(cx + 6), f(cy + 13), f(cx + 2), f(cy + 2), f(cx - 2),
            f(cy - 3), f(cx - 8), f(cy - 2), f(cx - 14), f(cy - 4)),
            HAIR, 2.5)
        out += ('<circle cx="%s" cy="%s" r="3.2" fill="%s" stroke="%s" stroke-width="2"/>'
                % (f(cx + 3), f(cy + 3), SKIN, INK))
        out += eye(cx - 9, cy + 2)
        out += blush(cx - 8, cy + 7, 2.4)
        out += mouth(cx - 13, cy + 8, cx - 11, cy + 10, cx - 9, cy + 9)
    elif view == "front3":
        out += skull % SKIN
        out += outlined("M%s,%s A15,15 0 0 1 %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
            f(cx - 15), f(cy), f(cx + 15), f(cy + 4), f(cx + 12), f(cy + 10), f(cx + 8),
            f(cy - 4), f(cx - 4), f(cy - 9), f(cx - 8), f(cy - 4), f(cx - 12), f(cy - 5),
            f(cx - 15), f(cy)),
            HAIR, 2.5)
        out += eye(cx - 9, cy + 2) + eye(cx + 1, cy + 2)
        out += blush(cx - 12, cy + 7, 2.6)
        out += mouth(cx - 7, cy + 8, cx - 4.5, cy + 10.5, cx - 2, cy + 8)
    elif view == "back3":
        out += skull % HAIR
        out += ('<path d="M%s,%s A15,15 0 0 0 %s,%s Q%s,%s %s,%s Z" fill="%s" stroke="%s" '
                'stroke-width="2" stroke-linejoin="round"/>'
                % (f(cx - 15), f(cy + 1), f(cx - 8), f(cy + 13), f(cx - 9), f(cy + 5), f(cx - 15), f(cy + 1), SKIN, INK))
        out += curve(cx - 6, cy - 10, cx, cy - 13, cx + 5, cy - 11, CREAM, .5)
    return out


def point(x, y, length, angle):
    """Where a limb of that length ends when it hangs from (x, y) turned by angle degrees."""
    a = math.radians(angle)
    return x - length * math.sin(a), y + length * math.cos(a)


def bent_arm(x, y, upper, fore):
    """An arm bent at the elbow: the upper arm and the forearm each at their own angle."""
    ex, ey = point(x, y, 8, upper)
    hx, hy = point(ex, ey, 8, fore)
    d = "M%s,%s L%s,%s L%s,%s" % (f(x), f(y), f(ex), f(ey), f(hx), f(hy))
    return ('<path d="%s" fill="none" stroke="%s" stroke-width="8.5" stroke-linecap="round" '
            'stroke-linejoin="round"/><path d="%s" fill="none" stroke="%s" stroke-width="5" '
            'stroke-linecap="round" stroke-linejoin="round"/>%s'
            % (d, INK, d, TEAL, hand(hx, hy - 1)))


# Her two arms per view: (shoulder x, free angle at rest, free swing factor, busy upper, busy fore)
# for her left and her right hand. Positive angles swing the hand to the image's left.
ARMS = {
    "front": {"left": (44.5, -12, 10, -40, -150), "right": (19.5, 12, 10, 40, 150)},
    "back": {"left": (19.5, 12, -10, 40, 150), "right": (44.5, -12, -10, -40, -150)},
    "side": {"left": (31, 0, 25, 55, 95), "right": (34, 0, -25, 45, 105)},
    "front3": {"left": (41.5, -8, -16, 30, 120), "right": (22.5, 10, 16, 45, 140)},
    "back3": {"left": (22.5, 8, 16, 45, 140), "right": (41.5, -8, -16, -40, -150)},
}


def arms(view, s, bob):
    """Her left and right arm, each free (swinging by s, -1..1) and busy (raised to carry)."""
    out = {}
    for side, (x, rest, swing, upper, fore) in ARMS[view].items():
        y = 47 + bob
        out[side] = (arm(x, y, rest + swing * s), bent_arm(x, y, upper, fore))
    return out


def figure(view, t):
    """One frame of a view at walk phase t (0..1, None for standing still): the body without
    arms, and the arms as {"left": (free, busy), "right": (free, busy)}."""
    walking = t is not None
    phase = 2 * math.pi * (t or 0.0)
    s = math.sin(phase) if walking else 0.0
    bob = -1.5 * (1 - abs(s)) if walking else 0.0
    sway = -3 * s
    head_y = 28 + bob

    if view in ("front", "back"):
        lift_l, lift_r = max(0.0, s) * 3, max(0.0, -s) * 3
        legs = leg(27, 68 + bob, 0, lift_l) + leg(37, 68 + bob, 0, lift_r)
        if view == "front":
            parts = [bun(32, head_y - 15), legs, coat(32, 11, 15, 44 + bob), scarf(32, 44 + bob),
                     head("front", head_y)]
        else:
            parts = [legs, coat(32, 11, 15, 44 + bob, back=True), scarf(32, 43 + bob, back=True),
                     head("back", head_y), ponytail(32, head_y - 3, sway * 0.6)]
    elif view == "side":
        swing = 28 * s
        far_leg, near_leg = leg(33, 67 + bob, swing, 0, -2), leg(31, 67 + bob, -swing, 0, -2)
        parts = [far_leg, near_leg, coat(32, 8, 11, 44 + bob, side=True), scarf(29, 44 + bob, back=True),
                 ponytail(44, head_y - 8, 4 + sway), head("side", head_y)]
    elif view == "front3":
        swing = 16 * s
        legs = (leg(35, 67 + bob, swing * 0.8, max(0.0, -s) * 2, -1) +
                leg(28, 67 + bob, -swing * 0.8, max(0.0, s) * 2, -1))
        parts = [legs, coat(32, 10, 14, 44 + bob), scarf(29, 44 + bob), bun(42, head_y - 12),
                 head("front3", head_y)]
    else:  # back3
        swing = 16 * s
        legs = (leg(28, 67 + bob, -swing * 0.8, max(0.0, s) * 2, -1) +
                leg(35, 67 + bob, swing * 0.8, max(0.0, -s) * 2, -1))
        parts = [legs, coat(32, 10, 14, 44 + bob, back=True), scarf(33, 43 + bob, back=True),
                 head("back3", head_y), ponytail(35, head_y - 4, 2 + sway * 0.7)]
    return "".join(parts), arms(view, s, bob)


def pose(name, t):
    """A whole-figure pose at phase t (0..1), arms included: the game hides her separate hands
    while she plays these."""
    s = math.sin(2 * math.pi * t)
    body, _ = figure("front", None)
    rest_left, rest_right = arm(44.5, 47, -12), arm(19.5, 47, 12)
    if name == "idle0":
        # Breathing: she rises a little and settles; the arms rest behind the coat as in "stand".
        bob = -0.8 * (1 - math.cos(2 * math.pi * t))
        return '<g transform="translate(0 %s)">%s%s%s</g>' % (f(bob), rest_left, rest_right, body)
    if name == "idle1":  # a glance at the watch on her left wrist
        lift = math.sin(math.pi * t) ** 0.5
        return rest_right + body + bent_arm(44.5, 47, -20, 160 - 60 * lift)
    if name == "idle2":  # a stretch, both arms high
        reach = math.sin(math.pi * t)
        return ('<g transform="translate(0 %s)">%s%s%s</g>' % (
            f(-1.5 * reach), body, bent_arm(44.5, 47, -12 - 138 * reach, -12 - 163 * reach),
            bent_arm(19.5, 47, 12 + 138 * reach, 12 + 163 * reach)))
    if name == "idle3":  # she tidies her hair behind her right ear
        return bent_arm(19.5, 47, 150, -160 + 15 * s) + body + rest_left
    if name == "baby":
        # Turned to the guest at her left, rocking her hands to soothe the baby.
        side, _ = figure("side", None)
        return (bent_arm(34, 47, 45 + 6 * s, 100 + 12 * s) + side +
                bent_arm(31, 47, 55 + 6 * s, 95 + 12 * s))
    if name == "applause":
        gap = 10 + 8 * abs(s)  # the hands meet in front of the chest and part again
        return body + bent_arm(44.5, 47, -30, 90 - gap) + bent_arm(19.5, 47, 30, -90 + gap)
    if name == "hail":  # her left hand high, waving
        return body + bent_arm(44.5, 47, -130, -170 + 25 * s) + rest_right
    if name == "hello":  # a smaller wave across the desk
        return body + bent_arm(44.5, 47, -60, -150 + 20 * s) + rest_right
    # unhappy: hands to the face, the whole figure shaking its head from the feet
    return ('<g transform="rotate(%s 32 90)">%s</g>' % (f(3 * s), body) +
            bent_arm(44.5, 49, -20, 150) + bent_arm(19.5, 49, 20, -150))


POSES = ("idle0", "idle1", "idle2", "idle3", "baby", "applause", "hail", "hello", "unhappy")


def svg(groups):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d">\n%s\n</svg>\n'
            % (W, H, "\n".join('<g id="frame%d">%s</g>' % (i, g) for i, g in enumerate(groups))))


def mirror(text, mirrored):
    return '<g transform="matrix(-1 0 0 1 %d 0)">%s</g>' % (W, text) if mirrored else text


def pictures():
    """Every picture by file name (without extension): the SVG text."""
    out = {}
    walk = [i / FRAMES for i in range(FRAMES)]
    directions = [(name[len("walk_"):], view, mirrored, walk) for name, view, mirrored in WALKS]
    directions.append(("stand", "front", False, [None]))
    for direction, view, mirrored, frames in directions:
        bodies, hands = [], {}
        for t in frames:
            body, arms_of = figure(view, t)
            bodies.append(mirror(body, mirrored))
            for side, (free, busy) in arms_of.items():
                # A mirrored view shows her other side: her left hand is drawn where the source
                # view's right hand is.
                if mirrored:
                    side = "left" if side == "right" else "right"
                hands.setdefault("hand_%s_free_%s" % (side, direction), []).append(mirror(free, mirrored))
                hands.setdefault("hand_%s_busy_%s" % (side, direction), []).append(mirror(busy, mirrored))
        out["stand" if direction == "stand" else "walk_" + direction] = svg(bodies)
        for name, groups in hands.items():
            out[name] = svg(groups)
    for name in POSES:
        out[name] = svg([pose(name, i / 4) for i in range(4)])
    return out


def main():
    if len(sys.argv) == 2 and sys.argv[1] == "--list":
        print(";".join(sorted(pictures())))
        return 0
    if len(sys.argv) != 2:
        sys.stderr.write("usage: jenny.py <output folder>\n")
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, text in pictures().items():
        with open(os.path.join(out, name + ".svg"), "w") as f_out:
            f_out.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
