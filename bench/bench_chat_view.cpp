// The chat view's append cost as it fills: after 1,000 lines and after 1,000,000 (no cap), under
// the default cap, a burst of 1,000 lines, single lines painted at the end of a full view, and the
// memory each stored line takes.
// Run offscreen: QT_QPA_PLATFORM=offscreen build/default/bench/bench_chat_view
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QScrollBar>
#include <cstdlib>
#include <memory>
#include <string>

#include "ui/chat_view.h"

namespace {

tc::StyledLine Line(int i) {
  std::string text = "<bob> line number " + std::to_string(i) + " with a few words in it";
  return tc::StyledLine{text, {{0, 5, tc::kClAqua}, {5, text.size() - 5, tc::kClSilver}}};
}

// Heap bytes in use: unlike the resident size it does not hide behind memory freed earlier.
size_t HeapInUse() {
  return mallinfo2().uordblks;
}

std::unique_ptr<tc::ui::ChatView> FilledView(int lines, int cap) {
  auto view = std::make_unique<tc::ui::ChatView>();
  view->resize(446, 240);
  view->SetLineCap(cap);
  view->show();
  constexpr int kChunk = 10000;
  for (int done = 0; done < lines;) {
    const int n = std::min(kChunk, lines - done);
    for (int i = 0; i < n; ++i) view->AppendStyled(Line(done + i));
    view->Flush();
    done += n;
  }
  QApplication::processEvents();
  return view;
}

// Appends 100 lines per iteration, one flush each, to a view already holding range(0) lines.
void BM_AppendAfter(benchmark::State& state) {
  auto view = FilledView(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  int i = 0;
  for (auto _ : state) {
    for (int k = 0; k < 100; ++k) view->AppendStyled(Line(i++));
    view->Flush();
  }
  state.SetItemsProcessed(state.iterations() * 100);
  state.counters["blocks"] = view->document()->blockCount();
}
BENCHMARK(BM_AppendAfter)
    ->Args({1000, 0})
    ->Args({2000, 1000})
    ->Args({1000000, 0})
    ->Args({1000, tc::ui::ChatView::kDefaultLineCap})
    ->Args({tc::ui::ChatView::kDefaultLineCap, tc::ui::ChatView::kDefaultLineCap})
    ->Unit(benchmark::kMicrosecond);

// One read burst of 1,000 lines: put in with one flush and painted once.
void BM_Burst1000(benchmark::State& state) {
  auto view = FilledView(1000, tc::ui::ChatView::kDefaultLineCap);
  int i = 0;
  for (auto _ : state) {
    for (int k = 0; k < 1000; ++k) view->AppendStyled(Line(i++));
    view->Flush();
    view->viewport()->repaint();
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_Burst1000)->Unit(benchmark::kMillisecond);

// Lines arriving one read each while the view is full and scrolled to the end: each is put in,
// scrolled to and painted on its own. Under 2 ms a line keeps up with 500 lines a second.
void BM_OneLinePerReadAtTheEnd(benchmark::State& state) {
  auto view = FilledView(tc::ui::ChatView::kDefaultLineCap, tc::ui::ChatView::kDefaultLineCap);
  int i = 0;
  for (auto _ : state) {
    view->AppendStyled(Line(i++));
    view->Flush();
    view->viewport()->repaint();
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["at_end"] =
      view->verticalScrollBar()->value() == view->verticalScrollBar()->maximum() ? 1 : 0;
}
BENCHMARK(BM_OneLinePerReadAtTheEnd)->Unit(benchmark::kMicrosecond);

// Memory per stored line, over 200,000 lines.
void BM_MemoryPerLine(benchmark::State& state) {
  for (auto _ : state) {
    const size_t before = HeapInUse();
    auto view = FilledView(200000, 0);
    const size_t after = HeapInUse();
    state.counters["bytes_per_line"] = static_cast<double>(after - before) / 200000.0;
  }
}
BENCHMARK(BM_MemoryPerLine)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
