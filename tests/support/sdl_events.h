// SDL events as the X server gives them, pushed for the stand-in's input
// pump. `window` is an SDL window id; 0 stands for the one with the keyboard.
#ifndef QEL_TESTS_SDL_EVENTS_H
#define QEL_TESTS_SDL_EVENTS_H

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>

inline void PushEvent(SDL_Event event) {
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// `key` at `place`, by default its own on the current layout.
inline void PushKey(SDL_Keycode key, bool down, Uint16 mod = KMOD_NONE,
                    uint32_t window = 0, bool repeat = false,
                    SDL_Scancode place = SDL_SCANCODE_UNKNOWN) {
    SDL_Event e = {down ? SDL_KEYDOWN : SDL_KEYUP};
    e.key.windowID = window;
    e.key.repeat = repeat;
    e.key.keysym = {place ? place : SDL_GetScancodeFromKey(key), key, mod, 0};
    PushEvent(e);
}

// SDL_WINDOWEVENT_CLOSE (the close request), _FOCUS_LOST ...
inline void PushWindowEvent(Uint8 what, uint32_t window = 0) {
    SDL_Event e = {SDL_WINDOWEVENT};
    e.window.windowID = window, e.window.event = what;
    PushEvent(e);
}

// Keys typed: a letter pressed and let go, '[' holds Alt down up to ']';
// E Enter, X Escape, S Space, U/D Page Up/Down, 4 F4, 0 F10, > Right arrow;
// W the close request.
inline void PushKeys(const char* keys, uint32_t window = 0) {
    const SDL_Keycode named[] = {SDLK_RETURN, SDLK_ESCAPE,   SDLK_SPACE,
                                 SDLK_PAGEUP, SDLK_PAGEDOWN, SDLK_F4,
                                 SDLK_F10,    SDLK_RIGHT};
    const char names[] = "EXSUD40>";
    Uint16 mod = KMOD_NONE;
    for (const char* k = keys; *k; ++k) {
        const char* name = std::strchr(names, *k);
        SDL_Keycode key = name ? named[name - names] : (SDL_Keycode)*k;
        if (*k == '[' || *k == ']')
            PushKey(SDLK_LALT, *k == '[', mod = *k == '[' ? KMOD_LALT : 0,
                    window);
        else if (*k == 'W')
            PushWindowEvent(SDL_WINDOWEVENT_CLOSE, window);
        else
            PushKey(key, true, mod, window), PushKey(key, false, mod, window);
    }
}

#endif
