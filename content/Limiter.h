#pragma once

#include <vector>

namespace content {

// A look-ahead peak limiter: the gain needed to keep every sample under the ceiling is
// spread over the samples around it, so it never jumps and never lets a peak through.
class Limiter {
public:
    static void process(std::vector<float>& left, std::vector<float>& right, double rate,
                        double ceiling, double lookaheadSeconds, double releaseSeconds);
};

} // namespace content
