#!/usr/bin/env python3
"""A few seconds of the benchmark as a test: a small catalogue extracted and listed by the driver
(the installer's callbacks over the native library); every file must hold exactly the bytes that
Python's zipfile reads from the archive.

  smoke.py DRIVER LIBRARY SCRATCH
"""
import subprocess
import sys
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent


def main():
    driver, library, scratch = sys.argv[1], sys.argv[2], Path(sys.argv[3])
    scratch.mkdir(parents=True, exist_ok=True)
    archive = scratch / "smoke.zip"
    subprocess.run([sys.executable, HERE / "make_catalogue.py", "catalogue", archive,
                    "--pages", "300", "--pictures", "30"], check=True)
    target = scratch / "out"
    subprocess.run(["rm", "-rf", target], check=True)

    extracted = subprocess.run([driver, library, archive, target], capture_output=True, text=True)
    assert extracted.returncode == 0, extracted.stderr
    assert extracted.stdout.startswith("status 0, 0 listing lines"), extracted.stdout
    with zipfile.ZipFile(archive) as zipped:
        infos = zipped.infolist()
        for info in infos:
            path = target / info.filename
            if info.is_dir():
                assert path.is_dir(), info.filename
            else:
                assert path.read_bytes() == zipped.read(info), f"{info.filename} differs"
    on_disk = sum(1 for _ in target.rglob("*"))
    assert on_disk == len(infos), f"{on_disk} names on disk for {len(infos)} entries"

    listed = subprocess.run([driver, library, archive, target, "--list"], capture_output=True, text=True)
    assert listed.returncode == 0, listed.stderr
    assert listed.stdout.startswith(f"status 0, {len(infos)} listing lines"), listed.stdout
    print(f"{len(infos)} entries extracted and listed")


if __name__ == "__main__":
    main()
