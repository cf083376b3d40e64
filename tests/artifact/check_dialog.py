#!/usr/bin/env python3
"""The options dialog's template as built into Quindle.dll: the one RT_DIALOG
resource, named "IDD_OPTION", Japanese, compared field by field with the layout the
dialog code and its users rely on."""

import dialog_template
import pe_image
from check_report import run_main

RT_DIALOG = 5
LANG_JAPANESE = 1041
ATOM_BUTTON, ATOM_STATIC, ATOM_COMBOBOX = 0x80, 0x82, 0x85
CLASS_NAMES = {ATOM_BUTTON: "button", ATOM_STATIC: "static", ATOM_COMBOBOX: "combobox"}

EXPECTED_DIALOG = {
    "style": 0x00C00044,  # WS_CAPTION | DS_SETFONT | DS_3DLOOK
    "exstyle": 0,
    "x": 0, "y": 0, "cx": 170, "cy": 90,
    "menu": None,
    "window_class": None,
    "caption": "Quindle オプション設定",
    "font_size": 9,
    # "ＭＳ Ｐゴシック": full-width M, S and P around an ordinary space.
    "font_face": "\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF",
}

# (row id, control id, class atom, style, x, y, cx, cy, text)
EXPECTED_ITEMS = [
    ("IDC_RUNON", 1001, ATOM_BUTTON, 0x50010003, 5, 7, 94, 11, "この機能をONにする(&O)"),
    ("IDC_DRIVE_LABEL", 1002, ATOM_STATIC, 0x50020000, 26, 28, 72, 9, "対象ドライブ(&D):"),
    ("IDC_DRIVE", 1003, ATOM_COMBOBOX, 0x50210003, 78, 26, 68, 80, ""),
    ("IDC_CLOSEON", 1004, ATOM_BUTTON, 0x50010003, 26, 47, 130, 11, "閉じてからイジェクトする(&E)"),
    ("IDOK", 1, ATOM_BUTTON, 0x50010000, 60, 70, 50, 14, "OK"),
    ("IDCANCEL", 2, ATOM_BUTTON, 0x50010000, 115, 70, 50, 14, "キャンセル"),
]


def dialog_resources(image):
    return [r for r in image.resources() if r.type_id == RT_DIALOG]


def check_items(items, report):
    report.expect_equal("dialog", "number of controls", len(items), len(EXPECTED_ITEMS))
    for index, (row_id, control_id, atom, style, x, y, cx, cy, text) in enumerate(EXPECTED_ITEMS):
        row = "control %d %s" % (index + 1, row_id)
        if index >= len(items):
            report.fail(row, "missing")
            continue
        it = items[index]
        report.expect_equal(row, "id", it.id, control_id)
        got_class = it.window_class
        if isinstance(got_class, str):  # a class given by name stands for its atom
            got_class = {v: k for k, v in CLASS_NAMES.items()}.get(got_class.lower(), got_class)
        report.expect_equal(row, "class", got_class, atom)
        report.expect_equal(row, "style", it.style, style)
        report.expect_equal(row, "exstyle", it.exstyle, 0)
        report.expect_equal(row, "x, y, cx, cy", (it.x, it.y, it.cx, it.cy), (x, y, cx, cy))
        got_text = "" if it.text is None else it.text
        report.expect_equal(row, "text", got_text, text)
        report.expect_equal(row, "creation data", it.creation_data, b"")


def check(dll, report):
    image = pe_image.load(dll)
    dialogs = dialog_resources(image)
    report.expect_equal("resources", "dialog resources (type, name, language)",
                        [(r.name_id, r.language) for r in dialogs], [("IDD_OPTION", LANG_JAPANESE)])
    named = [r for r in dialogs if r.name_id == "IDD_OPTION"]
    if not named:
        report.fail("resources", "no RT_DIALOG resource named \"IDD_OPTION\"")
        return
    d = dialog_template.parse(named[0].data)
    for field, want in EXPECTED_DIALOG.items():
        report.expect_equal("dialog", field, getattr(d, field), want)
    check_items(d.items, report)
    report.expect("dialog", len(d.trailing) < 4 and not d.trailing.strip(b"\0"),
                  "%d bytes after the last control: %r" % (len(d.trailing), d.trailing[:16]))


if __name__ == "__main__":
    run_main("dialog template in Quindle.dll", check)
