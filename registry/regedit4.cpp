// Registry contents as REGEDIT4 text, the format the registry editor exports and imports.
#include "regedit4.h"

#include <cstdio>
#include <vector>

namespace quenzel {

namespace {

struct Line {
    int number;
    std::string text;
};

// Joins continued lines (a trailing backslash after hex data) and drops line ends.
std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    int number = 0;
    std::string pending;
    int pendingNumber = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(pos, end - pos));
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (pending.empty()) {
            pendingNumber = number;
        } else {
            line.erase(0, line.find_first_not_of(" \t") == std::string::npos
                              ? line.size()
                              : line.find_first_not_of(" \t"));
        }
        pending += line;
        if (!pending.empty() && pending.back() == '\\' &&
            pending.find("=hex") != std::string::npos) {
            pending.pop_back();
            continue;
        }
        lines.push_back({pendingNumber, pending});
        pending.clear();
    }
    return lines;
}

[[noreturn]] void Fail(const Line &line, const char *what) {
    throw Regedit4Error("REGEDIT4 line " + std::to_string(line.number) + ": " + what + ": " +
                        line.text);
}

RegHandle RootFromName(std::string_view name) {
    for (RegHandle root : RegTree::kRoots)
        if (FoldName(name) == FoldName(RegTree::RootName(root)))
            return root;
    return 0;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::vector<unsigned char> ParseHexBytes(const Line &line, std::string_view hex) {
    std::vector<unsigned char> bytes;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < hex.size() && (hex[i] == ' ' || hex[i] == '\t'))
            ++i;
    };
    skipBlanks();
    while (i < hex.size()) {
        if (i + 1 >= hex.size() || HexDigit(hex[i]) < 0 || HexDigit(hex[i + 1]) < 0)
            Fail(line, "bad hex byte");
        bytes.push_back(static_cast<unsigned char>(HexDigit(hex[i]) * 16 + HexDigit(hex[i + 1])));
        i += 2;
        skipBlanks();
        if (i < hex.size()) {
            if (hex[i] != ',')
                Fail(line, "expected ','");
            ++i;
            skipBlanks();
        }
    }
    return bytes;
}

// Reads a quoted string starting at text[pos] == '"'; returns the position after it.
std::size_t ParseQuoted(const Line &line, const std::string &text, std::size_t pos,
                        std::string &out) {
    if (pos >= text.size() || text[pos] != '"')
        Fail(line, "expected '\"'");
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '"')
            return pos + 1;
        if (c == '\\' && pos + 1 < text.size())
            c = text[++pos];
        out += c;
    }
    Fail(line, "unterminated string");
}

void ParseValue(const Line &line, RegKey &key) {
    const std::string &text = line.text;
    std::string name;
    std::size_t pos;
    if (text[0] == '@') {
        pos = 1;
    } else {
        pos = ParseQuoted(line, text, 0, name);
    }
    if (pos >= text.size() || text[pos] != '=')
        Fail(line, "expected '='");
    const std::string data = text.substr(pos + 1);
    if (data == "-") {
        key.DeleteValue(name);
    } else if (!data.empty() && data[0] == '"') {
        std::string str;
        if (ParseQuoted(line, data, 0, str) != data.size())
            Fail(line, "text after string");
        std::vector<unsigned char> bytes(str.begin(), str.end());
        bytes.push_back(0);
        key.SetValue(name, reg::SZ, std::move(bytes));
    } else if (data.rfind("dword:", 0) == 0) {
        const std::string digits = data.substr(6);
        if (digits.size() != 8)
            Fail(line, "dword needs 8 hex digits");
        std::uint32_t v = 0;
        for (char c : digits) {
            if (HexDigit(c) < 0)
                Fail(line, "bad dword");
            v = v * 16 + static_cast<std::uint32_t>(HexDigit(c));
        }
        key.SetValue(name, reg::DWORD,
                     {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                      static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)});
    } else if (data.rfind("hex:", 0) == 0) {
        key.SetValue(name, reg::BINARY, ParseHexBytes(line, std::string_view(data).substr(4)));
    } else if (data.rfind("hex(", 0) == 0) {
        const std::size_t close = data.find("):");
        if (close == std::string::npos || close == 4)
            Fail(line, "bad hex(type)");
        std::uint32_t type = 0;
        for (std::size_t i = 4; i < close; ++i) {
            if (HexDigit(data[i]) < 0)
                Fail(line, "bad hex(type)");
            type = type * 16 + static_cast<std::uint32_t>(HexDigit(data[i]));
        }
        key.SetValue(name, type, ParseHexBytes(line, std::string_view(data).substr(close + 2)));
    } else {
        Fail(line, "unknown value data");
    }
}

