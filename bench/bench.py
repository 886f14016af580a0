#!/usr/bin/env python3
"""Times the extraction of one archive by our library and by its peers, side by side.

Each contender extracts the same archive into a fresh folder; the contenders take turns run by run
(the order rotates), and deleting the previous output is not timed. Disk timings are noisy, so the
ratio to our library is taken run by run and its median reported. Peak memory is the largest
resident size of the contender's process, as GNU time reports it.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
MiB = 1024 * 1024
PEAK_FILE = f"/tmp/unzip32-bench-peak-{os.getpid()}"


class Contender:
    def __init__(self, name, command, checks_output=True, self_timed=False):
        self.name = name
        self.command = command  # a function of (archive, folder) giving the command line
        self.checks_output = checks_output  # its output is the archive's files
        self.self_timed = self_timed  # prints "seconds S": its own time, without its start-up


def contenders(build, threads):
    driver = build / "bench" / "unzip32_bench_driver"
    floor = build / "bench" / "unzip32_bench_floor"
    library = build / "bin" / "libunzip32.so"
    python_extract = "import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])"
    found = [
        Contender("unzip32 (ours)", lambda a, f: [driver, library, a, f]),
        Contender("unzip32 without the progress routine", lambda a, f: [driver, library, a, f, "--without-progress"]),
        Contender("bsdtar -xf", lambda a, f: ["bsdtar", "-xf", a, "-C", f]),
        Contender("7zz x", lambda a, f: ["7zz", "x", "-y", "-bd", "-bso0", "-bsp0", a, f"-o{f}"]),
        Contender("python zipfile", lambda a, f: [sys.executable, "-c", python_extract, a, f]),
    ]
    for count in sorted({1, threads}):
        found.append(Contender(f"floor: inflate only (libzip, zlib), {count} thread{'s' if count > 1 else ''}",
                               lambda a, f, n=count: [floor, "inflate", a, str(n)], checks_output=False))
    for count in sorted({1, threads}):
        found.append(Contender(f"floor: inflate only (as ours: libdeflate), {count} thread{'s' if count > 1 else ''}",
                               lambda a, f, n=count: [floor, "inflate-whole", a, str(n)], checks_output=False))
    for count in sorted({1, threads}):
        found.append(Contender(f"floor: write only, {count} thread{'s' if count > 1 else ''}",
                               lambda a, f, n=count: [floor, "write", a, str(n), f], checks_output=False))
    return found


def windows_contenders(windows_build):
    """The 32-bit library as the installer drives it, under Wine, and the floors of Windows' file
    calls (as Wine gives them), one thread. Each times itself, so that Wine's start of the program
    is not counted. Rows for other ways of driving the library go here, beside ours."""
    wine = "/usr/lib/wine/wine64"
    driver = windows_build / "unzip32_bench_windows_driver.exe"
    floor = windows_build / "unzip32_bench_windows_floor.exe"
    return [
        Contender("unzip32.dll (ours, 32-bit, driven as the installer drives it)",
                  lambda a, f: [wine, driver, wine_path(a), wine_path(f)], self_timed=True),
        Contender("unzip32.dll without the progress routine",
                  lambda a, f: [wine, driver, wine_path(a), wine_path(f), "--without-progress"], self_timed=True),
        Contender("floor: write only, plainly, 1 thread",
                  lambda a, f: [wine, floor, "plain", wine_path(a), wine_path(f)], self_timed=True),
        Contender("floor: write only, under a temporary name then renamed, 1 thread",
                  lambda a, f: [wine, floor, "renamed", wine_path(a), wine_path(f)], self_timed=True),
        Contender("floor: the same, with the library's other calls for each file (attributes, free space, time)",
                  lambda a, f: [wine, floor, "checked", wine_path(a), wine_path(f)], self_timed=True),
    ]


def wine_path(path):
    """The path as a Windows program under Wine sees it: the whole file system is drive Z:."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def run_once(command, folder, self_timed=False):
    """Seconds, peak resident bytes and processor seconds of one run, the folder made fresh
    beforehand. A self-timed command's seconds are its own report."""
    if folder.exists():
        shutil.rmtree(folder)
    folder.mkdir(parents=True)
    os.sync()  # the previous run's writing should not land in this one's time
    started = time.perf_counter()
    status, peak, cpu, output = run_measured(command)
    elapsed = time.perf_counter() - started
    if status != 0:
        raise SystemExit(f"failed: {' '.join(map(str, command))}")
    if self_timed:
        reported = [line.split() for line in output.splitlines() if line.startswith("seconds ")]
        if not reported:
            raise SystemExit(f"no time reported by {' '.join(map(str, command))}")
        elapsed = float(reported[-1][1])
    return elapsed, peak, cpu


