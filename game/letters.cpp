// The falling letters and the rules of the game: spawning into the lowest free
// slot, the one-pixel fall step, expiry at the bottom, knock-outs and levels.
#include "game/letters.h"

#include <cstdlib>

#include "audio/sound_effects.h"

LetterSlot letters[MAX_LETTERS];
GameState game;

// A letter's top edge reaching this row means it has hit the bottom.
static const int32_t kExpiryRow = 669;

void SpawnLetter() {
    for (int32_t i = 0; i < MAX_LETTERS; ++i) {
        if (letters[i].alive) continue;
        if (i >= game.highWater) game.highWater = i + 1;
        InitLetter(&letters[i]);
        return;
    }
}

// The two rand() draws come in this order: the letter, then its column.
void InitLetter(LetterSlot* slot) {
    slot->text[0] = (char)('a' + rand() % 26);
    slot->text[1] = '\0';
    slot->spawnLevel = game.level;
    slot->height = 20;
    slot->width = slot->spawnLevel * 20;
    slot->x = 50 + rand() % 924;
    slot->y = 0;
    slot->alive = true;
    game.liveCount += 1;
}

bool StepLetter(LetterSlot* slot) {
    slot->y += 1;
    if (slot->y < kExpiryRow) return true;
    slot->alive = false;
    game.liveCount -= 1;
    if (game.score > 0) game.score -= 1;
    return false;
}

static void ClearTable() {
    game.liveCount = 0;
    for (LetterSlot& slot : letters)
        slot.alive = false;
    game.highWater = 0;
    game.score = 0;
}

bool LevelUp() {
    if (game.level > 254) return false;
    ClearTable();
    game.level += 1;
    return true;
}

bool LevelDown() {
    if (game.level < 2) return false;
    ClearTable();
    game.level -= 1;
    return true;
}

int32_t NextLevelScore(int32_t level) {
    return level + level * level;
}

bool LevelReached(int32_t score, int32_t level) {
    return score >= NextLevelScore(level);
}

// Knocks out the live letter `key` that has fallen farthest; among equals the
// lowest slot wins, and a letter not yet stepped (y 0) is never chosen.
bool HitKey(char key) {
    if (key >= 'A' && key <= 'Z') key = (char)(key + 32);
    int32_t best = -1;
    int32_t bestY = 0;
    for (int32_t i = 0; i < game.highWater; ++i) {
        const LetterSlot& slot = letters[i];
        if (slot.text[0] == key && slot.alive && slot.y > bestY) {
            best = i;
            bestY = slot.y;
        }
    }
    if (best < 0) return false;
    letters[best].alive = false;
    game.liveCount -= 1;
    game.score += 1;
    if (hitSound >= 0) PlaySoundEffect(hitSound);
    if (LevelReached(game.score, game.level)) {
        LevelUp();
        if (levelUpSound >= 0) PlaySoundEffect(levelUpSound);
    }
    return true;
}
