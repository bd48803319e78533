// The send queue's own cost: one line enqueued and later written by a tick (the queue, timer and
// quota window bookkeeping, not the socket), with the server's default quota as the program runs
// it. Kept far below the time a line takes to reach the server.
#include <benchmark/benchmark.h>

#include <string>

#include "send/send_queue.h"

namespace tc {
namespace {

void BM_EnqueueAndDrainOneLine(benchmark::State& state) {
  SendQueue queue;
  CoreTimer timer(SendQueue::kBaseIntervalMs);
  const SendQuota quota;
  const std::string line = "Hello everyone, this is an ordinary line of channel talk.\r\n";
  int64_t now = 0;
  for (auto _ : state) {
    queue.Enqueue(line, timer, now);
    now = timer.Due();
    auto written = queue.Tick(true, timer, now, quota);
    benchmark::DoNotOptimize(written);
  }
}
BENCHMARK(BM_EnqueueAndDrainOneLine)->Repetitions(9)->ReportAggregatesOnly(true);

// A backlog: the line joins twenty waiting lines and the tick takes the oldest.
void BM_EnqueueAndDrainWithBacklog(benchmark::State& state) {
  SendQueue queue;
  CoreTimer timer(SendQueue::kBaseIntervalMs);
  const SendQuota quota;
  const std::string line = "/w someone a whisper answer of middling length\r\n";
  int64_t now = 0;
  for (int i = 0; i < 20; ++i) queue.Enqueue(line, timer, now);
  for (auto _ : state) {
    queue.Enqueue(line, timer, now);
    now = timer.Due();
    auto written = queue.Tick(true, timer, now, quota);
    benchmark::DoNotOptimize(written);
  }
}
BENCHMARK(BM_EnqueueAndDrainWithBacklog)->Repetitions(9)->ReportAggregatesOnly(true);

// A flood of automatic lines at the lane's bound: each new one drops the oldest.
void BM_AutomaticFloodAtTheBound(benchmark::State& state) {
  SendQueue queue;
  CoreTimer timer(SendQueue::kBaseIntervalMs);
  const std::string line = "/w someone alice, bob, carol, dave\r\n";
  for (size_t i = 0; i < SendQueue::kMaxAutomatic; ++i) queue.Enqueue(line, timer, 0, true);
  for (auto _ : state) {
    queue.Enqueue(line, timer, 0, true);
    benchmark::DoNotOptimize(queue.automatic_size());
  }
}
BENCHMARK(BM_AutomaticFloodAtTheBound)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tc

BENCHMARK_MAIN();
