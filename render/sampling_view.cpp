#include "render/sampling_view.h"

#include <GL/gl.h>

#include <algorithm>

namespace kavelo::render {

SamplingView ResizeSampling(int width, int height) {
    SamplingView view;
    view.viewport[2] = std::max(width, 0);
    view.viewport[3] = std::max(height, 0);
    return view;
}

SamplingView SceneUnitSampling(double tolerance) {
    SamplingView view;
    view.sceneTolerance = tolerance;
    return view;
}

SamplingView CurrentSampling() {
    SamplingView view;
    glGetFloatv(GL_MODELVIEW_MATRIX, view.modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, view.projection);
    glGetIntegerv(GL_VIEWPORT, view.viewport);
    return view;
}

}  // namespace kavelo::render
