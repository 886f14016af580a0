#!/usr/bin/env python3
"""scripts/package as the catalogue's maker runs it: the folder it makes, the archive's bytes and
entries, the catalogues and arguments it refuses, the signatures, and the round trip of the
archive through Python's zipfile, bsdtar and our library.

  package_tests.py [--wine DEMO_DRIVER.exe] [unittest options]

With --wine (inside a running Wine environment: WINEPREFIX and DISPLAY set), the signed program of
a packaged folder also installs the catalogue on a machine set up in the prefix.
"""
import calendar
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
PACKAGE = REPO / "scripts" / "package"
STAND_IN = REPO / "build" / "windows-x86" / "stand-in" / "zip32.dll"
PROGRAM = REPO / "build" / "windows-x86" / "bin" / "fennimark_patch.exe"
OUR_DRIVER = REPO / "build" / "linux" / "bench" / "unzip32_bench_driver"
OUR_LIBRARY = REPO / "build" / "linux" / "bin" / "libunzip32.so"
WINE_DRIVER = None  # set by --wine

STAMP = calendar.timegm((2026, 11, 30, 9, 7, 4))
BEFORE_1980 = calendar.timegm((1975, 6, 1, 12, 0, 0))
FILES = {  # the sample catalogue: path below it, content
    "index.html": b"<html><body>Fennimark, catalogo (patch 8)</body></html>\n" * 40,
    "schede/citt\u00e0.html": "<p>Citt\u00e0 e perch\u00e9</p>\n".encode() * 30,
    "schede/\u65e5\u672c.txt": "\u65e5\u672c\n".encode(),
    "schede.css": b"body { margin: 0 }\n",
    "immagini/foto.JPG": bytes(range(256)) * 64,
    "immagini/logo.png": bytes(range(255, -1, -1)) * 8,
    "stile/vecchio.css": b"p { color: black }\n",
}
EMPTY_FOLDER = "vuota"
# In the archive, in this order: name, method (None for a folder).
EXPECTED_ENTRIES = [
    ("catalogo/", None), ("catalogo/immagini/", None),
    ("catalogo/immagini/foto.JPG", zipfile.ZIP_STORED), ("catalogo/immagini/logo.png", zipfile.ZIP_STORED),
    ("catalogo/index.html", zipfile.ZIP_DEFLATED), ("catalogo/schede.css", zipfile.ZIP_DEFLATED),
    ("catalogo/schede/", None), ("catalogo/schede/citt\u00e0.html", zipfile.ZIP_DEFLATED),
    ("catalogo/schede/\u65e5\u672c.txt", zipfile.ZIP_DEFLATED),
    ("catalogo/stile/", None), ("catalogo/stile/vecchio.css", zipfile.ZIP_DEFLATED),
    ("catalogo/vuota/", None),
]


def make_catalogue(root):
    for name, data in FILES.items():
        path = root / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
    (root / EMPTY_FOLDER).mkdir()
    for path in [*root.rglob("*"), root]:
        os.utime(path, (STAMP, STAMP))
    os.utime(root / "stile" / "vecchio.css", (BEFORE_1980, BEFORE_1980))
    return root


def tree(root):
    """Every name below a folder (folders ending in '/') with each file's bytes."""
    return {str(p.relative_to(root)) + ("/" if p.is_dir() else ""): (b"" if p.is_dir() else p.read_bytes())
            for p in Path(root).rglob("*")}


def package(catalogue, out, *extra, zip32=STAND_IN):
    return subprocess.run([PACKAGE, "--catalogue", catalogue, "--zip32", zip32, "--out", out, *map(str, extra)],
                          capture_output=True, text=True, errors="backslashreplace")


def openssl(*arguments):
    subprocess.run(["openssl", *map(str, arguments)], check=True, capture_output=True)


