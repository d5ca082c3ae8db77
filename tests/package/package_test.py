#!/usr/bin/env python3
"""What operators download, made as scripts/package makes it: the package holds exactly the tested
relinka.exe and LEIAME.txt, the guide as Notepad shows it (UTF-8 with its mark, CR LF line ends); the
package and the installer each have a SHA-256 file that names it and gives its checksum. A second, clean
build of the same sources, in another folder, gives the same relinka.exe, package and installer, byte for
byte.
Usage: package_test.py <source folder> <shipped build folder> <its toolchain file>"""
import hashlib
import pathlib
import subprocess
import sys
import tempfile
import zipfile

source, build, toolchain = (pathlib.Path(argument) for argument in sys.argv[1:4])
failures = []


def pack(build_folder, into):
    """The package, the installer and their checksum files, as scripts/package makes them; the package's
    and the installer's paths."""
    subprocess.run(["bash", "-c", 'source "$0/scripts/lib.sh" && pack_shipped_program "$1" "$2"',
                    source, build_folder, into], check=True)
    made = sorted(into.glob("relinka-*-windows-x86.zip")) + sorted(into.glob("relinka-*-instalar.exe"))
    if len(made) != 2:
        sys.exit(f"FAILED: packing made {made}")
    return made


def check_contents(package):
    with zipfile.ZipFile(package) as opened:
        names = sorted(opened.namelist())
        if names != ["LEIAME.txt", "relinka.exe"]:
            failures.append(f"the package holds {names}")
            return
        if opened.read("relinka.exe") != (build / "bin" / "relinka.exe").read_bytes():
            failures.append("relinka.exe is not the one the tests ran")
        guide = opened.read("LEIAME.txt")
    if not guide.startswith(b"\xef\xbb\xbf"):
        failures.append("LEIAME.txt has no UTF-8 byte-order mark")
    if guide.count(b"\n") == 0 or guide.count(b"\n") != guide.count(b"\r\n") \
            or guide.count(b"\r") != guide.count(b"\r\n"):
        failures.append("LEIAME.txt has line ends other than CR LF")
    text = guide.decode("utf-8-sig")
    for words in ("Relinka", "EchoLink", "amigos.txt"):
        if words not in text:
            failures.append(f"LEIAME.txt does not mention {words}")


def check_checksum_file(download):
    written = pathlib.Path(f"{download}.sha256").read_text()
    expected = f"{hashlib.sha256(download.read_bytes()).hexdigest()}  {download.name}\n"
    if written != expected:
        failures.append(f"the checksum file reads {written!r}, not {expected!r}")


def clean_build(folder):
    """relinka.exe and its guide built again from nothing, as the shipped build is."""
    subprocess.run(["cmake", "-S", source, "-B", folder, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                    f"-DCMAKE_TOOLCHAIN_FILE={toolchain}", "-DBUILD_TESTING=OFF"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", folder, "--target", "relinka", "leiame", "installer"],
                   check=True, stdout=subprocess.DEVNULL)


with tempfile.TemporaryDirectory() as work:
    work = pathlib.Path(work)
    package, installer = pack(build, work / "package")
    check_contents(package)
    check_checksum_file(package)
    check_checksum_file(installer)

    clean_build(work / "again")
    if (work / "again" / "bin" / "relinka.exe").read_bytes() != (build / "bin" / "relinka.exe").read_bytes():
        failures.append("a second build of the same sources gave another relinka.exe")
    else:
        package_again, installer_again = pack(work / "again", work / "package-again")
        if package_again.read_bytes() != package.read_bytes():
            failures.append("a second build of the same sources gave another package")
        if installer_again.read_bytes() != installer.read_bytes():
            failures.append("a second build of the same sources gave another installer")

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
