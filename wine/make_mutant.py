#!/usr/bin/env python3
"""Writes a broken copy of Quindle.dll for the end-to-end suite's self-check (run-mutants.sh).
Each mutant breaks one behaviour that the suite must see by running the DLL under Wine.
Usage: make_mutant.py <Quindle.dll> <output> <mutant>"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "artifact"))
import check_mutations  # noqa: E402  (the artifact checks' own byte-level mutations)
import pe_image  # noqa: E402

replace_once = check_mutations.replace_once
utf16 = check_mutations.utf16

MUTANTS = {
    # BKC_OnOpenFolder pops eight bytes instead of four.
    "stack": check_mutations.pop_eight_in_open_folder,
    # MCI is asked for a device type nobody provides.
    "device": lambda data, image: replace_once(data, b"cdaudio\0", b"cdaudiz\0"),
    # Hosts from 2.00.06 on may lack BKA_SetStatus.
    "gate": lambda data, image: replace_once(data, b"2.00.06\0", b"2.00.07\0"),
    # The "on" setting is read under another key.
    "key": lambda data, image: replace_once(data, b"RunOn\0", b"RunOx\0"),
    # The dialog's caption loses its last character's meaning.
    "caption": lambda data, image: replace_once(data, utf16("\u8A2D\u5B9A"), utf16("\u8A2D\u5B9B"),
                                                check_mutations.dialog_bytes_offset(image)),
}


def main():
    if len(sys.argv) != 4 or sys.argv[3] not in MUTANTS:
        sys.exit("usage: make_mutant.py <Quindle.dll> <output> {%s}" % "|".join(MUTANTS))
    with open(sys.argv[1], "rb") as f:
        original = f.read()
    broken = MUTANTS[sys.argv[3]](original, pe_image.PeImage(original))
    if broken == original:
        sys.exit("mutant %s changed nothing" % sys.argv[3])
    with open(sys.argv[2], "wb") as f:
        f.write(broken)


if __name__ == "__main__":
    main()
