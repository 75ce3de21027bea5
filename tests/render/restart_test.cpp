// Restarts of a large scene: each reads, compiles and draws it again, as the viewer does.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "gl_test_support.h"

using kavelo::scene::ReadSceneText;
using kavelo::scene::SceneReadResult;

namespace {

TEST(Restart, ManyRestartsOfAMegabyteSceneDrawTheSamePicture) {
    // The example scene repeated to 1 MB: about a thousand patches and two thousand curves.
    std::ifstream in(KAVELO_SOURCE_DIR "/examples/input.txt");
    std::stringstream one;
    one << in.rdbuf();
    std::string text;
    while (text.size() < (1u << 20)) {
        text += one.str();
    }

    const kavelo::test::HeadlessRenderer headless = kavelo::test::OpenRenderer(160, 120);
    ASSERT_NE(headless.gl, nullptr);
    ViewParams view;
    ResetParams(view);
    kavelo::test::Picture second;
    for (int restart = 0; restart < 30; ++restart) {
        const SceneReadResult read = ReadSceneText(text, "input.txt");
        headless.Compile(read.scene);
        const kavelo::test::Picture picture = headless.Draw(view);
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "restart " << restart;
        // The first compile samples under the resize's matrices, every later one under those
        // the previous frame left, which are the same each time.
        if (restart == 1) {
            second = picture;
            EXPECT_NE(kavelo::test::LitBox(second), kavelo::test::Box{});
        } else if (restart > 1) {
            ASSERT_EQ(picture.rgba, second.rgba) << "restart " << restart;
        }
    }
}

}  // namespace
