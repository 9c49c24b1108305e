// user32 on X: the events after which SDL makes up key events to match the
// keys held.
// Apart because Xlib's macros (Expose, None ...) clash with our names.
#include "user_private.h"

// Last: Xlib's macros would rename what user_private.h declares.
#include <SDL_syswm.h>

bool UserIsKeymapSync(const SDL_Event& event) {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (event.type == SDL_WINDOWEVENT &&
        event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
        // SDL matches the keys held right after it gives a window the focus.
        const char* driver = SDL_GetCurrentVideoDriver();
        return driver && SDL_strcmp(driver, "x11") == 0;
    }
    if (event.type != SDL_SYSWMEVENT) return false;
    const SDL_SysWMmsg* msg = event.syswm.msg;
    return msg && msg->subsystem == SDL_SYSWM_X11 &&
           msg->msg.x11.event.type == KeymapNotify;
#else
    (void)event;
    return false;
#endif
}
