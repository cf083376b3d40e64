#!/usr/bin/env python3
"""Version resource of Quindle.dll: what Explorer's file properties show, in
Japanese (0411, code page 932) and English (0409, code page 1252)."""

import pe_image
import version_info
from check_report import run_main

RT_VERSION = 16
VOS_NT_WINDOWS32 = 0x00040004
VFT_DLL = 2

EXPECTED_TRANSLATIONS = [(0x0411, 932), (0x0409, 1252)]

# Per string table: the values every table must carry, exactly.
EXPECTED_STRINGS = {
    "041103A4": {
        "ProductName": "Quindle",
        "FileVersion": "1.00",
        "ProductVersion": "1.00",
        "OriginalFilename": "Quindle.dll",
        "FileDescription": "メール着信お知らせプラグイン (Becky! 用)",
    },
    "040904E4": {
        "ProductName": "Quindle",
        "FileVersion": "1.00",
        "ProductVersion": "1.00",
        "OriginalFilename": "Quindle.dll",
        "FileDescription": "New-mail notifier plug-in for Becky!",
    },
}


def check(dll, report):
    image = pe_image.load(dll)
    versions = [r for r in image.resources() if r.type_id == RT_VERSION]
    report.expect_equal("resources", "version resources (name, language)",
                        [(r.name_id, r.language) for r in versions], [(1, 1041)])
    if not versions:
        return
    v = version_info.parse(versions[0].data)

    report.expect_equal("fixed", "file version", v.file_version, (1, 0, 0, 0))
    report.expect_equal("fixed", "product version", v.product_version, (1, 0, 0, 0))
    report.expect_equal("fixed", "file flags", v.flags & v.flags_mask, 0)
    report.expect_equal("fixed", "file OS", v.os, VOS_NT_WINDOWS32)
    report.expect_equal("fixed", "file type", v.file_type, VFT_DLL)
    report.expect_equal("fixed", "file date (kept 0 for reproducible builds)", v.file_date, (0, 0))

    report.expect_equal("VarFileInfo", "Translation", v.translations, EXPECTED_TRANSLATIONS)
    report.expect_equal("StringFileInfo", "string tables",
                        sorted(v.string_tables), sorted(EXPECTED_STRINGS))
    report.expect_equal("blocks", "blocks other than StringFileInfo and VarFileInfo",
                        v.other_blocks, [])
    translated = {"%04X%04X" % pair for pair in v.translations or []}
    for key, expected in EXPECTED_STRINGS.items():
        row = "StringFileInfo %s" % key
        report.expect(row, key in translated, "no Translation pair for this table")
        strings = v.string_tables.get(key, [])
        values = dict((name, text) for name, text, _ in strings)
        report.expect_equal(row, "names given twice", len(values), len(strings))
        for name, text, value_type in strings:
            report.expect_equal(row, "%s value type (1 = text)" % name, value_type, 1)
        for name, want in expected.items():
            report.expect_equal(row, name, values.get(name), want)


if __name__ == "__main__":
    run_main("version resource of Quindle.dll", check)
