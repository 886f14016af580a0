"""The patch folder made from a catalogue: the checks, the archive and the signatures that
scripts/package puts together."""


class PackagingError(Exception):
    """A problem that stops the packaging, told to the maker as it stands."""


def shown(text):
    """A name as it can be printed: control characters and bytes that are not UTF-8 given as
    \\xNN, so that a bad name is visible in the message instead of acting on the terminal."""
    out = []
    for c in text:
        code = ord(c)
        if code < 0x20 or code == 0x7F:
            out.append(f"\\x{code:02x}")
        elif 0xDC80 <= code <= 0xDCFF:  # a byte that was not UTF-8, kept by surrogateescape
            out.append(f"\\x{code - 0xDC00:02x}")
        else:
            out.append(c)
    return "".join(out)
