// Registries for the tests: REGEDIT4 text in, a listing of the whole store out.
#include "registry_fixture.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace quenzel {

namespace {

constexpr std::pair<RegHandle, const char *> kRoots[] = {
    {hkey::CURRENT_USER, "HKEY_CURRENT_USER"},
    {hkey::LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {hkey::DYN_DATA, "HKEY_DYN_DATA"}};

[[noreturn]] void Fail(const std::string &line) {
    throw std::runtime_error("cannot read REGEDIT4 line: " + line);
}

// A quoted string at line[pos], backslash escapes taken; returns the position after it.
std::size_t Quoted(const std::string &line, std::size_t pos, std::string &out) {
    for (++pos; pos < line.size() && line[pos] != '"'; ++pos)
        out += line[pos] == '\\' ? line[++pos] : line[pos];
    return pos + 1;
}

void Value(RegKey &key, const std::string &line) {
    std::string name, text;
    const std::size_t eq = line[0] == '@' ? 1 : Quoted(line, 0, name);
    const std::string data = line.substr(std::min(eq + 1, line.size()));
    unsigned type = reg::BINARY, number = 0, byte = 0;
    std::vector<unsigned char> bytes;
    if (line.compare(eq, 1, "=") != 0 || data.empty())
        Fail(line);
    if (data == "-")
        return (void)key.values.erase(name);
    if (data[0] == '"') {
        Quoted(line, eq + 1, text);
        bytes.assign(text.c_str(), text.c_str() + text.size() + 1);
        type = reg::SZ;
    } else if (std::sscanf(data.c_str(), "dword:%8x", &number) == 1) {
        for (int i = 0; i < 4; ++i, number >>= 8)
            bytes.push_back(static_cast<unsigned char>(number));
        type = reg::DWORD;
    } else if (data.rfind("hex", 0) == 0 && data.find(':') != std::string::npos) {
        std::sscanf(data.c_str(), "hex(%x)", &type);
        for (std::size_t i = data.find(':') + 1; i < data.size(); i += 3, bytes.push_back(byte))
            if (std::sscanf(data.c_str() + i, "%2x", &byte) != 1)
                Fail(line);
    } else {
        Fail(line);
    }
    key.SetValue(name, type, bytes);
}

void List(std::string &out, RegKey &key, const std::string &path) {
    out += path + "\n";
    for (const auto &[name, value] : key.values) {
        out += "  \"" + name + "\"=" + std::to_string(value.type) + ":";
        for (unsigned char byte : value.data)
            out += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15], ','};
        out += '\n';
    }
    for (auto &[name, sub] : key.subkeys)
        List(out, sub, path + "\\" + name);
}

} // namespace

void ImportRegedit4(RegTree &tree, std::string_view text) {
    RegKey *key = nullptr;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        if (line[0] == '[' && line.back() == ']') {
            const std::string path = line.substr(1, line.size() - 2);
            key = nullptr;
            for (const auto &[root, name] : kRoots)
                if (path.rfind(name, 0) == 0)
                    key = &tree.Create(root, path.substr(std::string_view(name).size()));
            if (!key)
                Fail(line);
        } else if (key && line == ";deny") {
            key->denyWrite = true;
        } else if (key && !line.empty()) {
            Value(*key, line);
        } else if (!line.empty() && line != "REGEDIT4") {
            Fail(line);
        }
    }
}

std::string Listing(RegTree tree) {
    std::string out;
    for (const auto &[root, name] : kRoots)
        List(out, *tree.Root(root), name);
    return out;
}

#ifndef _WIN32
std::unique_ptr<RegistryFixture> MakeRegistryFixture() {
    return std::make_unique<RegistryFixture>();
}
#endif

} // namespace quenzel
