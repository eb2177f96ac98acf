// An in-memory registry that behaves as the system's does at the calls the tool makes.
#include "memory_registry.h"

#include <cstring>
#include <iterator>

namespace quenzel {

namespace {
constexpr RegResult kInvalidParameter = 87;
constexpr std::uint32_t kAllAccess = 0xF003F;
constexpr std::uint32_t kExpandSz = 2, kMultiSz = 7;
} // namespace

MemoryRegistry::OpenKey *MemoryRegistry::Lookup(RegHandle key) {
    if (RegKey *root = tree_.Root(key)) {
        rootKey_ = OpenKey{root, kAllAccess};
        return &rootKey_;
    }
    auto it = open_.find(key);
    return it == open_.end() ? nullptr : &it->second;
}

RegResult MemoryRegistry::RegOpenKeyExA(RegHandle key, const char *subKey, std::uint32_t,
                                        std::uint32_t access, RegHandle *result) {
    if (!result)
        return kInvalidParameter;
    *result = 0;
    const OpenKey *parent = Lookup(key);
    if (!parent)
        return error::INVALID_HANDLE;
    RegKey *found = FindPath(parent->key, subKey ? subKey : "");
    if (!found)
        return error::FILE_NOT_FOUND;
    if ((access & key::SET_VALUE) && found->denyWrite)
        return error::ACCESS_DENIED;
    const RegHandle handle = nextHandle_;
    nextHandle_ += 4;
    open_.emplace(handle, OpenKey{found, access});
    *result = handle;
    return error::SUCCESS;
}

RegResult MemoryRegistry::RegQueryValueExA(RegHandle key, const char *valueName,
                                           std::uint32_t *type, unsigned char *data,
                                           std::uint32_t *size) {
    const OpenKey *open = Lookup(key);
    if (!open)
        return error::INVALID_HANDLE;
    if (!(open->access & key::QUERY_VALUE))
        return error::ACCESS_DENIED;
    if (data && !size)
        return kInvalidParameter;
    const auto it = open->key->values.find(valueName ? valueName : "");
    if (it == open->key->values.end())
        return error::FILE_NOT_FOUND;
    const RegValue &value = it->second;
    const auto length = static_cast<std::uint32_t>(value.data.size());
    if (type)
        *type = value.type;
    if (data && *size < length) {
        *size = length;
        return error::MORE_DATA;
    }
    if (data && length)
        std::memcpy(data, value.data.data(), length);
    // A string stored without its NUL gets one where the buffer has room, as on the NT family.
    const bool text = value.type == reg::SZ || value.type == kExpandSz || value.type == kMultiSz;
    if (data && text && length && length < *size && value.data.back() != 0)
        data[length] = 0;
    if (size)
        *size = length;
    return error::SUCCESS;
}

RegResult MemoryRegistry::RegSetValueExA(RegHandle key, const char *valueName, std::uint32_t type,
                                         const unsigned char *data, std::uint32_t size) {
    const OpenKey *open = Lookup(key);
    if (!open)
        return error::INVALID_HANDLE;
    if (!(open->access & key::SET_VALUE))
        return error::ACCESS_DENIED;
    if (!data && size)
        return kInvalidParameter;
    open->key->SetValue(valueName ? valueName : "", type, {data, data + size});
    return error::SUCCESS;
}

RegResult MemoryRegistry::RegEnumKeyA(RegHandle key, std::uint32_t index, char *name,
                                      std::uint32_t nameLength) {
    OpenKey *open = Lookup(key);
    if (!open)
        return error::INVALID_HANDLE;
    if (!(open->access & key::ENUMERATE_SUB_KEYS))
        return error::ACCESS_DENIED;
    Subkeys &subkeys = open->key->subkeys;
    if (index >= subkeys.size())
        return error::NO_MORE_ITEMS;
    if (index < open->enumIndex) { // no walk yet, or one that goes back: from the start
        open->enumAt = subkeys.begin();
        open->enumIndex = 0;
    }
    std::advance(open->enumAt, index - open->enumIndex);
    open->enumIndex = index;
    const std::string &subName = open->enumAt->first;
    if (!name || subName.size() + 1 > nameLength)
        return error::MORE_DATA;
    std::memcpy(name, subName.c_str(), subName.size() + 1);
    return error::SUCCESS;
}

RegResult MemoryRegistry::RegCloseKey(RegHandle key) {
    if (tree_.Root(key))
        return error::SUCCESS;
    return open_.erase(key) ? error::SUCCESS : error::INVALID_HANDLE;
}

} // namespace quenzel
