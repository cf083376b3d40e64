#!/usr/bin/env python3
"""Release archive: runs scripts/package.sh twice (the second time from a copy of the
DLL with another time stamp and mode, under another umask) and checks the two zips
are identical, hold exactly the expected entries with fixed time stamps, a read-me
Notepad shows correctly (UTF-8 with BOM, CRLF), the licence and the DLL's SHA-256."""

import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

from check_report import Report

ZIP_NAME = "Quindle-1.00.zip"
ENTRIES = ["LICENSE.txt", "Quindle.dll", "Readme.txt", "SHA256SUMS.txt"]
FIXED_TIME = (2026, 1, 1, 0, 0, 0)
BOM = b"\xEF\xBB\xBF"

# What the read-me must tell a user, with the row naming each topic.
README_TOPICS = [
    ("what it does", "CD-ROM"),
    ("install folder", "PlugIns"),
    ("install restart", "起動し直します"),
    ("removal", "削除"),
    ("settings file", "Quindle.ini"),
    ("option on/off", "この機能をONにする"),
    ("option drive", "対象ドライブ"),
    ("drive default", "デフォルト"),
    ("drive all", "全て"),
    ("option close first", "閉じてからイジェクトする"),
    ("licence", "MIT"),
]


def run_package(script, build_dir, out_dir, umask):
    old = os.umask(umask)
    try:
        env = dict(os.environ)
        env.pop("SOURCE_DATE_EPOCH", None)
        done = subprocess.run([script, build_dir, out_dir], capture_output=True, text=True, env=env)
    finally:
        os.umask(old)
    return done


def check_readme(report, data, source_text):
    report.expect("Readme.txt", data.startswith(BOM), "does not start with the UTF-8 BOM")
    body = data[len(BOM):] if data.startswith(BOM) else data
    lines = body.split(b"\r\n")
    report.expect("Readme.txt", not any(b"\n" in l or b"\r" in l for l in lines),
                  "a line ends in a bare LF or CR instead of CRLF")
    report.expect("Readme.txt", body.endswith(b"\r\n"), "the last line has no CRLF")
    try:
        text = body.decode("utf-8")
    except UnicodeDecodeError as error:
        report.fail("Readme.txt", "not UTF-8: %s" % error)
        return
    report.expect_equal("Readme.txt", "text (CRLF as LF) against docs/readme-ja.txt",
                        text.replace("\r\n", "\n"), source_text)
    for topic, phrase in README_TOPICS:
        report.expect("Readme.txt " + topic, phrase in text, "does not mention %r" % phrase)


def check_zip(report, path, dll_bytes, readme_source, license_source):
    with zipfile.ZipFile(path) as z:
        infos = z.infolist()
        names = [i.filename for i in infos]
        report.expect_equal("zip", "entries in order", names, ENTRIES)
        for info in infos:
            row = "zip " + info.filename
            report.expect_equal(row, "time stamp", info.date_time, FIXED_TIME)
            report.expect_equal(row, "extra field (zip -X)", info.extra, b"")
            report.expect_equal(row, "unix mode", info.external_attr >> 16, 0o100644)
        contents = {n: z.read(n) for n in names}
    if "Quindle.dll" in contents:
        report.expect("zip Quindle.dll", contents["Quindle.dll"] == dll_bytes,
                      "differs from the built DLL")
    if "Readme.txt" in contents:
        check_readme(report, contents["Readme.txt"], readme_source)
    if "LICENSE.txt" in contents:
        report.expect_equal("zip LICENSE.txt", "text (CRLF as LF) against LICENSE",
                            contents["LICENSE.txt"].replace(b"\r\n", b"\n"), license_source)
    if "SHA256SUMS.txt" in contents:
        want = "%s  Quindle.dll\n" % hashlib.sha256(dll_bytes).hexdigest()
        report.expect_equal("zip SHA256SUMS.txt", "content",
                            contents["SHA256SUMS.txt"].decode("ascii", "replace"), want)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--source", required=True)
    parser.add_argument("--win32-build", required=True)
    args = parser.parse_args()
    report = Report("release archive")
    script = os.path.join(args.source, "scripts", "package.sh")
    with open(os.path.join(args.win32_build, "Quindle.dll"), "rb") as f:
        dll_bytes = f.read()
    with open(os.path.join(args.source, "docs", "readme-ja.txt"), encoding="utf-8") as f:
        readme_source = f.read()
    with open(os.path.join(args.source, "LICENSE"), "rb") as f:
        license_source = f.read()
    report.expect("LICENSE", b"MIT License" in license_source
                  and b"Copyright (c) 2026 Quindle developers" in license_source,
                  "not the MIT licence of the Quindle developers")

    with tempfile.TemporaryDirectory(prefix="quindle-package-") as scratch:
        other_build = os.path.join(scratch, "other-build")
        os.mkdir(other_build)
        copy = os.path.join(other_build, "Quindle.dll")
        shutil.copyfile(os.path.join(args.win32_build, "Quindle.dll"), copy)
        os.chmod(copy, 0o600)
        os.utime(copy, (1234567890, 1234567890))

        zips = []
        for row, build_dir, umask in (("first run", args.win32_build, 0o022),
                                      ("second run", other_build, 0o077)):
            out = os.path.join(scratch, row.replace(" ", "-"))
            done = run_package(script, build_dir, out, umask)
            report.expect_equal(row, "package.sh exit status", done.returncode, 0)
            if done.returncode:
                sys.stdout.write(done.stdout + done.stderr)
                sys.exit(report.finish())
            zips.append(os.path.join(out, ZIP_NAME))
            report.expect(row, os.path.isfile(zips[-1]), "no %s produced" % ZIP_NAME)
        with open(zips[0], "rb") as a, open(zips[1], "rb") as b:
            report.expect("reproducible", a.read() == b.read(),
                          "the two runs gave different archives")
        check_zip(report, zips[0], dll_bytes, readme_source, license_source)
    sys.exit(report.finish())


if __name__ == "__main__":
    main()
