#!/usr/bin/env python3
"""End-to-end test: the real program on its virtual meter, used as a person would use it.

Under an X server and a D-Bus session of its own, from a fresh program folder, every control is
found in the accessibility tree by its given name, clicked and typed into at the place it shows on
the screen, and checked by what it reads back, by regions of screenshots and by the files written.
On a failure the screenshot of each step goes to the artefact folder. Exit: 0 passed, 1 failed,
77 skipped (what is missing is printed).
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import traceback

sys.dont_write_bytecode = True  # no cache folder in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
from desktop import Failure, wait_until  # noqa: E402

SKIP = 77
CAPTION = "Virtual 50,000 Count Data Logger DMM"
TIME = re.compile(r"^\d\d:\d\d:\d\d$")
# A reading as the tables show it: a number and a unit ("4.5485V", "-49.999mV", "234.51V"), or overload.
READING = re.compile(r"^(-?\d+\.?\d*\s?[a-zA-Z%]*|OL)$")


def tinted(channel):
    """Pixels of a light colour leaning to one channel: the buttons' colours under the style's shading."""
    def test(rgb):
        others = [value for index, value in enumerate(rgb) if index != channel]
        return rgb[channel] > 200 and all(rgb[channel] - v > 25 for v in others) and abs(others[0] - others[1]) < 30
    return test


def red(rgb):
    return rgb[0] > 180 and rgb[1] < 90 and rgb[2] < 90


LINKED = tinted(1)  # light green (0x80FF80): Link while linked, Start while sampling, Load after a load
LIT = tinted(0)  # light red (0x8080FF): a mode function button while the meter runs that function
TABS = {  # per tab: the captions of the mode function buttons ("" greyed) and the display shown
    "Data Logger": (["SetUp", "Clear", "Recal", "Start"], "p1(1)"),
    "Record Mode": (["", "", "Reset", "Pause"], "p1(0)"),
    "Relative Mode": (["SetUp", "", "", "Pause"], "p1(0)"),
    "Compare Mode": (["SetUp", "", "", "Pause"], "p1(0)"),
    "Trend Plot": (["SetUp", "", "Clear", "Start"], "p1(2)"),
}


def check(condition, message):
    if not condition:
        raise Failure(message)


def read_lines(path):
    with open(path, "rb") as file:
        return file.read().decode("latin-1").splitlines()


def file_rows(path):
    """A record file as rows of stripped fields."""
    return [[field.strip() for field in line.split("\t")] for line in read_lines(path)]


def ini_values(path):
    return dict(line.split("=", 1) for line in read_lines(path) if "=" in line and not line.startswith("["))


class EndToEnd:
    def __init__(self, pelicard, folder):
        self.folder = desktop.fresh_folder(folder)
        program_dir = desktop.fresh_folder(os.path.join(folder, "program"))
        self.files = desktop.fresh_folder(os.path.join(folder, "files"))
        self.artefacts = os.path.join(folder, "artefacts")
        # The settings file goes beside the executable: a copy in a fresh folder starts as a first run.
        self.pelicard = os.path.join(program_dir, os.path.basename(pelicard))
        shutil.copy2(pelicard, self.pelicard)
        self.ini = os.path.join(program_dir, "Logger_50k.ini")
        self.samples_file = os.path.join(self.files, "samples.txt")
        self.memory_file = os.path.join(self.files, "memory.log")
        self.session = self.ui = self.process = None
        self.shots = []

    def shot(self):
        return self.session.screenshot()

    def region(self, name, image=None):
        return (image or self.shot()).crop(self.ui.extents(self.ui.find(name)))

    def share(self, name, colour):
        """The share of a control's pixels for which `colour` (a test of one pixel) holds."""
        area = self.region(name)
        return area.count(colour) / max(1, area.width * area.height)

    def wait_lit(self, name, lit, colour=LINKED, what=None):
        """Waits for a button to light up in `colour` (or to go out)."""
        wait_until(what or f"{name} to {'light up' if lit else 'go out'}",
                   lambda: (self.share(name, colour) > 0.3) if lit else (self.share(name, colour) < 0.05), 5)

    def status(self, panel):
        return self.ui.find(f"StatusBar1.Panels({panel})").name

    def wait_status(self, text, timeout=10):
        wait_until(f'the status bar to say "{text}"', lambda: self.status(3) == text, timeout)

    def press_link(self, linked):
        self.ui.click("CmdSys(0)")
        self.wait_status("Connected" if linked else "Disconnected")
        self.wait_lit("CmdSys(0)", linked, what=f"Link to {'turn' if linked else 'lose its'} green")

    def message(self, expected_title, expected_text, timeout=10):
        """Reads the message box that must be open now, then presses its OK."""
        box, title, texts = self.ui.message_box(timeout)
        self.shots.append(("message", self.shot()))
        check(title == expected_title and expected_text in texts,
              f'the message box reads "{title}": {texts}; expected "{expected_title}": "{expected_text}"')
        self.ui.press_button(box, "OK")
        wait_until("the message box to close", lambda: not self.ui.dialogs(), 5)

    def sample_rows(self):
        return self.ui.grid_rows("grdMain")

    def clear_samples(self):
        self.ui.click("cmdClr")
        wait_until("the table to empty", lambda: not self.sample_rows(), 5)

    def start_sampling(self, interval):
        self.ui.type_into("txtSpl", interval)
        self.ui.click("cmdStart")
        self.wait_lit("cmdStart", True)

    def sample(self, count, interval="0.4"):
        """Samples until the table holds `count` rows more, then stops; gives the new rows."""
        before = len(self.sample_rows())
        self.start_sampling(interval)
        wait_until(f"{count} readings in the table", lambda: len(self.sample_rows()) >= before + count, 30)
        self.ui.click("cmdStart")
        self.wait_lit("cmdStart", False)
        time.sleep(float(interval) + 0.2)  # a tick already under way may still add its row
        rows = self.sample_rows()
        for row in rows:
            check(TIME.match(row[1]) and READING.match(row[2]), f"a sampled row reads {row}")
        check([row[0] for row in rows] == [str(n) for n in range(1, len(rows) + 1)],
              f"the sample numbers run {[row[0] for row in rows]}")
        return rows[before:]

    def caption(self, name):
        return self.ui.find(name).name

    def program_output(self):
        try:
            with open(os.path.join(self.folder, "pelicard.log"), errors="replace") as log:
                return log.read()
        except OSError:
            return ""

    def first_start_creates_settings(self):
        check(not os.path.exists(self.ini), "the program folder holds a settings file before the first start")
        env = dict(self.session.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        with open(os.path.join(self.folder, "pelicard.log"), "w") as log:
            self.process = subprocess.Popen([self.pelicard, "--virtual-meter"], cwd=self.files, env=env,
                                            stdout=log, stderr=subprocess.STDOUT)
        self.ui = desktop.Ui(self.session, self.process.pid)
        window = wait_until("the main window", self.ui.main_window, 30)
        check(window.name == CAPTION, f'the window caption is "{window.name}"')
        settings = ini_values(self.ini)
        check(settings == {"Caption": CAPTION, "Modelid": "1", "grdFname": "Logger.txt", "trdFname": "Test.trd",
                           "logFname": "Test.log"}, f"the new settings file holds {settings}")
        check(self.status(3) == "Disconnected", f'the status bar says "{self.status(3)}" before Link')
        check(self.ui.text("txtGfn") == "Logger.txt", "the sampling file name is not the one from the settings")
        check(self.share("CmdSys(0)", LINKED) < 0.05, "Link shows linked before it was pressed")

    def link(self):
        self.press_link(True)
        check(self.ui.enabled("cmdStart") and self.ui.enabled("chkHold"), "the panels stay greyed after Link")
        wait_until("the meter's function", lambda: self.caption("cmb(1)") == "DCV", 5)
        check(self.caption("cmb(2)") == "Auto", f'the range reads "{self.caption("cmb(2)")}"')
        check(self.ui.current_tab() == "Data Logger", f'the meter\'s mode shows as "{self.ui.current_tab()}"')

    def function_range_and_hold(self):
        self.ui.choose("cmb(1)", "ACV")
        ranges = wait_until("the ranges of ACV", lambda: (r := self.ui.combo_items("cmb(2)")) and "5V" in r and r)
        check(ranges[0] == "Auto" and "500V" in ranges and "500mV" in ranges, f"the ACV ranges are {ranges}")
        self.ui.choose("cmb(2)", "500V")
        self.ui.click("chkHold")
        wait_until("Hold to be ticked", lambda: self.ui.checked("chkHold"), 5)
        wait_until("the Hold caption to turn red", lambda: self.region("chkHold").count(red) > 10, 5)
        # Held, the reading does not change: sampling takes no reading.
        self.start_sampling("0.2")
        time.sleep(1.5)
        check(not self.sample_rows(), f"readings were taken under Hold: {self.sample_rows()}")
        self.ui.click("chkHold")
        wait_until("Hold to be cleared",
                   lambda: not self.ui.checked("chkHold") and self.region("chkHold").count(red) == 0, 5)
        rows = wait_until("readings once Hold is off", lambda: (r := self.sample_rows()) and len(r) >= 3 and r, 10)
        self.ui.click("cmdStart")
        self.wait_lit("cmdStart", False)
        check(all(row[2].endswith("V") and READING.match(row[2]) for row in rows), f"AC volts read {rows}")
        self.clear_samples()

    def every_tab(self):
        for caption, (buttons, display) in TABS.items():
            self.ui.click_tab(caption)
            for index, expected in enumerate(buttons):
                name = f"cmdFun({index})"
                wait_until(f'{name} to read "{expected}" in {caption}', lambda: self.ui.enabled(name)
                           == bool(expected) and (not expected or self.caption(name) == expected), 5)
            for area in ("p1(0)", "p1(1)", "p1(2)"):
                check(self.ui.showing(area) == (area == display), f"{area} shown is wrong in {caption}")
            image = self.shot()
            self.shots.append((caption.lower().replace(" ", "-"), image))
            if display == "p1(0)":  # the gauges are drawn: red scale numbers on the dial
                check(self.region("p1(0)", image).count(lambda rgb: rgb[0] > 180 and rgb[1] < 80) > 50,
                      f"no gauge is drawn in {caption}")

    def sampling_save_clear_load(self):
        self.ui.click_tab("Record Mode")
        self.ui.type_into("txtGfn", self.samples_file)
        rows = self.sample(10)
        check(len(rows) >= 10 and len({row[2] for row in rows}) > 1, f"the readings taken are {rows}")
        self.ui.click("cmdGrd(0)")
        self.message("Pelicard", "Complete Text file: " + self.samples_file)
        check(self.status(1) == self.samples_file, f'the status bar names "{self.status(1)}" as saved')
        check(file_rows(self.samples_file) == [row[:3] + [""] for row in rows],
              f"the saved file holds {read_lines(self.samples_file)} for the rows {rows}")
        self.clear_samples()
        self.ui.click("cmdGrd(1)")
        wait_until("the loaded rows", lambda: self.sample_rows() == rows, 5)
        self.wait_lit("cmdGrd(1)", True, what="Load to show the loaded file")

    def logger_download_and_save(self):
        self.ui.click_tab("Data Logger")
        self.ui.click("cmdFun(3)")
        self.wait_lit("cmdFun(3)", True, LIT, "Start to light up while the meter logs")
        time.sleep(3.5)  # the meter logs one record a second
        self.ui.click("cmdFun(2)")
        rows = wait_until("the download to reach its end",
                          lambda: (r := self.ui.grid_rows("grdLog(4)")) and r[-1][1] == "--EOD---" and r, 15)
        records = rows[:-1]
        check(len(records) >= 3, f"the download brought {rows}")
        check([row[0] for row in rows] == [f"{n:05d}" for n in range(len(rows))], f"the addresses run {rows}")
        for row in records:
            check(TIME.match(row[1]) and READING.match(row[2]), f"a downloaded record reads {row}")
        check(self.status(2) == f"Downloaded {len(records)} records", f'the status bar says "{self.status(2)}"')

        self.ui.click_at(self.ui.grid_cell("grdLog(0)", 0, 2))  # the folder picture: choose the file
        dialog = wait_until("the file dialog", lambda: next(iter(self.ui.dialogs()), None), 10)
        self.shots.append(("file-dialog", self.shot()))
        self.ui.key("ctrl+a")
        self.session.xdotool("type", "--delay", "4", "--", self.memory_file)
        self.ui.key("Return")
        wait_until("the dialog to close", lambda: not self.ui.dialogs(), 5)
        check(dialog.name in ("Open", ""), f'the file dialog is titled "{dialog.name}"')
        name = self.ui.grid_cell("grdLog(0)", 0, 1).name
        check(name == self.memory_file, f'the logger file bar names "{name}"')
        self.ui.click_at(self.ui.grid_cell("grdLog(0)", 0, 4))  # the disk picture: save
        self.message("Pelicard", "Complete Text file: " + self.memory_file)
        check(file_rows(self.memory_file) == [row[:3] + [""] for row in rows],
              f"the saved logger file holds {read_lines(self.memory_file)} for {rows}")

    def trend_run(self):
        self.ui.click_tab("Trend Plot")
        # A direct voltage on its automatic range stays on the plot's scale.
        self.ui.choose("cmb(1)", "DCV")
        wait_until("the automatic range", lambda: self.caption("cmb(2)") == "Auto", 5)
        check(self.ui.value("trdBar") == 0, "the trend bar starts filled")
        before = self.region("picTrd").count(red)
        self.ui.click("cmdFun(3)")
        wait_until("three trend points", lambda: self.ui.value("trdBar") >= 3, 15)
        wait_until("the trend line on the plot", lambda: self.region("picTrd").count(red) > before + 20, 5)
        self.ui.click("cmdFun(3)")
        time.sleep(0.5)
        stopped = self.ui.value("trdBar")
        time.sleep(2.5)
        check(self.ui.value("trdBar") == stopped, "the trend goes on after it was stopped")

    def unlink(self):
        self.press_link(False)
        check(not self.ui.enabled("cmdStart") and not self.ui.enabled("cmdFun(3)"),
              "the meter's panels can still be used after Unlink")

    def link_again_reads_the_meter(self):
        self.press_link(True)
        # What was chosen in the window went to the meter, which reports it back now.
        wait_until("the function the meter kept", lambda: self.caption("cmb(1)") == "ACV", 5)
        check(self.caption("cmb(2)") == "500V", f'the range reads "{self.caption("cmb(2)")}"')
        check(self.ui.current_tab() == "Data Logger", f'the meter\'s mode shows as "{self.ui.current_tab()}"')
        check(not self.ui.checked("chkHold"), "Hold shows ticked")

    def meter_unplugged_and_linked_again(self):
        self.ui.click_tab("Record Mode")
        self.clear_samples()
        self.ui.type_into("txtSpl", "0.3")
        self.ui.click("cmdStart")
        wait_until("three readings", lambda: len(self.sample_rows()) >= 3, 10)
        os.kill(self.process.pid, signal.SIGUSR1)  # the virtual meter's cable is pulled
        self.message("Connection Error", "Device not detected...Please check USB cable & connector.")
        self.wait_status("Disconnected", 5)
        check(self.share("CmdSys(0)", LINKED) < 0.05, "Link stays green with the meter gone")
        check(self.share("cmdStart", LINKED) < 0.05, "sampling goes on with the meter gone")
        kept = self.sample_rows()
        time.sleep(1)
        check(len(kept) >= 3 and self.sample_rows() == kept, "the readings taken before the loss changed")
        check(not self.ui.dialogs(), "a second message came for the same loss")

        os.kill(self.process.pid, signal.SIGUSR1)  # plugged in again
        wait_until("the program to see the meter back", lambda: "plugged in again" in self.program_output(), 5)
        self.press_link(True)
        more = self.sample(2)
        check([row[0] for row in more][:1] == [str(len(kept) + 1)],
              f"sampling after the relink went on at {more}, not after row {len(kept)}")

    def exit_writes_file_names(self):
        self.ui.type_into("txtGfn", self.samples_file)
        shown = {"grdFname": self.ui.text("txtGfn"), "logFname": self.ui.grid_cell("grdLog(0)", 0, 1).name,
                 "trdFname": self.ui.grid_cell("grdTrd", 0, 1).name}
        self.ui.click("CmdSys(1)")
        try:
            code = self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise Failure("the program is still running 15 s after Exit")
        check(code == 0, f"the program ended with exit code {code}")
        settings = ini_values(self.ini)
        check(settings == dict(Caption=CAPTION, Modelid="1", **shown),
              f"after Exit the settings file holds {settings}, the window showed {shown}")


    STEPS = [first_start_creates_settings, link, function_range_and_hold, unlink, link_again_reads_the_meter,
             every_tab, sampling_save_clear_load, logger_download_and_save, trend_run,
             meter_unplugged_and_linked_again, exit_writes_file_names]

    def run(self):
        self.session = desktop.Session(os.path.join(self.folder, "session"), width=1024, height=768)
        step_name = "start"
        started = time.monotonic()
        try:
            for number, step in enumerate(self.STEPS, 1):
                step_name = step.__name__.replace("_", "-")
                print(f"  {number:2d}. {step_name}", flush=True)
                step(self)
                if self.process.poll() is None:
                    self.shots.append((step_name, self.shot()))
        except Exception as error:
            self.report_failure(step_name, error)
            return 1
        finally:
            if self.process and self.process.poll() is None:
                self.process.kill()
                self.process.wait()
            self.session.close()
        print(f"end-to-end: {len(self.STEPS)} steps passed in {time.monotonic() - started:.0f} s")
        return 0

    def report_failure(self, step_name, error):
        print(f"FAILED in step {step_name}: {error}")
        if not isinstance(error, Failure):
            traceback.print_exc()
        try:
            if self.process and self.process.poll() is None:
                self.shots.append((step_name + "-FAILED-here", self.shot()))
        except Exception as shot_error:
            print(f"(no screenshot of the failure: {shot_error})")
        desktop.fresh_folder(self.artefacts)
        for number, (name, image) in enumerate(self.shots, 1):
            image.save(os.path.join(self.artefacts, f"{number:02d}-{name}.png"))
        print(f"screenshots of each step: {self.artefacts}")
        output = self.program_output().strip()
        if output:
            print("the program printed:\n" + "\n".join(output.splitlines()[-20:]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pelicard", required=True, help="the program to test")
    parser.add_argument("--work", required=True, help="a folder of the test's own (emptied first)")
    args = parser.parse_args()
    missing = desktop.missing_requirements()
    if missing:
        print("skipped: the end-to-end test needs " + "; ".join(missing))
        return SKIP
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))  # ended from outside, it still cleans up
    return EndToEnd(os.path.abspath(args.pelicard), os.path.abspath(args.work)).run()


if __name__ == "__main__":
    sys.exit(main())
