// The scratch registry of the native tests: the in-memory registry.
#include "registry_fixture.h"

#include "../registry/memory_registry.h"

namespace quenzel {

namespace {

class MemoryFixture final : public RegistryFixture {
  public:
    Registry &registry() override { return registry_; }
    void Load(std::string_view regedit4) override {
        registry_.Tree() = RegTree();
        ImportRegedit4(registry_.Tree(), regedit4);
    }
    bool DenyWrite(RegHandle root, const std::string &path) override {
        RegKey *key = registry_.Tree().Find(root, path);
        return key && (key->denyWrite = true);
    }
    RegTree Snapshot() override { return registry_.Tree(); }
    long OpenHandles() override { return static_cast<long>(registry_.OpenHandles()); }

  private:
    MemoryRegistry registry_;
};

} // namespace

std::unique_ptr<RegistryFixture> MakeRegistryFixture() {
    return std::make_unique<MemoryFixture>();
}

} // namespace quenzel
