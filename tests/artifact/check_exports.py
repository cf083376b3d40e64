#!/usr/bin/env python3
"""Export table of Quindle.dll: exactly the fifteen host callbacks, undecorated, at
their fixed ordinals, and each one stdcall with its argument count, seen in the
`ret` instructions that end it (the callee pops 4 bytes per argument)."""

import re
import subprocess

import pe_image
from check_report import run_main

# (ordinal, name, number of 32-bit arguments)
EXPECTED_EXPORTS = [
    (1, "BKC_OnStart", 0),
    (2, "BKC_OnExit", 0),
    (3, "BKC_OnMenuInit", 3),
    (4, "BKC_OnOpenFolder", 1),
    (5, "BKC_OnOpenMail", 1),
    (6, "BKC_OnEveryMinute", 0),
    (7, "BKC_OnOpenCompose", 2),
    (8, "BKC_OnOutgoing", 2),
    (9, "BKC_OnKeyDispatch", 3),
    (10, "BKC_OnRetrieve", 2),
    (11, "BKC_OnSend", 1),
    (12, "BKC_OnFinishRetrieve", 1),
    (13, "BKC_OnPlugInSetup", 1),
    (14, "BKC_OnPlugInInfo", 1),
    (15, "BKC_OnDragDrop", 4),
]


# --- export table as objdump -p prints it -------------------------------------

def objdump_exports(objdump, dll):
    """(ordinal base, {index: rva}, {name: index}) from `objdump -p`."""
    text = subprocess.run([objdump, "-p", dll], check=True, capture_output=True,
                          text=True).stdout
    base_match = re.search(r"^Ordinal Base\s+(\d+)\s*$", text, re.M)
    if not base_match:
        raise ValueError("objdump -p shows no Ordinal Base line")
    base = int(base_match.group(1))
    rvas = {}
    for index, rva in re.findall(r"^\s*\[\s*(\d+)\]\s+\+base\[\s*\d+\]\s+([0-9a-f]+) Export RVA",
                                 text, re.M):
        rvas[int(index)] = int(rva, 16)
    names = {}
    table = text.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) == 2:
        for line in table[1].splitlines()[1:]:
            entry = re.match(r"^\s*\[\s*(\d+)\]\s+(\S+)\s*$", line)
            if not entry:
                break
            names.setdefault(entry.group(2), set()).add(int(entry.group(1)))
    return base, rvas, names


# --- disassembly -----------------------------------------------------------------

PREFIXES = {"rep", "repz", "repe", "repnz", "repne", "lock", "data16", "addr16",
            "notrack", "bnd", "cs", "ds", "es", "ss", "fs", "gs"}
PADDING = re.compile(r"^(nop\b.*|xchg\s+%ax,%ax|lea\s+0x0\(%e[sd]i(,%eiz,1)?\),%e[sd]i"
                     r"|lea\s+%cs:0x0\(.*|cs nop.*|data16.*nop.*)$")


class Instruction:
    def __init__(self, address, size, text):
        self.address = address
        self.size = size
        self.text = text
        words = text.split()
        while words and words[0] in PREFIXES:
            words = words[1:]
        self.mnemonic = words[0] if words else ""
        self.operands = " ".join(words[1:])

    def direct_target(self):
        m = re.match(r"^0x([0-9a-f]+)", self.operands)
        return int(m.group(1), 16) if m else None

    def is_padding(self):
        return bool(PADDING.match(self.text))


def disassemble_text(objdump, dll):
    """{address: Instruction} for the whole code of the DLL, and the direct call targets."""
    text = subprocess.run([objdump, "-d", "--no-show-raw-insn", "-w", dll], check=True,
                          capture_output=True, text=True).stdout
    instructions = {}
    call_targets = set()
    previous = None
    for line in text.splitlines():
        m = re.match(r"^\s*([0-9a-f]+):\t(.*)$", line)
        if not m:
            continue
        address = int(m.group(1), 16)
        insn = Instruction(address, 0, m.group(2).strip())
        if previous is not None:
            previous.size = address - previous.address
        instructions[address] = insn
        previous = insn
        if insn.mnemonic == "call" and insn.direct_target() is not None:
            call_targets.add(insn.direct_target())
    return instructions, call_targets


