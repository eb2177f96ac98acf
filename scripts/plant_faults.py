#!/usr/bin/env python3
"""Plants realistic faults in the program one at a time and counts how many the tests catch.

    python3 scripts/plant_faults.py [--all] [SOURCE_TREE] [FAULT_NAME...]

SOURCE_TREE (default: this checkout) is copied to a scratch tree (build/faults/<name of the
tree>), built once natively, for Windows and for Windows 95, and then each fault, a small
search-and-replace in one file of the program or its build, is applied to the scratch copy,
rebuilt incrementally and undone. The native engine tests run first and stop at the first
failure; only when they do not catch a fault are the test programs under Wine built and run,
and only those that can see the fault, then the import and manifest checks of the built
programs; a fault in the window that they all miss goes to the end-to-end runs with real keys
(nt, then win95). Prints per
fault whether it was caught and by which test, then "N of M caught". With --all every test
program that can see a fault runs to its end, and each fault lists every test that failed;
the summary then names, per test, the faults that no other test caught.
"""
import os
import re
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Which test programs can see a fault in a file: the native engine tests see the engine and the
# in-memory registry, the Wine programs the engine, advapi32 and (window_tests) the window.
NATIVE = ("native", "tests/engine_tests")
WINE_ENGINE = ("windows", "tests/engine_tests_wine.exe")
WINDOW = ("windows", "tests/window/window_tests.exe")
IMPORTS = ("win95", "imports")  # the 32-bit program's import table
MANIFEST = ("windows", "manifest")  # the execution level the 64-bit program asks for
E2E = ("windows", "e2e")
SCOPE = {
    "settings": [NATIVE, WINE_ENGINE, WINDOW],
    "registry/key.h": [NATIVE, WINE_ENGINE, WINDOW],
    "registry/advapi32": [WINE_ENGINE, WINDOW],
    "window/quenzel.manifest": [MANIFEST, WINDOW],
    "window/CMakeLists.txt": [MANIFEST, IMPORTS],
    "window": [WINDOW, IMPORTS, E2E],
    "cmake/mingw-i686": [IMPORTS],
}

