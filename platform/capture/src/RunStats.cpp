#include "RunStats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
// When each scene's slot ends on the scene clock, in ms.
constexpr int64_t SCENE_ENDS_MS[] = {8200, 21500, 32000, 43000, 54000, 71000};
constexpr int SCENES = 7; // six scenes and the closing idle ticks
const char* const NAMES[SCENES] = {"clouds", "tunnel", "fans", "floor", "glass", "lattice", "end"};
} // namespace

int RunStats::sceneAt(int64_t sceneMs) {
    for (int i = 0; i < 6; ++i) {
        if (sceneMs < SCENE_ENDS_MS[i]) {
            return i;
        }
    }
    return 6;
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
                  "time between ticks (ms): shortest %u, median %u, longest %u\n", c.shortestMs,
                  c.medianMs, c.longestMs);
    text += line;
    std::snprintf(line, sizeof line, "shader compilations after the first second: %llu\n",
                  static_cast<unsigned long long>(compilesAfterFirstSecond()));
    text += line;
    return text;
}
