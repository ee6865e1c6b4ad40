#!/usr/bin/env python3
"""Checks that the folders form one-way layers.

Every folder of the tree has a layer below: the folders it may include from
and link against. An include ("folder/file.h") or a target_link_libraries
edge that reaches a folder not below it fails the check, and so does a cycle
among the project's own targets, or a folder that has no layer yet. The
table names exactly the edges the code uses: one that nothing uses fails as
well (on the whole tree; a tree made for a test may leave edges unused). ./dev
test runs it.

    tools/check_layers.py [ROOT]      (default: the tree this file is in)
"""
import os
import re
import sys

# folder -> the folders below it. A folder always reaches itself and cmake/
# (the build's own targets, such as the pinned third-party library); a deeper
# folder (demo/assets) belongs to the nearest one listed.
PROGRAM = ["state", "hw", "render3d", "music", "demo", "overlay"]
BELOW = {
    "state": [],
    "glibc_rand": [],  # the C library's rand sequence, for the targets whose own differs
    "hw": [],
    "render3d": [],
    "music": [],
    "demo": ["state", "hw", "render3d"],
    "overlay": ["state", "hw", "music"],
    "sim": ["hw", "music"],
    "host": ["hw", "music", "sim"],
    "host/window": ["host", "sim"],
    "shell": PROGRAM + ["host", "host/window"],
    "web": ["hw", "music", "shell", "sim", "host", "glibc_rand"],  # the page's front end and entry
    "libretro": ["hw", "music", "shell", "sim", "glibc_rand"],  # the libretro core's front end
    "tools": ["hw", "sim", "host"],
    "tests": None,  # None: may reach every folder
    "bench": None,
    "handheld": [],  # the handheld's kernel as newlib's platform, below every program
    "cmake": [],
}
SKIP_DIRS = {".git", "out", ".ci"}
SOURCE = (".cpp", ".h", ".c", ".cc", ".hpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
LINK = re.compile(r"\btarget_link_libraries\s*\(([^)]*)\)", re.S)
DEFINE = re.compile(r"\b(?:add_library|palendro_library|add_executable)\s*\(\s*([A-Za-z0-9_]+)")
KEYWORDS = {"PUBLIC", "PRIVATE", "INTERFACE", "LINK_PUBLIC", "LINK_PRIVATE"}


def layer_of(path):
    """The listed folder a relative path belongs to, or None."""
    parts = path.replace(os.sep, "/").split("/")
    for n in range(len(parts), 0, -1):
        folder = "/".join(parts[:n])
        if folder in BELOW:
            return folder
    return None


def reaches(source, target):
    if source == target or target == "cmake":
        return True
    below = BELOW[source]
    return below is None or target in below


def walk(root):
    for directory, dirs, files in os.walk(root):
        dirs[:] = sorted(d for d in dirs if d not in SKIP_DIRS and not d.startswith("build"))
        for name in sorted(files):
            yield os.path.relpath(os.path.join(directory, name), root)


def strip_cmake_comments(text):
    return "\n".join(line.split("#", 1)[0] for line in text.splitlines())


def find_cycle(graph):
    """One cycle of the graph as a list of nodes (first = last), or None."""
    state = {}
    stack = []

    def visit(node):
        state[node] = 1
        stack.append(node)
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == 1:
                return stack[stack.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt)
                if found:
                    return found
        stack.pop()
        state[node] = 2
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node)
            if found:
                return found
    return None


def check(root, exact=False):
    """The problems found; with `exact`, also every table edge nothing uses."""
    problems = []
    unlayered = set()
    used = set()  # (folder, folder below it) of every include and link
    files = list(walk(root))

    for rel in files:
        if not rel.endswith(SOURCE):
            continue
        source = layer_of(os.path.dirname(rel))
        if source is None:
            unlayered.add(os.path.dirname(rel).split(os.sep)[0])
            continue
        with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for number, line in enumerate(text.splitlines(), 1):
            m = INCLUDE.match(line)
            if not m or "/" not in m.group(1):
                continue
            target = layer_of(os.path.dirname(m.group(1)))
            used.add((source, target))
            if target is None or not reaches(source, target):
                problems.append('%s:%d: %s includes "%s" from above or outside its layers'
                                % (rel, number, source, m.group(1)))

    defined = {}  # target -> folder
    links = []  # (folder of the CMakeLists, target, dependency)
    for rel in files:
        if os.path.basename(rel) != "CMakeLists.txt" and not rel.endswith(".cmake"):
            continue
        with open(os.path.join(root, rel), encoding="utf-8") as f:
            text = strip_cmake_comments(f.read())
        folder = os.path.dirname(rel)
        for name in DEFINE.findall(text):
            defined.setdefault(name, folder)
        for body in LINK.findall(text):
            words = [w for w in body.split() if w not in KEYWORDS]
            for dep in words[1:]:
                if not any(c in dep for c in "${}<>:"):
                    links.append((rel, words[0], dep))

    graph = {}
    for rel, target, dep in links:
        if target not in defined or dep not in defined:
            continue  # a package's target, or a name given through a variable
        graph.setdefault(target, set()).add(dep)
        source, below = layer_of(defined[target]), layer_of(defined[dep])
        used.add((source, below))
        if source is None:
            unlayered.add(defined[target].split(os.sep)[0])
        elif below is None or not reaches(source, below):
            problems.append("%s: %s (%s) links %s (%s), which is not below it"
                            % (rel, target, defined[target] or ".", dep, defined[dep] or "."))
    cycle = find_cycle(graph)
    if cycle:
        problems.append("target_link_libraries cycle: " + " -> ".join(cycle))
    for folder in sorted(unlayered):
        problems.append("folder %s/ has no layer: give it one in tools/check_layers.py" % folder)
    if exact:
        for folder, below in sorted(BELOW.items()):
            for target in below or []:
                if (folder, target) not in used:
                    problems.append("the table lets %s reach %s, which no include or link does: "
                                    "drop it from tools/check_layers.py" % (folder, target))
    return problems


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(
        os.path.abspath(__file__)))
    problems = check(root, exact=True)
    for p in problems:
        print("layers: " + p, file=sys.stderr)
    if problems:
        print("layers: %d problem(s); includes and links point down only" % len(problems),
              file=sys.stderr)
        return 1
    print("layers: includes and links point down only, no cycle among the targets")
    return 0


if __name__ == "__main__":
    sys.exit(main())
