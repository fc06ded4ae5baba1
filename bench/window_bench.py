#!/usr/bin/env python3
"""Start time, memory and CPU of the real program, each beside a bare Qt window; run by bench/run.

Both programs run under one X server and D-Bus session of this run's own (the end-to-end test's
desktop helper, tests/e2e/desktop.py), from fresh folders, so nothing of the user's desktop counts.
The bare window is an empty QWidget of the size Pelicard's main window has when it is mapped.

- Start: the time from spawning the process until the X server maps its first top-level window.
  The moment comes from the server itself: a connection of this script listens for MapNotify on
  the root window (Xlib through ctypes, no polling) and takes the first map of a window whose
  _NET_WM_PID is the new process. One unmeasured start of each first, then 7 of each, alternating.
- Memory: VmRSS of /proc/PID/status, 3 s after the window is mapped.
- CPU: utime + stime of /proc/PID/stat over 30 s, as a share of one core; wake-ups: voluntary and
  involuntary context switches per second, summed over the threads of /proc/PID/task/*/status.
  The bare window is measured over the same 30 s, running at the same time.
- At rest, unlinked: both started plainly and left alone (the memory figure is taken from them).
- Linked and sampling: both started with Qt's accessibility on, which driving needs; Link is
  clicked, the Data Logger tab is made current and the pointer is moved off the window; later
  "Sampling(Sec)" is set to 0.1 and Start is pressed (the tab stays on Data Logger), then Start
  stops it. Nothing is asked of the accessibility tree while a figure is measured.
- Frames: meter_bench's medians (the gauges drawn offscreen, no X server involved).

Prints the table as Markdown on standard output; progress goes to standard error. Exits 1 saying
which step failed.
"""

import argparse
import ctypes
import ctypes.util
import os
import re
import select
import shutil
import signal
import statistics
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no cache folder in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import desktop  # noqa: E402
from desktop import Failure, wait_until  # noqa: E402

STARTS = 7
SETTLE = 3.0  # seconds between the window showing and the memory reading / a measurement
MEASURE = 30.0  # seconds per CPU figure
SAMPLING_INTERVAL = "0.1"
SCREEN = (1280, 1024)
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def progress(text):
    print(f"  {text}", file=sys.stderr, flush=True)


# ---- the X server's view: when a window is mapped ----------------------------------------------

class XMapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", XMapEvent), ("pad", ctypes.c_long * 24)]


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class MapWatcher:
    """A connection to the X server that hears every top-level window being mapped."""

    MAP_NOTIFY = 19
    SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
    XA_CARDINAL = 6

    def __init__(self, display_name):
        library = ctypes.util.find_library("X11")
        if not library:
            raise Failure("libX11 is not installed (Debian package libx11-6)")
        x = self.x = ctypes.CDLL(library)
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
            ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.POINTER(ctypes.c_ubyte))]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        # A window can vanish between its map and the look at its properties; Xlib's own handler
        # would end this script for that.
        self._ignore_errors = ERROR_HANDLER(lambda display, error: 0)
        x.XSetErrorHandler(self._ignore_errors)
        self.display = x.XOpenDisplay(display_name.encode())
        if not self.display:
            raise Failure(f"cannot open the X display {display_name}")
        x.XSelectInput(self.display, x.XDefaultRootWindow(self.display), self.SUBSTRUCTURE_NOTIFY_MASK)
        x.XSync(self.display, 0)
        self.pid_atom = x.XInternAtom(self.display, b"_NET_WM_PID", 0)

    def close(self):
        if self.display:
            self.x.XCloseDisplay(self.display)
            self.display = None

    def _pid_of(self, window):
        kind, fmt = ctypes.c_ulong(), ctypes.c_int()
        items, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        status = self.x.XGetWindowProperty(self.display, window, self.pid_atom, 0, 1, 0, self.XA_CARDINAL,
                                           ctypes.byref(kind), ctypes.byref(fmt), ctypes.byref(items),
                                           ctypes.byref(after), ctypes.byref(data))
        if status != 0 or not data:
            return None
        try:
            # Format 32 properties come as C longs.
            return ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0] if items.value and fmt.value == 32 else None
        finally:
            self.x.XFree(data)

    def _events(self):
        event = XEvent()
        while self.x.XPending(self.display):
            self.x.XNextEvent(self.display, ctypes.byref(event))
            yield event

    def forget(self):
        """Drops what the server reported so far."""
        self.x.XSync(self.display, 0)
        for _ in self._events():
            pass

    def wait_mapped(self, processes, timeout=30.0):
        """For each of `processes`, the monotonic time at which its first top-level window was
        mapped, and that window: {pid: (time, window)}."""
        deadline = time.monotonic() + timeout
        fd = self.x.XConnectionNumber(self.display)
        pids = {process.pid for process in processes}
        shown = {}
        while True:
            for event in self._events():
                if event.type == self.MAP_NOTIFY and not event.xmap.override_redirect:
                    when = time.monotonic()
                    owner = self._pid_of(event.xmap.window)
                    if owner in pids and owner not in shown:
                        shown[owner] = (when, event.xmap.window)
            if len(shown) == len(pids):
                return shown
            for process in processes:
                if process.poll() is not None:
                    raise Failure(f"{process.args[0]} ended with exit code {process.returncode} "
                                  "before its window showed")
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                late = [p.args[0] for p in processes if p.pid not in shown]
                raise Failure(f"no window of {', '.join(late)} was mapped within {timeout:.0f} s")
            select.select([fd], [], [], min(remaining, 0.5))


