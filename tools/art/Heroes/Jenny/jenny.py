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

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from figure import (FRAMES, HONEY, INK, MUSTARD, WALKS, Look, arm, bent_arm, f, figure,  # noqa: E402
                    hero_poses, mirror, run, svg)


def scarf(look, view, cx, y, sway):
    if view in ("back", "side", "back3"):
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
               f(x + 4), f(y), JENNY_HAIR, INK, f(x), f(y), HONEY, INK))


def bun(x, y):
    """The top of the ponytail, seen over the head from the front."""
    return '<circle cx="%s" cy="%s" r="5" fill="%s" stroke="%s" stroke-width="2"/>' % (f(x), f(y), JENNY_HAIR, INK)


JENNY_HAIR = "#a4512f"

# Where her hair goes past the head: the bun of the ponytail seen over the head from the front, the
# ponytail itself from behind and from the side.
HAIR_BEHIND = {
    "front": lambda x, y, sway: bun(x, y - 15),
    "front3": lambda x, y, sway: bun(x + 10, y - 12),
    "side": lambda x, y, sway: ponytail(x + 12, y - 8, 4 + sway),
}
HAIR_OVER = {
    "back": lambda x, y, sway: ponytail(x, y - 3, sway * 0.6),
    "back3": lambda x, y, sway: ponytail(x + 3, y - 4, 2 + sway * 0.7),
}

JENNY = Look(
    hair=JENNY_HAIR, hair_shade="#7a3a22", collar=scarf,
    under_head=lambda look, view, x, y, sway: HAIR_BEHIND[view](x, y, sway) if view in HAIR_BEHIND else "",
    over_head=lambda look, view, x, y, sway: HAIR_OVER[view](x, y, sway) if view in HAIR_OVER else "")


def pose(name, t):
    """A whole-figure pose at phase t (0..1), arms included: the game hides her separate hands
    while she plays these."""
    s = math.sin(2 * math.pi * t)
    body, _ = figure(JENNY, "front", None)
    rest_left, rest_right = arm(JENNY, 44.5, 47, -12), arm(JENNY, 19.5, 47, 12)
    if name == "idle0":
        # Breathing: she rises a little and settles; the arms rest behind the coat as in "stand".
        bob = -0.8 * (1 - math.cos(2 * math.pi * t))
        return '<g transform="translate(0 %s)">%s%s%s</g>' % (f(bob), rest_left, rest_right, body)
    if name == "idle1":  # a glance at the watch on her left wrist
        lift = math.sin(math.pi * t) ** 0.5
        return rest_right + body + bent_arm(JENNY, 44.5, 47, -20, 160 - 60 * lift)
    if name == "idle2":  # a stretch, both arms high
        reach = math.sin(math.pi * t)
        return ('<g transform="translate(0 %s)">%s%s%s</g>' % (
            f(-1.5 * reach), body, bent_arm(JENNY, 44.5, 47, -12 - 138 * reach, -12 - 163 * reach),
            bent_arm(JENNY, 19.5, 47, 12 + 138 * reach, 12 + 163 * reach)))
    if name == "idle3":  # she tidies her hair behind her right ear
        return bent_arm(JENNY, 19.5, 47, 150, -160 + 15 * s) + body + rest_left
    if name == "baby":
        # Turned to the guest at her left, rocking her hands to soothe the baby.
        side, _ = figure(JENNY, "side", None)
        return (bent_arm(JENNY, 34, 47, 45 + 6 * s, 100 + 12 * s) + side +
                bent_arm(JENNY, 31, 47, 55 + 6 * s, 95 + 12 * s))
    # hello: a smaller wave across the desk
    return body + bent_arm(JENNY, 44.5, 47, -60, -150 + 20 * s) + rest_right


POSES = ("idle0", "idle1", "idle2", "idle3", "baby", "hello")


def pictures():
    """Every picture by file name (without extension): the SVG text."""
    out = {}
    walk = [i / FRAMES for i in range(FRAMES)]
    directions = [(name, view, mirrored, walk) for name, view, mirrored in WALKS]
    directions.append(("stand", "front", False, [None]))
    for direction, view, mirrored, frames in directions:
        bodies, hands = [], {}
        for t in frames:
            body, arms_of = figure(JENNY, view, t)
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
    out.update(hero_poses(JENNY))
    return out


if __name__ == "__main__":
    sys.exit(run(sys.argv, pictures, "jenny.py"))
