// Icons of the program's resources at the size of their place, never stretched by a fraction.
#include "icons.h"

namespace quenzel {

namespace {

// An entry of an icon resource's directory (RT_GROUP_ICON), as stored: packed to 2 bytes.
#pragma pack(push, 2)
struct FrameEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// The width of the largest frame no wider than place; 0 when none is.
int LargestFrame(HINSTANCE instance, int id, int place) {
    HRSRC found = ::FindResourceA(instance, MAKEINTRESOURCEA(id), RT_GROUP_ICON);
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const auto *directory = static_cast<const WORD *>(loaded ? ::LockResource(loaded) : nullptr);
    if (!directory)
        return 0;
    // Reserved, type and count, then the entries.
    const auto *entries = reinterpret_cast<const FrameEntry *>(directory + 3);
    int largest = 0;
    for (WORD i = 0; i < directory[2]; ++i) {
        const int width = entries[i].width ? entries[i].width : 256;
        if (width <= place && width > largest)
            largest = width;
    }
    return largest;
}

} // namespace

HICON LoadIconFor(HINSTANCE instance, int id, int place) {
    const int frame = LargestFrame(instance, id, place);
    if (frame == 0)
        return nullptr;
    const int size = place / frame * frame;
    return static_cast<HICON>(
        ::LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

} // namespace quenzel
