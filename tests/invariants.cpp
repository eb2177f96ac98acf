// What the engine promises on any registry, checked on generated ones: the property test and the
// fuzz target build their registries and click sequences here and run the same checks.
#include "invariants.h"

#include "model_form.h"

#include "../registry/regedit4.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

namespace quenzel {

std::uint32_t ByteChooser::Below(std::uint32_t bound, const char *) {
    std::uint32_t v = NextByte();
    if (bound > 256)
        v |= NextByte() << 8;
    return v % bound;
}

std::uint32_t RecordingChooser::Below(std::uint32_t bound, const char *what) {
    const std::uint32_t v = inner_.Below(bound, what);
    bytes_ += static_cast<char>(v & 0xFF);
    if (bound > 256)
        bytes_ += static_cast<char>(v >> 8);
    return v;
}

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint32_t REG_NONE = 0;
constexpr std::uint32_t REG_EXPAND_SZ = 2;
constexpr std::uint32_t REG_MULTI_SZ = 7;
constexpr std::uint32_t REG_QWORD = 11;

// --- Building a registry ----------------------------------------------------------------------

Bytes ToBytes(const std::string &text) {
    return Bytes(text.begin(), text.end());
}

Bytes Sz(const std::string &text, bool terminated = true) {
    Bytes bytes = ToBytes(text);
    if (terminated)
        bytes.push_back(0);
    return bytes;
}

// Upper and lower case of ASCII and of the Windows-1252 accented letters.
unsigned char UpperChar(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<unsigned char>(c - 0x20);
    return c;
}

unsigned char LowerChar(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    return c;
}

// The same name, as the registry matches it, in another spelling.
std::string Spell(Chooser &c, std::string name) {
    const std::uint32_t how = c.Below(4, "spelling");
    std::size_t letter = 0;
    for (char &ch : name) {
        const auto u = static_cast<unsigned char>(ch);
        const bool upper = how == 1 || (how == 3 && letter++ % 2 == 0);
        if (how != 0)
            ch = static_cast<char>(upper ? UpperChar(u) : LowerChar(u));
    }
    return name;
}

// Letters, digits, punctuation and 8-bit letters; no backslash, so it can name one key.
std::string RandomName(Chooser &c, std::uint32_t maxLength) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                                 " _-&*.:\xC4\xD6\xDC\xE4\xF6\xFC\xDF\xE9\xC9\x80\xFF\x9F\x8A\x9A";
    const std::uint32_t length = 1 + c.Below(maxLength, "name length");
    std::string name;
    for (std::uint32_t i = 0; i < length; ++i)
        name += kChars[c.Below(sizeof kChars - 1, "name char")];
    return name;
}

std::string RandomPath(Chooser &c) {
    std::string path = RandomName(c, 12);
    for (std::uint32_t n = c.Below(3, "path depth"); n > 0; --n)
        path += "\\" + RandomName(c, 12);
    return path;
}

Bytes RandomBytes(Chooser &c, std::uint32_t maxLength) {
    Bytes bytes(c.Below(maxLength + 1, "bytes length"));
    for (unsigned char &b : bytes)
        b = static_cast<unsigned char>(c.Below(256, "byte"));
    return bytes;
}

std::uint32_t RandomType(Chooser &c) {
    static const std::uint32_t kTypes[] = {reg::BINARY,   reg::SZ,      reg::DWORD, REG_NONE,
                                           REG_EXPAND_SZ, REG_MULTI_SZ, REG_QWORD,  0x1234};
    return kTypes[c.Below(8, "type")];
}

std::string Hex8(Chooser &c) {
    char buf[16];
    // One answer after the other: the order of a call's arguments is the compiler's choice.
    const std::uint32_t high = c.Below(65536, "hex");
    const std::uint32_t low = c.Below(65536, "hex");
    std::snprintf(buf, sizeof buf, "%04X%04X", high, low);
    return buf;
}

class Builder {
  public:
    Builder(Chooser &c, const GeneratorLimits &limits, RegTree &tree)
        : c_(c), limits_(limits), tree_(tree) {}

    void Run() {
        UserPolicy();
        MachinePolicy();
        AudioCd();
        Devices();
        DeviceList();
        CdromService();
        Unrelated();
    }

  private:
    // Each component spelt its own way; a component that exists keeps its stored spelling.
    RegKey &MakeKey(RegHandle root, const std::string &path) {
        RegKey *key = tree_.Root(root);
        for (std::string_view part : SplitKeyPath(path))
            key = &key->CreateSubkey(Spell(c_, std::string(part)));
        return *key;
    }

