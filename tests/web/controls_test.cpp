// The host controls: the key table's codes are the keys the window reads
// (SDL's scancodes) and the keys the page reads (KeyboardEvent.code), and a
// pad's sticks and triggers count only past the dead zone.
#include <SDL.h>
#include <gtest/gtest.h>

#include "host/host_controls.h"
#include "host/host_options.h"

namespace {

uint32_t buttons(const char* script_keys) {
    std::vector<SimInputStep> steps;
    std::string error;
    EXPECT_TRUE(host_parse_input_script(std::string("0 ") + script_keys, &steps, &error)) << error;
    return steps.empty() ? 0 : steps[0].buttons;
}

TEST(Controls, EachKeyIsTheSameKeyForTheWindowAndThePage) {
    struct Key {
        SDL_Scancode sdl;
        const char* dom;
        const char* buttons;
    };
    const Key keys[] = {
        {SDL_SCANCODE_UP, "ArrowUp", "up"},
        {SDL_SCANCODE_DOWN, "ArrowDown", "down"},
        {SDL_SCANCODE_LEFT, "ArrowLeft", "left"},
        {SDL_SCANCODE_RIGHT, "ArrowRight", "right"},
        {SDL_SCANCODE_RETURN, "Enter", "start"},
        {SDL_SCANCODE_KP_ENTER, "NumpadEnter", "start"},
        {SDL_SCANCODE_SPACE, "Space", "select"},
        {SDL_SCANCODE_BACKSPACE, "Backspace", "select"},
        {SDL_SCANCODE_Q, "KeyQ", "l"},
        {SDL_SCANCODE_W, "KeyW", "r"},
        {SDL_SCANCODE_A, "KeyA", "a"},
        {SDL_SCANCODE_S, "KeyS", "b"},
        {SDL_SCANCODE_Z, "KeyZ", "x"},
        {SDL_SCANCODE_X, "KeyX", "y"},
        {SDL_SCANCODE_MINUS, "Minus", "voldown"},
        {SDL_SCANCODE_KP_MINUS, "NumpadSubtract", "voldown"},
        {SDL_SCANCODE_EQUALS, "Equal", "volup"},
        {SDL_SCANCODE_KP_PLUS, "NumpadAdd", "volup"},
        {SDL_SCANCODE_ESCAPE, "Escape", "l+r"},
    };
    ASSERT_EQ(HOST_KEY_BINDING_COUNT, int(std::size(keys)));
    for (const Key& k : keys) {
        SCOPED_TRACE(k.dom);
        EXPECT_EQ(host_key_buttons_usb(uint16_t(k.sdl)), buttons(k.buttons));
        EXPECT_EQ(host_key_buttons_dom(k.dom), buttons(k.buttons));
    }
    EXPECT_EQ(host_key_buttons_dom("KeyP"), 0u);
    EXPECT_EQ(host_key_buttons_usb(SDL_SCANCODE_P), 0u);
}

TEST(Controls, PadButtonsSticksAndTriggers) {
    HostPadState pad;
    pad.pressed = 1u << HOST_PAD_SOUTH | 1u << HOST_PAD_BACK | 1u << HOST_PAD_LEFT_STICK |
                  1u << HOST_PAD_RIGHT_SHOULDER | 1u << HOST_PAD_DOWN;
    EXPECT_EQ(host_pad_buttons(pad), buttons("a+select+click+r+down"));
    pad.pressed =
        1u << HOST_PAD_LEFT_TRIGGER | 1u << HOST_PAD_RIGHT_STICK;  // read as axes / unused
    EXPECT_EQ(host_pad_buttons(pad), 0u);

    HostPadState stick;
    stick.left_x = HOST_PAD_DEAD_ZONE;  // resting drift up to the dead zone counts for nothing
    stick.left_y = -HOST_PAD_DEAD_ZONE;
    stick.left_trigger = HOST_PAD_DEAD_ZONE;
    EXPECT_EQ(host_pad_buttons(stick), 0u);
    stick.left_x = HOST_PAD_DEAD_ZONE + 1;
    stick.left_y = -32768;
    stick.right_trigger = 32767;
    EXPECT_EQ(host_pad_buttons(stick), buttons("right+up+volup"));
    stick.left_x = -32768;
    stick.left_y = 32767;
    stick.left_trigger = 32767;
    stick.right_trigger = 0;
    EXPECT_EQ(host_pad_buttons(stick), buttons("left+down+voldown"));
}

}  // namespace
