// user32: the keyboard. SDL's layout key codes become virtual keys; key
// messages carry the lParam bits Windows gives them.
#include <windows.h>

#include "user_private.h"
#include "../trace/trace.h"

static bool asyncDown[256];
static bool messageDown[256]; // the key state as of the last message taken
static bool messageShift;
static bool messageCaps;

// The key a US keyboard has at `scancode` (SDL's scancodes name US places),
// for the keys whose virtual key Windows takes from that place.
static SDL_Keycode UsKeyAt(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return SDLK_a + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return SDLK_1 + (scancode - SDL_SCANCODE_1);
    switch (scancode) {
    case SDL_SCANCODE_0:
        return SDLK_0;
    case SDL_SCANCODE_MINUS:
        return SDLK_MINUS;
    case SDL_SCANCODE_EQUALS:
        return SDLK_EQUALS;
    case SDL_SCANCODE_LEFTBRACKET:
        return SDLK_LEFTBRACKET;
    case SDL_SCANCODE_RIGHTBRACKET:
        return SDLK_RIGHTBRACKET;
    case SDL_SCANCODE_BACKSLASH:
        return SDLK_BACKSLASH;
    case SDL_SCANCODE_SEMICOLON:
        return SDLK_SEMICOLON;
    case SDL_SCANCODE_APOSTROPHE:
        return SDLK_QUOTE;
    case SDL_SCANCODE_GRAVE:
        return SDLK_BACKQUOTE;
    case SDL_SCANCODE_COMMA:
        return SDLK_COMMA;
    case SDL_SCANCODE_PERIOD:
        return SDLK_PERIOD;
    case SDL_SCANCODE_SLASH:
        return SDLK_SLASH;
    default:
        return SDLK_UNKNOWN;
    }
}

static bool IsLatinLetter(SDL_Keycode key) {
    return key >= SDLK_a && key <= SDLK_z;
}

// A character key that types something other than ASCII (Cyrillic, Greek,
// Hebrew, Arabic ... letters, a Turkish dotless i), or nothing SDL names.
static bool IsNonAscii(SDL_Keycode key) {
    return key == SDLK_UNKNOWN ||
           ((key & SDLK_SCANCODE_MASK) == 0 && (key < 0 || key >= 0x80));
}

// Whether the layout types Latin letters on its letter keys at all.
static bool TypesLatin(UserLayoutKey layout) {
    for (int place = SDL_SCANCODE_A; place <= SDL_SCANCODE_Z; ++place)
        if (IsLatinLetter(layout((SDL_Scancode)place))) return true;
    return false;
}

int UserVirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode,
                          UserLayoutKey layout) {
    // A Latin layout's letters are their own virtual keys (AZERTY's A key
    // is 'A', its M key VK_OEM_COMMA); Windows' non-Latin layouts keep the
    // US virtual keys on their character keys (VK_Q types the Russian
    // one's й, the Hebrew one's /). Asked at every key: the layout may
    // change between two.
    SDL_Keycode us = UsKeyAt(scancode);
    if (us != SDLK_UNKNOWN && !IsLatinLetter(key) &&
        (IsNonAscii(key) || !TypesLatin(layout)))
        key = us;
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
    switch (key) {
    case SDLK_KP_0:
        return VK_NUMPAD0;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_PAUSE:
        return VK_PAUSE;
    case SDLK_CAPSLOCK:
        return VK_CAPITAL;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_END:
        return VK_END;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_KP_PERIOD:
        return VK_DECIMAL;
    case SDLK_KP_DIVIDE:
        return VK_DIVIDE;
    case SDLK_NUMLOCKCLEAR:
        return VK_NUMLOCK;
    case SDLK_SEMICOLON:
        return VK_OEM_1;
    case SDLK_EQUALS:
    case SDLK_PLUS:
        return VK_OEM_PLUS;
    case SDLK_COMMA:
        return VK_OEM_COMMA;
    case SDLK_MINUS:
        return VK_OEM_MINUS;
    case SDLK_PERIOD:
        return VK_OEM_PERIOD;
    case SDLK_SLASH:
        return VK_OEM_2;
    case SDLK_BACKQUOTE:
        return VK_OEM_3;
    case SDLK_LEFTBRACKET:
        return VK_OEM_4;
    case SDLK_BACKSLASH:
        return VK_OEM_5;
    case SDLK_RIGHTBRACKET:
        return VK_OEM_6;
    case SDLK_QUOTE:
        return VK_OEM_7;
    }
    return 0;
}

