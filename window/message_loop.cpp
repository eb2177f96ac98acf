// The program's message loop, with the dialog manager's keyboard handling for Form1.
#include "message_loop.h"

#include "user_api.h"

namespace quenzel {

int RunMessageLoop(const Form1 &form) {
    MSG message;
    for (;;) {
        const BOOL got = user::NextMessage(&message);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return 1;
        // Tab, Shift+Tab, space and Alt with a letter belong to the dialog manager.
        HWND dialog = form.Window();
        if (dialog && user::TakenByDialogManager(dialog, &message))
            continue;
        ::TranslateMessage(&message);
        user::Dispatch(&message);
    }
}

} // namespace quenzel
