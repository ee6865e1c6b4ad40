// The key and pad table behind host_controls.h.
#include "host/host_controls.h"

#include <cstring>

#include "hw/hw_buttons.h"

namespace {

// Short names for the handheld's buttons, to keep the tables below narrow.
constexpr uint32_t UP = BUTTON_UP, LEFT = BUTTON_LEFT, DOWN = BUTTON_DOWN, RIGHT = BUTTON_RIGHT;
constexpr uint32_t START = BUTTON_START, SELECT = BUTTON_SELECT, L = BUTTON_L, R = BUTTON_R;
constexpr uint32_t A = BUTTON_A, B = BUTTON_B, X = BUTTON_X, Y = BUTTON_Y;
constexpr uint32_t VOLDOWN = BUTTON_VOLUME_DOWN, VOLUP = BUTTON_VOLUME_UP, CLICK = BUTTON_CLICK;

constexpr uint32_t PAD_BUTTONS[] = {
    A,      B,     X,     Y,      // face buttons
    L,      R,     0,     0,      // shoulders; the triggers are read as axes
    SELECT, START, CLICK, 0,      // back, start, stick presses
    UP,     DOWN,  LEFT,  RIGHT,  // d-pad
};

}  // namespace

const HostKeyBinding HOST_KEY_BINDINGS[] = {
    {0x52, "ArrowUp", UP},
    {0x51, "ArrowDown", DOWN},
    {0x50, "ArrowLeft", LEFT},
    {0x4F, "ArrowRight", RIGHT},
    {0x28, "Enter", START},
    {0x58, "NumpadEnter", START},
    {0x2C, "Space", SELECT},
    {0x2A, "Backspace", SELECT},
    {0x14, "KeyQ", L},
    {0x1A, "KeyW", R},
    {0x04, "KeyA", A},
    {0x16, "KeyS", B},
    {0x1D, "KeyZ", X},
    {0x1B, "KeyX", Y},
    {0x2D, "Minus", VOLDOWN},
    {0x56, "NumpadSubtract", VOLDOWN},
    {0x2E, "Equal", VOLUP},
    {0x57, "NumpadAdd", VOLUP},
    {0x29, "Escape", BUTTON_EXIT_KEYS},
};
const int HOST_KEY_BINDING_COUNT = int(sizeof HOST_KEY_BINDINGS / sizeof HOST_KEY_BINDINGS[0]);

uint32_t host_key_buttons_usb(uint16_t usb_usage) {
    for (const HostKeyBinding& b : HOST_KEY_BINDINGS)
        if (b.usb_usage == usb_usage) return b.buttons;
    return 0;
}

uint32_t host_key_buttons_dom(const char* dom_code) {
    for (const HostKeyBinding& b : HOST_KEY_BINDINGS)
        if (std::strcmp(b.dom_code, dom_code) == 0) return b.buttons;
    return 0;
}

uint32_t host_pad_buttons(const HostPadState& pad) {
    uint32_t mask = 0;
    for (uint32_t i = 0; i < sizeof PAD_BUTTONS / sizeof PAD_BUTTONS[0]; ++i)
        if (pad.pressed & (1u << i)) mask |= PAD_BUTTONS[i];
    if (pad.left_x < -HOST_PAD_DEAD_ZONE) mask |= LEFT;
    if (pad.left_x > HOST_PAD_DEAD_ZONE) mask |= RIGHT;
    if (pad.left_y < -HOST_PAD_DEAD_ZONE) mask |= UP;
    if (pad.left_y > HOST_PAD_DEAD_ZONE) mask |= DOWN;
    if (pad.left_trigger > HOST_PAD_DEAD_ZONE) mask |= VOLDOWN;
    if (pad.right_trigger > HOST_PAD_DEAD_ZONE) mask |= VOLUP;
    return mask;
}
