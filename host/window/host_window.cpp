// The SDL2 window: presents composed frames, maps keys and controllers to
// the handheld's buttons, and takes F11/F12. It never touches the machine:
// the buttons and the wish to quit go back as the poll's result.
#include "host/window/host_window.h"

#include <SDL.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/host_capture.h"
#include "host/host_controls.h"

namespace {

constexpr int VIEW_WIDTH = 320, VIEW_HEIGHT = 240;  // the handheld's 4:3 picture
// SDL's game-controller buttons at their places on the standard pad.
struct PadPlace {
    SDL_GameControllerButton sdl;
    HostPadButton place;
};

const PadPlace PAD_PLACES[] = {
    {SDL_CONTROLLER_BUTTON_A, HOST_PAD_SOUTH},
    {SDL_CONTROLLER_BUTTON_B, HOST_PAD_EAST},
    {SDL_CONTROLLER_BUTTON_X, HOST_PAD_WEST},
    {SDL_CONTROLLER_BUTTON_Y, HOST_PAD_NORTH},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, HOST_PAD_LEFT_SHOULDER},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, HOST_PAD_RIGHT_SHOULDER},
    {SDL_CONTROLLER_BUTTON_BACK, HOST_PAD_BACK},
    {SDL_CONTROLLER_BUTTON_START, HOST_PAD_START},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, HOST_PAD_LEFT_STICK},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, HOST_PAD_RIGHT_STICK},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, HOST_PAD_UP},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, HOST_PAD_DOWN},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, HOST_PAD_LEFT},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, HOST_PAD_RIGHT},
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

uint32_t host_keyboard_buttons(const uint8_t* state) {
    uint32_t mask = 0;
    for (int i = 0; i < HOST_KEY_BINDING_COUNT; ++i)
        if (state[HOST_KEY_BINDINGS[i].usb_usage]) mask |= HOST_KEY_BINDINGS[i].buttons;
    return mask;
}

static uint32_t pad_buttons(SDL_GameController* pad) {
    HostPadState state;
    for (const PadPlace& p : PAD_PLACES)
        if (SDL_GameControllerGetButton(pad, p.sdl)) state.pressed |= 1u << p.place;
    state.left_x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    state.left_y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    state.left_trigger = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    state.right_trigger = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    return host_pad_buttons(state);
}

SimScreen* host_window_open(int scale, std::string* error) {
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
    input.buttons = host_keyboard_buttons(SDL_GetKeyboardState(nullptr));
    for (SDL_GameController* pad : pads) input.buttons |= pad_buttons(pad);
    return input;
}

static void save_screenshot(const SimFrame& frame, uint64_t frame_number) {
    mkdir("out", 0777);
    char path[64];
    std::snprintf(path, sizeof path, "out/screenshot-%06llu.png",
                  static_cast<unsigned long long>(frame_number));
    std::string error;
    if (host_png_write(path, frame, &error))
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

SimFrontEnd host_window_front_end(HostOptions* options) {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(display && *display) && !(wayland && *wayland)) options->headless = true;
    if (options->headless) return {};
    SimFrontEnd front;
    std::string error;
    front.screen = host_window_open(options->scale, &error);
    if (!front.screen)
        std::fprintf(stderr, "palendro: no window (%s); running headless\n", error.c_str());
    front.speaker = host_window_speaker();
    front.pacer = host_window_pacer();
    return front;
}
