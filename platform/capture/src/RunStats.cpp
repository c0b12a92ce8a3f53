#include "RunStats.h"

#include "common/DemoTimeline.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
constexpr int SCENES = 7; // six scenes and the closing idle ticks
const char* const NAMES[SCENES] = {"clouds", "tunnel", "fans", "floor", "glass", "lattice", "end"};
} // namespace

int RunStats::sceneAt(int64_t sceneMs) {
    for (size_t i = 0; i < SCENE_END_SECONDS.size(); ++i) {
        // The end in whole ms, rounded: 8.2 s is 8200 ms, not 8199.
        if (sceneMs < std::llround(SCENE_END_SECONDS[i] * 1000.0)) {
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(SCENE_END_SECONDS.size());
}

const char* RunStats::sceneName(int scene) {
    return scene >= 0 && scene < SCENES ? NAMES[scene] : "?";
}

double RunStats::quantile(std::vector<double> values, double q) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(q * static_cast<double>(values.size()));
    const size_t index = rank < 1.0 ? 0 : static_cast<size_t>(rank) - 1;
    return values[std::min(index, values.size() - 1)];
}

void RunStats::iterationStarted(double wallMs, uint32_t clockMs) {
    finish(wallMs);
    inIteration = true;
    iterationSlept = false;
    iterationStartMs = wallMs;
    iterationClockMs = clockMs;
    beginMs = presentMs = -1.0;
}

void RunStats::slept() {
    iterationSlept = true;
}

void RunStats::sceneBegun(double wallMs) {
    if (inIteration && beginMs < 0.0) {
        beginMs = wallMs;
    }
}

void RunStats::presented(double wallMs) {
    if (inIteration && beginMs >= 0.0) {
        presentMs = wallMs;
    }
}

void RunStats::playbackFrame(uint32_t clockMs, uint64_t compiles) {
    if (!originMs) {
        originMs = clockMs;
        for (auto& [clock, tick] : pending) {
            tick.sceneMs = static_cast<int32_t>(clock - clockMs);
            recorded.push_back(tick);
        }
        pending.clear();
    }
    if (static_cast<uint32_t>(clockMs - *originMs) <= 1000) {
        compilesAtOneSecond = compiles;
    }
    lastCompiles = compiles;
}

void RunStats::loadingFrame(uint64_t compiles) {
    compilesWhileLoading = compiles;
}

void RunStats::finish(double wallMs) {
    if (!inIteration) {
        return;
    }
    inIteration = false;
    if (iterationSlept) {
        return;
    }
    Tick tick{};
    tick.clockMs = iterationClockMs;
    tick.updateMs = (beginMs >= 0.0 ? beginMs : wallMs) - iterationStartMs;
    tick.renderMs = presentMs >= 0.0 ? presentMs - beginMs : -1.0;
    if (originMs) {
        tick.sceneMs = static_cast<int32_t>(iterationClockMs - *originMs);
        recorded.push_back(tick);
    } else {
        pending.emplace_back(iterationClockMs, tick);
    }
}

RunStats::Cadence RunStats::cadence() const {
    std::vector<uint32_t> clocks;
    for (const Tick& t : recorded) {
        clocks.push_back(t.clockMs);
    }
    for (const auto& [clock, tick] : pending) {
        clocks.push_back(tick.clockMs);
    }
    if (clocks.size() < 2) {
        return {};
    }
    std::vector<double> gaps;
    for (size_t i = 1; i < clocks.size(); ++i) {
        gaps.push_back(static_cast<uint32_t>(clocks[i] - clocks[i - 1]));
    }
    Cadence c;
    c.shortestMs = static_cast<uint32_t>(*std::min_element(gaps.begin(), gaps.end()));
    c.medianMs = static_cast<uint32_t>(quantile(gaps, 0.5));
    c.longestMs = static_cast<uint32_t>(*std::max_element(gaps.begin(), gaps.end()));
    // Ticks in the window [t, t + 1000 ms) of each tick t.
    std::vector<uint64_t> at{0};
    for (double gap : gaps) {
        at.push_back(at.back() + static_cast<uint64_t>(gap));
    }
    for (size_t first = 0, last = 0; first < at.size(); ++first) {
        while (last < at.size() && at[last] - at[first] < 1000) {
            ++last;
        }
        c.mostInASecond = std::max(c.mostInASecond, static_cast<uint32_t>(last - first));
    }
    c.firstMs = clocks.front();
    c.lastMs = clocks.back();
    return c;
}

std::string RunStats::report() const {
    std::vector<Tick> all = recorded;
    for (const auto& [clock, tick] : pending) {
        all.push_back(tick); // no frame of playback was ever presented
    }
    struct Row {
        uint64_t updated = 0, rendered = 0;
        std::vector<double> update, render;
    };
    Row rows[SCENES + 1];
    for (const Tick& t : all) {
        for (Row* row : {&rows[sceneAt(t.sceneMs)], &rows[SCENES]}) {
            ++row->updated;
            row->update.push_back(t.updateMs);
            if (t.renderMs >= 0.0) {
                ++row->rendered;
                row->render.push_back(t.renderMs);
            }
        }
    }
    std::string text;
    char line[256];
    std::snprintf(line, sizeof line, "%-8s %7s %8s %7s   %-26s %-26s\n", "scene", "updated",
                  "rendered", "skipped", "update ms: median p99 worst",
                  "render ms: median p99 worst");
    text += line;
    for (int i = 0; i <= SCENES; ++i) {
        const Row& r = rows[i];
        if (i < SCENES && r.updated == 0) {
            continue;
        }
        auto worst = [](const std::vector<double>& v) {
            return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
        };
        std::snprintf(line, sizeof line,
                      "%-8s %7llu %8llu %7llu   %8.3f %8.3f %8.3f   %8.3f %8.3f %8.3f\n",
                      i < SCENES ? NAMES[i] : "all", static_cast<unsigned long long>(r.updated),
                      static_cast<unsigned long long>(r.rendered),
                      static_cast<unsigned long long>(r.updated - r.rendered),
                      quantile(r.update, 0.5), quantile(r.update, 0.99), worst(r.update),
                      quantile(r.render, 0.5), quantile(r.render, 0.99), worst(r.render));
        text += line;
    }
    const Cadence c = cadence();
    std::snprintf(line, sizeof line,
                  "time between ticks (ms): shortest %u, median %u, longest %u; at most %u "
                  "in a second (clock %u to %u)\n",
                  c.shortestMs, c.medianMs, c.longestMs, c.mostInASecond, c.firstMs, c.lastMs);
    text += line;
    std::snprintf(line, sizeof line, "shader compilations after the first second: %llu\n",
                  static_cast<unsigned long long>(compilesAfterFirstSecond()));
    text += line;
    std::snprintf(line, sizeof line, "shader compilations during playback: %llu\n",
                  static_cast<unsigned long long>(compilesDuringPlayback()));
    text += line;
    return text;
}
