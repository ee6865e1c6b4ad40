// The host's controls for the handheld's buttons, one table for every front
// end (the SDL window and the web page): keyboard keys by where they sit on
// the keyboard, game-controller buttons by where they sit on a standard pad.
//
// Keyboard: arrows = d-pad, Enter = start, Space or Backspace = select,
// Q/W = l/r, A/S/Z/X = a/b/x/y, -/+ = volume down/up, Escape = l+r (quit).
// Pad: d-pad and left stick = d-pad, the four face buttons = a/b/x/y,
// shoulders = l/r, back = select, start = start, left stick press = click,
// left and right triggers = volume down/up.
#pragma once

#include <cstdint>

struct HostKeyBinding {
    uint16_t usb_usage;    // USB HID keyboard usage (page 7): SDL2's scancode
    const char* dom_code;  // the browser's KeyboardEvent.code
    uint32_t buttons;      // button-mask bits held while the key is down
};
extern const HostKeyBinding HOST_KEY_BINDINGS[];
extern const int HOST_KEY_BINDING_COUNT;

// Buttons of the standard pad layout (the Gamepad API's "standard" mapping
// numbers them in this order; SDL's game controllers have the same places).
enum HostPadButton : uint32_t {
    HOST_PAD_SOUTH,  // A on most pads
    HOST_PAD_EAST,   // B
    HOST_PAD_WEST,   // X
    HOST_PAD_NORTH,  // Y
    HOST_PAD_LEFT_SHOULDER,
    HOST_PAD_RIGHT_SHOULDER,
    HOST_PAD_LEFT_TRIGGER,
    HOST_PAD_RIGHT_TRIGGER,
    HOST_PAD_BACK,
    HOST_PAD_START,
    HOST_PAD_LEFT_STICK,
    HOST_PAD_RIGHT_STICK,
    HOST_PAD_UP,
    HOST_PAD_DOWN,
    HOST_PAD_LEFT,
    HOST_PAD_RIGHT,
};

// One pad as the front end read it. Axes in SDL's units: sticks -32768..32767
// (negative = left, up), triggers 0..32767.
struct HostPadState {
    uint32_t pressed = 0;  // bit (1 << HostPadButton) per button held
    int left_x = 0, left_y = 0;
    int left_trigger = 0, right_trigger = 0;
};

// A stick or trigger counts beyond this much of its travel (a dead zone
// against resting drift).
constexpr int HOST_PAD_DEAD_ZONE = 12000;

// The handheld's buttons for a held key (0 when the key means nothing).
uint32_t host_key_buttons_usb(uint16_t usb_usage);
uint32_t host_key_buttons_dom(const char* dom_code);
uint32_t host_pad_buttons(const HostPadState& pad);
