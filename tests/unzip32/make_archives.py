#!/usr/bin/env python3
"""Makes the archives the archive library's tests read, in the folder given as the first argument.

Plain archives are written with zipfile; the hostile ones are zipfile's output with a few fields
changed afterwards, as a third party could have changed them."""

import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib
from pathlib import Path

OLD_DATE = (2008, 3, 5, 9, 7, 10)
NEW_DATE = (2019, 12, 31, 23, 59, 58)


def entry(name, date=OLD_DATE, method=zipfile.ZIP_DEFLATED):
    info = zipfile.ZipInfo(name, date_time=date)
    info.compress_type = method
    return info


class LegacyName(zipfile.ZipInfo):
    """An entry whose name is stored in code page 437, without the UTF-8 flag, as old archivers do."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("cp437"), self.flag_bits & ~0x800


def central_records(data):
    """(offset of the central record, name, offset of the local header) of each entry."""
    end = data.rindex(b"PK\x05\x06")
    count, _, directory = struct.unpack_from("<HII", data, end + 10)
    records, at = [], directory
    for _ in range(count):
        name_length, extra_length, comment_length = struct.unpack_from("<HHH", data, at + 28)
        (local,) = struct.unpack_from("<I", data, at + 42)
        records.append((at, data[at + 46 : at + 46 + name_length].decode("utf-8"), local))
        at += 46 + name_length + extra_length + comment_length
    return records


def data_offset(data, local):
    name_length, extra_length = struct.unpack_from("<HH", data, local + 26)
    return local + 30 + name_length + extra_length


def patch(data, offset, fmt, value):
    struct.pack_into(fmt, data, offset, value)


def write(path, entries, comment=b""):
    with zipfile.ZipFile(path, "w") as archive:
        archive.comment = comment
        for info, content in entries:
            archive.writestr(info, content)
    return bytearray(path.read_bytes())


def declaring(path, name, data, declared):
    """A stored entry whose records declare `declared` bytes, through the Zip64 fields, while its
    data are only `data`: what an archive whose entry is too large for any disk looks like."""
    name = name.encode()
    crc = zlib.crc32(data)
    sizes = struct.pack("<HHQQ", 1, 16, declared, len(data))
    local = struct.pack("<IHHHHHIIIHH", 0x04034B50, 45, 0, 0, 0, 0x21, crc, 0xFFFFFFFF, 0xFFFFFFFF,
                        len(name), len(sizes)) + name + sizes
    central = struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 45, 45, 0, 0, 0, 0x21, crc, 0xFFFFFFFF,
                          0xFFFFFFFF, len(name), len(sizes), 0, 0, 0, 0, 0) + name + sizes
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 1, 1, len(central), len(local) + len(data), 0)
    path.write_bytes(local + data + central + end)


def end_record(count, directory_size, directory_offset, comment=b""):
    return struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, directory_size, directory_offset,
                       len(comment)) + comment


def stored_entry(name, local_name, data, offset):
    """The local header with its data, and the directory record, of a stored entry at `offset`
    whose local header may carry another name than its directory record."""
    crc = zlib.crc32(data)
    local = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, 0, 0, 0x21, crc, len(data), len(data),
                        len(local_name), 0) + local_name + data
    central = struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, 0, 0, 0x21, crc, len(data), len(data),
                          len(name), 0, 0, 0, 0, 0, offset) + name
    return local, central


def long_names(path, count=60):
    """One ordinary entry, then `count` whose directory records carry names of 65,535 bytes that
    lead through some 32,000 folders, while their local headers carry one byte."""
    ordinary_local, ordinary_central = stored_entry(b"ordinary.txt", b"ordinary.txt", b"ordinary\n", 0)
    locals_, centrals = [ordinary_local], [ordinary_central]
    offset = len(ordinary_local)
    for i in range(count):
        last = b"x%02d.txt" % i
        name = b"a/" * ((0xFFFF - len(last)) // 2) + last
        local, central = stored_entry(name, b"x", b"long\n", offset)
        locals_.append(local)
        centrals.append(central)
        offset += len(local)
    directory = b"".join(centrals)
    path.write_bytes(b"".join(locals_) + directory + end_record(count + 1, len(directory), offset))


def hidden_directory(path):
    """A valid archive whose comment holds a second archive's directory and end record, pointing at
    other data for the same name (its local header naming another file, which libzip notices)."""
    shown = b"what every reader sees\n"
    hidden = b"what only a careless one\n"[: len(shown)].ljust(len(shown), b"!")
    local, central = stored_entry(b"a.txt", b"a.txt", shown, 0)
    first_end_at = len(local) + len(central)
    comment_at = first_end_at + 22
    hidden_local, hidden_central = stored_entry(b"a.txt", b"b.txt", hidden, comment_at)
    hidden_directory_at = comment_at + len(hidden_local)
    comment = hidden_local + hidden_central + end_record(1, len(hidden_central), hidden_directory_at)
    path.write_bytes(local + central + end_record(1, len(central), len(local), comment))


def winzip_aes_2(path, folder):
    """An entry encrypted by bsdtar with WinZip AES, made into the AE-2 form, which carries no CRC:
    version 2 in its AES fields and every CRC 0."""
    bsdtar = shutil.which("bsdtar")
    if bsdtar is None:
        sys.exit("make_archives.py: bsdtar is needed (Debian's libarchive-tools)")
    with tempfile.TemporaryDirectory(dir=folder) as work:
        Path(work, "secret.txt").write_bytes(b"A catalogue page that only the right password opens.\n")
        subprocess.run([bsdtar, "--format", "zip", "--options", "zip:encryption=aes256", "--passphrase", "right",
                        "-cf", str(path), "-C", work, "secret.txt"], check=True)
    data = bytearray(path.read_bytes())
    for record, _, local in central_records(data):
        patch(data, record + 16, "<I", 0)
        patch(data, local + 14, "<I", 0)
        flags, = struct.unpack_from("<H", data, local + 6)
        if flags & 0x8:
            compressed, = struct.unpack_from("<I", data, record + 20)
            descriptor = data_offset(data, local) + compressed
            has_signature = data[descriptor:descriptor + 4] == b"PK\x07\x08"
            patch(data, descriptor + (4 if has_signature else 0), "<I", 0)
        for header, name_at in ((record, record + 46), (local, local + 30)):
            name_length, extra_length = struct.unpack_from("<HH", data, header + (28 if header == record else 26))
            at, end = name_at + name_length, name_at + name_length + extra_length
            while at + 4 <= end:
                field, length = struct.unpack_from("<HH", data, at)
                if field == 0x9901:
                    patch(data, at + 4, "<H", 2)
                at += 4 + length
    path.write_bytes(data)


def make(folder):
    folder.mkdir(parents=True, exist_ok=True)

    basic = [
        (entry("stored.txt", method=zipfile.ZIP_STORED), b"stored text\n"),
        (entry("deflated.txt", NEW_DATE), b"deflate me " * 500),
        (entry("folder/"), b""),
        (entry("folder/nested/deep.txt"), b"deep\n"),
        (entry("empty/"), b""),
        (entry("spaced name.txt"), b"spaces\n"),
    ]
    write(folder / "basic.zip", basic, comment=b"catalogue")

    write(folder / "names.zip", [
        (entry("café.txt"), b"utf-8 flagged\n"),
        (entry("Ωμέγα/ω.txt"), b"greek\n"),
        (LegacyName("résumé.txt", date_time=OLD_DATE), b"code page 437\n"),
    ])

    write(folder / "hostile.zip", [
        (entry("../evil.txt"), b"evil\n"),
        (entry("/abs.txt"), b"abs\n"),
        (entry("C:\\x.txt"), b"drive\n"),
        (entry("a/../../b.txt"), b"parents\n"),
        (entry("..\\back.txt"), b"backslash parent\n"),
        (entry("//server/share/unc.txt"), b"unc\n"),
        (entry("./dot/./inside.txt"), b"inside\n"),
        (entry("safe.txt"), b"safe\n"),
    ])

    write(folder / "windows_names.zip", [
        (entry("CON"), b"device\n"),
        (entry("nul.txt"), b"device\n"),
        (entry("sub/COM1.log"), b"device\n"),
        (entry("aux"), b"device\n"),
        (entry("ab:c.txt"), b"colon\n"),
        (entry("stream.txt:hidden"), b"stream\n"),
        (entry("dir\\inner.txt"), b"backslash\n"),
        (entry("what?.txt"), b"question\n"),
        (entry("trailing. "), b"trailing\n"),
        (entry("ok.txt"), b"ok\n"),
    ])

    link = zipfile.ZipInfo("link", date_time=OLD_DATE)
    link.create_system = 3
    link.external_attr = 0o120777 << 16
    write(folder / "symlink.zip", [(link, b"../outside"), (entry("real.txt"), b"real\n")])

    # Two directory records that point at the same local header: the classic "zip bomb" shape.
    data = write(folder / "overlap.zip", [(entry("a.txt"), b"x" * 1000), (entry("b.txt"), b"x" * 1000)])
    (_, _, first_local), (second_record, _, _) = central_records(data)
    patch(data, second_record + 42, "<I", first_local)
    (folder / "overlap.zip").write_bytes(data)

    data = write(folder / "crc.zip", [
        (entry("good.txt", method=zipfile.ZIP_STORED), b"good\n"),
        (entry("bad.txt", method=zipfile.ZIP_STORED), b"bad data\n"),
    ])
    bad_local = central_records(data)[1][2]
    data[data_offset(data, bad_local)] ^= 0x20
    (folder / "crc.zip").write_bytes(data)

    # An entry whose data expand far beyond the size its records give.
    data = write(folder / "size_lie.zip", [(entry("lie.txt"), b"\0" * 1_000_000)])
    record, _, local = central_records(data)[0]
    patch(data, record + 24, "<I", 1000)
    patch(data, local + 22, "<I", 1000)
    (folder / "size_lie.zip").write_bytes(data)

    data = bytearray((folder / "basic.zip").read_bytes())
    (folder / "truncated.zip").write_bytes(data[: len(data) // 2])
    record = central_records(data)[0][0]
    patch(data, record + 42, "<I", len(data) + 1000)
    (folder / "bad_offset.zip").write_bytes(data)

    # Compression method 6 (implode), which libzip does not read.
    for name, entries in (("unsupported.zip", ["good.txt", "imploded.txt"]), ("unsupported_only.zip", ["imploded.txt"])):
        data = write(folder / name, [(entry(n), n.encode() * 10) for n in entries])
        record, _, local = central_records(data)[-1]
        patch(data, record + 10, "<H", 6)
        patch(data, local + 8, "<H", 6)
        (folder / name).write_bytes(data)

    # Flags "encrypted" and "strong encryption", whose methods libzip does not have.
    data = write(folder / "strong_encryption.zip", [(entry("secret.txt"), b"secret\n")])
    record, _, local = central_records(data)[0]
    patch(data, record + 8, "<H", 0x41)
    patch(data, local + 6, "<H", 0x41)
    (folder / "strong_encryption.zip").write_bytes(data)

    write(folder / "empty.zip", [])
    (folder / "not_a_zip.zip").write_bytes(b"This is no archive.\n" * 10)

    # Archives for the fault tests: entries far larger than their archive (zeros compress to
    # almost nothing), each made of one byte repeated so that a whole file is easy to recognise.
    declaring(folder / "huge_declared.zip", "huge.bin", b"not that huge\n", 1 << 50)
    mib = 1024 * 1024
    write(folder / "large.zip", [(entry("small.txt"), b"small\n"), (entry("big.bin"), b"\0" * (2 * mib))])
    write(folder / "filling.zip", [(entry("big.bin"), b"\0" * (128 * mib)), (entry("after.txt"), b"new\n")])
    write(folder / "killable.zip", [(entry(f"{n}.bin"), n.encode() * (32 * mib)) for n in "abcd"])

    # Names that leave nothing, or another file, once made safe; a folder marked by its MS-DOS
    # attribute alone.
    write(folder / "nameless.zip", [
        (entry(""), b"no name\n"),
        (entry("."), b"dot\n"),
        (entry("a/."), b"a file named after a folder\n"),
        (entry("./"), b""),
        (entry("b/./"), b""),
        (entry("ok.txt"), b"ok\n"),
    ])
    dos_folder = entry("dosdir", method=zipfile.ZIP_STORED)
    dos_folder.create_system = 0
    dos_folder.external_attr = 0x10
    write(folder / "dos_folder.zip", [(dos_folder, b""), (entry("dosdir/inside.txt"), b"inside\n")])

    # Directories: a comment that holds the end record's signature, a directory hidden in the
    # comment, and a directory record whose signature is damaged.
    write(folder / "comment_signature.zip", [(entry("a.txt"), b"a\n")], comment=b"PK\x05\x06" + bytes(18))
    hidden_directory(folder / "hidden_directory.zip")
    data = bytearray((folder / "basic.zip").read_bytes())
    data[central_records(data)[0][0]] ^= 0x01
    (folder / "bad_central_signature.zip").write_bytes(data)

    winzip_aes_2(folder / "aes2.zip", folder)

    # Archives made to cost time or memory: very long names, very deep folders, and two names
    # for one file on Windows, a large one first.
    long_names(folder / "long_names.zip")
    # Twelve entries of 1,990 folders each: remembering every folder's path took some 50 MiB (twice
    # that for 24); the kernel's walks down such paths make more entries only slower to test.
    write(folder / "deep_folders.zip",
          [(entry(f"{i:02}/" + "a/" * 1989 + "f.txt"), b"deep\n") for i in range(12)])
    write(folder / "case_pair.zip", [(entry("\u00c9.html"), b"\0" * (64 * 1024 * 1024)), (entry("\u00e9.html"), b"tiny\n")])
    write(folder / "in_flight.zip", [(entry(f"{n}.bin"), b"\0" * (20 * 1024 * 1024)) for n in "abc"])

    # Past the 65,535 entries of the classic format: zipfile then writes the Zip64 end records.
    with zipfile.ZipFile(folder / "many.zip", "w") as archive:
        for i in range(70_000):
            archive.writestr(entry(f"d{i % 70:02}/f{i}.txt", method=zipfile.ZIP_STORED), str(i))


if __name__ == "__main__":
    make(Path(sys.argv[1]))
