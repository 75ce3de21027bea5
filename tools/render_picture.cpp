#include "tools/render_picture.h"

#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <GL/gl.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/gl/gl_context_guard.h"
#include "platform/gl/headless_gl_context.h"
#include "platform/widgets/banner_painter.h"
#include "platform/widgets/quiet_toolkit.h"
#include "render/frame_renderer.h"
#include "render/primitive_budget.h"
#include "render/scene_compiler.h"
#include "scene/driver_reserve.h"
#include "tools/output_file.h"
#include "tools/scene_input.h"
#include "tools/stats_line.h"
#include "tools/terminal_progress.h"

using kavelo::platform::gl::ContextGuard;
using kavelo::platform::gl::HeadlessGLContext;
using kavelo::platform::widgets::DrawBanner;
using kavelo::platform::widgets::QuietenToolkit;
using kavelo::render::ApplyResize;
using kavelo::render::CompileDiagnostic;
using kavelo::render::CompileSceneList;
using kavelo::render::CurrentBudget;
using kavelo::render::kNoBudget;
using kavelo::render::PacedProgress;
using kavelo::render::PrimitiveBudget;
using kavelo::render::RenderSceneFrame;
using kavelo::render::ResizeSampling;
using kavelo::render::SceneListStats;
using kavelo::scene::ReadFault;
using kavelo::scene::SceneReadResult;

namespace kavelo::tools {

namespace {

const char* QtFormat(ImageFormat format) {
    switch (format) {
        case ImageFormat::kJpeg:
            return "JPEG";
        case ImageFormat::kBmp:
            return "BMP";
        case ImageFormat::kPpm:
            return "PPM";
        case ImageFormat::kPng:
            break;
    }
    return "PNG";
}

// Writes `image` to the request's output in its format; an empty result means success,
// otherwise why not.
std::string WriteImage(const QImage& image, const PictureRequest& request) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, QtFormat(request.format))) {
        return "the image cannot be encoded";
    }
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return WriteOutput(request.output, view);
}

// Compiles the scene in the current context for the request's size and draws its frames; false
// when not even its coarsest list fits in memory, and nothing is drawn.
bool CompileAndDraw(const PictureRequest& request, const SceneReadResult& read, double readMs) {
    // The viewer's order: sized first, so that GLU tessellates for this viewport.
    ApplyResize(request.width, request.height);
    std::optional<std::size_t> asked;
    if (request.budget) {
        asked = *request.budget == 0 ? kNoBudget : *request.budget;
    }
    const PrimitiveBudget budget = CurrentBudget(asked);
    const auto compileStart = std::chrono::steady_clock::now();
    PacedProgress progress(ShowOnTerminal);
    const SceneListStats drawn = CompileSceneList(
        read.scene, ResizeSampling(request.width, request.height),
        isatty(STDERR_FILENO) != 0 ? &progress : nullptr, budget.budget, budget.room);
    EndOnTerminal(progress);
    if (drawn.notEnoughMemory) {
        std::cerr << "kavelo-render: " << CompileDiagnostic(drawn) << "\n";
        return false;
    }
    glFinish();
    const double compileMs = MillisecondsSince(compileStart);
    std::vector<double> frameMs;
    for (int i = 0; i < request.frames; ++i) {
        const auto frameStart = std::chrono::steady_clock::now();
        RenderSceneFrame(request.params, request.width, request.height, request.ratio);
        glFinish();
        frameMs.push_back(MillisecondsSince(frameStart));
    }
    if (const std::string diagnostic = CompileDiagnostic(drawn); !diagnostic.empty()) {
        std::cerr << "kavelo-render: " << diagnostic << "\n";
    }
    if (request.stats) {
        std::cerr << StatsLine(readMs, compileMs, std::move(frameMs), drawn.vertices,
                               drawn.triangles)
                  << BudgetWords(drawn.budget, drawn.budgetApplied) << "\n";
    }
    return true;
}

// What the driver does not say when it fails for want of memory.
std::string MemoryShortage() {
    const std::optional<std::size_t> left = kavelo::scene::MebibytesShortOfContext();
    return left ? "; not enough memory for one: " + std::to_string(*left) + " MiB left" : "";
}

// Compiles the scene for the request's size and draws its frames; returns the pixels, bottom row
// first, or an exit status through `status`.
std::vector<std::uint8_t> DrawScene(const PictureRequest& request, const SceneReadResult& read,
                                    double readMs, int& status) {
    std::string error;
    const std::unique_ptr<HeadlessGLContext> gl =
        HeadlessGLContext::Create(request.width, request.height, &error);
    if (!gl) {
        std::cerr << "kavelo-render: no GL context: " << error << MemoryShortage() << "\n";
        status = kExitNoContext;
        return {};
    }
    ContextGuard guard(*gl);
    if (!guard.IsCurrent()) {
        std::cerr << "kavelo-render: no GL context: it cannot be made current\n";
        status = kExitNoContext;
        return {};
    }
    if (!CompileAndDraw(request, read, readMs)) {
        status = kExitNotWritten;
        return {};
    }
    return gl->ReadPixels();
}

// Text needs a GUI application, but never a window system: whatever platform the environment
// names (one that cannot start would abort the program), this one uses the offscreen platform,
// which draws the same text without a display.
void DrawBannerOver(QImage& image, int width) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static char programName[] = "kavelo-render";
    static char* qtArgv[] = {programName, nullptr};
    static int qtArgc = 1;
    QGuiApplication app(qtArgc, qtArgv);
    QPainter painter(&image);
    DrawBanner(painter, width);
}

// The picture drawn, with its banner; a null image when memory runs out on the way.
QImage MakeImage(const PictureRequest& request, const SceneReadResult& read, double readMs,
                 int& status) {
    std::vector<std::uint8_t> pixels = DrawScene(request, read, readMs, status);
    if (status != 0) {
        return {};
    }
    // The frame's alpha is whatever the clear and lighting left; a window shows no alpha.
    QImage image = QImage(pixels.data(), request.width, request.height, request.width * 4,
                          QImage::Format_RGBX8888)
                       .convertToFormat(QImage::Format_RGB32);
    if (request.banner && !image.isNull()) {
        image.setDevicePixelRatio(request.ratio);
        DrawBannerOver(image, request.width);
        image.setDevicePixelRatio(1.0);
    }
    return image;
}

}  // namespace

int RenderPicture(const PictureRequest& asked) {
    // From here on the sizes are the picture's own, in device pixels.
    PictureRequest request = asked;
    request.width = static_cast<int>(std::lround(asked.width * asked.ratio));
    request.height = static_cast<int>(std::lround(asked.height * asked.ratio));
    QuietenToolkit();
    const auto [read, readMs] = ReadAndReport(request.input);
    if (read.fault == ReadFault::kNotOpened) {
        return kExitReadFault;  // nothing to draw: OUT stays as it was
    }
    int status = 0;
    std::string problem;
    bool tooLarge = false;
    try {
        const QImage image = MakeImage(request, read, readMs, status);
        tooLarge = status == 0 && image.isNull();
        if (status == 0 && !tooLarge) {
            problem = WriteImage(image, request);
        }
    } catch (const std::bad_alloc&) {
        tooLarge = true;
    }
    if (status != 0) {
        return status;
    }
    if (tooLarge) {
        std::cerr << "kavelo-render: a picture of " << request.width << "x" << request.height
                  << " pixels does not fit in memory\n";
        return kExitNotWritten;
    }
    return WrittenStatus(request.output, problem, read);
}

}  // namespace kavelo::tools
