// A high-score table survives a process killed while saving it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "TestSupport.h"
#include "game/Top.h"
#include "core/Random.h"

namespace {

// A table that follows from one number; the last score carries the number too, so a file cut
// inside its last line never reads back as a whole table.
void Fill(OTop& top, i32 i) {
  top.Reset();
  for (i32 place = 0; place < top.capacity; ++place) {
    top.entries[static_cast<size_t>(place)]->name = "Player" + std::to_string(i % 97 + place);
    top.entries[static_cast<size_t>(place)]->score = 1000000 * (top.capacity - place) + i;
  }
}

// The number of the whole table in the file, or -1.
long WholeTable(const std::string& fileName) {
  OTop read(fileName, 10);
  if (!read.Load()) return -1;
  const i32 i = read.Entry(0).score - 10000000;
  OTop expected(fileName, 10);
  Fill(expected, i);
  for (int place = 0; place < 10; ++place)
    if (read.Entry(place).name != expected.Entry(place).name ||
        read.Entry(place).score != expected.Entry(place).score)
      return -1;
  return i;
}

}  // namespace

TEST(TopCrash, KilledWhileSavingLeavesAWholeTable) {
  ScratchDir dir;
  SeedRandom(61206);
  OTop first("Data/Modern.Top", 10);
  Fill(first, 0);
  ASSERT_TRUE(first.Save());
  long last = 0;
  for (int run = 0; run < 40; ++run) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      OTop top("Data/Modern.Top", 10);
      for (i32 i = static_cast<i32>(last) + 1;; ++i) {
        Fill(top, i);
        top.Save();
      }
    }
    const long us = Random() % 30000;
    timespec t{0, us * 1000};
    nanosleep(&t, nullptr);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    const long now = WholeTable("Data/Modern.Top");
    ASSERT_GE(now, last) << "run " << run << " left a torn or older table";
    last = now;
  }
  EXPECT_GT(last, 0);
}
