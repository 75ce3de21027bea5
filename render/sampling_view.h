// Where GLU samples the curves and surfaces: the matrices and viewport that carry a scene point to
// window pixels, or a length in scene units. The caller that knows which applies picks it.
#pragma once

namespace kavelo::render {

struct SamplingView {
    float modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // column-major
    float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    int viewport[4] = {0, 0, 0, 0};
    // Above 0: GLU's object-space path length, each tessellated edge at most this long in scene
    // units, whatever a window would show; the matrices then play no part.
    double sceneTolerance = 0.0;
};

// What a resize to this size leaves: identity matrices and the viewport (0, 0, width, height),
// under which the first compile after opening samples. Sizes of 0 or less give an empty viewport.
SamplingView ResizeSampling(int width, int height);

// Edges at most `tolerance` long in scene units.
SamplingView SceneUnitSampling(double tolerance);

// The matrices and viewport the current context holds, as the latest frame left them.
SamplingView CurrentSampling();

}  // namespace kavelo::render
