#pragma once

#include <string>
#include <vector>

namespace benchmark {
class State;
}

// The figures a benchmark program prints after its runs: for each measure, in
// the order first recorded, our side, the bare side and the ratio ours/bare.
// The bare side of a measure runs first, so that our side can show the ratio
// as a counter of its own benchmark too.
class Figures {
public:
    enum class Unit { Seconds, Megabytes };

    // The bare side of measure, in seconds per iteration.
    void recordBare(const std::string& measure, double seconds);
    // Our side of measure, in seconds per iteration; with the bare side known,
    // sets state's counter (named counter) to the ratio ours/bare.
    void recordOurs(benchmark::State& state, const std::string& measure, double seconds,
                    const char* counter = "ratio");
    // Both sides of measure, taken in one benchmark, and the ratio counter.
    void record(benchmark::State& state, const std::string& measure, double ours, double bare, Unit unit);

    // The bare side recorded for measure, -1 when none was.
    double bareSeconds(const std::string& measure) const;

    // The table "measure, ours, bare, ratio", then the targets line; nothing
    // when no figure was taken (a filter that left every measure out).
    void print(const char* targets) const;

private:
    struct Row {
        std::string measure;
        Unit unit;
        double ours = -1, bare = -1;
    };
    Row& row(const std::string& measure, Unit unit);
    static std::string valueText(Unit unit, double value);

    std::vector<Row> m_rows;
};

// The table of this benchmark program, printed by runBenchmarks().
Figures& figures();
