#!/usr/bin/env python3
"""Imports of Quindle.dll: only Windows system DLLs, so the plug-in needs nothing
installed beside it (no libstdc++, libgcc or winpthread DLL)."""

import re
import subprocess

import pe_image
from check_report import run_main

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "winmm.dll", "msvcrt.dll"}
IMAGE_DIRECTORY_DELAY_IMPORT = 13


def objdump_import_names(objdump, dll):
    text = subprocess.run([objdump, "-p", dll], check=True, capture_output=True,
                          text=True).stdout
    return re.findall(r"^\s*DLL Name:\s*(\S+)\s*$", text, re.M)


def check(dll, report, objdump):
    image = pe_image.load(dll)
    names = image.imported_dll_names()
    report.expect("import table", names, "no imports at all: the import table was not read")
    for name in names:
        report.expect("import %s" % name, name.lower() in ALLOWED_DLLS,
                      "%s is not one of the allowed system DLLs %s"
                      % (name, ", ".join(sorted(ALLOWED_DLLS))))
    report.expect_equal("import table", "DLL names (objdump -p against the file's own table)",
                        sorted(set(objdump_import_names(objdump, dll))), sorted(set(names)))
    report.expect_equal("delay imports", "delay-load import directory",
                        image.directory(IMAGE_DIRECTORY_DELAY_IMPORT), (0, 0))


if __name__ == "__main__":
    run_main("imports of Quindle.dll", check, with_objdump=True)
