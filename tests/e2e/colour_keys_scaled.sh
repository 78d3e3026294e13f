#!/usr/bin/env bash
# The colour keys on screens scaled by 2 and by 1.5 (QT_SCALE_FACTOR), read from an X screenshot
# of the built program's window: the red key stands where it does unscaled, its outline is one
# device pixel wide on every side, and its corners are drawn at the screen's resolution, not in
# steps of a whole pixel.
source "$(dirname "$0")/../support/e2e.sh"
program=$1

e2e_start_display
fail=0
for scale in 2 1.5; do
    QT_SCALE_FACTOR=$scale e2e_start_panel "Sony SIRC" "$program"
    pid=$e2e_panel main=$e2e_main
    shot="$e2e_dir/keys-$scale.png"
    # Mapped is not yet painted: look until the red key is there.
    drawn=0
    for _ in $(seq 100); do
        import -window "$main" "$shot"
        if [ "$(convert "$shot" -fill black +opaque '#FF0000' -format '%[fx:maxima.r]' info:)" = 1 ]; then
            drawn=1
            break
        fi
        sleep 0.05
    done
    [ "$drawn" = 1 ] || { echo "scale $scale: no red key on the screen" >&2; exit 1; }
    python3 - "$shot" "$scale" <<'PY' || fail=1
import subprocess
import sys

shot, scale = sys.argv[1], float(sys.argv[2])
width, height = map(int, subprocess.check_output(["identify", "-format", "%w %h", shot]).split())
raw = subprocess.check_output(["convert", shot, "-depth", "8", "rgb:-"])
RED, BLACK = b"\xff\x00\x00", b"\x00\x00\x00"


def at(x, y):
    i = 3 * (y * width + x)
    return raw[i : i + 3]


def device(pixels):  # a length in pixels, on the device pixels as the key is laid on them
    return int(pixels * scale + 0.5)


reds = [(x, y) for y in range(height) for x in range(width) if at(x, y) == RED]
left, right = min(x for x, _ in reds), max(x for x, _ in reds)
top, bottom = min(y for _, y in reds), max(y for _, y in reds)
errors = []
# The key's 31 by 19 shape, less its outline: the body.
if (right - left + 1, bottom - top + 1) != (device(31) - 2, device(19) - 2):
    errors.append(f"body {right - left + 1}x{bottom - top + 1} device pixels")
# The key stands 20 pixels from the window's left edge, as unscaled.
if left - 1 != device(20):
    errors.append(f"outline's left edge at device x {left - 1}, expected {device(20)}")
middle_x, middle_y = (left + right) // 2, (top + bottom) // 2
for name, inner, outline, outside in [
    ("left", (left, middle_y), (left - 1, middle_y), (left - 2, middle_y)),
    ("right", (right, middle_y), (right + 1, middle_y), (right + 2, middle_y)),
    ("top", (middle_x, top), (middle_x, top - 1), (middle_x, top - 2)),
    ("bottom", (middle_x, bottom), (middle_x, bottom + 1), (middle_x, bottom + 2)),
]:
    if at(*inner) != RED or at(*outline) != BLACK or at(*outside) in (RED, BLACK):
        errors.append(f"the {name} outline is not one black device pixel between body and window")


def first_black(y):
    return next(x for x in range(left - 1, right + 2) if at(x, y) == BLACK)


# A key drawn unscaled and enlarged repeats its corner's first rows; these differ.
if first_black(top - 1) == first_black(top):
    errors.append("the corner's first two device rows start at the same column")
for error in errors:
    print(f"scale {scale}: {error}", file=sys.stderr)
sys.exit(1 if errors else 0)
PY
    e2e_quit "$main" "$pid" "scale $scale"
done
e2e_finish "the colour keys are sharp at scales 2 and 1.5"
