"""Measurements on dial faces, taken from the pixels alone."""

import math

from bmp_file import angle_between, circular_mean, direction

# A scale mark is drawn in cream-white over a dark dial; anything this bright
# inside the dial is ink.
INK = 110.0


def ink_near_ray(face, pivot, angle, half_width, r_min, r_max):
    """Bright pixels within `half_width` degrees of the ray from `pivot` in
    direction `angle`, between radii r_min and r_max: (x, y, r, a, weight)."""
    found = []
    px, py = pivot
    x0 = max(0, int(px - r_max - 1))
    x1 = min(face.width - 1, int(px + r_max + 1))
    y0 = max(0, int(py - r_max - 1))
    y1 = min(face.height - 1, int(py + r_max + 1))
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            r = math.hypot(x - px, y - py)
            if r < r_min or r > r_max:
                continue
            a = direction(pivot, x, y)
            if angle_between(a, angle) > half_width:
                continue
            lum = face.luminance(x, y)
            if lum > INK:
                found.append((x, y, r, a, lum - INK))
    return found


def mark_direction(ink):
    return circular_mean([(a, w) for _, _, _, a, w in ink])


def outer_end(ink, strong=2.0 * INK):
    """Pixels at the outer end of a mark: the strong ink pixels within one
    and a half pixels of the farthest one from the pivot."""
    solid = [p for p in ink if p[4] + INK >= strong] or ink
    far = max(p[2] for p in solid)
    return [(x, y) for x, y, r, _, _ in solid if r >= far - 1.5], far



def round_instrument(face, corner=40):
    """Centre and radius of the face's non-black disc, ignoring the corner
    squares where the screws sit; also the largest gap, in pixels, between
    that radius and the nearest black pixel outside the corners, and the
    smallest radius at which a black pixel is found."""
    pts = []
    for x, y in face.points():
        if _in_corner(face, x, y, corner):
            continue
        if not face.is_black(x, y):
            pts.append((x, y))
    cx = sum(p[0] for p in pts) / len(pts)
    cy = sum(p[1] for p in pts) / len(pts)
    radius = max(math.hypot(x - cx, y - cy) for x, y in pts)
    nearest_black = min(
        (math.hypot(x - cx, y - cy) for x, y in face.points()
         if face.is_black(x, y) and not _in_corner(face, x, y, corner)),
        default=float("inf"))
    return (cx, cy), radius, nearest_black


def _in_corner(face, x, y, corner):
    return ((x < corner or x >= face.width - corner)
            and (y < corner or y >= face.height - corner))


def corner_boxes(face, corner=40):
    w, h = face.width, face.height
    return {"upper left": (0, 0), "upper right": (w - corner, 0),
            "lower left": (0, h - corner), "lower right": (w - corner, h - corner)}


def run_along_ray(face, pivot, angle, r_min, r_max, step=0.25):
    """Inner and outer radius of the unbroken ink on the ray from `pivot` in
    direction `angle` that ends farthest out within [r_min, r_max]: the
    length of one mark, not counting figures further in."""
    a = math.radians(angle)
    inked = []
    r = r_min
    while r <= r_max:
        x = int(math.floor(pivot[0] + 0.5 + r * math.sin(a)))
        y = int(math.floor(pivot[1] + 0.5 - r * math.cos(a)))
        inked.append((r, face.luminance(x, y) > INK))
        r += step
    ends = [r for r, hit in inked if hit]
    if not ends:
        return None
    outer = ends[-1]
    inner = outer
    for r, hit in reversed(inked):
        if r > outer:
            continue
        if not hit:
            break
        inner = r
    return inner, outer


def ink_rows(face, pixels):
    """Runs of consecutive rows holding ink among `pixels`: [(y0, y1)]."""
    rows = sorted({y for x, y in pixels})
    runs = []
    for y in rows:
        if runs and y == runs[-1][1] + 1:
            runs[-1][1] = y
        else:
            runs.append([y, y])
    return [tuple(r) for r in runs]