# name, file, [(search, replace), ...][, file, edits where the first do not apply]
# A search that starts with "re:" is a regular expression.
FAULTS = [
    ("mask: wrong bit on save", "settings/settings.cpp",
     [("m | (1u << i)", "m | (1u << (i + 1))")]),
    ("drive-type loop one short", "settings/settings.cpp",
     [("for (int i = kRemovable; i <= kRamDisk; ++i)\n        form_.SetValue(i, (m",
       "for (int i = kRemovable; i < kRamDisk; ++i)\n        form_.SetValue(i, (m")]),
    ("wrong default", "settings/settings.cpp",
     [("(i == kRemovable || i == kRemote) ? 0 : 1", "(i == kRemovable || i == kFixed) ? 0 : 1")]),
    ("one-way coupling", "settings/settings.cpp",
     [("    else if (index == kProgramCd)\n        form_.SetValue(kCdRom, form_.Value(kProgramCd));\n",
       "")]),
    ("case-sensitive \"play\"", "settings/settings.cpp",
     [("LowerAscii(CutAtNull(AudioCdVerb)) == \"play\"", "CutAtNull(AudioCdVerb) == \"play\" && !LowerAscii(\"\").size()")]),
    ("last device taken instead of the first", "settings/settings.cpp",
     [("            mediaChangeSource_ = MediaChangeSource::Device;\n            return;",
       "            mediaChangeSource_ = MediaChangeSource::Device;\n            continue;"),
      ("    form_.SetCheckEnabled(kMediaChange, false);\n}\n\n// Without",
       "    if (mediaChangeSource_ == MediaChangeSource::None)\n"
       "        form_.SetCheckEnabled(kMediaChange, false);\n}\n\n// Without")]),
    ("byte-0 device skipped", "settings/settings.cpp",
     [("InsertNotifyData) ==\n            error::SUCCESS) {",
       "InsertNotifyData) ==\n            error::SUCCESS && InsertNotifyData[0]) {")]),
    ("4-byte AutoInsertNotification accepted", "settings/settings.h",
     [("std::string InsertNotifyData = std::string(1, '\\0');",
       "std::string InsertNotifyData = std::string(4, '\\0');")]),
    ("REG_DWORD type of the mask lost", "settings/settings.cpp",
     [("now.read && now.type == reg::DWORD ? reg::DWORD : reg::BINARY", "reg::BINARY")]),
    ("verb written without its NUL", "settings/settings.cpp",
     [("AudioCdVerb + '\\0'", "AudioCdVerb")]),
    ("value written under no device", "settings/settings.cpp",
     [("return true; // no device was found", "[[fallthrough]]; // no device was found")]),
    ("failed save not reported (engine)", "settings/settings.cpp",
     [("report.driveTypesFailed = !report.driveTypesWritten;", "report.driveTypesFailed = false;")]),
    ("failed save not reported (window)", "window/form1.cpp",
     [("if (report.AnyFailed() || report.machinePolicyDecides)", "if (report.machinePolicyDecides)")]),
    ("key created on open (advapi32)", "registry/advapi32_registry.cpp",
     [("::RegOpenKeyExA(ToHkey(key), subKey, options, access, &opened)",
       "::RegCreateKeyExA(ToHkey(key), subKey, options, nullptr, 0, access, nullptr, &opened, nullptr)")]),
    ("swapped accelerator", "window/texts.h",
     [("L\"&Ram-Disk\"", "L\"Ram-&Disk\"")]),
    ("swapped tab row", "window/controls.cpp",
     [(r're:(\{"Check1",\s+2,.*?)  1\},\n(\s+)(\{"Check1",\s+3,.*?)  2\},',
       r'\3  1},\n\2\1  2},')],
     "window/controls.cpp",
     [(r're:(\{K::CheckBox,\s+2,.*?)  1\},\n(\s+)(\{K::CheckBox,\s+3,.*?)  2\},',
       r'\3  1},\n\2\1  2},')]),
    ("a CR too few in the information text", "window/module1.cpp",
     [("text + cr + cr + texts::kAboutMaker", "text + cr + texts::kAboutMaker")]),
    ("Enter presses \"&OK\"", "window/form1.cpp",
     [("    if (notification != BN_CLICKED)\n        return;",
       "    if (id == IDOK)\n        id = ControlId(ControlKind::PushButton, 2);\n"
       "    if (notification != BN_CLICKED)\n        return;")]),
    ("close box saves", "window/form1.cpp",
     [("    case WM_CLOSE: // the close box is \"&Abbrechen\"\n        End();",
       "    case WM_CLOSE: // the close box is \"&Abbrechen\"\n        Command1_Click(2);")],
     "window/form1.cpp",
     [("    case WM_CLOSE: // the close box is \"&Abbrechen\"\n        End(Outcome::Cancelled);",
       "    case WM_CLOSE: // the close box is \"&Abbrechen\"\n        Command1_Click(2);")]),
    # Our own.
    ("focus not restored on activation", "window/form1.cpp",
     [("    } else if (focus_ && ::IsWindowEnabled(focus_)) {\n        ::SetFocus(focus_);",
       "    } else if (focus_ && ::IsWindowEnabled(focus_)) {")]),
    ("W/A path chosen the wrong way round", "window/text_api.cpp",
     [("(::GetVersion() & 0x80000000u) == 0 && FindAll", "(::GetVersion() & 0x80000000u) != 0 && FindAll")]),
    ("key left open", "registry/key.h",
     [("~Key() { Close(); }", "~Key() {}")]),
    ("machine policy compared the wrong way", "settings/settings.cpp",
     [("machine != DriveTypeData", "machine == DriveTypeData")]),
    ("missing Cdrom \"AutoRun\" written when left alone", "settings/settings.cpp",
     [("    if (BoxesChanged(kMediaChange, kMediaChange))\n",
       "    if (BoxesChanged(kMediaChange, kMediaChange) || mediaChangeSource_ == MediaChangeSource::CdromService)\n")]),
    ("\"&Standard\" also sets \"&aktiv\"", "settings/settings.cpp",
     [("    form_.SetValue(kAudioCd, 1);\n}", "    form_.SetValue(kAudioCd, 1);\n    form_.SetValue(kMediaChange, 1);\n}")]),
    ("label text widened byte by byte, not converted", "window/text_api.cpp",
     [("w->SetWindowTextW(window, FromAnsi(ansiText).c_str())", "w->SetWindowTextW(window, std::wstring(ansiText.begin(), ansiText.end()).c_str())")]),
    ("the registry read after the window is shown", "window/form1.cpp",
     [("    Form_Load();\n\n", ""),
      ("    ::UpdateWindow(window_);\n", "    ::UpdateWindow(window_);\n    Form_Load();\n")]),
    ("no WM_SETTINGCHANGE after a save", "window/form1.cpp",
     [("        if (report.driveTypesWritten)\n            text::BroadcastSettingChange(L\"Policy\", kPolicyBroadcastTimeout);\n", "")]),
    ("the information box without its owner", "window/form1.cpp",
     [("ShowAboutBox(window_, texts::kTitle", "ShowAboutBox(nullptr, texts::kTitle")]),
    ("the last check box's clicks ignored", "window/form1.cpp",
     [("id < checkBase + kCheckCount)", "id < checkBase + kCheckCount - 1)")]),
    ("a check box moved over its neighbour", "window/controls.cpp",
     [("texts::kCheckRemovable,       900,  900,", "texts::kCheckRemovable,       900,  700,")]),
    ("the controls keep the system font", "window/form1.cpp",
     [("        ::SendMessageA(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);\n", "")]),
    ("the save warning without its warning icon", "window/module1.cpp",
     [("MB_ICONWARNING | MB_OK", "MB_ICONINFORMATION | MB_OK")]),
    ("an identical write not skipped", "settings/settings.cpp",
     [("now.read && now.type == type && now.bytes == DriveTypeData", "false")]),
    ("an untouched missing mask written", "settings/settings.cpp",
     [("const bool drivesChanged = BoxesChanged(kRemovable, kRamDisk);", "const bool drivesChanged = true;")]),
    ("the policy note decided before the clicks are applied", "settings/settings.cpp",
     [("    const bool drivesChanged = BoxesChanged(kRemovable, kRamDisk);\n",
       "    const bool drivesChanged = BoxesChanged(kRemovable, kRamDisk);\n"
       "    report.machinePolicyDecides = drivesChanged && ntFamily_ && MachinePolicyDiffers();\n"),
      ("    report.machinePolicyDecides = drivesChanged && ntFamily_ && MachinePolicyDiffers();\n    return report;",
       "    return report;")]),
    ("the broadcast sent before the save", "window/form1.cpp",
     [("        const SaveReport report = settings_.SaveValues();\n",
       "        text::BroadcastSettingChange(L\"Policy\", kPolicyBroadcastTimeout);\n"
       "        const SaveReport report = settings_.SaveValues();\n"),
      ("        if (report.driveTypesWritten)\n            text::BroadcastSettingChange(L\"Policy\", kPolicyBroadcastTimeout);\n        break;",
       "        break;")]),
    ("the window still up during the broadcast", "window/form1.cpp",
     [("            ShowSaveWarning(window_, texts::kTitle, report);\n        End();\n",
       "            ShowSaveWarning(window_, texts::kTitle, report);\n"),
      ("            text::BroadcastSettingChange(L\"Policy\", kPolicyBroadcastTimeout);\n        break;",
       "            text::BroadcastSettingChange(L\"Policy\", kPolicyBroadcastTimeout);\n"
       "        End();\n        break;")]),
    ("the small icon is the big one", "window/form1.cpp",
     [("IDI_WRENCH, dpi::SystemMetric(SM_CXSMICON, dpi)", "IDI_WRENCH, dpi::SystemMetric(SM_CXICON, dpi)")]),
    ("a W function of user32 imported", "window/text_api.cpp",
     [("    if (const WideUser32 *w = Wide())\n        w->SetWindowTextW(window, text.c_str());",
       "    if (Wide())\n        ::SetWindowTextW(window, text.c_str());")]),
    ("the runtime's CreateSemaphoreW imported", "window/CMakeLists.txt",
     [("__imp__CreateSemaphoreW@16\\\"=", "__imp__CreateSemaphoreW_unused@16\\\"=")]),
    ("the 32-bit program linked on msvcrt.dll", "cmake/mingw-i686.cmake",
     [("-lmoldname -lmingwex -lcrtdll", "-lmoldname -lmingwex -lmsvcrt")]),
    ("the device list's name buffer one short", "settings/settings.cpp",
     [("static_cast<std::uint32_t>(name.size())", "static_cast<std::uint32_t>(name.size() - 1)")]),
    ("a list entry opened by its full path", "settings/settings.cpp",
     [("Key entry(registry_, list.Handle(), name, key::QUERY_VALUE);",
       "Key entry(registry_, hkey::DYN_DATA, std::string(kDeviceListKey) + \"\\\\\" + name, key::QUERY_VALUE);")]),
    ("the description read one short", "settings/settings.cpp",
     [("std::string description = kBlankBuffer;", "std::string description(255, ' ');")]),
    ("the description read one long", "settings/settings.cpp",
     [("std::string description = kBlankBuffer;", "std::string description(257, ' ');")]),
    ("the type left out of the identical-write check", "settings/settings.cpp",
     [("now.read && now.type == type && now.bytes", "now.read && now.bytes")]),
    ("the Cdrom switch read with room to spare", "settings/settings.cpp",
     [("    std::string value(4, '\\0');\n    const bool read = service.Query",
       "    std::string value(8, '\\0');\n    const bool read = service.Query")]),
    ("the message loop passes no key to the dialog manager", "window/message_loop.cpp",
     [("text::IsDialogMessageText(dialog, &message)", "text::IsDialogMessageText(nullptr, &message)")]),
    ("the 64-bit program asks to run as invoked", "window/CMakeLists.txt",
     [("set(QUENZEL_EXECUTION_LEVEL highestAvailable)", "set(QUENZEL_EXECUTION_LEVEL asInvoker)")]),
    ("a control left at the old DPI (framed ones taken as moving with their frame)", "window/form1.cpp",
     [("        ::SetWindowPos(controls_[i], nullptr,", "        if (row.frame == kInWindow)\n        ::SetWindowPos(controls_[i], nullptr,")]),
    ("the font not remade for the new DPI", "window/form1.cpp",
     [("font_.reset(CreateDialogFont(dpi));", "font_.reset(CreateDialogFont(ScreenDpi()));")]),
    ("a picture kept at the old size", "window/form1.cpp",
     [("        if (row.kind == ControlKind::Picture)\n", "        if (row.kind == ControlKind::Picture && !pictures_[i])\n")]),
    ("a box state lost in the relayout", "window/form1.cpp",
     [("        LayOut(HIWORD(wParam));\n", "        LayOut(HIWORD(wParam));\n        Form_Load();\n")]),
    ("the common controls 6 not asked for", "window/quenzel.manifest.in",
     [("re:  <dependency>.*?</dependency>\n", "")]),
    ("per-monitor scaling not asked for", "window/quenzel.manifest.in",
     [("re:      <dpiAwareness .*?</dpiAwareness>\n", "")]),
    ("comctl32's InitCommonControlsEx imported", "window/form1.cpp",
     [("    ::InitCommonControls();\n",
       "    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES};\n"
       "    ::InitCommonControlsEx(&classes);\n")]),
    ("a picture stretched by a fraction", "window/icons.cpp",
     [("const int size = place / frame * frame;", "const int size = place;")]),
    ("an untouched value rewritten for its spelling", "settings/settings.cpp",
     [("    if (BoxesChanged(kAudioCd, kAudioCd)) {",
       "    if (BoxesChanged(kAudioCd, kAudioCd) || CutAtNull(AudioCdVerb) != (form_.Value(kAudioCd) ? \"play\" : \"\")) {")]),
    ("the mask written from the bytes read at start", "settings/settings.cpp",
     [("    DriveTypeData.assign(4, '\\0');\n    StoredValue now;\n    {\n"
       "        Key key(registry_, hkey::CURRENT_USER, kPolicyKey, key::QUERY_VALUE);\n"
       "        key.Query(\"NoDriveTypeAutoRun\", reg::BINARY, DriveTypeData, &now);\n    }\n",
       "    StoredValue now;\n")]),
    ("a mask gone meanwhile taken as the one read at start", "settings/settings.cpp",
     [("    DriveTypeData.assign(4, '\\0');\n    StoredValue now;", "    StoredValue now;")]),
    ("the note without a drive change", "settings/settings.cpp",
     [("report.machinePolicyDecides = drivesChanged && ntFamily_ &&", "report.machinePolicyDecides = ntFamily_ &&")]),
    ("the note on Windows 95", "settings/settings.cpp",
     [("drivesChanged && ntFamily_ && MachinePolicyDiffers()", "drivesChanged && MachinePolicyDiffers()")]),
    ("the broadcast with nothing written", "window/form1.cpp",
     [("        if (report.driveTypesWritten)\n            text::BroadcastSettingChange", "        text::BroadcastSettingChange")]),
    ("Escape presses \"&Abbrechen\"", "window/form1.cpp",
     [("    if (notification != BN_CLICKED)\n        return;",
       "    if (id == IDCANCEL)\n        id = ControlId(ControlKind::PushButton, 3);\n"
       "    if (notification != BN_CLICKED)\n        return;")]),
]


