#!/usr/bin/env bash
# scripts/lib.sh, as the scripts use it: a failed build fails the script and shows the compiler's error;
# only the Wine prefix the script made is ever ended; a prefix made without 32-bit Wine is made again.
# Wine itself is played by small fakes that write down how they were called.
set -uo pipefail
lib=$(cd "$(dirname "$0")/../../scripts" && pwd)/lib.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# --- builds
mkdir -p "$work/project"
cat >"$work/project/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(probe CXX)
add_executable(probe probe.cpp)
EOF
echo 'int main() { return 0; }' >"$work/project/probe.cpp"
cmake -S "$work/project" -B "$work/project/build" -G Ninja >/dev/null || fail "configuring the probe project"
output=$(bash -c "source '$lib' && run_build '$work/project/build'" 2>&1) || fail "a good build failed: $output"

echo 'int main() { return undeclared_name; }' >"$work/project/probe.cpp"
output=$(bash -c "source '$lib' && run_build '$work/project/build' && echo went-on" 2>&1)
status=$?
[ $status -ne 0 ] || fail "a broken build passed"
[[ $output == *undeclared_name* ]] || fail "the compiler's error was not shown: $output"
[[ $output == *went-on* ]] && fail "the script went on after a broken build"

# --- Wine prefixes
mkdir -p "$work/bin"
for tool in wineserver wineboot wine; do
    cat >"$work/bin/$tool" <<EOF
#!/bin/sh
echo "$tool \$* in \$WINEPREFIX" >>"$work/wine-calls"
if [ "$tool" = wineboot ]; then mkdir -p "\$WINEPREFIX/drive_c/windows/syswow64"; touch "\$WINEPREFIX/system.reg"; fi
exit 0
EOF
    chmod +x "$work/bin/$tool"
done
run_with_fake_wine() {
    rm -f "$work/wine-calls"
    PATH="$work/bin:$PATH" WINEPREFIX="$work/operator-prefix" BUILD_ROOT="$work/build" bash -c "source '$lib'; $1"
    touch "$work/wine-calls"
}

run_with_fake_wine 'exit 3'
[ -s "$work/wine-calls" ] && fail "a script that failed before choosing its prefix called Wine: $(cat "$work/wine-calls")"

run_with_fake_wine 'start_wine'
own="$work/build/windows/wineprefix"
grep -q "operator-prefix" "$work/wine-calls" && fail "the operator's prefix was touched: $(cat "$work/wine-calls")"
grep -qx "wineserver -k in $own" "$work/wine-calls" || fail "the script's own prefix was not ended: $(cat "$work/wine-calls")"

mkdir -p "$own"
rm -rf "$own/drive_c"
touch "$own/system.reg" "$own/made-without-wine32"
run_with_fake_wine 'start_wine'
[ -e "$own/made-without-wine32" ] && fail "a prefix without syswow64 was kept"
[ -d "$own/drive_c/windows/syswow64" ] || fail "the prefix was not made again"

[ $failures -eq 0 ] && echo "all script checks passed"
exit $((failures > 0))
