// The backend for a real display: SDL2 windows on X11. Every SDL call is
// made on the display thread; other threads only wake it with a user event.
#ifndef DISPLAY_SDL_BACKEND_H
#define DISPLAY_SDL_BACKEND_H

#include "display/DisplayBackend.h"

#include <memory>

namespace display {

class ServerCore;

std::unique_ptr<DisplayBackend> make_sdl_backend(ServerCore& core);

}

#endif