# ---- what the kernel says about a process ------------------------------------------------------

def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as file:
        stat = file.read()
    fields = stat[stat.rindex(")") + 2:].split()  # from field 3 (state) on; the name may hold spaces
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS  # fields 14 and 15: utime, stime


def status_value(path, key):
    with open(path) as file:
        for line in file:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    raise Failure(f"{path} has no {key}")


def switches_per_thread(pid):
    counts = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        path = f"/proc/{pid}/task/{tid}/status"
        try:
            counts[tid] = status_value(path, "voluntary_ctxt_switches") + \
                status_value(path, "nonvoluntary_ctxt_switches")
        except (FileNotFoundError, ProcessLookupError):
            pass  # the thread ended meanwhile
    return counts


def resident_mib(pid):
    return status_value(f"/proc/{pid}/status", "VmRSS") / 1024.0


class Reading:
    def __init__(self, pid):
        self.pid = pid
        self.time = time.monotonic()
        self.cpu = cpu_seconds(pid)
        self.switches = switches_per_thread(pid)


def rest_figures(processes, seconds):
    """CPU share of one core and wake-ups per second of each process, over the same `seconds`."""
    first = [Reading(p.pid) for p in processes]
    time.sleep(seconds)
    last = [Reading(p.pid) for p in processes]
    figures = []
    for process, before, after in zip(processes, first, last):
        if process.poll() is not None:
            raise Failure(f"{process.args[0]} ended while it was measured")
        elapsed = after.time - before.time
        # Threads started meanwhile count from zero; a thread that ended meanwhile drops out.
        switches = sum(count - before.switches.get(tid, 0) for tid, count in after.switches.items())
        figures.append((100.0 * (after.cpu - before.cpu) / elapsed, switches / elapsed))
    return figures


# ---- the run -------------------------------------------------------------------------------------

