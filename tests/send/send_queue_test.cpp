// The flood-controlled send queue, to the millisecond on the virtual clock.
#include "send/send_queue.h"

#include <gtest/gtest.h>

#include "send_fixture.h"

namespace tc::test {
namespace {

TEST(SendQueueAlone, TickSetsThePauseFromTheLineJustWritten) {
  SendQueue queue;
  CoreTimer timer(SendQueue::kBaseIntervalMs);
  EXPECT_FALSE(queue.TakeImmediate());
  queue.Enqueue("0123456789\r\n", timer, 0);
  queue.Enqueue("x\r\n", timer, 100);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Due(), 1700);  // a running timer keeps its deadline
  EXPECT_EQ(queue.Tick(true, timer, 1700), "0123456789\r\n");
  EXPECT_EQ(timer.Due(), 1700 + 2155);
  EXPECT_EQ(queue.Tick(true, timer, 3855), "x\r\n");
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1750);
  EXPECT_TRUE(queue.TakeImmediate());
  EXPECT_FALSE(queue.TakeImmediate());
}

TEST(SendQueueAlone, ATickWhileDisconnectedWritesNothing) {
  SendQueue queue;
  CoreTimer timer(SendQueue::kBaseIntervalMs);
  queue.Enqueue("a\r\n", timer, 0);
  EXPECT_EQ(queue.Tick(false, timer, 1700), std::nullopt);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_FALSE(queue.send_immediately());
}

class SendQueueTest : public ::testing::Test {
 protected:
  SendFixture f;
  Session& s = f.s;
};

TEST_F(SendQueueTest, FirstLineWaitsThenTheDrainedQueueSendsTheNextAtOnce) {
  s.core().SendText("first");
  EXPECT_EQ(s.Written(), "");
  s.Advance(1699);
  EXPECT_EQ(s.Written(), "");
  s.Advance(1);
  EXPECT_EQ(s.Written(), "first\r\n");
  EXPECT_TRUE(s.core().send_queue().send_immediately());
  EXPECT_FALSE(s.core().anti_flood_timer().Enabled());
  s.core().SendText("second");
  EXPECT_EQ(s.Written(), "second\r\n");
  s.core().SendText("third");
  EXPECT_EQ(s.Written(), "");
  s.Advance(1749);
  EXPECT_EQ(s.Written(), "");
  s.Advance(1);
  EXPECT_EQ(s.Written(), "third\r\n");
}

// "/buffer" and a closed connection drop the waiting lines; the next tick re-arms the at-once path.
TEST(SendQueueDrop, WaitingLinesLeaveNothingAndTheNextTickReArmsTheImmediatePath) {
  for (const bool closes : {false, true}) {
    SendFixture f;
    Session& s = f.s;
    s.core().SendText("one");
    s.core().SendText("two");
    if (closes) {
      s.ServerCloses();
    } else {
      s.core().SendText("/buffer");
      EXPECT_TRUE(s.core().anti_flood_timer().Enabled());
    }
    EXPECT_TRUE(s.core().send_queue().size() == 0u);
    s.Advance(1700);
    EXPECT_EQ(s.Written(), "");
    EXPECT_TRUE(s.core().send_queue().send_immediately());
    if (!closes) {
      s.core().SendText("three");
      EXPECT_EQ(s.Written(), "three\r\n");
    }
  }
}

TEST_F(SendQueueTest, AntiFloodOffWritesAtOnceAndLeavesQueuedLinesToTheTimer) {
  s.core().SendText("queued");
  s.core().options().anti_flood = false;
  s.core().SendText("now");
  s.core().SendText("now too");
  EXPECT_EQ(s.Written(), "now\r\nnow too\r\n");
  s.Advance(1700);
  EXPECT_EQ(s.Written(), "queued\r\n");
}

}  // namespace
}  // namespace tc::test
