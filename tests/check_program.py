#!/usr/bin/env python3
"""What each Windows takes from a program file (usage: check_program.py PROGRAM.exe): the manifest's
execution level, the common controls 6 (XP activates them only for a program that imports
InitCommonControls), the DPI awareness of Vista to 8.1 (dpiAware), 10 1607 and 1703 on (the first
value of dpiAwareness each knows); the 32-bit program's imports, by name from Windows 95's DLLs,
each on tests/data's list of that DLL's exports, and no W function that Windows 95 only stubs."""
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

exe = sys.argv[1]
run = lambda *cmd: subprocess.run(cmd, capture_output=True, check=True).stdout
dump = run("objdump", "-p", exe).decode()
x64 = "Magic\t\t\t020b" in dump  # PE32+
root = ET.fromstring(run("wrestool", "-x", "--raw", "--type=24", exe))
V1, V3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
SETTINGS = f"{V3}application/{V3}windowsSettings/{{http://schemas.microsoft.com/SMI/"
value = lambda path: (root.findtext(SETTINGS + path) or "").strip().lower()

aware = {"true": "system", "true/pm": "permonitor", "per monitor": "permonitor"}
vista = aware.get(value("2005/WindowsSettings}dpiAware"), "unaware")
listed = [v.strip() for v in value("2016/WindowsSettings}dpiAwareness").split(",") if v.strip()]
first = lambda known: next((v for v in listed if v in known), "none it knows") if listed else vista
ten = {"unaware", "system", "permonitor"}
got = {"Vista to 8.1": (vista, "system"), "10 1607": (first(ten), "permonitor"),
       "10 1703 and later": (first(ten | {"permonitorv2"}), "permonitorv2")}
failures = [f"{f} gets {have}, not {want}" for f, (have, want) in got.items() if have != want]
level = "highestAvailable" if x64 else "asInvoker"
privileges = f"{V3}trustInfo/{V3}security/{V3}requestedPrivileges/{V3}requestedExecutionLevel"
if root.find(f"{privileges}[@level='{level}']") is None:
    failures.append("the execution level is not " + level)
cc6 = {"type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
       "publicKeyToken": "6595b64144ccf1df", "processorArchitecture": "*"}
if not any(cc6.items() <= a.attrib.items()
           for a in root.iterfind(f"{V1}dependency/{V1}dependentAssembly/{V1}assemblyIdentity")):
    failures.append("the common controls 6 are not asked for")

# Each import as (dll, name), the name "" for one by ordinal.
imports = [(dll.lower(), name if name != "<none>" else "")
           for dll, block in re.findall(r"DLL Name: (\S+)\n(.*?)\n\n", dump, re.S)
           for name in re.findall(r"^\t[0-9a-f]+\t +\d+ *(\S*)$", block, re.M)]
if ("comctl32.dll", "InitCommonControls") not in imports:
    failures.append("InitCommonControls is not imported from comctl32")
lists = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "win95-%s.txt")
names = lambda dll: {line.split("#")[0].strip() for line in open(lists % dll)}
for dll, name in imports if not x64 else []:
    if not os.path.exists(lists % dll[:-4]) or dll[:-4] == "wide":
        failures.append(f"{dll} is not part of Windows 95 as installed")
    elif name not in names(dll[:-4]):
        failures.append(f"{dll}: {name or 'an import by ordinal'} is not one of Windows 95's")
    elif re.search(r"[a-z0-9]W$", name) and name not in names("wide"):
        failures.append(f"{dll}: {name} is a W function that Windows 95 only stubs")
print(f"{exe}: {level}, " + ", ".join(f"{f}: {have}" for f, (have, _) in got.items()) +
      ("" if x64 else f"; {len(imports)} imports"))
print("".join(f"FAIL: {failure}\n" for failure in failures), end="")
sys.exit(1 if failures else 0)
