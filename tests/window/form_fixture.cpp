// The real Form1 on a scratch registry, driven through the messages the system would send, on
// the W and on the A path; what the window shows and is sent on the way is recorded.
#include "form_fixture.h"

namespace quenzel {

Seen gSeen;

std::wstring WindowText(HWND window) {
    wchar_t buffer[1024] = {};
    ::GetWindowTextW(window, buffer, 1024);
    return buffer;
}

RECT RectIn(HWND control, HWND parent) {
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

std::vector<char> IconBits(HICON icon) {
    ICONINFO info{};
    std::vector<char> all;
    EXPECT_TRUE(::GetIconInfo(icon, &info));
    for (HBITMAP bitmap : {info.hbmColor, info.hbmMask}) {
        BITMAP size{};
        ::GetObjectW(bitmap, sizeof size, &size);
        std::vector<char> part(static_cast<std::size_t>(size.bmWidthBytes * size.bmHeight));
        part.resize(static_cast<std::size_t>(
            ::GetBitmapBits(bitmap, static_cast<LONG>(part.size()), part.data())));
        all.insert(all.end(), part.begin(), part.end());
        ::DeleteObject(bitmap);
    }
    return all;
}

namespace {

std::wstring ClassName(HWND window) {
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, 32);
    return name;
}

BOOL CALLBACK FindIcon(HWND child, LPARAM icon) {
    if (ClassName(child) == L"Static" &&
        (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON *>(icon) =
            reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

// A message box is complete when it is activated: keep what it shows and close it with OK.
LRESULT CALLBACK OnActivation(int code, WPARAM wParam, LPARAM lParam) {
    const auto box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && ClassName(box) == L"#32770") {
        SeenMessageBox seen{WindowText(box),
                            WindowText(::GetDlgItem(box, 0xFFFF)),
                            ::GetWindow(box, GW_OWNER),
                            false,
                            ::GetDlgItem(box, IDOK) != nullptr,
                            ::GetDlgItem(box, IDCANCEL) != nullptr,
                            nullptr};
        seen.ownerEnabled = seen.owner && ::IsWindowEnabled(seen.owner);
        ::EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&seen.icon));
        gSeen.messageBoxes.push_back(seen);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK OnCall(int code, WPARAM wParam, LPARAM lParam) {
    const auto *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    const bool shown = call->message == WM_SHOWWINDOW && call->wParam;
    if (code == HC_ACTION && (shown || call->message == WM_SETTINGCHANGE) &&
        WindowText(call->hwnd) == L"Quenzel") {
        if (shown && gSeen.labelWhenShown.empty())
            gSeen.labelWhenShown =
                WindowText(::FindWindowExW(call->hwnd, nullptr, L"Static", nullptr));
        if (!shown) // Wine converts no area for an A window
            gSeen.settingChanges.push_back(::IsWindowUnicode(call->hwnd)
                                               ? reinterpret_cast<const wchar_t *>(call->lParam)
                                               : L"?");
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Shift as the dialog manager reads it, from the thread's key state.
void SetShift(bool down) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

} // namespace

void FormTest::SetUp() {
    text::ForcePath(GetParam());
    registry = MakeRegistryFixture();
    const DWORD thread = ::GetCurrentThreadId();
    hooks_[0] = ::SetWindowsHookExW(WH_CBT, OnActivation, nullptr, thread);
    hooks_[1] = ::SetWindowsHookExW(WH_CALLWNDPROC, OnCall, nullptr, thread);
    ASSERT_TRUE(hooks_[0] && hooks_[1]);
}

void FormTest::TearDown() {
    form.reset();
    Drain();
    for (HHOOK hook : hooks_)
        ::UnhookWindowsHookEx(hook);
}

void FormTest::Start(const std::string &regedit4) {
    form.reset();
    Drain();
    registry->Load(regedit4);
    before = Store();
    gSeen = Seen();
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

bool FormTest::Key(UINT virtualKey, bool shift) {
    SetShift(shift);
    const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(virtualKey, 0)) << 16;
    bool taken = false;
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG msg{::GetFocus(),
                message,
                virtualKey,
                1 | scan | (message == WM_KEYUP ? 0xC0000000 : 0),
                0,
                {}};
        const bool handled = text::IsDialogMessageText(Form(), &msg) != 0;
        taken = taken || (handled && message == WM_KEYDOWN);
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
    MSG msg{::GetFocus(), WM_SYSCHAR, letter, 1 | (1 << 29), 0, {}}; // bit 29: Alt is down
    const bool taken = text::IsDialogMessageText(Form(), &msg) != 0;
    Drain();
    return taken;
}

bool FormTest::Drain() {
    bool quit = false;
    MSG msg;
    while (text::PeekMessageText(&msg, PM_REMOVE)) {
        quit = quit || msg.message == WM_QUIT;
        if (msg.message != WM_QUIT) {
            ::TranslateMessage(&msg);
            text::DispatchMessageText(&msg);
        }
    }
    return quit;
}

} // namespace quenzel
