// Form1, the program's one window: its controls, its check box layer and its commands.
#include "form1.h"

#include "control_class.h"
#include "dialog_font.h"
#include "dpi.h"
#include "icons.h"
#include "module1.h"
#include "resource.h"
#include "user_api.h"
#include "texts.h"

#include <commctrl.h>

#include <string>

namespace quenzel {

namespace {

constexpr wchar_t kClassName[] = L"QuenzelForm1";
// A fixed dialog frame: title, system menu and close box; no sizing, minimising or maximising.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr UINT kPolicyBroadcastTimeout = 1000; // milliseconds

// A control's place in the client area at dpi.
RECT PlaceOf(const ControlRow &row, int dpi) {
    const TwipsRect twips = ClientTwips(row);
    const int left = TwipsToPixels(twips.left, dpi), top = TwipsToPixels(twips.top, dpi);
    return RECT{left, top, left + TwipsToPixels(twips.width, dpi),
                top + TwipsToPixels(twips.height, dpi)};
}

} // namespace

Form1::Form1(Registry &registry, HINSTANCE instance)
    : instance_(instance), settings_(registry, *this) {}

Form1::~Form1() {
    DestroyWindows();
    if (classRegistered_)
        user::UnregisterWindowClass(kClassName, instance_);
}

bool Form1::Create() {
    // Version 6 of the common controls, where the manifest asks for it, draws the system's style.
    ::InitCommonControls();
    // Owned by a hidden window, the form gets no task-bar button. The owner stands at the primary
    // monitor's corner, the form in its middle: both at its DPI.
    owner_ =
        user::CreateWindowText(0, L"STATIC", L"", WS_POPUP, RECT{}, nullptr, 0, instance_, nullptr);
    if (!owner_)
        return false;
    const int dpi = dpi::ForWindow(owner_);

    // The window is made with its icons, as the class's, and in its place: a later move or
    // WM_SETICON costs a round trip to the window system (under Wine, to the X server).
    classIcon_.reset(WindowIcon(SM_CXICON, dpi));
    classSmallIcon_.reset(WindowIcon(SM_CXSMICON, dpi));
    const user::WindowClass windowClass{
        kClassName,
        &Form1::WindowProcedure,
        instance_,
        ::LoadCursorA(nullptr, IDC_ARROW),
        reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)),
        classIcon_.get(),
        classSmallIcon_.get()};
    classRegistered_ = user::RegisterWindowClass(windowClass);
    if (!classRegistered_)
        return false;
    RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)};
    ::AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
    ::OffsetRect(&frame, (::GetSystemMetrics(SM_CXSCREEN) - frame.right - frame.left) / 2,
                 (::GetSystemMetrics(SM_CYSCREEN) - frame.bottom - frame.top) / 2);
    if (!user::CreateWindowText(0, kClassName, texts::kTitle, kFormStyle, frame, owner_, 0,
                                instance_, this))
        return false;
    FitClientArea(dpi);
    if (!CreateControls(dpi))
        return false;
    Dress(dpi, FALSE);
    // Mnemonics stay underlined, as on the systems this tool was first made for.
    ::SendMessageA(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);

    Form_Load();

    focus_ = Control(ControlKind::CheckBox, kCdRom);
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::UpdateWindow(window_);
    if (::GetFocus() != focus_)
        ::SetFocus(focus_);
    return true;
}

// In table order, so that the dialog manager's tab order is the table's; each in its place at dpi.
bool Form1::CreateControls(int dpi) {
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlRow &row = kControls[i];
        const ControlClass cls = ClassOf(row.kind);
        controls_[i] = user::CreateWindowText(0, cls.className, row.caption ? row.caption : L"",
                                              cls.style, PlaceOf(row, dpi), window_,
                                              ControlId(row.kind, row.index), instance_, nullptr);
        if (!controls_[i])
            return false;
    }
    return true;
}

// Every control from its twips at dpi, dressed for it, and the window icons for dpi; its text,
// state, focus and whether it is enabled stay as they are.
void Form1::LayOut(int dpi) {
    Dress(dpi, TRUE);
    ShowIcon(bigIcon_, window_, WM_SETICON, ICON_BIG, WindowIcon(SM_CXICON, dpi));
    ShowIcon(smallIcon_, window_, WM_SETICON, ICON_SMALL, WindowIcon(SM_CXSMICON, dpi));
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const RECT place = PlaceOf(kControls[i], dpi);
        ::SetWindowPos(controls_[i], nullptr, place.left, place.top, place.right - place.left,
                       place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The font made for dpi on every control, the icons picked for their size at dpi; redraw once
// shown.
void Form1::Dress(int dpi, BOOL redraw) {
    const FontHandle previous = std::move(font_); // in use until each control has the new one
    font_.reset(CreateDialogFont(dpi));
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlRow &row = kControls[i];
        if (row.kind == ControlKind::Picture) // drawn centred in its place
            ShowIcon(pictures_[i], controls_[i], STM_SETIMAGE, IMAGE_ICON,
                     LoadIconFor(instance_, IDI_IMAGE0 + row.index,
                                 TwipsToPixels(ClientTwips(row).width, dpi)));
        ::SendMessageA(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), redraw);
    }
}

// The wrench at the size of a window icon (SM_CXICON or SM_CXSMICON) at dpi.
HICON Form1::WindowIcon(int metric, int dpi) const {
    return LoadIconFor(instance_, IDI_WRENCH, dpi::SystemMetric(metric, dpi));
}

