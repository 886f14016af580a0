"""catalogo.zip made with Python's zipfile, deterministically: the same catalogue gives the same
bytes. Names sorted by their UTF-8 bytes and flagged as UTF-8, each entry's own modification time in
UTC (clamped to what the format holds), fixed permissions, no extra fields, no comment."""
import os
import stat
import time
import zipfile

from . import PackagingError, shown

# Formats that are compressed already: deflating them again costs time and gains nothing.
STORED_SUFFIXES = (".jpg", ".jpeg", ".png", ".gif", ".webp", ".zip", ".gz", ".pdf", ".mp3", ".mp4",
                   ".woff", ".woff2")
UTF8_NAME_FLAG = 0x800
UNIX = 3
FILE_ATTRIBUTES = (stat.S_IFREG | 0o644) << 16
FOLDER_ATTRIBUTES = (stat.S_IFDIR | 0o755) << 16 | 0x10  # 0x10: the MS-DOS folder attribute
EARLIEST = 315532800   # 1980-01-01 00:00:00 UTC: the format's first second
LATEST = 4354819198    # 2107-12-31 23:59:58 UTC: its last


class Utf8Entry(zipfile.ZipInfo):
    """Every name flagged as UTF-8, plain ASCII ones too, so that readers need not guess."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("utf-8"), self.flag_bits | UTF8_NAME_FLAG


def date_time(mtime):
    return time.gmtime(min(max(int(mtime), EARLIEST), LATEST))[:6]


def describe(name, mtime, is_folder):
    info = Utf8Entry(name, date_time(mtime))
    info.create_system = UNIX
    info.external_attr = FOLDER_ATTRIBUTES if is_folder else FILE_ATTRIBUTES
    return info


def add_file(archive, entry, method):
    """Streams one file in, opened without following a link that may have replaced it since the
    check, and refuses it if it changed while it was read."""
    try:
        handle = os.open(entry.source, os.O_RDONLY | os.O_NOFOLLOW | os.O_CLOEXEC)
    except OSError as error:
        raise PackagingError(f"{shown(os.fsdecode(entry.source))}: cannot be read ({error.strerror})")
    with os.fdopen(handle, "rb") as source:
        before = os.fstat(source.fileno())
        if not stat.S_ISREG(before.st_mode):
            raise PackagingError(f"{shown(os.fsdecode(entry.source))}: is no longer a plain file")
        info = describe(entry.name, before.st_mtime, False)
        info.compress_type = method
        info.file_size = before.st_size
        copied = 0
        with archive.open(info, "w", force_zip64=before.st_size >= zipfile.ZIP64_LIMIT) as target:
            while chunk := source.read(1 << 20):
                target.write(chunk)
                copied += len(chunk)
        after = os.fstat(source.fileno())
    if copied != before.st_size or (after.st_size, after.st_mtime_ns) != (before.st_size, before.st_mtime_ns):
        raise PackagingError(f"{shown(os.fsdecode(entry.source))}: changed while it was being packaged")


def write_archive(entries, path, stored_suffixes=STORED_SUFFIXES, progress=None):
    """Writes the checked entries, sorted, into a new archive at `path`. `progress(done, total)` is
    told now and then."""
    entries = sorted(entries, key=lambda entry: entry.name.encode("utf-8"))
    with zipfile.ZipFile(path, "x", allowZip64=True) as archive:
        for done, entry in enumerate(entries, 1):
            if entry.is_folder:
                folder = describe(entry.name, os.lstat(entry.source).st_mtime, True)
                folder.CRC = folder.compress_size = folder.file_size = 0
                archive.mkdir(folder)
            else:
                stored = entry.name.lower().endswith(tuple(stored_suffixes))
                add_file(archive, entry, zipfile.ZIP_STORED if stored else zipfile.ZIP_DEFLATED)
            if progress and (done % 500 == 0 or done == len(entries)):
                progress(done, len(entries))
