// One pass of the game: advance by the clock, draw, keep the music looping,
// flip, watch Escape.
#ifndef QEL_GAME_FRAME_H
#define QEL_GAME_FRAME_H

int GameFrame();

#endif
