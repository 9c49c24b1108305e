// user32 on X: where the window manager really put a window (SDL's own idea
// of the position stays 0,0 under weston's manager for XWayland).
// Apart because Xlib's macros (Expose, None ...) clash with our names.
#include "user_private.h"

// Last: Xlib's macros would rename what user_private.h declares.
#include <SDL_syswm.h>

bool UserCoversDisplay(SDL_Window* sdl, const SDL_Rect& display) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_X11)
        return true; // nothing to ask
    Display* x = info.info.x11.display;
    XWindowAttributes attributes;
    int left = 0, top = 0;
    Window child;
    if (!XGetWindowAttributes(x, info.info.x11.window, &attributes) ||
        !XTranslateCoordinates(x, info.info.x11.window, attributes.root, 0, 0,
                               &left, &top, &child))
        return true;
    return left == display.x && top == display.y &&
           attributes.width == display.w && attributes.height == display.h;
#else
    (void)sdl;
    (void)display;
    return true;
#endif
}