def make_certificate(folder, name, usage="codeSigning", with_key=True):
    """A throwaway self-signed certificate: NAME.pfx (password in `password`) and NAME.pem."""
    key, pem, pfx = folder / f"{name}.key", folder / f"{name}.pem", folder / f"{name}.pfx"
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", pem, "-days", "2",
            "-subj", f"/CN=Throwaway {name}", "-addext", f"extendedKeyUsage={usage}")
    key_options = ["-inkey", key] if with_key else ["-nokeys"]
    openssl("pkcs12", "-export", *key_options, "-in", pem, "-out", pfx, "-passout", f"file:{folder / 'password'}")
    return pfx, pem


def verifies(path, authority):
    return subprocess.run(["osslsigncode", "verify", "-in", path, "-CAfile", authority],
                          capture_output=True).returncode == 0


class Workspace(unittest.TestCase):
    """A private folder per test class, with the sample catalogue and a certificate."""

    @classmethod
    def setUpClass(cls):
        for needed in (PACKAGE, STAND_IN):
            assert needed.exists(), f"{needed} is missing: build the windows-x86 preset first"
        cls.work = Path(tempfile.mkdtemp(prefix="package-tests-"))
        cls.catalogue = make_catalogue(cls.work / "catalogue")
        (cls.work / "password").write_text("segreto di prova\n")
        (cls.work / "wrong").write_text("altro\n")
        cls.certificate, cls.authority = make_certificate(cls.work, "signer")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work)

    def fresh(self, name):
        folder = Path(tempfile.mkdtemp(dir=self.work, prefix=name))
        return folder, folder / "out"

    def expect_refused(self, result, out, *words):
        self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
        for word in words:
            self.assertIn(word, result.stderr)
        self.assertFalse(os.path.lexists(out), "an output folder was left")
        self.assertEqual([p.name for p in out.parent.iterdir() if p.name.startswith(".")], [],
                         "a temporary folder was left")


class Unsigned(Workspace):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.outs = [cls.work / "first", cls.work / "second"]
        for out in cls.outs:
            result = package(cls.catalogue, out)
            assert result.returncode == 0, result.stdout + result.stderr

    def test_two_runs_give_the_same_archive_and_a_complete_folder(self):
        first, second = self.outs
        self.assertEqual((first / "catalogo.zip").read_bytes(), (second / "catalogo.zip").read_bytes())
        self.assertEqual(sorted(os.listdir(first)),
                         ["SHA256SUMS", "UNZIP32.DLL", "catalogo.zip", "fennimark_patch.exe", "zip32.dll"])
        self.assertEqual((first / "zip32.dll").read_bytes(), STAND_IN.read_bytes())
        self.assertEqual((first / "fennimark_patch.exe").read_bytes(), PROGRAM.read_bytes())
        checked = subprocess.run(["sha256sum", "--check", "--strict", "SHA256SUMS"], cwd=first,
                                 capture_output=True, text=True)
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        self.assertEqual(checked.stdout.count(": OK"), 4)

    def test_entries_sorted_flagged_dated_and_compressed_by_kind(self):
        with zipfile.ZipFile(self.outs[0] / "catalogo.zip") as archive:
            infos = archive.infolist()
        self.assertEqual([(i.filename, None if i.is_dir() else i.compress_type) for i in infos], EXPECTED_ENTRIES)
        for info in infos:
            with self.subTest(info.filename):
                self.assertTrue(info.flag_bits & 0x800, "no UTF-8 flag")
                self.assertEqual(info.extra, b"")
                old = info.filename.endswith("vecchio.css")
                self.assertEqual(info.date_time, (1980, 1, 1, 0, 0, 0) if old else (2026, 11, 30, 9, 7, 4))
                kind = (stat.S_IFDIR | 0o755) if info.is_dir() else (stat.S_IFREG | 0o644)
                self.assertEqual(info.external_attr >> 16, kind)

    def test_round_trip_through_zipfile_bsdtar_and_our_library(self):
        assert OUR_DRIVER.exists() and OUR_LIBRARY.exists(), "build the linux preset first"
        archive = self.outs[0] / "catalogo.zip"
        extractors = {
            "zipfile": lambda target: zipfile.ZipFile(archive).extractall(target),
            "bsdtar": lambda target: subprocess.run(["bsdtar", "-xf", archive, "-C", target], check=True,
                                                    env={**os.environ, "LC_ALL": "C.UTF-8"}),
            "unzip32": lambda target: subprocess.run([OUR_DRIVER, OUR_LIBRARY, archive, target], check=True,
                                                     capture_output=True),
        }
        expected = tree(self.catalogue)
        for name, extract in extractors.items():
            with self.subTest(name):
                target = self.work / f"extracted-{name}"
                target.mkdir()
                extract(target)
                self.assertEqual(tree(target / "catalogo"), expected)


