// SPDX-License-Identifier: MIT
#include "core/KeyPositions.h"

namespace {

using KeyPositions::Entry;

// Virtual key code, X keycode; the comment gives the key and its XKB name in the evdev
// keycodes. PC keys take the place of their Apple counterparts: Super is Command, Alt is
// Option, Insert is Help, Num Lock is the keypad's Clear, the key between left Shift and Z
// is the ISO section key.
// clang-format off
constexpr Entry positions[] = {
    {0, 38},    // A        <AC01>
    {1, 39},    // S        <AC02>
    {2, 40},    // D        <AC03>
    {3, 41},    // F        <AC04>
    {4, 43},    // H        <AC06>
    {5, 42},    // G        <AC05>
    {6, 52},    // Z        <AB01>
    {7, 53},    // X        <AB02>
    {8, 54},    // C        <AB03>
    {9, 55},    // V        <AB04>
    {10, 94},   // ISO §    <LSGT>
    {11, 56},   // B        <AB05>
    {12, 24},   // Q        <AD01>
    {13, 25},   // W        <AD02>
    {14, 26},   // E        <AD03>
    {15, 27},   // R        <AD04>
    {16, 29},   // Y        <AD06>
    {17, 28},   // T        <AD05>
    {18, 10},   // 1        <AE01>
    {19, 11},   // 2        <AE02>
    {20, 12},   // 3        <AE03>
    {21, 13},   // 4        <AE04>
    {22, 15},   // 6        <AE06>
    {23, 14},   // 5        <AE05>
    {24, 21},   // =        <AE12>
    {25, 18},   // 9        <AE09>
    {26, 16},   // 7        <AE07>
    {27, 20},   // -        <AE11>
    {28, 17},   // 8        <AE08>
    {29, 19},   // 0        <AE10>
    {30, 35},   // ]        <AD12>
    {31, 32},   // O        <AD09>
    {32, 30},   // U        <AD07>
    {33, 34},   // [        <AD11>
    {34, 31},   // I        <AD08>
    {35, 33},   // P        <AD10>
    {36, 36},   // Return   <RTRN>
    {37, 46},   // L        <AC09>
    {38, 44},   // J        <AC07>
    {39, 48},   // '        <AC11>
    {40, 45},   // K        <AC08>
    {41, 47},   // ;        <AC10>
    {42, 51},   // \        <BKSL>
    {43, 59},   // ,        <AB08>
    {44, 61},   // /        <AB10>
    {45, 57},   // N        <AB06>
    {46, 58},   // M        <AB07>
    {47, 60},   // .        <AB09>
    {48, 23},   // Tab      <TAB>
    {49, 65},   // Space    <SPCE>
    {50, 49},   // `        <TLDE>
    {51, 22},   // Backspace <BKSP>
    {53, 9},    // Escape   <ESC>
    {54, 134},  // right Command (Super)  <RWIN>
    {55, 133},  // Command (Super)        <LWIN>
    {56, 50},   // Shift    <LFSH>
    {57, 66},   // Caps Lock <CAPS>
    {58, 64},   // Option (Alt)           <LALT>
    {59, 37},   // Control  <LCTL>
    {60, 62},   // right Shift            <RTSH>
    {61, 108},  // right Option (AltGr)   <RALT>
    {62, 105},  // right Control          <RCTL>
    {64, 195},  // F17      <FK17>
    {65, 91},   // keypad . <KPDL>
    {67, 63},   // keypad * <KPMU>
    {69, 86},   // keypad + <KPAD>
    {71, 77},   // keypad Clear (Num Lock) <NMLK>
    {72, 123},  // volume up   <VOL+>
    {73, 122},  // volume down <VOL->
    {74, 121},  // mute     <MUTE>
    {75, 106},  // keypad / <KPDV>
    {76, 104},  // keypad Enter <KPEN>
    {78, 82},   // keypad - <KPSU>
    {79, 196},  // F18      <FK18>
    {80, 197},  // F19      <FK19>
    {81, 125},  // keypad = <KPEQ>
    {82, 90},   // keypad 0 <KP0>
    {83, 87},   // keypad 1 <KP1>
    {84, 88},   // keypad 2 <KP2>
    {85, 89},   // keypad 3 <KP3>
    {86, 83},   // keypad 4 <KP4>
    {87, 84},   // keypad 5 <KP5>
    {88, 85},   // keypad 6 <KP6>
    {89, 79},   // keypad 7 <KP7>
    {90, 198},  // F20      <FK20>
    {91, 80},   // keypad 8 <KP8>
    {92, 81},   // keypad 9 <KP9>
    {93, 132},  // JIS Yen  <AE13>
    {94, 97},   // JIS Ro   <AB11>
    {95, 129},  // JIS keypad comma <I129>
    {96, 71},   // F5       <FK05>
    {97, 72},   // F6       <FK06>
    {98, 73},   // F7       <FK07>
    {99, 69},   // F3       <FK03>
    {100, 74},  // F8       <FK08>
    {101, 75},  // F9       <FK09>
    {103, 95},  // F11      <FK11>
    {105, 191}, // F13      <FK13>
    {106, 194}, // F16      <FK16>
    {107, 192}, // F14      <FK14>
    {109, 76},  // F10      <FK10>
    {110, 135}, // context menu <COMP>
    {111, 96},  // F12      <FK12>
    {113, 193}, // F15      <FK15>
    {114, 118}, // Help (Insert) <INS>
    {115, 110}, // Home     <HOME>
    {116, 112}, // Page Up  <PGUP>
    {117, 119}, // forward Delete <DELE>
    {118, 70},  // F4       <FK04>
    {119, 115}, // End      <END>
    {120, 68},  // F2       <FK02>
    {121, 117}, // Page Down <PGDN>
    {122, 67},  // F1       <FK01>
    {123, 113}, // ←        <LEFT>
    {124, 114}, // →        <RGHT>
    {125, 116}, // ↓        <DOWN>
    {126, 111}, // ↑        <UP>
};
// clang-format on

} // namespace

namespace KeyPositions {

std::span<const Entry> all()
{
    return positions;
}

std::optional<uint32_t> xKeycodeForVirtualKey(uint32_t virtualKey)
{
    for (const Entry& entry : positions) {
        if (entry.virtualKey == virtualKey)
            return entry.xKeycode;
    }
    return std::nullopt;
}

std::optional<uint32_t> virtualKeyForXKeycode(uint32_t xKeycode)
{
    for (const Entry& entry : positions) {
        if (entry.xKeycode == xKeycode)
            return entry.virtualKey;
    }
    return std::nullopt;
}

} // namespace KeyPositions
