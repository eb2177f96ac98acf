// A plain model of the main window for the engine's tests: eight values and a label, with the
// window system's rule that a changing assignment raises the click notification, nested.
#pragma once

#include "../settings/form_view.h"
#include "../settings/settings.h"

#include <array>
#include <string>

namespace quenzel {

class ModelForm final : public FormView {
  public:
    static constexpr char kNoDevice[] = "(Kein Ger\xE4t gefunden)";

    int Value(int index) override { return values.at(static_cast<std::size_t>(index)); }
    void SetValue(int index, int value) override {
        int &slot = values.at(static_cast<std::size_t>(index));
        if (slot == value)
            return;
        slot = value;
        Click(index);
    }
    void SetLabel1Caption(const std::string &ansiText) override { label = ansiText; }
    void ShowAllDrivesNote() override { label = "<all drives>"; }
    void SetCheckEnabled(int index, bool isEnabled) override {
        enabled.at(static_cast<std::size_t>(index)) = isEnabled;
    }

    // What a user's click does: toggle, then notify.
    void UserClick(int index) {
        values.at(static_cast<std::size_t>(index)) ^= 1;
        Click(index);
    }

    void Click(int index) {
        if (settings)
            settings->Check1_Click(static_cast<std::int16_t>(index));
    }

    Settings *settings = nullptr;
    std::array<int, 8> values{};
    std::array<bool, 8> enabled{true, true, true, true, true, true, true, true};
    std::string label = kNoDevice;
};

} // namespace quenzel
