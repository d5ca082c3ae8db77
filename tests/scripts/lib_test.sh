#!/usr/bin/env bash
# scripts/lib.sh, as the scripts use it: a failed build fails the script and shows the compiler's error;
# the Wine tests run the 32-bit build where the machine runs 32-bit programs and the 64-bit build where
# the kernel refuses them as "Exec format error", and a probe that fails otherwise stops the choice; only the Wine prefix the script made is ever ended; a prefix made without 32-bit Wine is
# made again; a failure of Wine is told, never silent.
# Wine itself is played by small fakes that write down how they were called.
set -uo pipefail
unset WINE_BITS WINELOADER  # chosen here, case by case, not by the run that started this test
lib=$(cd "$(dirname "$0")/../../scripts" && pwd)/lib.sh
work=$(mktemp -d)
trap 'umount "$work/noexec" 2>/dev/null; rm -rf "$work"' EXIT
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

# --- which build the Wine tests run
# The probe itself: where the system's 32-bit loader is installed, the probe must agree with it.
if [ -x /lib/ld-linux.so.2 ]; then
    /lib/ld-linux.so.2 --version >/dev/null 2>&1 && loader=yes || loader=no
    BUILD_ROOT="$work/build" bash -c "source '$lib' && runs_i386_programs" && probe=yes || probe=no
    [ "$probe" = "$loader" ] || fail "the probe says $probe to 32-bit programs, the system's 32-bit loader $loader"
fi
# Only the kernel's "Exec format error" says a machine cannot run 32-bit programs: the probe patched for a
# machine no kernel knows is refused so; a program that crashes, or a probe in a folder mounted noexec
# (refused with the same status 126, but "Permission denied"), says nothing of the machine, and the
# choice stops, saying why, rather than take the 64-bit build.
BUILD_ROOT="$work/build" bash -c "source '$lib' && runs_i386_programs" 2>/dev/null
cp "$work/build/i386-probe" "$work/foreign-probe"
printf '\xff\xff' | dd of="$work/foreign-probe" bs=1 seek=18 conv=notrunc status=none  # e_machine
printf '#!/bin/sh\nkill -SEGV $$\n' >"$work/crashing-probe"
chmod +x "$work/crashing-probe"
for case in "foreign-probe 1" "crashing-probe 2"; do
    read -r program expected <<<"$case"
    bash -c "source '$lib' && probe_starts '$work/$program'" 2>/dev/null
    answer=$?
    [ "$answer" = "$expected" ] || fail "the probe's answer to $program is $answer, not $expected"
done
mkdir "$work/noexec"
if mount -t tmpfs -o noexec,size=1m tmpfs "$work/noexec" 2>/dev/null; then
    output=$(BUILD_ROOT="$work/noexec/build" bash -c "source '$lib' && choose_wine_build && echo chose \$WINE_BITS" 2>&1) &&
        fail "a probe in a noexec folder let the choice go on: $output"
    [[ $output == *"cannot tell"*"status 126"*"Permission denied"* ]] || fail "a noexec probe was not told: $output"
    [[ $output == *chose* ]] && fail "a probe in a noexec folder chose a build: $output"
else
    echo "not checked here: a probe in a folder mounted noexec (a tmpfs cannot be mounted)"
fi
# With the probe's answer given: what each kind of machine installs, builds and starts Wine with.
choice_on() {
    BUILD_ROOT="$work/build" bash -c "source '$lib'; runs_i386_programs() { return $1; }
        choose_wine_build && echo \"\$WINE_BITS|\$WINE|\$WINE_BUILD|\${PACKAGES[*]}|\$WINE_CHOICE\""
}
IFS='|' read -r bits wine build packages words < <(choice_on 0)
[ "$bits|$wine|$build" = "32|wine|$work/build/windows" ] || fail "where 32-bit programs run: $bits $wine $build"
[[ " $packages " == *" wine32:i386 "* ]] || fail "where 32-bit programs run, wine32 is not installed"
[[ $words == *"32-bit programs"*"WoW64"*"because this machine runs 32-bit programs"* ]] || fail "said: $words"
IFS='|' read -r bits wine build packages words < <(choice_on 1)
[ "$bits|$wine|$build" = "64|/usr/lib/wine/wine64|$work/build/windows64" ] ||
    fail "where 32-bit programs cannot run: $bits $wine $build"
[[ " $packages " == *" wine32:i386 "* ]] && fail "where 32-bit programs cannot run, wine32 is installed"
[[ " $packages " == *" g++-mingw-w64-x86-64-posix "* ]] || fail "no 64-bit compiler where 32-bit programs cannot run"
[[ $words == *"64-bit build"*"because this machine cannot run 32-bit programs"* ]] || fail "said: $words"
output=$(choice_on 2 2>&1) && fail "a probe that could not tell let a build be chosen: $output"
output=$(WINE_BITS=16 bash -c "source '$lib' && choose_wine_build && echo went-on" 2>&1) &&
    fail "WINE_BITS=16 was taken: $output"

