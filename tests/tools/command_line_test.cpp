// kavelo-render's command line, read in-process.
#include "tools/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using kavelo::tools::HelpText;
using kavelo::tools::ImageFormat;
using kavelo::tools::ParseCommandLine;
using kavelo::tools::ToolCommand;
using kavelo::tools::ToolMode;

namespace {

// Parses `args` (split at spaces) as the tool's arguments; returns the problem, empty if none.
std::string Parse(const std::string& args, ToolCommand& command) {
    std::vector<std::string> words = {"kavelo-render"};
    std::istringstream in(args);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    return ParseCommandLine(static_cast<int>(words.size()), argv.data(), command);
}

TEST(CommandLine, DefaultsAreTheViewersStartValues) {
    ToolCommand c;
    ASSERT_EQ(Parse("scene.txt -o out.png", c), "");
    ViewParams defaults;
    ResetParams(defaults);
    EXPECT_EQ(c.mode, ToolMode::kPicture);
    EXPECT_EQ(c.picture.input, "scene.txt");
    EXPECT_EQ(c.picture.output, "out.png");
    EXPECT_EQ(c.picture.format, ImageFormat::kPng);
    EXPECT_EQ(c.picture.width, 800);
    EXPECT_EQ(c.picture.height, 600);
    EXPECT_TRUE(c.picture.banner);
    EXPECT_EQ(c.picture.params.m_dAngleX, defaults.m_dAngleX);
    EXPECT_EQ(c.picture.params.m_dStretchZ, defaults.m_dStretchZ);
}

TEST(CommandLine, LongOptionsTakeTheirValueAfterAnEqualsSignOrAsTheNextWord) {
    ToolCommand c;
    ASSERT_EQ(Parse("--size=200x100 --output=o.png --shift 0.5,-0.25 --stretch=1,1.5,+2 "
                    "--angles=10,20,30 --perspective=0.2 --no-banner f",
                    c),
              "");
    EXPECT_EQ(c.picture.output, "o.png");
    EXPECT_EQ(c.picture.width, 200);
    EXPECT_EQ(c.picture.height, 100);
    const ViewParams& p = c.picture.params;
    EXPECT_EQ(p.m_dShiftX, 0.5);
    EXPECT_EQ(p.m_dShiftY, -0.25);
    EXPECT_EQ(p.m_dStretchX, 1.0);
    EXPECT_EQ(p.m_dStretchY, 1.5);
    EXPECT_EQ(p.m_dStretchZ, 2.0);
    EXPECT_EQ(p.m_dAngleX, 10.0);
    EXPECT_EQ(p.m_dAngleY, 20.0);
    EXPECT_EQ(p.m_dAngleZ, 30.0);
    EXPECT_EQ(p.m_dPerspective, 0.2);
    EXPECT_FALSE(c.picture.banner);
}

TEST(CommandLine, FormatComesFromTheOutputsExtensionAndDashIsAStream) {
    const struct {
        const char* args;
        const char* input;
        const char* output;
        ImageFormat format;
    } cases[] = {
        {"f -o a.jpg", "f", "a.jpg", ImageFormat::kJpeg},
        {"f -o a.b/c.JPEG", "f", "a.b/c.JPEG", ImageFormat::kJpeg},
        {"f -o a.bmp", "f", "a.bmp", ImageFormat::kBmp},
        {"f -o a.ppm", "f", "a.ppm", ImageFormat::kPpm},
        {"- -o -", "-", "-", ImageFormat::kPng},
        {"f -o dir.jpg/picture", "f", "dir.jpg/picture", ImageFormat::kPng},
        {"-o a.png -- -f", "-f", "a.png", ImageFormat::kPng},  // "--" ends the options
    };
    for (const auto& t : cases) {
        ToolCommand c;
        ASSERT_EQ(Parse(t.args, c), "") << t.args;
        EXPECT_EQ(c.picture.input, t.input) << t.args;
        EXPECT_EQ(c.picture.output, t.output) << t.args;
        EXPECT_EQ(c.picture.format, t.format) << t.args;
    }
}

TEST(CommandLine, ModesFromDumpHelpAndVersion) {
    ToolCommand c;
    ASSERT_EQ(Parse("--dump -", c), "");
    EXPECT_EQ(c.mode, ToolMode::kDump);
    EXPECT_EQ(c.picture.input, "-");
    ASSERT_EQ(Parse("f --help --bogus", c), "");
    EXPECT_EQ(c.mode, ToolMode::kHelp);
    ASSERT_EQ(Parse("-V", c), "");
    EXPECT_EQ(c.mode, ToolMode::kVersion);
}

TEST(CommandLine, WrongCommandLinesAreNamed) {
    const struct {
        const char* args;
        const char* problem;
    } cases[] = {
        {"", "no FILE given"},
        {"f", "no -o OUT given"},
        {"a b -o x.png", "more than one FILE given: 'a' and 'b'"},
        {"f -o x.png --size=2x2 --size=3x3", "--size given more than once"},
        {"f -o x.png -o y.png", "--output given more than once"},
        {"f -o x.gif",
         "cannot tell the format of 'x.gif': name it .png, .jpg, .jpeg, .bmp or .ppm for a "
         "picture, or .glb, .gltf, .obj, .ply or .stl for a mesh file"},
        {"f -o x.png --tolerance=0.1", "--tolerance is for mesh files, not for pictures"},
        {"f -o x.glb --tolerance=0", "--tolerance must be a number above 0: '0'"},
        {"f -o", "-o needs a value"},
        {"f -o x.png --size", "--size needs a value"},
        {"f -o x.png --no-banner=yes", "--no-banner takes no value"},
        {"f -o x.png -x", "unknown option -x"},
        {"f -o x.png --colour=red", "unknown or ambiguous option --colour=red"},
        {"f -o x.png --s=1", "unknown or ambiguous option --s=1"},
        {"--dump f -o x.png", "--output is for pictures, not for --dump"},
        {"--dump f --no-banner", "--no-banner is for pictures, not for --dump"},
        {"f -o x.png --size=0x10", "--size must be WxH, each 1 to 16384: '0x10'"},
        {"f -o x.png --size=16385x10", "--size must be WxH, each 1 to 16384: '16385x10'"},
        {"f -o x.png --size=10", "--size must be WxH, each 1 to 16384: '10'"},
        {"f -o x.png --frames=0", "--frames must be a whole number from 1 to 100000: '0'"},
        {"f -o x.png --frames=2.5", "--frames must be a whole number from 1 to 100000: '2.5'"},
        {"--dump --stats f", "--stats is for pictures, not for --dump"},
        {"--check --dump f", "--dump and --check cannot be combined"},
        {"f -o x.png --size=10x10x", "--size must be WxH, each 1 to 16384: '10x10x'"},
        {"f -o x.png --shift=1", "bad value for --shift: '1'"},
        {"f -o x.png --shift=1,2,3", "bad value for --shift: '1,2,3'"},
        {"f -o x.png --stretch=1,x,1", "bad value for --stretch: '1,x,1'"},
        {"f -o x.png --angles=1,2,", "bad value for --angles: '1,2,'"},
        {"f -o x.png --perspective=0,1", "bad value for --perspective: '0,1'"},
        {"f -o x.png --perspective=nan", "bad value for --perspective: 'nan'"},
        {"f -o x.png --perspective=+-1", "bad value for --perspective: '+-1'"},
    };
    for (const auto& t : cases) {
        ToolCommand c;
        EXPECT_EQ(Parse(t.args, c), t.problem) << t.args;
    }
}

TEST(CommandLine, HelpListsEveryOptionWithItsDefaultAndTheExitStatuses) {
    const std::string help = HelpText();
    for (const char* entry : {"-o, --output=OUT",
                              "--size=WxH",
                              "(default 800x600)",
                              "--shift=X,Y",
                              "(default 0,0)",
                              "--stretch=X,Y,Z",
                              "(default 0.5,0.5,0.5)",
                              "--angles=X,Y,Z",
                              "(default 230,5,57)",
                              "--perspective=P",
                              "(default 0)",
                              "--no-banner",
                              "--dump",
                              "-h, --help",
                              "-V, --version",
                              "\n  0  ",
                              "\n  1  ",
                              "\n  2  ",
                              "\n  3  ",
                              "\n  4  "}) {
        EXPECT_NE(help.find(entry), std::string::npos) << entry;
    }
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 80u) << line;
    }
}

}  // namespace
