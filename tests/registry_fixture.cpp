// Registries for the tests: REGEDIT4 text in, a listing of the whole store out.
#include "registry_fixture.h"

#include <algorithm>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace quenzel {

namespace {

constexpr std::pair<RegHandle, const char *> kRoots[] = {
    {hkey::CURRENT_USER, "HKEY_CURRENT_USER"},
    {hkey::LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {hkey::DYN_DATA, "HKEY_DYN_DATA"}};

// A key; a value's name (@ the default) and its data (a string, a dword, hex bytes of a type, or -
// to delete it); or ;deny.
const std::regex
    kLine(R"re(\[(HKEY_[A-Z_]+)(.*)\]|(?:@|"((?:[^"\\]|\\.)*)")=(?:"((?:[^"\\]|\\.)*)")re"
          R"re(|dword:([0-9a-f]{8})|hex(?:\(([0-9a-f]+)\))?:((?:[0-9a-f]{2},?)*)|(-))|(;deny))re");

const auto Unescaped = [](const std::string &quoted) {
    return std::regex_replace(quoted, std::regex(R"(\\(.))"), "$1");
};

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
        std::smatch m;
        if (line.empty() || line == "REGEDIT4")
            continue;
        if (!std::regex_match(line, m, kLine) || (!key && !m[1].matched))
            throw std::runtime_error("cannot read REGEDIT4 line: " + line);
        if (m[1].matched) {
            key = nullptr;
            for (const auto &[root, name] : kRoots)
                if (m[1] == name)
                    key = &tree.Create(root, m[2].str());
        } else if (m[9].matched) {
            key->denyWrite = true;
        } else if (m[8].matched) {
            key->values.erase(Unescaped(m[3]));
        } else if (m[4].matched) {
            const std::string data = Unescaped(m[4]);
            key->SetValue(Unescaped(m[3]), reg::SZ, {data.c_str(), data.c_str() + data.size() + 1});
        } else { // dword: or hex: bytes, of REG_BINARY or the type in parentheses
            const std::string hex = m[5].matched ? m.str(5) : m.str(7);
            std::vector<unsigned char> bytes;
            for (std::size_t i = 0; i + 1 < hex.size(); i += m[5].matched ? 2 : 3)
                bytes.push_back(
                    static_cast<unsigned char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
            if (m[5].matched) // little-endian
                std::reverse(bytes.begin(), bytes.end());
            const auto type = m[5].matched   ? reg::DWORD
                              : m[6].matched ? std::stoul(m[6], nullptr, 16)
                                             : reg::BINARY;
            key->SetValue(Unescaped(m[3]), static_cast<std::uint32_t>(type), bytes);
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
