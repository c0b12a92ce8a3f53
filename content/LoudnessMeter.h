#pragma once

#include <vector>

namespace content {

// Programme loudness after ITU-R BS.1770: K-weighting, 400 ms blocks with 75 % overlap,
// the absolute gate at -70 LUFS and the relative gate 10 LU below the ungated mean.
class LoudnessMeter {
public:
    // Integrated loudness in LUFS of a stereo signal; -inf-like (-200) for silence.
    static double integrated(const std::vector<float>& left, const std::vector<float>& right,
                             double rate);
    // Mean-square power of the K-weighted signal in each 400 ms block (both channels summed).
    static std::vector<double> blockPowers(const std::vector<float>& left,
                                           const std::vector<float>& right, double rate);
};

} // namespace content
