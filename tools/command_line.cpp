#include "tools/command_line.h"

#include <getopt.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "mesh/mesh_export.h"
#include "scene/dump.h"
#include "shell/resources/resources.h"

using kavelo::mesh::MeshFormat;
using kavelo::mesh::MeshFormatOf;
using kavelo::resources::Version;
using kavelo::scene::FormatShortest;

namespace kavelo::tools {

namespace {

constexpr int kMaxSide = 16384;
constexpr int kMaxFrames = 100000;
constexpr std::size_t kMaxBudget = 1'000'000'000'000;

// Numbers on the command line are read the same way in every locale.
std::optional<double> ParseNumber(std::string_view text) {
    // from_chars takes no "+" but a "-": one sign only, so "+-1" stays bad.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') {
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

// N numbers separated by commas, into the doubles `targets` points at.
template <std::size_t N>
bool ParseNumbers(std::string_view text, const std::array<double*, N>& targets) {
    std::array<double, N> values{};
    for (std::size_t i = 0; i < N; ++i) {
        const bool last = i + 1 == N;
        const std::size_t comma = last ? std::string_view::npos : text.find(',');
        if (!last && comma == std::string_view::npos) {
            return false;
        }
        const std::optional<double> value = ParseNumber(text.substr(0, comma));
        if (!value) {
            return false;
        }
        values[i] = *value;
        text.remove_prefix(last ? text.size() : comma + 1);
    }
    for (std::size_t i = 0; i < N; ++i) {
        *targets[i] = values[i];
    }
    return true;
}

// A whole number from 1 to `most`.
std::optional<int> ParseCount(std::string_view text, int most) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > most) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ParseSide(std::string_view text) {
    return ParseCount(text, kMaxSide);
}

std::string FormatNumbers(std::initializer_list<double> values) {
    std::string text;
    for (const double value : values) {
        text += (text.empty() ? "" : ",") + FormatShortest(value);
    }
    return text;
}

// Each option applies its value to the command; an empty result means the value was good.
using Apply = std::string (*)(std::string_view value, ToolCommand& command);
// What an option stands at when it is not given, as --help shows it.
using Shown = std::string (*)(const ToolCommand& defaults);

struct OptionSpec {
    const char* name;
    char shortName;     // 0: none
    const char* value;  // the value's placeholder; nullptr: the option takes none
    bool pictureOnly;   // means something only when a picture is drawn
    const char* help;   // lines after the first are indented under it
    Apply apply;
    Shown shown;  // nullptr: no default worth showing
};

std::string Bad() {
    return "bad value";
}

constexpr OptionSpec kOptions[] = {
    {"output", 'o', "OUT", true,
     "write the picture to OUT, in the format its extension\n"
     "names (.png, .jpg, .jpeg, .bmp, .ppm), PNG when it has\n"
     "none; or the tessellated scene as a mesh file (.glb,\n"
     ".gltf, .obj, .ply, .stl); - writes PNG to standard\n"
     "output, or binary glTF when a tolerance is given",
     [](std::string_view value, ToolCommand& c) {
         c.picture.output = std::string(value);
         return value.empty() ? Bad() : std::string();
     },
     nullptr},
    {"size", 0, "WxH", true, "width and height of the picture in pixels, 1 to 16384",
     [](std::string_view value, ToolCommand& c) {
         const std::size_t x = value.find('x');
         const auto w = ParseSide(value.substr(0, x));
         const auto h = x == std::string_view::npos ? std::nullopt : ParseSide(value.substr(x + 1));
         if (!w || !h) {
             return "--size must be WxH, each 1 to " + std::to_string(kMaxSide);
         }
         c.picture.width = *w;
         c.picture.height = *h;
         return std::string();
     },
     [](const ToolCommand& c) {
         return std::to_string(c.picture.width) + "x" + std::to_string(c.picture.height);
     }},
    {"ratio", 0, "R", true,
     "draw as on a screen of R device pixels a pixel, 1 to\n"
     "4: the picture R times the size, lines and banner\n"
     "R times as large",
     [](std::string_view value, ToolCommand& c) {
         const auto v = ParseNumber(value);
         if (!v || !(*v >= 1.0 && *v <= 4.0)) {
             return std::string("--ratio must be a number from 1 to 4");
         }
         c.picture.ratio = *v;
         return std::string();
     },
     [](const ToolCommand& c) { return FormatShortest(c.picture.ratio); }},
    {"shift", 0, "X,Y", true, "move the scene, in half view widths and heights",
     [](std::string_view value, ToolCommand& c) {
         ViewParams& p = c.picture.params;
         return ParseNumbers<2>(value, {&p.m_dShiftX, &p.m_dShiftY}) ? std::string() : Bad();
     },
     [](const ToolCommand& c) {
         const ViewParams& p = c.picture.params;
         return FormatNumbers({p.m_dShiftX, p.m_dShiftY});
     }},
    {"stretch", 0, "X,Y,Z", true, "stretch the scene along its axes",
     [](std::string_view value, ToolCommand& c) {
         ViewParams& p = c.picture.params;
         return ParseNumbers<3>(value, {&p.m_dStretchX, &p.m_dStretchY, &p.m_dStretchZ})
                    ? std::string()
                    : Bad();
     },
     [](const ToolCommand& c) {
         const ViewParams& p = c.picture.params;
         return FormatNumbers({p.m_dStretchX, p.m_dStretchY, p.m_dStretchZ});
     }},
    {"angles", 0, "X,Y,Z", true, "turn the scene about its axes, in degrees",
     [](std::string_view value, ToolCommand& c) {
         ViewParams& p = c.picture.params;
         return ParseNumbers<3>(value, {&p.m_dAngleX, &p.m_dAngleY, &p.m_dAngleZ}) ? std::string()
                                                                                   : Bad();
     },
     [](const ToolCommand& c) {
         const ViewParams& p = c.picture.params;
         return FormatNumbers({p.m_dAngleX, p.m_dAngleY, p.m_dAngleZ});
     }},
    {"perspective", 0, "P", true, "the perspective factor",
     [](std::string_view value, ToolCommand& c) {
         const auto v = ParseNumber(value);
         if (!v) {
             return Bad();
         }
         c.picture.params.m_dPerspective = *v;
         return std::string();
     },
     [](const ToolCommand& c) { return FormatShortest(c.picture.params.m_dPerspective); }},
    {"tolerance", 0, "D", true,
     "for a mesh file: sample curves and surfaces in scene\n"
     "units, no tessellated edge longer than D, instead of\n"
     "as the picture of the given size shows them",
     [](std::string_view value, ToolCommand& c) {
         const auto v = ParseNumber(value);
         if (!v || !(*v > 0.0)) {
             return std::string("--tolerance must be a number above 0");
         }
         c.picture.tolerance = *v;
         return std::string();
     },
     nullptr},
    {"no-banner", 0, nullptr, true, "leave out the credit text over the top edge",
     [](std::string_view, ToolCommand& c) {
         c.picture.banner = false;
         return std::string();
     },
     nullptr},
    {"stats", 0, nullptr, true,
     "write read, compile and frame times, the list's\n"
     "vertices and triangles, the budget in force and\n"
     "whether it acted on one line on standard error",
     [](std::string_view, ToolCommand& c) {
         c.picture.stats = true;
         return std::string();
     },
     nullptr},
    {"frames", 0, "N", true, "draw N frames after the compile; --stats gives\ntheir median",
     [](std::string_view value, ToolCommand& c) {
         const auto n = ParseCount(value, kMaxFrames);
         if (!n) {
             return "--frames must be a whole number from 1 to " + std::to_string(kMaxFrames);
         }
         c.picture.frames = *n;
         return std::string();
     },
     [](const ToolCommand& c) { return std::to_string(c.picture.frames); }},
    {"budget", 0, "N", true,
     "at most N triangles and line segments in the list,\n"
     "0 for no bound; curves and surfaces past it are\n"
     "sampled coarser, down to a chord or two triangles.\n"
     "By default 2,000,000 on a software renderer,\n"
     "16,000,000 on hardware; either lowered to what the\n"
     "memory left holds",
     [](std::string_view value, ToolCommand& c) {
         std::size_t n = 0;
         const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
         if (value.empty() || ec != std::errc() || end != value.data() + value.size() ||
             n > kMaxBudget) {
             return "--budget must be a whole number from 0 to " + std::to_string(kMaxBudget);
         }
         c.picture.budget = n;
         return std::string();
     },
     nullptr},
    {"force", 0, nullptr, true, "with -o -, write the picture to a terminal too",
     [](std::string_view, ToolCommand& c) {
         c.picture.force = true;
         return std::string();
     },
     nullptr},
    {"dump", 0, nullptr, false,
     "list what the reader makes of FILE, one record a line,\n"
     "instead of drawing it",
     [](std::string_view, ToolCommand& c) {
         c.mode = ToolMode::kDump;
         return std::string();
     },
     nullptr},
    {"check", 0, nullptr, false,
     "tell on standard error what the reader most likely\n"
     "did not read as meant, instead of drawing FILE",
     [](std::string_view, ToolCommand& c) {
         c.mode = ToolMode::kCheck;
         return std::string();
     },
     nullptr},
    {"help", 'h', nullptr, false, "show this help and exit",
     [](std::string_view, ToolCommand& c) {
         c.mode = ToolMode::kHelp;
         return std::string();
     },
     nullptr},
    {"version", 'V', nullptr, false, "show the version and exit",
     [](std::string_view, ToolCommand& c) {
         c.mode = ToolMode::kVersion;
         return std::string();
     },
     nullptr},
};

std::size_t IndexOf(std::string_view name) {
    const auto* found = std::find_if(std::begin(kOptions), std::end(kOptions),
                                     [name](const OptionSpec& o) { return o.name == name; });
    return static_cast<std::size_t>(found - std::begin(kOptions));
}

// getopt_long reports a long option by this plus its index in kOptions.
constexpr int kLongOptionBase = 256;

std::string Dashed(const OptionSpec& option) {
    return std::string("--") + option.name;
}

// getopt_long's tables, made from kOptions.
std::vector<option> LongOptions() {
    std::vector<option> options;
    for (std::size_t i = 0; i < std::size(kOptions); ++i) {
        options.push_back({kOptions[i].name, kOptions[i].value ? required_argument : no_argument,
                           nullptr, kLongOptionBase + static_cast<int>(i)});
    }
    options.push_back({nullptr, 0, nullptr, 0});
    return options;
}

std::string ShortOptions() {
    // '-': operands come back in order too, whatever POSIXLY_CORRECT says; ':': a missing value
    // is told apart from an unknown option.
    std::string text = "-:";
    for (const OptionSpec& option : kOptions) {
        if (option.shortName != 0) {
            text += option.shortName;
            text += option.value ? ":" : "";
        }
    }
    return text;
}

// The index in kOptions of what getopt_long returned, -1 for none.
int OptionIndex(int code) {
    if (code >= kLongOptionBase) {
        return code - kLongOptionBase;
    }
    for (std::size_t i = 0; i < std::size(kOptions); ++i) {
        if (kOptions[i].shortName == code) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Parsing, step 1: the options in order, each applied once; the operands are collected.
std::string ReadOptions(int argc, char** argv, ToolCommand& command,
                        std::vector<std::string>& operands, std::vector<bool>& given) {
    const std::vector<option> longOptions = LongOptions();
    const std::string shortOptions = ShortOptions();
    opterr = 0;
    optind = 0;  // starts getopt afresh, also after an earlier parse
    int code = 0;
    int longIndex = -1;
    while ((code = getopt_long(argc, argv, shortOptions.c_str(), longOptions.data(), &longIndex)) !=
           -1) {
        const std::string_view arg = argv[optind - 1];
        if (code == 1) {
            operands.emplace_back(optarg);
            continue;
        }
        if (code == '?') {
            if (optopt >= kLongOptionBase) {
                return Dashed(kOptions[optopt - kLongOptionBase]) + " takes no value";
            }
            if (optopt != 0) {
                return std::string("unknown option -") + static_cast<char>(optopt);
            }
            return "unknown or ambiguous option " + std::string(arg);
        }
        if (code == ':') {
            return std::string(arg) + " needs a value";
        }
        const int index = OptionIndex(code);
        if (index < 0) {
            return "unknown option " + std::string(arg);
        }
        const OptionSpec& spec = kOptions[index];
        if (given[index]) {
            return Dashed(spec) + " given more than once";
        }
        given[index] = true;
        const std::string_view value = optarg != nullptr ? optarg : "";
        const std::string problem = spec.apply(value, command);
        if (!problem.empty()) {
            // A problem that names its option says what the value must be.
            return (problem.rfind("--", 0) == 0 ? problem : problem + " for " + Dashed(spec)) +
                   ": '" + std::string(value) + "'";
        }
        if (command.mode == ToolMode::kHelp || command.mode == ToolMode::kVersion) {
            return {};
        }
    }
    for (int i = optind; i < argc; ++i) {
        operands.emplace_back(argv[i]);  // after "--"
    }
    return {};
}

// Step 2: the one FILE.
std::string TakeOperands(const std::vector<std::string>& operands, ToolCommand& command) {
    if (operands.empty()) {
        return "no FILE given";
    }
    if (operands.size() > 1) {
        return "more than one FILE given: '" + operands[0] + "' and '" + operands[1] + "'";
    }
    command.picture.input = operands[0];
    return {};
}

std::optional<ImageFormat> FormatOf(std::string_view output) {
    if (output == kStandardStream) {
        return ImageFormat::kPng;
    }
    const std::size_t dot = output.rfind('.');
    const std::size_t slash = output.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return ImageFormat::kPng;  // no extension at all, as for a device such as /dev/full
    }
    std::string extension(output.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    constexpr std::pair<std::string_view, ImageFormat> kFormats[] = {
        {"png", ImageFormat::kPng}, {"jpg", ImageFormat::kJpeg}, {"jpeg", ImageFormat::kJpeg},
        {"bmp", ImageFormat::kBmp}, {"ppm", ImageFormat::kPpm},
    };
    for (const auto& [name, format] : kFormats) {
        if (extension == name) {
            return format;
        }
    }
    return std::nullopt;
}

// Step 3: what the mode needs, and nothing it would ignore.
std::string CheckMode(const std::vector<bool>& given, ToolCommand& command) {
    if (given[IndexOf("dump")] && given[IndexOf("check")]) {
        return "--dump and --check cannot be combined";
    }
    if (command.mode == ToolMode::kDump || command.mode == ToolMode::kCheck) {
        const char* mode = command.mode == ToolMode::kDump ? "--dump" : "--check";
        for (std::size_t i = 0; i < std::size(kOptions); ++i) {
            if (given[i] && kOptions[i].pictureOnly) {
                return Dashed(kOptions[i]) + " is for pictures, not for " + mode;
            }
        }
        return {};
    }
    if (command.picture.output.empty()) {
        return "no -o OUT given";
    }
    const bool toStandardOutput = command.picture.output == kStandardStream;
    command.picture.mesh = toStandardOutput && given[IndexOf("tolerance")]
                               ? std::optional(MeshFormat::kGlb)
                               : MeshFormatOf(command.picture.output);
    const std::optional<ImageFormat> format = FormatOf(command.picture.output);
    if (!format && !command.picture.mesh) {
        return "cannot tell the format of '" + command.picture.output +
               "': name it .png, .jpg, .jpeg, .bmp or .ppm for a picture, or .glb, .gltf, .obj, "
               ".ply or .stl for a mesh file";
    }
    if (given[IndexOf("tolerance")] && !command.picture.mesh) {
        return "--tolerance is for mesh files, not for pictures";
    }
    command.picture.format = format.value_or(ImageFormat::kPng);
    return {};
}

}  // namespace

std::string ParseCommandLine(int argc, char** argv, ToolCommand& command) {
    command = ToolCommand{};
    ResetParams(command.picture.params);
    std::vector<std::string> operands;
    std::vector<bool> given(std::size(kOptions), false);
    if (std::string problem = ReadOptions(argc, argv, command, operands, given); !problem.empty()) {
        return problem;
    }
    if (command.mode == ToolMode::kHelp || command.mode == ToolMode::kVersion) {
        return {};
    }
    if (std::string problem = TakeOperands(operands, command); !problem.empty()) {
        return problem;
    }
    return CheckMode(given, command);
}

// What the budget is for, after the options.
constexpr const char kBudgetHelp[] =
    "The budget keeps a frame within about a second and the list within the\n"
    "memory the program may still take (ulimit -v and -d, the cgroup's\n"
    "memory.max, the available memory, at about 300 bytes a triangle or\n"
    "segment). Past it no item is left out: the last ones are drawn at their\n"
    "coarsest, and standard error says so: \"Coarsened to fit a budget of\n"
    "2,000,000: 1,234 of 9,384 items at their coarsest\".\n"
    "\n";

std::string HelpText() {
    ToolCommand defaults;
    ResetParams(defaults.picture.params);
    std::string text =
        "Usage: kavelo-render [OPTION]... FILE -o OUT\n"
        "  or:  kavelo-render --dump FILE\n"
        "  or:  kavelo-render --check FILE\n"
        "Draw the scene file FILE as the viewer kavelo draws it, without a display,\n"
        "and write the picture, or the tessellated scene as a mesh file, to OUT; or\n"
        "list what the reader makes of FILE; or tell what in FILE is most likely not\n"
        "read as meant.\n"
        "FILE - is standard input, OUT - is standard output; -- ends the options.\n"
        "\n"
        "Options:\n";
    constexpr std::size_t kHelpColumn = 24;
    for (const OptionSpec& option : kOptions) {
        std::string line = "  ";
        line += option.shortName != 0 ? std::string("-") + option.shortName + ", " : "    ";
        line += Dashed(option);
        if (option.value != nullptr) {
            line += std::string("=") + option.value;
        }
        line += std::string(kHelpColumn > line.size() + 1 ? kHelpColumn - line.size() : 2, ' ');
        std::string_view help = option.help;
        for (std::size_t newline; (newline = help.find('\n')) != std::string_view::npos;) {
            line += std::string(help.substr(0, newline)) + "\n" + std::string(kHelpColumn, ' ');
            help.remove_prefix(newline + 1);
        }
        line += help;
        if (option.shown != nullptr) {
            line +=
                "\n" + std::string(kHelpColumn, ' ') + "(default " + option.shown(defaults) + ")";
        }
        text += line + "\n";
    }
    text +=
        "\n"
        "Numbers take a point as decimal separator in every locale.\n"
        "\n"
        "A mesh file holds the triangles and line strips the picture of the same\n"
        "options draws, in scene units: polygons and surfaces as triangles, curves as\n"
        "line strips (STL holds no lines: the curves are left out), each kind a mesh\n"
        "of its own in the picture's colour. --stats then counts what the file holds.\n"
        "\n" +
        std::string(kBudgetHelp) +
        "Exit status:\n"
        "  0  the picture or the listing was made, or --check found nothing to tell\n"
        "  1  the reading of FILE stopped on a fault (the message is on standard error;\n"
        "     the items before it are still drawn or listed); OUT is left as it was\n"
        "     when FILE cannot be opened at all\n"
        "  2  the command line is wrong, or -o - is a terminal without --force\n"
        "  3  no OpenGL context can be had (or not enough memory for one)\n"
        "  4  the picture or the listing cannot be written, does not fit in memory,\n"
        "     memory runs out on the way, not even the scene's coarsest list fits\n"
        "     in memory, or standard output is closed\n"
        "  5  --check found something to tell, and no fault\n";
    return text;
}

std::string VersionText() {
    return std::string("kavelo-render ") + Version().versionText +
           "\nCopyright (C) the Kavelo developers.\n"
           "License: MIT <https://opensource.org/licenses/MIT>.\n";
}

}  // namespace kavelo::tools