# --- Wine prefixes, with Wine played by fakes: `wine` as Debian installs it, and 64-bit Wine's own loader
mkdir -p "$work/bin"
for tool in wineserver wine wine64; do
    cat >"$work/bin/$tool" <<EOF
#!/bin/sh
echo "$tool \$* in \$WINEPREFIX" >>"$work/wine-calls"
if [ "\$1" = wineboot.exe ]; then
    [ -n "\$FAKE_WINE_FAILS" ] && { echo "\$FAKE_WINE_FAILS" >&2; exit 126; }
    mkdir -p "\$WINEPREFIX/drive_c/windows/syswow64"; touch "\$WINEPREFIX/system.reg"
fi
exit 0
EOF
    chmod +x "$work/bin/$tool"
done
run_with_fake_wine() {
    rm -f "$work/wine-calls"
    PATH="$work/bin:$PATH" WINEPREFIX="$work/operator-prefix" BUILD_ROOT="$work/build" \
        WINE64_LOADER="$work/bin/wine64" bash -c "source '$lib'; $1"
    local status=$?
    touch "$work/wine-calls"
    return $status
}

run_with_fake_wine 'exit 3'
[ -s "$work/wine-calls" ] && fail "a script that failed before choosing its prefix called Wine: $(cat "$work/wine-calls")"

run_with_fake_wine 'WINE_BITS=32; choose_wine_build; start_wine'
own="$work/build/windows/wineprefix"
grep -q "operator-prefix" "$work/wine-calls" && fail "the operator's prefix was touched: $(cat "$work/wine-calls")"
grep -qx "wine wineboot.exe -i in $own" "$work/wine-calls" || fail "the prefix was not made: $(cat "$work/wine-calls")"
grep -qx "wineserver -k in $own" "$work/wine-calls" || fail "the script's own prefix was not ended: $(cat "$work/wine-calls")"

mkdir -p "$own"
rm -rf "$own/drive_c"
touch "$own/system.reg" "$own/made-without-wine32"
run_with_fake_wine 'WINE_BITS=32; choose_wine_build; start_wine'
[ -e "$own/made-without-wine32" ] && fail "a prefix without syswow64 was kept"
[ -d "$own/drive_c/windows/syswow64" ] || fail "the prefix was not made again"

# A second prefix with no virtual desktop (each window its own X window), beside one with: both made as
# asked, and both ended when the script ends.
rm -rf "$own"
run_with_fake_wine 'WINE_BITS=32; choose_wine_build; start_wine && start_wine wineprefix-no-desktop none'
bare="$work/build/windows/wineprefix-no-desktop"
grep -q "Explorer.* in $own\$" "$work/wine-calls" || fail "the first prefix has no virtual desktop: $(cat "$work/wine-calls")"
grep -q "Explorer.* in $bare\$" "$work/wine-calls" && fail "the prefix without a virtual desktop got one"
for prefix in "$own" "$bare"; do
    grep -qx "wineserver -k in $prefix" "$work/wine-calls" || fail "$prefix was not ended: $(cat "$work/wine-calls")"
done

# The 64-bit build's prefix is its own, made and used by 64-bit Wine's loader, never by Debian's `wine`.
run_with_fake_wine 'WINE_BITS=64; choose_wine_build; start_wine && register_standin'
own64="$work/build/windows64/wineprefix"
grep -q "^wine " "$work/wine-calls" && fail "the 64-bit build went through Debian's wine: $(cat "$work/wine-calls")"
grep -qx "wine64 wineboot.exe -i in $own64" "$work/wine-calls" || fail "no 64-bit prefix: $(cat "$work/wine-calls")"
grep -qx "wine64 $work/build/windows64/bin/echolink-standin.exe /regserver in $own64" "$work/wine-calls" ||
    fail "the 64-bit stand-in was not registered: $(cat "$work/wine-calls")"

# Wine failing while the prefix is made: the script says what it was doing and what Wine said, stops,
# and leaves no half-made prefix behind.
rm -rf "$work/build"
output=$(FAKE_WINE_FAILS="wine: could not load kernel32.dll" \
             run_with_fake_wine 'set -e; WINE_BITS=32; choose_wine_build; start_wine; echo went-on' 2>&1)
[[ $output == *"making the Wine prefix"*"status 126"*"could not load kernel32.dll"* ]] ||
    fail "the failure was not told: $output"
[[ $output == *went-on* ]] && fail "the script went on after Wine failed"
[ -e "$own" ] && fail "a half-made prefix was left"

[ $failures -eq 0 ] && echo "all script checks passed"
exit $((failures > 0))
