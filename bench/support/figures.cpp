#include "support/figures.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>

Figures& figures() {
    static Figures table;
    return table;
}

Figures::Row& Figures::row(const std::string& measure, Unit unit) {
    for (Row& r : m_rows)
        if (r.measure == measure) return r;
    m_rows.push_back({measure, unit});
    return m_rows.back();
}

void Figures::recordBare(const std::string& measure, double seconds) { row(measure, Unit::Seconds).bare = seconds; }

double Figures::bareSeconds(const std::string& measure) const {
    for (const Row& r : m_rows)
        if (r.measure == measure) return r.bare;
    return -1;
}

void Figures::recordOurs(benchmark::State& state, const std::string& measure, double seconds, const char* counter) {
    Row& r = row(measure, Unit::Seconds);
    r.ours = seconds;
    if (r.bare > 0) state.counters[counter] = seconds / r.bare;
}

void Figures::record(benchmark::State& state, const std::string& measure, double ours, double bare, Unit unit) {
    Row& r = row(measure, unit);
    r.ours = ours;
    r.bare = bare;
    if (bare > 0) state.counters["ratio"] = ours / bare;
}

std::string Figures::valueText(Unit unit, double value) {
    char buf[32];
    if (value < 0) return "-";
    if (unit == Unit::Megabytes) std::snprintf(buf, sizeof buf, "%.1f MB", value);
    else if (value >= 0.1) std::snprintf(buf, sizeof buf, "%.1f ms", value * 1e3);
    else if (value >= 1e-3) std::snprintf(buf, sizeof buf, "%.2f ms", value * 1e3);
    else std::snprintf(buf, sizeof buf, "%.1f us", value * 1e6);
    return buf;
}

void Figures::print(const char* targets) const {
    if (m_rows.empty()) return;
    int width = 40;
    for (const Row& r : m_rows) width = std::max(width, int(r.measure.size()) + 1);
    std::printf("\n%-*s %12s %12s %7s\n", width, "measure", "ours", "bare", "ratio");
    for (const Row& r : m_rows) {
        char ratio[16] = "-";
        if (r.ours >= 0 && r.bare > 0) std::snprintf(ratio, sizeof ratio, "%.2f", r.ours / r.bare);
        std::printf("%-*s %12s %12s %7s\n", width, r.measure.c_str(), valueText(r.unit, r.ours).c_str(),
                    valueText(r.unit, r.bare).c_str(), ratio);
    }
    if (targets && *targets) std::printf("%s\n", targets);
}
