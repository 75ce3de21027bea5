#include "tools/render_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/banner_painter.h"
#include "platform/gl_context_guard.h"
#include "platform/headless_gl_context.h"
#include "render/frame_renderer.h"
#include "render/scene_compiler.h"
#include "tools/scene_input.h"

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

// Writes `image` to the request's output; an empty result means success, otherwise why not.
std::string WriteImage(const QImage& image, const PictureRequest& request) {
    if (request.output != kStandardStream) {
        QImageWriter writer(QString::fromStdString(request.output), QtFormat(request.format));
        return writer.write(image) ? std::string() : writer.errorString().toStdString();
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, QtFormat(request.format))) {
        return "the image cannot be encoded";
    }
    if (std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout) !=
            static_cast<std::size_t>(bytes.size()) ||
        std::fflush(stdout) != 0) {
        return std::strerror(errno);
    }
    return {};
}

}  // namespace

int RenderPicture(const PictureRequest& request) {
    const SceneReadResult read = ReadSceneInput(request.input);
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
        ApplyResize(request.width, request.height);
        CompileSceneList(read.scene.polygons, read.scene.curves, read.scene.surfaces);
        RenderSceneFrame(request.params, request.width, request.height);
        pixels = gl->ReadPixels();
    }

    // The frame's alpha is whatever the clear and lighting left; a window shows no alpha.
    QImage image = QImage(pixels.data(), request.width, request.height, request.width * 4,
                          QImage::Format_RGBX8888)
                       .convertToFormat(QImage::Format_RGB32);
    if (request.banner) {
        // Text needs a GUI application; this one must not look for a display.
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        }
        static char programName[] = "kavelo-render";
        static char* qtArgv[] = {programName, nullptr};
        static int qtArgc = 1;
        QGuiApplication app(qtArgc, qtArgv);
        QPainter painter(&image);
        DrawBanner(painter, request.width);
    }
    if (const std::string problem = WriteImage(image, request); !problem.empty()) {
        std::cerr << "kavelo-render: cannot write " << request.output << ": " << problem << "\n";
        return kExitNotWritten;
    }
    return read.diagnostic ? 1 : 0;
}
