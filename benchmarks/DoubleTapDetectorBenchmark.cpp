// SPDX-License-Identifier: MIT
// Cost of the double-tap detector, which sees every key press and modifier change on the
// desktop while armed: time per event and heap allocations per event over a long, realistic
// mix of taps, holds, chords, typing and lock-key toggles. The program fails when the detector
// allocated at all, so a change that slips an allocation into the hot path is caught here.
#include "AllocationCounter.h"
#include "input/DoubleTapDetector.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

namespace {

using Timestamp = DoubleTapDetector::Timestamp;

constexpr uint64_t shift = 0x20000;
constexpr uint64_t control = 0x40000;
constexpr uint64_t option = 0x80000;
constexpr uint64_t command = 0x100000;
constexpr uint64_t capsLock = 0x10000;
constexpr uint64_t leftDevice = 0x20;
constexpr uint64_t rightDevice = 0x40;

// Heap allocations counted while only the detector ran, over every run of the benchmark.
std::size_t allocationsWhileTimed = 0;

struct Event {
    bool isKey;
    uint64_t flags;
    Timestamp at;
};

// Builds the event stream a user produces over a long session, from a fixed seed so every run
// measures the same work.
class StreamBuilder {
public:
    std::vector<Event> build(std::size_t length)
    {
        while (m_events.size() < length) {
            episode(pick(0, 7));
            m_now += Timestamp(pick(200'000, 2'000'000));
        }
        m_events.resize(length);
        return m_events;
    }

private:
    void episode(int kind)
    {
        switch (kind) {
        case 0: // a double tap, with the left or the right key
            tap(option | side(), 60, 120);
            tap(option | side(), 80, 200);
            break;
        case 1: // two taps too far apart
            tap(option, 60, 120);
            tap(option, 400, 900);
            break;
        case 2: // a hold
            tap(option, 500, 1500);
            break;
        case 3:
            chord();
            break;
        case 4: // a shortcut typed with the watched modifier
            flags(option, 0);
            key(30, 90);
            flags(0, 30, 90);
            break;
        case 5:
            typing();
            break;
        case 6: // Caps Lock toggled
            m_caps ^= capsLock;
            flags(0, 50, 400);
            break;
        default: // a double tap of a modifier nobody watches
            tap(control, 60, 120);
            tap(control, 80, 200);
            break;
        }
    }

    int pick(int low, int high) { return std::uniform_int_distribution(low, high)(m_random); }
    uint64_t side() { return pick(0, 1) != 0 ? leftDevice : rightDevice; }
    void advance(int lowMs, int highMs) { m_now += Timestamp(pick(lowMs * 1000, highMs * 1000)); }

    void flags(uint64_t held, int lowMs, int highMs = -1)
    {
        advance(lowMs, highMs < 0 ? lowMs : highMs);
        m_events.push_back({false, held | m_caps, m_now});
    }
    void key(int lowMs, int highMs)
    {
        advance(lowMs, highMs);
        m_events.push_back({true, m_caps, m_now});
    }
    void tap(uint64_t held, int holdLowMs, int holdHighMs)
    {
        flags(held, 80, 200);
        flags(0, holdLowMs, holdHighMs);
    }
    void chord()
    {
        const uint64_t first = pick(0, 1) != 0 ? option : command;
        flags(first, 0);
        flags(option | command, 30, 80);
        key(20, 60);
        flags(option, 30, 80);
        flags(0, 30, 80);
    }
    void typing()
    {
        const bool shifted = pick(0, 3) == 0;
        if (shifted)
            flags(shift | leftDevice, 20, 60);
        for (int i = pick(3, 12); i > 0; --i)
            key(40, 150);
        if (shifted)
            flags(0, 20, 60);
    }

    std::mt19937 m_random{20240611};
    std::vector<Event> m_events;
    Timestamp m_now{0};
    uint64_t m_caps = 0;
};

const std::vector<Event>& mixedStream()
{
    static const std::vector<Event> stream = StreamBuilder().build(1 << 16);
    return stream;
}

void detectorOverMixedStream(benchmark::State& state)
{
    const std::vector<Event>& stream = mixedStream();
    std::size_t allocations = 0;
    int64_t doubleTaps = 0;
    for (auto _ : state) {
        const std::size_t before = allocationCount();
        DoubleTapDetector detector(option);
        for (const Event& event : stream) {
            if (event.isKey)
                detector.keyPressed();
            else
                doubleTaps += detector.flagsChanged(event.flags, event.at) ? 1 : 0;
        }
        benchmark::DoNotOptimize(doubleTaps);
        allocations += allocationCount() - before;
    }
    allocationsWhileTimed += allocations;

    const auto events = static_cast<double>(stream.size());
    const auto iterations = static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(stream.size()));
    state.counters["time_per_event"] = benchmark::Counter(
        events, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["allocs_per_event"] =
        benchmark::Counter(static_cast<double>(allocations) / (events * iterations));
    state.counters["double_taps_per_pass"] = benchmark::Counter(doubleTaps / iterations);
}

BENCHMARK(detectorOverMixedStream);

} // namespace

int main(int argc, char** argv)
{
    mixedStream(); // built before anything is timed or counted
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (allocationsWhileTimed != 0) {
        std::fprintf(stderr, "the detector allocated %zu times; it must not allocate at all\n",
                     allocationsWhileTimed);
        return 1;
    }
    std::printf("allocations while the detector ran: 0\n");
    return 0;
}
