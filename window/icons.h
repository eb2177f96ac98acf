// Icons of the program's resources at the size of their place, never stretched by a fraction.
#pragma once

#include <windows.h>

namespace quenzel {

// The largest frame the resource has that fits the place, at its natural size or, where the place
// holds it twice or more, repeated pixel for pixel that many times; null when there is none. The
// caller destroys it.
HICON LoadIconFor(HINSTANCE instance, int id, int place);

} // namespace quenzel
