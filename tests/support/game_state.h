// Helpers for tests of the game rules: a fresh game, and sound buffers that
// record their plays.
#ifndef QEL_TESTS_GAME_STATE_H
#define QEL_TESTS_GAME_STATE_H

#include <string>
#include <vector>

#include "audio/sound_effects.h"
#include "game/letters.h"

// The game as a new process has it: level 1, paused, an empty table.
inline void ResetGame() {
    for (LetterSlot& slot : letters)
        slot = LetterSlot{};
    game = GameState{1, 0, 0, 0, false, 0, 0, 0, 0, 0.0, 0.0};
}

// An IDirectSoundBuffer that writes its name into a shared log when played.
class RecordingBuffer : public IDirectSoundBuffer {
  public:
    RecordingBuffer(std::string name, std::vector<std::string>* log)
        : name_(std::move(name)), log_(log) {}
    virtual ~RecordingBuffer() = default;
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT GetStatus(LPDWORD status) override {
        *status = 0;
        return DS_OK;
    }
    HRESULT Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD,
                 DWORD) override {
        return E_FAIL;
    }
    HRESULT Play(DWORD, DWORD, DWORD) override {
        log_->push_back(name_);
        return DS_OK;
    }
    HRESULT Unlock(LPVOID, DWORD, LPVOID, DWORD) override { return E_FAIL; }

  private:
    std::string name_;
    std::vector<std::string>* log_;
};

// Puts the two recording buffers in the sound table as the hit and level-up
// sounds, and takes them out again.
class RecordedSounds {
  public:
    RecordedSounds() : hit_("hit", &plays), levelUp_("levelup", &plays) {
        saved_[0] = soundEffects[0];
        saved_[1] = soundEffects[1];
        savedHit_ = hitSound;
        savedLevelUp_ = levelUpSound;
        soundEffects[0].buffer = &hit_;
        soundEffects[0].inUse = 1;
        soundEffects[1].buffer = &levelUp_;
        soundEffects[1].inUse = 1;
        hitSound = 0;
        levelUpSound = 1;
    }
    ~RecordedSounds() {
        soundEffects[0] = saved_[0];
        soundEffects[1] = saved_[1];
        hitSound = savedHit_;
        levelUpSound = savedLevelUp_;
    }
    std::vector<std::string> plays;

  private:
    RecordingBuffer hit_, levelUp_;
    SoundEffect saved_[2];
    int32_t savedHit_, savedLevelUp_;
};

#endif
