#!/usr/bin/env python3
"""Our library on the archive scripts/package makes (pictures stored, the rest deflated) against the
same catalogue with every file deflated: the packaged one must extract at least as fast.

  bench/packaged.py --build build/bench [--quick] [--runs N] [--memory-only]

The seeded catalogue of make_catalogue.py is unpacked into a folder, both archives are made from it
by the packaging script's own writer, and the driver (the installer's callbacks over libunzip32.so)
extracts each in turn, on the disk and in memory; the ratio is the median of the run-by-run ratios.
"""
import argparse
import os
import shutil
import statistics
import sys
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.path.insert(0, str(HERE.parent / "scripts" / "lib"))

from bench import make_archive, run_once  # noqa: E402
from patch_folder.archive import write_archive  # noqa: E402
from patch_folder.catalogue import check_catalogue  # noqa: E402


def make_pair(seeded, folder):
    """The packaged and the all-deflated archive of the catalogue in `seeded`."""
    packaged, deflated = folder / "packaged.zip", folder / "all-deflated.zip"
    if not (packaged.exists() and deflated.exists()):
        shutil.rmtree(folder, ignore_errors=True)
        unpacked = folder / "catalogue"
        with zipfile.ZipFile(seeded) as archive:
            archive.extractall(unpacked)
        entries, problems = check_catalogue(str(unpacked / "catalogo"))
        if problems:
            raise SystemExit("\n".join(problems))
        write_archive(entries, deflated, stored_suffixes=())
        write_archive(entries, packaged)
        shutil.rmtree(unpacked)
    return packaged, deflated


def measure(build, archives, where, runs):
    driver = build / "bench" / "unzip32_bench_driver"
    library = build / "bin" / "libunzip32.so"
    out = where / "out"
    times = {archive: [] for archive in archives}
    cpus = {archive: [] for archive in archives}
    for run in range(runs + 1):  # the first round untimed, so both archives are in memory
        for archive in archives[run % 2:] + archives[:run % 2]:
            elapsed, _, cpu = run_once([driver, library, archive, out], out)
            if run:
                times[archive].append(elapsed)
                cpus[archive].append(cpu)
    shutil.rmtree(where, ignore_errors=True)
    return times, cpus


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", type=Path, required=True)
    parser.add_argument("--quick", action="store_true", help="a tenth of the catalogue")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--memory-only", action="store_true", help="skip the disk, whose timings are the noisiest")
    args = parser.parse_args()
    folder = args.build / "archives"
    folder.mkdir(parents=True, exist_ok=True)
    name = "catalogue-quick" if args.quick else "catalogue"
    seeded = make_archive(["catalogue"] + (["--quick"] if args.quick else []), folder / f"{name}.zip")
    packaged, deflated = make_pair(seeded, folder / f"{name}-packaged")
    print(f"packaged: {packaged.stat().st_size / 1e6:.0f} MB; all deflated: {deflated.stat().st_size / 1e6:.0f} MB; "
          f"{args.runs} runs each, load average {os.getloadavg()[0]:.2f}\n")
    print("| where | packaged (s, median) | all deflated (s, median) | packaged ÷ all deflated (median of ratios) "
          "| processor time, user + system: packaged, all deflated (s, median) |")
    print("|---|---:|---:|---:|---:|")
    places = [Path("/dev/shm") / f"unzip32-packaged-{os.getpid()}"]
    if not args.memory_only:
        places.insert(0, args.build / "scratch-packaged")
    for where in places:
        times, cpus = measure(args.build, [packaged, deflated], where, args.runs)
        ratio = statistics.median(p / d for p, d in zip(times[packaged], times[deflated]))
        print(f"| {where.parent} | {statistics.median(times[packaged]):.2f} | "
              f"{statistics.median(times[deflated]):.2f} | {ratio:.2f} | "
              f"{statistics.median(cpus[packaged]):.2f}, {statistics.median(cpus[deflated]):.2f} |", flush=True)


if __name__ == "__main__":
    main()
