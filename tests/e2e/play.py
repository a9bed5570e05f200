#!/usr/bin/env python3
"""Plays Ludex as a person would, on a real X server of its own.

Starts Xvfb on a free display, a tray host (trayer) and a copy of the
program with its log file present, then drives it with xdotool and looks
at it with screenshots (ImageMagick's import). On failure the screenshots
stay in the output folder so that the failure can be seen.

Usage: play.py LUDEX OUTPUT_DIR
(LUDEX_E2E_KEEP=1 keeps the screenshots of a passing run too.)
"""
import ctypes
import os
import shutil
import subprocess
import sys
import tempfile
import time

SCREEN_W, SCREEN_H = 1024, 768
WIN_W, WIN_H = 258, 300
BOARD_X, BOARD_Y = 22, 62  # the board's top-left corner inside the window
SQUARE = 27


class Failure(Exception):
    pass


class XImage(ctypes.Structure):
    """The leading fields of Xlib's XImage."""
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


class FastX:
    """Clicks and reads pixels in this process through Xlib and XTest, for
    the one step that must see the screen within a fraction of a second of
    a click (starting xdotool and xwd takes longer than that on a busy
    machine)."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XGetImage.restype = ctypes.POINTER(XImage)
        self.x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(display.encode())
        check(self.display, "cannot open the X display")
        self.root = self.x11.XDefaultRootWindow(self.display)

    def click(self):
        """A left click where the pointer is; returns once the X server has it."""
        self.xtst.XTestFakeButtonEvent(self.display, 1, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.display, 1, 0, 0)
        self.x11.XSync(self.display, 0)

    def grab(self, left, top, width, height):
        """The RGB bytes of a screen rectangle, read in one server request,
        and the time the request was answered."""
        zpixmap = 2
        image = self.x11.XGetImage(self.display, self.root, left, top, width, height, 0xFFFFFFFF, zpixmap)
        answered = time.time()
        check(image and image.contents.bits_per_pixel == 32, "XGetImage failed")
        raw = ctypes.string_at(image.contents.data, image.contents.bytes_per_line * height)
        data = bytearray()
        for y in range(height):
            row = raw[y * image.contents.bytes_per_line:]
            for x in range(width):
                blue, green, red = row[4 * x], row[4 * x + 1], row[4 * x + 2]
                data += bytes((red, green, blue))
        return bytes(data), answered


def check(condition, message):
    if not condition:
        raise Failure(message)


class Session:
    def __init__(self, ludex, out):
        self.ludex = ludex
        self.out = out
        self.procs = []
        self.env = dict(os.environ)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.shots = 0

    # ---- processes -------------------------------------------------------

    def start_display(self):
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24",
             "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        self.procs.append(xvfb)
        number = b""
        deadline = time.time() + 20
        while not number.endswith(b"\n") and time.time() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        check(number.strip(), "Xvfb did not start")
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def start_tray(self):
        tray = subprocess.Popen(
            ["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
             "--height", "24", "--transparent", "false", "--SetDockType", "true"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(tray)
        self.wait_for(lambda: self.find_window(["--class", "trayer"]), "the tray host to appear")

    def start_program(self, name="ludex-e2e"):
        """A copy of the program, with its log file present, started in the
        session's folder (made here unless the session made one already)."""
        if not hasattr(self, "dir"):
            self.dir = tempfile.mkdtemp(prefix=name + "-")
        # Settings of its own, never the user's: a start after a stop in the
        # same session finds what the stop saved.
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.dir, "config")
        name = "%s-%d" % (name, os.getpid())
        self.program = os.path.join(self.dir, name)
        shutil.copy(self.ludex, self.program)
        self.log_path = os.path.join(tempfile.gettempdir(), name + ".log")
        open(self.log_path, "w").close()
        self.proc = subprocess.Popen([self.program], env=self.env, stdout=subprocess.DEVNULL,
                                     stderr=open(os.path.join(self.out, "stderr.txt"), "w"))
        self.procs.append(self.proc)

    def stop(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
        if hasattr(self, "dir"):
            shutil.rmtree(self.dir, ignore_errors=True)

    # ---- X helpers -------------------------------------------------------

    def x(self, *args, check_status=True):
        result = subprocess.run(list(args), env=self.env, capture_output=True, text=True, timeout=30)
        if check_status and result.returncode != 0:
            raise Failure(f"{' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def find_window(self, query):
        out = self.x("xdotool", "search", "--onlyvisible", *query, check_status=False)
        ids = out.split()
        return ids[0] if ids else None

    def wait_for(self, predicate, what, timeout=20.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = predicate()
            if value:
                return value
            time.sleep(0.05)
        raise Failure("timed out waiting for " + what)

    def geometry(self, window):
        info = self.x("xwininfo", "-id", window)
        values = {}
        for line in info.splitlines():
            line = line.strip()
            for key in ("Absolute upper-left X:", "Absolute upper-left Y:", "Width:", "Height:"):
                if line.startswith(key):
                    values[key] = int(line.split(":")[1])
        return (values["Absolute upper-left X:"], values["Absolute upper-left Y:"], values["Width:"],
                values["Height:"])

    def move(self, x, y):
        self.x("xdotool", "mousemove", str(x), str(y))

    def click(self, x, y, button=1):
        self.move(x, y)
        self.x("xdotool", "click", str(button))

    def window_under(self, x, y):
        self.move(x, y)
        out = self.x("xdotool", "getmouselocation", "--shell")
        return dict(line.split("=", 1) for line in out.split())["WINDOW"]

    def screenshot(self, label):
        """The whole screen, grabbed at once with xwd (fast enough to catch
        a move before the answer); turned into a PNG later, on demand."""
        self.shots += 1
        path = os.path.join(self.out, "%02d-%s.xwd" % (self.shots, label))
        with open(path, "wb") as file:
            subprocess.run(["xwd", "-root", "-silent"], env=self.env, stdout=file, check=True, timeout=30)
        return path

    def keep_pictures(self):
        """PNG copies of every screenshot, for a person to look at."""
        for name in sorted(os.listdir(self.out)):
            if name.endswith(".xwd"):
                source = os.path.join(self.out, name)
                subprocess.run(["convert", "xwd:" + source, source[:-4] + ".png"], timeout=60)
                os.remove(source)

    def pixels(self, path, left, top, width, height):
        """The RGB bytes of a rectangle of a screenshot."""
        result = subprocess.run(
            ["convert", "xwd:" + path, "-crop", f"{width}x{height}+{left}+{top}", "+repage", "-depth", "8",
             "rgb:-"], capture_output=True, timeout=30)
        check(result.returncode == 0, "convert failed on " + path)
        return result.stdout

    # ---- the log ---------------------------------------------------------

    def log_lines(self):
        with open(self.log_path, "rb") as file:
            text = file.read().decode("utf-8", "replace")
        return [line for line in text.split("\r\n") if line]

    def wait_log(self, fragment, after=0, timeout=20.0):
        def found():
            lines = self.log_lines()
            for index in range(after, len(lines)):
                if fragment in lines[index]:
                    return index + 1
            return None
        return self.wait_for(found, "the log line " + repr(fragment), timeout)


class Board:
    """Reads the 64 squares of a board from a screenshot."""

    def __init__(self, session, origin):
        self.session = session
        self.left = origin[0] + BOARD_X
        self.top = origin[1] + BOARD_Y

    def grab_fast(self, fast):
        """The board's pixels and the time they were read."""
        return fast.grab(self.left, self.top, 8 * SQUARE, 8 * SQUARE)

    def squares(self, shot):
        data = shot if isinstance(shot, bytes) else self.session.pixels(
            shot, self.left, self.top, 8 * SQUARE, 8 * SQUARE)
        check(len(data) == 3 * 64 * SQUARE * SQUARE, "unexpected screenshot size")
        row_bytes = 3 * 8 * SQUARE
        result = {}
        for rank in range(8):
            for file in range(8):
                cells = []
                top = (7 - rank) * SQUARE
                for y in range(top, top + SQUARE):
                    start = y * row_bytes + 3 * file * SQUARE
                    cells.append(data[start:start + 3 * SQUARE])
                result["abcdefgh"[file] + str(rank + 1)] = b"".join(cells)
        return result

    def changed(self, before, after):
        a, b = self.squares(before), self.squares(after)
        return sorted(name for name in a if a[name] != b[name])

    def centre(self, name):
        file = "abcdefgh".index(name[0])
        rank = int(name[1]) - 1
        return (self.left + file * SQUARE + SQUARE // 2, self.top + (7 - rank) * SQUARE + SQUARE // 2)


def play(session):
    session.start_display()
    session.start_tray()
    session.start_program()
    s = session

    # 1. The window appears centred, with its shape.
    window = s.wait_for(lambda: s.find_window(["--name", "^Ludex$"]), "the main window")
    s.wait_log("=== Application has been shown")
    title = s.x("xprop", "-id", window, "_NET_WM_NAME", "WM_NAME")
    check(title.count('"Ludex"') == 2, "the window's title is not the program's: " + title.strip())
    x, y, w, h = s.geometry(window)
    check((w, h) == (WIN_W, WIN_H), f"window size {w}x{h}")
    check((x, y) == ((SCREEN_W - WIN_W) // 2, (SCREEN_H - WIN_H) // 2), f"window at {x},{y}")
    time.sleep(0.5)
    start = s.screenshot("start")
    check(s.window_under(x, y) != window, "a click on the masked corner reaches the program")
    check(s.window_under(x + WIN_W // 2, y + WIN_H - 12) == window, "the window's body is not ours")
    board = Board(s, (x, y))

    # 5. The tray icon is docked in the tray host.
    tray = s.find_window(["--class", "trayer"])
    tree = s.x("xwininfo", "-id", tray, "-tree")
    check("child" in tree and "ludex" in tree.lower(), "no tray icon docked in the tray host")

    # 2. Drag e2 to e4: White's move, then Black's answer.
    s.move(x + WIN_W // 2, y + WIN_H - 10)
    time.sleep(0.2)
    before = s.screenshot("chess-before")
    mark = len(s.log_lines())
    ex, ey = board.centre("e2")
    tx, ty = board.centre("e4")
    s.move(ex, ey)
    s.x("xdotool", "mousedown", "1")
    for step in range(1, 6):
        s.move(ex + (tx - ex) * step // 5, ey + (ty - ey) * step // 5)
        time.sleep(0.03)
    s.x("xdotool", "mouseup", "1")
    after_white = s.wait_log("=WhiteMove: E2-E4", mark)
    s.wait_log("=Black Move: ", after_white)
    s.move(x + WIN_W // 2, y + WIN_H - 10)
    time.sleep(0.3)
    after = s.screenshot("chess-after")
    changed = board.changed(before, after)
    check("e2" in changed and "e4" in changed and len(changed) >= 4,
          f"the board does not show both moves (changed squares: {changed})")

    # 3. The Checkers tab; c3, d4, d4 plays c3-d4, shown before Black answers.
    s.click(x + 20 + 150, y + 30 + 15)
    time.sleep(0.4)
    checkers_start = s.screenshot("checkers-start")
    check(len(board.changed(after, checkers_start)) >= 20, "the checkers board is not shown")
    for square in ("c3", "d4"):
        s.click(*board.centre(square))
        time.sleep(0.15)
    s.move(*board.centre("d4"))
    fast = FastX(s.env["DISPLAY"])
    time.sleep(0.1)
    fast.click()
    clicked = time.time()
    time.sleep(0.1)
    early, seen = board.grab_fast(fast)
    early_delay = seen - clicked
    time.sleep(max(0.0, 0.6 - (time.time() - clicked)))
    late, _ = board.grab_fast(fast)
    s.screenshot("checkers-black")
    white_move = board.changed(checkers_start, early)
    check(early_delay <= 0.15, f"the early look took {early_delay:.3f} s")
    check("c3" in white_move and "d4" in white_move,
          f"White's move is not on the screen {early_delay:.3f} s after the click ({white_move})")
    check(len(white_move) == 2, f"Black answered too early ({white_move})")
    check(len(board.changed(early, late)) >= 2, "Black's answer is not on the screen 0.6 s after the click")

    # 4. Right click, "New Game" from the menu: both boards start again.
    mark = len(s.log_lines())
    s.click(x + WIN_W // 2, y + WIN_H - 10, button=3)
    time.sleep(0.5)
    s.screenshot("menu")
    mx, my = x + WIN_W // 2, y + WIN_H - 10
    s.click(mx + 30, my + 12)
    s.wait_log("TEntityManager.Execute(Application.NewGame)", mark)
    s.move(x + WIN_W // 2, y + WIN_H - 10)
    time.sleep(0.3)
    reset = s.screenshot("checkers-new-game")
    check(board.changed(checkers_start, reset) == [], "the checkers board was not reset")
    s.click(x + 20 + 60, y + 30 + 15)
    s.move(x + WIN_W // 2, y + WIN_H - 10)
    time.sleep(0.4)
    chess_reset = s.screenshot("chess-new-game")
    check(board.changed(before, chess_reset) == [], "the chess board was not reset")

    # 4b. The exit button's tooltip: a new window of ours near the button,
    # as wide as a short caption ("Exit (Esc)").
    s.move(x + WIN_W // 2, y + WIN_H - 10)
    time.sleep(0.2)
    windows_before = set(our_windows(s))
    s.move(x + 9 + 7, y + 6 + 7)
    time.sleep(0.1)
    s.move(x + 9 + 8, y + 6 + 8)
    tips = s.wait_for(lambda: [w for w in our_windows(s) if w not in windows_before], "the tooltip",
                      timeout=10)
    time.sleep(0.2)
    s.screenshot("tooltip")
    tip_x, tip_y, tip_w, tip_h = s.geometry(tips[0])
    check(abs(tip_x - (x + 17)) < 60 and 0 <= tip_y - (y + 14) < 60,
          f"the tooltip is at {tip_x},{tip_y}, far from the button")
    check(30 <= tip_w <= 150 and 10 <= tip_h <= 40, f"the tooltip is {tip_w}x{tip_h}")

    # 5b. The tray icon's menu: "New Game" resets both boards.
    s.move(x + WIN_W // 2, y + WIN_H - 10)
    play_chess_move(s, board, "d2", "d4")
    s.move(x + WIN_W // 2, y + WIN_H - 10)
    time.sleep(0.3)
    moved = s.screenshot("chess-moved-again")
    check(board.changed(chess_reset, moved) != [], "the chess move did not show")

    # 5a. Ctrl+Z takes the move and its answer back: the start position again.
    s.x("xdotool", "windowfocus", "--sync", window, check_status=False)
    mark = len(s.log_lines())
    s.x("xdotool", "key", "--window", window, "ctrl+z", check_status=False)
    s.wait_log("TEntityManager.Execute(Application.Undo)", mark)
    s.move(x + WIN_W // 2, y + WIN_H - 10)
    time.sleep(0.3)
    check(board.changed(chess_reset, s.screenshot("take-back")) == [],
          "Ctrl+Z did not bring the start position back")
    play_chess_move(s, board, "d2", "d4")
    s.move(x + WIN_W // 2, y + WIN_H - 10)
    time.sleep(0.3)
    ix, iy, iw, ih = tray_icon(s)
    mark = len(s.log_lines())
    s.click(ix + iw // 2, iy + ih // 2, button=3)
    time.sleep(0.5)
    s.screenshot("tray-menu")
    s.click(ix + iw // 2 + 30, iy + ih // 2 + 12)
    s.wait_log("TEntityManager.Execute(Application.NewGame)", mark)
    s.move(x + WIN_W // 2, y + WIN_H - 10)
    time.sleep(0.3)
    check(board.changed(chess_reset, s.screenshot("tray-new-game")) == [],
          "the tray menu's New Game did not reset the chess board")

    # 6. Without a window manager, an alert's message box takes the focus
    # and gives it back: F1 finds no help page here and says so; once the
    # box is closed, Esc still quits at the next tick.
    s.move(x + WIN_W // 2, y + WIN_H - 10)
    s.x("xdotool", "windowfocus", "--sync", window, check_status=False)
    mark = len(s.log_lines())
    s.x("xdotool", "key", "--window", window, "F1", check_status=False)
    s.wait_log("!Alert(Help file is not available)", mark)
    box = s.wait_for(lambda: [w for w in our_windows(s) if w != window and s.geometry(w)[2] > 100],
                     "the message box")[0]
    time.sleep(0.3)
    s.screenshot("alert-box")
    s.x("xdotool", "windowfocus", "--sync", box, check_status=False)
    s.x("xdotool", "key", "--window", box, "Return", check_status=False)
    s.wait_for(lambda: box not in our_windows(s), "the message box to close")
    # The program may quit before xdotool is done with the window: whether
    # it quit is what the wait below tells.
    s.x("xdotool", "windowfocus", "--sync", window, check_status=False)
    s.x("xdotool", "key", "--window", window, "Escape", check_status=False)
    try:
        status = s.proc.wait(10)
    except subprocess.TimeoutExpired:
        raise Failure("the program did not quit after Esc")
    check(status == 0, f"exit status {status}")
    lines = s.log_lines()
    messages = [line.split(":", 3)[-1] if line.count(":") >= 3 else line for line in lines]
    for expected in ("+TSkinWindow.Create", "=== Application has been hidden", "+TSkinWindow.Destroy",
                     "-TSkinWindow.Destroy", "TEntityManager.Destroy: Entity holders left=",
                     "Memory Leak Guard - Count:", "=" * 45):
        check(any(expected in message for message in messages), "the log lacks " + repr(expected))
    check(lines[-1].endswith("=" * 45), "the log does not end with its closing line")


def play_chess_move(session, board, source, target):
    """Drags a piece and waits for the answer in the log."""
    mark = len(session.log_lines())
    sx, sy = board.centre(source)
    tx, ty = board.centre(target)
    session.move(sx, sy)
    session.x("xdotool", "mousedown", "1")
    for step in range(1, 6):
        session.move(sx + (tx - sx) * step // 5, sy + (ty - sy) * step // 5)
        time.sleep(0.03)
    session.x("xdotool", "mouseup", "1")
    after = session.wait_log("=WhiteMove: %s-%s" % (source.upper(), target.upper()), mark)
    session.wait_log("=Black Move: ", after)


def tray_icon(session):
    """The screen rectangle of the program's icon in the tray host."""
    tray = session.find_window(["--class", "trayer"])
    for line in session.x("xwininfo", "-id", tray, "-tree").splitlines():
        if "ludex" in line.lower():
            return session.geometry(line.split()[0])
    raise Failure("no tray icon docked in the tray host")


def our_windows(session):
    """The program's visible windows."""
    out = session.x("xdotool", "search", "--onlyvisible", "--pid", str(session.proc.pid), check_status=False)
    return out.split()


def run(session, steps):
    """Runs the steps; on failure keeps the screenshots and the log in the
    output folder and says where. True when every step passed."""
    try:
        steps(session)
        return True
    except Failure as failure:
        print("FAILED:", failure)
        print("screenshots and the program's output are in", session.out)
        if hasattr(session, "log_path") and os.path.exists(session.log_path):
            shutil.copy(session.log_path, os.path.join(session.out, "ludex.log"))
        session.keep_pictures()
        return False
    finally:
        session.stop()
        if hasattr(session, "log_path") and os.path.exists(session.log_path):
            os.remove(session.log_path)


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    ludex, out = sys.argv[1], sys.argv[2]
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    session = Session(ludex, out)
    if not run(session, play):
        return 1
    if os.environ.get("LUDEX_E2E_KEEP"):
        session.keep_pictures()
    else:
        shutil.rmtree(out, ignore_errors=True)
    print("e2e play: all steps passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
