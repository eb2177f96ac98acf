// Every text the user sees, in UTF-16. The NT family shows it as it is; Windows 95 and 98 get it in
// the ANSI code page, which must hold the German letters (Windows-1252 does).
#pragma once

namespace quenzel::texts {

inline constexpr wchar_t kTitle[] = L"Quenzel";

// Frames and the device label.
inline constexpr wchar_t kFrameAutoRun[] = L"AutoRun erlauben";
inline constexpr wchar_t kFrameMediaChange[] = L"Signal f\u00FCr Medienwechsel";
inline constexpr wchar_t kFrameInstantStart[] = L"Sofortiger Start";
inline constexpr wchar_t kNoDevice[] = L"(Kein Ger\u00E4t gefunden)";
// Shown instead of a device name where the switch belongs to the CD-ROM driver.
inline constexpr wchar_t kAllDrivesNote[] =
    L"Gilt f\u00FCr alle CD-ROM-Laufwerke; wirksam nach einem Neustart.";

// Check boxes.
inline constexpr wchar_t kCheckAudioCd[] = L"&Musik-CD";
inline constexpr wchar_t kCheckMediaChange[] = L"&aktiv";
inline constexpr wchar_t kCheckRemovable[] = L"&Diskette";
inline constexpr wchar_t kCheckFixed[] = L"&Festplatte";
inline constexpr wchar_t kCheckRemote[] = L"&Netzwerk";
inline constexpr wchar_t kCheckCdRom[] = L"&CD-ROM";
inline constexpr wchar_t kCheckRamDisk[] = L"&Ram-Disk";
inline constexpr wchar_t kCheckProgramCd[] = L"&Programm-CD";

// Push buttons.
inline constexpr wchar_t kButtonInfo[] = L"&Info";
inline constexpr wchar_t kButtonStandard[] = L"&Standard";
inline constexpr wchar_t kButtonOk[] = L"&OK";
inline constexpr wchar_t kButtonCancel[] = L"&Abbrechen";

// The information box.
inline constexpr wchar_t kAboutText[] =
    L"Ein Tool zum Bearbeiten der AutoRun-Funktionen von Win95.";
inline constexpr wchar_t kAboutMaker[] = L"\u00A9 Quenzel-Entwicklung";
inline constexpr wchar_t kAboutFeedback1[] = L"'Verbesserungsvorschl\u00E4ge und konstruktive";
inline constexpr wchar_t kAboutFeedback2[] = L"Kritik sind mir immer willkommen!'";
inline constexpr wchar_t kAboutMailPrefix[] = L"E-Mail: ";
inline constexpr wchar_t kAboutMailAddress[] = L"quenzel@example.com";

// The warning after a save that did not store everything.
inline constexpr wchar_t kNotSavedIntro[] =
    L"Folgende Einstellungen konnten nicht gespeichert werden:";
inline constexpr wchar_t kNotSavedDriveTypes[] = L"Laufwerkstypen f\u00FCr AutoRun";
inline constexpr wchar_t kNotSavedAudioCd[] = L"Sofortiger Start von Musik-CDs";
inline constexpr wchar_t kNotSavedMediaChange[] = L"Signal f\u00FCr Medienwechsel";
inline constexpr wchar_t kMachinePolicyDecides[] =
    L"F\u00FCr welche Laufwerke AutoRun ausgef\u00FChrt wird, entscheidet eine Richtlinie "
    L"dieses Computers.";

} // namespace quenzel::texts
