# Shared by scripts/test, scripts/demo and scripts/package: packages, builds, and a private Wine prefix
# and display. Sourced, not run. Every process started here is ended by its id when the calling script
# ends, and only the Wine prefix made here is ever ended: a prefix inherited from the caller's shell (say,
# the one EchoLink runs in) is never touched.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${BUILD_ROOT:-$ROOT/build}
NATIVE_BUILD=$BUILD_ROOT/native
WINDOWS_BUILD=$BUILD_ROOT/windows

# relinka.exe is a 32-bit program, like EchoLink: it runs under Wine's WoW64 (wine32 beside wine64).
PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest clang-format python3
          g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools libwine-dev
          wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick fonts-liberation fonts-dejavu-core)

say() { printf '\n== %s\n' "$*"; }

install_missing_packages() {
    local missing=() package updated=no
    export DEBIAN_FRONTEND=noninteractive
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        say "adding the i386 architecture (for 32-bit Wine)"
        dpkg --add-architecture i386
        apt-get update -q >/dev/null
        updated=yes
    fi
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing ${missing[*]}"
    apt-get install -y -q "${missing[@]}" >/dev/null && return 0
    [ "$updated" = yes ] && return 1
    apt-get update -q >/dev/null
    apt-get install -y -q "${missing[@]}" >/dev/null
}

# Builds a configured build folder. Progress lines are left out; warnings are shown, and a failure shows
# everything the compiler said and fails the calling script.
run_build() {
    local log status=0
    log=$(mktemp)
    cmake --build "$1" -- -j"$(nproc)" >"$log" 2>&1 || status=$?
    grep -vE '^\[[0-9]+/[0-9]+\] ' "$log" >&2 || true
    rm -f "$log"
    if [ "$status" -ne 0 ]; then
        echo "build failed in $1" >&2
        return "$status"
    fi
}

build_windows() {
    say "building relinka.exe (32-bit) and the tests (MinGW-w64)"
    cmake -S "$ROOT" -B "$WINDOWS_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-i686.cmake" -DNATIVE_TESTS="${NATIVE_TESTS:-}" >/dev/null
    run_build "$WINDOWS_BUILD"
}

build_native() {
    say "building the portable core and its tests (clang, AddressSanitizer, UBSan)"
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$NATIVE_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
    run_build "$NATIVE_BUILD"
}

STARTED_PIDS=()
OWN_WINEPREFIX=""
# On exit, whatever the way out; the script's own exit status is kept.
end_started_processes() {
    local status=$? pid
    set +e
    [ -n "$OWN_WINEPREFIX" ] && WINEPREFIX=$OWN_WINEPREFIX wineserver -k 2>/dev/null
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

# A Wine prefix at `path`, made unless it is there, at `dpi` dots per inch, with every program in one
# virtual desktop of `desktop` pixels (so windows have frames and every process sees the others' windows).
make_wine_prefix() {
    local prefix=$1 dpi=${2:-96} desktop=${3:-1024x768}
    # A prefix made before 32-bit Wine was installed has no syswow64, and no 32-bit program starts in it.
    if [ -f "$prefix/system.reg" ] && [ ! -d "$prefix/drive_c/windows/syswow64" ]; then
        say "remaking $prefix: it was made without 32-bit Wine"
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        rm -rf "$prefix"
    fi
    [ -f "$prefix/system.reg" ] && return 0
    say "making a Wine prefix in $prefix"
    (
        export WINEPREFIX=$prefix
        wineboot -i >/dev/null 2>&1
        # Before anything else: otherwise the first out-of-process COM activation can hang.
        wineserver -w
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop" /f >/dev/null 2>&1
        if [ "$dpi" != 96 ]; then
            wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
        fi
        wineserver -w
    )
}

# The build's own prefix, for this script's programs.
start_wine() {
    export WINEPREFIX=$WINDOWS_BUILD/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    OWN_WINEPREFIX=$WINEPREFIX
    make_wine_prefix "$WINEPREFIX"
}

register_standin() {
    wine "$WINDOWS_BUILD/bin/echolink-standin.exe" /regserver
}
