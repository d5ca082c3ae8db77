# Shared by scripts/test and scripts/demo: packages, builds, and a private Wine prefix and display.
# Sourced, not run. Every process started here is ended by its id when the calling script ends.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${BUILD_ROOT:-$ROOT/build}
NATIVE_BUILD=$BUILD_ROOT/native
WINDOWS_BUILD=$BUILD_ROOT/windows

PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools libwine-dev
          wine wine64 xvfb xauth x11-utils imagemagick fonts-liberation fonts-dejavu-core)

say() { printf '\n== %s\n' "$*"; }

install_missing_packages() {
    local missing=() package
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q "${missing[@]}" >/dev/null ||
        { apt-get update -q >/dev/null && apt-get install -y -q "${missing[@]}" >/dev/null; }
}

build_windows() {
    say "building relinka.exe and the tests (MinGW-w64)"
    cmake -S "$ROOT" -B "$WINDOWS_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-posix.cmake" -DNATIVE_TESTS="${NATIVE_TESTS:-}" >/dev/null
    cmake --build "$WINDOWS_BUILD" -- -j"$(nproc)" | grep -vE '^\[[0-9]+/[0-9]+\]' || true
    [ -f "$WINDOWS_BUILD/bin/relinka.exe" ]
}

build_native() {
    say "building the portable core and its tests (clang, AddressSanitizer, UBSan)"
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$NATIVE_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$NATIVE_BUILD" -- -j"$(nproc)" | grep -vE '^\[[0-9]+/[0-9]+\]' || true
}

STARTED_PIDS=()
# On exit, whatever the way out; the script's own exit status is kept.
end_started_processes() {
    local status=$? pid
    set +e
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
    for pid in "${STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${STARTED_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    exit "$status"
}
trap end_started_processes EXIT

# A display of our own, unless one was given.
start_display() {
    if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != private ]; then return 0; fi
    local number=57
    while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    STARTED_PIDS+=($!)
    export DISPLAY=":$number"
    local tries=0
    until xdpyinfo >/dev/null 2>&1; do
        tries=$((tries + 1)); [ $tries -gt 100 ] && { echo "Xvfb did not start" >&2; return 1; }
        sleep 0.1
    done
}

# A Wine prefix of the build's own, every program in one virtual desktop (so windows have frames and
# every process sees the others' windows).
start_wine() {
    export WINEPREFIX=$WINDOWS_BUILD/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "making a Wine prefix in $WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        # Before anything else: otherwise the first out-of-process COM activation can hang.
        wineserver -w
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
        wineserver -w
    fi
}

register_standin() {
    wine "$WINDOWS_BUILD/bin/echolink-standin.exe" /regserver
}
