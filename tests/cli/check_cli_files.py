#!/usr/bin/env python3
"""pelicard-cli on the virtual meter, as another program sees it: the CSV and JSON Lines files read back
with Python's own modules, a lost meter, Ctrl+C and SIGTERM, a pipe that sees each row at once, and the
download's progress line on a terminal only.

Usage: check_cli_files.py PELICARD_CLI WORK_DIR
"""
import csv
import datetime
import json
import os
import pty
import re
import signal
import subprocess
import sys
import time

CLI, WORK = sys.argv[1], sys.argv[2]
os.makedirs(WORK, exist_ok=True)
READING = re.compile(r"^\s*(-?\d+\.\d+)(\S+)\s*$")
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(*arguments, **options):
    return subprocess.run([CLI, *arguments], capture_output=True, timeout=60, **options)


def check_row(row, where):
    """A row's value, unit and timestamp agree with the meter's text in it."""
    stamp = datetime.datetime.fromisoformat(row["timestamp"])
    check(stamp.tzinfo is not None and stamp.microsecond % 1000 == 0, f"{where}: timestamp {row['timestamp']}")
    check(abs(stamp - datetime.datetime.now(datetime.timezone.utc)) < datetime.timedelta(minutes=5),
          f"{where}: timestamp {row['timestamp']} is not now")
    match = READING.match(row["text"])
    check(match is not None, f"{where}: text {row['text']!r}")
    if match:
        check(float(row["value"]) == float(match.group(1)), f"{where}: value {row['value']!r}")
        check(row["unit"] == match.group(2), f"{where}: unit {row['unit']!r}")
    check(row["overload"] in ("false", False), f"{where}: overload {row['overload']!r}")
    return stamp


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


def read_jsonl(path):
    with open(path, encoding="utf-8") as f:
        return [json.loads(line) for line in f]


# Sixty readings, as CSV on the 50k variant and as JSON Lines on the 5k variant.
for variant, form, reader in (("50k", "csv", read_csv), ("5k", "jsonl", read_jsonl)):
    path = os.path.join(WORK, "sixty." + form)
    result = run(f"--virtual-meter={variant}", "sample", "--interval", "0.001", "--count", "60",
                 "--output", path, "--format", form)
    check(result.returncode == 0, f"{form}: exit {result.returncode} {result.stderr!r}")
    rows = reader(path)
    check(len(rows) == 60, f"{form}: {len(rows)} rows")
    stamps = [check_row(row, f"{form} row {i}") for i, row in enumerate(rows)]
    check(stamps == sorted(stamps), f"{form}: timestamps out of order")

# The meter unplugged after seven rows: exit 3, the seven rows whole on disk.
path = os.path.join(WORK, "lost.csv")
result = run("--virtual-meter", "--virtual-meter-unplug-after=7", "sample", "--interval", "0.001",
             "--count", "60", "--output", path)
check(result.returncode == 3, f"lost: exit {result.returncode}")
check(b"Device not detected" in result.stderr, f"lost: stderr {result.stderr!r}")
rows = read_csv(path)
check(len(rows) == 7, f"lost: {len(rows)} rows")
for i, row in enumerate(rows):
    check_row(row, f"lost row {i}")

# Ctrl+C and SIGTERM while sampling: exit 0, every line whole.
for stop in (signal.SIGINT, signal.SIGTERM):
    path = os.path.join(WORK, f"stopped-{stop.name}.csv")
    if os.path.exists(path):
        os.remove(path)  # a file of an earlier run would let the signal come before the program runs
    process = subprocess.Popen([CLI, "--virtual-meter", "sample", "--interval", "0.02", "--output", path],
                               stderr=subprocess.PIPE)
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline and (not os.path.exists(path) or open(path, "rb").read().count(b"\n") < 6):
        time.sleep(0.05)
    process.send_signal(stop)
    _, err = process.communicate(timeout=20)
    check(process.returncode == 0, f"{stop.name}: exit {process.returncode} {err!r}")
    data = open(path, "rb").read()
    check(data.endswith(b"\r\n"), f"{stop.name}: last line cut")
    rows = read_csv(path)
    check(len(rows) >= 5, f"{stop.name}: {len(rows)} rows")
    for i, row in enumerate(rows):
        check_row(row, f"{stop.name} row {i}")

# A pipe sees each row as it is taken, long before the end.
process = subprocess.Popen([CLI, "--virtual-meter", "sample", "--interval", "0.2", "--count", "100",
                            "--format", "tsv"], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
header = process.stdout.readline()
first = process.stdout.readline()
check(process.poll() is None, "pipe: the rows came only at the end")
check(header == b"timestamp\tvalue\tunit\toverload\ttext\n", f"pipe: header {header!r}")
check(check_row(dict(zip(header.decode().rstrip("\n").split("\t"), first.decode().rstrip("\n").split("\t"))), "pipe") is not None,
      "pipe: row")
process.terminate()
process.communicate(timeout=20)
check(process.returncode == 0, f"pipe: exit {process.returncode}")

# The download's progress line goes to a terminal, never into a pipe.
result = run("--virtual-meter", "download")
check(result.returncode == 0 and result.stderr == b"", f"download piped: {result.returncode} {result.stderr!r}")
check(result.stdout == b"timestamp,value,unit,overload,text,address,meter_time\r\n", f"download: {result.stdout!r}")
controller, terminal = pty.openpty()
result = subprocess.run([CLI, "--virtual-meter", "download"], stdout=subprocess.PIPE, stderr=terminal, timeout=60)
os.close(terminal)
progress = os.read(controller, 4096)
os.close(controller)
check(result.returncode == 0 and b"downloading: 0 records" in progress, f"download on a terminal: {progress!r}")

if failures:
    sys.exit(f"{len(failures)} check(s) failed")
print("pelicard-cli files, signals, pipes and terminal: all checks passed")
