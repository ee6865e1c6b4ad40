// The SDL2 window: presents composed frames, maps keys and controllers to
// the handheld's buttons, and takes F11/F12. It never touches the machine
// except through sim_set_host_buttons and sim_request_exit.
#include "sim/window/sim_window.h"

#include <SDL.h>
#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "sim/sim.h"
#include "sim/sim_capture.h"
#include "sim/sim_options.h"

namespace {

constexpr int VIEW_WIDTH = 320, VIEW_HEIGHT = 240;  // the handheld's 4:3 picture
constexpr int STICK_DEAD_ZONE = 12000;

uint32_t button(const char* name) {
    for (int i = 0; i < HOST_KEY_NAME_COUNT; ++i)
        if (SDL_strcmp(HOST_KEY_NAMES[i].name, name) == 0) return HOST_KEY_NAMES[i].mask;
    return 0;
}

struct KeyBinding {
    SDL_Scancode key;
    const char* buttons[2];
};

const KeyBinding KEY_BINDINGS[] = {
    {SDL_SCANCODE_UP, {"up"}},         {SDL_SCANCODE_DOWN, {"down"}},
    {SDL_SCANCODE_LEFT, {"left"}},     {SDL_SCANCODE_RIGHT, {"right"}},
    {SDL_SCANCODE_RETURN, {"start"}},  {SDL_SCANCODE_KP_ENTER, {"start"}},
    {SDL_SCANCODE_SPACE, {"select"}},  {SDL_SCANCODE_BACKSPACE, {"select"}},
    {SDL_SCANCODE_Q, {"l"}},           {SDL_SCANCODE_W, {"r"}},
    {SDL_SCANCODE_A, {"a"}},           {SDL_SCANCODE_S, {"b"}},
    {SDL_SCANCODE_Z, {"x"}},           {SDL_SCANCODE_X, {"y"}},
    {SDL_SCANCODE_MINUS, {"voldown"}}, {SDL_SCANCODE_KP_MINUS, {"voldown"}},
    {SDL_SCANCODE_EQUALS, {"volup"}},  {SDL_SCANCODE_KP_PLUS, {"volup"}},
    {SDL_SCANCODE_ESCAPE, {"l", "r"}},
};

struct PadBinding {
    SDL_GameControllerButton pad;
    const char* button;
};

const PadBinding PAD_BINDINGS[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, "up"},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, "down"},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, "left"},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, "right"},
    {SDL_CONTROLLER_BUTTON_START, "start"},
    {SDL_CONTROLLER_BUTTON_BACK, "select"},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, "l"},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, "r"},
    {SDL_CONTROLLER_BUTTON_A, "a"},
    {SDL_CONTROLLER_BUTTON_B, "b"},
    {SDL_CONTROLLER_BUTTON_X, "x"},
    {SDL_CONTROLLER_BUTTON_Y, "y"},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, "click"},
};

}  // namespace

struct SimWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int texture_width = 0, texture_height = 0;
    std::vector<SDL_GameController*> pads;
    bool screenshot_wanted = false;
};

uint32_t sim_keyboard_buttons(const uint8_t* state) {
    uint32_t mask = 0;
    for (const KeyBinding& b : KEY_BINDINGS)
        if (state[b.key])
            for (const char* name : b.buttons)
                if (name) mask |= button(name);
    return mask;
}

static uint32_t pad_buttons(SDL_GameController* pad) {
    uint32_t mask = 0;
    for (const PadBinding& b : PAD_BINDINGS)
        if (SDL_GameControllerGetButton(pad, b.pad)) mask |= button(b.button);
    const int x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    const int y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    if (x < -STICK_DEAD_ZONE) mask |= button("left");
    if (x > STICK_DEAD_ZONE) mask |= button("right");
    if (y < -STICK_DEAD_ZONE) mask |= button("up");
    if (y > STICK_DEAD_ZONE) mask |= button("down");
    if (SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT) > STICK_DEAD_ZONE)
        mask |= button("voldown");
    if (SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) > STICK_DEAD_ZONE)
        mask |= button("volup");
    return mask;
}

