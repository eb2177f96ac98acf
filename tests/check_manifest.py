#!/usr/bin/env python3
"""What each Windows takes from a program's manifest: the execution level (highestAvailable for the
64-bit program, asInvoker for the 32-bit one), the common controls 6 (which the program loads by
importing InitCommonControls), and the DPI awareness of
Vista to 8.1 (dpiAware) and of 10 1607 and 1703 on (where present, the first value of dpiAwareness
that each knows decides instead).    Usage: tests/check_manifest.py PROGRAM.exe"""
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

exe = sys.argv[1]
head = open(exe, "rb").read(4096)
x64 = struct.unpack_from("<H", head, struct.unpack_from("<I", head, 0x3C)[0] + 4)[0] == 0x8664
root = ET.fromstring(subprocess.run(["wrestool", "-x", "--raw", "--type=24", exe],
                                    capture_output=True, check=True).stdout)
V1, V3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
SETTINGS = V3 + "application/" + V3 + "windowsSettings/{http://schemas.microsoft.com/SMI/"


def value(path):
    element = root.find(SETTINGS + path)
    return None if element is None else (element.text or "").strip().lower()


aware = value("2005/WindowsSettings}dpiAware")
vista = {"true": "system", "true/pm": "permonitor", "per monitor": "permonitor"}.get(aware, "unaware")
listed = value("2016/WindowsSettings}dpiAwareness")


def first_known(known):
    if listed is None:
        return vista
    return next((v for v in map(str.strip, listed.split(",")) if v in known), "none it knows")


ten = {"unaware", "system", "permonitor"}
got = {"Vista to 8.1": (vista, "system"), "10 1607": (first_known(ten), "permonitor"),
       "10 1703 and later": (first_known(ten | {"permonitorv2"}), "permonitorv2")}
failures = [f"{family} gets {have}, not {want}" for family, (have, want) in got.items() if have != want]
level = "highestAvailable" if x64 else "asInvoker"
asked = root.find(f"{V3}trustInfo/{V3}security/{V3}requestedPrivileges/{V3}requestedExecutionLevel")
if asked is None or asked.get("level") != level:
    failures.append("the execution level is not " + level)
controls = {"type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
            "publicKeyToken": "6595b64144ccf1df"}
if not any(all(a.get(k) == v for k, v in controls.items()) and
           a.get("processorArchitecture") in ("*", "amd64" if x64 else "x86")
           for a in root.iterfind(f"{V1}dependency/{V1}dependentAssembly/{V1}assemblyIdentity")):
    failures.append("the common controls 6 are not asked for")
# XP's loader activates them only for a program that loads comctl32 itself.
imports = subprocess.run(["objdump", "-p", exe], capture_output=True, text=True, check=True).stdout
if not re.search(r"DLL Name: comctl32\.dll\n(\t.*\n)*?\t[0-9a-f]+\t *\d+ +InitCommonControls\n", imports, re.I):
    failures.append("InitCommonControls is not imported from comctl32")
print(f"{exe}: {level}, " + ", ".join(f"{family}: {have}" for family, (have, _) in got.items()))
print("".join(f"FAIL: {failure}\n" for failure in failures), end="")
sys.exit(1 if failures else 0)
