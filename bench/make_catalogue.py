#!/usr/bin/env python3
"""Seeded archives for the extraction benchmark, made with Python's zipfile.

  make_catalogue.py catalogue OUT.zip [--quick | --pages N --pictures M] [--seed N]
      A catalogue like the one a patch carries: 8,000 HTML pages of 3 to 50 KB (deflated) in
      folders catalogo/schede/NNN/, and 1,000 incompressible pictures of 20 to 200 KB (stored) in
      catalogo/immagini/. --quick makes a tenth of it.
  make_catalogue.py listing OUT.zip ENTRIES [--seed N]
      ENTRIES small pages, for timing the listing.

The same arguments always give the same archive.
"""
import argparse
import random
import zipfile

STAMP = (2026, 11, 30, 12, 0, 0)
PAGES_PER_FOLDER = 100
WORDS = 120


def vocabulary(rng):
    letters = "abcdefghilmnopqrstuvz"
    return ["".join(rng.choice(letters) for _ in range(rng.randint(2, 11))) for _ in range(WORDS)]


def corpus(rng, words, size):
    """Text of random words, from which the pages take their paragraphs."""
    parts = []
    length = 0
    while length < size:
        sentence = " ".join(rng.choices(words, k=rng.randint(6, 24))).capitalize() + ". "
        parts.append(sentence)
        length += len(sentence)
    return "".join(parts)


def page(rng, text, number, size):
    head = (f"<!DOCTYPE html>\n<html lang=\"it\"><head><meta charset=\"utf-8\">"
            f"<title>Scheda {number:05d}</title><link rel=\"stylesheet\" href=\"../../stile.css\"></head>\n"
            f"<body><h1>Scheda {number:05d}</h1>\n")
    parts = [head]
    length = len(head)
    while length < size:
        start = rng.randrange(0, len(text) - 2048)
        paragraph = (f"<tr><td class=\"voce\">Descrizione</td><td class=\"valore\">"
                     f"<p class=\"descrizione\">{text[start:start + rng.randint(200, 1200)]}</p></td></tr>\n")
        parts.append(paragraph)
        length += len(paragraph)
    body = "".join(parts)[: size - 16]
    return (body + "</body></html>\n").encode()


def folder(archive, name):
    archive.writestr(zipfile.ZipInfo(name, STAMP), b"")


def entry(archive, name, data, method):
    info = zipfile.ZipInfo(name, STAMP)
    info.compress_type = method
    info.external_attr = 0o644 << 16
    archive.writestr(info, data)


def catalogue(path, pages, pictures, seed):
    rng = random.Random(seed)
    text = corpus(rng, vocabulary(rng), 4 << 20)
    with zipfile.ZipFile(path, "w") as archive:
        folder(archive, "catalogo/")
        folder(archive, "catalogo/schede/")
        for number in range(pages):
            if number % PAGES_PER_FOLDER == 0:
                folder(archive, f"catalogo/schede/{number // PAGES_PER_FOLDER:03d}/")
            # Sizes lean towards the large end: most pages are long descriptions.
            size = int(3072 + 48128 * rng.random() ** 0.5)
            entry(archive, f"catalogo/schede/{number // PAGES_PER_FOLDER:03d}/scheda_{number:05d}.html",
                  page(rng, text, number, size), zipfile.ZIP_DEFLATED)
        folder(archive, "catalogo/immagini/")
        for number in range(pictures):
            entry(archive, f"catalogo/immagini/foto_{number:05d}.jpg",
                  rng.randbytes(rng.randint(20 << 10, 200 << 10)), zipfile.ZIP_STORED)


def listing(path, entries, seed):
    rng = random.Random(seed)
    with zipfile.ZipFile(path, "w") as archive:
        for number in range(entries):
            name = f"catalogo/schede/{number // PAGES_PER_FOLDER:04d}/scheda_{number:06d}.html"
            entry(archive, name, f"<p>{number} {rng.random()}</p>\n".encode(), zipfile.ZIP_DEFLATED)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("kind", choices=["catalogue", "listing"])
    parser.add_argument("out")
    parser.add_argument("entries", nargs="?", type=int)
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--pages", type=int, default=8000)
    parser.add_argument("--pictures", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=8)
    args = parser.parse_args()
    if args.kind == "catalogue":
        scale = 10 if args.quick else 1
        catalogue(args.out, args.pages // scale, args.pictures // scale, args.seed)
    else:
        if not args.entries:
            parser.error("listing needs a number of entries")
        listing(args.out, args.entries, args.seed)


if __name__ == "__main__":
    main()
