#!/usr/bin/env python3
"""Takes every screenshot in docs/ from the real program on its virtual meter.

Run through tools/screenshots.sh, which builds the program and installs what this needs. The
program runs under an X server of its own and is driven as a person would (the end-to-end test's
desktop helper): a logger download, sampling in each reading mode, a trend run, the enlarged window,
the window at a scale factor of 2, and the chart while sampling and with a loaded file.
"""

import argparse
import math
import os
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no cache folder in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import desktop  # noqa: E402
from desktop import wait_until  # noqa: E402


class Shooter:
    def __init__(self, pelicard, docs, work, width, height, scale, name=None):
        self.docs = docs
        self.width, self.height = width, height
        program_dir = desktop.fresh_folder(os.path.join(work, f"program-{name or scale}"))
        self.program_dir = program_dir
        shutil.copy2(pelicard, program_dir)
        self.session = desktop.Session(os.path.join(work, f"session-{name or scale}"), width, height)
        self.process = None
        env = dict(self.session.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        if scale != 1:
            env["QT_SCALE_FACTOR"] = str(scale)
        try:
            self.process = subprocess.Popen(
                [os.path.join(program_dir, os.path.basename(pelicard)), "--virtual-meter"], cwd=program_dir,
                env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.ui = desktop.Ui(self.session, self.process.pid)
            self.ui.scale = scale
            wait_until("the main window", self.ui.main_window, 30)
        except BaseException:
            self.close()
            raise
        time.sleep(0.5)

    def close(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.session.close()

    def save(self, name, box):
        # The pointer goes where it lights nothing up.
        self.session.xdotool("mousemove", str(self.width - 1), str(self.height - 1))
        time.sleep(0.4)
        path = os.path.join(self.docs, name)
        self.session.screenshot().crop(box).save(path)
        print(f"  {path}")

    def window_box(self):
        return self.ui.extents(self.ui.main_window())

    def save_window(self, name):
        self.save(name, self.window_box())

    def save_around(self, name, names, margin=1):
        boxes = [self.ui.extents(self.ui.find(control)) for control in names]
        left = min(box[0] for box in boxes) - margin
        top = min(box[1] for box in boxes) - margin
        right = max(box[0] + box[2] for box in boxes) + margin
        bottom = max(box[1] + box[3] for box in boxes) + margin
        self.save(name, (left, top, right - left, bottom - top))

    def link(self):
        self.ui.click("CmdSys(0)")
        wait_until("Connected", lambda: self.ui.find("StatusBar1.Panels(3)").name == "Connected", 10)

    def start_sampling(self, interval, rows):
        self.ui.type_into("txtSpl", interval)
        self.ui.click("cmdStart")
        wait_until(f"{rows} readings", lambda: len(self.ui.grid_rows("grdMain")) >= rows, 30)


def main_run(args):
    shots = Shooter(args.pelicard, args.docs, args.work, 1280, 1024, 1)
    try:
        shots.link()
        # Data Logger: the meter logs for a few seconds, then its memory is downloaded.
        shots.ui.click("cmdFun(3)")
        time.sleep(6.5)
        shots.ui.click("cmdFun(2)")
        wait_until("the end of the download",
                   lambda: any(row[1] == "--EOD---" for row in shots.ui.grid_rows("grdLog(4)")), 20)
        shots.save_window("tab-data-logger.png")

        # Record Mode, sampling: the README's first picture and the gauges.
        shots.ui.click_tab("Record Mode")
        shots.start_sampling("0.5", 7)
        shots.save_window("window.png")
        shots.save_around("gauges.png", ["p1(0)"])
        for tab in ("Relative Mode", "Compare Mode"):
            shots.ui.click_tab(tab)
            time.sleep(2.5)
            shots.save_window(f"tab-{tab.lower().replace(' ', '-')}.png")
        shots.ui.click("cmdStart")

        # A trend run of half a minute.
        shots.ui.click_tab("Trend Plot")
        shots.ui.click("cmdFun(3)")
        wait_until("thirty trend points", lambda: shots.ui.find("trdBar").queryValue().currentValue >= 30, 60)
        shots.save_window("tab-trend-plot.png")
        shots.save_around("trend.png", ["picTrd", "grdTrd"], margin=4)
        shots.ui.click("cmdFun(3)")

        # The window made larger: the tables take the room.
        shots.ui.click_tab("Record Mode")
        window_id = subprocess.run(["xdotool", "search", "--pid", str(shots.process.pid)],
                                   env=shots.session.env, capture_output=True, text=True, check=True)
        shots.session.xdotool("windowsize", window_id.stdout.split()[0], "1240", "820")
        wait_until("the larger window", lambda: shots.window_box()[2] >= 1200, 10)
        shots.start_sampling("0.5", len(shots.ui.grid_rows("grdMain")) + 4)
        shots.save_window("window-large.png")
        shots.ui.click("cmdStart")
    finally:
        shots.close()


def scaled_run(args):
    shots = Shooter(args.pelicard, args.docs, args.work, 2200, 1300, 2)
    try:
        shots.link()
        shots.ui.click_tab("Record Mode")
        shots.start_sampling("0.5", 5)
        shots.ui.click("cmdStart")
        shots.save_window("window-scale2.png")
    finally:
        shots.close()


def write_discharge_file(path):
    """Half an hour of a battery's voltage under load, one reading every 5 s, with two overloads."""
    with open(path, "w", newline="") as out:
        for i in range(360):
            seconds = 10 * 3600 + 15 * 60 + i * 5
            volts = 12.72 - 0.0009 * i - 0.35 * math.exp(-(i - 20) ** 2 / 60.0) * (i > 20) \
                - 0.0004 * (i - 250) ** 2 / 25.0 * (i > 250) + 0.004 * math.sin(i * 1.3)
            reading = "    OL     " if i in (130, 131, 212) else f" {volts:6.3f}V   "
            time_text = f"{seconds // 3600:02d}:{seconds // 60 % 60:02d}:{seconds % 60:02d}"
            out.write(f"{i + 1}\t{time_text}\t{reading}\t\r\n")


def chart_run(args):
    shots = Shooter(args.pelicard, args.docs, args.work, 1280, 1100, 1, name="chart")
    try:
        shots.link()
        shots.ui.click_tab("Record Mode")
        shots.ui.click("chkChart")
        wait_until("the chart", lambda: shots.ui.showing("chtMain"), 10)
        shots.ui.click("chkLive")
        shots.start_sampling("0.5", 40)
        shots.save_window("chart-sampling.png")
        shots.ui.click("cmdStart")

        write_discharge_file(os.path.join(shots.program_dir, "discharge.dat"))
        shots.ui.type_into("txtGfn", "discharge.dat")
        shots.ui.click("cmdGrd(1)")
        wait_until("the loaded rows", lambda: len(shots.ui.grid_rows("grdMain")) >= 12, 20)
        time.sleep(1.0)
        shots.save_window("chart-loaded.png")
    finally:
        shots.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pelicard", required=True, help="the program")
    parser.add_argument("--docs", required=True, help="the folder the pictures go to")
    parser.add_argument("--work", required=True, help="a folder for the runs (emptied first)")
    parser.add_argument("--run", choices=RUNS, help="one run only (the accessibility library serves one "
                        "D-Bus session per process, so each run is a process of its own)")
    args = parser.parse_args()
    args.pelicard = os.path.abspath(args.pelicard)
    if args.run:
        RUNS[args.run](args)
        return 0
    missing = desktop.missing_requirements()
    if missing:
        print("Cannot take the screenshots without " + "; ".join(missing))
        return 1
    desktop.fresh_folder(args.work)
    for run in RUNS:
        subprocess.run([sys.executable, os.path.abspath(__file__), "--pelicard", args.pelicard, "--docs", args.docs,
                        "--work", args.work, "--run", run], check=True)
    shutil.rmtree(args.work, ignore_errors=True)
    return 0


RUNS = {"main": main_run, "scaled": scaled_run, "chart": chart_run}

if __name__ == "__main__":
    sys.exit(main())
