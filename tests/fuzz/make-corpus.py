#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpus into corpus/<target>/, one small file per
seed. Run it again after changing a seed; the files are committed as written.
Code page 932 texts are spelled as byte escapes: ALL is the "Drive" keyword for every
CD-ROM drive, DEFAULT the keyword for the default device, and 0x95 0x5C a character
whose trail byte is a backslash."""
import pathlib
import shutil

ALL = b"\x91\x53\x82\xC4"
DEFAULT = b"\x83\x66\x83\x74\x83\x48\x83\x8B\x83\x67"
HYO = b"\x95\x5C"  # a double-byte character ending in 0x5C
HYOJI = b"\x95\x5C\x8E\xA6"

# tn_string: operation codes as fuzz_tn_string.cpp numbers them.
(ASSIGN, ASSIGN_NULL, ASSIGN_OWN_TAIL, APPEND, APPEND_NULL, APPEND_OWN_TAIL, APPEND_CHAR,
 SET_LENGTH, SET_NEGATIVE_LENGTH, ADD_COMBO_ITEM, LOAD_COMBO_ITEM, FAIL_NEXT) = range(12)


def text(b):
    return bytes([len(b)]) + b


def ops(*parts):
    out = b""
    for p in parts:
        out += bytes([p]) if isinstance(p, int) else p
    return out


TN_STRING = {
    "append-drive-roots": ops(APPEND, text(b"D:\\"), APPEND_CHAR, b" ", APPEND, text(b"E:\\"), APPEND_CHAR, b" "),
    "grow-at-capacity": ops(ASSIGN, text(b"x" * 17), APPEND, text(b"abc"), APPEND, text(b"y" * 20)),
    "empty-texts": ops(ASSIGN, text(b""), ASSIGN_NULL, APPEND, text(b""), APPEND_NULL, APPEND_CHAR, 0),
    "own-tail": ops(ASSIGN, text(b"hello world"), APPEND_OWN_TAIL, 6, ASSIGN_OWN_TAIL, 3, APPEND_OWN_TAIL, 0,
                    APPEND_OWN_TAIL, 0),
    "fail-each-growth": ops(FAIL_NEXT, ASSIGN, text(b"abcd"), ASSIGN, text(b"abcd"), FAIL_NEXT, APPEND,
                            text(b"z" * 30), FAIL_NEXT, SET_LENGTH, 200, 0, b"q", FAIL_NEXT, APPEND_OWN_TAIL, 0,
                            FAIL_NEXT, APPEND_CHAR, b"!"),
    "combo-items": ops(ADD_COMBO_ITEM, text(DEFAULT), ADD_COMBO_ITEM, text(b"D:\\"), ADD_COMBO_ITEM, text(ALL),
                       LOAD_COMBO_ITEM, 2, LOAD_COMBO_ITEM, 4, LOAD_COMBO_ITEM, 0, LOAD_COMBO_ITEM, 9,
                       FAIL_NEXT, LOAD_COMBO_ITEM, 2),
    "cp932-chars": ops(APPEND_CHAR, 0x91, APPEND_CHAR, 0x53, APPEND_CHAR, 0x82, APPEND_CHAR, 0xC4, APPEND,
                       text(HYOJI)),
    "set-length": ops(SET_LENGTH, 5, 0, b"a", SET_LENGTH, 0x2C, 1, b"b", SET_LENGTH, 3, 0, b"c",
                      SET_NEGATIVE_LENGTH, 0),
}


def path(size, p):
    return bytes([size]) + p


INI_PATH = {
    "plain": path(0, b"C:\\Program Files\\Becky!\\PlugIns\\Quindle.dll"),
    "no-extension": path(0, b"C:\\PlugIns\\Quindle"),
    "dot-in-folder": path(0, b"C:\\my.dir\\Quindle"),
    "two-dots": path(0, b"C:\\PlugIns\\Quindle.old.dll"),
    "cp932-5c-trail": path(0, b"C:\\" + HYOJI + b"\\Quindle.dll"),
    "cp932-5c-in-name": path(0, b"C:\\PlugIns\\" + HYO + b".dll"),
    "lead-byte-at-end": path(0, b"C:\\PlugIns\\name\x81"),
    "forward-slash": path(0, b"C:/PlugIns/Quindle.dll"),
    "unc": path(0, b"\\\\server\\share\\Quindle.dll"),
    "stream-colon": path(0, b"C:\\PlugIns\\file.dll:stream"),
    "small-buffer": path(20, b"C:\\a\\Quindle.dll"),
    "length-259": path(0, b"C:\\" + b"a" * 252 + b".dll"),
    "length-260": path(0, b"C:\\" + b"a" * 253 + b".dll"),
    "long-no-extension": path(0, b"C:\\" + b"a" * 255),
}


def drives(listed, rows):
    return listed + b"".join(b"\0" + bytes([t]) + root for t, root in rows)


PREFIX = [(3, b"C:\\"), (5, b"D:\\"), (5, b"E:\\"), (3, b"Z:\\")]
DRIVE_LIST = {
    "prefix-drives": drives(b"D:\\ E:\\ ", PREFIX),
    "no-final-space": drives(b"D:\\ E:\\", PREFIX),
    "double-space": drives(b"D:\\  E:\\ ", [(5, b"D:\\")]),
    "spaces-only": drives(b"   ", []),
    "empty-root-ends-list": drives(b"", [(5, b"D:\\")]) + b"\0\0" + b"\x05E:\\",
    "too-many-roots": drives(b"", [(5, b"%c:\\" % (65 + i % 26)) for i in range(70)]),
    "cp932-roots": drives(ALL + b" " + HYO + b" ", [(5, ALL), (5, HYO), (5, b"D:\\")]),
    "case-duplicate": drives(b"d:\\ ", [(3, b"d:\\"), (5, b"D:\\"), (5, b"e:\\")]),
    "root-with-space": drives(b"A B ", [(5, b"A B"), (5, b" ")]),
}

OK, CLICK_RUNON, CLICK_CLOSEON = 1, 2, 4


def machine(n):
    return n << 3


def pick(n):
    return n << 5


def settings(flags, body):
    return bytes([flags]) + body


SETTINGS_FILE = {
    "all-drives-ok": settings(OK, b"[Option]\r\nDrive=" + ALL + b"\r\nRunOn=1\r\nCloseOn=0\r\n"),
    "one-drive-close-first": settings(OK, b"[Option]\r\nDrive=E:\\\r\nRunOn=1\r\nCloseOn=1\r\n"),
    "default-cancel": settings(0, b"[Option]\r\nDrive=" + DEFAULT + b"\r\n"),
    "run-off-then-on": settings(OK | CLICK_RUNON, b"[Option]\r\nRunOn=0\r\n"),
    "values-two": settings(OK | CLICK_CLOSEON, b"[Option]\r\nRunOn=2\r\nCloseOn=2\r\n"),
    "empty-file": settings(OK, b""),
    "empty-values": settings(OK, b"[Option]\r\nDrive=\r\nRunOn=\r\nCloseOn=\r\n"),
    "odd-layout": settings(OK | pick(2), b"RunOn=0\n[ option ]\n  drive = 'd:\\'  \n;CloseOn=1\n[Option]\nCloseOn=1\n"),
    "long-drive": settings(OK, b"[Option]\r\nDrive=" + b"A" * 300 + b"\r\n"),
    "numbers": settings(OK, b"[Option]\r\nRunOn= -0012abc\r\nCloseOn=+1\r\n"),
    "overflow": settings(OK, b"[Option]\r\nRunOn=99999999999999999999\r\nCloseOn=-99999999999999999999\r\n"),
    "lowercase-machine": settings(OK | machine(2), b"[Option]\r\nDrive=D:\\\r\n"),
    "no-drives-all": settings(OK | machine(1), b"[Option]\r\nDrive=" + ALL + b"\r\n"),
    "pick-all": settings(OK | pick(4) | machine(3), b"[Option]\r\nDrive=F:\\\r\nCloseOn=1\r\n"),
    "cp932-5c-value": settings(OK, b"[Option]\r\nDrive=" + HYO + b"\r\n"),
    "other-sections": settings(OK | CLICK_RUNON | CLICK_CLOSEON,
                               b"[Other]\r\nDrive=D:\\\r\n[Option]\r\nRunOn=1\r\n[Option]\r\nRunOn=0\r\n"),
}

CORPORA = {
    "tn_string": TN_STRING,
    "ini_path": INI_PATH,
    "drive_list": DRIVE_LIST,
    "settings_file": SETTINGS_FILE,
}


def main():
    root = pathlib.Path(__file__).resolve().parent / "corpus"
    for target, seeds in CORPORA.items():
        folder = root / target
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        for name, data in seeds.items():
            (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
