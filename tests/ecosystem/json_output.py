#!/usr/bin/env python3
"""The --json forms of info, metrics, peaks, devices and ars show, read with a JSON parser and
compared with the text forms of the same runs.

Usage: json_output.py TONMIRA_CLI AUDIO.wav"""
import json
import math
import os
import struct
import subprocess
import sys
import tempfile
import wave

CLI, AUDIO = sys.argv[1], sys.argv[2]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(*args, env=None):
    result = subprocess.run([CLI, *args], capture_output=True, env=env)
    if result.returncode != 0:
        sys.exit(f"FAILED: tonmira-cli {' '.join(args)} exited {result.returncode}: {result.stderr.decode()}")
    return result.stdout.decode("utf-8")


def both(*args, env=None):
    """The text form's lines and the JSON document of the same command."""
    text = run(*args, env=env)
    document = json.loads(run(*args, "--json", env=env))  # one document, nothing after it
    return text.splitlines(), document


def text_fields(lines):
    return dict(line.split(": ", 1) for line in lines)


with tempfile.TemporaryDirectory() as tmp:
    # info: a take as it is, and one the load converted (24-bit samples).
    wav24 = os.path.join(tmp, "take24.wav")
    with wave.open(wav24, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(3)
        w.setframerate(8000)
        w.writeframes(b"".join(struct.pack("<i", int(3e6 * math.sin(i / 7)))[:3] for i in range(1000)))
    for path in (AUDIO, wav24):
        lines, doc = both("info", path)
        fields = text_fields(lines)
        for key in ("channels", "rate", "bits", "frames", "peak"):
            check(type(doc[key]) is int and str(doc[key]) == fields[key], f"info {path}: {key} {doc[key]!r} vs {fields[key]!r}")
        check(doc["locked"] is (fields["locked"] == "1"), f"info {path}: locked")
        check(doc["time"] == fields["time"], f"info {path}: time")
        check(abs(doc["seconds"] - doc["frames"] / doc["rate"]) < 1e-9, f"info {path}: seconds")
        check(doc["source-format"] == fields["source-format"], f"info {path}: source-format")
        check(doc["converted"] == fields.get("converted"), f"info {path}: converted {doc['converted']!r}")
    check(text_fields(run("info", wav24).splitlines()).get("converted") is not None, "the 24-bit take was not converted")

    # metrics and peaks: the same figures before the text's rounding.
    for pos in ("0", "20000"):
        lines, doc = both("metrics", AUDIO, "--band-low", "200", "--band-high", "2000", "--exclude", "50", "--pos", pos)
        check(["%5.2f" % doc["integration"], "%8.2f" % doc["stddev"], "%5.2f" % doc["above"]] == lines,
              f"metrics at {pos}: {doc} vs {lines}")
        lines, doc = both("peaks", AUDIO, "--pos", pos, "--fft", "4096", "--level", "3")
        check(len(doc["boxes"]) == 5 and doc["fft"] == 4096 and doc["pos"] == int(pos) and doc["level"] == 3,
              f"peaks at {pos}: {doc}")
        check(["\t".join("%5.1f" % hz for hz in box) for box in doc["boxes"]] == lines, f"peaks at {pos}: {doc} vs {lines}")
        check(any(doc["boxes"]), f"peaks at {pos}: nothing found in the chord")

    # ars show: numbers as numbers, the folder as text whatever it holds.
    ars = os.path.join(tmp, "rec.ars")
    folder = 'events "night"\\\u96e8\t1'
    run("ars", "save", ars, "--level", "800", "--integ-low", "0.1", "--stddev-high", "12.5", "--folder", folder)
    lines, doc = both("ars", "show", ars)
    fields = dict(line.split("=", 1) for line in lines if "=" in line)
    check(list(doc) == list(fields), f"ars show: names {list(doc)} vs {list(fields)}")
    for name, value in doc.items():
        if name == "m_strOutputFolder":
            check(value == folder, f"ars show: folder {value!r}")
        else:
            check(isinstance(value, (int, float)) and not isinstance(value, bool), f"ars show: {name} is {value!r}")
            # Both forms write the shortest text of the same float.
            check(str(value) == fields[name], f"ars show: {name} {value!r} vs {fields[name]!r}")

    # devices: ALSA devices that read and write files, one with a blank in its name.
    home = os.path.join(tmp, "home")
    os.mkdir(home)
    open(os.path.join(tmp, "in.raw"), "wb").close()
    with open(os.path.join(home, ".asoundrc"), "w") as rc:
        for name in ("!default", '"field rec"'):
            rc.write(f'pcm.{name} {{ type file; slave.pcm "null"; file "{tmp}/out.raw"; infile "{tmp}/in.raw"; format "raw" }}\n')
    env = dict(os.environ, HOME=home)
    lines, doc = both("devices", env=env)
    rows = [line.split("\t") for line in lines[1:]]
    check(len(doc["devices"]) == len(rows) >= 2, f"devices: {doc} vs {rows}")
    for row, device in zip(rows, doc["devices"]):
        role = ",".join(r for r, on in (("input", device["default-input"]), ("output", device["default-output"])) if on) or "-"
        check(row == [str(device["index"]), device["host-api"], str(device["inputs"]), str(device["outputs"]),
                      "%.0f" % device["rate"], role, device["name"]], f"devices: {row} vs {device}")
    check(any(d["name"] == "field rec" for d in doc["devices"]), f"devices: no 'field rec' in {doc}")

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
