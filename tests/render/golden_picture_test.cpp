// Pictures of the example scenes and of generated curves and weighted patches, held against the
// pictures committed in tests/data/pictures. Both the first compile (under the resize's matrices)
// and a recompile under the matrices a frame left, as after a Restart, are compared.
//
// KAVELO_WRITE_PICTURES=1 writes the pictures instead of comparing them.
#include <gtest/gtest.h>
#include <QImage>
#include <QString>

#include <cstdlib>
#include <ostream>
#include <string>
#include <utility>

#include "gl_test_support.h"
#include "golden_pictures.h"

using kavelo::scene::ReadSceneFile;
using kavelo::scene::SceneReadResult;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Case {
    const char* scene;  // under the source tree
    const char* name;   // of the pictures
    bool front;         // looked at straight on, not from the default angles
    double share = kavelo::test::kGoldenShare;
};

// ctest lists each case by the name of its pictures rather than by its bytes.
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

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

class GoldenPicture : public ::testing::TestWithParam<Case> {};

TEST_P(GoldenPicture, FirstCompileAndRecompileMatchTheCommittedPictures) {
    const Case& c = GetParam();
    const kavelo::test::HeadlessRenderer headless = kavelo::test::OpenRenderer(kWidth, kHeight);
    ASSERT_NE(headless.gl, nullptr);
    const SceneReadResult read = ReadSceneFile(std::string(KAVELO_SOURCE_DIR "/") + c.scene);
    ViewParams view;
    ResetParams(view);
    if (c.front) {
        view.m_dAngleX = view.m_dAngleY = view.m_dAngleZ = 0.0;
    }

    // The viewer's order: the resize (made on opening), the first compile and frame, then a
    // Restart's compile under the matrices that frame left.
    headless.Compile(read.scene);
    const QImage first = kavelo::test::ToImage(headless.Draw(view));
    headless.Compile(read.scene);
    const QImage again = kavelo::test::ToImage(headless.Draw(view));

    const std::pair<const char*, const QImage*> pictures[] = {{"-first", &first},
                                                              {"-restart", &again}};
    for (const auto& [suffix, image] : pictures) {
        const std::string name = c.name + std::string(suffix);
        if (std::getenv("KAVELO_WRITE_PICTURES") != nullptr) {
            const std::string path = KAVELO_TEST_DATA_DIR "/pictures/" + name + ".png";
            EXPECT_TRUE(image->save(QString::fromStdString(path), "PNG")) << path;
            continue;
        }
        EXPECT_TRUE(kavelo::test::MatchesGolden(*image, name, c.share));
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
