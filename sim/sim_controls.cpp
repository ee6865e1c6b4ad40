// The key and pad table behind sim_controls.h.
#include "sim/sim_controls.h"

#include <cstring>

namespace {

// The handheld's buttons by mask bit, as the --input script names them.
constexpr uint32_t UP = 1u << 0, LEFT = 1u << 2, DOWN = 1u << 4, RIGHT = 1u << 6;
constexpr uint32_t START = 1u << 8, SELECT = 1u << 9, L = 1u << 10, R = 1u << 11;
constexpr uint32_t A = 1u << 12, B = 1u << 13, X = 1u << 14, Y = 1u << 15;
constexpr uint32_t VOLDOWN = 1u << 16, VOLUP = 1u << 17, CLICK = 1u << 18;

constexpr uint32_t PAD_BUTTONS[] = {
    A,      B,     X,     Y,      // face buttons
    L,      R,     0,     0,      // shoulders; the triggers are read as axes
    SELECT, START, CLICK, 0,      // back, start, stick presses
    UP,     DOWN,  LEFT,  RIGHT,  // d-pad
};

}  // namespace

const SimKeyBinding SIM_KEY_BINDINGS[] = {
    {0x52, "ArrowUp", UP},     {0x51, "ArrowDown", DOWN},
    {0x50, "ArrowLeft", LEFT}, {0x4F, "ArrowRight", RIGHT},
    {0x28, "Enter", START},    {0x58, "NumpadEnter", START},
    {0x2C, "Space", SELECT},   {0x2A, "Backspace", SELECT},
    {0x14, "KeyQ", L},         {0x1A, "KeyW", R},
    {0x04, "KeyA", A},         {0x16, "KeyS", B},
    {0x1D, "KeyZ", X},         {0x1B, "KeyX", Y},
    {0x2D, "Minus", VOLDOWN},  {0x56, "NumpadSubtract", VOLDOWN},
    {0x2E, "Equal", VOLUP},    {0x57, "NumpadAdd", VOLUP},
    {0x29, "Escape", L | R},
};
const int SIM_KEY_BINDING_COUNT = int(sizeof SIM_KEY_BINDINGS / sizeof SIM_KEY_BINDINGS[0]);

uint32_t sim_key_buttons_usb(uint16_t usb_usage) {
    for (const SimKeyBinding& b : SIM_KEY_BINDINGS)
        if (b.usb_usage == usb_usage) return b.buttons;
    return 0;
}

uint32_t sim_key_buttons_dom(const char* dom_code) {
    for (const SimKeyBinding& b : SIM_KEY_BINDINGS)
        if (std::strcmp(b.dom_code, dom_code) == 0) return b.buttons;
    return 0;
}

uint32_t sim_pad_buttons(const SimPadState& pad) {
    uint32_t mask = 0;
    for (uint32_t i = 0; i < sizeof PAD_BUTTONS / sizeof PAD_BUTTONS[0]; ++i)
        if (pad.pressed & (1u << i)) mask |= PAD_BUTTONS[i];
    if (pad.left_x < -SIM_PAD_DEAD_ZONE) mask |= LEFT;
    if (pad.left_x > SIM_PAD_DEAD_ZONE) mask |= RIGHT;
    if (pad.left_y < -SIM_PAD_DEAD_ZONE) mask |= UP;
    if (pad.left_y > SIM_PAD_DEAD_ZONE) mask |= DOWN;
    if (pad.left_trigger > SIM_PAD_DEAD_ZONE) mask |= VOLDOWN;
    if (pad.right_trigger > SIM_PAD_DEAD_ZONE) mask |= VOLUP;
    return mask;
}
