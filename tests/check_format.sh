#!/usr/bin/env bash
# Every C++ source and header of the tree is as clang-format (with the root .clang-format) lays
# it out. To fix a failure: clang-format -i on the files it names.
set -uo pipefail
root=${1:?usage: check_format.sh SOURCE_DIR}
command -v clang-format >/dev/null || { echo "format: clang-format is missing" >&2; exit 1; }
cd "$root"
mapfile -t files < <(find app base games launcher sound story tests bench tools assets \
    \( -name '*.cpp' -o -name '*.h' \) -not -path '*/build*' | sort)
[ "${#files[@]}" -gt 100 ] || { echo "format: only ${#files[@]} files found" >&2; exit 1; }
bad=0
for f in "${files[@]}"; do
    if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
        echo "not formatted: $f"
        bad=$((bad + 1))
    fi
done
echo "format: ${#files[@]} files, $bad not formatted"
[ "$bad" -eq 0 ]
