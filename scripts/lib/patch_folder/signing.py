"""Authenticode signatures with osslsigncode (Debian 12's 2.5 and later ones take the same options
used here), SHA-256, from a PKCS#12 certificate file and a password file; each signed file checked
against the certificate's own chain."""
import os
import shutil
import subprocess

from . import PackagingError

SYSTEM_AUTHORITIES = "/etc/ssl/certs/ca-certificates.crt"


def run(command):
    return subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, text=True, errors="replace")


def last_lines(result, count=3):
    lines = [line for line in (result.stderr + result.stdout).splitlines() if line.strip()]
    return " / ".join(lines[-count:])


class Signer:
    """Signs with one certificate. `workspace` is a private folder (mode 0700) that holds the
    password without its line end and the certificate's chain while the signer is in use."""

    def __init__(self, certificate, password_file, timestamp_url, workspace):
        self.certificate = certificate
        self.password_file = password_file
        self.timestamp_url = timestamp_url
        self.password = os.path.join(workspace, "password")
        self.chain = os.path.join(workspace, "chain.pem")
        self.legacy = []

    def check(self):
        """Refuses, before anything is written, a certificate that cannot sign: one that does not
        open with the password, holds no private key, has expired or is not for code signing."""
        for tool in ("osslsigncode", "openssl"):
            if not shutil.which(tool):
                raise PackagingError(f"{tool} is not installed (Debian package {tool})")
        self.copy_password()
        if not os.path.isfile(self.certificate):
            raise PackagingError(f"{self.certificate}: no such certificate file")
        chain = self.pkcs12("-nokeys", "-out", self.chain)
        if chain.returncode != 0 and "unsupported" in chain.stderr.lower():
            self.legacy = ["-legacy"]  # older algorithms, which OpenSSL 3 keeps apart
            chain = self.pkcs12("-nokeys", "-out", self.chain)
        if chain.returncode != 0:
            if "password" in chain.stderr.lower() or "mac verify" in chain.stderr.lower():
                raise PackagingError(f"the password in {self.password_file} does not open {self.certificate}")
            raise PackagingError(f"{self.certificate}: cannot be read as a PKCS#12 certificate file "
                                 f"({last_lines(chain, 1)})")
        if "PRIVATE KEY" not in self.pkcs12("-nocerts", "-nodes").stdout:
            raise PackagingError(f"{self.certificate}: holds no private key, so it cannot sign")
        leaf = self.pkcs12("-nokeys", "-clcerts").stdout
        if run_with_input(["openssl", "x509", "-noout", "-checkend", "0"], leaf).returncode != 0:
            raise PackagingError(f"{self.certificate}: the certificate has expired")
        usage = run_with_input(["openssl", "x509", "-noout", "-ext", "extendedKeyUsage"], leaf).stdout
        if usage.strip() and "Code Signing" not in usage:
            uses = ", ".join(line.strip() for line in usage.splitlines()[1:])
            raise PackagingError(f"{self.certificate}: the certificate is not for code signing "
                                 f"(its extended key usage: {uses})")

    def copy_password(self):
        """The first line of the password file, without its line end, so that every tool reads the
        same password."""
        try:
            with open(self.password_file, "rb") as file:
                password = file.read().split(b"\n", 1)[0].rstrip(b"\r")
        except OSError as error:
            raise PackagingError(f"{self.password_file}: cannot be read ({error.strerror})")
        with open(os.open(self.password, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600), "wb") as file:
            file.write(password)

    def pkcs12(self, *options):
        return run(["openssl", "pkcs12", *self.legacy, "-in", self.certificate,
                    "-passin", f"file:{self.password}", *options])

    def sign(self, path):
        """Signs `path` in place (through a file beside it) and checks the signature."""
        signed = path + ".signed"
        command = ["osslsigncode", "sign", "-pkcs12", self.certificate, "-readpass", self.password,
                   "-h", "sha256"]
        if self.timestamp_url:
            command += ["-ts", self.timestamp_url]
        result = run(command + ["-in", path, "-out", signed])
        if result.returncode != 0 or not os.path.isfile(signed):
            what = "sign or timestamp" if self.timestamp_url else "sign"
            raise PackagingError(f"{os.path.basename(path)}: osslsigncode could not {what} it ({last_lines(result)})")
        os.replace(signed, path)
        self.verify(path)

    def verify(self, path):
        command = ["osslsigncode", "verify", "-CAfile", self.chain]
        if self.timestamp_url and os.path.isfile(SYSTEM_AUTHORITIES):
            command += ["-TSA-CAfile", SYSTEM_AUTHORITIES]
        result = run(command + ["-in", path])
        if result.returncode != 0:
            raise PackagingError(f"{os.path.basename(path)}: its signature does not verify against the "
                                 f"certificate's own chain ({last_lines(result)})")


def run_with_input(command, text):
    return subprocess.run(command, input=text, capture_output=True, text=True, errors="replace")
