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
    case 0x9A:
        return 0x8A; // s caron
    case 0x9C:
        return 0x8C; // oe
    case 0x9E:
        return 0x8E; // z caron
    case 0xFF:
        return 0x9F; // y diaeresis
    default:
        return c;
    }
}

template <typename T, typename GetName>
auto LowerBound(T &items, const std::string &folded, GetName getName) {
    return std::lower_bound(
        items.begin(), items.end(), folded,
        [&](const auto &item, const auto &f) { return FoldName(getName(item)) < f; });
}

const std::string &SubkeyName(const std::unique_ptr<RegKey> &k) {
    return k->name;
}
const std::string &ValueName(const RegValue &v) {
    return v.name;
}

} // namespace

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char &c : folded)
        c = static_cast<char>(FoldChar(static_cast<unsigned char>(c)));
    return folded;
}

RegKey::RegKey(const RegKey &other)
    : name(other.name), values(other.values), denyWrite(other.denyWrite) {
    subkeys.reserve(other.subkeys.size());
    for (const auto &sub : other.subkeys)
        subkeys.push_back(std::make_unique<RegKey>(*sub));
}

RegKey &RegKey::operator=(const RegKey &other) {
    if (this != &other)
        *this = RegKey(other);
    return *this;
}

RegKey *RegKey::FindSubkey(std::string_view keyName) const {
    const std::string folded = FoldName(keyName);
    auto it = LowerBound(subkeys, folded, SubkeyName);
    if (it == subkeys.end() || FoldName((*it)->name) != folded)
        return nullptr;
    return it->get();
}

RegKey &RegKey::CreateSubkey(std::string_view keyName) {
    const std::string folded = FoldName(keyName);
    auto it = LowerBound(subkeys, folded, SubkeyName);
    if (it != subkeys.end() && FoldName((*it)->name) == folded)
        return **it;
    return **subkeys.insert(it, std::make_unique<RegKey>(std::string(keyName)));
}

bool RegKey::DeleteSubkey(std::string_view keyName) {
    const std::string folded = FoldName(keyName);
    auto it = LowerBound(subkeys, folded, SubkeyName);
    if (it == subkeys.end() || FoldName((*it)->name) != folded)
        return false;
    subkeys.erase(it);
    return true;
}

const RegValue *RegKey::FindValue(std::string_view valueName) const {
    const std::string folded = FoldName(valueName);
    auto it = LowerBound(values, folded, ValueName);
    if (it == values.end() || FoldName(it->name) != folded)
        return nullptr;
    return &*it;
}

void RegKey::SetValue(std::string_view valueName, std::uint32_t type,
                      std::vector<unsigned char> data) {
    const std::string folded = FoldName(valueName);
    auto it = LowerBound(values, folded, ValueName);
    if (it != values.end() && FoldName(it->name) == folded) {
        it->type = type; // a replaced value keeps the spelling it was stored with
        it->data = std::move(data);
        return;
    }
    values.insert(it, RegValue{std::string(valueName), type, std::move(data)});
}

bool RegKey::DeleteValue(std::string_view valueName) {
    const std::string folded = FoldName(valueName);
    auto it = LowerBound(values, folded, ValueName);
    if (it == values.end() || FoldName(it->name) != folded)
        return false;
    values.erase(it);
    return true;
}

RegTree::RegTree()
    : currentUser_("HKEY_CURRENT_USER"), localMachine_("HKEY_LOCAL_MACHINE"),
      dynData_("HKEY_DYN_DATA") {}

RegKey *RegTree::Root(RegHandle root) {
    return const_cast<RegKey *>(static_cast<const RegTree *>(this)->Root(root));
}

const RegKey *RegTree::Root(RegHandle root) const {
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

const char *RegTree::RootName(RegHandle root) {
    switch (root) {
    case hkey::CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case hkey::LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    case hkey::DYN_DATA:
        return "HKEY_DYN_DATA";
    default:
        return nullptr;
    }
}

std::vector<std::string_view> SplitKeyPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

RegKey *RegTree::Find(RegHandle root, std::string_view path) const {
    const RegKey *key = Root(root);
    for (std::string_view part : SplitKeyPath(path)) {
        if (!key)
            break;
        key = key->FindSubkey(part);
    }
    return const_cast<RegKey *>(key);
}

RegKey &RegTree::Create(RegHandle root, std::string_view path) {
    RegKey *key = Root(root);
    for (std::string_view part : SplitKeyPath(path))
        key = &key->CreateSubkey(part);
    return *key;
}

} // namespace quenzel
