// The scratch registry of the native tests: the in-memory registry.
#include "registry_fixture.h"

#include "../registry/memory_registry.h"
#include "../registry/regedit4.h"

namespace quenzel {

namespace {

class MemoryFixture final : public RegistryFixture {
  public:
    Registry &registry() override { return registry_; }
    void Load(std::string_view regedit4) override { registry_.Tree() = ParseRegedit4(regedit4); }
    bool DenyWrite(RegHandle root, std::string_view path) override {
        RegKey *key = registry_.Tree().Find(root, path);
        if (key)
            key->denyWrite = true;
        return key != nullptr;
    }
    RegTree Snapshot() override { return registry_.Snapshot(); }
    long OpenHandles() override { return static_cast<long>(registry_.OpenHandles()); }
    const char *Name() const override { return "in-memory"; }

  private:
    MemoryRegistry registry_;
};

} // namespace

std::unique_ptr<RegistryFixture> MakeRegistryFixture() {
    return std::make_unique<MemoryFixture>();
}

} // namespace quenzel
