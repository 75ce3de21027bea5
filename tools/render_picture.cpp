#include "tools/render_picture.h"

#include <fcntl.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <GL/gl.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl/gl_context_guard.h"
#include "platform/gl/headless_gl_context.h"
#include "platform/widgets/banner_painter.h"
#include "render/banner.h"
#include "render/scene_renderer.h"
#include "tools/scene_input.h"
#include "tools/stats_line.h"

using kavelo::platform::gl::ContextGuard;
using kavelo::platform::gl::HeadlessGLContext;
using kavelo::platform::widgets::DrawBanner;
using kavelo::render::CompileDiagnostic;
using kavelo::render::kBannerBandHeight;
using kavelo::render::kBannerColourB;
using kavelo::render::kBannerColourG;
using kavelo::render::kBannerColourR;
using kavelo::render::kBannerText;
using kavelo::render::kPrimitiveBudget;
using kavelo::render::PacedProgress;
using kavelo::render::SceneListStats;
using kavelo::render::SceneRenderer;
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

// Writes all of `bytes` to `fd`; returns the reason when a write fails.
std::string WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    auto left = static_cast<std::size_t>(bytes.size());
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::strerror(errno);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return {};
}

// Writes `bytes` to the file at `path`; a full disk may first show at close.
std::string WriteWholeFile(const std::string& path, const QByteArray& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return std::strerror(errno);
    }
    const std::string failure = WriteAll(fd, bytes);
    if (::close(fd) != 0 && failure.empty()) {
        return std::strerror(errno);
    }
    return failure;
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
    if (request.output == kStandardStream) {
        return WriteAll(STDOUT_FILENO, bytes);
    }
    return WriteWholeFile(request.output, bytes);
}

double MillisecondsSince(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from)
        .count();
}

}  // namespace

int RenderPicture(const PictureRequest& request) {
    const auto readStart = std::chrono::steady_clock::now();
    const SceneReadResult read = ReadSceneInput(request.input);
    const double readMs = MillisecondsSince(readStart);
    if (read.diagnostic) {
        std::cerr << *read.diagnostic << "\n";
    }

    std::string error;
    const std::unique_ptr<HeadlessGLContext> gl =
        HeadlessGLContext::Create(request.width, request.height, &error);
    if (!gl) {
        std::cerr << "kavelo-render: no GL context: " << error << "\n";
        return kExitNoContext;
    }
    std::vector<std::uint8_t> pixels;
    {
        ContextGuard guard(*gl);
        if (!guard.IsCurrent()) {
            std::cerr << "kavelo-render: no GL context: it cannot be made current\n";
            return kExitNoContext;
        }
        // The viewer's order: sized first, so that GLU tessellates for this viewport.
        SceneRenderer renderer;
        renderer.Resize(request.width, request.height);
        const auto compileStart = std::chrono::steady_clock::now();
        // Long work tells how far it has come, on a terminal only, over one line it then clears.
        PacedProgress progress(
            [](const std::string& text) { std::cerr << "\r" << text << std::flush; });
        const SceneListStats drawn =
            renderer.Compile(read.scene.polygons, read.scene.curves, read.scene.surfaces,
                             isatty(STDERR_FILENO) != 0 ? &progress : nullptr);
        if (progress.Shown()) {
            std::cerr << "\r\033[K" << std::flush;
        }
        glFinish();
        const double compileMs = MillisecondsSince(compileStart);
        std::vector<double> frameMs;
        for (int i = 0; i < request.frames; ++i) {
            const auto frameStart = std::chrono::steady_clock::now();
            renderer.DrawFrame(request.params);
            glFinish();
            frameMs.push_back(MillisecondsSince(frameStart));
        }
        if (const std::string diagnostic = CompileDiagnostic(drawn); !diagnostic.empty()) {
            std::cerr << "kavelo-render: " << diagnostic << "\n";
        }
        if (request.stats) {
            // The budget's word comes last, and only when it made the list coarser.
            std::cerr << StatsLine(readMs, compileMs, std::move(frameMs), drawn.vertices,
                                   drawn.triangles)
                      << (drawn.budgetApplied ? " budget=" + std::to_string(kPrimitiveBudget) : "")
                      << "\n";
        }
        pixels = gl->ReadPixels();
    }

    // The frame's alpha is whatever the clear and lighting left; a window shows no alpha.
    QImage image = QImage(pixels.data(), request.width, request.height, request.width * 4,
                          QImage::Format_RGBX8888)
                       .convertToFormat(QImage::Format_RGB32);
    if (request.banner) {
        // Text needs a GUI application, but never a window system: whatever platform the
        // environment names (one that cannot start would abort the program), this one uses the
        // offscreen platform, which draws the same text without a display.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static char programName[] = "kavelo-render";
        static char* qtArgv[] = {programName, nullptr};
        static int qtArgc = 1;
        QGuiApplication app(qtArgc, qtArgv);
        QPainter painter(&image);
        DrawBanner(painter, request.width,
                   {kBannerText, QColor(kBannerColourR, kBannerColourG, kBannerColourB),
                    kBannerBandHeight});
    }
    if (const std::string problem = WriteImage(image, request); !problem.empty()) {
        const std::string target =
            request.output == kStandardStream ? "to standard output" : request.output;
        std::cerr << "kavelo-render: cannot write " << target << ": " << problem << "\n";
        return kExitNotWritten;
    }
    return read.diagnostic ? kExitReadFault : 0;
}

}  // namespace kavelo::tools
