#!/usr/bin/env python3
"""Times morvex-cli beside the yardstick (a plain simdjson DOM parse of the same file).

For each document the programs run alternately (yardstick, Objective-C, Swift, yardstick, ...) for a number of
rounds; the table gives median wall times, the median of the round-by-round ratios to the yardstick, process
(user + system) time, and peak memory (maximum resident set size, as /usr/bin/time -v reports it, read here from
wait4's rusage). Both conversions write their files into a fresh folder.

With --floor, each conversion is followed by the floor (morvex-write-floor): a plain program writing files of the
same names and sizes the same atomic way, one after another; the table then gives conversion / floor.

    bench/run.py [--build build/release] [--data build/bench-data] [--rounds 5] [--only NAME ...] [--floor]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

# (name, rounds): documents that make many types write many files and run fewer rounds.
DOCUMENTS = [
    ("sample", 15),
    ("api-1mb", 9),
    ("api-10mb", 7),
    ("api-100mb", 5),
    ("api-500mb", 3),
    ("wide-100k", 3),
    ("deep-10k", 5),
    ("deep-100k", 3),
    ("array-100k", 1),
    ("array-1m", 1),
    ("deep-999999", 1),
]

SAMPLE = ('{"name":"Ann","age":30,"score":9.5,"vip":true,"memo":null,"address":{"city":"Oslo"},'
          '"tags":["a"],"orders":[{"id":1,"total":12.5}]}\n')


class Failure(Exception):
    """A program under measurement failed; its output folder is removed on the way out."""


def run(command):
    """Runs command; returns (wall seconds, user+system seconds, peak RSS bytes).

    The peak is read by /usr/bin/time (Debian's time package), not from wait4 here: a child's ru_maxrss keeps
    the resident size of the Python process it was forked from, which after listing a million files dwarfs
    the program's own."""
    start = time.perf_counter()
    with tempfile.NamedTemporaryFile(mode="r", prefix="morvex-bench-rss-") as peak:
        process = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", peak.name] + command,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - start
        error = process.stderr.read().decode(errors="replace")
        process.stderr.close()
        code = os.waitstatus_to_exitcode(status)
        if code != 0:
            raise Failure(f"{' '.join(command)} exited {code}: {error}")
        kilobytes = int(peak.read().split()[-1])
    return wall, usage.ru_utime + usage.ru_stime, kilobytes * 1024


def remove(folder):
    """Removes a benchmark's output and waits for the file system to take it in.

    Deleting two million files leaves the disk busy (journal, freed blocks, discards) for a while: without the
    sync, whatever runs next pays for it (the likely reason the Swift conversion, which follows the deletion of
    the Objective-C round's four million files, measured twice its floor on disk and 0.85 of it on tmpfs)."""
    shutil.rmtree(folder)
    os.sync()


def write_floor(floor, folder):
    """Wall seconds of the floor writing files of the names and sizes found in folder, in name order."""
    entries = sorted((entry.name, entry.stat().st_size) for entry in os.scandir(folder))
    work = tempfile.mkdtemp(prefix="morvex-bench-floor-", dir=os.environ.get("MORVEX_BENCH_OUT"))
    manifest = os.path.join(work, "manifest")
    with open(manifest, "w") as listing:
        listing.writelines(f"{size} {name}\n" for name, size in entries)
    os.sync()
    try:
        return run([floor, manifest, os.path.join(work, "out")])[0]
    finally:
        remove(work)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/release")
    parser.add_argument("--data", default="build/bench-data")
    parser.add_argument("--rounds", type=int, default=0, help="rounds for every document (default: per document)")
    parser.add_argument("--only", nargs="*", help="document names to run")
    parser.add_argument("--floor", action="store_true", help="time the floor for writing the same files")
    args = parser.parse_args()

    cli = os.path.join(args.build, "cli", "morvex-cli")
    yardstick = os.path.join(args.build, "bench", "morvex-yardstick")
    generator = os.path.join(args.build, "bench", "morvex-bench-gen")
    floor = os.path.join(args.build, "bench", "morvex-write-floor")
    for program in (cli, yardstick, generator, floor):
        if not os.access(program, os.X_OK):
            sys.exit(f"missing {program}: cmake --preset release && cmake --build --preset release")
    subprocess.run([generator, args.data], check=True)
    with open(os.path.join(args.data, "sample.json"), "w") as sample:
        sample.write(SAMPLE)

    settings = tempfile.mkdtemp(prefix="morvex-bench-config-")
    os.environ["XDG_CONFIG_HOME"] = settings
    try:
        measure(args, cli, yardstick, floor)
    except Failure as failure:
        sys.exit(str(failure))
    finally:
        shutil.rmtree(settings)


def measure(args, cli, yardstick, floor):
    rows = []
    for name, default_rounds in DOCUMENTS:
        if args.only and name not in args.only:
            continue
        path = os.path.join(args.data, name + ".json")
        size = os.path.getsize(path)
        rounds = args.rounds or default_rounds
        results = {"yardstick": [], "objc": [], "swift": []}
        floors = {}
        for _ in range(rounds):
            for kind in ("yardstick", "objc", "swift"):
                out = tempfile.mkdtemp(prefix="morvex-bench-out-", dir=os.environ.get("MORVEX_BENCH_OUT"))
                if kind == "yardstick":
                    command = [yardstick, path]
                elif kind == "objc":
                    command = [cli, "-l", "objc", "-m", "mjextension", "-o", out, path]
                else:
                    command = [cli, "-o", out, path]
                try:
                    results[kind].append(run(command))
                    if args.floor and kind != "yardstick":
                        floors.setdefault(kind, []).append(write_floor(floor, out))
                finally:
                    remove(out)
        rows.append((name, size, rounds, results))
        report(rows[-1:], header=len(rows) == 1)
        for kind, times in floors.items():
            own = statistics.median(r[0] for r in results[kind])
            print(f"  {name} {kind}: floor {statistics.median(times) * 1000:.0f} ms, conversion / floor "
                  f"{own / statistics.median(times):.2f}", flush=True)

def report(rows, header):
    if header:
        print("| document | size | rounds | yardstick wall | objc wall | objc / yardstick | swift wall | "
              "swift / yardstick | process time objc / yardstick | peak memory yardstick | objc | swift |")
        print("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for name, size, rounds, results in rows:
        yard = results["yardstick"]

        def median(kind, index):
            return statistics.median(r[index] for r in results[kind])

        def ratio(kind, index):
            return statistics.median(a[index] / b[index] for a, b in zip(results[kind], yard) if b[index] > 0)

        def memory(kind):
            peak = max(r[2] for r in results[kind])
            return f"{peak / 1e6:.0f} MB ({peak / size:.2f}x)" if size > 1e6 else f"{peak / 1e6:.1f} MB"

        print(f"| {name} | {size / 1e6:.2f} MB | {rounds} | {median('yardstick', 0) * 1000:.1f} ms | "
              f"{median('objc', 0) * 1000:.1f} ms | {ratio('objc', 0):.2f} | {median('swift', 0) * 1000:.1f} ms | "
              f"{ratio('swift', 0):.2f} | {ratio('objc', 1):.2f} | {memory('yardstick')} | {memory('objc')} | "
              f"{memory('swift')} |", flush=True)


if __name__ == "__main__":
    main()
