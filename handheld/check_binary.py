#!/usr/bin/env python3
"""Checks that a program is fit for the handheld's ARM920T and Linux 2.4:

  - an ARM ELF executable, static: no PT_INTERP, no PT_DYNAMIC;
  - every object the link took in (from the link map PROGRAM.map, archive
    members included) says Tag_CPU_arch v4T or older;
  - its disassembly holds ARMv4T instructions only (no blx, clz, ldrd/strd,
    pld, saturating or DSP multiplies, no VFP, NEON or other coprocessor
    instructions) and no call of the newer system-call convention (swi 0);
    every swi immediate lies in 0x900000..0x9FFFFF, and its number n has a
    real entry (not sys_ni_syscall) in both 2.4 kernels' tables
    (kernel_2_4_calls.txt beside this file).

Prints a few summary lines, the system calls the program can make with
their 2.4 names, and "fit for the handheld", or each fault and exits 1.

    handheld/check_binary.py PROGRAM [--map MAP] [--tools PREFIX]
"""
import argparse
import os
import re
import struct
import subprocess
import sys

PT_INTERP, PT_DYNAMIC = 3, 2
EM_ARM = 40
OLD_ENOUGH = {"Pre-v4", "v4", "v4T"}
SWI_LOW, SWI_HIGH = 0x900000, 0x9FFFFF
NO_CALL = ("sys_ni_syscall", "-")


def kernel_calls():
    """Number -> 2.4.19 function for calls both 2.4 tables have; number -> name
    of the calls later kernels added."""
    calls, later = {}, {}
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "kernel_2_4_calls.txt")
    with open(path, encoding="utf-8") as f:
        for line in f:
            w = line.split()
            if not w or w[0].startswith("#"):
                continue
            if w[0] == "later":
                later[int(w[1])] = w[2]
            elif w[1] not in NO_CALL and w[2] not in NO_CALL:
                calls[int(w[0])] = w[2]
    return calls, later


KERNEL_CALLS, LATER_CALLS = kernel_calls()

CONDITIONS = ["", "eq", "ne", "cs", "hs", "cc", "lo", "mi", "pl", "vs", "vc", "hi", "ls",
              "ge", "lt", "gt", "le", "al"]
# ARMv4T's instructions, ARM and Thumb state, as the disassembler spells
# them (unified syntax, with its aliases such as push, lsl or nop).
DATA = ["and", "eor", "sub", "rsb", "add", "adc", "sbc", "rsc", "orr", "mov", "bic", "mvn",
        "lsl", "lsr", "asr", "ror", "rrx", "neg", "mul", "mla", "umull", "umlal", "smull",
        "smlal"]
COMPARE = ["tst", "teq", "cmp", "cmn"]
OTHER = ["b", "bl", "bx", "ldr", "str", "ldrb", "strb", "ldrh", "strh", "ldrsb", "ldrsh",
         "ldrt", "strt", "ldrbt", "strbt", "swp", "swpb", "mrs", "msr", "push", "pop", "nop",
         "adr", "svc", "swi", "udf"]
MULTIPLE = ["ldm", "stm"]
MODES = ["", "ia", "ib", "da", "db", "fd", "ed", "fa", "ea"]


def v4t_mnemonics():
    names = set()
    for c in CONDITIONS:
        for m in DATA:
            names.update({m + c, m + "s" + c})
        for m in COMPARE + OTHER:
            names.add(m + c)
        for m in MULTIPLE:
            for mode in MODES:
                names.update({m + mode + c, m + c + mode})
    return names


V4T = v4t_mnemonics()
# objdump's columns are tab-separated: address, raw bytes, mnemonic, operands.
INSN = re.compile(r"^\s*([0-9a-f]+):\t[0-9a-f ]+\t(\S+)\t?(.*)$")
DATA_DIRECTIVE = re.compile(r"^\.(word|short|byte|inst)")


def tool(prefix, name):
    return prefix + name