def run_measured(command):
    """Exit status, peak resident bytes and processor seconds (user and system) of a command. GNU
    time measures it: a child forked from this interpreter would count the interpreter's own size
    as its peak."""
    report = PEAK_FILE
    process = subprocess.run(["/usr/bin/time", "-f", "%M %U %S", "-o", report, *map(str, command)],
                             stdout=subprocess.PIPE, text=True, errors="replace")
    peak, user, system = Path(report).read_text().split()[-3:]
    return process.returncode, int(peak) * 1024, float(user) + float(system), process.stdout


def check_output(archive, folder, name):
    """The extracted tree must hold every file of the archive with its size."""
    with zipfile.ZipFile(archive) as zipped:
        for info in zipped.infolist():
            path = folder / info.filename
            if info.is_dir():
                ok = path.is_dir()
            else:
                ok = path.is_file() and path.stat().st_size == info.file_size
            if not ok:
                raise SystemExit(f"{name}: {info.filename} is missing or has the wrong size in {folder}")


def measure(archive, where, candidates, runs):
    """Per contender: its times, peak sizes and processor times, run by run."""
    folder = where / "out"
    times = {c.name: [] for c in candidates}
    peaks = {c.name: [] for c in candidates}
    cpus = {c.name: [] for c in candidates}
    for c in candidates:  # a round untimed, so the archive is in memory for everyone
        run_once(c.command(archive, folder), folder, c.self_timed)
        if c.checks_output:
            check_output(archive, folder, c.name)
    for run in range(runs):
        turn = candidates[run % len(candidates):] + candidates[:run % len(candidates)]
        for c in turn:
            elapsed, peak, cpu = run_once(c.command(archive, folder), folder, c.self_timed)
            times[c.name].append(elapsed)
            peaks[c.name].append(peak)
            cpus[c.name].append(cpu)
    shutil.rmtree(folder, ignore_errors=True)
    return times, peaks, cpus


def windows_table(title, candidates, times):
    ours = times[candidates[0].name]
    lines = [f"#### {title}", "",
             "| contender | median time (s) | ours ÷ contender (median of run-by-run ratios) |",
             "|---|---:|---:|"]
    for c in candidates:
        ratio = statistics.median(o / t for o, t in zip(ours, times[c.name]))
        lines.append(f"| {c.name} | {statistics.median(times[c.name]):.2f} | {ratio:.2f} |")
    return "\n".join(lines)


def table(title, candidates, times, peaks, cpus):
    ours = times[candidates[0].name]
    lines = [f"#### {title}", "",
             "| contender | median time (s) | ours ÷ contender (median of run-by-run ratios) "
             "| processor time, user + system (s, median) | peak memory (MiB) |",
             "|---|---:|---:|---:|---:|"]
    for c in candidates:
        ratio = statistics.median(o / t for o, t in zip(ours, times[c.name]))
        lines.append(f"| {c.name} | {statistics.median(times[c.name]):.2f} | {ratio:.2f} | "
                     f"{statistics.median(cpus[c.name]):.2f} | {max(peaks[c.name]) / MiB:.1f} |")
    return "\n".join(lines)


def listing_times(build, archives, runs):
    driver = build / "bench" / "unzip32_bench_driver"
    library = build / "bin" / "libunzip32.so"
    lines = ["#### Listing (nvflag) with the installer's listing callback", "",
             "| entries | median time (s) | peak memory (MiB) |", "|---:|---:|---:|"]
    results = []
    for entries, archive in archives:
        samples = []
        peak = 0
        for _ in range(runs):
            started = time.perf_counter()
            status, used, _, _ = run_measured([driver, library, archive, "/nonexistent", "--list"])
            samples.append(time.perf_counter() - started)
            peak = max(peak, used)
            if status != 0:
                raise SystemExit(f"listing {archive} failed")
        results.append((entries, statistics.median(samples), peak))
        lines.append(f"| {entries:,} | {statistics.median(samples):.3f} | {peak / MiB:.1f} |")
    (small, small_time, small_peak), (large, large_time, large_peak) = results[0], results[-1]
    lines += ["", f"{large // small}× the entries took {large_time / small_time:.1f}× the time; "
                  f"each further entry cost {(large_peak - small_peak) / (large - small):.0f} bytes of peak memory."]
    return "\n".join(lines)