void SplitRootPath(const Line &line, std::string_view full, RegHandle &root,
                   std::string_view &path) {
    const std::size_t slash = full.find('\\');
    root = RootFromName(full.substr(0, slash));
    if (!root)
        Fail(line, "unknown root key");
    path = slash == std::string_view::npos ? std::string_view() : full.substr(slash + 1);
}

bool PrintableString(const RegValue &value) {
    if (value.type != reg::SZ || value.data.empty() || value.data.back() != 0)
        return false;
    for (std::size_t i = 0; i + 1 < value.data.size(); ++i)
        if (value.data[i] < 0x20 || value.data[i] == 0x7F)
            return false;
    return true;
}

void AppendQuoted(std::string &out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
}

void AppendHex(std::string &out, const std::vector<unsigned char> &bytes) {
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? ",%02x" : "%02x", bytes[i]);
        out += buf;
    }
}

void ExportKey(std::string &out, const RegKey &key, const std::string &path, bool isRoot) {
    if (!isRoot || !key.values.empty()) {
        out += "\n[" + path + "]\n";
        for (const RegValue &value : key.values) {
            if (value.name.empty())
                out += '@';
            else
                AppendQuoted(out, value.name);
            out += '=';
            char buf[32];
            if (PrintableString(value)) {
                AppendQuoted(out,
                             std::string_view(reinterpret_cast<const char *>(value.data.data()),
                                              value.data.size() - 1));
            } else if (value.type == reg::DWORD && value.data.size() == 4) {
                std::snprintf(buf, sizeof buf, "dword:%02x%02x%02x%02x", value.data[3],
                              value.data[2], value.data[1], value.data[0]);
                out += buf;
            } else {
                if (value.type == reg::BINARY) {
                    out += "hex:";
                } else {
                    std::snprintf(buf, sizeof buf, "hex(%x):", value.type);
                    out += buf;
                }
                AppendHex(out, value.data);
            }
            out += '\n';
        }
        if (key.denyWrite)
            out += "; (not writable)\n";
    }
    for (const auto &sub : key.subkeys)
        ExportKey(out, *sub, path + "\\" + sub->name, false);
}

} // namespace

void ImportRegedit4(RegTree &tree, std::string_view text) {
    const std::vector<Line> lines = SplitLines(text);
    RegKey *current = nullptr;
    bool sawHeader = false;
    for (const Line &line : lines) {
        const std::string &t = line.text;
        if (t.find_first_not_of(" \t") == std::string::npos || t[0] == ';')
            continue;
        if (!sawHeader) {
            if (t != "REGEDIT4")
                Fail(line, "expected REGEDIT4");
            sawHeader = true;
            continue;
        }
        if (t[0] == '[') {
            if (t.back() != ']')
                Fail(line, "expected ']'");
            std::string_view full = std::string_view(t).substr(1, t.size() - 2);
            const bool remove = !full.empty() && full[0] == '-';
            if (remove)
                full.remove_prefix(1);
            RegHandle root;
            std::string_view path;
            SplitRootPath(line, full, root, path);
            if (remove) {
                current = nullptr;
                std::vector<std::string_view> parts = SplitKeyPath(path);
                if (parts.empty())
                    Fail(line, "cannot remove a root key");
                const std::string_view leaf = parts.back();
                parts.pop_back();
                RegKey *parent = tree.Root(root);
                for (std::string_view part : parts)
                    if (parent)
                        parent = parent->FindSubkey(part);
                if (parent)
                    parent->DeleteSubkey(leaf);
            } else {
                current = &tree.Create(root, path);
            }
            continue;
        }
        if (!current)
            Fail(line, "value outside a key");
        ParseValue(line, *current);
    }
    if (!sawHeader)
        throw Regedit4Error("REGEDIT4: empty text");
}

RegTree ParseRegedit4(std::string_view text) {
    RegTree tree;
    ImportRegedit4(tree, text);
    return tree;
}

std::string ExportRegedit4(const RegTree &tree) {
    std::string out = "REGEDIT4\n";
    for (RegHandle root : RegTree::kRoots)
        ExportKey(out, *tree.Root(root), RegTree::RootName(root), true);
    return out;
}

} // namespace quenzel
