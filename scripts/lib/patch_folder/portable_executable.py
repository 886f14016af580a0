"""What the headers of a Windows program file say: its machine, whether it is a DLL, and whether it
carries an Authenticode signature."""
import struct

from . import PackagingError

I386 = 0x14C
DLL_FLAG = 0x2000           # IMAGE_FILE_DLL among the COFF header's characteristics
PE32, PE32_PLUS = 0x10B, 0x20B
SECURITY_DIRECTORY = 4      # the certificate table, where a signature lives


def read_headers(path):
    """(machine, characteristics, has_signature) of a PE file; PackagingError when it is none."""
    try:
        with open(path, "rb") as file:
            data = file.read(4096)
    except OSError as error:
        raise PackagingError(f"{path}: cannot be read ({error.strerror})")
    if len(data) < 0x40 or data[:2] != b"MZ":
        raise PackagingError(f"{path}: is not a Windows program file (no MZ header)")
    (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
    if pe_offset + 24 > len(data) or data[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise PackagingError(f"{path}: is not a Windows program file (no PE header)")
    machine, _, _, _, _, optional_size, characteristics = struct.unpack_from("<HHIIIHH", data, pe_offset + 4)
    optional = pe_offset + 24
    directories = {PE32: 96, PE32_PLUS: 112}
    signed = False
    if optional + 2 <= len(data):
        (magic,) = struct.unpack_from("<H", data, optional)
        if magic in directories:
            at = optional + directories[magic] + 8 * SECURITY_DIRECTORY
            if at + 8 <= min(len(data), optional + optional_size):
                address, size = struct.unpack_from("<II", data, at)
                signed = address != 0 and size != 0
    return machine, characteristics, signed


def check_32_bit_dll(path):
    """Refuses anything but a 32-bit x86 DLL; tells whether it is signed already."""
    machine, characteristics, signed = read_headers(path)
    if machine != I386:
        raise PackagingError(f"{path}: is built for machine 0x{machine:x}; the installer needs a 32-bit "
                             f"x86 library (machine 0x{I386:x})")
    if not characteristics & DLL_FLAG:
        raise PackagingError(f"{path}: is a program, not a DLL")
    return signed