def extraction_memory_per_entry(build, archive, entries, archives, memory):
    """Our peak on the catalogue and on a tenth of it: what one more entry costs."""
    small = make_archive(["catalogue", "--quick"], archives / "catalogue-quick.zip")
    with zipfile.ZipFile(small) as zipped:
        small_entries = len(zipped.infolist())
    folder = memory / f"unzip32-bench-{os.getpid()}" / "out"
    driver = build / "bench" / "unzip32_bench_driver"
    library = build / "bin" / "libunzip32.so"
    peaks = {}
    for path in (small, archive):
        peaks[path] = run_once([driver, library, path, folder], folder)[1]
    shutil.rmtree(folder.parent, ignore_errors=True)
    per_entry = (peaks[archive] - peaks[small]) / (entries - small_entries)
    return (f"Our peak memory: {peaks[small] / MiB:.1f} MiB for {small_entries:,} entries, "
            f"{peaks[archive] / MiB:.1f} MiB for {entries:,}: about {per_entry:.0f} bytes per further entry.")


def make_archive(arguments, path):
    if not path.exists():
        print(f"making {path.name} ...", file=sys.stderr)
        kind, *rest = arguments
        subprocess.run([sys.executable, HERE / "make_catalogue.py", kind, path.with_suffix(".part"), *rest],
                       check=True)
        path.with_suffix(".part").rename(path)
    return path


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", type=Path, required=True)
    parser.add_argument("--quick", action="store_true", help="a tenth of the catalogue, and fewer runs")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--disk", type=Path, help="folder on the ordinary disk (default: in the build folder)")
    parser.add_argument("--memory", type=Path, default=Path("/dev/shm"), help="folder on a memory file system")
    parser.add_argument("--skip-listing", action="store_true")
    parser.add_argument("--windows", type=Path, metavar="FOLDER",
                        help="time the 32-bit Windows programs in FOLDER under Wine instead (WINEPREFIX set)")
    args = parser.parse_args()

    archives = args.build / "archives"
    archives.mkdir(parents=True, exist_ok=True)
    archive = make_archive(["catalogue", "--quick"] if args.quick else ["catalogue"],
                           archives / ("catalogue-quick.zip" if args.quick else "catalogue.zip"))
    with zipfile.ZipFile(archive) as zipped:
        infos = zipped.infolist()
    threads = os.cpu_count() or 1
    candidates = windows_contenders(args.windows) if args.windows else contenders(args.build, threads)
    where = " by the 32-bit programs under Wine (WoW64)" if args.windows else ""
    print(f"Extraction of {archive.name}{where}: {len(infos):,} entries, "
          f"{sum(i.file_size for i in infos) / 1e6:.0f} MB unpacked, {archive.stat().st_size / 1e6:.0f} MB packed; "
          f"{args.runs} runs each, {threads} cores; load average before the runs "
          f"{os.getloadavg()[0]:.2f} (other work on the machine takes cores from every contender)\n")
    for title, base in (("On disk", args.disk or args.build / "scratch"),
                        ("In memory (tmpfs)", args.memory / f"unzip32-bench-{os.getpid()}")):
        base.mkdir(parents=True, exist_ok=True)
        try:
            times, peaks, cpus = measure(archive, base, candidates, args.runs)
        finally:
            shutil.rmtree(base, ignore_errors=True)
        if args.windows:
            print(windows_table(f"{title}: {base}", candidates, times) + "\n", flush=True)
        else:
            print(table(f"{title}: {base}", candidates, times, peaks, cpus) + "\n", flush=True)
        print(f"load average after these runs: {os.getloadavg()[0]:.2f}\n", flush=True)
    if args.windows:
        return
    if not args.quick:
        print(extraction_memory_per_entry(args.build, archive, len(infos), archives, args.memory) + "\n")
    if not args.skip_listing:
        small, large = (1000, 10000) if args.quick else (10000, 100000)
        listing = [(n, make_archive(["listing", str(n)], archives / f"listing-{n}.zip")) for n in (small, large)]
        print(listing_times(args.build, listing, args.runs))


if __name__ == "__main__":
    main()
