// A scratch registry for one test: filled from REGEDIT4 text, compared as a whole afterwards.
// Natively it is the in-memory registry; under Wine it is advapi32 with the three roots
// redirected into a scratch key.
#pragma once

#include "../registry/reg_tree.h"
#include "../registry/registry.h"

#include <memory>
#include <string>
#include <string_view>

namespace quenzel {

class RegistryFixture {
  public:
    virtual ~RegistryFixture() = default;
    virtual Registry &registry() = 0;
    // Replaces everything under the three roots with the text.
    virtual void Load(std::string_view regedit4) = 0;
    // Makes a key refuse KEY_SET_VALUE, as a security descriptor would; false where that cannot
    // be done.
    virtual bool DenyWrite(RegHandle root, std::string_view path) = 0;
    virtual RegTree Snapshot() = 0;
    // Keys still open, where the provider can tell; -1 where it cannot.
    virtual long OpenHandles() = 0;
    virtual const char *Name() const = 0;
};

// At most one fixture may exist at a time.
std::unique_ptr<RegistryFixture> MakeRegistryFixture();

} // namespace quenzel
