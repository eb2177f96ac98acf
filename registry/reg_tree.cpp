// A whole registry held in memory: keys and values with their stored spellings.
#include "reg_tree.h"

#include <algorithm>

namespace quenzel {

namespace {

unsigned char FoldChar(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 'a' + 'A');
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) // Windows-1252 accented small letters
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

// Calls step with each component of path, until step returns null.
template <typename Step> RegKey *Walk(RegKey *key, std::string_view path, Step step) {
    while (key && !path.empty()) {
        const std::size_t end = std::min(path.find('\\'), path.size());
        if (end > 0)
            key = step(*key, path.substr(0, end));
        path.remove_prefix(std::min(end + 1, path.size()));
    }
    return key;
}

} // namespace

bool FoldedLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return FoldChar(static_cast<unsigned char>(x)) < FoldChar(static_cast<unsigned char>(y));
    });
}

RegKey *RegKey::FindSubkey(std::string_view name) {
    const auto it = subkeys.find(name);
    return it == subkeys.end() ? nullptr : &it->second;
}

RegKey &RegKey::CreateSubkey(std::string_view name) {
    const auto it = subkeys.find(name);
    return it != subkeys.end() ? it->second : subkeys[std::string(name)];
}

void RegKey::SetValue(std::string_view name, std::uint32_t type, std::vector<unsigned char> data) {
    const auto it = values.find(name);
    RegValue &value = it != values.end() ? it->second : values[std::string(name)];
    value = RegValue{type, std::move(data)};
}

RegKey *RegTree::Root(RegHandle root) {
    switch (root) {
    case hkey::CURRENT_USER:
        return &currentUser_;
    case hkey::LOCAL_MACHINE:
        return &localMachine_;
    case hkey::DYN_DATA:
        return &dynData_;
    default:
        return nullptr;
    }
}

RegKey *FindPath(RegKey *key, std::string_view path) {
    return Walk(key, path,
                [](RegKey &parent, std::string_view name) { return parent.FindSubkey(name); });
}

RegKey *RegTree::Find(RegHandle root, std::string_view path) {
    return FindPath(Root(root), path);
}

RegKey &RegTree::Create(RegHandle root, std::string_view path) {
    return *Walk(Root(root), path,
                 [](RegKey &key, std::string_view name) { return &key.CreateSubkey(name); });
}

} // namespace quenzel