SimWindow* sim_window_open(int scale, std::string* error) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) != 0) {
        *error = SDL_GetError();
        return nullptr;
    }
    SimWindow* w = new SimWindow;
    w->window = SDL_CreateWindow("Palendro", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 VIEW_WIDTH * scale, VIEW_HEIGHT * scale, SDL_WINDOW_RESIZABLE);
    if (w->window) w->renderer = SDL_CreateRenderer(w->window, -1, 0);
    if (!w->renderer) {
        *error = SDL_GetError();
        sim_window_close(w);
        return nullptr;
    }
    SDL_RenderSetLogicalSize(w->renderer, VIEW_WIDTH, VIEW_HEIGHT);
    return w;
}

void sim_window_close(SimWindow* w) {
    if (!w) return;
    for (SDL_GameController* pad : w->pads) SDL_GameControllerClose(pad);
    if (w->texture) SDL_DestroyTexture(w->texture);
    if (w->renderer) SDL_DestroyRenderer(w->renderer);
    if (w->window) SDL_DestroyWindow(w->window);
    delete w;
    SDL_Quit();
}

void sim_window_poll(SimWindow* w) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_QUIT:
            sim_request_exit();
            break;
        case SDL_KEYDOWN:
            if (e.key.repeat) break;
            if (e.key.keysym.scancode == SDL_SCANCODE_F11) {
                bool full = SDL_GetWindowFlags(w->window) & SDL_WINDOW_FULLSCREEN_DESKTOP;
                SDL_SetWindowFullscreen(w->window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
            } else if (e.key.keysym.scancode == SDL_SCANCODE_F12) {
                w->screenshot_wanted = true;
            }
            break;
        case SDL_CONTROLLERDEVICEADDED:
            if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which))
                w->pads.push_back(pad);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            for (size_t i = 0; i < w->pads.size(); ++i)
                if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(w->pads[i])) ==
                    e.cdevice.which) {
                    SDL_GameControllerClose(w->pads[i]);
                    w->pads.erase(w->pads.begin() + long(i));
                    break;
                }
            break;
        default:
            break;
        }
    }
    uint32_t mask = sim_keyboard_buttons(SDL_GetKeyboardState(nullptr));
    for (SDL_GameController* pad : w->pads) mask |= pad_buttons(pad);
    sim_set_host_buttons(mask);
}

static void save_screenshot(const SimFrame& frame, uint64_t frame_number) {
    mkdir("out", 0777);
    char path[64];
    std::snprintf(path, sizeof path, "out/screenshot-%06llu.png",
                  static_cast<unsigned long long>(frame_number));
    std::string error;
    if (sim_png_write(path, frame, &error))
        std::fprintf(stderr, "palendro: saved %s\n", path);
    else
        std::fprintf(stderr, "palendro: %s\n", error.c_str());
}

void sim_window_present(SimWindow* w, const SimFrame& frame, uint64_t frame_number) {
    if (w->screenshot_wanted) {
        w->screenshot_wanted = false;
        save_screenshot(frame, frame_number);
    }
    if (!w->texture || w->texture_width != frame.width || w->texture_height != frame.height) {
        if (w->texture) SDL_DestroyTexture(w->texture);
        w->texture = SDL_CreateTexture(w->renderer, SDL_PIXELFORMAT_RGB888,
                                       SDL_TEXTUREACCESS_STREAMING, frame.width, frame.height);
        w->texture_width = frame.width;
        w->texture_height = frame.height;
        // LCD frames scale by whole steps; TV frames are stretched to 4:3 anyway.
        SDL_RenderSetIntegerScale(w->renderer, frame.width == VIEW_WIDTH ? SDL_TRUE : SDL_FALSE);
    }
    if (!w->texture) return;
    SDL_UpdateTexture(w->texture, nullptr, frame.pixels.data(), frame.width * 4);
    SDL_SetRenderDrawColor(w->renderer, 0, 0, 0, 255);
    SDL_RenderClear(w->renderer);
    SDL_RenderCopy(w->renderer, w->texture, nullptr, nullptr);
    SDL_RenderPresent(w->renderer);
}
