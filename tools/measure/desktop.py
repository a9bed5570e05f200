#!/usr/bin/env python3
"""Measures Ludex on an X server of its own (Xvfb), as a player meets it.

  desktop.py BUILD_DIR [RUNS]

- start-up: process start until the main window is on the screen and fully
  painted (ludex-startup-probe), without the log file; each run is paired
  with a run of a bare frameless Qt 6 window (built here from the source
  below), the yardstick the goal is set against, so that the ratio holds
  on a busy machine too;
- start-up with the log file present (its processor measurement sleeps on
  purpose), reported apart;
- start-up with a settings file and a game in progress on both boards
  against start-up without them, paired run by run (each run gets a fresh
  settings folder, since every run saves on its way out);
- memory: resident memory (VmRSS) once the window is shown and both tabs
  have been visited.
Prints every run and the medians. Use a Release build (make release).
"""
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time


def start_xvfb():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            raise SystemExit("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return xvfb, ":" + number.decode().strip()


def wait_window(env, timeout=20):
    deadline = time.time() + timeout
    while time.time() < deadline:
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Ludex$"], env=env,
                             capture_output=True, text=True).stdout.split()
        if out:
            return out[0]
        time.sleep(0.02)
    raise SystemExit("the main window did not appear")


def resident_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return -1


def memory_run(program, env):
    proc = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = wait_window(env)
    geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=env,
                              capture_output=True, text=True).stdout
    values = dict(line.split("=", 1) for line in geometry.split())
    x, y = int(values["X"]), int(values["Y"])
    time.sleep(0.3)
    for tab_x in (150, 60):  # Checkers, then Chess again
        subprocess.run(["xdotool", "mousemove", str(x + 20 + tab_x), str(y + 45), "click", "1"], env=env)
        time.sleep(0.3)
    kb = resident_kb(proc.pid)
    proc.send_signal(signal.SIGTERM)
    proc.wait(10)
    return kb / 1024.0


# The yardstick: a bare frameless Qt 6 window of the same size, painted with
# one colour.
BARE_WINDOW = r"""
#include <QApplication>
#include <QPainter>
#include <QWidget>
class TBare : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(40, 90, 160)); }
};
int main(int argc, char** argv) {
  QApplication application(argc, argv);
  TBare window;
  window.setWindowFlags(Qt::FramelessWindowHint);
  window.setWindowTitle("Ludex");
  window.resize(258, 300);
  window.show();
  return application.exec();
}
"""


def build_bare_window(folder):
    source = os.path.join(folder, "bare.cpp")
    program = os.path.join(folder, "bare-window")
    with open(source, "w") as out:
        out.write(BARE_WINDOW)
    flags = subprocess.run(["pkg-config", "--cflags", "--libs", "Qt6Widgets"], check=True,
                           capture_output=True, text=True).stdout.split()
    subprocess.run(["c++", "-O2", "-fPIC", source, "-o", program] + flags, check=True)
    return program


SETTINGS = ("[Application]\r\nFirstRun=No\r\nLevel=2\r\nSkin=\r\n\r\n[GUI]\r\n"
            "ShowHints=1\r\nStayOnTop=0\r\nUseTray=1\r\n\r\n[Main]\r\nLeft=40\r\nTop=30\r\n"
            "\r\n[EOF]\r\n")
# Games that end with Black's move, so that no answer is searched at the start.
CHESS_GAME = ("[Event \"Ludex game\"]\n\n1. e4 e5 2. Nf3 d6 3. d4 Bg4 4. dxe5 Bxf3 5. Qxf3 dxe5 "
              "6. Bc4 Nf6 7. Qb3 Qe7 8. Nc3 c6 9. Bg5 b5 10. Nxb5 cxb5 11. Bxb5+ Nbd7 "
              "12. O-O-O Rd8 13. Rxd7 Rxd7 14. Rd1 Qe6 15. Bxd7+ Nxd7 *\n")
CHECKERS_GAME = ("[GameType \"25\"]\n\n1. c3-d4 f6-e5 2. d4:f6 g7:e5 3. b2-c3 h6-g5 "
                 "4. g3-f4 e5:g3 5. h2:f4 b6-a5 *\n")


def config_folder(parent, kept):
    """A fresh settings folder: empty, or with the settings and both games."""
    folder = tempfile.mkdtemp(dir=parent)
    if kept:
        ludex = os.path.join(folder, "ludex")
        os.makedirs(ludex)
        for name, text in (("ludex.ini", SETTINGS), ("chess.pgn", CHESS_GAME),
                           ("checkers.pdn", CHECKERS_GAME)):
            with open(os.path.join(ludex, name), "w") as out:
                out.write(text)
    return folder


def probe_once(probe, program, env):
    out = subprocess.run([probe, program, "1"], env=env, capture_output=True, text=True,
                         check=True).stdout
    return float(out.split("run 1:")[1].split()[0])


def report(name, times):
    print(f"{name}: median {statistics.median(times):.1f} ms over {len(times)} runs "
          f"(min {min(times):.1f}, max {max(times):.1f})")


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    build = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    program = os.path.join(build, "ludex")
    probe = os.path.join(build, "ludex-startup-probe")
    log = os.path.join("/tmp", "ludex.log")
    if os.path.exists(log):
        raise SystemExit(f"{log} exists: the log's own measurement would be timed too")
    xvfb, display = start_xvfb()
    # Settings of the measurement's own, never the user's.
    config = tempfile.mkdtemp(prefix="ludex-measure-config-")
    env = dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=config)
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("WAYLAND_DISPLAY", None)
    try:
        with tempfile.TemporaryDirectory() as folder:
            bare = build_bare_window(folder)
            ludex_times, bare_times = [], []
            for index in range(runs):
                ludex_times.append(probe_once(probe, program, env))
                bare_times.append(probe_once(probe, bare, env))
                print(f"run {index + 1}: ludex {ludex_times[-1]:.1f} ms, "
                      f"bare window {bare_times[-1]:.1f} ms")
        report("start-up", ludex_times)
        report("bare frameless Qt 6 window", bare_times)
        ratio = statistics.median(ludex_times) / statistics.median(bare_times)
        print(f"ratio of the medians: {ratio:.2f}")

        with tempfile.TemporaryDirectory() as parent:
            fresh, kept = [], []
            for index in range(runs):
                for times, with_files in ((fresh, False), (kept, True)):
                    run_env = dict(env, XDG_CONFIG_HOME=config_folder(parent, with_files))
                    times.append(probe_once(probe, program, run_env))
                print(f"run {index + 1}: no settings {fresh[-1]:.1f} ms, "
                      f"settings and two games {kept[-1]:.1f} ms")
        report("start-up without settings", fresh)
        report("start-up with settings and two games", kept)
        print(f"ratio of the medians: {statistics.median(kept) / statistics.median(fresh):.2f}")


        logged = []
        try:
            for _ in range(runs):
                open(log, "w").close()
                logged.append(probe_once(probe, program, env))
        finally:
            os.remove(log)
        report("start-up with the log file", logged)

        sizes = [memory_run(program, env) for _ in range(runs)]
        for index, size in enumerate(sizes):
            print(f"memory run {index + 1}: {size:.1f} MB")
        print(f"memory median: {statistics.median(sizes):.1f} MB over {runs} runs")
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(config, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