def elf_faults(path):
    """Faults of the ELF header and program headers."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"\x7fELF":
        return ["not an ELF file"], {}
    if data[4] != 1 or data[5] != 1:
        return ["not a 32-bit little-endian ELF file"], {}
    (e_type, e_machine, _, _, e_phoff, _, e_flags, _, e_phentsize, e_phnum) = struct.unpack_from(
        "<HHIIIIIHHH", data, 16)
    faults = []
    if e_machine != EM_ARM:
        return ["machine %d, not ARM" % e_machine], {}
    if e_type != 2:
        faults.append("ELF type %d, not an executable" % e_type)
    kinds = []
    for i in range(e_phnum):
        (p_type,) = struct.unpack_from("<I", data, e_phoff + i * e_phentsize)
        kinds.append(p_type)
    if PT_INTERP in kinds:
        faults.append("has an interpreter (PT_INTERP): not static")
    if PT_DYNAMIC in kinds:
        faults.append("has a dynamic section (PT_DYNAMIC): not static")
    return faults, {"flags": e_flags, "segments": len(kinds), "size": len(data)}


def linked_objects(map_path):
    """Object files and archive members the link map says went in."""
    base = os.path.dirname(os.path.abspath(map_path))
    objects, members = [], {}
    member = re.compile(r"^(\S+\.a)\(([^)]+)\)")
    with open(map_path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    head = text.split("Discarded input sections", 1)[0]
    for line in head.splitlines():
        m = member.match(line)
        if m:
            members.setdefault(m.group(1), set()).add(m.group(2))
    for line in text.splitlines():
        if line.startswith("LOAD ") and not line.endswith(".a") and "linker stubs" not in line:
            objects.append(line[5:].strip())

    # Relative names are relative to the folder the link ran in: the map's
    # folder or one above it.
    relative = [p for p in objects + list(members) if not os.path.isabs(p)]
    while relative and not os.path.exists(os.path.join(base, relative[0])):
        if os.path.dirname(base) == base:
            break
        base = os.path.dirname(base)

    def resolve(p):
        return p if os.path.isabs(p) else os.path.normpath(os.path.join(base, p))

    return [resolve(o) for o in objects], {resolve(a): m for a, m in members.items()}


def cpu_arch_of(prefix, path):
    """{member or file name: Tag_CPU_arch or None} from readelf -A."""
    out = subprocess.run([tool(prefix, "readelf"), "-A", path], capture_output=True, text=True,
                         check=True).stdout
    arch, current = {}, os.path.basename(path)
    name = re.compile(r"^File: .*\(([^)]+)\)$")
    for line in out.splitlines():
        m = name.match(line.strip())
        if m:
            current = m.group(1)
            arch.setdefault(current, None)
        elif "Tag_CPU_arch:" in line:
            arch[current] = line.split(":", 1)[1].strip()
    if not arch:
        arch[os.path.basename(path)] = None
    return arch


def object_faults(prefix, objects, archives):
    faults, counted = [], 0
    for path in objects:
        arch = cpu_arch_of(prefix, path).get(os.path.basename(path))
        counted += 1
        if arch not in OLD_ENOUGH:
            faults.append("%s: Tag_CPU_arch %s" % (path, arch or "missing"))
    for archive, names in sorted(archives.items()):
        arch = cpu_arch_of(prefix, archive)
        for name in sorted(names):
            counted += 1
            a = arch.get(name)
            if a not in OLD_ENOUGH:
                faults.append("%s(%s): Tag_CPU_arch %s" % (archive, name, a or "missing"))
    return faults, counted


def code_faults(prefix, program):
    out = subprocess.run([tool(prefix, "objdump"), "-d", program], capture_output=True,
                         text=True, check=True).stdout
    faults, function, count, swis = [], "?", 0, set()
    head = re.compile(r"^[0-9a-f]+ <([^>]+)>:$")
    for line in out.splitlines():
        h = head.match(line)
        if h:
            function = h.group(1)
            continue
        m = INSN.match(line)
        if not m:
            continue
        mnemonic, operands = m.group(2), m.group(3)
        if DATA_DIRECTIVE.match(mnemonic) and mnemonic != ".inst":
            continue  # literal pools and tables
        count += 1
        base = mnemonic.split(".")[0]
        if mnemonic == ".inst" or base not in V4T:
            faults.append("%s in %s at 0x%s: not an ARMv4T instruction"
                          % ((mnemonic + " " + operands).strip(), function, m.group(1)))
            continue
        if base.startswith(("svc", "swi")):
            imm = operands.split(";")[0].strip().lstrip("#")
            try:
                number = int(imm, 0)
            except ValueError:
                faults.append("%s %s in %s: unreadable swi" % (mnemonic, operands, function))
                continue
            if not SWI_LOW <= number <= SWI_HIGH:
                kind = "a system call of the newer convention" if number == 0 else "not a system call"
                faults.append("swi 0x%x in %s at 0x%s: %s" % (number, function, m.group(1), kind))
            elif number - SWI_LOW not in KERNEL_CALLS:
                n = number - SWI_LOW
                what = LATER_CALLS.get(n)
                faults.append("swi 0x%x in %s at 0x%s: call %d%s is not in both 2.4 kernels"
                              % (number, function, m.group(1), n,
                                 " (%s, of later kernels)" % what if what else ""))
            else:
                swis.add(number - SWI_LOW)
    return faults, count, swis


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--map", help="link map (default: PROGRAM.map)")
    parser.add_argument("--tools", default="arm-none-eabi-", help="binutils prefix")
    args = parser.parse_args()
    faults, info = elf_faults(args.program)
    if info:
        map_path = args.map or args.program + ".map"
        if not os.path.exists(map_path):
            faults.append("no link map %s: the linked objects cannot be checked" % map_path)
            counted = 0
        else:
            objects, archives = linked_objects(map_path)
            found, counted = object_faults(args.tools, objects, archives)
            faults += found
        found, instructions, swis = code_faults(args.tools, args.program)
        faults += found
    name = os.path.basename(args.program)
    if faults:
        for f in faults[:40]:
            print("%s: %s" % (name, f))
        if len(faults) > 40:
            print("%s: ... %d faults in all" % (name, len(faults)))
        print("%s: NOT fit for the handheld" % name)
        return 1
    print("%s: ARM executable, static (no interpreter, no dynamic section), %d bytes"
          % (name, info["size"]))
    print("%s: %d linked objects, every one Tag_CPU_arch v4T or older" % (name, counted))
    print("%s: %d instructions, all ARMv4T; %d distinct system calls, all swi 0x900000+n"
          % (name, instructions, len(swis)))
    calls = ["%d %s" % (n, KERNEL_CALLS[n]) for n in sorted(swis)]
    print("%s: calls, each in Linux 2.4.0 and 2.4.19:" % name)
    for i in range(0, len(calls), 6):
        print("%s:   %s" % (name, ", ".join(calls[i:i + 6])))
    print("%s: fit for the handheld" % name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