class Refused(Workspace):
    def test_bad_catalogues(self):
        def link(root):
            os.symlink("index.html", root / "collegamento.html")

        def folder_link(root):
            os.symlink(root / "schede", root / "cartella")

        def named(name):
            return lambda root: (root / name).write_bytes(b"x")

        def long_path(root):
            (root / ("a" * 60) / ("b" * 60)).mkdir(parents=True)
            (root / ("a" * 60) / ("b" * 60) / ("c" * 30 + ".html")).write_bytes(b"x")

        def emptied(root):
            shutil.rmtree(root)
            (root / "vuota").mkdir(parents=True)

        cases = [  # how the catalogue is spoilt, and what the message must name
            (link, ["collegamento.html", "link"]),
            (folder_link, ["cartella", "link"]),
            (lambda root: os.mkfifo(root / "tubo"), ["tubo", "special file"]),
            (named("CON"), ["CON", "device"]),
            (named("aux.txt"), ["aux.txt", "device"]),
            (named("lpt1 .html"), ["lpt1 .html", "device"]),
            (named("fine."), ["fine.", "dot or a blank"]),
            (named("fine "), ["fine ", "dot or a blank"]),
            *[(named(f"a{c}b.html"), [f"a{c}b.html", "not allow"]) for c in ':<>"|?*\\'],
            (named("a\x01b.html"), ["a\\x01b.html", "control character"]),
            (named(os.fsdecode(b"caff\xe8.html")), ["caff\\xe8.html", "UTF-8"]),
            (long_path, ["c" * 30 + ".html", "166 characters"]),
            (named("INDEX.html"), ["INDEX.html", "index.html", "case"]),
            (emptied, ["empty"]),
            (lambda root: (link(root), named("nul")(root)), ["collegamento.html", "nul"]),  # all reported
        ]
        for spoil, words in cases:
            with self.subTest(words[0]):
                folder, out = self.fresh("bad")
                root = make_catalogue(folder / "catalogue")
                spoil(root)
                self.expect_refused(package(root, out), out, *words)

    def test_bad_arguments(self):
        program_for_another_machine = self.work / "x64.dll"
        data = bytearray(STAND_IN.read_bytes())
        machine = int.from_bytes(data[0x3C:0x40], "little") + 4
        data[machine:machine + 2] = (0x8664).to_bytes(2, "little")
        program_for_another_machine.write_bytes(data)
        text = self.work / "zip32.txt"
        text.write_text("not a library")
        cases = [  # zip32, out (None: a fresh one), what the message must say
            (PROGRAM, None, "not a DLL"),
            (program_for_another_machine, None, "machine 0x8664"),
            (text, None, "no MZ header"),
            (STAND_IN, "exists", "already exists"),
            (STAND_IN, "inside", "inside the catalogue"),
        ]
        for zip32, where, words in cases:
            with self.subTest(words):
                folder, out = self.fresh("args")
                if where == "exists":
                    out.mkdir()
                root = make_catalogue(folder / "catalogue")
                if where == "inside":
                    out = root / "patch"
                result = package(root, out, zip32=zip32)
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertIn(words, result.stderr)
                self.assertEqual(out.exists(), where == "exists")
                self.assertEqual(sorted(p.name for p in folder.iterdir()),
                                 sorted(["catalogue"] + (["out"] if where == "exists" else [])))


