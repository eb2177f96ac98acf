// The engine on many generated registries: Cancel changes nothing, "&OK" changes at most the three
// values at their three places, and the boxes always show what the registry holds.
#include "invariants.h"

#include "../registry/regedit4.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace quenzel {
namespace {

constexpr std::uint32_t kBaseSeed = 1995;
constexpr std::uint32_t kDefaultCases = 10000;

// QUENZEL_PROPERTY_CASES sets the number of cases, QUENZEL_PROPERTY_SEED the seed of the first.
std::uint32_t FromEnvironment(const char *name, std::uint32_t fallback) {
    const char *text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10));
}

Scenario Generate(std::uint32_t seed) {
    SeededChooser chooser(seed);
    return BuildScenario(chooser);
}

// Runs the cases and reports the first few that break, each with its seed and its registry.
// Returns how many broke; with a faulty provider, stops at the first.
std::uint32_t RunCases(std::uint32_t first, std::uint32_t count, const RegistryWrapper &wrap,
                       std::string *firstFailure) {
    std::uint32_t broken = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t seed = first + i;
        const Scenario scenario = Generate(seed);
        const std::string failure = CheckScenario(scenario, wrap);
        if (failure.empty())
            continue;
        if (broken++ == 0 && firstFailure)
            *firstFailure = failure;
        if (wrap)
            break;
        if (!wrap && broken <= 3)
            ADD_FAILURE() << "case " << i << ", seed " << seed
                          << " (alone: QUENZEL_PROPERTY_SEED=" << seed
                          << " QUENZEL_PROPERTY_CASES=1)\n"
                          << failure << DescribeScenario(scenario);
    }
    return broken;
}

TEST(Invariants, GeneratedRegistriesKeepEverythingButTheThreeValues) {
    const std::uint32_t first = FromEnvironment("QUENZEL_PROPERTY_SEED", kBaseSeed);
    const std::uint32_t count = FromEnvironment("QUENZEL_PROPERTY_CASES", kDefaultCases);
    EXPECT_EQ(0u, RunCases(first, count, {}, nullptr)) << "of " << count << " cases";
    RecordProperty("cases", static_cast<int>(count));
}

// --- The generator reaches the start states that matter -----------------------------------------

TEST(Invariants, TheGeneratorReachesEveryKindOfStartState) {
    struct Seen {
        int device = 0, cdromService = 0, none = 0, deviceByteZero = 0, deviceByteSet = 0;
        int secondEntryTaken = 0, longList = 0, maskDword = 0, maskOddSize = 0, playChecked = 0;
        int policyDenied = 0, audioDenied = 0, deviceDenied = 0, cdromDenied = 0;
        int missingPolicy = 0, missingAudio = 0, noDeviceButEntries = 0, ok = 0, cancel = 0;
        int standard = 0, nulInEntryName = 0;
    } seen;
    for (std::uint32_t seed = kBaseSeed; seed < kBaseSeed + 3000; ++seed) {
        const Scenario s = Generate(seed);
        const Prediction p = Predict(s.tree);
        const RegTree &t = s.tree;
        const RegKey *policy = t.Find(hkey::CURRENT_USER, kPolicyKey);
        const RegKey *audio = t.Find(hkey::LOCAL_MACHINE, kAudioCdShellKey);
        const RegKey *list = t.Find(hkey::DYN_DATA, kDeviceListKey);
        const RegKey *cdrom = t.Find(hkey::LOCAL_MACHINE, kCdromServiceKey);
        switch (p.source) {
        case MediaChangeSource::Device: {
            ++seen.device;
            ++(p.insertNotifyData[0] ? seen.deviceByteSet : seen.deviceByteZero);
            const RegKey *device =
                t.Find(hkey::LOCAL_MACHINE, "Enum\\" + CutAtNull(p.cdHardwareKey));
            seen.deviceDenied += device && device->denyWrite;
            // The device was not the first entry's.
            const RegKey *firstEntry = list->subkeys.front().get();
            const RegValue *hw = firstEntry->FindValue("HardWareKey");
            seen.secondEntryTaken +=
                !hw || CutAtNull(std::string(hw->data.begin(), hw->data.end())) !=
                           CutAtNull(p.cdHardwareKey);
            break;
        }
        case MediaChangeSource::CdromService:
            ++seen.cdromService;
            seen.cdromDenied += cdrom->denyWrite;
            break;
        case MediaChangeSource::None:
            ++seen.none;
            seen.noDeviceButEntries += list && !list->subkeys.empty();
            break;
        }
        if (list) {
            seen.longList += list->subkeys.size() >= 1000;
            for (const auto &entry : list->subkeys)
                if (entry->name.find('\0') != std::string::npos) {
                    ++seen.nulInEntryName;
                    break;
                }
        }
        seen.maskDword += p.maskReadAsDword;
        if (policy) {
            seen.policyDenied += policy->denyWrite;
            const RegValue *mask = policy->FindValue("NoDriveTypeAutoRun");
            seen.maskOddSize += mask && mask->data.size() != 4;
        }
        seen.missingPolicy += !policy;
        seen.missingAudio += !audio;
        seen.audioDenied += audio && audio->denyWrite;
        seen.playChecked += p.boxes[kAudioCd];
        ++(s.ok ? seen.ok : seen.cancel);
        for (int step : s.steps)
            if (step == Scenario::kStandard) {
                ++seen.standard;
                break;
            }
    }
    // Out of 3000 cases, each kind at least this often.
    constexpr int kOften = 10;
    EXPECT_GE(seen.device, kOften);
    EXPECT_GE(seen.cdromService, kOften);
    EXPECT_GE(seen.none, kOften);
    EXPECT_GE(seen.deviceByteZero, kOften);
    EXPECT_GE(seen.deviceByteSet, kOften);
    EXPECT_GE(seen.secondEntryTaken, kOften);
    EXPECT_GE(seen.longList, 5);
    EXPECT_GE(seen.maskDword, kOften);
    EXPECT_GE(seen.maskOddSize, kOften);
    EXPECT_GE(seen.playChecked, kOften);
    EXPECT_GE(seen.policyDenied, kOften);
    EXPECT_GE(seen.audioDenied, kOften);
    EXPECT_GE(seen.deviceDenied, kOften);
    EXPECT_GE(seen.cdromDenied, kOften);
    EXPECT_GE(seen.missingPolicy, kOften);
    EXPECT_GE(seen.missingAudio, kOften);
    EXPECT_GE(seen.noDeviceButEntries, kOften);
    EXPECT_GE(seen.ok, kOften);
    EXPECT_GE(seen.cancel, kOften);
    EXPECT_GE(seen.standard, kOften);
    EXPECT_GE(seen.nulInEntryName, kOften);
}