class Bench:
    def __init__(self, pelicard, bare, work):
        self.work = desktop.fresh_folder(work)
        program_dir = desktop.fresh_folder(os.path.join(work, "program"))
        # The settings file goes beside the executable: a copy keeps it out of the build tree.
        self.pelicard = os.path.join(program_dir, os.path.basename(pelicard))
        shutil.copy2(pelicard, self.pelicard)
        self.bare = bare
        self.bare_size = None
        self.session = None
        self.watcher = None
        self.running = []
        self.step = "starting the X server and the D-Bus session"
        self.figures = {}

    def spawn(self, command, accessible=False):
        env = dict(self.session.env)
        if accessible:
            env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        log = open(os.path.join(self.work, os.path.basename(command[0]) + ".log"), "a")
        process = subprocess.Popen(command, cwd=os.path.dirname(self.pelicard), env=env, stdout=log,
                                   stderr=subprocess.STDOUT)
        log.close()
        self.running.append(process)
        return process

    def end(self, process):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self.running.remove(process)

    def pelicard_command(self):
        return [self.pelicard, "--virtual-meter"]

    def bare_command(self):
        return [self.bare] + ([self.bare_size] if self.bare_size else [])

    def time_start(self, command):
        """Milliseconds from spawning `command` until its window is mapped; the program is ended again."""
        self.watcher.forget()
        started = time.monotonic()
        process = self.spawn(command)
        mapped, window = self.watcher.wait_mapped([process])[process.pid]
        if self.bare_size is None and command[0] == self.pelicard:
            geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", str(window)], env=self.session.env,
                                      capture_output=True, text=True, timeout=10).stdout
            size = dict(re.findall(r"^(WIDTH|HEIGHT)=(\d+)$", geometry, re.M))
            if len(size) == 2:
                self.bare_size = f"{size['WIDTH']}x{size['HEIGHT']}"
        self.end(process)
        return 1000.0 * (mapped - started)

    def starts(self):
        self.step = "timing the starts"
        # The first start creates the settings file and fills the disk cache: not counted.
        self.time_start(self.pelicard_command())
        self.time_start(self.bare_command())
        times = {"pelicard": [], "bare": []}
        for round_number in range(1, STARTS + 1):
            times["pelicard"].append(self.time_start(self.pelicard_command()))
            times["bare"].append(self.time_start(self.bare_command()))
            progress(f"start {round_number} of {STARTS}: Pelicard {times['pelicard'][-1]:.0f} ms, "
                     f"bare window {times['bare'][-1]:.0f} ms")
        self.figures["start"] = times

    def start_pair(self, accessible):
        """Pelicard and the bare window, both started now, once both windows are mapped."""
        self.watcher.forget()
        pelicard = self.spawn(self.pelicard_command(), accessible)
        bare = self.spawn(self.bare_command(), accessible)
        shown = self.watcher.wait_mapped([pelicard, bare])
        return pelicard, bare, max(when for when, _ in shown.values())

    def at_rest_unlinked(self):
        self.step = "measuring at rest, unlinked"
        pelicard, bare, shown = self.start_pair(accessible=False)
        time.sleep(max(0.0, shown + SETTLE - time.monotonic()))
        self.figures["memory"] = (resident_mib(pelicard.pid), resident_mib(bare.pid))
        progress(f"resident memory: Pelicard {self.figures['memory'][0]:.1f} MiB, "
                 f"bare window {self.figures['memory'][1]:.1f} MiB; measuring {MEASURE:.0f} s at rest, unlinked")
        self.figures["unlinked"] = rest_figures([pelicard, bare], MEASURE)
        self.end(pelicard)
        self.end(bare)

    def pointer_away(self):
        self.session.xdotool("mousemove", str(SCREEN[0] - 1), str(SCREEN[1] - 1))

    def linked_and_sampling(self):
        self.step = "linking on the Data Logger tab"
        pelicard, bare, _ = self.start_pair(accessible=True)
        ui = desktop.Ui(self.session, pelicard.pid)
        wait_until("the main window in the accessibility tree", ui.main_window, 30)
        ui.click("CmdSys(0)")
        wait_until('the status bar to say "Connected"', lambda: ui.find("StatusBar1.Panels(3)").name == "Connected", 10)
        if ui.current_tab() != "Data Logger":
            ui.click_tab("Data Logger")
        wait_until("the logger area to be shown", lambda: ui.showing("p1(1)") and not ui.showing("p1(0)"), 5)
        self.pointer_away()
        time.sleep(SETTLE)
        if ui.current_tab() != "Data Logger":
            raise Failure(f'the tab shown is "{ui.current_tab()}", not "Data Logger"')
        progress(f"measuring {MEASURE:.0f} s at rest, linked, on the Data Logger tab")
        self.figures["linked"] = rest_figures([pelicard, bare], MEASURE)

        self.step = f"sampling every {SAMPLING_INTERVAL} s"
        if ui.find("StatusBar1.Panels(3)").name != "Connected":
            raise Failure("the link was lost while it was measured")
        ui.type_into("txtSpl", SAMPLING_INTERVAL)
        ui.click("cmdStart")
        wait_until("the first sampled reading", lambda: filled_rows(ui, "grdMain") > 0, 5)
        self.pointer_away()
        time.sleep(1.0)
        rows_before = filled_rows(ui, "grdMain")
        progress(f"measuring {MEASURE:.0f} s while sampling every {SAMPLING_INTERVAL} s")
        self.figures["sampling"] = rest_figures([pelicard, bare], MEASURE)
        rows_after = filled_rows(ui, "grdMain")
        ui.click("cmdStart")

        def stopped():
            count = filled_rows(ui, "grdMain")
            time.sleep(4 * float(SAMPLING_INTERVAL))
            return filled_rows(ui, "grdMain") == count

        wait_until("sampling to stop", stopped, 5)
        self.figures["samples"] = rows_after - rows_before
        if self.figures["samples"] <= 0:
            raise Failure(f"no reading was sampled in the {MEASURE:.0f} s measured")
        self.end(pelicard)
        self.end(bare)

    def run(self):
        try:
            self.session = desktop.Session(os.path.join(self.work, "session"), *SCREEN)
            self.watcher = MapWatcher(self.session.env["DISPLAY"])
            self.starts()
            self.at_rest_unlinked()
            self.linked_and_sampling()
        finally:
            for process in list(self.running):
                self.end(process)
            if self.watcher:
                self.watcher.close()
            if self.session:
                self.session.close()


def filled_rows(ui, grid):
    """The number of filled rows of a table control: rows are filled from the top, so a binary
    search on the first cell finds the count in a few questions."""
    # The last table of the control is its body; one before it holds the header row.
    tables = [c for c in ui.find(grid) if c is not None and c.getRoleName() == "table"]
    table = tables[-1].queryTable()

    def filled(row):
        return bool(table.getAccessibleAt(row, 0).name.strip())

    low, high = 0, table.nRows  # rows [0, low) are filled; rows [high, nRows) are empty
    while low < high:
        middle = (low + high) // 2
        if filled(middle):
            low = middle + 1
        else:
            high = middle
    return low


