#!/usr/bin/env python3
"""Makes the seed corpus of the fuzz targets in the folder given as the first argument: one
sub-folder per target.

extract_fuzzer: the library tests' archives (tests/unzip32/make_archives.py), small ones only,
each behind a few choices of options, and a few more shapes. safe_name_fuzzer: names a third
party may choose, under each set of rules."""

import hashlib
import io
import sys
import tempfile
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "unzip32"))
import make_archives  # noqa: E402

LARGEST = 64 * 1024

# (first byte, second byte, pattern, third byte's flags): extraction with folders; overwrite;
# ask (answer "all"); a second run answered "none"; flattened with blanks to underscores; test;
# list; an include pattern; an exclude pattern ignoring case, with a password given; overwrite,
# then list, with links in the target.
EXCLUDE, LINKS = 0x10, 0x80
CHOICES = [
    (0x04, 0x00, b"", 0),
    (0x0C, 0x00, b"", 0),
    (0x14, 0x38, b"", 0),
    (0x34, 0x48, b"", 0),
    (0x80, 0x00, b"", 0),
    (0x02, 0x00, b"", 0),
    (0x03, 0x00, b"", 0),
    (0x04, 0x00, b"*.txt", 0),
    (0x0C, 0x81, b"FOLDER/*", EXCLUDE),
    (0x0C, 0x00, b"", LINKS),
    (0x03, 0x00, b"", LINKS),
]


def choice_bytes(first, second, pattern, flags):
    return bytes([first, second, len(pattern) | flags]) + pattern


def extra_archives():
    """Shapes the tests do not have: a data descriptor, a Zip64 entry, an archive comment only."""
    archives = {}
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        with archive.open("streamed.txt", "w", force_zip64=True) as entry:
            entry.write(b"streamed " * 40)
    archives["zip64_streamed.zip"] = buffer.getvalue()
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        archive.comment = b"only a comment"
        archive.writestr("a/b/c/d.txt", b"deep " * 100)
        archive.writestr("a/b/", b"")
        archive.writestr("A/B/C/D.TXT", b"other case\n")
    archives["nested.zip"] = buffer.getvalue()
    return archives


def save(folder, data):
    (folder / hashlib.sha1(data).hexdigest()).write_bytes(data)


def make(out):
    extract = out / "extract_fuzzer"
    names = out / "safe_name_fuzzer"
    extract.mkdir(parents=True, exist_ok=True)
    names.mkdir(parents=True, exist_ok=True)

    with tempfile.TemporaryDirectory() as scratch:
        make_archives.make(Path(scratch))
        archives = {p.name: p.read_bytes() for p in Path(scratch).glob("*.zip")}
    archives.update(extra_archives())
    for name, data in sorted(archives.items()):
        if len(data) > LARGEST:
            continue
        for first, second, pattern, flags in CHOICES:
            save(extract, choice_bytes(first, second, pattern, flags) + data)

    samples = [b"plain.txt", b"folder/", b"a/b/c.txt", b"../../etc/passwd", b"/abs/olute", b"C:\\win\\x.txt",
               b"C:relative.txt", b"\\\\server\\share\\x", b"a/./b/../c", b"CON", b"nul.txt", b"com1.log",
               b"LPT9", b"trailing. ", b"what?<>|*\".txt", b"stream.txt:hidden", b"a\x01b", b"...",
               b"spaced name/x y.txt", "café/ω.txt".encode()]
    for sample in samples:
        for rules in range(8):
            save(names, bytes([rules]) + sample)


if __name__ == "__main__":
    make(Path(sys.argv[1]))
