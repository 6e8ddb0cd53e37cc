// One layout pass of a full screen (FullScreen.h). The target is at most 1 ms
// per pass.

#include "bench/uilayout/FullScreen.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/ui/Window.h"
#include "platform/ui/ViewController.h"

#include <benchmark/benchmark.h>

namespace {

using namespace platform::ui;

void BM_LayoutPassOfAFullScreen(benchmark::State& state)
{
    platform::TestEnvironment env;
    FullScreenWindow screen;
    auto& window = screen.window;
    window->layoutIfNeeded();
    for (auto _ : state) {
        // Every view asks for layout again, as after a change of the screen's size.
        forEachView(*window, [](View& v) { v.setNeedsLayout(); });
        window->layoutIfNeeded();
    }
}
BENCHMARK(BM_LayoutPassOfAFullScreen)->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
