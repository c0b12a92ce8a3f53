#pragma once

#include <cstdint>
#include <vector>

namespace content {

// Two stereo buses: the dry mix and the reverb send.
struct Mix {
    explicit Mix(double seconds, double rate = 44100.0);
    double rate;
    std::vector<float> dryL, dryR, sendL, sendR;

    // Equal-power gains of a pan position (-1 left .. 1 right).
    struct Pan {
        double left;
        double right;
    };
    static Pan panGains(double pan);
    // Adds a mono sample at frame i, panned, and the same times `send` to the reverb bus.
    void put(int64_t i, double v, Pan pan, double send) {
        if (i < 0 || i >= frames()) {
            return;
        }
        double l = v * pan.left;
        double r = v * pan.right;
        dryL[i] += static_cast<float>(l);
        dryR[i] += static_cast<float>(r);
        sendL[i] += static_cast<float>(l * send);
        sendR[i] += static_cast<float>(r * send);
    }
    int64_t frames() const { return static_cast<int64_t>(dryL.size()); }
};

// The instruments of the soundtrack. Each renders one note or hit into a Mix, starting at
// `start` seconds; every voice opens and closes through an envelope.
class Voices {
public:
    static void kick(Mix& m, double start, double gain);
    static void snare(Mix& m, double start, double gain);
    static void clap(Mix& m, double start, double gain);
    static void hat(Mix& m, double start, double gain, bool open, double pan);
    static void crash(Mix& m, double start, double gain);
    static void bass(Mix& m, double start, double gate, int note, double gain);
    static void pad(Mix& m, double start, double gate, int note, double gain, double bright);
    static void pluck(Mix& m, double start, int note, double gain, double pan, double bright);
    static void bell(Mix& m, double start, int note, double gain, double pan);
    static void lead(Mix& m, double start, double gate, int note, double gain);
    // A noise sweep rising until `end`, where it stops with a short fade.
    static void riser(Mix& m, double start, double end, double gain);

    static double frequency(int midiNote);
};

} // namespace content
