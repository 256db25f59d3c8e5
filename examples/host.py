#!/usr/bin/env python3
"""A host application's use of tavelin-capture, standard library only.

It checks the screen recording permission, asks for it when it is missing, then runs two
captures: the first with a pre-placed selection, the second starting where the first ended,
with every earlier result passed back as history (R and Shift+R step through it in the
overlay). Run it on a desktop and confirm each selection with Return.

    examples/host.py [--program PATH] [--out-dir DIR]
"""

import argparse
import json
import subprocess
import sys
import tempfile


class HelperMissing(Exception):
    pass


def run_helper(program, *arguments):
    """One run: its exit status and its record, the first line of its standard output."""
    try:
        finished = subprocess.run([program, *arguments], stdout=subprocess.PIPE, text=True)
    except FileNotFoundError as missing:
        raise HelperMissing(program) from missing
    line = finished.stdout.partition("\n")[0]
    return finished.returncode, json.loads(line) if line else None


def ensure_permission(program):
    _, record = run_helper(program)
    if record and record.get("permissionGranted"):
        return True
    _, record = run_helper(program, "--bootstrap-permission")
    if record and record.get("action") == "granted":
        return True
    print("The desktop is asking for the screen recording permission; grant it and run again.")
    return False


def history_entry(record):
    """What a capture result needs to come back as history."""
    return {key: record[key] for key in ("selectionPoints", "displayScale", "displayInfo")}


def capture(program, out_dir, request_id, selection, display_id, history):
    arguments = ["--capture", "--request-id", request_id, "--out-dir", out_dir]
    if selection:
        s = selection
        arguments += ["--selectionPoints", f"{s['x']},{s['y']},{s['width']},{s['height']}"]
    if display_id:
        arguments += ["--displayId", display_id]
    if history:
        arguments += ["--frameHistory", json.dumps(history)]
    status, record = run_helper(program, *arguments)
    if status == 0:
        print(f"{request_id}: {record['imagePath']} "
              f"({record['selectionPixels']['width']}x{record['selectionPixels']['height']} pixels)")
        return record
    if status == 2:
        print(f"{request_id}: cancelled")
        return None
    message = (record or {}).get("errorMessage") or (record or {}).get("message") or "no record"
    print(f"{request_id}: failed: {message}")
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", default="tavelin-capture")
    parser.add_argument("--out-dir", default=None)
    options = parser.parse_args()
    out_dir = options.out_dir or tempfile.mkdtemp(prefix="captures-")
    try:
        if not ensure_permission(options.program):
            return 1
        results = []
        first = capture(options.program, out_dir, "host-1",
                        {"x": 100, "y": 100, "width": 400, "height": 300}, None, [])
        if first:
            results.append(first)
        last = results[-1] if results else None
        second = capture(options.program, out_dir, "host-2",
                         last and last["selectionPoints"],
                         last and last["displayInfo"]["id"],
                         [history_entry(r) for r in results])
        if second:
            results.append(second)
        return 0 if len(results) == 2 else 1
    except HelperMissing as missing:
        print(f"tavelin-capture is not installed (looked for {missing}); "
              "install the package or pass --program.", file=sys.stderr)
        return 3


if __name__ == "__main__":
    sys.exit(main())