// --- The checks catch a misbehaving engine
// -------------------------------------------------------- Each provider below passes the engine's
// calls on to the store with one fault of the kind the checks exist for; some generated case must
// then be reported, with the right complaint.

class Forwarding : public Registry {
  public:
    explicit Forwarding(MemoryRegistry &memory) : memory_(memory) {}
    RegResult RegOpenKeyExA(RegHandle key, const char *subKey, std::uint32_t options,
                            std::uint32_t access, RegHandle *result) override {
        return memory_.RegOpenKeyExA(key, subKey, options, access, result);
    }
    RegResult RegQueryValueExA(RegHandle key, const char *valueName, std::uint32_t *type,
                               unsigned char *data, std::uint32_t *size) override {
        return memory_.RegQueryValueExA(key, valueName, type, data, size);
    }
    RegResult RegSetValueExA(RegHandle key, const char *valueName, std::uint32_t type,
                             const unsigned char *data, std::uint32_t size) override {
        return memory_.RegSetValueExA(key, valueName, type, data, size);
    }
    RegResult RegEnumKeyA(RegHandle key, std::uint32_t index, char *name,
                          std::uint32_t nameLength) override {
        return memory_.RegEnumKeyA(key, index, name, nameLength);
    }
    RegResult RegCloseKey(RegHandle key) override { return memory_.RegCloseKey(key); }

  protected:
    MemoryRegistry &memory_;
};

template <typename Faulty> RegistryWrapper Wrap() {
    return [](MemoryRegistry &memory) { return std::make_unique<Faulty>(memory); };
}

std::string FirstFailure(const RegistryWrapper &wrap) {
    std::string failure;
    EXPECT_LT(0u, RunCases(kBaseSeed, 400, wrap, &failure));
    return failure;
}

bool IsMaskName(const char *name) {
    return FoldName(name ? name : "") == FoldName("NoDriveTypeAutoRun");
}

TEST(Invariants, TheChecksCatchAWriteToABitThatMustKeepItsValue) {
    struct FlipsBitZero : Forwarding {
        using Forwarding::Forwarding;
        RegResult RegSetValueExA(RegHandle key, const char *valueName, std::uint32_t type,
                                 const unsigned char *data, std::uint32_t size) override {
            std::string bytes(reinterpret_cast<const char *>(data), size);
            if (IsMaskName(valueName) && size > 0)
                bytes[0] ^= 1;
            return memory_.RegSetValueExA(
                key, valueName, type, reinterpret_cast<const unsigned char *>(bytes.data()), size);
        }
    };
    const std::string failure = FirstFailure(Wrap<FlipsBitZero>());
    EXPECT_NE(std::string::npos, failure.find("value changed")) << failure;
    EXPECT_NE(std::string::npos, failure.find("after \"&OK\"")) << failure;
}

