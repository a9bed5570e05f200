#!/usr/bin/env python3
"""Times `ludex-skin render` on hostile skin folders, one per kind of attack.

Each skin is small on disk and written to cost as much as the loader lets
it: shapes of millions of rectangles, huge staggered controls, images that
decode to far more than they weigh, lookups that grow with the square of the
document, integer extremes. Every case must end within 5 s and 512 MB with
exit status 0, 1 or 2.

    tools/measure/hostile-render.py BUILD_DIR [RUNS] [CASE...]

BUILD_DIR holds ludex-skin (a Release build). The median wall time of RUNS
runs (default 3) and the largest peak resident memory are printed per case.
The address space of each run is limited to 4 GiB (a run that needs more
fails with that limit instead of taking the machine's memory), and each run
is stopped after 30 s.
"""

import os
import resource
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

ADDRESS_LIMIT = 4 << 30
TIME_LIMIT_S = 30


def bmp_header(width, height, bits, compression, image_size, palette):
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, image_size,
                       2835, 2835, len(palette) // 4, 0)
    offset = 14 + len(info) + len(palette)
    file_header = b"BM" + struct.pack("<IHHI", offset + image_size, 0, 0, offset)
    return file_header + info + palette


def checkerboard_bmp(side):
    """A 1-bit picture alternating black and fuchsia pixel by pixel."""
    palette = bytes([0, 0, 0, 0, 255, 0, 255, 0])
    stride = (side + 31) // 32 * 4
    rows = []
    for y in range(side):
        byte = 0x55 if y % 2 else 0xAA
        rows.append(bytes([byte]) * ((side + 7) // 8) + bytes(stride - (side + 7) // 8))
    data = b"".join(rows)
    return bmp_header(side, side, 1, 0, len(data), palette) + data


def solid_rle8_bmp(side):
    """An RLE8 picture of one colour: a few bytes a row, 4 bytes a pixel decoded."""
    palette = bytes([0, 0, 255, 0] * 256)
    row = b""
    left = side
    while left > 0:
        run = min(255, left)
        row += bytes([run, 0])
        left -= run
    data = (row + b"\x00\x00") * side + b"\x00\x01"
    return bmp_header(side, side, 8, 1, len(data), palette) + data


def small_bmp(width, height):
    palette = bytes([0, 0, 0, 0, 255, 0, 255, 0])
    stride = (width + 31) // 32 * 4
    data = bytes([0x55]) * (stride * height)
    return bmp_header(width, height, 1, 0, len(data), palette) + data


def write_skin(folder, xml, files=None):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "interface.xml"), "w") as out:
        out.write(xml)
    for name, data in (files or {}).items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


def case_checkerboard(folder):
    write_skin(folder, """<SKIN>
  <IMAGE id="B" file="b.bmp"><AREA id="A" pos="0,0" size="4096,4096" mask="Color,Fuchsia"/></IMAGE>
  <WINDOW id="Main" bg="B.A"/>
</SKIN>""", {"b.bmp": checkerboard_bmp(4096)})


def case_huge_controls(folder):
    panels = "".join(f'<PANEL pos="{i * 16},{i * 16}" size="16384,16384" bgcolor="Red"/>'
                     for i in range(20))
    write_skin(folder, f'<SKIN><WINDOW id="Main" size="16384,16384">{panels}</WINDOW></SKIN>')


def case_many_cells(folder):
    areas = "".join(f'<AREA id="A{i}" pos="0,0" size="8,8" repeat="64,64" mask="Color,Fuchsia" resize="Split"/>'
                    for i in range(2500))
    write_skin(folder, f"""<SKIN><IMAGE id="C" file="c.bmp">{areas}</IMAGE>
  <WINDOW id="Main" size="200,200"><PANEL bg="C.A0"/></WINDOW></SKIN>""",
               {"c.bmp": small_bmp(576, 576)})


def case_rle_images(folder):
    images = "".join(f'<IMAGE id="I{i}" file="r{i}.bmp"/>' for i in range(12))
    files = {f"r{i}.bmp": solid_rle8_bmp(4096) for i in range(12)}
    write_skin(folder, f"""<SKIN>{images}
  <WINDOW id="Main" size="200,200"><PANEL bg="I0"/></WINDOW></SKIN>""", files)


def case_shared_images(folder):
    # Files that do not exist: no image matches an earlier one.
    images = "".join(f'<IMAGE id="I{i}" file="m{i}.bmp"/>' for i in range(90000))
    write_skin(folder, f"""<SKIN>{images}
  <WINDOW id="Main" size="200,200"><PANEL bg="I0"/></WINDOW></SKIN>""")


def case_chained_groups(folder):
    # Each template lies before the one that uses it: every lookup walks
    # most of the document.
    groups = "".join(f'<TGROUP id="g{i}"><GROUP group="g{i + 1}"/></TGROUP>'
                     for i in reversed(range(30000)))
    write_skin(folder, f"""<SKIN>{groups}
  <WINDOW id="Main" size="200,200"><GROUP group="g0"/></WINDOW></SKIN>""")


def case_missing_templates(folder):
    # As many GROUPs as a window may build, each naming no template, in a
    # document at the element limit: every lookup misses.
    filler = "<X/>" * 96000
    groups = '<GROUP group="none"/>' * 1999
    write_skin(folder, f"""<SKIN>{filler}
  <WINDOW id="Main" size="200,200">{groups}</WINDOW></SKIN>""")