def run(cmd, cwd, env=None, timeout=1800):
    try:
        p = subprocess.run(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, timeout=timeout, text=True,
                           errors="replace")
        return p.returncode, p.stdout
    except subprocess.TimeoutExpired as e:
        out = e.stdout.decode(errors="replace") if isinstance(e.stdout, bytes) else (e.stdout or "")
        return -1, out + "\n[timeout]"


def copy_if_changed(src, dst):
    """Copies a file whose bytes differ, stamped now: an older stamp would look built already."""
    if not os.path.exists(dst) or open(src, "rb").read() != open(dst, "rb").read():
        shutil.copyfile(src, dst)
        shutil.copymode(src, dst)
    return dst


def scope_of(path):
    for prefix, programs in SCOPE.items():
        if path.startswith(prefix):
            return programs
    raise SystemExit("no test scope for " + path)


def failures(output):
    """The failed tests of a GoogleTest run, one name per test and both text paths as one."""
    names = re.findall(r"^\[  FAILED  \] ([\w/]+\.[\w/]+)", output, re.M)
    if not names:  # it died: the test that was running
        names = [first_failure(output).replace("crashed in ", "")]
    return {re.sub(r"^Paths/|/[WA]$", "", name) for name in names}


def first_failure(output):
    m = re.search(r"^\[  FAILED  \] (\S+)", output, re.M)
    if m:
        return m.group(1)
    m = re.search(r"^\[ RUN      \] (\S+)(?![\s\S]*^\[ RUN )", output, re.M)
    return "crashed in " + m.group(1) if m else "crashed"


