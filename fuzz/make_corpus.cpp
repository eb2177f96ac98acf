// Writes the fuzz target's seed corpus: named start states, each given as answers to the
// generator's questions, recorded as the bytes that the target reads back as those answers.
#include "../registry/regedit4.h"
#include "../tests/invariants.h"

#include <cstdio>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quenzel {
namespace {

constexpr std::uint32_t Y = 99; // the answer that makes a Chance() come true

using Script = std::map<std::string, std::vector<std::uint32_t>>;

// Answers each question from its list in order, 0 once the list is used up; a question listed
// in cycling takes its answers round and round.
class ScriptChooser final : public Chooser {
  public:
    ScriptChooser(const Script &script, std::set<std::string> cycling)
        : cycling_(std::move(cycling)) {
        for (const auto &[what, answers] : script)
            queues_[what] = std::deque<std::uint32_t>(answers.begin(), answers.end());
    }
    std::uint32_t Below(std::uint32_t bound, const char *what) override {
        auto it = queues_.find(what);
        if (it == queues_.end() || it->second.empty())
            return 0;
        const std::uint32_t v = it->second.front();
        it->second.pop_front();
        if (cycling_.count(what))
            it->second.push_back(v);
        if (v >= bound)
            errors_ += std::string("answer ") + std::to_string(v) + " to \"" + what +
                       "\" is not below " + std::to_string(bound) + "\n";
        return v % bound;
    }
    std::string Errors() const {
        std::string errors = errors_;
        for (const auto &[what, queue] : queues_)
            if (!queue.empty() && !cycling_.count(what))
                errors += "answers to \"" + what + "\" left unused\n";
        return errors;
    }