def case_huge_captions(folder):
    # Megabyte captions on every kind of control that lays text out, and a
    # thousand pages of long ids for a tab strip.
    words = "word " * 200000
    pages = "".join(f'<PAGE id="{i:04d}{"W" * 2000}"/>' for i in range(1000))
    write_skin(folder, f"""<SKIN><WINDOW id="Main" size="300,300">
  <CHECKBOX pos="0,0" size="150,40" text="{words}"/>
  <TEXT pos="0,50" size="150,20" text="{words}"/>
  <LINK pos="0,80" size="150,20" text="{"W" * 1000000}"/>
  <TABS pos="0,110" size="300,30" link="Huge.Pages"/>
  <PAGES pos="0,140" size="300,160" link="Huge.Pages">{pages}</PAGES>
</WINDOW></SKIN>""")


def case_zip_members(folder):
    # An archive of 60,000 tiny members and 20,000 images naming distinct
    # ones: every open looks its member up.
    import zipfile
    images = "".join(f'<IMAGE id="I{i}" file="m{i * 3}.bmp"/>' for i in range(20000))
    xml = f"""<SKIN>{images}
  <WINDOW id="Main" size="200,200"><PANEL bg="I0"/></WINDOW></SKIN>"""
    with zipfile.ZipFile(folder, "w", zipfile.ZIP_STORED) as archive:
        archive.writestr("interface.xml", xml)
        for i in range(60000):
            archive.writestr(f"m{i}.bmp", b"BM")
    return folder


def case_integer_extremes(folder):
    write_skin(folder, """<SKIN><WINDOW id="Main" size="200,200" resizer="-2147483648"
    minsize="-2147483648,-2147483648">
  <PANEL align="Top" size="200,40"><RESIZER align="Top" size="-2147483648,-2147483648"/></PANEL>
  <SLIDER size="200,20" bsize="-2147483648,2147483647" bcenter="2147483647,-2147483648"
          margin="-2147483648,2147483647"/>
</WINDOW></SKIN>""")


def case_program_entities(folder):
    write_skin(folder, """<SKIN><WINDOW id="Main" size="200,200">
  <TABS size="200,20" link="Application.Exit"/>
  <PAGES pos="0,20" size="200,180" link="Application.Exit"><PAGE id="A"/></PAGES>
</WINDOW></SKIN>""")


CASES = {
    "checkerboard-shape": case_checkerboard,
    "huge-controls": case_huge_controls,
    "many-cells": case_many_cells,
    "rle-images": case_rle_images,
    "shared-images": case_shared_images,
    "chained-groups": case_chained_groups,
    "missing-templates": case_missing_templates,
    "huge-captions": case_huge_captions,
    "zip-members": case_zip_members,
    "integer-extremes": case_integer_extremes,
    "program-entities": case_program_entities,
}


def limit_address_space():
    resource.setrlimit(resource.RLIMIT_AS, (ADDRESS_LIMIT, ADDRESS_LIMIT))


def run_once(tool, folder, picture):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    start = time.monotonic()
    process = subprocess.Popen([tool, "render", folder, "Main", picture], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                               preexec_fn=limit_address_space)
    try:
        _, stderr = process.communicate(timeout=TIME_LIMIT_S)
        status = process.returncode
    except subprocess.TimeoutExpired:
        process.kill()
        _, stderr = process.communicate()
        status = "timeout"
    elapsed = time.monotonic() - start
    return elapsed, status, stderr.decode(errors="replace").strip().splitlines()


def peak_rss_mb(tool, folder, picture):
    """The peak resident memory of one run, from GNU time."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    result = subprocess.run(["/usr/bin/time", "-f", "%M", tool, "render", folder, "Main", picture],
                            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            preexec_fn=limit_address_space, timeout=TIME_LIMIT_S + 5)
    last = result.stderr.decode(errors="replace").strip().splitlines()[-1:]
    try:
        return int(last[0]) / 1024
    except (IndexError, ValueError):
        return float("nan")


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    tool = os.path.join(sys.argv[1], "ludex-skin")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    chosen = sys.argv[3:] or list(CASES)
    if not os.access(tool, os.X_OK):
        print(f"no {tool}", file=sys.stderr)
        return 2
    work = tempfile.mkdtemp(prefix="ludex-hostile-")
    verdicts = 0
    print(f"{'case':22} {'median_s':>9} {'peak_MB':>8} {'exit':>8}  verdict / last message")
    try:
        for name in chosen:
            folder = os.path.join(work, name)
            if name.startswith("zip-"):
                folder += ".zip"
            CASES[name](folder)
            picture = os.path.join(work, name + ".png")
            results = [run_once(tool, folder, picture) for _ in range(runs)]
            median = statistics.median(r[0] for r in results)
            status = results[-1][1]
            try:
                peak = peak_rss_mb(tool, folder, picture)
            except subprocess.TimeoutExpired:
                peak = float("nan")
            ok = status in (0, 1, 2) and median < 5 and peak < 512
            verdicts += 0 if ok else 1
            lines = [line for line in results[-1][2] if not line.startswith(("QStandardPaths", "This plugin"))]
            message = lines[-1] if lines else ""
            print(f"{name:22} {median:9.2f} {peak:8.0f} {str(status):>8}  "
                  f"{'ok' if ok else 'TOO COSTLY'} {message[:70]}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if verdicts else 0


if __name__ == "__main__":
    sys.exit(main())
