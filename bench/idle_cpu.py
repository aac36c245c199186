#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""CPU time each program spends from its start with a full word file (32,767 entries) until it
is idle, read from /proc. Each run starts from a private copy of the program folder and a fresh
home, so that no settings, preferences or history carry over.

    bench/idle_cpu.py [--runs 5] [--bin build/bin] [--display xvfb|offscreen] [PROGRAM...]
    bench/idle_cpu.py --callgrind FOLDER [PROGRAM...]

With --callgrind each program runs once under valgrind's callgrind, which counts the
instructions it executes until idle (a figure the machine's load does not change); the profile
is kept as FOLDER/PROGRAM.callgrind for callgrind_annotate.

Idle means the process's CPU time has not grown for --quiet seconds. The figure printed is the
CPU time at that moment (user and system); with a timer ticking while idle, the process never
reaches idle and the run says so.
"""

import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ENTRIES = 32767
TICK = os.sysconf("SC_CLK_TCK")


def write_word_file(path):
    """Entries as learners write them, like the benchmarks' full file."""
    english = ["apple", "borrow", "language", "remember", "weather", "library", "beautiful",
               "mountain", "question", "season", "friendly", "understand", "teacher",
               "yesterday"]
    japanese = ["りんご", "借りる", "言語", "覚えている", "天気", "図書館", "美しい", "山", "質問",
                "季節", "親しみやすい", "理解する", "先生", "昨日", "ｶﾀｶﾅ"]
    notes = ["", "過去形は ran\\n過去分詞は run", "反対語は lend (貸す)",
             "発音に注意：whether と同じ",
             "例文：I borrowed a book from the library.\\n図書館で本を借りた。"]
    pick = random.Random(7).choice
    lines = ["Version 2.00"]
    for i in range(ENTRIES):
        rights = "|@2|".join(pick(japanese) for _ in range(1 + i % 3))
        lines.append(f"{pick(english)}{i}|@1|{rights}|@1|{pick(notes)}")
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK  # utime, stime


def run_once(program, binary_folder, word_file, quiet, timeout, display_env, wrapper=()):
    root = tempfile.mkdtemp(prefix="kx-idle-")
    try:
        folder = os.path.join(root, "bin")
        shutil.copytree(binary_folder, folder,
                        ignore=shutil.ignore_patterns("qrvwr.dat", "*.so.*.debug"))
        home = os.path.join(root, "home")
        os.mkdir(home)
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local/share"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"), **display_env)
        process = subprocess.Popen([*wrapper, os.path.join(folder, program), word_file], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            start = time.monotonic()
            last, since = -1.0, time.monotonic()
            while time.monotonic() - start < timeout:
                time.sleep(0.05)
                used = cpu_seconds(process.pid)
                if used != last:
                    last, since = used, time.monotonic()
                elif time.monotonic() - since >= quiet:
                    return used
            return None
        finally:
            process.terminate()
            process.wait()
    finally:
        shutil.rmtree(root, ignore_errors=True)


def count_instructions(program, args, word_file, display_env):
    """Instructions until idle; callgrind writes its profile when the program is ended."""
    os.makedirs(args.callgrind, exist_ok=True)
    out = os.path.abspath(os.path.join(args.callgrind, f"{program}.callgrind"))
    wrapper = ["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}"]
    if run_once(program, os.path.abspath(args.bin), word_file, max(args.quiet, 3.0),
                max(args.timeout, 300.0), display_env, wrapper) is None:
        return "never idle:"
    with open(out) as f:
        for line in f:
            if line.startswith("summary:"):
                return int(line.split()[1])
    return "no summary:"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("programs", nargs="*", default=["Brelmi", "Kotobax"])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--bin", default=os.path.join(os.path.dirname(__file__), "../build/bin"))
    parser.add_argument("--display", choices=["xvfb", "offscreen"], default="xvfb")
    parser.add_argument("--quiet", type=float, default=2.0,
                        help="seconds without CPU time that count as idle")
    parser.add_argument("--timeout", type=float, default=30.0)
    parser.add_argument("--callgrind", metavar="FOLDER",
                        help="count each program's instructions under callgrind instead")
    args = parser.parse_args()

    server = None
    if args.display == "xvfb":
        number = 90 + os.getpid() % 100
        server = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1280x1024x24",
                                   "-nolisten", "tcp"], stderr=subprocess.DEVNULL)
        time.sleep(1)
        display_env = {"DISPLAY": f":{number}", "QT_QPA_PLATFORM": "xcb"}
    else:
        display_env = {"QT_QPA_PLATFORM": "offscreen"}
    try:
        with tempfile.TemporaryDirectory(prefix="kx-idle-file-") as files:
            word_file = os.path.join(files, "full.qvw")
            write_word_file(word_file)
            for program in args.programs:
                if args.callgrind:
                    print(f"{program:8} {count_instructions(program, args, word_file, display_env):,}"
                          " instructions")
                    sys.stdout.flush()
                    continue
                figures = [run_once(program, os.path.abspath(args.bin), word_file, args.quiet,
                                    args.timeout, display_env) for _ in range(args.runs)]
                shown = " ".join("never idle" if f is None else f"{f:.2f}" for f in figures)
                settled = [f for f in figures if f is not None]
                summary = f"  (median {statistics.median(settled):.3f} s, best {min(settled):.2f} s," \
                    f" spread {max(settled) - min(settled):.2f} s)" if settled else ""
                print(f"{program:8} {shown}{summary}")
                sys.stdout.flush()
    finally:
        if server:
            server.terminate()
            server.wait()


if __name__ == "__main__":
    main()