  private:
    std::map<std::string, std::deque<std::uint32_t>> queues_;
    std::set<std::string> cycling_;
    std::string errors_;
};

// A Windows 95 machine with one CD-ROM drive, mask 0x95, audio CDs playing, no clicks, "&OK".
Script Win95() {
    return {
        {"policy key", {Y}},
        {"mask value", {Y}},
        {"audio cd key", {Y}},
        {"verb value", {Y}},
        {"devices", {1}},
        {"device desc", {Y}},
        {"notification", {Y}},
        {"device list", {Y}},
        {"entries", {1}},
        {"hex", {0xC29A, 0x1B00}},
        {"hardware key value", {Y}},
        {"ok", {Y}},
    };
}

// Windows NT: no device list, the Cdrom driver's switch.
Script Nt() {
    Script s = Win95();
    for (const char *what : {"devices", "device desc", "notification", "device list", "entries",
                             "hex", "hardware key value"})
        s.erase(what);
    s["cdrom service"] = {Y};
    s["cdrom autorun"] = {Y};
    return s;
}

Script With(Script s, const Script &more) {
    for (const auto &[what, answers] : more)
        s[what] = answers;
    return s;
}

std::string Boxes(const Prediction &p) {
    std::string s;
    for (int v : p.boxes)
        s += static_cast<char>('0' + v);
    return s;
}

struct Seed {
    const char *name;
    Script script;
    std::function<bool(const Scenario &, const Prediction &)> meant;
    std::set<std::string> cycling = {};
};

using Dev = MediaChangeSource;

std::vector<Seed> Seeds() {
    const Script win95 = Win95();
    const Script nt = Nt();
    const Script twoEntries = With(win95, {{"devices", {2}},
                                           {"path", {0, 5}},
                                           {"device desc", {Y, Y}},
                                           {"desc", {0, 1}},
                                           {"notification", {0, Y}},
                                           {"entries", {2}},
                                           {"hex", {0xA000, 0x0001, 0xB000, 0x0002}},
                                           {"hardware key value", {Y, Y}},
                                           {"device", {0, 1}}});
    const Script longList = With(win95, {{"long list", {Y}}, {"long list length", {20}}});
    return {
        {"empty-registry", {}, [](auto &, auto &p) { return p.source == Dev::None; }},
        {"win95-defaults", win95,
         [](auto &, auto &p) { return p.source == Dev::Device && Boxes(p) == "11010111"; }},
        {"win95-cancel-after-clicks",
         With(win95, {{"steps", {4}}, {"step", {2, 0, 1, 5}}, {"ok", {0}}}),
         [](auto &s, auto &) { return !s.ok; }},
        {"win95-standard-then-clicks", With(win95, {{"steps", {5}}, {"step", {8, 7, 1, 5, 3}}}),
         [](auto &s, auto &) { return s.ok && s.steps.size() == 5; }},
        {"win95-mixed-case-names",
         With(win95, {{"spelling", {1, 2, 3, 0}}}),
         [](auto &, auto &p) { return p.source == Dev::Device; },
         {"spelling"}},
        {"mask-dword", With(win95, {{"mask type other", {Y}}, {"mask type", {0}}}),
         [](auto &, auto &p) { return p.maskReadAsDword; }},
        {"mask-one-byte", With(win95, {{"mask odd size", {Y}}, {"mask size", {1}}, {"mask", {2}}}),
         [](auto &, auto &p) { return p.driveTypeData == std::string("\xFF\0\0\0", 4); }},
        {"mask-five-bytes", With(win95, {{"mask odd size", {Y}}, {"mask size", {5}}}),
         [](auto &, auto &p) { return p.driveTypeData == std::string(4, '\0'); }},
        {"mask-as-text", With(win95, {{"mask type other", {Y}}, {"mask type", {1}}}),
         [](auto &, auto &p) { return !p.maskReadAsDword; }},
        {"mask-high-bytes", With(win95, {{"mask high byte", {Y, Y, Y}}, {"mask byte", {1, 2, 3}}}),
         [](auto &, auto &p) { return p.driveTypeData == "\x95\x01\x02\x03"; }},
        {"policy-key-missing", With(win95, {{"policy key", {0}}, {"mask value", {}}}),
         [](auto &, auto &p) { return Boxes(p).substr(2) == "111111"; }},
        {"policy-key-read-only", With(win95, {{"policy key read-only", {Y}}}),
         [](auto &s, auto &) { return s.ok; }},
        {"verb-in-capitals", With(win95, {{"verb", {1}}}),
         [](auto &, auto &p) { return p.boxes[kAudioCd] == 1; }},
        {"verb-with-space", With(win95, {{"verb", {5}}}),
         [](auto &, auto &p) { return p.boxes[kAudioCd] == 0; }},
        {"verb-embedded-nul", With(win95, {{"verb", {10}}}),
         [](auto &, auto &p) { return p.boxes[kAudioCd] == 1; }},
        {"verb-256-characters", With(win95, {{"verb", {13}}, {"verb unterminated", {Y}}}),
         [](auto &, auto &p) { return p.audioCdVerb == std::string(256, 'p'); }},
        {"verb-300-characters", With(win95, {{"verb", {15}}}),
         [](auto &, auto &p) { return p.audioCdVerb == std::string(256, ' '); }},
        {"verb-unterminated", With(win95, {{"verb unterminated", {Y}}}),
         [](auto &, auto &p) { return p.boxes[kAudioCd] == 0; }},
        {"audio-key-read-only",
         With(win95,
              {{"audio cd read-only", {Y}}, {"audio cd parent", {Y}}, {"audio cd play key", {Y}}}),
         [](auto &s, auto &) { return s.ok; }},
        {"device-read-only", With(win95, {{"device read-only", {Y}}}),
         [](auto &, auto &p) { return p.source == Dev::Device; }},
        {"device-byte-zero", With(win95, {{"notification byte", {1}}}),
         [](auto &, auto &p) { return p.source == Dev::Device && p.boxes[kMediaChange] == 0; }},
        {"device-byte-two", With(win95, {{"notification byte", {2}}}),
         [](auto &, auto &p) { return p.insertNotifyData == "\x02"; }},
        {"device-four-bytes-skipped",
         With(win95, {{"notification odd size", {Y}}, {"notification size", {4}}}),
         [](auto &, auto &p) { return p.source == Dev::None && !p.cdHardwareKey.empty(); }},
        {"device-empty-value",
         With(win95, {{"notification odd size", {Y}}, {"notification size", {1}}}),
         [](auto &, auto &p) { return p.source == Dev::Device && p.insertNotifyData[0] == 0; }},
        {"device-desc-umlauts-and-long", With(twoEntries, {{"desc", {1, 5}}}),
         [](auto &, auto &p) { return p.label == std::string(255, 'D'); }},
        {"second-entry-taken", twoEntries,
         [](auto &, auto &p) { return p.label == "CD-ROM-Laufwerk f\xFCr G\xE4ste"; }},
        {"first-drive-byte-zero-ends-search",
         With(twoEntries, {{"notification", {Y, Y}}, {"notification byte", {1, 0}}}),
         [](auto &, auto &p) { return p.source == Dev::Device && p.boxes[kMediaChange] == 0; }},
        {"entry-without-hardware-key",
         With(twoEntries, {{"hardware key value", {0, Y}}, {"device", {1}}}),
         [](auto &, auto &p) { return p.source == Dev::Device; }},
        {"hardware-key-trailing-backslash", With(win95, {{"hardware key", {1}}}),
         [](auto &, auto &p) { return p.source == Dev::Device; }},
        {"hardware-key-embedded-nul", With(win95, {{"hardware key", {6}}}),
         [](auto &, auto &p) { return p.source == Dev::Device; }},
        {"hardware-key-empty-names-enum",
         With(win95,
              {{"hardware key", {5}}, {"enum notification", {Y}}, {"enum notification byte", {1}}}),
         [](auto &, auto &p) {
             return p.source == Dev::Device && p.label == std::string(256, ' ');
         }},
        {"hardware-key-300-characters", With(win95, {{"hardware key", {8}}}),
         [](auto &, auto &p) { return p.cdHardwareKey == std::string(256, ' '); }},
        {"hardware-key-unterminated", With(win95, {{"hardware key unterminated", {Y}}}),
         [](auto &, auto &p) { return p.source == Dev::None; }},
        {"hardware-key-missing-device", With(win95, {{"hardware key", {4}}}),
         [](auto &, auto &p) { return p.source == Dev::None; }},
        {"entry-name-with-nul",
         With(twoEntries, {{"entry name", {5, 0}}, {"hex", {0xB000, 0x0002}}}),
         [](auto &, auto &p) { return p.source == Dev::Device; }},
        {"entry-name-too-long-ends-list",
         With(twoEntries, {{"entry name", {4, 2}}, {"hex", {}}, {"name char", {25}}}),
         [](auto &, auto &p) { return p.source == Dev::None; }},
        {"device-child-not-taken", With(win95, {{"device child", {Y}}}),
         [](auto &, auto &p) { return p.label == "Mein Laufwerk"; }},
        {"empty-device-list",
         With(win95, {{"entries", {0}}, {"hex", {}}, {"hardware key value", {}}}),
         [](auto &, auto &p) { return p.source == Dev::None && p.cdHardwareKey.empty(); }},
        {"long-list-only-last-qualifies", longList,
         [](auto &s, auto &p) {
             return p.source == Dev::Device &&
                    s.tree.Find(hkey::DYN_DATA, "Config Manager\\Enum")->subkeys.size() > 30;
         }},
        {"long-list-none-qualifies",
         With(longList, {{"hardware key", {4}}, {"long list kind", {2}}}),
         [](auto &, auto &p) { return p.source == Dev::None; }},
        {"nt-autorun-on", nt,
         [](auto &, auto &p) { return p.source == Dev::CdromService && p.boxes[1] == 1; }},
        {"nt-autorun-off", With(nt, {{"cdrom autorun byte", {1}}}),
         [](auto &, auto &p) { return p.source == Dev::CdromService && p.boxes[1] == 0; }},
        {"nt-autorun-missing-then-clicked",
         With(nt, {{"cdrom autorun", {0}}, {"steps", {1}}, {"step", {1}}}),
         [](auto &, auto &p) { return !p.cdromAutoRunExisted; }},
        {"nt-autorun-five-bytes",
         With(nt, {{"cdrom autorun odd size", {Y}}, {"cdrom autorun size", {4}}}),
         [](auto &, auto &p) { return p.cdromAutoRunExisted && p.boxes[1] == 1; }},
        {"nt-service-read-only",
         With(nt, {{"cdrom service read-only", {Y}},
                   {"steps", {1}},
                   {"step", {1}},
                   {"cdfs service", {Y}}}),
         [](auto &, auto &p) { return p.source == Dev::CdromService; }},
        {"nt-without-cdrom-driver", With(nt, {{"cdrom service", {0}}, {"cdrom autorun", {}}}),
         [](auto &, auto &p) { return p.source == Dev::None; }},
        {"machine-policy-differs",
         With(win95, {{"machine policy key", {Y}}, {"machine mask value", {Y}}, {"mask", {0, 2}}}),
         [](auto &s, auto &) {
             return s.tree.Find(hkey::LOCAL_MACHINE,
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer");
         }},
        {"neighbours-everywhere",
         With(win95, {{"policy lookalikes", {Y}},
                      {"neighbour values", {3, 3, 3, 3}},
                      {"neighbour name", {5, 6, 0, 1, 2, 3, 7, 8, 9, 4, 5, 6}},
                      {"usual keys", {Y}},
                      {"unrelated keys", {2}}}),
         [](auto &, auto &p) { return p.source == Dev::Device; }},
    };
}

bool Write(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// The bytes must read back as the same scenario, and the scenario must pass the checks.
std::string Verify(const Scenario &scenario, const std::string &bytes) {
    ByteChooser replay(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    const Scenario again = BuildScenario(replay, kFuzzLimits);
    if (ExportRegedit4(again.tree) != ExportRegedit4(scenario.tree) ||
        again.steps != scenario.steps || again.ok != scenario.ok)
        return "the bytes do not read back as the same scenario\n";
    return CheckScenario(scenario);
}

} // namespace
} // namespace quenzel

int main(int argc, char **argv) {
    using namespace quenzel;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    int failed = 0, index = 0;
    const auto emit = [&](const std::string &name, const Scenario &scenario, std::string bytes,
                          const std::string &errors) {
        while (!bytes.empty() && bytes.back() == '\0') // answers past the end read as 0
            bytes.pop_back();
        std::string problem = errors;
        if (problem.empty())
            problem = Verify(scenario, bytes);
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%02d-", ++index);
        const std::string path = dir + "/" + prefix + name;
        if (problem.empty() && !Write(path, bytes))
            problem = "cannot write " + path + "\n";
        if (!problem.empty()) {
            std::fprintf(stderr, "%s: %s", name.c_str(), problem.c_str());
            ++failed;
        }
    };
    for (const Seed &seed : Seeds()) {
        ScriptChooser script(seed.script, seed.cycling);
        RecordingChooser recorder(script);
        const Scenario scenario = BuildScenario(recorder, kFuzzLimits);
        std::string errors = script.Errors();
        if (errors.empty() && !seed.meant(scenario, Predict(scenario.tree)))
            errors = "the start state is not the one meant\n" + DescribeScenario(scenario);
        emit(seed.name, scenario, recorder.Bytes(), errors);
    }
    for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        SeededChooser random(seed);
        RecordingChooser recorder(random);
        const Scenario scenario = BuildScenario(recorder, kFuzzLimits);
        emit("random-" + std::to_string(seed), scenario, recorder.Bytes(), "");
    }
    std::printf("%d seeds written to %s, %d failed\n", index - failed, dir.c_str(), failed);
    return failed ? 1 : 0;
}
