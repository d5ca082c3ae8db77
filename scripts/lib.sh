# Shared by the scripts: packages, builds, and a private Wine prefix and display. Sourced, not run.
# Every process started here is ended by its id when the calling script ends, and only the Wine prefix
# made here is ever ended: a prefix inherited from the caller's shell (say, the one EchoLink runs in) is
# never touched.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${BUILD_ROOT:-$ROOT/build}
NATIVE_BUILD=$BUILD_ROOT/native
# relinka.exe as operators get it: 32-bit, like EchoLink.
WINDOWS_BUILD=$BUILD_ROOT/windows
# The same sources built 64-bit, for the tests on a machine that cannot run 32-bit programs.
WINDOWS64_BUILD=$BUILD_ROOT/windows64
# 64-bit Wine's own loader, which the 64-bit build is started with.
WINE64_LOADER=${WINE64_LOADER:-/usr/lib/wine/wine64}

PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest clang-format python3 git
          g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools libwine-dev
          wine wine64 xvfb xauth x11-utils imagemagick fonts-liberation fonts-dejavu-core nsis)

say() { printf '\n== %s\n' "$*"; }

# Whether this machine runs 32-bit (i386) Linux programs, which 32-bit Wine is: answers 0 where it does, 1
# where the kernel refuses them as "Exec format error" (some hypervisors have no 32-bit user mode). The
# probe is the smallest such program, a static i386 ELF that only calls exit(0), so it needs nothing
# installed.
runs_i386_programs() {
    local probe=$BUILD_ROOT/i386-probe
    mkdir -p "$BUILD_ROOT" &&
        printf '%b' '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08' \
                    '\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0' \
                    '\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x5d\0\0\0\x5d\0\0\0\x05\0\0\0\0\x10\0\0' \
                    '\xb8\x01\0\0\0\x31\xdb\xcd\x80' >"$probe" &&
        chmod +x "$probe" || {
        echo "cannot tell whether this machine runs 32-bit programs: the probe $probe could not be written" >&2
        return 2
    }
    probe_starts "$probe"
}

# Runs `probe`, a program that only exits 0: answers 0 when it did, 1 when the kernel would not start it
# for its format ("Exec format error"). Any other end (a folder mounted noexec refuses it with the same
# status 126 but "Permission denied"; a crash) says nothing of the machine's kind: it is told, with what
# was said, and the answer is 2.
probe_starts() {
    local probe=$1 said status=0
    # The shell's own words on a failed start, in English whatever the locale.
    said=$( { export LC_ALL=C; "$probe"; } 2>&1) || status=$?
    [ "$status" -eq 0 ] && return 0
    [ "$status" -eq 126 ] && [[ $said == *"Exec format error"* ]] && return 1
    {
        echo "cannot tell whether this machine runs 32-bit programs: the probe $probe ended with status $status."
        [ -n "$said" ] && echo "It said: $said"
        echo "Put the builds where programs may run (BUILD_ROOT, not a folder mounted noexec), or choose with WINE_BITS=32 or 64."
    } >&2
    return 2
}

# Which build the Wine tests run, in WINE_BITS (32 or 64), and why, in WINE_CHOICE (plain words); sets
# WINE (what starts a Windows program), WINE_BUILD (the build folder of the programs Wine runs) and the
# packages the choice needs. Where this machine runs 32-bit programs, the tests run relinka.exe as
# operators get it, 32-bit under Wine's WoW64. Where it cannot, the same sources are built 64-bit and run
# under 64-bit Wine, and the 32-bit program is still built, checked as a file and packaged. WINE_BITS
# given by the caller chooses without the probe.
choose_wine_build() {
    local reason
    if [ -n "${WINE_BITS:-}" ]; then
        reason="WINE_BITS=$WINE_BITS was given"
    else
        local probed=0
        runs_i386_programs || probed=$?
        case $probed in
            0) WINE_BITS=32 reason="this machine runs 32-bit programs" ;;
            1) WINE_BITS=64 reason="this machine cannot run 32-bit programs (a 32-bit Linux program fails to start here: \"Exec format error\")" ;;
            *) return 1 ;;
        esac
    fi
    case $WINE_BITS in
        32)
            WINE_CHOICE="Wine tests: the 32-bit programs, relinka.exe as operators get it, under Wine's WoW64, because $reason."
            WINE=wine
            WINE_BUILD=$WINDOWS_BUILD
            PACKAGES+=(wine32:i386)
            ;;
        64)
            WINE_CHOICE="Wine tests: the 64-bit build of the same sources under 64-bit Wine, because $reason. The 32-bit relinka.exe is built, checked as a file and packaged."
            # Debian's `wine` starts the 32-bit loader whenever wine32 is installed: go round it.
            WINE=$WINE64_LOADER
            export WINELOADER=$WINE64_LOADER
            WINE_BUILD=$WINDOWS64_BUILD
            PACKAGES+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
            ;;
        *)
            echo "WINE_BITS must be 32 or 64, not \"$WINE_BITS\"" >&2
            return 1
            ;;
    esac
    export WINE_BITS
}