    // Values that are none of the tool's, some named almost like its own.
    void Neighbours(RegKey &key) {
        static const std::string kNames[] = {"NoDrives",
                                             "NoRun",
                                             "NoDriveAutoRun",
                                             "NoDriveTypeAutoRun2",
                                             "NoDriveTypeAutoRu",
                                             std::string("NoDriveTypeAutoRun\0x", 20),
                                             "AutoInsertNotification ",
                                             "HardWareKeys",
                                             "DeviceDesc2",
                                             "AutoRunOff"};
        for (std::uint32_t n = c_.Below(4, "neighbour values"); n > 0; --n) {
            const std::uint32_t which = c_.Below(11, "neighbour name");
            const std::string name = which < 10 ? kNames[which] : RandomName(c_, 16);
            const std::uint32_t type = RandomType(c_);
            key.SetValue(name, type, RandomBytes(c_, 8));
        }
    }

    Bytes MaskData() {
        static const std::uint32_t kSizes[] = {4, 1, 0, 2, 3, 5, 6, 8};
        static const unsigned char kMasks[] = {0x95, 0x91, 0xFF, 0x00, 0x7C, 0xBD, 0x20, 0x04};
        Bytes data(c_.Chance(25, "mask odd size") ? kSizes[c_.Below(8, "mask size")] : 4);
        for (std::size_t i = 0; i < data.size(); ++i) {
            if (i == 0)
                data[0] = c_.Chance(20, "mask random")
                              ? static_cast<unsigned char>(c_.Below(256, "mask byte"))
                              : kMasks[c_.Below(8, "mask")];
            else if (c_.Chance(30, "mask high byte"))
                data[i] = static_cast<unsigned char>(c_.Below(256, "mask byte"));
        }
        return data;
    }

    std::uint32_t MaskType() {
        static const std::uint32_t kTypes[] = {reg::DWORD, reg::SZ, REG_NONE, REG_QWORD,
                                               reg::DWORD};
        return c_.Chance(40, "mask type other") ? kTypes[c_.Below(5, "mask type")] : reg::BINARY;
    }

