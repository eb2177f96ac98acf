// quenzel.exe: Form1 on the system's registry, until the user ends it.
#include "../registry/advapi32_registry.h"
#include "form1.h"
#include "message_loop.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    quenzel::Advapi32Registry registry;
    quenzel::Form1 form(registry, instance);
    if (!form.Create())
        return 1;
    return quenzel::RunMessageLoop(form);
}