def plant(text, edits):
    for search, replace in edits:
        changed = (re.subn(search[3:], replace, text, count=1, flags=re.S) if search.startswith("re:")
                   else (text.replace(search, replace, 1), text.count(search)))
        if changed[1] != 1:
            return None
        text = changed[0]
    return text


def main():
    args = sys.argv[1:]
    everything = "--all" in args
    args = [a for a in args if a != "--all"]
    source = os.path.abspath(args.pop(0)) if args and os.path.isdir(args[0]) else ROOT
    only = set(args)
    scratch = os.path.join(ROOT, "build", "faults", os.path.basename(source.rstrip("/")))
    os.makedirs(scratch, exist_ok=True)
    shutil.copytree(source, scratch, ignore=shutil.ignore_patterns("build", ".git"),
                    dirs_exist_ok=True, copy_function=copy_if_changed)
    env = dict(os.environ, WINEDEBUG="-all")
    prefix = os.path.join(scratch, "build", "wineprefix")
    env["WINEPREFIX"] = prefix
    built = set()

    def build(preset):
        if preset not in built:
            rc, out = run(["cmake", "--preset", preset], scratch)
            if rc != 0:
                raise SystemExit(out)
            built.add(preset)
            if preset == "windows":
                run(["sh", "tests/wine_fixture.sh", "setup", prefix], scratch)
        return run(["cmake", "--build", "--preset", preset], scratch)

    for preset in ("native", "windows", "win95"):
        rc, out = build(preset)
        if rc != 0:
            raise SystemExit("the unchanged tree does not build:\n" + out)

    caught = total = 0
    catchers = {}  # fault -> every test that failed on it (--all)
    for name, *variants in FAULTS:
        if only and name not in only:
            continue
        total += 1
        for path, edits in zip(variants[::2], variants[1::2]):
            file = os.path.join(scratch, path)
            original = open(file, encoding="latin-1").read()
            text = plant(original, edits)
            if text is not None:
                break
        else:  # a fault of code that another tree (SOURCE_TREE) does not have
            if source == ROOT:
                raise SystemExit(f"{name}: search text not found once")
            total -= 1
            print(f"{name:50s} not in this tree", flush=True)
            continue
        open(file, "w", encoding="latin-1").write(text)
        verdict = "MISSED"
        try:
            for preset, program in scope_of(path):
                rc, out = build(preset)
                if rc != 0:
                    verdict = "build failed (fault not plantable here)"
                    break
                if program == "e2e" and verdict != "MISSED":
                    break  # the end-to-end runs only for what the test programs miss
                if program in ("imports", "manifest"):
                    script, exe = {"imports": ("check_imports.sh", "build/win95/quenzel.exe"),
                                   "manifest": ("check_manifest.sh", "build/windows/quenzel.exe")}[program]
                    rc, out = run(["sh", "tests/" + script, exe], scratch)
                    if rc != 0:
                        catchers.setdefault(name, set()).add(script)
                        verdict = "caught by " + script + ": " + out.strip().splitlines()[-1]
                        if not everything:
                            break
                    continue
                if program == "e2e":
                    for mode in ("nt", "win95"):
                        rc, out = run(["sh", "tests/e2e/keys_test.sh", mode,
                                       os.path.join(scratch, "build", preset, "quenzel.exe"),
                                       "scripts/win95.reg", os.path.join(scratch, "build", "e2e")],
                                      scratch, timeout=600)
                        if rc != 0:
                            catchers.setdefault(name, set()).add("keys_e2e_" + mode)
                            fail = re.search(r"^FAIL.*$", out, re.M)
                            verdict = "caught by keys_e2e_" + mode + ": " + (
                                fail.group(0) if fail else "exit " + str(rc))
                            break
                    if rc != 0:
                        break
                    continue
                exe = os.path.join(scratch, "build", preset, program)
                cmd = ([exe] if preset == "native" else ["wine", exe])
                if everything:
                    rc, out = run(cmd, scratch, env, 900)
                    if rc != 0:
                        catchers.setdefault(name, set()).update(failures(out))
                        verdict = "caught by " + ", ".join(sorted(catchers[name]))
                    continue
                rc, out = run(cmd + ["--gtest_fail_fast", "--gtest_brief=1"], scratch, env, 600)
                if rc != 0:
                    verdict = "caught by " + os.path.basename(program) + ": " + first_failure(out)
                    break
        finally:
            open(file, "w", encoding="latin-1").write(original)
            os.utime(file)
        caught += verdict.startswith("caught")
        print(f"{name:50s} {verdict}", flush=True)
    for preset in ("native", "windows", "win95"):
        build(preset)  # leave the scratch builds matching the unchanged tree
    run(["sh", "tests/wine_fixture.sh", "cleanup", prefix], scratch)
    print(f"{caught} of {total} caught")
    if everything:
        alone = {}
        for fault, tests in catchers.items():
            if len(tests) == 1:
                alone.setdefault(next(iter(tests)), []).append(fault)
        print("caught by one test alone:")
        for test, faults in sorted(alone.items()):
            print(f"  {test}: " + "; ".join(faults))


if __name__ == "__main__":
    main()
