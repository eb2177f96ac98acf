// Resource ids shared by quenzel.rc and the window code.
#pragma once

// The program file's icon is the first one, so it has the lowest id.
#define IDI_WRENCH 1
// Image1(i) shows IDI_IMAGE0 + i.
#define IDI_IMAGE0 100
#define IDI_IMAGE1 101
#define IDI_IMAGE2 102
#define IDI_IMAGE3 103
#define IDI_IMAGE4 104
#define IDI_IMAGE5 105
#define IDI_IMAGE6 106
#define IDI_IMAGE7 107
