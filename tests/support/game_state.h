// A new game, and the game's two sounds recorded as they are played.
#ifndef QEL_TESTS_GAME_STATE_H
#define QEL_TESTS_GAME_STATE_H

#include <string>
#include <vector>

#include "audio/music.h"
#include "audio/sound_effects.h"
#include "display/display.h"
#include "game/letters.h"
#include "testing/seams.h"

// The game as a new process has it: level 1, paused, an empty table.
inline void ResetGame() {
    for (LetterSlot& slot : letters)
        slot = LetterSlot{};
    game = GameState{};
}

// The hit and level-up sounds, logging their names, for the object's life.
class RecordedSounds {
    struct Buffer : IDirectSoundBuffer {
        Buffer(const char* name, std::vector<std::string>* log)
            : name(name), log(log) {}
        HRESULT QueryInterface(REFIID, void**) override { return E_FAIL; }
        ULONG AddRef() override { return 2; }
        ULONG Release() override { return 1; }
        HRESULT Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD,
                     DWORD) override {
            return E_FAIL;
        }
        HRESULT Unlock(LPVOID, DWORD, LPVOID, DWORD) override { return E_FAIL; }
        HRESULT Play(DWORD, DWORD, DWORD) override {
            return log->push_back(name), DS_OK;
        }
        const char* name;
        std::vector<std::string>* log;
    };
    Buffer hit_{"hit", &plays}, levelUp_{"levelup", &plays};

  public:
    std::vector<std::string> plays;
    RecordedSounds() {
        soundEffects[0] = SoundEffect{&hit_, 1, 0, 0, 0};
        soundEffects[1] = SoundEffect{&levelUp_, 1, 0, 0, 1};
        hitSound = 0;
        levelUpSound = 1;
    }
    ~RecordedSounds() {
        soundEffects[0] = soundEffects[1] = SoundEffect{};
        hitSound = levelUpSound = -1;
    }
};

#endif
