#include "tools/render_picture.h"

#include <fcntl.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/gl/gl_context_guard.h"
#include "platform/gl/headless_gl_context.h"
#include "platform/widgets/banner_painter.h"
#include "render/banner.h"
#include "render/frame_renderer.h"
#include "render/scene_compiler.h"
#include "scene/reader.h"

namespace {

constexpr int kMaxSide = 16384;

// Numbers on the command line are read the same way in every locale.
std::optional<double> ParseNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

template <std::size_t N>
std::optional<std::array<double, N>> ParseNumbers(std::string_view text) {
    std::array<double, N> values{};
    for (std::size_t i = 0; i < N; ++i) {
        const std::size_t comma = i + 1 < N ? text.find(',') : std::string_view::npos;
        if (i + 1 < N && comma == std::string_view::npos) {
            return std::nullopt;
        }
        const std::optional<double> value = ParseNumber(text.substr(0, comma));
        if (!value) {
            return std::nullopt;
        }
        values[i] = *value;
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
    }
    return values;
}

std::optional<int> ParseSide(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > kMaxSide) {
        return std::nullopt;
    }
    return value;
}

// Writes `bytes` to `path`; returns the reason when any step fails (a full disk may first show
// at close), nothing when all went well.
std::string WriteWholeFile(const std::string& path, const QByteArray& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return std::strerror(errno);
    }
    const char* data = bytes.constData();
    auto left = static_cast<std::size_t>(bytes.size());
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const std::string reason = std::strerror(errno);
            ::close(fd);
            return reason;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        return std::strerror(errno);
    }
    return {};
}

}  // namespace

std::string ParsePictureArgs(int argc, char** argv, PictureRequest& request) {
    ResetParams(request.params);
    bool haveOutput = false;
    bool haveInput = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--no-banner") {
            request.banner = false;
            continue;
        }
        const bool takesValue = arg == "-o" || arg == "--size" || arg == "--shift" ||
                                arg == "--stretch" || arg == "--angles" || arg == "--perspective";
        if (!takesValue) {
            if (arg.size() > 1 && arg.front() == '-') {
                return "unknown option " + std::string(arg);
            }
            if (haveInput) {
                return "more than one FILE given";
            }
            request.input = std::string(arg);
            haveInput = true;
            continue;
        }
        if (i + 1 >= argc) {
            return std::string(arg) + " needs a value";
        }
        const std::string_view value = argv[++i];
        const std::string bad = "bad value for " + std::string(arg) + ": " + std::string(value);
        if (arg == "-o") {
            if (value.empty()) {
                return bad;
            }
            request.output = std::string(value);
            haveOutput = true;
        } else if (arg == "--size") {
            const std::size_t x = value.find('x');
            const auto w = ParseSide(value.substr(0, x));
            const auto h =
                x == std::string_view::npos ? std::nullopt : ParseSide(value.substr(x + 1));
            if (!w || !h) {
                return bad;
            }
            request.width = *w;
            request.height = *h;
        } else if (arg == "--shift") {
            const auto v = ParseNumbers<2>(value);
            if (!v) {
                return bad;
            }
            request.params.m_dShiftX = (*v)[0];
            request.params.m_dShiftY = (*v)[1];
        } else if (arg == "--stretch") {
            const auto v = ParseNumbers<3>(value);
            if (!v) {
                return bad;
            }
            request.params.m_dStretchX = (*v)[0];
            request.params.m_dStretchY = (*v)[1];
            request.params.m_dStretchZ = (*v)[2];
        } else if (arg == "--angles") {
            const auto v = ParseNumbers<3>(value);
            if (!v) {
                return bad;
            }
            request.params.m_dAngleX = (*v)[0];
            request.params.m_dAngleY = (*v)[1];
            request.params.m_dAngleZ = (*v)[2];
        } else {
            const auto v = ParseNumber(value);
            if (!v) {
                return bad;
            }
            request.params.m_dPerspective = *v;
        }
    }
    if (!haveInput) {
        return "no FILE given";
    }
    if (!haveOutput) {
        return "no -o OUT.png given";
    }
    return {};
}

int RenderPicture(const PictureRequest& request) {
    const SceneReadResult read = ReadSceneFile(request.input);
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
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        std::cerr << "kavelo-render: cannot write " << request.output << ": PNG encoding failed\n";
        return kExitNotWritten;
    }
    const std::string failure = WriteWholeFile(request.output, png);
    if (!failure.empty()) {
        std::cerr << "kavelo-render: cannot write " << request.output << ": " << failure << "\n";
        return kExitNotWritten;
    }
    return read.diagnostic ? 1 : 0;
}
