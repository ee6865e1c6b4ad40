#!/usr/bin/env python3
"""tools/check_layers.py on small trees made for each fault it must find."""
import os
import sys
import tempfile
import textwrap
import unittest
from unittest import mock

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import check_layers  # noqa: E402

GOOD = {
    "state/CMakeLists.txt": "palendro_library(palendro_state s.cpp)\n",
    "state/s.cpp": '#include "state/s.h"\n',
    "hw/CMakeLists.txt": "palendro_library(palendro_hw hw.cpp)\n",
    "hw/hw.cpp": '#include "hw/hw.h"\n#include <vector>\n#include "local.h"\n',
    "cmake/third.cmake": "add_library(palendro_third STATIC third.c)\n",
    "music/CMakeLists.txt": textwrap.dedent("""\
        palendro_library(palendro_music m.cpp)
        target_link_libraries(palendro_music PUBLIC palendro_third)
        """),
    "demo/CMakeLists.txt": textwrap.dedent("""\
        palendro_library(palendro_demo d.cpp)
        # target_link_libraries(palendro_demo PUBLIC palendro_shell) is only a comment
        target_link_libraries(palendro_demo
          PUBLIC palendro_hw palendro_state PkgConfig::MIKMOD ${SOMETHING})
        """),
    "demo/d.cpp": '#include "hw/hw.h"\n#include "state/s.h"\n',
    "shell/CMakeLists.txt": textwrap.dedent("""\
        palendro_library(palendro_shell main.cpp)
        target_link_libraries(palendro_shell PUBLIC palendro_demo palendro_hw)
        add_executable(palendro entry.cpp)
        target_link_libraries(palendro PRIVATE palendro_shell)
        """),
    "shell/main.cpp": '#include "demo/d.h"\n#include "shell/main.h"\n',
    "tests/demo/t.cpp": '#include "shell/main.h"\n#include "demo/d.h"\n',
}


def problems(changes, exact=False):
    files = dict(GOOD)
    files.update(changes)
    with tempfile.TemporaryDirectory() as root:
        for rel, text in files.items():
            if text is None:
                continue
            path = os.path.join(root, rel)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(text)
        return check_layers.check(root, exact)


class CheckLayers(unittest.TestCase):
    def test_a_tree_with_one_way_layers_passes(self):
        self.assertEqual(problems({}), [])

    def test_an_include_of_shell_from_below_is_named_with_its_line(self):
        found = problems({"demo/d.cpp": '#include "hw/hw.h"\n  # include "shell/main.h"\n'})
        self.assertEqual(len(found), 1, found)
        self.assertIn("demo/d.cpp:2", found[0])
        self.assertIn("shell/main.h", found[0])

    def test_upward_includes_between_lower_layers_fail_too(self):
        found = problems({"hw/hw.cpp": '#include "demo/d.h"\n',
                          "sim/sim.cpp": '#include "host/host_run.h"\n'})
        self.assertEqual(len(found), 2, found)

    def test_a_link_cycle_is_shown_as_its_path(self):
        cycle = problems({"demo/CMakeLists.txt": textwrap.dedent("""\
            palendro_library(palendro_demo d.cpp)
            add_library(palendro_demo_data STATIC data.cpp)
            target_link_libraries(palendro_demo PUBLIC palendro_demo_data)
            target_link_libraries(palendro_demo_data PUBLIC palendro_demo)
            """)})
        self.assertEqual(len(cycle), 1, cycle)
        self.assertIn("cycle: palendro_demo -> palendro_demo_data -> palendro_demo", cycle[0])

    def test_a_link_up_is_named_and_closes_a_cycle(self):
        found = problems({"demo/CMakeLists.txt": GOOD["demo/CMakeLists.txt"] +
                          "target_link_libraries(palendro_demo PRIVATE palendro_shell)\n"})
        self.assertEqual(len(found), 2, found)
        self.assertTrue(any("links palendro_shell (shell), which is not below it" in p
                            for p in found), found)
        self.assertTrue(any("cycle" in p for p in found), found)

    def test_a_folder_without_a_layer_must_be_given_one(self):
        found = problems({"phone/page.cpp": '#include "sim/sim.h"\n'})
        self.assertEqual(len(found), 1, found)
        self.assertIn("folder phone/ has no layer", found[0])

    def test_an_edge_the_table_lacks_fails(self):
        # The glue reaches neither the hardware layer nor the program-wide values.
        found = problems({"music/m.cpp": '#include "state/s.h"\n',
                          "music/CMakeLists.txt": GOOD["music/CMakeLists.txt"] +
                          "target_link_libraries(palendro_music PRIVATE palendro_hw)\n"})
        self.assertEqual(len(found), 2, found)
        self.assertIn('music/m.cpp:1: music includes "state/s.h"', found[0])
        self.assertIn("palendro_music (music) links palendro_hw (hw)", found[1])

    def test_a_table_edge_nothing_uses_fails_on_the_whole_tree(self):
        table = {"state": [], "hw": [], "music": [], "demo": ["hw", "state", "music"],
                 "shell": ["demo", "hw"], "tests": None, "cmake": []}
        with mock.patch.dict(check_layers.BELOW, table, clear=True):
            self.assertEqual(problems({}), [])
            found = problems({}, exact=True)
        self.assertEqual(len(found), 1, found)
        self.assertIn("the table lets demo reach music, which no include or link does", found[0])

    def test_the_real_tree_passes(self):
        root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
        self.assertEqual(check_layers.check(root, exact=True), [])


if __name__ == "__main__":
    unittest.main()
