// Pictures of the example scenes and of generated curves and weighted patches, held against the
// pictures committed in tests/data/pictures. Both the first compile (under the resize's matrices)
// and a recompile under the matrices a frame left, as after a Restart, are compared.
//
// KAVELO_WRITE_PICTURES=1 writes the pictures instead of comparing them.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <QImage>
#include <QString>

#include <cstdlib>
#include <string>
#include <utility>

#include "gl_test_support.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kLevels = 3;                // a channel may move this far and still count as equal
constexpr double kDifferentShare = 0.01;  // of the pixels that either picture covers

struct Case {
    const char* scene;  // under the source tree
    const char* name;   // of the pictures
    bool front;         // looked at straight on, not from the default angles
    double share = kDifferentShare;
};

const Case kCases[] = {
    {"examples/input.txt", "input", false},
    {"examples/teapot.txt", "teapot", false},
    {"examples/teapot.txt", "teapot-front", true},
    {"examples/weights.txt", "weights", false},
    // A square and a patch in one plane: which of them wins a pixel depends on the last bit of
    // its depth, and any change in how a patch point is computed moves that.
    {"examples/format-first.txt", "format-first", false, 0.03},
    {"examples/format-curve.txt", "format-curve", false},
    {"examples/format-surface.txt", "format-surface", false},
    {"examples/format-weights.txt", "format-weights", false},
    {"examples/format-polygon.txt", "format-polygon", false},
    {"examples/format-between.txt", "format-between", false},
    {"examples/format-capital.txt", "format-capital", false},
    {"examples/format-limits.txt", "format-limits", false},
    // A curve of weights from 0.1 to 10 that mostly lies far outside the view: GLU's tessellator
    // mode samples it twice as finely as its drawing mode did.
    {"examples/format-numbers.txt", "format-numbers", false, 0.1},
    {"examples/broken-brace.txt", "broken-brace", false},
    {"examples/broken-comma.txt", "broken-comma", false},
    {"examples/broken-cut.txt", "broken-cut", false},
    {"examples/broken-range.txt", "broken-range", false},
    {"tests/data/pictures/curves.txt", "curves", false},
    {"tests/data/pictures/curves.txt", "curves-front", true},
    {"tests/data/pictures/patches.txt", "patches", false},
    {"tests/data/pictures/patches.txt", "patches-front", true},
};

QImage ToImage(const kavelo_test::Picture& p) {
    return QImage(p.rgba.data(), p.width, p.height, p.width * 4, QImage::Format_RGBX8888)
        .convertToFormat(QImage::Format_RGB32);
}

// Pixels that differ by more than kLevels in some channel, and pixels that are not black in
// either picture.
struct Comparison {
    int different = 0;
    int covered = 0;
};

Comparison Compare(const QImage& golden, const QImage& now) {
    Comparison c;
    for (int y = 0; y < golden.height(); ++y) {
        for (int x = 0; x < golden.width(); ++x) {
            const QRgb a = golden.pixel(x, y);
            const QRgb b = now.pixel(x, y);
            c.covered += (a & 0xFFFFFF) != 0 || (b & 0xFFFFFF) != 0 ? 1 : 0;
            c.different += std::abs(qRed(a) - qRed(b)) > kLevels ||
                                   std::abs(qGreen(a) - qGreen(b)) > kLevels ||
                                   std::abs(qBlue(a) - qBlue(b)) > kLevels
                               ? 1
                               : 0;
        }
    }
    return c;
}

class GoldenPicture : public ::testing::TestWithParam<Case> {};

TEST_P(GoldenPicture, FirstCompileAndRecompileMatchTheCommittedPictures) {
    const Case& c = GetParam();
    auto gl = kavelo_test::MakeCurrentContext(kWidth, kHeight);
    ASSERT_NE(gl, nullptr);
    const SceneReadResult read = ReadSceneFile(std::string(KAVELO_SOURCE_DIR "/") + c.scene);
    ViewParams view;
    ResetParams(view);
    if (c.front) {
        view.m_dAngleX = view.m_dAngleY = view.m_dAngleZ = 0.0;
    }

    // The viewer's order: the resize, the first compile and frame, then a Restart's compile
    // under the matrices that frame left.
    ApplyResize(kWidth, kHeight);
    kavelo_test::Compile(read.scene);
    const QImage first = ToImage(kavelo_test::DrawFrame(*gl, view));
    kavelo_test::Compile(read.scene);
    const QImage again = ToImage(kavelo_test::DrawFrame(*gl, view));

    const std::string base = std::string(KAVELO_TEST_DATA_DIR "/pictures/") + c.name;
    const std::pair<const char*, const QImage*> pictures[] = {{"-first.png", &first},
                                                              {"-restart.png", &again}};
    for (const auto& [suffix, image] : pictures) {
        const QString path = QString::fromStdString(base + suffix);
        if (std::getenv("KAVELO_WRITE_PICTURES") != nullptr) {
            EXPECT_TRUE(image->save(path, "PNG")) << path.toStdString();
            continue;
        }
        const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(golden.size(), image->size()) << path.toStdString();
        const Comparison d = Compare(golden, *image);
        EXPECT_LE(d.different, c.share * d.covered)
            << path.toStdString() << ": " << d.different << " of " << d.covered
            << " covered pixels differ";
    }
}

INSTANTIATE_TEST_SUITE_P(Scenes, GoldenPicture, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 ch = ch == '-' ? '_' : ch;
                             }
                             return name;
                         });

}  // namespace