# ---- meter_bench ---------------------------------------------------------------------------------

FRAME_FIGURES = [  # label in the table, meter_bench's line
    ("Full three-gauge frame (meter_bench median)", "full frame (every element painted)"),
    ("Frame with needles moving, dial cached (meter_bench median)", "incremental frame (needles moving)"),
    ("vuActivate (meter_bench median)", "vuActivate (styles + dial layers + frame)"),
]


def frame_figures(meter_bench):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    result = subprocess.run([meter_bench], env=env, capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        raise Failure(f"meter_bench ended with exit code {result.returncode}: {result.stderr.strip()}")
    medians = dict(re.findall(r"^(\S.*?)\s+median\s+([\d.]+) us", result.stdout, re.M))
    figures = []
    for label, line in FRAME_FIGURES:
        if line not in medians:
            raise Failure(f'meter_bench printed no median for "{line}":\n{result.stdout}')
        figures.append((label, float(medians[line]) / 1000.0))
    return figures


# ---- the table -----------------------------------------------------------------------------------

def table(figures, frames):
    def spread(values):
        return f"{statistics.median(values):.0f} ms ({min(values):.0f}-{max(values):.0f})"

    def cpu(pair):
        return f"{pair[0]:.2f} %"

    def wakeups(pair):
        return f"{pair[1]:.1f} /s"

    starts = figures["start"]
    (p_unlinked, b_unlinked) = figures["unlinked"]
    (p_linked, b_linked) = figures["linked"]
    (p_sampling, b_sampling) = figures["sampling"]
    rows = [
        (f"Start to first window mapped, median of {STARTS} (min-max)", spread(starts["pelicard"]),
         spread(starts["bare"])),
        (f"Resident memory (VmRSS) {SETTLE:.0f} s after the window shows",
         f"{figures['memory'][0]:.1f} MiB", f"{figures['memory'][1]:.1f} MiB"),
        (f"CPU at rest, unlinked, % of one core over {MEASURE:.0f} s", cpu(p_unlinked), cpu(b_unlinked)),
        ("Wake-ups at rest, unlinked (context switches)", wakeups(p_unlinked), wakeups(b_unlinked)),
        ("CPU at rest, linked, Data Logger tab *", cpu(p_linked), cpu(b_linked)),
        ("Wake-ups at rest, linked, Data Logger tab *", wakeups(p_linked), wakeups(b_linked)),
        (f"CPU sampling every {SAMPLING_INTERVAL} s *", cpu(p_sampling), cpu(b_sampling)),
        (f"Wake-ups sampling every {SAMPLING_INTERVAL} s *", wakeups(p_sampling), wakeups(b_sampling)),
    ]
    rows += [(label, f"{ms:.3f} ms", "-") for label, ms in frames]
    lines = ["| Figure | Pelicard | bare Qt window |", "|---|---:|---:|"]
    lines += [f"| {a} | {b} | {c} |" for a, b, c in rows]
    lines.append("")
    lines.append(f"\\* Both programs with Qt's accessibility on, as driving the window needs. "
                 f"{figures['samples']} readings were sampled in the {MEASURE:.0f} s measured "
                 f"({figures['samples'] / MEASURE:.1f} per second).")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pelicard", required=True, help="the program, built for release")
    parser.add_argument("--bare", required=True, help="the bare Qt window program")
    parser.add_argument("--meter-bench", required=True, help="the meter_bench program")
    parser.add_argument("--work", required=True, help="a folder of this run's own (emptied first)")
    args = parser.parse_args()
    missing = desktop.missing_requirements()
    if missing:
        print("bench/run: cannot measure the window without " + "; ".join(missing), file=sys.stderr)
        return 1
    # Ended from outside, the run still ends its programs, X server and bus.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    bench = Bench(os.path.abspath(args.pelicard), os.path.abspath(args.bare), os.path.abspath(args.work))
    try:
        bench.run()
        bench.step = "running meter_bench"
        progress("running meter_bench")
        frames = frame_figures(os.path.abspath(args.meter_bench))
    except Failure as error:
        print(f"bench/run: failed while {bench.step}: {error}", file=sys.stderr)
        return 1
    except Exception as error:  # a tool or the accessibility bus gave up: say where
        print(f"bench/run: failed while {bench.step}: {type(error).__name__}: {error}", file=sys.stderr)
        return 1
    print(table(bench.figures, frames))
    return 0


if __name__ == "__main__":
    sys.exit(main())