install_missing_packages() {
    local missing=() package updated=no
    export DEBIAN_FRONTEND=noninteractive
    if [ "$WINE_BITS" = 32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
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

# Configures a Windows build folder for a MinGW-w64 toolchain (i686 or x86_64), with any further options.
configure_windows() {
    local folder=$1 toolchain=$2
    shift 2
    cmake -S "$ROOT" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-$toolchain.cmake" "$@" >/dev/null
}

# relinka.exe as operators get it (32-bit), with the stand-in and the tests where they run on this
# machine. NATIVE_TESTS hands the native build's tests to the build that runs the tests.
build_shipped_program() {
    if [ "$WINE_BITS" = 32 ]; then
        say "building relinka.exe (32-bit) and the tests (MinGW-w64)"
        configure_windows "$WINDOWS_BUILD" i686 -DBUILD_TESTING=ON -DNATIVE_TESTS="${NATIVE_TESTS:-}"
    else
        say "building relinka.exe (32-bit; its tests cannot run on this machine)"
        configure_windows "$WINDOWS_BUILD" i686 -DBUILD_TESTING=OFF -DNATIVE_TESTS=
    fi
    run_build "$WINDOWS_BUILD"
}

# Everything the Wine tests and the demo run: the shipped build, and where 32-bit programs cannot run,
# the 64-bit build of the same sources beside it.
build_windows() {
    build_shipped_program
    [ "$WINE_BITS" = 32 ] && return 0
    say "building the same sources 64-bit, with the stand-in and the tests (MinGW-w64)"
    configure_windows "$WINDOWS64_BUILD" x86_64 -DBUILD_TESTING=ON -DNATIVE_TESTS="${NATIVE_TESTS:-}" \
                      -DSHIPPED_BUILD="$WINDOWS_BUILD"
    run_build "$WINDOWS64_BUILD"
}

build_native() {
    say "building the portable core and its tests (clang, AddressSanitizer, UBSan)"
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$NATIVE_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
    run_build "$NATIVE_BUILD"
}

# What operators download, made from the shipped build `build` into `folder`: the package and the
# installer the build made, each with its SHA-256 in the usual sha256sum form beside it. Every file in
# the package carries the time of the commit the sources come from (SOURCE_DATE_EPOCH, unless given), and
# the installer keeps no file's time, so that two builds of one commit give the same bytes.
pack_shipped_program() {
    local build=$1 folder=$2 name installer
    if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
        SOURCE_DATE_EPOCH=$(git -C "$ROOT" -c safe.directory="$ROOT" log -1 --format=%ct) || {
            echo "cannot read the commit's time for the package (not a git clone?): give SOURCE_DATE_EPOCH" >&2
            return 1
        }
    fi
    SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH cpack --config "$build/CPackConfig.cmake" -B "$folder" >/dev/null
    rm -rf "$folder/_CPack_Packages"
    name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$build/CPackConfig.cmake").zip
    installer=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/relinka-\1-instalar.exe/p' "$build/CPackConfig.cmake")
    cp "$build/bin/$installer" "$folder/" || {
        echo "the build in $build made no $installer" >&2
        return 1
    }
    (cd "$folder" && sha256sum "$name" >"$name.sha256" && sha256sum "$installer" >"$installer.sha256")
}

STARTED_PIDS=()
OWN_WINEPREFIXES=()
# On exit, whatever the way out; the script's own exit status is kept.
end_started_processes() {
    local status=$? pid prefix
    set +e
    for prefix in "${OWN_WINEPREFIXES[@]}"; do WINEPREFIX=$prefix wineserver -k 2>/dev/null; done
    for pid in "${STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${STARTED_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    exit "$status"
}
trap end_started_processes EXIT

# A display of our own, unless one was given. Xvfb picks a display number no other X server listens on
# (lock files alone miss a server in another file system, whose socket is still in the way) and says it
# once it is ready.
start_display() {
    if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != private ]; then return 0; fi
    local ready number=""
    ready=$(mktemp -u)
    mkfifo "$ready"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
    STARTED_PIDS+=($!)
    read -r -t 20 number <"$ready" || true
    rm -f "$ready"
    [ -n "$number" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$number"
}

# Runs one step of setting Wine up, quietly. When it fails, says what was being done and what Wine said,
# and fails.
wine_step() {
    local what=$1 log status=0
    shift
    log=$(mktemp)
    "$@" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        {
            echo "failed while $what: \`$*\` ended with status $status."
            if [ -s "$log" ]; then
                echo "It said:"
                tail -n 40 "$log" | sed 's/^/    /'
            else
                echo "It printed nothing."
            fi
            [ "$status" -ne 126 ] || echo "Status 126: the program could not be started at all."
        } >&2
    fi
    rm -f "$log"
    return "$status"
}

# Every program of the prefix in WINEPREFIX in one virtual desktop of `size` pixels.
set_virtual_desktop() {
    wine_step "setting the prefix's virtual desktop" \
              "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
        wine_step "setting the prefix's virtual desktop" \
                  "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$1" /f
}

# A Wine prefix at `path`, made unless it is there, at `dpi` dots per inch, with every program in one
# virtual desktop of `desktop` pixels (so windows have frames and every process sees the others' windows),
# or with none when `desktop` is "none" (each window its own X window, as Linux operators usually run
# Wine). A prefix that could not be made whole is removed, so the next run makes it again.
make_wine_prefix() {
    local prefix=$1 dpi=${2:-96} desktop=${3:-1024x768}
    # A prefix made before 32-bit Wine was installed has no syswow64, and no 32-bit program starts in it.
    if [ "$WINE_BITS" = 32 ] && [ -f "$prefix/system.reg" ] && [ ! -d "$prefix/drive_c/windows/syswow64" ]; then
        say "remaking $prefix: it was made without 32-bit Wine"
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        rm -rf "$prefix"
    fi
    [ -f "$prefix/system.reg" ] && return 0
    say "making a Wine prefix in $prefix"
    (
        export WINEPREFIX=$prefix
        wine_step "making the Wine prefix" "$WINE" wineboot.exe -i &&
            # Before anything else: otherwise the first out-of-process COM activation can hang.
            wine_step "waiting for the new prefix to settle" wineserver -w &&
            { [ "$desktop" = none ] || set_virtual_desktop "$desktop"; } &&
            { [ "$dpi" = 96 ] ||
                  wine_step "setting the prefix to $dpi dpi" "$WINE" reg add 'HKCU\Control Panel\Desktop' \
                            /v LogPixels /t REG_DWORD /d "$dpi" /f; } &&
            wine_step "waiting for the new prefix to settle" wineserver -w
    ) && return 0
    WINEPREFIX=$prefix wineserver -k 2>/dev/null
    rm -rf "$prefix"
    return 1
}

# A prefix of the build whose programs Wine runs, for this script's programs from now on: `name` in the
# build folder (wineprefix unless given), with a virtual desktop of `desktop` pixels (1024x768 unless
# given; "none" for none). It is ended when the script ends.
start_wine() {
    export WINEPREFIX=$WINE_BUILD/${1:-wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    OWN_WINEPREFIXES+=("$WINEPREFIX")
    make_wine_prefix "$WINEPREFIX" 96 "${2:-1024x768}"
}

register_standin() {
    wine_step "registering the EchoLink stand-in" "$WINE" "$WINE_BUILD/bin/echolink-standin.exe" /regserver
}

# Starts a program of the Wine build in the background, in `folder`, for the rest of the script; what it
# prints goes to <name>.log in the build folder. If it has ended after `seconds`, says so with what it
# printed, and fails.
start_program() {
    local folder=$1 program=$2 seconds=$3 log pid status=0
    log=$WINE_BUILD/${program%.exe}.log
    env -C "$folder" "$WINE" "$WINE_BUILD/bin/$program" >"$log" 2>&1 &
    pid=$!
    STARTED_PIDS+=("$pid")
    sleep "$seconds"
    kill -0 "$pid" 2>/dev/null && return 0
    wait "$pid" || status=$?
    {
        echo "failed while starting $program under Wine: it ended at once, with status $status."
        [ -s "$log" ] && { echo "It said:"; tail -n 40 "$log" | sed 's/^/    /'; }
    } >&2
    return 1
}
