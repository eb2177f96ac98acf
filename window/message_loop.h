// The program's message loop, with the dialog manager's keyboard handling for Form1.
#pragma once

#include "form1.h"

namespace quenzel {

// Runs until Form1 ends the program; returns the exit code.
int RunMessageLoop(const Form1 &form);

} // namespace quenzel
