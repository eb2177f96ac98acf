// Form1, the program's one window: its controls, its check box layer and its commands.
#pragma once

#include "../settings/settings.h"
#include "controls.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <type_traits>

namespace quenzel {

class Form1 final : public FormView {
  public:
    Form1(Registry &registry, HINSTANCE instance);
    ~Form1() override;
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // Creates the window and its controls, runs Form_Load and shows the window; false when the
    // window system refuses.
    bool Create();

    // Null once the program has ended.
    HWND Window() const { return window_; }

    // What the settings engine sees.
    int Value(int index) override;
    void SetValue(int index, int value) override;
    void SetLabel1Caption(const std::string &ansiText) override;
    void ShowAllDrivesNote() override;
    void SetCheckEnabled(int index, bool enabled) override;

  private:
    struct FontDeleter {
        void operator()(HFONT font) const { ::DeleteObject(font); }
    };
    using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;
    struct IconDeleter {
        void operator()(HICON icon) const { ::DestroyIcon(icon); }
    };
    using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateControls(int dpi);
    void LayOut(int dpi);
    void Dress(int dpi, BOOL redraw);
    void PlaceWindow(const RECT &placed, int dpi);
    void FitClientArea(int dpi);
    HICON WindowIcon(int metric, int dpi) const;
    void ShowIcon(IconHandle &held, HWND window, UINT message, WPARAM which, HICON icon);
    // A member of a control array (Check1, Command1, Frame1, Image1; Label1 as index 0).
    HWND Control(ControlKind kind, int index) const;

    void Form_Load();
    void OnCommand(int id, int notification);
    void OnActivate(bool active);
    void Check1_UserClick(int index);
    void Command1_Click(std::int16_t index);
    void End();
    void DestroyWindows();

    HINSTANCE instance_;
    Settings settings_;
    HWND owner_ = nullptr;
    HWND window_ = nullptr;
    std::array<HWND, kControlCount> controls_{};
    HWND focus_ = nullptr; // the control to give the focus back to when the window is activated
    bool classRegistered_ = false;
    FontHandle font_;
    std::array<IconHandle, kControlCount> pictures_; // by control, for the pictures
    IconHandle classIcon_, classSmallIcon_;          // the window's icons until a change of DPI
    IconHandle bigIcon_, smallIcon_;                 // and after it
};

} // namespace quenzel
