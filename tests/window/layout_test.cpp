// The window and its controls as created: frame, kinds, captions, pixel rectangles at the
// screen's DPI, containers, pictures and the font every caption fits in.
#include "form_fixture.h"

#include "../../window/controls.h"
#include "../../window/dialog_font.h"
#include "../../window/resource.h"

#include <cstdlib>
#include <set>
#include <stdexcept>

namespace quenzel {
namespace {

using LayoutTest = FormTest;

enum Container { InWindow = -1, InFrame0 = 0, InFrame1 = 1, InFrame2 = 2 };

// The design, written out here a second time so that the window is checked against it rather
// than against its own table. Rectangles in twips, from the container's outer corner.
struct Expected {
    ControlKind kind;
    int index;
    const wchar_t *className;
    LONG type; // BS_* or SS_* type bits
    Container container;
    const wchar_t *caption;
    int left, top, width, height;
};

// clang-format off
const Expected kDesign[] = {
    {ControlKind::GroupFrame, 1, L"Button", BS_GROUPBOX, InWindow, L"Signal f\u00FCr Medienwechsel", 60, 60, 2352, 1572},
    {ControlKind::Label,      0, L"Static", SS_LEFT,     InFrame1, L"(Kein Ger\u00E4t gefunden)",   180,  360, 1995,  615},
    {ControlKind::Picture,    5, L"Static", SS_ICON,     InFrame1, L"",                            240, 1020,  480,  480},
    {ControlKind::CheckBox,   1, L"Button", BS_CHECKBOX, InFrame1, L"&aktiv",                      900, 1080, 1032,  372},
    {ControlKind::GroupFrame, 2, L"Button", BS_GROUPBOX, InWindow, L"Sofortiger Start",             60, 1740, 2352, 1332},
    {ControlKind::Picture,    7, L"Static", SS_ICON,     InFrame2, L"",                            240,  240,  480,  480},
    {ControlKind::CheckBox,   0, L"Button", BS_CHECKBOX, InFrame2, L"&Musik-CD",                   900,  420, 1092,  372},
    {ControlKind::Picture,    6, L"Static", SS_ICON,     InFrame2, L"",                            240,  720,  480,  480},
    {ControlKind::CheckBox,   7, L"Button", BS_CHECKBOX, InFrame2, L"&Programm-CD",                900,  840, 1332,  372},
    {ControlKind::GroupFrame, 0, L"Button", BS_GROUPBOX, InWindow, L"AutoRun erlauben",           2520,   60, 2352, 3012},
    {ControlKind::Picture,    0, L"Static", SS_ICON,     InFrame0, L"",                            240,  240,  480,  480},
    {ControlKind::CheckBox,   5, L"Button", BS_CHECKBOX, InFrame0, L"&CD-ROM",                     900,  360, 1392,  372},
    {ControlKind::Picture,    1, L"Static", SS_ICON,     InFrame0, L"",                            240,  780,  480,  480},
    {ControlKind::CheckBox,   2, L"Button", BS_CHECKBOX, InFrame0, L"&Diskette",                   900,  900, 1332,  372},
    {ControlKind::Picture,    2, L"Static", SS_ICON,     InFrame0, L"",                            240, 1320,  480,  480},
    {ControlKind::CheckBox,   3, L"Button", BS_CHECKBOX, InFrame0, L"&Festplatte",                 900, 1440, 1152,  372},
    {ControlKind::Picture,    3, L"Static", SS_ICON,     InFrame0, L"",                            240, 1860,  480,  480},
    {ControlKind::CheckBox,   6, L"Button", BS_CHECKBOX, InFrame0, L"&Ram-Disk",                   900, 1980, 1152,  372},
    {ControlKind::Picture,    4, L"Static", SS_ICON,     InFrame0, L"",                            240, 2460,  480,  480},
    {ControlKind::CheckBox,   4, L"Button", BS_CHECKBOX, InFrame0, L"&Netzwerk",                   900, 2520, 1392,  372},
    {ControlKind::PushButton, 0, L"Button", BS_PUSHBUTTON, InWindow, L"&Info",                      60, 3180, 1152,  372},
    {ControlKind::PushButton, 1, L"Button", BS_PUSHBUTTON, InWindow, L"&Standard",                1260, 3180, 1152,  372},
    {ControlKind::PushButton, 3, L"Button", BS_PUSHBUTTON, InWindow, L"&Abbrechen",               2520, 3180, 1215,  375},
    {ControlKind::PushButton, 2, L"Button", BS_PUSHBUTTON, InWindow, L"&OK",                      3780, 3180, 1092,  372},
};
// clang-format on

const Expected &FrameDesign(int index) {
    for (const Expected &e : kDesign)
        if (e.kind == ControlKind::GroupFrame && e.index == index)
            return e;
    throw std::logic_error("no such frame");
}

RECT ClientRectOf(HWND control) {
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(control), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

bool Inside(const RECT &inner, const RECT &outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Describe(const RECT &r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

TEST_P(LayoutTest, TheWindowIsAFixedDialogOwnedByAHiddenWindow) {
    Start();
    const LONG style = ::GetWindowLongW(Form(), GWL_STYLE);
    const LONG exStyle = ::GetWindowLongW(Form(), GWL_EXSTYLE);
    EXPECT_EQ(WS_CAPTION, style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD));
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_TRUE(::IsWindowVisible(Form()));
    EXPECT_EQ(L"Quenzel", WindowText(Form()));

    // Owned by a hidden top-level window: no task-bar button.
    HWND owner = ::GetWindow(Form(), GW_OWNER);
    ASSERT_NE(nullptr, owner);
    EXPECT_FALSE(::IsWindowVisible(owner));
    EXPECT_EQ(nullptr, ::GetParent(owner));

    // The client area is 4935 x 3615 twips at the screen's DPI.
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    RECT client;
    ::GetClientRect(Form(), &client);
    EXPECT_EQ(::MulDiv(4935, dpi, 1440), client.right);
    EXPECT_EQ(::MulDiv(3615, dpi, 1440), client.bottom);
    if (dpi == 96) {
        EXPECT_EQ(329, client.right);
        EXPECT_EQ(241, client.bottom);
    }

    // The wrench, at both sizes.
    for (int which : {GCLP_HICON, GCLP_HICONSM})
        EXPECT_NE(0u, ::GetClassLongPtrW(Form(), which));
}

TEST_P(LayoutTest, TheWindowIsBuiltThroughTheChosenTextPath) {
    Start();
    const BOOL wide = GetParam() == text::Path::Wide;
    EXPECT_EQ(wide, ::IsWindowUnicode(Form()));
    for (const Expected &e : kDesign)
        EXPECT_EQ(wide, ::IsWindowUnicode(form->Control(e.kind, e.index))) << e.caption;
}

TEST_P(LayoutTest, EveryControlHasItsKindCaptionRectangleAndContainer) {
    Start("REGEDIT4\n");
    const int dpi = form->Dpi();
    std::set<int> ids;
    for (const Expected &e : kDesign) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(e.kind) << "(" << e.index << ") "
                                        << testing::PrintToString(std::wstring(e.caption)));
        HWND control = form->Control(e.kind, e.index);
        ASSERT_NE(nullptr, control);
        // Frames are siblings of what they contain, as the dialog manager walks them best.
        EXPECT_EQ(Form(), ::GetParent(control));

        wchar_t className[32] = {};
        ::GetClassNameW(control, className, 32);
        EXPECT_EQ(0, _wcsicmp(e.className, className)) << className;
        const LONG style = ::GetWindowLongW(control, GWL_STYLE);
        const LONG typeMask = e.className[0] == L'B' ? BS_TYPEMASK : SS_TYPEMASK;
        EXPECT_EQ(e.type, style & typeMask);
        EXPECT_EQ(std::wstring(e.caption), WindowText(control));

        const int id = ::GetDlgCtrlID(control);
        EXPECT_NE(IDOK, id);
        EXPECT_NE(IDCANCEL, id);
        EXPECT_NE(0xFFFF, id);
        EXPECT_TRUE(ids.insert(id).second) << "id " << id << " twice";

        int left = e.left, top = e.top;
        if (e.container != InWindow) {
            left += FrameDesign(e.container).left;
            top += FrameDesign(e.container).top;
        }
        const RECT actual = ClientRectOf(control);
        const int x = ::MulDiv(left, dpi, 1440), y = ::MulDiv(top, dpi, 1440);
        RECT expected{x, y, x + ::MulDiv(e.width, dpi, 1440), y + ::MulDiv(e.height, dpi, 1440)};
        if (e.kind == ControlKind::Picture)
            expected = RECT{x, y, x + 32, y + 32}; // an icon at its natural size
        EXPECT_EQ(Describe(expected), Describe(actual));

        // The container: inside its frame and no other; window-level controls in none.
        for (int f = 0; f < 3; ++f) {
            if (e.kind == ControlKind::GroupFrame)
                break;
            EXPECT_EQ(f == e.container, Inside(actual, ClientRectOf(Frame(f)))) << "frame " << f;
        }
    }
}

// The pictures' size by screen DPI, the system icon size: at 144 dpi six pictures show their
// 48-pixel frames and the two drawn only up to 32 pixels (3 and 6) come scaled to 48. The suite
// runs at 96 dpi and this test once more at 144 (CMakeLists.txt).
struct PictureSize {
    int dpi;
    int pixels;
};
const PictureSize kPictureSizes[] = {{96, 32}, {144, 48}};

TEST_P(LayoutTest, PicturesShowTheirOwnIconAtTheSystemIconSizeWithoutBorder) {
    Start();
    const int dpi = form->Dpi();
    int size = 0;
    for (const PictureSize &row : kPictureSizes)
        if (row.dpi == dpi)
            size = row.pixels;
    ASSERT_NE(0, size) << "no picture size for " << dpi << " dpi";
    for (const Expected &e : kDesign) {
        if (e.kind != ControlKind::Picture)
            continue;
        SCOPED_TRACE(e.index);
        HWND picture = Image(e.index);
        EXPECT_FALSE(::GetWindowLongW(picture, GWL_STYLE) & (WS_BORDER | SS_REALSIZECONTROL));
        EXPECT_FALSE(::GetWindowLongW(picture, GWL_EXSTYLE) &
                     (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
        // At the top left of its place in twips, as large as its icon.
        const int x = ::MulDiv(e.left + FrameDesign(e.container).left, dpi, 1440);
        const int y = ::MulDiv(e.top + FrameDesign(e.container).top, dpi, 1440);
        EXPECT_EQ(Describe(RECT{x, y, x + size, y + size}), Describe(ClientRectOf(picture)));

        auto icon = reinterpret_cast<HICON>(::SendMessageW(picture, STM_GETICON, 0, 0));
        ASSERT_NE(nullptr, icon);
        ICONINFO shown{};
        ASSERT_TRUE(::GetIconInfo(icon, &shown));
        BITMAP mask{};
        ::GetObjectW(shown.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(size, mask.bmWidth);

        // The same pixels as the resource of that index at that size.
        HICON resource = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                         MAKEINTRESOURCEW(IDI_IMAGE0 + e.index),
                                                         IMAGE_ICON, size, size, 0));
        ICONINFO own{};
        ASSERT_TRUE(::GetIconInfo(resource, &own));
        auto bits = [](HBITMAP bitmap) {
            BITMAP info{};
            ::GetObjectW(bitmap, sizeof info, &info);
            std::vector<char> data(static_cast<std::size_t>(info.bmWidthBytes * info.bmHeight));
            ::GetBitmapBits(bitmap, static_cast<LONG>(data.size()), data.data());
            return data;
        };
        EXPECT_EQ(bits(own.hbmColor), bits(shown.hbmColor));
        EXPECT_EQ(bits(own.hbmMask), bits(shown.hbmMask));
        for (HBITMAP b : {shown.hbmColor, shown.hbmMask, own.hbmColor, own.hbmMask})
            ::DeleteObject(b);
        ::DestroyIcon(resource);
    }
}

TEST_P(LayoutTest, EveryCaptionFitsInTheFontItsControlCarries) {
    Start("REGEDIT4\n");
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(Check(5), WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, font);
    HDC dc = ::GetDC(nullptr);
    const int dpi = form->Dpi();
    for (const Expected &e : kDesign) {
        if (e.kind == ControlKind::Picture)
            continue;
        SCOPED_TRACE(testing::PrintToString(std::wstring(e.caption)));
        HWND control = form->Control(e.kind, e.index);
        // One font for all, the same on every control.
        EXPECT_EQ(font, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        RECT client;
        ::GetClientRect(control, &client);
        HGDIOBJ previous = ::SelectObject(dc, font);
        EXPECT_TRUE(
            CaptionFits(dc, e.kind, WindowText(control), SIZE{client.right, client.bottom}, dpi));
        if (e.kind == ControlKind::Label) {
            const std::wstring note = L"Gilt f\u00FCr alle CD-ROM-Laufwerke; wirksam nach einem "
                                      L"Neustart.";
            EXPECT_TRUE(CaptionFits(dc, e.kind, note, SIZE{client.right, client.bottom}, dpi));
        }
        ::SelectObject(dc, previous);
    }

    // The font is the system's message font, or a smaller one where that would not fit.
    LOGFONTW used{};
    ::GetObjectW(font, sizeof used, &used);
    const LOGFONTW system = text::MessageFont();
    EXPECT_STREQ(system.lfFaceName, used.lfFaceName);
    EXPECT_LE(std::abs(used.lfHeight), std::abs(system.lfHeight));
    EXPECT_GE(std::abs(used.lfHeight) * 4, std::abs(system.lfHeight) * 3);

    // The measure can fail: twice that height does not fit "&Programm-CD".
    used.lfHeight *= 2;
    HFONT large = ::CreateFontIndirectW(&used);
    HGDIOBJ previous = ::SelectObject(dc, large);
    EXPECT_FALSE(CaptionFits(dc, ControlKind::CheckBox, L"&Programm-CD",
                             SIZE{::MulDiv(1332, dpi, 1440), ::MulDiv(372, dpi, 1440)}, dpi));
    ::SelectObject(dc, previous);
    ::DeleteObject(large);
    ::ReleaseDC(nullptr, dc);
}

TEST_P(LayoutTest, TheLabelShowsTheDeviceDescriptionFromTheAnsiCodePage) {
    if (::GetACP() != 1252)
        GTEST_SKIP() << "the description is written in Windows-1252";
    Start("REGEDIT4\n"
          "[HKEY_DYN_DATA\\Config Manager\\Enum\\E]\n\"HardWareKey\"=\"D\"\n"
          "[HKEY_LOCAL_MACHINE\\Enum\\D]\n\"DeviceDesc\"=\"Laufwerk f\xFCr CDs & DVDs\"\n"
          "\"AutoInsertNotification\"=hex:00\n");
    EXPECT_EQ(L"Laufwerk f\u00FCr CDs & DVDs", WindowText(Label()));
    EXPECT_EQ("Laufwerk f\xFCr CDs & DVDs", WindowTextAnsi(Label()));
    // "&" in a description is a character, not a mnemonic.
    EXPECT_TRUE(::GetWindowLongW(Label(), GWL_STYLE) & SS_NOPREFIX);
    EXPECT_TRUE(::IsWindowEnabled(Check(kMediaChange)));
    EXPECT_EQ("0", Boxes().substr(kMediaChange, 1));
}

TEST_P(LayoutTest, WithoutADeviceListTheLabelSaysTheSwitchIsForAllDrives) {
    Start("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Cdrom]\n"
          "\"AutoRun\"=dword:00000001\n");
    EXPECT_EQ(L"Gilt f\u00FCr alle CD-ROM-Laufwerke; wirksam nach einem Neustart.",
              WindowText(Label()));
    EXPECT_TRUE(::IsWindowEnabled(Check(kMediaChange)));
    EXPECT_EQ("1", Boxes().substr(kMediaChange, 1));
}

TEST_P(LayoutTest, WithoutACdRomDeviceAktivIsDisabledAndTheLabelSaysSo) {
    Start("REGEDIT4\n[HKEY_DYN_DATA\\Config Manager\\Enum\\E]\n\"HardWareKey\"=\"MOUSE\"\n");
    EXPECT_EQ(L"(Kein Ger\u00E4t gefunden)", WindowText(Label()));
    EXPECT_FALSE(::IsWindowEnabled(Check(kMediaChange)));
}

// The registry is read before the window is first shown.
HHOOK gShowHook = nullptr;
std::wstring gLabelWhenShown;
std::string gCdRomWhenShown;

LRESULT CALLBACK OnCallWindowProcedure(int code, WPARAM wParam, LPARAM lParam) {
    const auto *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    wchar_t name[32] = {};
    ::GetClassNameW(call->hwnd, name, 32);
    if (code == HC_ACTION && call->message == WM_SHOWWINDOW && call->wParam &&
        std::wstring(name) == L"QuenzelForm1" && gLabelWhenShown.empty()) {
        HWND label = ::FindWindowExW(call->hwnd, nullptr, L"Static", nullptr);
        gLabelWhenShown = label ? WindowText(label) : L"<none>";
        HWND cdRom = ::FindWindowExW(call->hwnd, nullptr, L"Button", L"&CD-ROM");
        gCdRomWhenShown = cdRom ? std::to_string(::SendMessageW(cdRom, BM_GETCHECK, 0, 0)) : "?";
    }
    return ::CallNextHookEx(gShowHook, code, wParam, lParam);
}

TEST_P(LayoutTest, TheRegistryIsReadBeforeTheWindowIsFirstShown) {
    gLabelWhenShown.clear();
    gShowHook =
        ::SetWindowsHookExW(WH_CALLWNDPROC, OnCallWindowProcedure, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, gShowHook);
    Start();
    ::UnhookWindowsHookEx(gShowHook);
    EXPECT_EQ(text::FromAnsi(kDeviceDescription), gLabelWhenShown);
    EXPECT_EQ("1", gCdRomWhenShown);
}

INSTANTIATE_TEST_SUITE_P(Paths, LayoutTest, ::testing::Values(text::Path::Wide, text::Path::Ansi),
                         PathName);

// The conversion the layout rests on: to the nearest pixel, halves away from zero.
TEST(TwipsToPixelsTest, RoundsToTheNearestPixel) {
    const struct {
        int twips, dpi, pixels;
    } cases[] = {{4935, 96, 329}, {232, 96, 15}, {4935, 144, 494}, {5, 144, 1}, {-5, 144, -1}};
    for (const auto &c : cases)
        EXPECT_EQ(c.pixels, TwipsToPixels(c.twips, c.dpi)) << c.twips << " twips at " << c.dpi;
}

} // namespace
} // namespace quenzel
