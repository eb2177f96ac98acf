// What the engine promises on any registry, checked on generated ones: the property test and the
// fuzz target build their registries and click sequences here and run the same checks.
#pragma once

#include "../registry/memory_registry.h"
#include "../registry/reg_tree.h"
#include "../settings/settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace quenzel {

// Answers the generator's questions. "what" names the question; only a scripted chooser looks.
class Chooser {
  public:
    virtual ~Chooser() = default;
    // A number from 0 to bound - 1; bound is 1 to 65536.
    virtual std::uint32_t Below(std::uint32_t bound, const char *what) = 0;
    // True in about percent out of 100; an answer of 0 always means no.
    bool Chance(std::uint32_t percent, const char *what) {
        return Below(100, what) >= 100 - percent;
    }
};

// Seeded pseudo-random answers, the same on every platform for the same seed.
class SeededChooser final : public Chooser {
  public:
    explicit SeededChooser(std::uint32_t seed) : rng_(seed) {}
    std::uint32_t Below(std::uint32_t bound, const char *) override {
        return static_cast<std::uint32_t>(rng_() % bound);
    }

  private:
    std::mt19937 rng_;
};

// Answers read from fuzz input: one byte per question, two for a bound above 256; 0 once the
// input is used up.
class ByteChooser final : public Chooser {
  public:
    ByteChooser(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    std::uint32_t Below(std::uint32_t bound, const char *) override;

  private:
    std::uint32_t NextByte() { return pos_ < size_ ? data_[pos_++] : 0; }
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Passes another chooser's answers on and keeps them as the bytes a ByteChooser reads back as
// the same answers: how fuzz seeds are written.
class RecordingChooser final : public Chooser {
  public:
    explicit RecordingChooser(Chooser &inner) : inner_(inner) {}
    std::uint32_t Below(std::uint32_t bound, const char *what) override;
    const std::string &Bytes() const { return bytes_; }

  private:
    Chooser &inner_;
    std::string bytes_;
};

// One run of the tool: the registry it starts on, the user's actions, and how it ends.
struct Scenario {
    static constexpr int kStandard = 8; // a step that is not a box index: "&Standard"
    RegTree tree;
    std::vector<int> steps; // 0 to 7: a click on Check1(i); kStandard
    bool ok = false;        // "&OK"; else "&Abbrechen"
};

// The length of the rare long device list.
struct GeneratorLimits {
    std::uint32_t minFillerEntries = 100;
    std::uint32_t maxFillerEntries = 3000;
};

// The fuzz target's: its long list is short enough to keep an input well under a millisecond;
// thousands of entries are the property test's. The seeds are written with the same limits,
// since the limits shape what the bytes mean.
constexpr GeneratorLimits kFuzzLimits{20, 40};

Scenario BuildScenario(Chooser &chooser, const GeneratorLimits &limits = {});

// What the start-up read must leave, worked out from the store by the documented rules.
struct Prediction {
    std::string driveTypeData = std::string(4, '\0');
    bool maskReadAsDword = false;
    std::string audioCdVerb;
    MediaChangeSource source = MediaChangeSource::None;
    std::string cdHardwareKey;
    std::string insertNotifyData = std::string(1, '\0');
    std::string label;
    bool cdromAutoRunExisted = false;
    int cdromAutoRunShown = 0;
    std::array<int, kCheckCount> boxes{};
};

Prediction Predict(const RegTree &tree);

// Puts a provider between the engine and the store; the checks' own tests use it to show that
// a misbehaving engine is caught.
using RegistryWrapper = std::function<std::unique_ptr<Registry>(MemoryRegistry &)>;

// Runs the scenario on the engine over an in-memory copy of its registry. Returns what broke,
// or an empty string when every check held.
std::string CheckScenario(const Scenario &scenario, const RegistryWrapper &wrap = {});

// The steps, the ending and the start registry as REGEDIT4 text, for a failure report.
std::string DescribeScenario(const Scenario &scenario);

// Every difference between two stores (spellings, values, keys, write protection), one per
// line, at most maxLines of them; empty when they are equal.
std::string DiffTrees(const RegTree &expected, const RegTree &actual, std::size_t maxLines = 12);

} // namespace quenzel
