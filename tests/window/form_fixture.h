// The real Form1 on a scratch registry, driven through the messages the system would send,
// once on the W path and once on the A path.
#pragma once

#include "../registry_fixture.h"

#include "../../window/form1.h"
#include "../../window/text_api.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quenzel {

// A Windows 95 machine with one CD-ROM drive, as it comes.
extern const std::string kWin95Registry;

// What a message box showed before it was closed with OK.
struct SeenMessageBox {
    std::wstring caption;
    std::wstring text;
    HWND owner = nullptr;
    bool ownerEnabled = true;
    bool hasOk = false;
    bool hasCancel = false;
    HICON icon = nullptr;
};

// Closes every message box of one thread, from a thread of its own, and keeps what each showed.
class MessageBoxWatcher {
  public:
    explicit MessageBoxWatcher(DWORD threadId);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher &) = delete;
    MessageBoxWatcher &operator=(const MessageBoxWatcher &) = delete;
    std::vector<SeenMessageBox> Stop();

  private:
    void Run();
    DWORD threadId_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenMessageBox> seen_;
    std::thread thread_;
};

std::string PathName(const ::testing::TestParamInfo<text::Path> &info);
namespace text {
void PrintTo(Path path, std::ostream *out);
}

class FormTest : public ::testing::TestWithParam<text::Path> {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the registry, creates Form1 (which reads it) and shows it.
    void Start(const std::string &regedit4 = kWin95Registry);

    HWND Form() const { return form->Window(); }
    HWND Check(int index) const { return form->Control(ControlKind::CheckBox, index); }
    HWND Command(int index) const { return form->Control(ControlKind::PushButton, index); }
    HWND Frame(int index) const { return form->Control(ControlKind::GroupFrame, index); }
    HWND Image(int index) const { return form->Control(ControlKind::Picture, index); }
    HWND Label() const { return form->Control(ControlKind::Label, 0); }

    // The eight boxes by index, "0"/"1" as BM_GETCHECK reports them.
    std::string Boxes() const;
    // A key pressed and released on the focused control, handed to the dialog manager as the
    // message loop does; returns whether the dialog manager took the key down.
    bool Key(UINT virtualKey, bool shift = false);
    // Alt and a letter: the WM_SYSCHAR that TranslateMessage makes of it.
    bool AltLetter(wchar_t letter);
    // Runs what is queued; true when WM_QUIT was among it.
    bool Drain();
    // The store compared as a whole.
    std::string Store() { return registry->Store(); }

    std::unique_ptr<RegistryFixture> registry;
    std::unique_ptr<Form1> form;
    std::string before; // the store as loaded
};

std::wstring WindowText(HWND window);

} // namespace quenzel
