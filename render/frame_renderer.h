// One frame of the scene: fixed lighting and material, both matrices from the view parameters,
// and one replay of the scene list.
#pragma once

#include <array>

#include "navigation/view_params.h"

namespace kavelo::render {

// The colour the scene is drawn in: red, green, blue from 0 to 1.
inline constexpr std::array<double, 3> kDrawColour = {1.0, 0.14, 0.6667};

// Fetches the pending GL error, which clears it, and drops it. The label only marks the place.
void GlErrorCheckpoint(const char* label);

// Draws a frame of SCENE_LIST into the current context, the viewport (0, 0, width, height) in
// device pixels. Builds every matrix from nothing, so nothing of an earlier frame survives. Lines
// are `pixelRatio` device pixels wide, so that a high-density screen shows them as thick as a
// plain one.
void RenderSceneFrame(const ViewParams& p, int width, int height, double pixelRatio = 1.0);

// Puts back the state a painter drawing over the frame changes and the frame does not set
// itself: program, buffers, texture, blending, scissor, stencil and the write masks.
void ResetAfterPainter();

// The GL part of a resize to a positive size: projection mode and identity, and the viewport.
// A width or height of 0 or less makes no GL call.
void ApplyResize(int width, int height);

// Identity but for the bottom row (p, p, p, 1): column-major, p at elements 3, 7 and 11.
std::array<double, 16> ProjectionMatrix(double perspective);

// A translation by (x, y, 0): column-major, x at element 12 and y at 13.
std::array<double, 16> ShiftMatrix(double x, double y);

}  // namespace kavelo::render
