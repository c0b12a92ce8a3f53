#include "content/Limiter.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace content {

void Limiter::process(std::vector<float>& left, std::vector<float>& right, double rate,
                      double ceiling, double lookaheadSeconds, double releaseSeconds) {
    const size_t n = left.size();
    const int64_t la = std::max<int64_t>(1, std::llround(lookaheadSeconds * rate));
    std::vector<double> need(n);
    for (size_t i = 0; i < n; ++i) {
        double peak = std::max(std::fabs(left[i]), std::fabs(right[i]));
        need[i] = peak > ceiling ? ceiling / peak : 1.0;
    }
    // Minimum of the needed gain over [i - la, i + la] (monotonic queue).
    std::vector<double> low(n);
    std::deque<size_t> q;
    size_t next = 0;
    for (size_t i = 0; i < n; ++i) {
        size_t hi = std::min(n - 1, i + static_cast<size_t>(la));
        while (next <= hi) {
            while (!q.empty() && need[q.back()] >= need[next]) {
                q.pop_back();
            }
            q.push_back(next++);
        }
        while (q.front() + static_cast<size_t>(la) < i) {
            q.pop_front();
        }
        low[i] = need[q.front()];
    }
    // Release: recover at a bounded rate, never above what the window allows.
    const double step = 1.0 / std::max(1.0, releaseSeconds * rate);
    double g = 1.0;
    for (size_t i = 0; i < n; ++i) {
        g = std::min(low[i], g + step);
        low[i] = g;
    }
    // Averaging over the same window keeps every sample at or below its needed gain.
    std::vector<double> sum(n + 1, 0.0);
    for (size_t i = 0; i < n; ++i) {
        sum[i + 1] = sum[i] + low[i];
    }
    for (size_t i = 0; i < n; ++i) {
        size_t a = i >= static_cast<size_t>(la) ? i - la : 0;
        size_t b = std::min(n, i + la + 1);
        double gain = (sum[b] - sum[a]) / static_cast<double>(b - a);
        left[i] = static_cast<float>(left[i] * gain);
        right[i] = static_cast<float>(right[i] * gain);
    }
}

} // namespace content