class Signed(Workspace):
    def test_signed_folders_verify_and_a_signed_zip32_is_left_as_it_is(self):
        other, other_authority = make_certificate(self.work, "other")
        own = self.work / "signed-zip32.dll"
        subprocess.run(["osslsigncode", "sign", "-pkcs12", other, "-readpass", self.work / "password",
                        "-h", "sha256", "-in", STAND_IN, "-out", own], check=True, capture_output=True)
        for zip32, zip32_authority in ((STAND_IN, self.authority), (own, other_authority)):
            with self.subTest(zip32.name):
                _, out = self.fresh("signed")
                result = package(self.catalogue, out, "--sign", self.certificate,
                                 "--password-file", self.work / "password", zip32=zip32)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
                for name, authority in (("fennimark_patch.exe", self.authority), ("UNZIP32.DLL", self.authority),
                                        ("zip32.dll", zip32_authority)):
                    self.assertTrue(verifies(out / name, authority), name)
                if zip32 == own:
                    self.assertEqual((out / "zip32.dll").read_bytes(), own.read_bytes())
                self.assertEqual(subprocess.run(["sha256sum", "--check", "--quiet", "SHA256SUMS"],
                                                cwd=out).returncode, 0)

    def test_certificates_that_cannot_sign_leave_nothing(self):
        server, _ = make_certificate(self.work, "server", usage="serverAuth")
        keyless, _ = make_certificate(self.work, "keyless", with_key=False)
        password, wrong = self.work / "password", self.work / "wrong"
        cases = [  # certificate, password file, extra arguments, what the message must say
            (self.certificate, wrong, [], "does not open"),
            (server, password, [], "not for code signing"),
            (keyless, password, [], "no private key"),
            # Nothing listens there: the signing itself fails, after the folder was begun.
            (self.certificate, password, ["--timestamp", "http://127.0.0.1:9/"], "could not sign or timestamp"),
        ]
        for certificate, password_file, extra, words in cases:
            with self.subTest(words):
                _, out = self.fresh("unsigned")
                result = package(self.catalogue, out, "--sign", certificate, "--password-file", password_file,
                                 *extra)
                self.expect_refused(result, out, words)


class UnderWine(Workspace):
    def setUp(self):
        if not WINE_DRIVER:
            self.skipTest("runs only with --wine, in a Wine environment")

    def test_signed_program_of_a_packaged_folder_installs(self):
        drive_c = Path(os.environ["WINEPREFIX"]) / "drive_c"
        patch, install = drive_c / "package-test-patch", drive_c / "package-test" / "Fennimark"
        shutil.rmtree(drive_c / "package-test", ignore_errors=True)
        shutil.rmtree(patch, ignore_errors=True)
        try:
            result = package(self.catalogue, patch, "--sign", self.certificate,
                             "--password-file", self.work / "password")
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            (install / "catalogo").mkdir(parents=True)
            (install / "catalogo" / "vecchia.html").write_bytes(b"old")
            (install / "patch.txt").write_bytes(b"".join(b"%-10d1/1/2020\r\n" % n for n in range(1, 8)))
            wine = ["/usr/lib/wine/wine64", WINE_DRIVER]
            subprocess.run([*wine, "shortcut", "C:\\package-test\\Fennimark"], check=True)
            report = self.work / "report.txt"
            ran = subprocess.run([*wine, "run", "C:\\package-test-patch\\fennimark_patch.exe",
                                  "Z:" + str(report).replace("/", "\\"), "--answer"], timeout=300)
            text = report.read_text(encoding="utf-8")
            self.assertEqual(ran.returncode, 0, text)
            self.assertIn("Patch installata con successo!", text)
            self.assertEqual(tree(install / "catalogo"), tree(self.catalogue))
        finally:
            for folder in [drive_c / "package-test", patch,
                           *drive_c.glob("users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Fennimark")]:
                shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    if "--wine" in sys.argv:
        at = sys.argv.index("--wine")
        WINE_DRIVER = sys.argv[at + 1]
        del sys.argv[at:at + 2]
    unittest.main(verbosity=2)