def function_returns(instructions, entry, function_entries):
    """Every `ret` of the function at `entry`: conditional and direct jumps are followed,
    except jumps and fall-through into another function's entry (tail calls); a call
    followed by alignment padding (a call that never returns) ends a path."""
    returns = []
    problems = []
    seen = set()
    pending = [entry]
    while pending:
        address = pending.pop()
        while address not in seen:
            seen.add(address)
            insn = instructions.get(address)
            if insn is None:
                problems.append("no instruction starts at 0x%x" % address)
                break
            if insn.text.startswith("(bad)"):
                problems.append("undecodable byte at 0x%x" % address)
                break
            if insn.mnemonic in ("ret", "lret", "iret"):
                returns.append(insn)
                break
            if insn.mnemonic in ("int3", "ud2", "hlt"):
                break
            if insn.mnemonic.startswith("j"):
                target = insn.direct_target()
                if insn.mnemonic == "jmp":
                    if target is not None and target not in function_entries:
                        pending.append(target)
                    break
                if target is not None:
                    pending.append(target)
            following = address + insn.size
            if insn.size == 0 or following in function_entries:
                break
            if insn.mnemonic == "call" and instructions.get(following) is not None \
                    and instructions[following].is_padding():
                break  # a call that does not return, then alignment
            address = following
    # Landing pads of exception handlers are reached by no jump; they lie inside the
    # function's body, so a linear pass over that body finds their returns too.
    next_entry = min((e for e in function_entries if e > entry), default=None)
    body_end = max(a for a in seen if next_entry is None or a < next_entry)
    address = entry
    while address <= body_end and address in instructions:
        insn = instructions[address]
        if insn.mnemonic in ("ret", "lret", "iret") and insn not in returns:
            returns.append(insn)
        if insn.size == 0:
            break
        address += insn.size
    return returns, problems


def ret_pop_count(insn):
    """Bytes popped by a `ret`, or None when it is not a plain near return."""
    if insn.mnemonic != "ret":
        return None
    if not insn.operands:
        return 0
    m = re.match(r"^\$0x([0-9a-f]+)$", insn.operands)
    return int(m.group(1), 16) if m else None


# --- the check -------------------------------------------------------------------

def check(dll, report, objdump):
    image = pe_image.load(dll)
    base, rvas, names = objdump_exports(objdump, dll)
    own_base, own_functions, own_names = image.export_directory()

    report.expect_equal("table", "ordinal base", base, 1)
    report.expect_equal("table", "ordinal base read from the file itself", own_base, base)
    report.expect_equal("table", "entries in the export address table", len(own_functions), 15)
    report.expect_equal("table", "names objdump lists",
                        sorted(names), sorted(n for _, n, _ in EXPECTED_EXPORTS))
    report.expect_equal("table", "names in the file's own name table",
                        sorted(own_names), sorted(names))
    for name in names:
        report.expect("table", "@" not in name and not name.startswith("_"),
                      "decorated export name %r" % name)

    instructions, call_targets = disassemble_text(objdump, dll)
    export_rvas = {}
    for ordinal, name, arg_count in EXPECTED_EXPORTS:
        row = "ordinal %d %s" % (ordinal, name)
        indices = names.get(name)
        if not indices:
            report.fail(row, "not exported")
            continue
        report.expect_equal(row, "name pointer indices", len(indices), 1)
        index = min(indices)
        report.expect_equal(row, "ordinal (base + index)", base + index, ordinal)
        report.expect_equal(row, "index in the file's own name table", own_names.get(name), index)
        rva = rvas.get(index)
        if rva is None:
            report.fail(row, "no Export RVA at index %d" % index)
            continue
        report.expect_equal(row, "export RVA read from the file itself",
                            own_functions[index] if index < len(own_functions) else None, rva)
        section = image.section_of_rva(rva)
        if section is None or not section.characteristics & pe_image.IMAGE_SCN_MEM_EXECUTE:
            report.fail(row, "export RVA 0x%x is not in code (a forwarder or data?)" % rva)
            continue
        export_rvas[name] = rva

    function_entries = {image.image_base + rva for rva in export_rvas.values()} | call_targets
    for ordinal, name, arg_count in EXPECTED_EXPORTS:
        if name not in export_rvas:
            continue
        row = "ordinal %d %s" % (ordinal, name)
        entry = image.image_base + export_rvas[name]
        returns, problems = function_returns(instructions, entry,
                                             function_entries - {entry})
        for problem in problems:
            report.fail(row, "following the code from 0x%x: %s" % (entry, problem))
        report.expect(row, returns, "no ret found from 0x%x" % entry)
        for ret in returns:
            report.expect_equal(row, "bytes popped by `%s` at 0x%x" % (ret.text, ret.address),
                                ret_pop_count(ret), 4 * arg_count)
            if arg_count == 0:
                report.expect(row, ret.operands == "",
                              "`%s` at 0x%x: a function without arguments ends in a plain ret"
                              % (ret.text, ret.address))


if __name__ == "__main__":
    run_main("exports of Quindle.dll", check, with_objdump=True)
