#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/realtime_loop.h"
#include "core/virtual_loop.h"
#include "golden.h"

namespace velmora {
namespace {

// Delayed work runs in time order at its due time (the same time: in arrival order, posted
// work first), work scheduled by work runs in the same advance when due, a repeating timer
// ticks until invalidated, dropped or stopped by its own tick; guarded work does nothing
// once its owner is gone.
TEST(VirtualLoop, RunsWorkInTimeOrderAtItsDueTime) {
  VirtualLoop loop;
  std::string ran;
  auto note = [&](std::string what) {
    return [&, what] { ran += what + "@" + testing::num(loop.now()) + " "; };
  };
  loop.after(0.3, note("c"));
  loop.after(0.1, note("a"));
  loop.after(0.1, [&] {
    note("b")();
    loop.after(0.05, note("b+0.05"));
    loop.after(0.5, note("b+0.5"));
  });
  loop.post(note("posted"));
  auto timer = loop.repeating(1.5, 0.5, note("tick"));
  EXPECT_DOUBLE_EQ(timer->interval(), 1.5);
  EXPECT_DOUBLE_EQ(timer->tolerance(), 0.5);
  std::unique_ptr<RepeatingTimer> selfStopping;
  int ticks = 0;
  selfStopping = loop.repeating(1, -1, [&] {
    if (++ticks == 2) selfStopping.reset();
  });
  Lifetime kept;
  loop.after(0.2, kept.guard(note("kept")));
  {
    Lifetime owner;
    loop.after(0.1, owner.guard(note("gone")));
  }
  loop.advance(0.2);
  EXPECT_DOUBLE_EQ(loop.now(), 0.2);
  loop.advance(4.4);  // ticks at 1.5, 3.0 and 4.5
  timer->invalidate();
  EXPECT_FALSE(timer->isValid());
  auto dropped = loop.repeating(1, -1, note("dropped"));
  EXPECT_DOUBLE_EQ(dropped->tolerance(), 0.25);  // a quarter of the interval by default
  dropped.reset();
  loop.advance(10);
  EXPECT_EQ(ran,
            "posted@0 a@0.1 b@0.1 b+0.05@0.15 kept@0.2 c@0.3 b+0.5@0.6 tick@1.5 tick@3 tick@4.5 ");
  EXPECT_EQ(ticks, 2);

  // The wall clock follows virtual time from where it was set, and can jump.
  VirtualLoop clock(1000);
  clock.advance(2.5);
  EXPECT_DOUBLE_EQ(clock.wallNow(), 1002.5);
  clock.skewWallClock(-60);
  EXPECT_DOUBLE_EQ(clock.wallNow(), 942.5);
  EXPECT_DOUBLE_EQ(clock.now(), 2.5);
}

TEST(VirtualLoop, PostsFromOtherThreadsRunOnTheLoopInOrder) {
  VirtualLoop loop;
  std::vector<int> got;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) loop.postFromAnyThread([&got, i] { got.push_back(i); });
  });
  worker.join();
  EXPECT_TRUE(got.empty());  // nothing runs until the loop turns
  loop.runPending();
  std::vector<int> expected(100);
  for (int i = 0; i < 100; ++i) expected[static_cast<std::size_t>(i)] = i;
  EXPECT_EQ(got, expected);
}

TEST(VirtualLoop, PendingWorkListsWhatIsLeftEarliestFirstAndFollowsTheLoop) {
  using Kind = QueuedLoop::PendingWork::Kind;
  VirtualLoop loop;
  loop.holdCrossThreadPosts(true);
  loop.after(0.3, [] {});
  loop.after(0.1, [] {});
  auto timer = loop.repeating(1.5, 0.5, [] {});
  auto dropped = loop.repeating(0.2, -1, [] {});
  dropped->invalidate();
  loop.post([] {});
  std::thread([&] { loop.postFromAnyThread([] {}); }).join();

  auto work = loop.pendingWork();
  ASSERT_EQ(work.size(), 5u);
  EXPECT_EQ(work[0].kind, Kind::once);  // the post, due now
  EXPECT_DOUBLE_EQ(work[0].due, 0);
  EXPECT_EQ(work[1].kind, Kind::fromAnotherThread);  // taken in after what is due now
  EXPECT_DOUBLE_EQ(work[2].due, 0.1);
  EXPECT_DOUBLE_EQ(work[3].due, 0.3);
  EXPECT_EQ(work[4].kind, Kind::repeating);
  EXPECT_DOUBLE_EQ(work[4].due, 1.5);
  EXPECT_DOUBLE_EQ(work[4].interval, 1.5);
  EXPECT_DOUBLE_EQ(work[4].tolerance, 0.5);

  // Once time passes, only the timer is left, armed for its next tick.
  loop.runPending();
  loop.advance(2);
  work = loop.pendingWork();
  ASSERT_EQ(work.size(), 1u);
  EXPECT_EQ(work[0].kind, Kind::repeating);
  EXPECT_DOUBLE_EQ(work[0].due, 3.0);
  timer.reset();
  EXPECT_TRUE(loop.pendingWork().empty());
}

TEST(RealtimeLoop, RunsWorkPostedFromAnotherThreadAndDelayedWorkAtItsTime) {
  RealtimeLoop loop;
  std::vector<int> order;
  std::thread worker([&] {
    loop.postFromAnyThread([&] { order.push_back(1); });
    loop.postFromAnyThread([&] {
      order.push_back(2);
      loop.stop();
    });
  });
  loop.run();
  worker.join();
  EXPECT_EQ(order, (std::vector<int>{1, 2}));

  double ranAt = -1;
  double start = loop.now();
  loop.after(0.02, [&] {
    ranAt = loop.now();
    loop.stop();
  });
  loop.runFor(5);
  EXPECT_GE(ranAt - start, 0.02);
  EXPECT_LT(ranAt - start, 2.0);
}

}  // namespace
}  // namespace velmora
