#include "content/Reverb.h"

namespace content {

Reverb::Reverb(double rate, double fb, double damp)
    : feedback(static_cast<float>(fb)), damping(static_cast<float>(damp)) {
    const int combLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    const int passLengths[4] = {556, 441, 341, 225};
    const double k = rate / 44100.0;
    for (int len : combLengths) {
        combsL.push_back({std::vector<float>(static_cast<size_t>(len * k), 0.0f)});
        combsR.push_back({std::vector<float>(static_cast<size_t>((len + 23) * k), 0.0f)});
    }
    for (int len : passLengths) {
        passesL.push_back({std::vector<float>(static_cast<size_t>(len * k), 0.0f)});
        passesR.push_back({std::vector<float>(static_cast<size_t>((len + 23) * k), 0.0f)});
    }
}

float Reverb::channel(float in, std::vector<Comb>& combs, std::vector<AllPass>& passes) {
    float out = 0.0f;
    for (Comb& c : combs) {
        float y = c.line[c.pos];
        c.store = y * (1.0f - damping) + c.store * damping;
        c.line[c.pos] = in + c.store * feedback;
        if (++c.pos == c.line.size()) {
            c.pos = 0;
        }
        out += y;
    }
    for (AllPass& a : passes) {
        float buffered = a.line[a.pos];
        float y = buffered - out;
        a.line[a.pos] = out + buffered * 0.5f;
        if (++a.pos == a.line.size()) {
            a.pos = 0;
        }
        out = y;
    }
    return out;
}

void Reverb::process(std::vector<float>& left, std::vector<float>& right) {
    for (size_t i = 0; i < left.size(); ++i) {
        float in = (left[i] + right[i]) * 0.5f * 0.03f;
        left[i] = channel(in, combsL, passesL);
        right[i] = channel(in, combsR, passesR);
    }
}

} // namespace content
