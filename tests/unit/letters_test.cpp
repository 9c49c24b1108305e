// The rules of the letter table: spawning, the fall step and expiry,
// knock-outs, the score and the levels.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game_state.h"

namespace {

class Letters : public ::testing::Test {
  protected:
    void SetUp() override { ResetGame(); }
    void TearDown() override { ResetGame(); }

    // A live letter `c` at height y in slot i, as if spawned and stepped.
    void Place(int i, char c, int y) {
        letters[i].text[0] = c;
        letters[i].text[1] = '\0';
        letters[i].y = y;
        letters[i].alive = true;
        game.liveCount += 1;
        if (i >= game.highWater) game.highWater = i + 1;
    }
};

TEST_F(Letters, SpawnTakesTheLowestFreeSlotAndRaisesHighWaterOnlyAboveIt) {
    game.level = 10;
    SpawnLetter();
    EXPECT_TRUE(letters[0].alive);
    EXPECT_EQ(game.highWater, 1);
    SpawnLetter();
    SpawnLetter();
    EXPECT_EQ(game.highWater, 3);
    EXPECT_EQ(game.liveCount, 3);

    letters[1].alive = false;
    game.liveCount -= 1;
    SpawnLetter();
    EXPECT_TRUE(letters[1].alive);
    EXPECT_EQ(game.highWater, 3) << "a reused slot below highWater keeps it";
    EXPECT_EQ(game.liveCount, 3);
}

TEST_F(Letters, SpawnWithAFullTableDoesNothing) {
    game.level = 255;
    for (int i = 0; i < MAX_LETTERS; ++i)
        SpawnLetter();
    EXPECT_EQ(game.liveCount, 255);
    EXPECT_EQ(game.highWater, 255);
    SpawnLetter();
    EXPECT_EQ(game.liveCount, 255);
    EXPECT_EQ(game.highWater, 255);
}

TEST_F(Letters, InitLetterFillsTheSlotFromTwoDrawsInOrder) {
    game.level = 3;
    srand(1234);
    int letterDraw = rand();
    int columnDraw = rand();
    srand(1234);
    LetterSlot slot = {};
    slot.y = 500;
    InitLetter(&slot);
    EXPECT_EQ(slot.text[0], (char)('a' + letterDraw % 26));
    EXPECT_EQ(slot.text[1], '\0');
    EXPECT_EQ(slot.x, 50 + columnDraw % 924);
    EXPECT_EQ(slot.spawnLevel, 3);
    EXPECT_EQ(slot.width, 60);
    EXPECT_EQ(slot.height, 20);
    EXPECT_EQ(slot.y, 0);
    EXPECT_TRUE(slot.alive);
    EXPECT_EQ(game.liveCount, 1);
}

TEST_F(Letters, ColumnsStayBetween50And973) {
    game.level = 255;
    int lowest = 10000, highest = -1;
    for (int round = 0; round < 200; ++round) {
        game.liveCount = 0;
        for (LetterSlot& slot : letters)
            slot.alive = false;
        for (int i = 0; i < MAX_LETTERS; ++i)
            SpawnLetter();
        for (const LetterSlot& slot : letters) {
            lowest = std::min(lowest, slot.x);
            highest = std::max(highest, slot.x);
            ASSERT_GE(slot.text[0], 'a');
            ASSERT_LE(slot.text[0], 'z');
        }
    }
    EXPECT_EQ(lowest, 50);
    EXPECT_EQ(highest, 973);
}

TEST_F(Letters, ALetterExpiresOnTheStepFrom668To669) {
    Place(0, 'q', 667);
    game.score = 3;
    EXPECT_TRUE(StepLetter(&letters[0]));
    EXPECT_EQ(letters[0].y, 668);
    EXPECT_TRUE(letters[0].alive);
    EXPECT_FALSE(StepLetter(&letters[0]));
    EXPECT_EQ(letters[0].y, 669);
    EXPECT_FALSE(letters[0].alive);
    EXPECT_EQ(game.liveCount, 0);
    EXPECT_EQ(game.score, 2);
}

TEST_F(Letters, AnExpiryNeverTakesTheScoreBelowZero) {
    Place(0, 'q', 668);
    EXPECT_FALSE(StepLetter(&letters[0]));
    EXPECT_EQ(game.score, 0);
}

TEST_F(Letters, ALetterTakes669StepsFromTheTop) {
    game.level = 1;
    SpawnLetter();
    int steps = 0;
    while (StepLetter(&letters[0]))
        ++steps;
    EXPECT_EQ(steps + 1, 669);
}

TEST_F(Letters, HitKeyKnocksOutTheFarthestFallenMatch) {
    RecordedSounds sounds;
    game.level = 10;
    Place(0, 'a', 120);
    Place(1, 'a', 300);
    Place(2, 'b', 400);
    EXPECT_TRUE(HitKey('A'));
    EXPECT_TRUE(letters[0].alive);
    EXPECT_FALSE(letters[1].alive);
    EXPECT_TRUE(letters[2].alive);
    EXPECT_EQ(game.liveCount, 2);
    EXPECT_EQ(game.score, 1);
    EXPECT_EQ(sounds.plays, std::vector<std::string>{"hit"});
}

TEST_F(Letters, AmongEqualHeightsTheLowestSlotGoes) {
    game.level = 10;
    Place(3, 'k', 300);
    Place(5, 'k', 300);
    EXPECT_TRUE(HitKey('K'));
    EXPECT_FALSE(letters[3].alive);
    EXPECT_TRUE(letters[5].alive);
}

TEST_F(Letters, ALetterNotYetSteppedCannotBeHit) {
    RecordedSounds sounds;
    game.level = 10;
    Place(0, 'z', 0);
    EXPECT_FALSE(HitKey('Z'));
    EXPECT_TRUE(letters[0].alive);
    EXPECT_EQ(game.score, 0);
    EXPECT_EQ(game.liveCount, 1);
    EXPECT_TRUE(sounds.plays.empty());
}

TEST_F(Letters, MissesAndDeadLettersChangeNothing) {
    RecordedSounds sounds;
    game.level = 10;
    Place(0, 'm', 50);
    letters[0].alive = false;
    game.liveCount = 0;
    EXPECT_FALSE(HitKey('M'));
    EXPECT_FALSE(HitKey('N'));
    EXPECT_FALSE(HitKey('1'));
    EXPECT_EQ(game.score, 0);
    EXPECT_TRUE(sounds.plays.empty());
}

TEST_F(Letters, OnlyTheTableBelowHighWaterIsSearched) {
    game.level = 10;
    Place(0, 'c', 10);
    letters[7].text[0] = 'c';
    letters[7].y = 200;
    letters[7].alive = true; // stale: above highWater
    EXPECT_TRUE(HitKey('C'));
    EXPECT_FALSE(letters[0].alive);
    EXPECT_TRUE(letters[7].alive);
}

TEST_F(Letters, TheSecondHitAtLevel1EarnsLevel2WithBothSounds) {
    RecordedSounds sounds;
    Place(0, 'a', 10);
    EXPECT_TRUE(HitKey('A'));
    SpawnLetter();
    letters[0].text[0] = 'b';
    letters[0].y = 30;
    EXPECT_TRUE(HitKey('B'));
    EXPECT_EQ(game.level, 2);
    EXPECT_EQ(game.score, 0);
    EXPECT_EQ(game.highWater, 0);
    EXPECT_EQ(game.liveCount, 0);
    EXPECT_EQ(sounds.plays,
              (std::vector<std::string>{"hit", "hit", "levelup"}));
}

TEST_F(Letters, ALevelChangeEmptiesTheWholeTable) {
    game.level = 5;
    for (int i = 0; i < 5; ++i)
        Place(i, 'x', 10 + i);
    letters[200].alive = true; // even a slot above highWater
    EXPECT_TRUE(LevelUp());
    for (const LetterSlot& slot : letters)
        EXPECT_FALSE(slot.alive);
    EXPECT_EQ(game.level, 6);
    EXPECT_EQ(letters[2].y, 12) << "fields other than alive keep their values";

    Place(0, 'y', 40);
    game.score = 4;
    EXPECT_TRUE(LevelDown());
    EXPECT_EQ(game.level, 5);
    EXPECT_EQ(game.liveCount, 0);
    EXPECT_EQ(game.highWater, 0);
    EXPECT_EQ(game.score, 0);
    EXPECT_FALSE(letters[0].alive);
}

TEST_F(Letters, LevelBoundsRefuseAndChangeNothing) {
    Place(0, 'a', 10);
    game.score = 1;
    EXPECT_FALSE(LevelDown());
    EXPECT_EQ(game.level, 1);
    EXPECT_TRUE(letters[0].alive);
    EXPECT_EQ(game.score, 1);
    EXPECT_EQ(game.highWater, 1);

    game.level = 255;
    EXPECT_FALSE(LevelUp());
    EXPECT_EQ(game.level, 255);
    EXPECT_TRUE(letters[0].alive);
    EXPECT_EQ(game.liveCount, 1);
}

TEST_F(Letters, AtLevel255TheThresholdSoundsButTheScoreKeepsGrowing) {
    RecordedSounds sounds;
    game.level = 255;
    game.score = NextLevelScore(255) - 1;
    Place(0, 'p', 100);
    EXPECT_TRUE(HitKey('P'));
    EXPECT_EQ(game.level, 255);
    EXPECT_EQ(game.score, 65280);
    EXPECT_EQ(sounds.plays, (std::vector<std::string>{"hit", "levelup"}));
    Place(0, 'p', 100);
    EXPECT_TRUE(HitKey('P'));
    EXPECT_EQ(game.score, 65281);
    EXPECT_EQ(sounds.plays.back(), "levelup");
}

TEST_F(Letters, NoSoundsWhenTheyFailedToLoad) {
    RecordedSounds sounds;
    hitSound = -1;
    levelUpSound = -1;
    Place(0, 'a', 10);
    Place(1, 'a', 20);
    EXPECT_TRUE(HitKey('A'));
    EXPECT_TRUE(HitKey('A'));
    EXPECT_EQ(game.level, 2);
    EXPECT_TRUE(sounds.plays.empty());
}

TEST(LevelThresholds, NextLevelScoreIsLevelPlusItsSquare) {
    EXPECT_EQ(NextLevelScore(1), 2);
    EXPECT_EQ(NextLevelScore(2), 6);
    EXPECT_EQ(NextLevelScore(3), 12);
    EXPECT_EQ(NextLevelScore(10), 110);
    EXPECT_EQ(NextLevelScore(255), 65280);
    EXPECT_TRUE(LevelReached(2, 1));
    EXPECT_FALSE(LevelReached(1, 1));
    EXPECT_FALSE(LevelReached(-5, 1));
}

} // namespace
