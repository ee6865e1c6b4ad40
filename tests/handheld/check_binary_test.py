#!/usr/bin/env python3
"""handheld/check_binary.py on small programs made to break each of its rules:
each must fail, for its own reason, and the well-made one must pass."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import textwrap
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CHECK = os.path.join(HERE, "..", "..", "handheld", "check_binary.py")
GCC = "arm-none-eabi-gcc"

# A whole program: exit(0) through the old convention.
GOOD = """
    .arm
    .global _start
_start:
    mov r0, #0
    swi 0x900001
"""


class CheckBinary(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="check-binary-")

    def tearDown(self):
        shutil.rmtree(self.dir)

    def link(self, name, *sources, arch="armv4t"):
        """Assembles each (file, text, arch) and links them into NAME."""
        objects = []
        for i, source in enumerate(sources):
            text, obj_arch = source if isinstance(source, tuple) else (source, arch)
            s = os.path.join(self.dir, "%s%d.S" % (name, i))
            with open(s, "w") as f:
                f.write(textwrap.dedent(text))
            o = s[:-2] + ".o"
            subprocess.run([GCC, "-march=" + obj_arch, "-marm", "-c", s, "-o", o], check=True)
            objects.append(o)
        program = os.path.join(self.dir, name)
        subprocess.run([GCC, "-nostdlib", "-static", "-o", program, *objects,
                        "-Wl,-Map," + program + ".map"], check=True, cwd=self.dir)
        return program

    def check(self, program):
        r = subprocess.run([sys.executable, CHECK, program], capture_output=True, text=True)
        return r.returncode, r.stdout

    def assert_unfit(self, program, reason):
        code, out = self.check(program)
        self.assertEqual(code, 1, out)
        self.assertIn("NOT fit for the handheld", out)
        self.assertIn(reason, out)

    def test_a_well_made_program_passes(self):
        code, out = self.check(self.link("good", GOOD))
        self.assertEqual(code, 0, out)
        self.assertTrue(out.rstrip().endswith("fit for the handheld"), out)
        self.assertIn("1 distinct system calls", out)
        self.assertIn("calls, each in Linux 2.4.0 and 2.4.19:\ngood:   1 sys_exit\n", out)

    def test_a_call_of_the_newer_convention_fails(self):
        program = self.link("eabi", """
            .arm
            .global _start
        _start:
            mov r7, #1
            swi 0
        """)
        self.assert_unfit(program, "swi 0x0 in _start")
        self.assert_unfit(program, "newer convention")

    def test_a_swi_outside_the_kernels_range_fails(self):
        self.assert_unfit(self.link("outside", GOOD + "    swi 0x123456\n"), "swi 0x123456")

    def test_calls_2_4_lacks_fail_by_name(self):
        for number, reason in [(248, "call 248 (exit_group, of later kernels)"),
                               (263, "call 263 (clock_gettime, of later kernels)"),
                               (7, "call 7 is not in both"),  # waitpid: gone in 2.4.19
                               (218, "call 218 is not in both"),  # pivot_root: new in 2.4.19
                               (300, "call 300 is not in both")]:
            with self.subTest(number):
                program = self.link("call%d" % number, GOOD + "    swi 0x%x\n" % (0x900000 + number))
                self.assert_unfit(program, reason)

    def test_an_armv5_object_fails_by_its_attributes_and_its_code(self):
        program = self.link("v5", GOOD, ("""
            .arm
            .global count
        count:
            clz r0, r0
            bx lr
        """, "armv5te"))
        self.assert_unfit(program, "Tag_CPU_arch v5TE")
        self.assert_unfit(program, "clz")

    def test_newer_instructions_behind_v4t_attributes_fail_by_the_code(self):
        # Encoded by hand, so the object still says v4T.
        for word, name in [("0xe12fff31", "blx"), ("0xe1c020d0", "ldrd"),
                           ("0xf5d0f000", "pld"), ("0xe1010052", "qadd"),
                           ("0xe1600281", "smulbb"), ("0xee300b01", "vadd")]:
            with self.subTest(name):
                program = self.link(name, GOOD + "    .inst %s\n" % word)
                code, out = self.check(program)
                self.assertEqual(code, 1, out)
                self.assertIn("not an ARMv4T instruction", out)
                self.assertNotIn("Tag_CPU_arch", out)

    def test_an_interpreter_or_a_dynamic_section_fails(self):
        good = self.link("good", GOOD)
        for p_type, reason in [(3, "PT_INTERP"), (2, "PT_DYNAMIC")]:
            with self.subTest(reason):
                bad = good + "-" + reason
                shutil.copy(good, bad)
                shutil.copy(good + ".map", bad + ".map")
                with open(bad, "r+b") as f:
                    data = f.read()
                    e_phoff = struct.unpack_from("<I", data, 28)[0]
                    f.seek(e_phoff)  # the first program header becomes that kind
                    f.write(struct.pack("<I", p_type))
                self.assert_unfit(bad, reason)

    def test_a_program_for_another_machine_fails(self):
        good = self.link("good", GOOD)
        with open(good, "r+b") as f:
            f.seek(18)  # e_machine
            f.write(struct.pack("<H", 3))
        self.assert_unfit(good, "machine 3, not ARM")
        code, out = self.check(sys.executable)
        self.assertEqual(code, 1, out)
        self.assertIn("not a 32-bit little-endian ELF file", out)

    def test_a_missing_link_map_fails(self):
        program = self.link("good", GOOD)
        os.remove(program + ".map")
        self.assert_unfit(program, "no link map")


if __name__ == "__main__":
    if not shutil.which(GCC):
        print("no %s: check_binary_test skipped" % GCC)
        sys.exit(0)
    unittest.main()
