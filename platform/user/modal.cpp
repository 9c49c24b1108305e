// What the modal loops (menu, dialog, message box) share: taking the next
// input, and waiting when there is none.
#include <SDL.h>

#include "user_private.h"

void UserModalIdle() {
    if (userModalIdle) userModalIdle();
}

bool UserTakeModalInput(UserInput& in, UserModalWait wait) {
    UserPumpInput();
    if (UserTakeInput(in)) return true;
    // A test may feed input here; the loop never answers itself.
    UserModalIdle();
    if (wait == USER_MODAL_WAIT_FOR_EVENTS)
        UserWaitInput(50);
    else
        SDL_Delay(15);
    return false;
}
