// A particle cloud whose particles sit on a sphere about the origin (or a
// given centre), each with its own azimuth and elevation and its own fixed
// angular steps, so that the cloud swirls.
#pragma once

#include "gfx/ParticleSystem.h"

struct OrbitRecord {
    double theta;     // azimuth, degrees
    double phi;       // elevation, degrees
    double thetaStep; // -0.2 or 0.25 per update
    double phiStep;   // -0.25 or 0.25 per update
};

class OrbitParticleSystem : public ParticleSystem {
public:
    OrbitParticleSystem();

    void release() override;
    // Makes the cloud as create does and gives every particle random angles
    // and steps: four draws of the runtime generator per particle.
    virtual void createOrbit(IDirect3DDevice8* device, int32_t count, double radius);
    virtual void setRadius(double radius);
    // Channels from 0.0 to 1.0, written into every particle's colour.
    virtual void setColor(double red, double green, double blue, double alpha);
    virtual void updateOrbitAround(double centreX, double centreY, double centreZ);
    virtual void updateOrbit();
    ~OrbitParticleSystem() override;

    OrbitRecord* orbits;
    double radius;

private:
    void advance(double centreX, double centreY, double centreZ);
};
