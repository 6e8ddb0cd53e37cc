// Drawing the full screen of FullScreen.h at the main screen's scale of 3,
// with a photo on each card face and a check-box symbol in each table row.
// The target is a median of at most 16 ms per picture.

#include "bench/uilayout/FullScreen.h"
#include "platform/foundation/testing/TestEnvironment.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/controls/ScrollView.h"
#include "platform/ui/controls/TableView.h"
#include "platform/ui/graphics/Image.h"
#include "platform/ui/render/Renderer.h"

#include <benchmark/benchmark.h>

namespace {

using namespace platform::ui;

// A decoded 300 × 390 pixel photo, as a profile picture would be.
std::shared_ptr<const Image> photo()
{
    auto encoded = Image::filled(Color::rgba(0.2, 0.4, 0.7), { 100, 130 }, 3).pngData();
    return std::make_shared<const Image>(*Image::fromData(std::span(reinterpret_cast<const std::uint8_t*>(encoded.data()), encoded.size()), 3));
}

void decorate(View& root)
{
    auto symbol = std::make_shared<const Image>(*Image::systemNamed("square", 18));
    auto picture = photo();
    forEachView(root, [&](View& view) {
        auto* box = dynamic_cast<ImageView*>(&view);
        if (box && !box->image())
            box->setImage(symbol);
        auto* scroll = dynamic_cast<ScrollView*>(&view);
        if (scroll && !dynamic_cast<TableView*>(scroll)) {
            for (const auto& face : scroll->subviews()) {
                face->setBackgroundColor(Color::systemGray6());
                face->layer().setCornerRadius(12);
                face->layer().setBorderWidth(1);
                face->layer().setBorderColor(Color::separator());
                auto image = std::make_shared<ImageView>(picture);
                image->setFrame({ 260, 12, 100, 130 });
                image->setContentMode(ContentMode::scaleAspectFill);
                image->setClipsToBounds(true);
                face->addSubview(image);
            }
        }
    });
}

void BM_DrawFullScreenAtScale3(benchmark::State& state)
{
    platform::TestEnvironment env;
    FullScreenWindow screen;
    screen.root().setBackgroundColor(Color::white());
    // The table makes its cells in the first pass; their check boxes get the symbol after it.
    screen.window->layoutIfNeeded();
    decorate(screen.root());
    screen.window->layoutIfNeeded();
    const Renderer renderer(3);
    for (auto _ : state)
        benchmark::DoNotOptimize(renderer.renderScreen());
}
BENCHMARK(BM_DrawFullScreenAtScale3)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}

BENCHMARK_MAIN();
