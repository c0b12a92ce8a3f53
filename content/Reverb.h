#pragma once

#include <cstddef>
#include <vector>

namespace content {

// A stereo reverberator: parallel damped feedback combs into series all-passes per channel,
// with slightly different delays left and right for width.
class Reverb {
public:
    Reverb(double rate, double feedback, double damping);
    // Processes a whole send bus; the wet result replaces the input.
    void process(std::vector<float>& left, std::vector<float>& right);

private:
    struct Comb {
        std::vector<float> line;
        size_t pos = 0;
        float store = 0.0f;
    };
    struct AllPass {
        std::vector<float> line;
        size_t pos = 0;
    };
    float channel(float in, std::vector<Comb>& combs, std::vector<AllPass>& passes);

    float feedback;
    float damping;
    std::vector<Comb> combsL, combsR;
    std::vector<AllPass> passesL, passesR;
};

} // namespace content
