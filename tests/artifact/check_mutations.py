#!/usr/bin/env python3
"""The artifact checks themselves: each row breaks one thing in a copy of
Quindle.dll (a style bit, a position, a text, a flag, an ordinal, a stack clean-up,
an import, a version text) and expects the check for that area to fail, naming the
right row. A check that passes a broken DLL is worth nothing."""

import argparse
import os
import struct
import sys
import tempfile

import check_dialog
import check_exports
import check_hardening
import check_imports
import check_version
import dialog_template
import pe_image
from check_report import Report


def utf16(text):
    return text.encode("utf-16-le")


def replace_once(data, old, new, start=0):
    at = data.index(old, start)
    return data[:at] + new + data[at + len(old):]


def dialog_bytes_offset(image):
    return next(r for r in image.resources() if r.type_id == check_dialog.RT_DIALOG).offset


def set_item_field(data, image, item_index, field_offset, fmt, value):
    """Rewrites one fixed field of the item_index-th DLGITEMTEMPLATE."""
    resource = next(r for r in image.resources() if r.type_id == check_dialog.RT_DIALOG)
    item = dialog_template.parse(resource.data).items[item_index]
    at = resource.offset + item.offset + field_offset
    return data[:at] + struct.pack(fmt, value) + data[at + struct.calcsize(fmt):]


def sort_the_drive_list(data, image):
    return set_item_field(data, image, 2, 0, "<I", 0x50210003 | 0x100)  # CBS_SORT


def move_ok_button(data, image):
    return set_item_field(data, image, 4, 8, "<h", 61)


def mangle_font_face(data, image):
    return replace_once(data, utf16("\u30B4\u30B7"), utf16("?\u30B7"), dialog_bytes_offset(image))


def clear_nx_compat(data, image):
    at = image.dll_characteristics_offset
    flags = image.dll_characteristics & ~pe_image.IMAGE_DLLCHARACTERISTICS_NX_COMPAT
    return data[:at] + struct.pack("<H", flags) + data[at + 2:]


def make_data_executable(data, image):
    index = next(i for i, s in enumerate(image.sections) if s.name == ".data")
    at = image.section_header_offset(index) + 36
    flags = image.sections[index].characteristics | pe_image.IMAGE_SCN_MEM_EXECUTE
    return data[:at] + struct.pack("<I", flags) + data[at + 4:]


def export_file_offset(image, name):
    _, functions, names = image.export_directory()
    return image.offset_of_rva(functions[names[name]])


def pop_eight_in_open_folder(data, image):
    start = export_file_offset(image, "BKC_OnOpenFolder")
    at = data.index(b"\xC2\x04\x00", start)  # ret $4
    return data[:at + 1] + b"\x08" + data[at + 2:]


def swap_start_and_exit(data, image):
    """Exchanges the ordinal-table entries of two names: each now leads to the other's slot."""
    rva, _ = image.directory(pe_image.IMAGE_DIRECTORY_EXPORT)
    at = image.offset_of_rva(rva)
    name_count, names_rva, ordinals_rva = struct.unpack_from("<I4xII", data, at + 24)
    name_rvas = struct.unpack_from("<%dI" % name_count, data, image.offset_of_rva(names_rva))
    slots = {image.ascii_at_rva(n): i for i, n in enumerate(name_rvas)}
    table = image.offset_of_rva(ordinals_rva)
    a, b = table + 2 * slots["BKC_OnStart"], table + 2 * slots["BKC_OnExit"]
    out = bytearray(data)
    out[a:a + 2], out[b:b + 2] = data[b:b + 2], data[a:a + 2]
    return bytes(out)


def import_libgcc(data, image):
    return replace_once(data, b"msvcrt.dll\0", b"libgcc.dll\0")


def bump_japanese_product_version(data, image):
    start = data.index(utf16("041103A4"))
    at = data.index(utf16("ProductVersion"), start)
    return replace_once(data, utf16("1.00"), utf16("1.01"), at)


# (row id, mutation, check, text the failure must contain)
MUTATIONS = [
    ("dialog: drive list sorted", sort_the_drive_list, "dialog", "IDC_DRIVE] style"),
    ("dialog: OK moved by one unit", move_ok_button, "dialog", "IDOK] x, y"),
    ("dialog: font face mangled", mangle_font_face, "dialog", "font_face"),
    ("hardening: NX_COMPAT cleared", clear_nx_compat, "hardening", "[NX_COMPAT]"),
    ("hardening: .data executable", make_data_executable, "hardening", "[section .data]"),
    ("exports: OnOpenFolder pops 8", pop_eight_in_open_folder, "exports",
     "BKC_OnOpenFolder] bytes popped"),
    ("exports: OnStart/OnExit ordinals swapped", swap_start_and_exit, "exports",
     "ordinal 1 BKC_OnStart] ordinal"),
    ("imports: libgcc DLL", import_libgcc, "imports", "[import libgcc.dll]"),
    ("version: Japanese ProductVersion 1.01", bump_japanese_product_version, "version",
     "[StringFileInfo 041103A4] ProductVersion"),
]


def run_check(kind, dll, objdump):
    report = Report(kind)
    try:
        if kind == "dialog":
            check_dialog.check(dll, report)
        elif kind == "hardening":
            check_hardening.check(dll, report)
        elif kind == "exports":
            check_exports.check(dll, report, objdump)
        elif kind == "imports":
            check_imports.check(dll, report, objdump)
        elif kind == "version":
            check_version.check(dll, report)
    except Exception as error:
        report.fail("parse", "%s: %s" % (type(error).__name__, error))
    return report


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--dll", required=True)
    parser.add_argument("--objdump", required=True)
    args = parser.parse_args()
    outcome = Report("artifact checks against broken copies of Quindle.dll")
    with open(args.dll, "rb") as f:
        original = f.read()
    image = pe_image.PeImage(original)

    for kind in ("dialog", "hardening", "exports", "imports", "version"):
        baseline = run_check(kind, args.dll, args.objdump)
        outcome.expect("unbroken DLL, %s check" % kind, not baseline.failures,
                       "fails already: %s" % "; ".join(baseline.failures[:3]))

    with tempfile.TemporaryDirectory(prefix="quindle-mutants-") as scratch:
        for row, mutate, kind, expected in MUTATIONS:
            try:
                broken = mutate(original, image)
            except (ValueError, KeyError, StopIteration) as error:
                outcome.fail(row, "could not break the DLL this way: %r" % error)
                continue
            if broken == original:
                outcome.fail(row, "the mutation changed nothing")
                continue
            path = os.path.join(scratch, "Quindle.dll")
            with open(path, "wb") as f:
                f.write(broken)
            failures = run_check(kind, path, args.objdump).failures
            outcome.expect(row, failures, "the %s check passed the broken DLL" % kind)
            if failures:
                outcome.expect(row, any(expected in line for line in failures),
                               "no failure names %r; got: %s" % (expected, "; ".join(failures[:3])))
    sys.exit(outcome.finish())


if __name__ == "__main__":
    main()
