// The advertising tick's packet build: one timestamp and the P1/E3 pair, as
// the engine does it, with the heap allocations per build as a counter.

#include "AllocationCounter.h"
#include "crypto/PacketBuilder.h"
#include "crypto/CryptoDeviceOperations.h"

#include "platform/foundation/testing/TestEnvironment.h"

#include <benchmark/benchmark.h>

namespace {

struct CardData {
    std::string uid;
    std::string mid = "a1b2c3d4e5f60718";
    std::string mkey = "8f3a0e5c1d2b4a6978e6f5d4c3b2a190";
};

template<typename Tick>
void measure(benchmark::State& state, lumitrex::CryptoDeviceOperations& crypto, Tick tick)
{
    CardData card { crypto.uidDigitsToHex("1234567890123456") };
    // One build outside the loop fetches the ciphers and sets up the contexts.
    benchmark::DoNotOptimize(lumitrex::buildAdvertisingPackets(card.uid, card.mid, card.mkey, crypto.timestampString()));
    auto before = heapAllocationCount();
    for (auto _ : state) {
        tick();
        auto packets = lumitrex::buildAdvertisingPackets(card.uid, card.mid, card.mkey, crypto.timestampString());
        benchmark::DoNotOptimize(packets);
    }
    if (heapAllocationsCounted())
        state.counters["allocs_per_build"] = benchmark::Counter(
            static_cast<double>(heapAllocationCount() - before), benchmark::Counter::kAvgIterations);
}

// The real clock: the formatted timestamp is reused within its second.
void BM_AdvertisingPacketBuild(benchmark::State& state)
{
    lumitrex::CryptoDeviceOperations crypto;
    measure(state, crypto, [] { });
}
BENCHMARK(BM_AdvertisingPacketBuild);

// Worst case: every build falls in a new second and formats the date again.
void BM_AdvertisingPacketBuildNewSecond(benchmark::State& state)
{
    platform::TestEnvironment env;
    lumitrex::CryptoDeviceOperations crypto;
    measure(state, crypto, [&] { env.manualClock().advance(std::chrono::seconds(1)); });
}
BENCHMARK(BM_AdvertisingPacketBuildNewSecond);

} // namespace

BENCHMARK_MAIN();
