#pragma once

#include <benchmark/benchmark.h>
#include <chrono>

// Times a benchmark loop with a steady clock: seconds per iteration, for the
// tables and ratios the benchmarks print.
class LoopTimer {
public:
    LoopTimer() : m_start(std::chrono::steady_clock::now()) {}
    double perIteration(const benchmark::State& state) const {
        const std::chrono::duration<double> d = std::chrono::steady_clock::now() - m_start;
        return state.iterations() ? d.count() / double(state.iterations()) : 0.0;
    }

private:
    std::chrono::steady_clock::time_point m_start;
};
