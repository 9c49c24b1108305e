// The rules of the letter table as a player meets them. Each case starts
// from a new game.
#include <gtest/gtest.h>

#include <set>

#include "game_state.h"

namespace {

// A letter `c` in slot i at height y, live unless said otherwise.
void Place(int i, char c, int y, bool alive = true) {
    letters[i].text[0] = c;
    letters[i].y = y;
    letters[i].alive = alive;
    game.liveCount += alive;
    game.highWater = std::max(game.highWater, i + 1);
}

TEST(Letters, SpawnFillsTheLowestFreeSlotWithAToZInColumns50To973) {
    std::set<char> seen;
    std::set<int> columns;
    for (int round = 0; round < 200; ++round) {
        ResetGame();
        for (int i = 0; i <= MAX_LETTERS; ++i)
            SpawnLetter(); // the last finds no free slot
        for (const LetterSlot& slot : letters)
            seen.insert(slot.text[0]), columns.insert(slot.x);
    }
    EXPECT_EQ(std::string(seen.begin(), seen.end()),
              "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(*columns.begin(), 50);
    EXPECT_EQ(*columns.rbegin(), 973);
    letters[1].alive = false;
    letters[1].y = 500;
    game.liveCount -= 1;
    SpawnLetter();
    EXPECT_EQ(letters[1].y, 0);
    EXPECT_EQ(game.liveCount, 255);
    EXPECT_EQ(game.highWater, 255) << "MaxCount grows only past the top slot";
}

// Expiry on the 669th step costs a point the player has, none below 0.
TEST(Letters, ALetterExpiresOnIts669thStep) {
    for (int score : {3, 0}) {
        ResetGame();
        SpawnLetter();
        game.score = score;
        for (int step = 1; step <= 668; ++step)
            ASSERT_TRUE(StepLetter(&letters[0])) << step;
        EXPECT_FALSE(StepLetter(&letters[0]));
        EXPECT_EQ(letters[0].y, 669);
        EXPECT_EQ(game.liveCount, 0);
        EXPECT_EQ(game.score, score == 3 ? 2 : 0);
    }
}

struct Placed {
    int slot;
    char letter;
    int y;
    bool alive = true;
};

// A key knocks out its live letter fallen farthest, none still at y 0.
TEST(Letters, AKeyKnocksOutItsLetterThatFellFarthest) {
    const struct {
        std::vector<Placed> placed;
        char key;
        int goes; // the slot knocked out, -1 for none
    } cases[] = {{{{0, 'a', 120}, {1, 'a', 300}, {2, 'b', 400}}, 'A', 1},
                 {{{3, 'k', 300}, {5, 'k', 300}}, 'K', 3},
                 {{{0, 'z', 1}}, 'Z', 0},
                 {{{0, 'z', 0}}, 'Z', -1},
                 {{{0, 'm', 50, false}}, 'M', -1},
                 {{{0, 'm', 50}}, 'N', -1},
                 {{{0, 'm', 50}}, '1', -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        ResetGame();
        RecordedSounds sounds;
        game.level = 10;
        for (const Placed& p : c.placed)
            Place(p.slot, p.letter, p.y, p.alive);
        const int live = game.liveCount, knocked = c.goes >= 0;
        EXPECT_EQ(HitKey(c.key), knocked == 1);
        for (const Placed& p : c.placed)
            EXPECT_EQ(letters[p.slot].alive, p.alive && p.slot != c.goes);
        EXPECT_EQ(game.liveCount, live - knocked);
        EXPECT_EQ(game.score, knocked);
        EXPECT_EQ(sounds.plays, std::vector<std::string>(knocked, "hit"));
    }
}

// The knock-out that meets the level's count earns the next level, empty
// at score 0, with both sounds; 255 is the last, where the score grows on.
TEST(Letters, EachLevelTakesItsKnockOuts) {
    const struct {
        int level, hits;
    } table[] = {{1, 2}, {2, 6}, {3, 12}, {10, 110}, {255, 65280}};
    for (const auto& t : table) {
        SCOPED_TRACE(t.level);
        ResetGame();
        RecordedSounds sounds;
        game.level = t.level;
        for (int hit = 1; hit < t.hits; ++hit) {
            Place(0, 'a', 10);
            ASSERT_TRUE(HitKey('A'));
        }
        EXPECT_EQ(game.level, t.level);
        Place(0, 'a', 10);
        Place(1, 'b', 10);
        ASSERT_TRUE(HitKey('A'));
        EXPECT_EQ(game.level, t.level == 255 ? 255 : t.level + 1);
        EXPECT_EQ(game.score, t.level == 255 ? 65280 : 0);
        EXPECT_EQ(letters[1].alive, t.level == 255) << "the table empties";
        EXPECT_EQ(sounds.plays.size(), (size_t)t.hits + 1);
        EXPECT_EQ(sounds.plays.back(), "levelup");
    }
}

// Page Down and Up change the level, emptying the table; not past 255 or 1.
TEST(Letters, ALevelChangeEmptiesTheTableExceptAtTheBounds) {
    const struct {
        int level;
        bool (*change)();
        int levelAfter;
    } table[] = {{5, LevelUp, 6},
                 {5, LevelDown, 4},
                 {254, LevelUp, 255},
                 {255, LevelUp, 255},
                 {1, LevelDown, 1}};
    for (const auto& c : table) {
        SCOPED_TRACE(c.level);
        ResetGame();
        game.level = c.level;
        Place(0, 'x', 40);
        letters[200].alive = true; // even a slot past highWater
        game.score = 1;
        const bool done = c.levelAfter != c.level;
        EXPECT_EQ(c.change(), done);
        EXPECT_EQ(game.level, c.levelAfter);
        EXPECT_EQ(letters[0].alive || letters[200].alive, !done);
        // Count, MaxCount and score: all 0, or untouched.
        EXPECT_EQ(game.liveCount + game.highWater + game.score, done ? 0 : 3);
    }
}

} // namespace
