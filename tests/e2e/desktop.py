#!/usr/bin/env python3
"""Ludex on a desktop with a window manager, as a person would use it.

Starts Xvfb on a free display with openbox and a tray host, and a copy of
the program with its Skins and Help folders beside it and a stand-in for
xdg-open on the PATH. Checks the title the window manager shows, F1, F11,
End, A (stay on top), then chooses every shipped skin in the skin selector
(F12), keeps a screenshot of each one's main window as test output, plays a
chess move in each, and shows a skin's Alert window and closes it with its
own button.

Usage: desktop.py LUDEX OUTPUT_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import play  # noqa: E402  (the session, board and X helpers)

from play import Failure, check  # noqa: E402


class Desktop(play.Session):
    def start_window_manager(self):
        wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        self.procs.append(wm)
        self.wait_for(lambda: "openbox" in self.x("wmctrl", "-m", check_status=False).lower(),
                      "openbox to manage the screen")

    def install(self):
        """The program beside its Skins and Help, as an installation has it,
        and an opener that notes what it was asked to open."""
        build = os.path.dirname(os.path.abspath(self.ludex))
        self.dir = tempfile.mkdtemp(prefix="ludex-desktop-")
        for folder in ("Skins", "Help"):
            shutil.copytree(os.path.join(build, folder), os.path.join(self.dir, folder))
        bin_dir = os.path.join(self.dir, "bin")
        os.makedirs(bin_dir)
        self.opened = os.path.join(self.dir, "opened.txt")
        opener = os.path.join(bin_dir, "xdg-open")
        with open(opener, "w") as file:
            file.write("#!/bin/sh\necho \"$1\" >> '%s'\n" % self.opened)
        os.chmod(opener, 0o755)
        self.env["PATH"] = bin_dir + os.pathsep + self.env.get("PATH", "")

    def main_window(self):
        return self.wait_for(lambda: self.find_window(["--name", "^Ludex$"]), "the main window")

    def key(self, window, name):
        """A key pressed in the window, made the active one first, as a
        person's key would be."""
        self.x("xdotool", "windowactivate", "--sync", window, check_status=False)
        self.x("xdotool", "key", "--clearmodifiers", name, check_status=False)

    def window_state(self, window):
        return self.x("xprop", "-id", window, "_NET_WM_STATE", check_status=False)

    def stacking(self):
        out = self.x("xprop", "-root", "_NET_CLIENT_LIST_STACKING")
        return [int(part.strip().rstrip(","), 16) for part in out.split("#")[-1].split(",") if part.strip()]

    def window_content(self, window, label):
        """What the window itself holds, kept as test output. On Xvfb a
        window opened over another one of the same program reaches the
        screen black until it is moved (a plain Qt program does the same),
        so its own content is read rather than the screen's."""
        raw = os.path.join(self.out, label + ".xwd")
        with open(raw, "wb") as file:
            subprocess.run(["xwd", "-id", window, "-silent"], env=self.env, stdout=file, check=True,
                           timeout=30)
        subprocess.run(["convert", "xwd:" + raw, os.path.join(self.out, label + ".png")], check=True,
                       timeout=60)

    def window_picture(self, window, label):
        """A screenshot of the window alone, kept as test output."""
        left, top, width, height = self.geometry(window)
        shot = self.screenshot(label)
        path = os.path.join(self.out, label + ".png")
        subprocess.run(["convert", "xwd:" + shot, "-crop", f"{width}x{height}+{left}+{top}", "+repage",
                        path], check=True, timeout=60)
        return shot, (left, top, width, height)


def skin_document(skins, name):
    """The skin's interface.xml as an element tree."""
    path = os.path.join(skins, name)
    if os.path.isdir(path):
        return ET.parse(os.path.join(path, "interface.xml")).getroot()
    with zipfile.ZipFile(path) as archive:
        member = next(n for n in archive.namelist() if n.lower() == "interface.xml")
        return ET.fromstring(archive.read(member))


def pair(text):
    first, second = (text or "0,0").split(",")[:2]
    return int(first), int(second)


