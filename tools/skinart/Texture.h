#pragma once

#include <cstdint>

// Deterministic noise for the materials of the skin artwork (wood grain,
// brushed metal): the same arguments always give the same values, so every
// run of the generator writes the same bytes.
namespace skinart {

// Smooth value noise in 0..1 over a unit lattice; seed picks the lattice.
double ValueNoise(double x, double y, std::uint32_t seed);
// Four octaves of value noise, each twice as fine and half as strong; 0..1.
double FractalNoise(double x, double y, std::uint32_t seed);

// Wood seen along its grain: along runs with the fibres, across crosses the
// growth rings (in pixels). 0 at the dark late wood, 1 in the light early wood.
double WoodGrain(double along, double across, std::uint32_t seed);

}  // namespace skinart
