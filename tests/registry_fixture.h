// A scratch registry for one test: filled from REGEDIT4 text, compared as a whole afterwards.
// Natively it is the in-memory registry; under Wine it is advapi32 with the three roots
// redirected into scratch keys.
#pragma once

#include "regedit4.h"

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
    // Makes a key refuse key::SET_VALUE, as a security descriptor would.
    virtual bool DenyWrite(RegHandle root, const std::string &path) = 0;
    virtual RegTree Snapshot() = 0;
    // Keys still open; -1 where the provider cannot tell.
    virtual long OpenHandles() = 0;
    std::string Store() { return Listing(Snapshot()); }
};

// At most one fixture may exist at a time.
std::unique_ptr<RegistryFixture> MakeRegistryFixture();

} // namespace quenzel
