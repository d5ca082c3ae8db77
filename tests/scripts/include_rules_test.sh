#!/usr/bin/env bash
# cmake/include_rules.cmake: an include that runs against the folders' order stops it, naming the file, the
# line and the rule, however the include is written; the includes the order allows pass; the configure of
# the real tree stops at a wrong include before anything else; and docs/include-graph.dot is the graph
# the tree has.
#   include_rules_test.sh <source tree> <build folder>
set -uo pipefail
root=$1 build=$2
rules=$root/cmake/include_rules.cmake
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# One file with one include, in a tree of its own, through the rules; prints what they said.
check() {
    local file=$1 line=$2
    rm -rf "$work/tree"
    mkdir -p "$work/tree/src/app" "$work/tree/src/winlib" "$work/tree/assets" "$(dirname "$work/tree/$file")"
    touch "$work/tree/src/app/desktop.h" "$work/tree/src/winlib/trace_win.h" "$work/tree/assets/resources.h"
    printf '#pragma once\n// one include\n%s\n' "$line" >"$work/tree/$file"
    cmake -DROOT="$work/tree" -DGRAPH="$work/graph.dot" -P "$rules" 2>&1
}

# file | its include | "" when allowed, else the words of the rule broken
while IFS='|' read -r file line broken; do
    output=$(check "$file" "$line")
    status=$?
    if [ -z "$broken" ]; then
        [ $status -eq 0 ] || fail "$file with $line was refused: $output"
        [ -s "$work/graph.dot" ] || fail "$file with $line: no graph written"
    else
        [ $status -ne 0 ] || fail "$file with $line passed"
        where="$file:3: "
        [[ $broken == "in none of the folders" ]] && where="$file: "
        [[ $output == *"$where"*"$broken"* ]] || fail "$file with $line: not told where and why: $output"
    fi
    rm -f "$work/graph.dot"
done <<'EOF'
src/winlib/x_win.h|#include "app/desktop.h"|winlib/ may not use app/; it may use no other folder
src/winlib/x_win.h|#include "resources.h"|winlib/ may not use the program's resources (assets/)
src/winlib/x_win.h|#include "../app/desktop.h"|winlib/ may not use app/
src/winlib/x_win.h|#include "..\app\desktop.h"|winlib/ may not use app/
src/winlib/x_win.h|#include <app/desktop.h>|winlib/ may not use app/
src/winlib/x_win.h|  #  include "app/desktop.h"|winlib/ may not use app/
src/winlib/x_win.h|#include "app/not_written_yet.h"|winlib/ may not use app/
src/friends/x.h|#include "history/event.h"|friends/ may not use history/; it may use only winlib
src/history/x.h|#include "echolink/link.h"|history/ may not use echolink/
src/windows/x_win.h|#include "echolink/link.h"|windows/ may not use echolink/; it may use only winlib, history, resources
src/windows/x_win.h|#include "app/desktop.h"|windows/ may not use app/
tools/echolink-standin/x.cpp|#include "app/desktop.h"|echolink-standin/ may not use app/; it may use only winlib
src/newfolder/x.h|#include "winlib/trace_win.h"|in none of the folders
src/winlib/x_win.h|#include "winlib/trace_win.h"|
src/winlib/x_win.h|// #include "app/desktop.h"|
src/winlib/x_win.h|#include <windows.h>|
src/windows/x_win.h|#include "resources.h"|
src/windows/x_win.h|#include "history/history_text.h"|
src/app/x.h|#include "windows/ajuda_win.h"|
tools/echolink-standin/x.cpp|#include "winlib/trace_win.h"|
tools/echolink-standin/x.cpp|#include "echolink.h"|
EOF

# The real tree, with one wrong include: its configure stops, saying where, before it looks for compilers.
mkdir "$work/copy"
cp -r "$root/CMakeLists.txt" "$root/cmake" "$root/src" "$work/copy/"
mkdir -p "$work/copy/tools" && cp -r "$root/tools/echolink-standin" "$work/copy/tools/"
sed -i '2i #include "app/system_desktop_win.h"' "$work/copy/src/winlib/trace_win.h"
output=$(cmake -S "$work/copy" -B "$work/copy/build" 2>&1) && fail "a configure with a wrong include passed"
[[ $output == *"src/winlib/trace_win.h:2: #include \"app/system_desktop_win.h\""* ]] ||
    fail "the configure did not say where the wrong include is: $output"
[[ $output == *"C compiler"* ]] && fail "the configure looked for compilers before it stopped: $output"

# The drawing in docs/ is the graph the build drew from the tree.
diff -u "$root/docs/include-graph.dot" "$build/include-graph.dot" ||
    fail "docs/include-graph.dot is not the tree's graph: copy $build/include-graph.dot there"

[ $failures -eq 0 ] && echo "include rules: all cases passed"
exit $((failures > 0))
