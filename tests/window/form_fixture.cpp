// The real Form1 on a scratch registry, driven through the messages the system would send,
// once on the W path and once on the A path.
#include "form_fixture.h"

#include <chrono>

namespace quenzel {

const char kDeviceDescription[] = "ATAPI-CD-ROM-Laufwerk";

const std::string kWin95Registry =
    "REGEDIT4\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer]\n"
    "\"NoDriveTypeAutoRun\"=hex:95,00,00,00\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\AudioCD\\shell]\n"
    "@=\"play\"\n"
    "[HKEY_DYN_DATA\\Config Manager\\Enum\\C29A1B00]\n"
    "\"HardWareKey\"=\"SCSI\\\\CDROM_ATAPI\\\\0\"\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\SCSI\\CDROM_ATAPI\\0]\n"
    "\"DeviceDesc\"=\"ATAPI-CD-ROM-Laufwerk\"\n"
    "\"AutoInsertNotification\"=hex:01\n";

std::wstring WindowText(HWND window) {
    wchar_t buffer[1024] = {};
    ::GetWindowTextW(window, buffer, 1024);
    return buffer;
}

std::string WindowTextAnsi(HWND window) {
    char buffer[1024] = {};
    ::GetWindowTextA(window, buffer, 1024);
    return buffer;
}

// --- Message boxes -----------------------------------------------------------------------------

MessageBoxWatcher::MessageBoxWatcher(DWORD threadId)
    : threadId_(threadId), thread_([this] { Run(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    Stop();
}

std::vector<SeenMessageBox> MessageBoxWatcher::Stop() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

namespace {

BOOL CALLBACK FindMessageBox(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770" && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND *>(found) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindIcon(HWND child, LPARAM icon) {
    wchar_t name[16] = {};
    ::GetClassNameW(child, name, 16);
    if (_wcsicmp(name, L"Static") == 0 &&
        (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON *>(icon) =
            reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

} // namespace

void MessageBoxWatcher::Run() {
    while (!stop_) {
        HWND box = nullptr;
        ::EnumThreadWindows(threadId_, FindMessageBox, reinterpret_cast<LPARAM>(&box));
        if (!box) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        SeenMessageBox seen;
        seen.caption = WindowText(box);
        seen.text = WindowText(::GetDlgItem(box, 0xFFFF));
        seen.owner = ::GetWindow(box, GW_OWNER);
        seen.ownerEnabled = seen.owner && ::IsWindowEnabled(seen.owner);
        seen.hasOk = ::GetDlgItem(box, IDOK) != nullptr;
        seen.hasCancel = ::GetDlgItem(box, IDCANCEL) != nullptr;
        ::EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&seen.icon));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            seen_.push_back(seen);
        }
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        while (::IsWindow(box) && !stop_)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// --- Broadcasts --------------------------------------------------------------------------------

namespace {
constexpr wchar_t kListenerClass[] = L"QuenzelTestListener";
}

SettingChangeListener::SettingChangeListener() {
    text::RegisterWindowClass({kListenerClass, Procedure, ::GetModuleHandleW(nullptr), nullptr,
                               nullptr, nullptr, nullptr});
    window_ = text::CreateWindowText(0, kListenerClass, L"", WS_POPUP, RECT{}, nullptr, 0,
                                     ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

SettingChangeListener::~SettingChangeListener() {
    ::DestroyWindow(window_);
    text::UnregisterWindowClass(kListenerClass, ::GetModuleHandleW(nullptr));
}

LRESULT CALLBACK SettingChangeListener::Procedure(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    auto *self =
        reinterpret_cast<SettingChangeListener *>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_SETTINGCHANGE && self) {
        if (!lParam)
            self->areas_.push_back(L"<null>");
        else if (::IsWindowUnicode(window))
            self->areas_.push_back(reinterpret_cast<const wchar_t *>(lParam));
        else
            self->areas_.push_back(text::FromAnsi(reinterpret_cast<const char *>(lParam)));
    }
    return text::DefWindowProcText(window, message, wParam, lParam);
}

// --- The fixture -------------------------------------------------------------------------------

std::string PathName(const ::testing::TestParamInfo<text::Path> &info) {
    return info.param == text::Path::Wide ? "W" : "A";
}

void text::PrintTo(Path path, std::ostream *out) {
    *out << (path == Path::Wide ? "the W path" : "the A path");
}

void FormTest::SetUp() {
    text::ForcePath(GetParam());
    registry = MakeRegistryFixture();
}

void FormTest::TearDown() {
    form.reset();
    Drain();
}

void FormTest::Start(const std::string &regedit4) {
    form.reset();
    Drain();
    registry->Load(regedit4);
    before = Store();
    form = std::make_unique<Form1>(registry->registry(), ::GetModuleHandleW(nullptr));
    ASSERT_TRUE(form->Create());
    Drain();
}

std::string FormTest::Boxes() const {
    std::string boxes;
    for (int i = 0; i < kCheckCount; ++i)
        boxes += static_cast<char>('0' + ::SendMessageW(Check(i), BM_GETCHECK, 0, 0));
    return boxes;
}

namespace {

// Shift as the dialog manager reads it, from the thread's key state.
void SetShift(bool down) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    keys[VK_LSHIFT] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

} // namespace

bool FormTest::Key(UINT virtualKey, bool shift) {
    SetShift(shift);
    const UINT scan = ::MapVirtualKeyW(virtualKey, 0);
    bool taken = false;
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG msg{};
        msg.hwnd = ::GetFocus();
        msg.message = message;
        msg.wParam = virtualKey;
        msg.lParam = 1 | (scan << 16) | (message == WM_KEYUP ? 0xC0000000u : 0);
        const bool handled = text::IsDialogMessageText(Form(), &msg) != 0;
        if (message == WM_KEYDOWN)
            taken = handled;
        if (!handled) {
            ::TranslateMessage(&msg);
            text::DispatchMessageText(&msg);
        }
        Drain();
        if (!Form())
            break;
    }
    SetShift(false);
    return taken;
}

bool FormTest::AltLetter(wchar_t letter) {
    MSG msg{};
    msg.hwnd = ::GetFocus();
    msg.message = WM_SYSCHAR;
    msg.wParam = letter;
    msg.lParam = 1 | (1u << 29); // bit 29: Alt is down
    const bool taken = text::IsDialogMessageText(Form(), &msg) != 0;
    Drain();
    return taken;
}

bool FormTest::Drain() {
    bool quit = false;
    MSG msg;
    while (text::PeekMessageText(&msg, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            continue;
        }
        ::TranslateMessage(&msg);
        text::DispatchMessageText(&msg);
    }
    return quit;
}

} // namespace quenzel
