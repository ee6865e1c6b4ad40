// The SDL2 window: presents composed frames, maps keys and controllers to
// the handheld's buttons, and takes F11/F12. It never touches the machine:
// the buttons and the wish to quit go back as the poll's result.
#include "sim/window/sim_window.h"

#include <SDL.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/sim_capture.h"

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

struct SdlScreen final : SimScreen {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int texture_width = 0, texture_height = 0;
    std::vector<SDL_GameController*> pads;
    bool screenshot_wanted = false;

    SimHostInput poll() override;
    void present(const SimFrame& frame, uint64_t frame_number) override;
    void close() override;
};

}  // namespace

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

SimScreen* sim_window_open(int scale, std::string* error) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) != 0) {
        *error = SDL_GetError();
        return nullptr;
    }
    SdlScreen* w = new SdlScreen;
    w->window = SDL_CreateWindow("Palendro", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 VIEW_WIDTH * scale, VIEW_HEIGHT * scale, SDL_WINDOW_RESIZABLE);
    if (w->window) w->renderer = SDL_CreateRenderer(w->window, -1, 0);
    if (!w->renderer) {
        *error = SDL_GetError();
        w->close();
        return nullptr;
    }
    SDL_RenderSetLogicalSize(w->renderer, VIEW_WIDTH, VIEW_HEIGHT);
    return w;
}

void SdlScreen::close() {
    for (SDL_GameController* pad : pads) SDL_GameControllerClose(pad);
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    delete this;
    SDL_Quit();
}

SimHostInput SdlScreen::poll() {
    SimHostInput input;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_QUIT:
            input.exit_requested = true;
            break;
        case SDL_KEYDOWN:
            if (e.key.repeat) break;
            if (e.key.keysym.scancode == SDL_SCANCODE_F11) {
                bool full = SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP;
                SDL_SetWindowFullscreen(window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
            } else if (e.key.keysym.scancode == SDL_SCANCODE_F12) {
                screenshot_wanted = true;
            }
            break;
        case SDL_CONTROLLERDEVICEADDED:
            if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which))
                pads.push_back(pad);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            for (size_t i = 0; i < pads.size(); ++i)
                if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pads[i])) ==
                    e.cdevice.which) {
                    SDL_GameControllerClose(pads[i]);
                    pads.erase(pads.begin() + long(i));
                    break;
                }
            break;
        default:
            break;
        }
    }
    input.buttons = sim_keyboard_buttons(SDL_GetKeyboardState(nullptr));
    for (SDL_GameController* pad : pads) input.buttons |= pad_buttons(pad);
    return input;
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

void SdlScreen::present(const SimFrame& frame, uint64_t frame_number) {
    if (screenshot_wanted) {
        screenshot_wanted = false;
        save_screenshot(frame, frame_number);
    }
    if (!texture || texture_width != frame.width || texture_height != frame.height) {
        if (texture) SDL_DestroyTexture(texture);
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                    frame.width, frame.height);
        texture_width = frame.width;
        texture_height = frame.height;
        // LCD frames scale by whole steps; TV frames are stretched to 4:3 anyway.
        SDL_RenderSetIntegerScale(renderer, frame.width == VIEW_WIDTH ? SDL_TRUE : SDL_FALSE);
    }
    if (!texture) return;
    SDL_UpdateTexture(texture, nullptr, frame.pixels.data(), frame.width * 4);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

SimFrontEnd sim_window_front_end(HostOptions* options) {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(display && *display) && !(wayland && *wayland)) options->headless = true;
    if (options->headless) return {};
    SimFrontEnd front;
    std::string error;
    front.screen = sim_window_open(options->scale, &error);
    if (!front.screen)
        std::fprintf(stderr, "palendro: no window (%s); running headless\n", error.c_str());
    front.speaker = sim_window_speaker();
    front.pacer = sim_window_pacer();
    return front;
}
