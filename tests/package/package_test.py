#!/usr/bin/env python3
"""The package operators download, made as scripts/package makes it: it holds exactly the tested
relinka.exe and LEIAME.txt, the guide as Notepad shows it (UTF-8 with its mark, CR LF line ends).
Usage: package_test.py <Windows build folder> <package file name>"""
import pathlib
import subprocess
import sys
import tempfile
import zipfile

build = pathlib.Path(sys.argv[1])
name = sys.argv[2]
failures = []

with tempfile.TemporaryDirectory() as folder:
    subprocess.run(["cpack", "--config", str(build / "CPackConfig.cmake"), "-B", folder],
                   check=True, stdout=subprocess.DEVNULL)
    with zipfile.ZipFile(pathlib.Path(folder) / name) as package:
        names = sorted(package.namelist())
        if names != ["LEIAME.txt", "relinka.exe"]:
            failures.append(f"the package holds {names}")
        else:
            if package.read("relinka.exe") != (build / "bin" / "relinka.exe").read_bytes():
                failures.append("relinka.exe is not the one the tests ran")
            guide = package.read("LEIAME.txt")
            if not guide.startswith(b"\xef\xbb\xbf"):
                failures.append("LEIAME.txt has no UTF-8 byte-order mark")
            if guide.count(b"\n") == 0 or guide.count(b"\n") != guide.count(b"\r\n") \
                    or guide.count(b"\r") != guide.count(b"\r\n"):
                failures.append("LEIAME.txt has line ends other than CR LF")
            text = guide.decode("utf-8-sig")
            for words in ("Relinka", "EchoLink", "amigos.txt"):
                if words not in text:
                    failures.append(f"LEIAME.txt does not mention {words}")

for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
