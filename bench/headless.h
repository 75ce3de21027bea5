// What every GL benchmark starts from: a headless context, left current, with a renderer sized to
// it, and a stopwatch.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/gl/headless_gl_context.h"
#include "render/frame_renderer.h"
#include "render/scene_compiler.h"

namespace kavelo::bench {

// The viewer's steps at one size: resize, compile, frame.
struct Renderer {
    int width = 0;
    int height = 0;

    void Resize(int w, int h) {
        width = w;
        height = h;
        kavelo::render::ApplyResize(w, h);
    }
    kavelo::render::SceneListStats Compile(kavelo::scene::SceneHeads heads,
                                           const kavelo::render::SamplingView& view) const {
        return kavelo::render::CompileSceneList(heads, view);
    }
    void DrawFrame(const ViewParams& params) const {
        kavelo::render::RenderSceneFrame(params, width, height);
    }
};

struct Headless {
    std::unique_ptr<kavelo::platform::gl::HeadlessGLContext> gl;
    Renderer renderer;
};

// A context of `width` x `height`, made current, and its renderer sized to it, as the viewer
// compiles under the resize's matrices. Without a context the benchmark `program` cannot run:
// it says so and exits.
inline Headless MakeHeadless(int width, int height, const char* program) {
    std::string error;
    Headless h{kavelo::platform::gl::HeadlessGLContext::Create(width, height, &error), {}};
    if (!h.gl || !h.gl->MakeCurrent()) {
        std::fprintf(stderr, "%s: no GL context: %s\n", program, error.c_str());
        std::exit(3);
    }
    h.renderer.Resize(width, height);
    return h;
}

inline double Seconds(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

}  // namespace kavelo::bench
