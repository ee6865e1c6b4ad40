#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from what .clang-format makes of it,
# and names the files. ./dev test runs it, so the formatting stays applied.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bad=()
while IFS= read -r f; do
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(git ls-files '*.cpp' '*.h' '*.c' '*.cc')
if [ ${#bad[@]} -gt 0 ]; then
    echo "format: ${#bad[@]} file(s) differ from .clang-format (run clang-format -i on them):" >&2
    printf '  %s\n' "${bad[@]}" >&2
    exit 1
fi
echo "format: every C++ file as .clang-format makes it"