    void UserPolicy() {
        if (c_.Chance(30, "policy lookalikes")) {
            for (const char *path : {"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\"
                                     "Explorer2",
                                     "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\"
                                     "Explorer ",
                                     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"})
                MakeKey(hkey::CURRENT_USER, path)
                    .SetValue("NoDriveTypeAutoRun", reg::BINARY, {0xFF, 0, 0, 0});
        }
        if (!c_.Chance(85, "policy key"))
            return;
        RegKey &key = MakeKey(hkey::CURRENT_USER,
                              "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer");
        key.denyWrite = c_.Chance(10, "policy key read-only");
        if (c_.Chance(85, "mask value")) {
            const std::string name = Spell(c_, "NoDriveTypeAutoRun");
            const std::uint32_t type = MaskType();
            key.SetValue(name, type, MaskData());
        }
        Neighbours(key);
    }

    void MachinePolicy() {
        if (!c_.Chance(30, "machine policy key"))
            return;
        RegKey &key = MakeKey(hkey::LOCAL_MACHINE,
                              "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer");
        key.denyWrite = c_.Chance(10, "machine policy read-only");
        if (c_.Chance(80, "machine mask value")) {
            const std::uint32_t type = MaskType();
            key.SetValue("NoDriveTypeAutoRun", type, MaskData());
        }
    }

    void AudioCd() {
        if (c_.Chance(60, "audio cd parent"))
            MakeKey(hkey::LOCAL_MACHINE, "SOFTWARE\\Classes\\AudioCD")
                .SetValue("", reg::SZ, Sz("Audio-CD"));
        if (!c_.Chance(85, "audio cd key"))
            return;
        RegKey &key = MakeKey(hkey::LOCAL_MACHINE, "SOFTWARE\\Classes\\AudioCD\\shell");
        key.denyWrite = c_.Chance(10, "audio cd read-only");
        if (c_.Chance(85, "verb value")) {
            const std::string kVerbs[] = {"play",
                                          "PLAY",
                                          "Play",
                                          "pLaY",
                                          "",
                                          "play ",
                                          " play",
                                          "plays",
                                          "pla",
                                          "open",
                                          std::string("play\0junk", 9),
                                          std::string("PlAy\0", 5),
                                          std::string(255, 'p'),
                                          std::string(256, 'p'),
                                          "play" + std::string(252, ' '),
                                          std::string(300, 'v'),
                                          "Wiedergabe f\xFCr Ger\xE4te"};
            constexpr std::uint32_t kCount = sizeof kVerbs / sizeof kVerbs[0];
            const std::uint32_t which = c_.Below(kCount + 1, "verb");
            const std::string verb =
                which < kCount ? kVerbs[which] : std::string(RandomName(c_, 12));
            static const std::uint32_t kTypes[] = {reg::BINARY, REG_EXPAND_SZ, reg::DWORD};
            const std::uint32_t type =
                c_.Chance(15, "verb type other") ? kTypes[c_.Below(3, "verb type")] : reg::SZ;
            key.SetValue("", type, Sz(verb, !c_.Chance(15, "verb unterminated")));
        }
        Neighbours(key);
        if (c_.Chance(50, "audio cd play key")) {
            RegKey &play = key.CreateSubkey("play");
            play.SetValue("", reg::SZ, Sz("&Wiedergabe"));
            play.CreateSubkey("command").SetValue("", reg::SZ, Sz("cdplayer.exe /play"));
        }
    }

    void Devices() {
        static const char *const kPaths[] = {
            "SCSI\\CDROM\\0",
            "SCSI\\NEC_____CD-ROM_DRIVE:260\\PCI&VEN_1000&DEV_0001",
            "ESDI\\GENERIC_IDE__DISK_TYPE47_\\MF&CHILD0000",
            "ROOT\\*PNP0A03\\0000",
            "HTREE\\ROOT\\0",
            "SCSI\\CDROM\\1",
        };
        for (std::uint32_t n = c_.Below(6, "devices"); n > 0; --n) {
            const std::string path =
                c_.Chance(20, "device path random") ? RandomPath(c_) : kPaths[c_.Below(6, "path")];
            RegKey &key = MakeKey(hkey::LOCAL_MACHINE, "Enum\\" + path);
            devicePaths_.push_back(path);
            key.denyWrite = c_.Chance(10, "device read-only");
            if (c_.Chance(80, "device desc")) {
                const std::string kDescs[] = {"Mein Laufwerk",
                                              "CD-ROM-Laufwerk f\xFCr G\xE4ste",
                                              "NEC CD-ROM DRIVE:260",
                                              "",
                                              std::string("Laufwerk\0Rest", 13),
                                              std::string(255, 'D'),
                                              std::string(300, 'D')};
                const std::uint32_t which = c_.Below(8, "desc");
                const std::string desc = which < 7 ? kDescs[which] : RandomName(c_, 40);
                const std::uint32_t type = c_.Chance(10, "desc binary") ? reg::BINARY : reg::SZ;
                key.SetValue("DeviceDesc", type, Sz(desc, !c_.Chance(10, "desc unterminated")));
            }
            if (c_.Chance(65, "notification")) {
                static const std::uint32_t kSizes[] = {1, 0, 2, 3, 4, 5};
                static const unsigned char kBytes[] = {1, 0, 2, 0xFF};
                Bytes data(c_.Chance(30, "notification odd size")
                               ? kSizes[c_.Below(6, "notification size")]
                               : 1);
                for (unsigned char &b : data)
                    b = kBytes[c_.Below(4, "notification byte")];
                static const std::uint32_t kTypes[] = {reg::SZ, reg::DWORD, REG_NONE};
                const std::uint32_t type = c_.Chance(15, "notification type other")
                                               ? kTypes[c_.Below(3, "notification type")]
                                               : reg::BINARY;
                key.SetValue(Spell(c_, "AutoInsertNotification"), type, std::move(data));
            }
            if (c_.Chance(40, "device values")) {
                key.SetValue("Class", reg::SZ, Sz("CDROM"));
                key.SetValue("HardWareID", reg::SZ, Sz("GenCD,SCSI\\CDROM"));
            }
            Neighbours(key);
            // Another device below this one, ready to be taken for it.
            if (c_.Chance(15, "device child")) {
                RegKey &child = key.CreateSubkey("Child0000");
                child.SetValue("AutoInsertNotification", reg::BINARY, {1});
                child.SetValue("DeviceDesc", reg::SZ, Sz("Kind"));
            }
        }
        // An empty hardware key names "Enum" itself.
        if (c_.Chance(5, "enum notification"))
            MakeKey(hkey::LOCAL_MACHINE, "Enum")
                .SetValue("AutoInsertNotification", reg::BINARY,
                          {static_cast<unsigned char>(c_.Below(3, "enum notification byte"))});
    }

    std::string EntryName(const std::string &previous) {
        switch (c_.Below(10, "entry name")) {
        default:
            return Hex8(c_);
        case 1: {
            std::string name = Hex8(c_);
            for (char &ch : name)
                ch = static_cast<char>(LowerChar(static_cast<unsigned char>(ch)));
            return name;
        }
        case 2:
            return RandomName(c_, 20);
        case 3:
            return std::string(255, 'E'); // the longest name the 256-byte buffer takes
        case 4:
            return std::string(256 + c_.Below(45, "long name"), 'L'); // ends the enumeration
        case 5: {
            const std::string first = RandomName(c_, 6);
            return first + '\0' + RandomName(c_, 6);
        }
        case 6:
            return Spell(c_, previous.empty() ? "C29A1B00" : previous);
        case 7:
            return std::string(1, '\0') + "x"; // cut at the NUL it names the list key itself
        }
    }

    std::string HardwareKeyText() {
        const std::string device =
            devicePaths_.empty()
                ? std::string("SCSI\\CDROM\\0")
                : devicePaths_[c_.Below(static_cast<std::uint32_t>(devicePaths_.size()), "device")];
        switch (c_.Below(12, "hardware key")) {
        default:
            return Spell(c_, device);
        case 1:
            return Spell(c_, device) + "\\";
        case 2:
            return "\\" + device;
        case 3: {
            std::string doubled;
            for (char ch : device)
                doubled += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
            return doubled;
        }
        case 4:
            return "ROOT\\MISSING\\" + RandomName(c_, 8);
        case 5:
            return "";
        case 6:
            return device + '\0' + RandomName(c_, 8);
        case 7:
            return device + "\\" +
                   std::string(254 - std::min<std::size_t>(device.size(), 200), 'x');
        case 8:
            return std::string(300, 'H');
        case 9:
            return device.substr(0, device.find('\\'));
        case 10: {
            const Bytes bytes = RandomBytes(c_, 40);
            return std::string(bytes.begin(), bytes.end());
        }
        case 11:
            return device + " ";
        }
    }

    void Entry(RegKey &entry) {
        if (c_.Chance(85, "hardware key value")) {
            const std::string name = Spell(c_, "HardWareKey");
            const std::string text = HardwareKeyText();
            const std::uint32_t type = c_.Chance(10, "hardware key binary") ? reg::BINARY : reg::SZ;
            entry.SetValue(name, type, Sz(text, !c_.Chance(10, "hardware key unterminated")));
        }
        if (c_.Chance(30, "entry values")) {
            entry.SetValue("Status", reg::BINARY, {0x0B, 0x60, 0, 0});
            entry.SetValue("Problem", reg::BINARY, {0, 0, 0, 0});
        }
        Neighbours(entry);
    }

    void DeviceList() {
        if (!c_.Chance(75, "device list"))
            return;
        RegKey &list = MakeKey(hkey::DYN_DATA, "Config Manager\\Enum");
        if (c_.Chance(5, "list hardware key"))
            list.SetValue("HardWareKey", reg::SZ, Sz(HardwareKeyText()));
        std::string previous;
        for (std::uint32_t n = c_.Below(7, "entries"); n > 0; --n) {
            std::string name = EntryName(previous);
            Entry(list.CreateSubkey(name));
            previous = name;
        }
        if (c_.Chance(2, "long list")) {
            const std::uint32_t count =
                limits_.minFillerEntries +
                c_.Below(std::min<std::uint32_t>(
                             limits_.maxFillerEntries - limits_.minFillerEntries + 1, 65536),
                         "long list length");
            const std::uint32_t kind = c_.Below(3, "long list kind");
            const char *prefix = c_.Chance(50, "long list last") ? "ZZ" : "00";
            if (kind == 2)
                MakeKey(hkey::LOCAL_MACHINE, "Enum\\ROOT\\LEGACY\\0000")
                    .SetValue("DeviceDesc", reg::SZ, Sz("Altes Ger\xE4t"));
            for (std::uint32_t i = 0; i < count; ++i) {
                char name[16];
                std::snprintf(name, sizeof name, "%s%06u", prefix, i);
                RegKey &entry = list.CreateSubkey(name);
                if (kind == 1)
                    entry.SetValue("HardWareKey", reg::SZ,
                                   Sz("ROOT\\MISSING\\" + std::string(name)));
                else if (kind == 2)
                    entry.SetValue("HardWareKey", reg::SZ, Sz("ROOT\\LEGACY\\0000"));
            }
        }
    }

    void CdromService() {
        if (c_.Chance(50, "cdrom service")) {
            RegKey &key =
                MakeKey(hkey::LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Cdrom");
            key.denyWrite = c_.Chance(10, "cdrom service read-only");
            key.SetValue("Start", reg::DWORD, {1, 0, 0, 0});
            if (c_.Chance(70, "cdrom autorun")) {
                static const std::uint32_t kSizes[] = {4, 1, 0, 2, 5, 8};
                static const unsigned char kBytes[] = {1, 0, 2, 0xFF};
                Bytes data(c_.Chance(20, "cdrom autorun odd size")
                               ? kSizes[c_.Below(6, "cdrom autorun size")]
                               : 4);
                for (std::size_t i = 0; i < data.size(); ++i)
                    data[i] = i == 0 || c_.Chance(15, "cdrom autorun high byte")
                                  ? kBytes[c_.Below(4, "cdrom autorun byte")]
                                  : 0;
                static const std::uint32_t kTypes[] = {reg::BINARY, reg::SZ, REG_NONE};
                const std::uint32_t type = c_.Chance(20, "cdrom autorun type other")
                                               ? kTypes[c_.Below(3, "cdrom autorun type")]
                                               : reg::DWORD;
                key.SetValue(Spell(c_, "AutoRun"), type, std::move(data));
            }
            Neighbours(key);
        }
        if (c_.Chance(20, "cdfs service"))
            MakeKey(hkey::LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Cdfs")
                .SetValue("AutoRun", reg::DWORD, {1, 0, 0, 0});
    }

    void Unrelated() {
        if (c_.Chance(50, "usual keys")) {
            MakeKey(hkey::CURRENT_USER, "Control Panel\\Desktop")
                .SetValue("Wallpaper", reg::SZ, Sz("(Kein)"));
            MakeKey(hkey::DYN_DATA, "PerfStats\\StatData")
                .SetValue("KERNEL\\CPUUsage", reg::BINARY, {7, 0, 0, 0});
            MakeKey(hkey::LOCAL_MACHINE, "Enum\\Root\\*PNP0C01\\0000")
                .SetValue("DeviceDesc", reg::SZ, Sz("Systemplatine"));
        }
        for (std::uint32_t n = c_.Below(4, "unrelated keys"); n > 0; --n) {
            const RegHandle root = RegTree::kRoots[c_.Below(3, "unrelated root")];
            RegKey &key = MakeKey(root, RandomPath(c_));
            key.denyWrite = c_.Chance(10, "unrelated read-only");
            Neighbours(key);
        }
    }

    Chooser &c_;
    const GeneratorLimits &limits_;
    RegTree &tree_;
    std::vector<std::string> devicePaths_;
};

// --- The rules, worked out on the store -------------------------------------------------------

std::string UpToNul(const std::string &text) {
    return text.substr(0, text.find('\0'));
}

// Names match without regard to the case of ASCII letters and of the Windows-1252 letters.
unsigned char FoldChar(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A: // s caron
    case 0x9C: // oe
    case 0x9E: // z caron
        return static_cast<unsigned char>(c - 0x10);
    case 0xFF: // y diaeresis
        return 0x9F;
    default:
        return c;
    }
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldChar(static_cast<unsigned char>(a[i])) !=
            FoldChar(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A key path reaches the registry as a C string: it ends at its first NUL. Its components are
// separated by backslashes; empty ones name no key.
RegKey *OpenPath(const RegTree &tree, RegHandle root, const std::string &path) {
    const RegKey *key = tree.Root(root);
    const std::string_view whole(path.c_str());
    std::size_t start = 0;
    while (key && start <= whole.size()) {
        std::size_t end = whole.find('\\', start);
        if (end == std::string_view::npos)
            end = whole.size();
        const std::string_view part = whole.substr(start, end - start);
        if (!part.empty()) {
            const auto it =
                std::find_if(key->subkeys.begin(), key->subkeys.end(),
                             [&](const auto &sub) { return SameName(sub->name, part); });
            key = it == key->subkeys.end() ? nullptr : it->get();
        }
        start = end + 1;
    }
    return const_cast<RegKey *>(key);
}

RegValue *FindValue(RegKey *key, std::string_view name) {
    if (!key)
        return nullptr;
    const auto it = std::find_if(key->values.begin(), key->values.end(),
                                 [&](const RegValue &v) { return SameName(v.name, name); });
    return it == key->values.end() ? nullptr : &*it;
}

enum class Read { Done, Missing, TooBig };

// A value that fits is copied to the start of the buffer; otherwise the buffer stays as it was.
Read ReadInto(const RegKey *key, const char *name, std::string &buffer,
              std::uint32_t *type = nullptr) {
    const RegValue *value = FindValue(const_cast<RegKey *>(key), name);
    if (!value)
        return Read::Missing;
    if (value->data.size() > buffer.size())
        return Read::TooBig;
    std::copy(value->data.begin(), value->data.end(), buffer.begin());
    if (type)
        *type = value->type;
    return Read::Done;
}

bool IsPlay(const std::string &text) {
    if (text.size() != 4)
        return false;
    for (std::size_t i = 0; i < 4; ++i)
        if (LowerChar(static_cast<unsigned char>(text[i])) != "play"[i])
            return false;
    return true;
}

const char kUserPolicy[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char kMachinePolicy[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char kAudioShell[] = "Software\\Classes\\AudioCD\\shell";
const char kList[] = "Config Manager\\Enum";
const char kCdrom[] = "System\\CurrentControlSet\\Services\\Cdrom";
const char kAllDrivesLabel[] = "<all drives>"; // what ModelForm shows for the note

// --- Reporting --------------------------------------------------------------------------------

std::string Show(const std::string &text, std::size_t limit = 48) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        }
    }
    out += '"';
    if (text.size() > limit)
        out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

std::string ShowValue(const RegValue &value) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "type %u, ", value.type);
    return buf + Show(std::string(value.data.begin(), value.data.end()));
}

std::string ShowBoxes(const std::array<int, kCheckCount> &boxes) {
    std::string s;
    for (int v : boxes)
        s += static_cast<char>('0' + v);
    return s;
}

std::string StepName(int step) {
    return step == Scenario::kStandard ? "Standard" : "Check1(" + std::to_string(step) + ")";
}

class Lines {
  public:
    explicit Lines(std::size_t max) : max_(max) {}
    void Add(const std::string &line) {
        if (count_++ < max_)
            text_ += line + "\n";
    }
    bool Full() const { return count_ >= max_; }
    std::string Text() const {
        if (count_ <= max_)
            return text_;
        return text_ + "... and " + std::to_string(count_ - max_) + " more\n";
    }

  private:
    std::size_t max_;
    std::size_t count_ = 0;
    std::string text_;
};

template <typename T, typename Name>
std::map<std::string, const T *> ByFoldedName(const std::vector<T> &items, Name name) {
    std::map<std::string, const T *> byName;
    for (const T &item : items)
        byName.emplace(FoldName(name(item)), &item);
    return byName;
}

void DiffKey(const RegKey &e, const RegKey &a, const std::string &path, Lines &out) {
    if (e.name != a.name)
        out.Add(path + ": key spelt " + Show(a.name) + ", was " + Show(e.name));
    if (e.denyWrite != a.denyWrite)
        out.Add(path + ": write protection changed");

    const auto sameValue = [](const RegValue &x, const RegValue &y) {
        return x.name == y.name && x.type == y.type && x.data == y.data;
    };
    if (!std::equal(e.values.begin(), e.values.end(), a.values.begin(), a.values.end(),
                    sameValue)) {
        const auto valueName = [](const RegValue &v) -> const std::string & { return v.name; };
        const auto ev = ByFoldedName(e.values, valueName);
        const auto av = ByFoldedName(a.values, valueName);
        for (const auto &[folded, value] : ev) {
            auto it = av.find(folded);
            if (it == av.end())
                out.Add(path + ": value removed: " + Show(value->name));
            else if (!sameValue(*it->second, *value))
                out.Add(path + ": value changed: " + Show(value->name) + " expected " +
                        ShowValue(*value) + ", found " + Show(it->second->name) + " " +
                        ShowValue(*it->second));
        }
        for (const auto &[folded, value] : av)
            if (!ev.count(folded))
                out.Add(path + ": value added: " + Show(value->name) + " " + ShowValue(*value));
    }

    // Mostly the same keys in the same places: compare those directly.
    bool same = e.subkeys.size() == a.subkeys.size();
    for (std::size_t i = 0; same && i < e.subkeys.size(); ++i)
        same = e.subkeys[i]->name == a.subkeys[i]->name;
    if (same) {
        for (std::size_t i = 0; i < e.subkeys.size() && !out.Full(); ++i)
            DiffKey(*e.subkeys[i], *a.subkeys[i], path + "\\" + e.subkeys[i]->name, out);
        return;
    }
    const auto keyName = [](const std::unique_ptr<RegKey> &k) -> const std::string & {
        return k->name;
    };
    const auto ek = ByFoldedName(e.subkeys, keyName);
    const auto ak = ByFoldedName(a.subkeys, keyName);
    for (const auto &[folded, key] : ek) {
        auto it = ak.find(folded);
        if (it == ak.end())
            out.Add(path + "\\" + (*key)->name + ": key removed");
        else
            DiffKey(**key, **it->second, path + "\\" + (*key)->name, out);
    }
    for (const auto &[folded, key] : ak)
        if (!ek.count(folded))
            out.Add(path + "\\" + (*key)->name + ": key added");
}

// Creates or replaces a value as a write through an opened key does; false where the key is
// missing or refuses writing.
bool Write(RegKey *key, const char *name, std::uint32_t type, const Bytes &data) {
    if (!key || key->denyWrite)
        return false;
    if (RegValue *value = FindValue(key, name)) {
        value->type = type; // a value written again keeps its stored spelling
        value->data = data;
    } else {
        key->values.push_back(RegValue{name, type, data});
    }
    return true;
}

} // namespace

Scenario BuildScenario(Chooser &chooser, const GeneratorLimits &limits) {
    Scenario scenario;
    Builder(chooser, limits, scenario.tree).Run();
    for (std::uint32_t n = chooser.Below(13, "steps"); n > 0; --n)
        scenario.steps.push_back(static_cast<int>(chooser.Below(9, "step")));
    scenario.ok = chooser.Chance(50, "ok");
    return scenario;
}

Prediction Predict(const RegTree &tree) {
    Prediction p;

    std::uint32_t type = 0;
    p.maskReadAsDword = ReadInto(OpenPath(tree, hkey::CURRENT_USER, kUserPolicy),
                                 "NoDriveTypeAutoRun", p.driveTypeData, &type) == Read::Done &&
                        type == reg::DWORD;
    const auto mask = static_cast<unsigned char>(p.driveTypeData[0]);
    for (int i = kRemovable; i <= kRamDisk; ++i)
        p.boxes[static_cast<std::size_t>(i)] = (mask >> i) & 1 ? 0 : 1;
    p.boxes[kProgramCd] = p.boxes[kCdRom];

    p.audioCdVerb = std::string(256, ' ');
    ReadInto(OpenPath(tree, hkey::LOCAL_MACHINE, kAudioShell), "", p.audioCdVerb);
    p.boxes[kAudioCd] = IsPlay(UpToNul(p.audioCdVerb)) ? 1 : 0;

    p.label = ModelForm::kNoDevice;
    if (const RegKey *list = OpenPath(tree, hkey::DYN_DATA, kList)) {
        for (const auto &entry : list->subkeys) {
            if (entry->name.size() + 1 > 256) // the name and its NUL do not fit the buffer
                break;
            // A plain name opens the entry itself; one with a NUL opens what its first part
            // names, if anything.
            const bool plain =
                !entry->name.empty() &&
                entry->name.find_first_of(std::string("\\\0", 2)) == std::string::npos;
            const RegKey *opened = plain
                                       ? entry.get()
                                       : OpenPath(tree, hkey::DYN_DATA,
                                                  std::string(kList) + "\\" + UpToNul(entry->name));
            p.cdHardwareKey = std::string(256, ' ');
            ReadInto(opened, "HardWareKey", p.cdHardwareKey);
            const RegKey *device = OpenPath(tree, hkey::LOCAL_MACHINE, "Enum\\" + p.cdHardwareKey);
            if (ReadInto(device, "AutoInsertNotification", p.insertNotifyData) == Read::Done) {
                std::string description(256, ' ');
                ReadInto(device, "DeviceDesc", description);
                p.label = UpToNul(description);
                p.boxes[kMediaChange] = p.insertNotifyData[0] != 0 ? 1 : 0;
                p.source = MediaChangeSource::Device;
                break;
            }
        }
    } else if (const RegKey *cdrom = OpenPath(tree, hkey::LOCAL_MACHINE, kCdrom)) {
        std::string value(4, '\0');
        const Read read = ReadInto(cdrom, "AutoRun", value);
        p.cdromAutoRunExisted = read != Read::Missing;
        p.cdromAutoRunShown = read == Read::Done && value == std::string(4, '\0') ? 0 : 1;
        p.boxes[kMediaChange] = p.cdromAutoRunShown;
        p.label = kAllDrivesLabel;
        p.source = MediaChangeSource::CdromService;
    }
    return p;
}

std::string DiffTrees(const RegTree &expected, const RegTree &actual, std::size_t maxLines) {
    Lines out(maxLines);
    for (RegHandle root : RegTree::kRoots)
        DiffKey(*expected.Root(root), *actual.Root(root), RegTree::RootName(root), out);
    return out.Text();
}

std::string CheckScenario(const Scenario &scenario, const RegistryWrapper &wrap) {
    std::ostringstream failures;
    MemoryRegistry memory(scenario.tree);
    const std::unique_ptr<Registry> wrapper = wrap ? wrap(memory) : nullptr;
    ModelForm form;
    Settings settings(wrapper ? *wrapper : memory, form);
    form.settings = &settings;
    const Prediction p = Predict(scenario.tree);

    const auto expectEqual = [&](const char *what, const std::string &expected,
                                 const std::string &actual) {
        if (expected != actual)
            failures << what << ": " << Show(actual, 300) << ", expected " << Show(expected, 300)
                     << "\n";
    };
    const auto expectStoreUnchanged = [&](const char *when) {
        const std::string diff = DiffTrees(scenario.tree, memory.Tree());
        if (!diff.empty())
            failures << "the store changed " << when << ":\n" << diff;
    };
    const auto expectNoOpenKey = [&](const char *when) {
        if (memory.OpenHandles() != 0)
            failures << memory.OpenHandles() << " key(s) left open " << when << "\n";
    };

    settings.ReadValuesFromRegistry();
    expectNoOpenKey("by the start-up read");
    expectStoreUnchanged("by the start-up read");
    expectEqual("boxes after the start-up read", ShowBoxes(p.boxes), ShowBoxes(form.values));
    expectEqual("Label1", p.label, form.label);
    expectEqual("\"&aktiv\" enabled", p.source != MediaChangeSource::None ? "yes" : "no",
                form.enabled[kMediaChange] ? "yes" : "no");
    expectEqual("source of \"&aktiv\"", std::to_string(static_cast<int>(p.source)),
                std::to_string(static_cast<int>(settings.mediaChangeSource())));
    expectEqual("DriveTypeData", p.driveTypeData, settings.DriveTypeData);
    expectEqual("AudioCdVerb", p.audioCdVerb, settings.AudioCdVerb);
    expectEqual("CdHardwareKey", p.cdHardwareKey, settings.CdHardwareKey);
    expectEqual("InsertNotifyData", p.insertNotifyData, settings.InsertNotifyData);
    if (!failures.str().empty())
        return failures.str();

    // The boxes as the user must see them: a click toggles its box, and "&CD-ROM" and
    // "&Programm-CD" move together.
    std::array<int, kCheckCount> boxes = p.boxes;
    for (std::size_t n = 0; n < scenario.steps.size(); ++n) {
        const int step = scenario.steps[n];
        if (step == Scenario::kStandard) {
            settings.SetDefaultValues();
            boxes[kRemovable] = boxes[kRemote] = 0;
            boxes[kFixed] = boxes[kCdRom] = boxes[kRamDisk] = boxes[kProgramCd] = 1;
            boxes[kAudioCd] = 1;
        } else {
            form.UserClick(step);
            auto &box = boxes[static_cast<std::size_t>(step)];
            box ^= 1;
            if (step == kCdRom)
                boxes[kProgramCd] = box;
            if (step == kProgramCd)
                boxes[kCdRom] = box;
        }
        if (form.values != boxes || form.values[kProgramCd] != form.values[kCdRom]) {
            failures << "boxes after step " << n + 1 << " (" << StepName(step)
                     << "): " << ShowBoxes(form.values) << ", expected " << ShowBoxes(boxes)
                     << "\n";
            return failures.str();
        }
    }
    expectNoOpenKey("by the clicks");
    if (!scenario.ok) {
        if (!scenario.steps.empty()) // without clicks the read was the last chance to write
            expectStoreUnchanged("by the clicks");
        return failures.str();
    }
    if (!failures.str().empty())
        return failures.str();

    const SaveReport report = settings.SaveValues();
    expectNoOpenKey("by the save");

    // The store as it must be: the three values written where their keys exist and accept it.
    RegTree expected = scenario.tree;
    Bytes mask(p.driveTypeData.begin(), p.driveTypeData.end());
    mask[0] &= 0x83;
    for (int i = kRemovable; i <= kRamDisk; ++i)
        if (boxes[static_cast<std::size_t>(i)] == 0)
            mask[0] = static_cast<unsigned char>(mask[0] | (1u << i));
    const bool masked =
        Write(OpenPath(expected, hkey::CURRENT_USER, kUserPolicy), "NoDriveTypeAutoRun",
              p.maskReadAsDword ? reg::DWORD : reg::BINARY, mask);
    const bool verbWritten = Write(OpenPath(expected, hkey::LOCAL_MACHINE, kAudioShell), "",
                                   reg::SZ, boxes[kAudioCd] ? Sz("play") : Sz(""));
    bool mediaChangeFailed = false;
    const int aktiv = boxes[kMediaChange];
    if (p.source == MediaChangeSource::Device) {
        mediaChangeFailed =
            !Write(OpenPath(expected, hkey::LOCAL_MACHINE, "Enum\\" + UpToNul(p.cdHardwareKey)),
                   "AutoInsertNotification", reg::BINARY, {static_cast<unsigned char>(aktiv)});
    } else if (p.source == MediaChangeSource::CdromService &&
               (aktiv != p.cdromAutoRunShown || p.cdromAutoRunExisted)) {
        mediaChangeFailed = !Write(OpenPath(expected, hkey::LOCAL_MACHINE, kCdrom), "AutoRun",
                                   reg::DWORD, {static_cast<unsigned char>(aktiv), 0, 0, 0});
    }
    const std::string diff = DiffTrees(expected, memory.Tree());
    if (!diff.empty())
        failures << "the store after \"&OK\" differs from the three values written:\n" << diff;

    // A machine-wide mask decides when it is there and is not the one just saved.
    bool machineDecides = false;
    std::string machine(4, '\0');
    switch (ReadInto(OpenPath(scenario.tree, hkey::LOCAL_MACHINE, kMachinePolicy),
                     "NoDriveTypeAutoRun", machine)) {
    case Read::Done:
        machineDecides = machine != std::string(mask.begin(), mask.end());
        break;
    case Read::TooBig:
        machineDecides = true;
        break;
    case Read::Missing:
        break;
    }
    const auto flag = [](bool b) { return b ? "true" : "false"; };
    expectEqual("report: drive types not saved", flag(!masked), flag(report.driveTypesFailed));
    expectEqual("report: audio CD not saved", flag(!verbWritten), flag(report.audioCdFailed));
    expectEqual("report: media change not saved", flag(mediaChangeFailed),
                flag(report.mediaChangeFailed));
    expectEqual("report: machine policy decides", flag(machineDecides),
                flag(report.machinePolicyDecides));
    return failures.str();
}

std::string DescribeScenario(const Scenario &scenario) {
    std::string out = "steps:";
    for (int step : scenario.steps)
        out += " " + StepName(step);
    if (scenario.steps.empty())
        out += " none";
    out += scenario.ok ? ", then \"&OK\"\n" : ", then \"&Abbrechen\"\n";
    out += "registry at start (\\0 stands for a NUL inside a name):\n";
    for (char c : ExportRegedit4(scenario.tree)) {
        if (c == '\0')
            out += "\\0";
        else
            out += c;
    }
    return out;
}

} // namespace quenzel
