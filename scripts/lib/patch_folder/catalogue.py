"""The catalogue folder checked before anything is written: only folders and plain files, names that
Windows can hold, paths that fit below the install folder, no two names equal but for case."""
import os
import stat
from dataclasses import dataclass

from . import shown

# The entries land in catalogo\ below the install folder; 150 characters there leave 110 of
# Windows' 260 (MAX_PATH) for the install folder itself, such as C:\Program Files (x86)\Fennimark.
LONGEST_PATH = 150
TOP = "catalogo"
DEVICE_NAMES = ({"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}
                | {prefix + digit for prefix in ("COM", "LPT") for digit in "0123456789\u00b9\u00b2\u00b3"})
FORBIDDEN = set('<>:"|?*\\')


@dataclass(frozen=True)
class Entry:
    name: str       # in the archive: catalogo/..., a folder's ending in a slash
    source: bytes   # the file or folder on disk
    is_folder: bool


def windows_name_problem(name):
    """Why Windows cannot hold this one name, or None."""
    if any(ord(c) < 0x20 for c in name):
        return "holds a control character, which Windows does not allow in a name"
    forbidden = sorted(set(name) & FORBIDDEN)
    if forbidden:
        return f"holds {' '.join(forbidden)}, which Windows does not allow in a name"
    if name.endswith((".", " ")):
        return "ends in a dot or a blank, which Windows drops from a name"
    if name.split(".")[0].rstrip(" ").upper() in DEVICE_NAMES:
        return "is a device name on Windows"
    return None


def windows_length(text):
    """Length as Windows counts it: UTF-16 code units."""
    return sum(2 if ord(c) > 0xFFFF else 1 for c in text)


def upper_for_comparison(name):
    """Windows compares names by upper-casing each character alone (no 'ß' to 'SS')."""
    return "".join(u if len(u := c.upper()) == 1 else c for c in name)


def check_catalogue(folder):
    """The catalogue's entries, folders included, sorted by their UTF-8 names, and the problems
    found, each naming its path. The entries are good only when there are no problems."""
    problems = []
    entries = [Entry(TOP + "/", os.fsencode(folder), True)]
    files = 0

    def report(parts, reason):
        problems.append(f"{shown(os.path.join(folder, *parts))}: {reason}")

    def visit(source, parts, length_checked):
        nonlocal files
        try:
            with os.scandir(source) as listing:
                children = sorted(listing, key=lambda child: child.name)
        except OSError as error:
            report(parts, f"cannot be read ({error.strerror})")
            return
        seen = {}
        for child in children:
            try:
                name = child.name.decode("utf-8")
            except UnicodeDecodeError:
                report(parts + [child.name.decode("utf-8", "surrogateescape")], "its name is not valid UTF-8")
                continue
            here = parts + [name]
            try:
                mode = child.stat(follow_symlinks=False).st_mode
            except OSError as error:
                report(here, f"cannot be read ({error.strerror})")
                continue
            if stat.S_ISLNK(mode):
                report(here, "is a link; the catalogue may hold only folders and plain files")
                continue
            if not (stat.S_ISDIR(mode) or stat.S_ISREG(mode)):
                report(here, "is a special file (device, pipe or socket); the catalogue may hold only "
                             "folders and plain files")
                continue
            problem = windows_name_problem(name)
            if problem:
                report(here, problem)
            twin = seen.setdefault(upper_for_comparison(name), name)
            if twin != name:
                report(here, f"equals {shown(twin)} but for case, and Windows cannot hold both")
            path_below_install = "\\".join([TOP] + here)
            too_long = not length_checked and windows_length(path_below_install) > LONGEST_PATH
            if too_long:
                report(here, f"is {windows_length(path_below_install)} characters long below the install "
                             f"folder ({shown(path_below_install)}); at most {LONGEST_PATH} are allowed")
            archive_name = "/".join([TOP] + here)
            if stat.S_ISDIR(mode):
                entries.append(Entry(archive_name + "/", child.path, True))
                visit(child.path, here, length_checked or too_long)
            else:
                if not os.access(child.path, os.R_OK):
                    report(here, "cannot be read")
                entries.append(Entry(archive_name, child.path, False))
                files += 1

    if not os.path.isdir(folder):
        return [], [f"{shown(folder)}: is not a folder"]
    visit(os.fsencode(folder), [], False)
    if files == 0:
        problems.append(f"{shown(folder)}: the catalogue is empty: it holds no file")
    entries.sort(key=lambda entry: entry.name.encode("utf-8"))
    return entries, problems
