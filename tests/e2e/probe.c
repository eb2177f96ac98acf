/* Prints what a test cannot see from outside otherwise: the Windows version Wine reports, and for
 * the window with the given title and each of its controls whether user32 keeps it as a Unicode
 * window, with its text in UTF-8. Usage: probe.exe [TITLE] */
#include <stdio.h>
#include <windows.h>

static void show(const char *what, HWND window) {
    wchar_t text[512];
    char utf8[1024];
    GetWindowTextW(window, text, 512);
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
    printf("%s unicode=%d text=%s\n", what, IsWindowUnicode(window) ? 1 : 0, utf8);
}

static BOOL CALLBACK show_child(HWND window, LPARAM unused) {
    (void)unused;
    show("control", window);
    return TRUE;
}

int main(int argc, char **argv) {
    HWND window = FindWindowA(NULL, argc > 1 ? argv[1] : "Quenzel");
    printf("version 0x%08lx\n", (unsigned long)GetVersion());
    if (!window)
        return 1;
    show("window", window);
    EnumChildWindows(window, show_child, 0);
    return 0;
}