// The window at the place given, its client area the design's at dpi.
void Form1::PlaceWindow(const RECT &placed, int dpi) {
    ::SetWindowPos(window_, nullptr, placed.left, placed.top, placed.right - placed.left,
                   placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea(dpi);
}

// The client area the design's at dpi, whatever the frame the system gave the window.
void Form1::FitClientArea(int dpi) {
    RECT client{}, frame{};
    ::GetClientRect(window_, &client);
    const int wider = TwipsToPixels(kClientWidthTwips, dpi) - client.right;
    const int higher = TwipsToPixels(kClientHeightTwips, dpi) - client.bottom;
    if (!wider && !higher)
        return;
    ::GetWindowRect(window_, &frame);
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left + wider,
                   frame.bottom - frame.top + higher, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window shows the new icon before the one it replaces is destroyed.
void Form1::ShowIcon(IconHandle &held, HWND window, UINT message, WPARAM which, HICON icon) {
    ::SendMessageA(window, message, which, reinterpret_cast<LPARAM>(icon));
    held.reset(icon);
}

HWND Form1::Control(ControlKind kind, int index) const {
    for (std::size_t i = 0; i < kControlCount; ++i)
        if (kControls[i].kind == kind && kControls[i].index == index)
            return controls_[i];
    return nullptr;
}

// --- What the settings engine sees -------------------------------------------------------------

int Form1::Value(int index) {
    return static_cast<int>(
        ::SendMessageA(Control(ControlKind::CheckBox, index), BM_GETCHECK, 0, 0));
}

// BM_SETCHECK notifies nobody; the click that a changing assignment raises comes from here.
void Form1::SetValue(int index, int value) {
    if (Value(index) == value)
        return;
    ::SendMessageA(Control(ControlKind::CheckBox, index), BM_SETCHECK, static_cast<WPARAM>(value),
                   0);
    settings_.Check1_Click(static_cast<std::int16_t>(index));
}

void Form1::SetLabel1Caption(const std::string &ansiText) {
    user::SetAnsiText(Control(ControlKind::Label, 0), ansiText);
}

void Form1::ShowAllDrivesNote() {
    user::SetText(Control(ControlKind::Label, 0), texts::kAllDrivesNote);
}

void Form1::SetCheckEnabled(int index, bool enabled) {
    ::EnableWindow(Control(ControlKind::CheckBox, index), enabled ? TRUE : FALSE);
}

// --- Messages ----------------------------------------------------------------------------------

LRESULT CALLBACK Form1::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept {
    Form1 *self;
    if (message == WM_NCCREATE) {
        // CREATESTRUCTA and CREATESTRUCTW differ only in their string pointers.
        self =
            static_cast<Form1 *>(reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Form1 *>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self)
        return user::DefaultProcedure(window, message, wParam, lParam);
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        self->controls_.fill(nullptr);
    }
    return result;
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_DPICHANGED: // moved to a monitor of another scale: the rectangle the system suggests
        PlaceWindow(*reinterpret_cast<const RECT *>(lParam), HIWORD(wParam));
        LayOut(HIWORD(wParam));
        return 0;
    case WM_CLOSE: // the close box is "&Abbrechen"
        End();
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return user::DefaultProcedure(window_, message, wParam, lParam);
    }
}

// Enter and Escape reach us as IDOK and IDCANCEL from the dialog manager; no button has those
// ids and neither key presses a button.
void Form1::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED)
        return;
    const int checkBase = ControlId(ControlKind::CheckBox, 0);
    const int commandBase = ControlId(ControlKind::PushButton, 0);
    if (id >= checkBase && id < checkBase + kCheckCount)
        Check1_UserClick(id - checkBase);
    else if (id >= commandBase && id < commandBase + kCommandCount)
        Command1_Click(static_cast<std::int16_t>(id - commandBase));
}

// A window that is not a dialog must keep its focus control across deactivation itself.
void Form1::OnActivate(bool active) {
    if (!active) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(window_, focus))
            focus_ = focus;
    } else if (focus_ && ::IsWindowEnabled(focus_)) {
        ::SetFocus(focus_);
    }
}

// A click only ever toggles between 0 and 1, a greyed box becomes unchecked.
void Form1::Check1_UserClick(int index) {
    SetValue(index, Value(index) == 0 ? 1 : 0);
}

// --- The program's flow ------------------------------------------------------------------------

void Form1::Form_Load() {
    settings_.ReadValuesFromRegistry();
}

void Form1::Command1_Click(std::int16_t index) {
    switch (index) {
    case 0: // &Info
        ShowAboutBox(window_, texts::kTitle, texts::kAboutText);
        break;
    case 1: // &Standard
        settings_.SetDefaultValues();
        break;
    case 2: { // &OK
        const SaveReport report = settings_.SaveValues();
        if (report.AnyFailed() || report.machinePolicyDecides)
            ShowSaveWarning(window_, texts::kTitle, report);
        End();
        // Explorer rereads the policies on this broadcast, without a new logon. Windows that do
        // not answer can hold it up for a while: the window is gone by then.
        if (report.driveTypesWritten)
            user::BroadcastSettingChange(L"Policy", kPolicyBroadcastTimeout);
        break;
    }
    case 3: // &Abbrechen
        End();
        break;
    default:
        break;
    }
}

// The end is at once: the window goes, and its WM_DESTROY ends the message loop.
void Form1::End() {
    DestroyWindows();
}

void Form1::DestroyWindows() {
    if (window_)
        ::DestroyWindow(window_);
    if (owner_)
        ::DestroyWindow(owner_);
    owner_ = nullptr;
}

} // namespace quenzel
