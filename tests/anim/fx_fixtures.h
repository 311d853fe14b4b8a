// Effect test fixtures: particle definition files and parameter blocks, sprite files, a drawing
// target, and the log, all inside the test process's own folder.
#pragma once

#include <string>

#include "anim/fx.h"
#include "tests/engine/gr/draw_target.h"
#include "tests/engine/gr/gr_fixtures.h"

namespace fxtest {

// Long-lived, motionless, white, natural-size particles, none emitted: tests change what they
// look at.
ParticleParams quietParams();
// The 128 bytes of a definition file holding the parameters.
std::string particleBytes(const ParticleParams& p);
void writeParticleFile(const std::string& name, const ParticleParams& p);
// An opaque 24-bit sprite file of one colour.
void writeSolidSprite(const std::string& name, int width, int height, Rgb colour);
// Replaces Data/Fx/fx.ini and forgets every cached INI text.
void writeFxIni(const std::string& text);

// Materials by constructor order: the sprite's colour as it is, and the sprite tinted by the
// draw colour (a white sprite then shows the draw colour alone).
inline sMaterial copyMaterial() { return sMaterial(2, 1, 1, 30); }
inline sMaterial tintMaterial() { return sMaterial(4, 1, 1, 30); }

}  // namespace fxtest
