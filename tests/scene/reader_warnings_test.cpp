// What the reader tells about text it reads without a fault but likely not as meant.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/dump.h"
#include "scene/reader.h"

using kavelo::scene::DumpScene;
using kavelo::scene::ReadSceneText;
using kavelo::scene::SceneReadResult;
using kavelo::scene::WarningList;

namespace {

std::vector<std::string> WarningsOf(std::string_view text) {
    std::vector<std::string> warnings;
    WarningList each(0, [&warnings](const std::string& warning) { warnings.push_back(warning); });
    ReadSceneText(text, "f.txt", &each);
    return warnings;
}

const char kPoints4[] = "0 0 0 1  1 1 0 1  2 1 0 1  3 0 0 1";

struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> warnings;
};

TEST(ReaderWarnings, EachKindAtItsLineAndColumn) {
    const std::string four = kPoints4;
    const std::string sixteen = four + " " + four + " " + four + " " + four;
    const Case cases[] = {
        // Items without their letter: the word that headed them is named.
        {"no item letter",
         "x\nTop (0 0 -1) { " + four + " }\n",
         {"f.txt:2:1: warning: \"Top\" is skipped with the numbers after it: items start with "
          "\"C\", \"P\" or \"S\""}},
        {"lower case",
         "  polygon (0 0 1) {" + four + "}\ncurve {" + four + "}",
         {"f.txt:1:3: warning: \"polygon\" is skipped with the numbers after it: an item letter "
          "is a capital, \"P\"",
          "f.txt:2:1: warning: \"curve\" is skipped with the numbers after it: an item letter is "
          "a capital, \"C\""}},
        {"letter missing",
         "C {" + four + "} (0 0 1) { 1 2 3 4 }",
         {"f.txt:1:40: warning: \"(0 0 1) {\" is skipped with the numbers after it: items start "
          "with \"C\", \"P\" or \"S\""}},
        {"exponent letters are no word",
         "1e5 { -.5 }",
         {"f.txt:1:1: warning: \"1e5 {\" is skipped with the numbers after it: items start with "
          "\"C\", \"P\" or \"S\""}},
        // Points past the limit, and where the dropped text ends.
        {"curve point 5",
         "C {\n" + four + "  4 4 4 1 }\n",
         {"f.txt:2:37: warning: a curve holds 4 points: the 5th and the text after it up to "
          "\"}\" are dropped"}},
        {"polygon vertex 5 up to the next item",
         "P (0 0 1) {" + four + " 9 9 9 1\nC {" + four + "}",
         {"f.txt:1:47: warning: a polygon holds 4 vertices: the 5th and the text after it up to "
          "the next item are dropped"}},
        {"surface point 17 up to the end",
         "S {" + sixteen + " -1 0 0 1",
         {"f.txt:1:144: warning: a surface holds 16 points: the 17th and the text after it up "
          "to the end are dropped"}},
        {"a mistake glued to the last number",
         "C {" + four + ",5 }\nP (0 0 1) {" + four + "mm}",
         {"f.txt:1:38: warning: text after the last number of this curve is dropped, found \",\": "
          "a number takes \".\" as its decimal point",
          "f.txt:2:46: warning: text after the last number of this polygon is dropped, found "
          "\"mm\": numbers take no unit"}},
        {"an item after a full one needs no brace",
         "C {" + four + " S {" + sixteen + "}C {" + four + "C {1 1 1 1}",
         {"f.txt:1:219: warning: a curve of 1 point draws nothing: a cubic curve takes 4"}},
        // Items drawn short.
        {"short items",
         "C {1 2 3 4}\nC {1 2 3 4 5 6 7 8}\nC {" + four.substr(0, 25) +
             "}\nP (0 0 1) {1 2 3 4 5 6 7 8}\nP (0 0 1) {1 2 3 1 5 6 7 1 9 1 2 1}\nS {" + four +
             " " + four.substr(0, 16) + "}\nS {" + four + " " + four + " " + four + "}",
         {"f.txt:1:1: warning: a curve of 1 point draws nothing: a cubic curve takes 4",
          "f.txt:2:1: warning: a curve of 2 points draws a straight line: a cubic curve takes 4",
          "f.txt:3:1: warning: a curve of 3 points draws a quadratic arc: a cubic curve takes 4",
          "f.txt:4:1: warning: a polygon of 2 vertices covers no area: a polygon takes 3 or 4",
          "f.txt:6:1: warning: a surface of 6 points draws nothing: a patch takes 16, in rows of 4",
          "f.txt:7:1: warning: a surface of 12 points draws only its first 3 rows: a patch takes "
          "16, in rows of 4"}},
        // Item letters the author likely did not mean.
        {"letter in a comment",
         "# Curve below\nC {" + four + "}",
         {"f.txt:1:3: warning: \"C\" after \"#\" starts a curve: item letters count in comments "
          "too",
          "f.txt:1:3: warning: the curve's \"{\" is found past \"C\" on line 2, in what looks "
          "like another item"}},
        {"letter after //",
         "C {" + four + "} // Polygon (0 0 1) {" + four + "}",
         {"f.txt:1:43: warning: \"P\" after \"//\" starts a polygon: item letters count in "
          "comments too"}},
        {"letter inside a word",
         "arcCurve {" + four + "}",
         {"f.txt:1:4: warning: \"C\" inside \"arcCurve\" starts a curve"}},
        {"word that is no heading",
         "\tSquare (0 0 1) {" + four + "}",
         {"f.txt:1:2: warning: \"Square\" starts a surface at its \"S\"",
          "f.txt:1:2: warning: a surface of 4 points draws nothing: a patch takes 16, in rows of "
          "4"}},
        {"headings as meant",
         "Curve {" + four + "} CURVES {" + four + "} C1 {" + four + "} Poly (0 0 1) {" + four +
             "}\nPolygon_2 (0 0 1) {" + four + "} Surf {" + sixteen + "} S{" + sixteen + "}",
         {}},
        // A heading whose skipped text runs into the next item.
        {"brace lost",
         "Curve " + four + " }\nSurface {" + sixteen + "}",
         {"f.txt:1:1: warning: the curve's \"{\" is found past a \"}\" on line 1, in what looks "
          "like another item",
          "f.txt:2:45: warning: a curve holds 4 points: the 5th and the text after it up to "
          "\"}\" are dropped"}},
        {"capital starting a note",
         "See below.\n\n  Polygon (0 0 1) {" + four + "}",
         {"f.txt:1:1: warning: \"See\" starts a surface at its \"S\"",
          "f.txt:1:1: warning: the surface's \"{\" is found past \"Polygon\" on line 3, in what "
          "looks like another item",
          "f.txt:1:1: warning: a surface of 4 points draws nothing: a patch takes 16, in rows of "
          "4"}},
        {"polygon's second stretch",
         "P (0 0 1)\n}\n{" + four + "}",
         {"f.txt:1:1: warning: the polygon's \"{\" is found past a \"}\" on line 2, in what looks "
          "like another item"}},
        // Columns count characters as the diagnostic does: "\r\n" is one line end, a UTF-8
        // character one column.
        {"columns",
         "\xc3\xa9\xc3\xa9 arcC\r\n {" + four + "}\r\n\xc3\xa9 polygon (0 0 1) {" + four + "}",
         {"f.txt:1:7: warning: \"C\" inside \"arcC\" starts a curve",
          "f.txt:3:3: warning: \"polygon\" is skipped with the numbers after it: an item letter "
          "is a capital, \"P\""}},
        // Control characters of the file reach no terminal: C0, DEL, C1 and bytes not UTF-8.
        {"escapes",
         "\x1b[2;3H\x7f\xc2\x9b\x9b\t\xc3\xa9{" + four + "}",
         {"f.txt:1:1: warning: \"\\x1b[2;3H\\x7f\\xc2\\x9b\\x9b\t\xc3\xa9{\" is skipped with the "
          "numbers after it: items start with \"C\", \"P\" or \"S\""}},
        // Notes as the format page writes them stay quiet.
        {"notes",
         "# digits and marks: 1 2 3 { } ( ) ; = ->, the plane z = 0\nC {" + four + "}",
         {}},
        // Nothing read, and no warning tells why.
        {"empty", "", {"f.txt holds no items"}},
        {"notes only", "a scene to come\n# the floor\n", {"f.txt holds no items"}},
        {"NULs only", std::string(64, '\0'), {"f.txt holds no items"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WarningsOf(c.text), c.warnings);
    }
}

TEST(ReaderWarnings, NeverChangeWhatIsRead) {
    const std::string four = kPoints4;
    for (const std::string& text :
         {"See below.\nPolygon (0 0 1) {" + four + "}", "C {" + four + " 5 5 5 1 } C {1 2 3 4}",
          "polygon (0 0 1) {" + four + "} C {" + four + "} S {1 2 x"}) {
        WarningList warnings;
        const SceneReadResult checked = ReadSceneText(text, "f.txt", &warnings);
        const SceneReadResult plain = ReadSceneText(text, "f.txt");
        EXPECT_FALSE(warnings.Empty()) << text;
        EXPECT_EQ(DumpScene(checked.scene), DumpScene(plain.scene)) << text;
        EXPECT_EQ(checked.diagnostic, plain.diagnostic) << text;
    }
}

}  // namespace
