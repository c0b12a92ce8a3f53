// Statistics of a run, gathered from outside the program: each main-loop
// iteration that does not sleep is a tick (one update); a tick that begins a
// scene and presents it was rendered. Ticks are told apart by the message peek
// that starts every iteration and attributed to scenes by the time of the scene
// clock at which they happen.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class RunStats {
public:
    struct Tick {
        int64_t sceneMs;  // scene-clock time of the tick (negative before playback)
        double updateMs;  // from the tick's start to its BeginScene (or its end)
        double renderMs;  // BeginScene to the end of Present; negative when skipped
        uint32_t clockMs; // the run's millisecond clock when the tick began
    };

    // Events, with the wall time (ms, any origin) and the run's clock (ms).
    void iterationStarted(double wallMs, uint32_t clockMs);
    void slept();
    void sceneBegun(double wallMs);
    void presented(double wallMs);
    // The scene clock starts at clockMs (the first frame of playback); shader
    // programs compiled so far are `compiles`.
    void playbackFrame(uint32_t clockMs, uint64_t compiles);
    // A frame of the loading screen was presented, with `compiles` programs so far.
    void loadingFrame(uint64_t compiles);
    // Closes the iteration in progress (the loop's last one ends without a peek).
    void finish(double wallMs);

    const std::vector<Tick>& ticks() const { return recorded; }
    uint64_t compilesAfterFirstSecond() const { return lastCompiles - compilesAtOneSecond; }
    uint64_t compilesDuringPlayback() const {
        return originMs ? lastCompiles - compilesWhileLoading : 0;
    }

    // Shortest, median and longest time between consecutive ticks on the run's
    // clock (across its wrap too), the most ticks within any second, and the clock
    // at the first and the last tick; all 0 with fewer than two ticks. The clock is
    // read as an iteration begins, a little before the loop reads it, so on a busy
    // machine one gap may come out short where the one before came out long; the
    // most in a second is what shows a burst.
    struct Cadence {
        uint32_t shortestMs = 0, medianMs = 0, longestMs = 0;
        uint32_t mostInASecond = 0;
        uint32_t firstMs = 0, lastMs = 0;
    };
    Cadence cadence() const;

    // The table printed at exit.
    std::string report() const;

    // Which scene a tick at sceneMs belongs to: 0 to 5, or 6 for the closing idle ticks.
    static int sceneAt(int64_t sceneMs);
    static const char* sceneName(int scene);
    // The q-quantile of `values` (nearest rank); 0 for none.
    static double quantile(std::vector<double> values, double q);

private:
    bool inIteration = false;
    bool iterationSlept = false;
    double iterationStartMs = 0.0;
    uint32_t iterationClockMs = 0;
    double beginMs = -1.0;
    double presentMs = -1.0;
    std::vector<std::pair<uint32_t, Tick>> pending; // clock ms until the origin is known
    std::optional<uint32_t> originMs;
    uint64_t compilesAtOneSecond = 0;
    uint64_t compilesWhileLoading = 0;
    uint64_t lastCompiles = 0;
    std::vector<Tick> recorded;
};
