#pragma once

namespace content {

// Attack-decay-sustain-release amplitude envelope, evaluated in closed form. It starts at 0,
// rises linearly, falls exponentially towards the sustain level, and after the gate closes
// falls from wherever it is to exactly 0 over the release time, so notes never click.
class Envelope {
public:
    Envelope(double attack, double decay, double sustain, double release)
        : attack(attack > 1e-4 ? attack : 1e-4), decay(decay), sustain(sustain),
          release(release > 1e-3 ? release : 1e-3) {}

    // Level at time t (seconds since the note started) of a note held for gate seconds.
    double at(double t, double gate) const;
    // How long a note held for gate seconds sounds.
    double length(double gate) const { return gate + release; }

private:
    double held(double t) const;
    double attack;
    double decay;
    double sustain;
    double release;
};

} // namespace content
