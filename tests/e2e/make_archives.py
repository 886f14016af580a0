#!/usr/bin/env python3
"""Makes the catalogue archives the end-to-end scenarios install, with Python's zipfile."""
import os
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


if __name__ == '__main__':
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    good = os.path.join(folder, 'catalogo.zip')
    write_catalogue(good)
    write_damaged(os.path.join(folder, 'damaged.zip'), good)
    with open(os.path.join(folder, 'catalogue-files.txt'), 'w') as listing:
        for name in sorted(CATALOGUE):
            listing.write(name[len('catalogo/'):].replace('/', '\\') + '\n')
