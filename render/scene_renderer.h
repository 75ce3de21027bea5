// The steps that draw the scene into a context, in the viewer's order, and the client size they
// draw at: size, compile, frame, and putting back what a painter over the frame leaves.
#pragma once

#include <optional>

#include "navigation/view_params.h"
#include "render/scene_compiler.h"
#include "scene/scene.h"

namespace kavelo::render {

class SceneRenderer {
  public:
    // Stores the client size, whatever it is. For a positive size it also resets the projection
    // and sets the viewport, which needs the context current; other sizes make no GL call.
    void Resize(int width, int height);

    // Compiles the lists into SCENE_LIST, sampled as `view` says: the viewer's first compile under
    // the resize's matrices (ResizeSampling at the stored size), a Restart's under those the
    // latest frame left (CurrentSampling). Null heads count as empty lists. The budget is the
    // context's renderer's (CurrentBudget), or the one set, lowered to the memory left.
    SceneListStats Compile(kavelo::scene::SceneHeads heads, const SamplingView& view,
                           CompileProgress* progress = nullptr) const;

    // One frame of SCENE_LIST at the stored size, into the current context.
    void DrawFrame(const ViewParams& params) const;

    // The budget of triangles and segments instead of the renderer's; kNoBudget for none.
    void SetBudget(std::optional<std::size_t> budget) { m_budget = budget; }

    // Device pixels per logical pixel: lines are drawn this many device pixels wide, so that a
    // high-density screen shows them as thick as a plain one.
    void SetPixelRatio(double ratio) { m_dPixelRatio = ratio; }

    // Puts back the state a painter drawing over the frame changes and the frame does not set
    // itself: program, buffers, texture, blending, scissor, stencil and the write masks.
    void ResetAfterPainter() const;

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

  private:
    int m_nWidth = 0;  // client size in device pixels, from the latest resize
    int m_nHeight = 0;
    double m_dPixelRatio = 1.0;
    std::optional<std::size_t> m_budget;
};

}  // namespace kavelo::render