TEST(Invariants, TheChecksCatchAKeyLeftOpen) {
    struct KeepsTheFirstKeyOpen : Forwarding {
        using Forwarding::Forwarding;
        RegResult RegCloseKey(RegHandle key) override {
            if (!skipped_) {
                skipped_ = true;
                return error::SUCCESS;
            }
            return memory_.RegCloseKey(key);
        }
        bool skipped_ = false;
    };
    const std::string failure = FirstFailure(Wrap<KeepsTheFirstKeyOpen>());
    EXPECT_NE(std::string::npos, failure.find("left open by the start-up read")) << failure;
}

TEST(Invariants, TheChecksCatchAKeyCreatedForWriting) {
    struct CreatesMissingKeys : Forwarding {
        using Forwarding::Forwarding;
        RegResult RegOpenKeyExA(RegHandle key, const char *subKey, std::uint32_t options,
                                std::uint32_t access, RegHandle *result) override {
            if ((access & key::SET_VALUE) && RegTree::RootName(key))
                memory_.Tree().Create(key, subKey);
            return memory_.RegOpenKeyExA(key, subKey, options, access, result);
        }
    };
    const std::string failure = FirstFailure(Wrap<CreatesMissingKeys>());
    EXPECT_NE(std::string::npos, failure.find("key added")) << failure;
}

TEST(Invariants, TheChecksCatchAReadThatWrites) {
    struct RewritesWhatItReads : Forwarding {
        using Forwarding::Forwarding;
        RegResult RegQueryValueExA(RegHandle key, const char *valueName, std::uint32_t *type,
                                   unsigned char *data, std::uint32_t *size) override {
            const RegResult result = memory_.RegQueryValueExA(key, valueName, type, data, size);
            if (result == error::SUCCESS && !RegTree::RootName(key)) {
                // Writing needs a key opened for it; the engine's reads have none, so go around.
                RegHandle h = 0;
                if (memory_.RegOpenKeyExA(key, "", 0, key::SET_VALUE, &h) == error::SUCCESS) {
                    memory_.RegSetValueExA(h, valueName, 0, data, *size); // REG_NONE
                    memory_.RegCloseKey(h);
                }
            }
            return result;
        }
    };
    const std::string failure = FirstFailure(Wrap<RewritesWhatItReads>());
    EXPECT_NE(std::string::npos, failure.find("changed by the start-up read")) << failure;
}

TEST(Invariants, TheChecksCatchBoxesThatDoNotShowTheRegistry) {
    struct ReportsEveryDeviceOff : Forwarding {
        using Forwarding::Forwarding;
        RegResult RegQueryValueExA(RegHandle key, const char *valueName, std::uint32_t *type,
                                   unsigned char *data, std::uint32_t *size) override {
            const RegResult result = memory_.RegQueryValueExA(key, valueName, type, data, size);
            if (result == error::SUCCESS &&
                FoldName(valueName) == FoldName("AutoInsertNotification") && *size == 1)
                data[0] = 0;
            return result;
        }
    };
    const std::string failure = FirstFailure(Wrap<ReportsEveryDeviceOff>());
    EXPECT_NE(std::string::npos, failure.find("boxes after the start-up read")) << failure;
}

TEST(Invariants, TheChecksCatchAWriteThroughAProtectedKeyAndAReportThatHidesIt) {
    struct IgnoresProtection : Forwarding {
        using Forwarding::Forwarding;
        RegResult RegOpenKeyExA(RegHandle key, const char *subKey, std::uint32_t options,
                                std::uint32_t access, RegHandle *result) override {
            RegKey *target = RegTree::RootName(key) ? memory_.Tree().Find(key, subKey) : nullptr;
            const bool denied = target && target->denyWrite;
            if (denied)
                target->denyWrite = false;
            const RegResult r = memory_.RegOpenKeyExA(key, subKey, options, access, result);
            if (denied)
                target->denyWrite = true;
            return r;
        }
    };
    const std::string failure = FirstFailure(Wrap<IgnoresProtection>());
    EXPECT_NE(std::string::npos, failure.find("not saved: \"false\", expected \"true\""))
        << failure;
}

} // namespace
} // namespace quenzel
