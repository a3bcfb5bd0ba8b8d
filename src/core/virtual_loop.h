#pragma once
// A main loop with a manual clock. Nothing happens until the owner advances time; then
// every due task and timer tick runs in time order with now() set to its due time, so
// tests and scripted runs of the virtual Mac are exact and repeatable.

#include "core/queued_loop.h"

namespace velmora {

class VirtualLoop final : public QueuedLoop {
 public:
  // `wallStart` is the wall-clock time (seconds since 1970) at virtual time zero.
  explicit VirtualLoop(double wallStart = 1.8e9) : wallStart_(wallStart) {}

  double now() const override { return now_; }
  double wallNow() const override { return wallStart_ + now_ + wallSkew_; }

  // Runs everything due up to now + seconds, then leaves the clock there.
  void advance(double seconds);
  // Runs what is due now (posted work and anything it posts in turn), without moving time.
  void runPending();
  // While set, work handed over from other threads waits for runPending instead of joining
  // in whenever the clock moves, so a scripted run that waits for its workers at fixed points
  // sees their results at the same virtual time on every machine.
  void holdCrossThreadPosts(bool hold) { holdInbox_ = hold; }
  // Moves the wall clock alone, as a user changing the date or a sleep would.
  void skewWallClock(double seconds) { wallSkew_ += seconds; }

 private:
  void runDueUntil(double target, bool drainCrossThreadPosts);

  double now_ = 0;
  double wallStart_;
  double wallSkew_ = 0;
  bool holdInbox_ = false;
};

}  // namespace velmora
