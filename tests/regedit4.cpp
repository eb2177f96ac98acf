// Registry contents as REGEDIT4 text for the tests, and a listing of a whole store to compare.
#include "regedit4.h"

#include <cstdio>
#include <stdexcept>

namespace quenzel {

namespace {

constexpr struct {
    RegHandle handle;
    const char *name;
} kRoots[] = {{hkey::CURRENT_USER, "HKEY_CURRENT_USER"},
              {hkey::LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
              {hkey::DYN_DATA, "HKEY_DYN_DATA"}};

[[noreturn]] void Fail(const std::string &line) {
    throw std::runtime_error("cannot read REGEDIT4 line: " + line);
}

// Hex digits, commas between bytes.
std::vector<unsigned char> HexBytes(const std::string &line, std::string_view hex) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 3) {
        unsigned byte;
        if (std::sscanf(std::string(hex.substr(i, 2)).c_str(), "%2x", &byte) != 1)
            Fail(line);
        bytes.push_back(static_cast<unsigned char>(byte));
    }
    return bytes;
}

// A quoted string from text[pos]; returns the position after its closing quote.
std::size_t Quoted(const std::string &line, std::size_t pos, std::string &out) {
    for (++pos; pos < line.size() && line[pos] != '"'; ++pos)
        out += line[pos] == '\\' ? line[++pos] : line[pos];
    if (pos >= line.size())
        Fail(line);
    return pos + 1;
}

void Value(RegKey &key, const std::string &line) {
    std::string name;
    const std::size_t eq = line[0] == '@' ? 1 : Quoted(line, 0, name);
    if (line.compare(eq, 1, "=") != 0)
        Fail(line);
    const std::string_view data = std::string_view(line).substr(eq + 1);
    unsigned number = 0;
    if (data == "-") {
        key.values.erase(name);
    } else if (data[0] == '"') {
        std::string text;
        Quoted(line, eq + 1, text);
        std::vector<unsigned char> bytes(text.begin(), text.end());
        bytes.push_back(0);
        key.SetValue(name, reg::SZ, bytes);
    } else if (std::sscanf(data.data(), "dword:%8x", &number) == 1) {
        std::vector<unsigned char> bytes;
        for (int i = 0; i < 4; ++i, number >>= 8)
            bytes.push_back(static_cast<unsigned char>(number));
        key.SetValue(name, reg::DWORD, bytes);
    } else if (data.rfind("hex:", 0) == 0) {
        key.SetValue(name, reg::BINARY, HexBytes(line, data.substr(4)));
    } else if (std::sscanf(data.data(), "hex(%x):", &number) == 1) {
        key.SetValue(name, number, HexBytes(line, data.substr(data.find(':') + 1)));
    } else {
        Fail(line);
    }
}

void List(std::string &out, RegKey &key, const std::string &path) {
    out += path + (key.denyWrite ? " (not writable)\n" : "\n");
    for (const auto &[name, value] : key.values) {
        char type[16];
        std::snprintf(type, sizeof type, "%u:", static_cast<unsigned>(value.type));
        out += "  \"" + name + "\"=" + type;
        for (unsigned char byte : value.data) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02x,", byte);
            out += hex;
        }
        out += '\n';
    }
    for (auto &[name, sub] : key.subkeys)
        List(out, sub, path + "\\" + name);
}

} // namespace

void ImportRegedit4(RegTree &tree, std::string_view text) {
    RegKey *key = nullptr;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string line(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line == "REGEDIT4") {
            continue;
        } else if (line[0] == '[' && line.back() == ']') {
            const std::string path = line.substr(1, line.size() - 2);
            key = nullptr;
            for (const auto &root : kRoots)
                if (path.rfind(root.name, 0) == 0)
                    key = &tree.Create(root.handle, path.substr(std::string(root.name).size()));
            if (!key)
                Fail(line);
        } else if (key) {
            Value(*key, line);
        } else {
            Fail(line);
        }
    }
}

std::string Listing(RegTree tree) {
    std::string out;
    for (const auto &root : kRoots)
        List(out, *tree.Root(root.handle), root.name);
    return out;
}

} // namespace quenzel