def control_rect(root, window_id, predicate):
    """Where the first control of the window that satisfies predicate lies
    in the window: the sum of its own and its ancestors' positions."""
    window = next(w for w in root.iter("WINDOW") if w.get("id") == window_id)

    def search(element, x, y):
        for child in element:
            cx, cy = pair(child.get("pos"))
            if predicate(child):
                return x + cx, y + cy, pair(child.get("size"))
            found = search(child, x + cx, y + cy)
            if found:
                return found
        return None

    found = search(window, 0, 0)
    check(found, f"no such control in the window {window_id}")
    return found


class SkinBoard(play.Board):
    """A chess board wherever the skin puts it."""

    def __init__(self, session, origin, offset, size):
        super().__init__(session, origin)
        self.left = origin[0] + offset[0]
        self.top = origin[1] + offset[1]
        check(size == (8 * play.SQUARE, 8 * play.SQUARE), f"a board of {size}")


def window_manners(s, window):
    """Under the window manager the skinned window has no frame and keeps
    its shape; a drag on its background moves it and it snaps to the edges
    of the screen; its minimise button takes it (and its task-list entry)
    away; a left click on the tray icon brings it back; after a click in it
    keys reach it with no focus trick."""
    frame = s.x("xprop", "-id", window, "_NET_FRAME_EXTENTS")
    check(frame.strip().endswith("= 0, 0, 0, 0"), "the window has a frame: " + frame.strip())
    x, y, w, h = s.geometry(window)
    check(s.window_under(x, y) != window, "a click on the masked corner reaches the program")
    # Drag by the plain strip at the bottom of the built-in skin's window.
    grip = (x + w // 2, y + h - 10)
    s.move(*grip)
    s.x("xdotool", "mousedown", "1")
    for step in range(1, 6):
        s.move(grip[0] - 40 * step, grip[1] - 20 * step)
        time.sleep(0.05)
    s.x("xdotool", "mouseup", "1")
    time.sleep(0.3)
    moved = s.geometry(window)
    check((moved[0], moved[1]) == (x - 200, y - 100), f"dragged from {x},{y} to {moved[:2]}")
    # Near the left edge of the screen it snaps to it.
    grip = (moved[0] + w // 2, moved[1] + h - 10)
    s.move(*grip)
    s.x("xdotool", "mousedown", "1")
    s.move(grip[0] - moved[0] + 10, grip[1])
    time.sleep(0.05)
    s.move(grip[0] - moved[0] + 8, grip[1])
    s.x("xdotool", "mouseup", "1")
    time.sleep(0.3)
    snapped = s.geometry(window)
    check(snapped[0] == 0, f"the window did not snap to the left edge ({snapped[:2]})")
    # The yellow button minimises: the window and its task-list entry go.
    s.click(snapped[0] + 30 + 7, snapped[1] + 6 + 7)
    s.wait_for(lambda: not s.find_window(["--name", "^Ludex$"]), "the window to be minimised")
    check("Ludex" not in s.x("wmctrl", "-l"), "the task list still shows the minimised window")
    ix, iy, iw, ih = play.tray_icon(s)
    s.click(ix + iw // 2, iy + ih // 2)
    window = s.main_window()
    # A click on the window, then a key: no activation by hand.
    x, y, w, h = s.geometry(window)
    s.click(x + w // 2, y + h - 10)
    s.x("xdotool", "key", "a")
    s.wait_for(lambda: "_NET_WM_STATE_ABOVE" in s.window_state(window), "the key after a click")
    s.x("xdotool", "key", "a")
    s.wait_for(lambda: "_NET_WM_STATE_ABOVE" not in s.window_state(window), "the second key")
    return window


def stay_on_top(s, window):
    """A keeps the window above another one; A again lets it go."""
    other = subprocess.Popen(["xlogo", "-geometry", "400x400+300+200"], env=s.env)
    s.procs.append(other)
    logo = s.wait_for(lambda: s.find_window(["--class", "xlogo"]), "another window")
    s.key(window, "a")
    s.wait_for(lambda: "_NET_WM_STATE_ABOVE" in s.window_state(window), "the window to stay on top")
    s.x("xdotool", "windowactivate", "--sync", logo, check_status=False)
    time.sleep(0.3)
    order = s.stacking()
    check(order.index(int(window)) > order.index(int(logo)), "the other window covers ours")
    s.key(window, "a")
    s.wait_for(lambda: "_NET_WM_STATE_ABOVE" not in s.window_state(window), "stay on top to end")
    other.terminate()


def minimise_and_restore(s, window):
    """End minimises (into the tray); a click on the tray icon brings the
    window back."""
    s.key(window, "End")
    s.wait_for(lambda: not s.find_window(["--name", "^Ludex$"]), "the window to be minimised")
    ix, iy, iw, ih = play.tray_icon(s)
    s.click(ix + iw // 2, iy + ih // 2)
    return s.main_window()


def desktop(s):
    s.start_display()
    s.start_window_manager()
    s.start_tray()
    s.install()
    s.start_program("ludex-desktop")

    # The window manager shows the program's title from the first moment.
    window = s.main_window()
    s.wait_log("=== Application has been shown")
    listed = s.x("wmctrl", "-l")
    check(any(line.split(None, 3)[-1] == "Ludex" for line in listed.splitlines()),
          "wmctrl does not list the title: " + listed)
    time.sleep(0.5)
    start_shot, rect = s.window_picture(window, "builtin-Main")

    # F11 rebuilds "Main" and nothing changes on the screen.
    mark = len(s.log_lines())
    s.key(window, "F11")
    s.wait_log("-TUIManager.LoadSkin", mark)
    window = s.main_window()
    time.sleep(0.5)
    shot, rect_after = s.window_picture(window, "builtin-Main-reloaded")
    check(rect_after == rect, f"the window moved from {rect} to {rect_after}")
    check(s.pixels(start_shot, *rect) == s.pixels(shot, *rect), "F11 changed the picture")

    # F1 opens the help page with the desktop's opener.
    s.key(window, "F1")
    # The stand-in opener creates the file before it writes the line.
    s.wait_for(lambda: os.path.exists(s.opened) and open(s.opened).read().endswith("\n"),
               "the help page to be opened")
    with open(s.opened) as file:
        check(file.read().strip() == os.path.join(s.dir, "Help", "English.html"), "not the help page")

    window = window_manners(s, window)
    stay_on_top(s, window)
    window = minimise_and_restore(s, window)

    # F12 opens the skin selector; each shipped skin in turn.
    skins_dir = os.path.join(s.dir, "Skins")
    names = sorted(os.listdir(skins_dir), key=str.lower)
    check(len(names) >= 2, f"shipped skins: {names}")
    s.key(window, "F12")
    selector = s.wait_for(lambda: s.find_window(["--name", "^Skin Selector$"]), "the skin selector")
    sx, sy, _, _ = s.geometry(selector)
    s.click(sx + 40, sy + 18)  # the first, empty entry: the built-in skin, already shown
    moves = [("e2", "e4"), ("d2", "d4"), ("g1", "f3")]
    for index, name in enumerate(names):
        mark = len(s.log_lines())
        s.key(selector, "Down")
        s.wait_log("-TUIManager.LoadSkin", mark)
        window = s.main_window()
        time.sleep(0.6)
        label = "skin-%s-Main" % os.path.splitext(name)[0]
        s.window_picture(window, label)
        left, top, _, _ = s.geometry(window)
        root = skin_document(skins_dir, name)
        bx, by, size = control_rect(root, "Main", lambda e: e.tag.upper() == "CHESSBOARD")
        board = SkinBoard(s, (left, top), (bx, by), size)
        source, target = moves[index % len(moves)]
        play.play_chess_move(s, board, source, target)
        time.sleep(0.4)
        s.window_picture(window, label + "-moved")

        # The skin's Alert window: with no help page, F1 says so there.
        shutil.rmtree(os.path.join(s.dir, "Help"), ignore_errors=True)
        before = set(play.our_windows(s))
        mark = len(s.log_lines())
        s.key(window, "F1")
        s.wait_log("!Alert(Help file is not available)", mark)
        alert = s.wait_for(lambda: [w for w in play.our_windows(s) if w not in before], "the Alert")[0]
        time.sleep(0.5)
        s.window_content(alert, "skin-%s-Alert" % os.path.splitext(name)[0])
        ax, ay, _, _ = s.geometry(alert)
        cx, cy, _ = control_rect(root, "Alert", lambda e: e.get("link") == "GUI.HideWindow(Alert)")
        s.click(ax + cx + 8, ay + cy + 8)
        s.wait_for(lambda: alert not in play.our_windows(s), "the Alert to close")

    # Stay on top on, then Esc quits: the settings and the games are kept.
    window = s.main_window()
    s.key(window, "a")
    s.wait_for(lambda: "_NET_WM_STATE_ABOVE" in s.window_state(window), "the window to stay on top")
    # The pointer rests on an empty square, so that no piece is lit under it.
    root = skin_document(skins_dir, names[-1])
    bx, by, size = control_rect(root, "Main", lambda e: e.tag.upper() == "CHESSBOARD")
    wl, wt, _, _ = s.geometry(window)
    rest = SkinBoard(s, (wl, wt), (bx, by), size).centre("e3")
    s.move(*rest)
    time.sleep(0.6)
    last_skin = os.path.splitext(names[-1])[0]
    _, rect = s.window_picture(window, "before-quit")
    quit_with_escape(s, window)
    settings = os.path.join(s.dir, "config", "ludex", "ludex.ini")
    with open(settings) as file:
        text = file.read()
    check("Skin=" + names[-1] in text and "StayOnTop=1" in text, "settings not kept: " + text)

    # Started again: the same skin, on top, the same place and position.
    s.start_program("ludex-desktop")
    window = s.main_window()
    s.wait_log("=== Application has been shown")
    s.wait_for(lambda: "_NET_WM_STATE_ABOVE" in s.window_state(window), "stay on top after a restart")
    s.move(*rest)
    time.sleep(0.8)
    _, rect_again = s.window_picture(window, "after-restart")
    check(rect_again == rect, f"the window was at {rect} and came back at {rect_again}")
    # The board, compared square by square (the clock and the animation move).
    board_area = f"{size[0]}x{size[1]}+{bx}+{by}"
    pictures = []
    for label in ("before-quit", "after-restart"):
        cropped = os.path.join(s.out, label + "-board.png")
        subprocess.run(["convert", os.path.join(s.out, label + ".png"), "-crop", board_area,
                        "+repage", cropped], check=True, timeout=60)
        pictures.append(cropped)
    difference = subprocess.run(["compare", "-metric", "AE", *pictures, "null:"], env=s.env,
                                capture_output=True, text=True, timeout=60).stderr.strip()
    check(difference == "0", f"{last_skin}'s board after a restart differs in {difference} pixels")

    # Killed during a game: the settings file is whole and the game is kept.
    left, top, _, _ = s.geometry(window)
    play.play_chess_move(s, SkinBoard(s, (left, top), (bx, by), size), "b1", "c3")
    s.proc.kill()
    s.proc.wait(10)
    with open(settings) as file:
        check(file.read() == text, "the settings file changed when the program was killed")
    with open(os.path.join(s.dir, "config", "ludex", "chess.pgn")) as file:
        check("Nc3" in file.read(), "the move before the kill was not kept")
    s.start_program("ludex-desktop")
    window = s.main_window()
    s.wait_log("=== Application has been shown")
    quit_with_escape(s, window)


def quit_with_escape(s, window):
    s.key(window, "Escape")
    try:
        status = s.proc.wait(10)
    except subprocess.TimeoutExpired:
        raise Failure("the program did not quit after Esc")
    check(status == 0, f"exit status {status}")


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    ludex, out = sys.argv[1], sys.argv[2]
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    session = Desktop(ludex, out)
    if not play.run(session, desktop):
        return 1
    # The pictures of each skin stay as test output; the raw screenshots go.
    for name in os.listdir(out):
        if name.endswith(".xwd"):
            os.remove(os.path.join(out, name))
    print("e2e desktop: all steps passed; pictures in", out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
