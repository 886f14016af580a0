#!/usr/bin/env python3
"""Makes the catalogue archives the end-to-end scenarios install, with Python's zipfile."""
import os
import random
import struct
import sys
import zipfile

CATALOGUE = {
    'catalogo/index.html': b'<html><body>Fennimark, catalogo aggiornato (patch 8)</body></html>\n',
    'catalogo/schede/001.html': b'<html><body>Scheda 1</body></html>\n',
    'catalogo/schede/002.html': b'<html><body>Scheda 2</body></html>\n' * 50,
    'catalogo/immagini/logo.png': bytes(range(256)) * 16,
}


def write_catalogue(path):
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as archive:
        for name, data in CATALOGUE.items():
            archive.writestr(zipfile.ZipInfo(name, date_time=(2026, 11, 30, 9, 7, 0)), data,
                             compress_type=zipfile.ZIP_DEFLATED)


def write_damaged(path, good):
    # The catalogue cut short in the middle of its data: the central directory is gone.
    with open(good, 'rb') as source:
        data = source.read()
    with open(path, 'wb') as target:
        target.write(data[: len(data) // 2])


def write_bad_crc(path):
    # The catalogue with one picture stored, and one byte of it changed after its CRC was taken.
    with zipfile.ZipFile(path, 'w') as archive:
        for name, data in CATALOGUE.items():
            method = zipfile.ZIP_STORED if name.endswith('.png') else zipfile.ZIP_DEFLATED
            archive.writestr(zipfile.ZipInfo(name, date_time=(2026, 11, 30, 9, 7, 0)), data,
                             compress_type=method)
    with zipfile.ZipFile(path) as archive:
        picture = archive.getinfo('catalogo/immagini/logo.png')
    with open(path, 'r+b') as target:
        target.seek(picture.header_offset + 26)
        name_length, extra_length = struct.unpack('<HH', target.read(4))
        data_start = picture.header_offset + 30 + name_length + extra_length
        target.seek(data_start + 100)
        byte = target.read(1)
        target.seek(data_start + 100)
        target.write(bytes([byte[0] ^ 0xFF]))


# Each holds the whole catalogue and one entry that would land outside it.
OUTSIDE = {
    'outside-beside.zip': 'leggimi.txt',
    'outside-ledger.zip': 'patch.txt',
    'outside-saved-ledger.zip': 'patch.txt - copia prima della patch 8',
    'outside-aside.zip': 'catalogo - copia prima della patch 8/index.html',
    'outside-up.zip': 'catalogo/../patch.txt',
    'outside-backslash.zip': 'catalogo\\..\\patch.txt',
}


def write_outside(path, extra):
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as archive:
        for name, data in CATALOGUE.items():
            archive.writestr(zipfile.ZipInfo(name, date_time=(2026, 11, 30, 9, 7, 0)), data)
        archive.writestr(zipfile.ZipInfo(extra, date_time=(2026, 11, 30, 9, 7, 0)), b'8         dall\'archivio\r\n')


def write_large(path):
    # Big enough that extracting it takes a while: pictures that do not compress.
    generator = random.Random(8)
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as archive:
        for number in range(300):
            archive.writestr('catalogo/immagini/foto%03d.jpg' % number, generator.randbytes(128 * 1024))


MANY_FILES = 4000


def write_many(path):
    # A catalogue of many small pages, as the real one is: long enough to extract that a window
    # left without events for the whole time would stop answering.
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as archive:
        for number in range(MANY_FILES):
            page = ('<html><body>Scheda %d</body></html>\n' % number).encode() * 40
            archive.writestr('catalogo/schede/%02d/%05d.html' % (number % 40, number), page)


if __name__ == '__main__':
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    good = os.path.join(folder, 'catalogo.zip')
    write_catalogue(good)
    write_damaged(os.path.join(folder, 'damaged.zip'), good)
    write_bad_crc(os.path.join(folder, 'bad-crc.zip'))
    write_large(os.path.join(folder, 'large.zip'))
    write_many(os.path.join(folder, 'many.zip'))
    for archive_name, extra in OUTSIDE.items():
        write_outside(os.path.join(folder, archive_name), extra)
    with open(os.path.join(folder, 'catalogue-files.txt'), 'w') as listing:
        for name in sorted(CATALOGUE):
            listing.write(name[len('catalogo/'):].replace('/', '\\') + '\n')
