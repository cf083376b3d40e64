#!/usr/bin/env python3
"""Binary hardening of Quindle.dll: a PE32 i386 DLL that can be loaded at a random
base (DYNAMIC_BASE with its relocations kept), runs with data execution prevention
(NX_COMPAT), has no section both writable and executable, and fits its size budget."""

import os
import struct

import pe_image
from check_report import run_main

SIZE_BUDGET = 65536
IMAGE_REL_BASED_ABSOLUTE = 0
IMAGE_REL_BASED_HIGHLOW = 3


def relocation_entries(image):
    """Count of HIGHLOW fix-ups in the base relocation directory; raises on a bad block."""
    rva, size = image.directory(pe_image.IMAGE_DIRECTORY_BASERELOC)
    data = image.bytes_at_rva(rva, size)
    count = 0
    at = 0
    while at < size:
        page, block_size = struct.unpack_from("<II", data, at)
        if block_size < 8 or block_size % 2 or at + block_size > size:
            raise ValueError("relocation block at +0x%x has size %d" % (at, block_size))
        for (entry,) in struct.iter_unpack("<H", data[at + 8:at + block_size]):
            kind = entry >> 12
            if kind == IMAGE_REL_BASED_HIGHLOW:
                count += 1
            elif kind != IMAGE_REL_BASED_ABSOLUTE:
                raise ValueError("relocation type %d in the block for page 0x%x" % (kind, page))
        at += block_size
    return count


def check(dll, report):
    image = pe_image.load(dll)
    report.expect_equal("format", "machine", image.machine, pe_image.MACHINE_I386)
    report.expect("format", image.file_characteristics & pe_image.IMAGE_FILE_DLL,
                  "the file is not marked as a DLL")

    flags = image.dll_characteristics
    report.expect("DYNAMIC_BASE", flags & pe_image.IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE,
                  "DllCharacteristics 0x%04X lacks DYNAMIC_BASE (0x0040)" % flags)
    report.expect("NX_COMPAT", flags & pe_image.IMAGE_DLLCHARACTERISTICS_NX_COMPAT,
                  "DllCharacteristics 0x%04X lacks NX_COMPAT (0x0100)" % flags)

    report.expect("relocations",
                  not image.file_characteristics & pe_image.IMAGE_FILE_RELOCS_STRIPPED,
                  "the file header says relocations were stripped")
    reloc = [s for s in image.sections if s.name == ".reloc"]
    report.expect("relocations", reloc and reloc[0].raw_size > 0 and reloc[0].virtual_size > 0,
                  "no non-empty .reloc section")
    rva, size = image.directory(pe_image.IMAGE_DIRECTORY_BASERELOC)
    if rva and size:
        report.expect("relocations", relocation_entries(image) > 0,
                      "the base relocation directory holds no fix-ups")
    else:
        report.fail("relocations", "no base relocation directory")

    for s in image.sections:
        both = pe_image.IMAGE_SCN_MEM_WRITE | pe_image.IMAGE_SCN_MEM_EXECUTE
        report.expect("section %s" % s.name, s.characteristics & both != both,
                      "writable and executable (characteristics 0x%08X)" % s.characteristics)

    size = os.path.getsize(dll)
    report.expect("size", size <= SIZE_BUDGET,
                  "%d bytes, over the budget of %d" % (size, SIZE_BUDGET))


if __name__ == "__main__":
    run_main("hardening of Quindle.dll", check)