void UserReadKeysNotText() {
    // SDL starts text input, and with it hands every key to an input method
    // (IBus, fcitx5) first: one with pinyin on keeps the letters. The game
    // reads keys, never text.
    SDL_StopTextInput();
}

void UserSetAsyncKeyState(int virtualKey, bool down) {
    if (virtualKey > 0 && virtualKey < 256) asyncDown[virtualKey] = down;
}

// The high bit is set while the key is down now, whatever messages wait.
SHORT WINAPI GetAsyncKeyState(int virtualKey) {
    TRACE(TRACE_USER, "key=0x%x", (unsigned)virtualKey);
    if (virtualKey <= 0 || virtualKey >= 256) return 0;
    return asyncDown[virtualKey] ? (SHORT)0x8000 : 0;
}

// Keys pressed with Alt, Alt itself and F10 are system keys.
MSG UserMessageFromInput(const UserInput& input) {
    MSG msg = {};
    msg.hwnd = UserMainWindow();
    msg.time = GetTickCount();
    if (input.kind == UserInput::Close) {
        msg.message = WM_CLOSE;
        return msg;
    }
    int vk = input.virtualKey & 0xFF;
    bool system = input.alt || vk == VK_MENU || vk == VK_F10;
    if (input.down)
        msg.message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    else
        msg.message = system ? WM_SYSKEYUP : WM_KEYUP;
    msg.wParam = (WPARAM)vk;
    DWORD bits = 1u | ((DWORD)(input.scanCode & 0xFF) << 16);
    if (input.alt) bits |= 1u << 29;
    if (!input.down || input.repeat) bits |= 1u << 30;
    if (!input.down) bits |= 1u << 31;
    msg.lParam = (LPARAM)bits;
    messageDown[vk] = input.down;
    messageShift = input.shift;
    messageCaps = input.caps;
    return msg;
}

// The character a key gives on a US layout with the message-time Shift and
// Caps Lock state, or 0.
static int CharacterOf(int vk) {
    bool shift = messageShift || messageDown[VK_SHIFT];
    if (vk >= 'A' && vk <= 'Z') return (shift != messageCaps) ? vk : vk + 32;
    if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : vk;
    switch (vk) {
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return '\r';
    case VK_BACK:
        return '\b';
    case VK_TAB:
        return '\t';
    case VK_ESCAPE:
        return 0x1B;
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_MULTIPLY:
        return '*';
    case VK_DIVIDE:
        return '/';
    case VK_OEM_PLUS:
        return shift ? '+' : '=';
    case VK_OEM_MINUS:
        return shift ? '_' : '-';
    case VK_OEM_COMMA:
        return shift ? '<' : ',';
    case VK_OEM_PERIOD:
        return shift ? '>' : '.';
    case VK_OEM_1:
        return shift ? ':' : ';';
    case VK_OEM_2:
        return shift ? '?' : '/';
    case VK_OEM_3:
        return shift ? '~' : '`';
    case VK_OEM_4:
        return shift ? '{' : '[';
    case VK_OEM_5:
        return shift ? '|' : '\\';
    case VK_OEM_6:
        return shift ? '}' : ']';
    case VK_OEM_7:
        return shift ? '"' : '\'';
    }
    return 0;
}

// Posts WM_CHAR for a key that gives a character, WM_SYSCHAR for one
// pressed with Alt; they come before anything else waiting.
BOOL WINAPI TranslateMessage(const MSG* msg) {
    TRACE(TRACE_USER, "message=0x%x", msg ? (unsigned)msg->message : 0u);
    if (!msg) return FALSE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)
        return FALSE;
    int ch = CharacterOf((int)(msg->wParam & 0xFF));
    if (!ch) return FALSE;
    UINT message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    MSG charMsg = *msg;
    charMsg.message = message;
    charMsg.wParam = (WPARAM)ch;
    UserPostFirst(charMsg);
    return TRUE;
}

void UserResetKeyboard() {
    for (int i = 0; i < 256; ++i)
        asyncDown[i] = messageDown[i] = false;
    messageShift = messageCaps = false;
}
