// One opened registry key, closed when it goes out of scope.
#pragma once

#include "registry.h"

#include <string>

namespace quenzel {

// A value as a read found it: its type and bytes; read is false when it was missing or too long.
struct StoredValue {
    bool read = false;
    std::uint32_t type = 0;
    std::string bytes;
};

class Key {
  public:
    // A key that cannot be opened stays unusable: reads and writes through it fail and change
    // nothing, as the system's calls do with an invalid handle.
    Key(Registry &registry, RegHandle root, const std::string &path, std::uint32_t access)
        : registry_(registry) {
        if (registry_.RegOpenKeyExA(root, path.c_str(), 0, access, &handle_) != error::SUCCESS)
            handle_ = 0;
    }
    ~Key() { Close(); }
    Key(const Key &) = delete;
    Key &operator=(const Key &) = delete;

    bool IsOpen() const { return handle_ != 0; }
    RegHandle Handle() const { return handle_; }

    // Reads into the whole of buffer, whose length is passed as the size; the buffer keeps its
    // length and, when the read fails, its contents. found, if given, learns what was stored.
    RegResult Query(const char *valueName, std::string &buffer, StoredValue *found = nullptr) {
        std::uint32_t type = 0;
        auto size = static_cast<std::uint32_t>(buffer.size());
        const RegResult result = registry_.RegQueryValueExA(
            handle_, valueName, &type, reinterpret_cast<unsigned char *>(&buffer[0]), &size);
        if (found)
            *found = result == error::SUCCESS ? StoredValue{true, type, buffer.substr(0, size)}
                                              : StoredValue{};
        return result;
    }

    RegResult Set(const char *valueName, std::uint32_t type, const std::string &bytes) {
        return registry_.RegSetValueExA(handle_, valueName, type,
                                        reinterpret_cast<const unsigned char *>(bytes.data()),
                                        static_cast<std::uint32_t>(bytes.size()));
    }

    void Close() {
        if (handle_)
            registry_.RegCloseKey(handle_);
        handle_ = 0;
    }

  private:
    Registry &registry_;
    RegHandle handle_ = 0;
};

} // namespace quenzel
