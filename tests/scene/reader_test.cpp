#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "scene/dump.h"
#include "scene/item_kinds.h"
#include "scene/list_builder.h"
#include "scene/scene_file.h"
#include "support/node_counter.h"

using kavelo::scene::CountItems;
using kavelo::scene::DumpScene;
using kavelo::scene::ForEachItem;
using kavelo::scene::ItemKindWords;
using kavelo::scene::kItemKinds;
using kavelo::scene::ReadFault;
using kavelo::scene::ReadSceneFile;
using kavelo::scene::ReadSceneText;
using kavelo::scene::SceneItemKind;
using kavelo::scene::SceneList;
using kavelo::scene::SceneListBuilder;
using kavelo::scene::SceneLists;
using kavelo::scene::SceneReadResult;
using kavelo::test::NodeCounter;

namespace {

std::string Dump(std::string_view text) {
    return DumpScene(ReadSceneText(text).scene);
}

std::string Repeat(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

const char kExample[] =
    "P (0 0 1) {\n"
    "    0 0 0 1   1 0 0 1   1 1 0 1   0 1 0 1\n"
    "}\n"
    "C {\n"
    "    0 0 0 1\n"
    "    1 2 0 1\n"
    "    2 -2 0 1\n"
    "    3 0 0 1\n"
    "}\n"
    "S {\n"
    "    0 0 0 1   1 0 0 1   2 0 0 1   3 0 0 1\n"
    "    0 1 0 1   1 1 0 1   2 1 0 1   3 1 0 1\n"
    "    0 2 0 1   1 2 0 1   2 2 0 1   3 2 0 1\n"
    "    0 3 0 1   1 3 0 1   2 3 0 1   3 3 0 1\n"
    "}\n";

TEST(SceneReaderGrammar, ReadsTheThreeItemsWithTheirFields) {
    const SceneReadResult r = ReadSceneText(kExample);
    EXPECT_FALSE(r.diagnostic.has_value());
    ASSERT_EQ(CountItems(r.scene.polygons.get()), 1u);
    ASSERT_EQ(CountItems(r.scene.curves.get()), 1u);
    ASSERT_EQ(CountItems(r.scene.surfaces.get()), 1u);

    const PolygonNode& poly = *r.scene.polygons.get();
    EXPECT_EQ(poly.count, 4);
    EXPECT_EQ(poly.normal.z, 1.0);
    EXPECT_EQ(poly.vertices[2].x, 1.0);
    EXPECT_EQ(poly.vertices[2].y, 1.0);
    EXPECT_EQ(poly.vertices[3].w, 1.0);
    ASSERT_NE(poly.next, nullptr);
    EXPECT_EQ(poly.next->next, nullptr);  // the sentinel ends the list

    const CurveNode& curve = *r.scene.curves.get();
    EXPECT_EQ(curve.count, 4);
    EXPECT_EQ(curve.points[2].x, 2.0);
    EXPECT_EQ(curve.points[2].y, -2.0);

    // Point 4i + j has s index i and t index j: point 4 is the start of the second row.
    const SurfaceNode& surface = *r.scene.surfaces.get();
    EXPECT_EQ(surface.count, 16);
    EXPECT_EQ(surface.points[4].x, 0.0);
    EXPECT_EQ(surface.points[4].y, 1.0);
    EXPECT_EQ(surface.points[15].x, 3.0);
    EXPECT_EQ(surface.points[15].y, 3.0);
}

TEST(SceneReaderGrammar, EmptyAndItemlessFilesGiveThreeSentinels) {
    for (const char* text : {"", "   \n\t\r\n", "no items here, only lower case: c p s {1 2 3 4}",
                             "0 1 2 3 } { ( ) 4.5e6"}) {
        const SceneReadResult r = ReadSceneText(text);
        EXPECT_FALSE(r.diagnostic.has_value()) << text;
        for (const void* head : {static_cast<const void*>(r.scene.polygons.get()),
                                 static_cast<const void*>(r.scene.curves.get()),
                                 static_cast<const void*>(r.scene.surfaces.get())}) {
            ASSERT_NE(head, nullptr);
        }
        EXPECT_EQ(r.scene.polygons->next, nullptr);
        EXPECT_EQ(r.scene.curves->next, nullptr);
        EXPECT_EQ(r.scene.surfaces->next, nullptr);
        EXPECT_EQ(Dump(text), "polygons 0\ncurves 0\nsurfaces 0\n");
    }
}

TEST(SceneReaderGrammar, WordsHeadItemsAndCapitalsInCommentsStartThem) {
    EXPECT_EQ(Dump("Polygon (0 0 1) {1 2 3 4} Curve{5 6 7 8} Surface{9 10 11 12}"),
              "polygons 1\npolygon 1 normal 0 0 1\nvertex 1 2 3 4\n"
              "curves 1\ncurve 1\npoint 5 6 7 8\n"
              "surfaces 1\nsurface 1\npoint 9 10 11 12\n");
    // "Comment" begins with a C: what follows up to "{" is the skipped head of a curve.
    EXPECT_EQ(Dump("a Comment then { 1 1 1 1 }"),
              "polygons 0\ncurves 1\ncurve 1\npoint 1 1 1 1\n"
              "surfaces 0\n");
    // Item letters inside a skipped stretch are skipped text.
    EXPECT_EQ(Dump("P SPC ( 1 2 3 ) CPS { 0 0 0 1 }"),
              "polygons 1\npolygon 1 normal 1 2 3\nvertex 0 0 0 1\ncurves 0\nsurfaces 0\n");
}

TEST(SceneReaderGrammar, ItemsOfEachKindKeepFileOrderWhateverTheMix) {
    const SceneReadResult r = ReadSceneText(
        "C{1 0 0 1} P(0 0 1){1 1 1 1} S{2 0 0 1} C{3 0 0 1} P(0 0 1){4 4 4 4}"
        "S{5 0 0 1}");
    EXPECT_FALSE(r.diagnostic);
    const CurveNode* c = r.scene.curves.get();
    EXPECT_EQ(c->points[0].x, 1.0);
    EXPECT_EQ(c->next->points[0].x, 3.0);
    EXPECT_EQ(CountItems(c), 2u);
    const PolygonNode* p = r.scene.polygons.get();
    EXPECT_EQ(p->vertices[0].x, 1.0);
    EXPECT_EQ(p->next->vertices[0].x, 4.0);
    const SurfaceNode* s = r.scene.surfaces.get();
    EXPECT_EQ(s->points[0].x, 2.0);
    EXPECT_EQ(s->next->points[0].x, 5.0);
}

TEST(SceneReaderGrammar, NumberSyntax) {
    // The longest prefix that is a number is taken; what follows must then be white space,
    // "}" or the start of the next number.
    const auto firstNumberFails = [](const char* number) {
        const SceneReadResult r = ReadSceneText(std::string("C{") + number + " 0 0 1}");
        return r.diagnostic.has_value() && CountItems(r.scene.curves.get()) == 0;
    };
    for (const char* good : {"12", "+1.5", "-.5", "7.", "1E-5", "2.5e+3", "-0.0"}) {
        EXPECT_FALSE(firstNumberFails(good)) << good;
    }
    for (const char* bad : {".", "+", "-", "+-1", "-+1", "e5", "inf", "nan", "-inf", "x1", "1e",
                            "1e+", "0x10", "1,5"}) {
        EXPECT_TRUE(firstNumberFails(bad)) << bad;
    }
    // "1e" is the number 1 followed by the text "e", which is no number.
    EXPECT_EQ(*ReadSceneText("C{1e 2 3 4}").diagnostic,
              "input.txt:1:4: expected a number, found \"e\": an exponent takes digits");
    EXPECT_EQ(*ReadSceneText("C{0mm 2 3 4}").diagnostic,
              "input.txt:1:4: expected a number, found \"mm\": numbers take no unit");
    // Numbers need no white space before a sign that starts the next one.
    EXPECT_EQ(Dump("C{1-2+3-4}"), "polygons 0\ncurves 1\ncurve 1\npoint 1 -2 3 -4\nsurfaces 0\n");

    EXPECT_EQ(Dump("C{+1 -2.5 .25 3.e1}"),
              "polygons 0\ncurves 1\ncurve 1\npoint 1 -2.5 0.25 30\nsurfaces 0\n");
    EXPECT_EQ(Dump("C{1e-2 1E2 0.1 -0}"),
              "polygons 0\ncurves 1\ncurve 1\npoint 0.01 100 0.1 -0\nsurfaces 0\n");
    // Too small for a normal double: the nearest subnormal, or zero.
    const SceneReadResult tiny = ReadSceneText("C{4e-320 1e-400 0 1}");
    ASSERT_FALSE(tiny.diagnostic) << *tiny.diagnostic;
    EXPECT_EQ(tiny.scene.curves->points[0].x, 4e-320);
    EXPECT_EQ(tiny.scene.curves->points[0].y, 0.0);
}

TEST(SceneReaderGrammar, ClosingBraceMayFollowTheLastNumberDirectly) {
    EXPECT_EQ(Dump("C{1 2 3 4}C{5 6 7 8}"),
              "polygons 0\ncurves 2\ncurve 1\npoint 1 2 3 4\ncurve 1\npoint 5 6 7 8\n"
              "surfaces 0\n");
    // The text after a normal may follow its last number directly.
    EXPECT_EQ(Dump("P(0 0 1){0 0 0 1}"),
              "polygons 1\npolygon 1 normal 0 0 1\nvertex 0 0 0 1\ncurves 0\nsurfaces 0\n");
}

TEST(SceneReaderLimits, CountsOfShortItems) {
    const SceneReadResult r = ReadSceneText("C { 0 0 0 1  1 1 0 1 } P(0 0 1){0 0 0 1 1 0 0 1}");
    EXPECT_FALSE(r.diagnostic);
    EXPECT_EQ(r.scene.curves->count, 2);
    EXPECT_EQ(r.scene.polygons->count, 2);
    const SceneReadResult two = ReadSceneText("P(0 0 1){0 0 0 1} P(0 1 0){1 1 1 1}");
    EXPECT_EQ(CountItems(two.scene.polygons.get()), 2u);
    EXPECT_EQ(CountItems(two.scene.curves.get()), 0u);
    EXPECT_EQ(CountItems(two.scene.surfaces.get()), 0u);
    EXPECT_NE(two.scene.polygons->next->next, nullptr);  // two items and a sentinel
    EXPECT_EQ(two.scene.polygons->next->next->next, nullptr);
}

// Every row of the table reaches the reader's dispatch, and its limit is the one read.
TEST(SceneReaderLimits, EveryKindsLetterReadsItsItemUpToItsLimit) {
    for (const ItemKindWords& row : kItemKinds) {
        const std::string text = std::string(1, row.letter) +
                                 (row.kind == SceneItemKind::kPolygon ? " (0 0 1) {" : " {") +
                                 Repeat(" 1 2 3 1", row.limit + 1) + " }";
        const std::string item =
            std::string(row.plural) + " 1\n" + row.name + " " + std::to_string(row.limit);
        EXPECT_NE(Dump(text).find(item), std::string::npos) << text;
    }
}

TEST(SceneReaderLimits, PointsPastTheLimitAreDroppedAndReadingGoesOn) {
    // A fifth curve point and its "}" are scanned as text between items.
    EXPECT_EQ(Dump("C{1 0 0 1 2 0 0 1 3 0 0 1 4 0 0 1 5 0 0 1} C{6 0 0 1}"),
              "polygons 0\ncurves 2\ncurve 4\npoint 1 0 0 1\npoint 2 0 0 1\npoint 3 0 0 1\n"
              "point 4 0 0 1\ncurve 1\npoint 6 0 0 1\nsurfaces 0\n");
    // A polygon holds four vertices; nothing is stored past the fourth.
    const SceneReadResult poly = ReadSceneText("P(0 0 1){1 0 0 1 2 0 0 1 3 0 0 1 4 0 0 1 5 0 0 1}");
    EXPECT_FALSE(poly.diagnostic);
    ASSERT_EQ(CountItems(poly.scene.polygons.get()), 1u);
    EXPECT_EQ(poly.scene.polygons->count, 4);
    EXPECT_EQ(poly.scene.polygons->vertices[3].x, 4.0);
    // A surface takes sixteen points; the seventeenth is dropped.
    std::string surface = "S{";
    for (int i = 1; i <= 17; ++i) {
        surface += std::to_string(i) + " 0 0 1 ";
    }
    surface += "}";
    const SceneReadResult s = ReadSceneText(surface);
    EXPECT_FALSE(s.diagnostic);
    EXPECT_EQ(s.scene.surfaces->count, 16);
    EXPECT_EQ(s.scene.surfaces->points[15].x, 16.0);
}

TEST(SceneReaderLimits, ItemAtItsLimitEndsWithoutBrace) {
    // A four-point curve whose "}" is missing, followed at once by a surface.
    const SceneReadResult r = ReadSceneText("C{0 0 0 1 1 0 0 1 2 0 0 1 3 0 0 1 S{7 7 7 7}");
    EXPECT_FALSE(r.diagnostic);
    EXPECT_EQ(r.scene.curves->count, 4);
    ASSERT_EQ(CountItems(r.scene.surfaces.get()), 1u);
    EXPECT_EQ(r.scene.surfaces->points[0].x, 7.0);
    // An item complete at its limit may end the input.
    const SceneReadResult end = ReadSceneText("C{0 0 0 1 1 0 0 1 2 0 0 1 3 0 0 1");
    EXPECT_FALSE(end.diagnostic);
    EXPECT_EQ(CountItems(end.scene.curves.get()), 1u);
    // The put-back character starts the scans again: "P" after the limit starts a polygon.
    const SceneReadResult back =
        ReadSceneText("C{0 0 0 1 1 0 0 1 2 0 0 1 3 0 0 1P(0 0 1){5 5 5 5}");
    EXPECT_FALSE(back.diagnostic);
    EXPECT_EQ(CountItems(back.scene.polygons.get()), 1u);
}

TEST(SceneReaderSkips, StretchBoundIs254CharactersDelimiterIncluded) {
    // The stretch counts from the character after the letter through the delimiter.
    const std::string found = "C" + std::string(253, 'x') + "{1 2 3 4}";
    const SceneReadResult ok = ReadSceneText(found);
    EXPECT_FALSE(ok.diagnostic);
    EXPECT_EQ(CountItems(ok.scene.curves.get()), 1u);

    const std::string tooFar = "C" + std::string(254, 'x') + "{1 2 3 4}";
    const SceneReadResult bad = ReadSceneText(tooFar);
    ASSERT_TRUE(bad.diagnostic);
    EXPECT_EQ(*bad.diagnostic, "input.txt:1:1: expected \"{\" within 254 characters after \"C\"");
    EXPECT_EQ(CountItems(bad.scene.curves.get()), 0u);

    // The polygon's second stretch starts after the last character of the third number.
    const std::string second = "P(0 0 1" + std::string(253, ' ') + "{1 2 3 4}";
    EXPECT_FALSE(ReadSceneText(second).diagnostic);
    const std::string secondTooFar = "P(0 0 1" + std::string(254, ' ') + "{1 2 3 4}";
    EXPECT_TRUE(ReadSceneText(secondTooFar).diagnostic);
    const std::string first = "P" + std::string(253, '-') + "(0 0 1){1 2 3 4}";
    EXPECT_FALSE(ReadSceneText(first).diagnostic);
}

TEST(SceneReaderSkips, CrLfCountsAsOneCharacterInAStretch) {
    // 126 CR LF pairs and one more character make 127 characters in text mode.
    std::string text = "C" + Repeat("\r\n", 126) + "{1 2 3 4}";
    EXPECT_FALSE(ReadSceneText(text).diagnostic);
    text = "C" + Repeat("\r\n", 253) + "{1 2 3 4}";
    EXPECT_FALSE(ReadSceneText(text).diagnostic);
    text = "C" + Repeat("\r\n", 254) + "{1 2 3 4}";
    EXPECT_TRUE(ReadSceneText(text).diagnostic);
}

TEST(SceneReaderFailures, EachFaultEndsTheReadingAndKeepsWhatWasComplete) {
    struct Case {
        std::string_view text;
        const char* diagnostic;
        std::size_t curves;
    };
    using namespace std::string_view_literals;
    const Case cases[] = {
        {"C{1 2 3 4}\nC{1 2 x 4}", "input.txt:2:7: expected a number, found \"x\"", 1},
        {"C{1 2 3 4} C{}", "input.txt:1:14: expected a number, found \"}\"", 1},  // no points
        {"C{1 2 3 4} C{1 2 3", "input.txt:1:19: expected a number, found end of file", 1},
        {"C{1 2 3 4} C{1 2 3 4",
         "input.txt:1:21: expected \"}\" or a number, found end of file; the curve at 1:12 is not "
         "closed",
         1},
        {"C{1 2 3 4} C", "input.txt:1:12: expected \"{\" after \"C\", found end of file", 1},
        {"C{1e999 0 0 1}", "input.txt:1:3: number out of range", 0},
        {"C{0 0 0 1\n1 1 0 1 C{",
         "input.txt:2:9: expected \"}\" or a number, found \"C\"; the "
         "curve at 1:1 is not closed",
         0},
        {"C{0 0 0 1 \xE2\x88\x92"
         "1 0 0 1}",
         "input.txt:1:11: expected \"}\" or a number, found U+2212 MINUS SIGN: use \"-\"; in the "
         "curve at 1:1",
         0},
        {"C{0 0 0 1}P{0 0 0 1}C{1 1 1 1}",
         "input.txt:1:11: expected \"(\" after \"P\", found end of file; a polygon starts with "
         "its normal: P (x y z) {",
         1},
        {"P(0 0 1){1 2 3 4 5 6 7}",
         "input.txt:1:23: expected a number, found \"}\": each point "
         "takes four numbers, x y z w",
         0},
        {"C{1 2 3 4 1,5 6 7}",
         "input.txt:1:12: expected a number, found \",\": a number takes \".\" as its decimal "
         "point",
         0},
        {"C{1 2\0 3 4}"sv, "input.txt:1:6: expected a number, found U+0000 NULL", 0},
        {"C{1 2 \xC2\xA0 3 4}",
         "input.txt:1:7: expected a number, found U+00A0 NO-BREAK SPACE: use a plain space", 0},
        {"C{1 \xE2\x88\x92"
         "2 3 4}",
         "input.txt:1:5: expected a number, found U+2212 MINUS SIGN: use \"-\"", 0},
        {"C{1 2 \xEF\xBC\xA1 4}",
         "input.txt:1:7: expected a number, found U+FF21 FULLWIDTH LATIN CAPITAL LETTER A: use "
         "\"A\"",
         0},
        {"C{1 2 3 \xFF}", "input.txt:1:9: expected a number, found byte 0xFF, which is not UTF-8",
         0},
    };
    for (const Case& c : cases) {
        const SceneReadResult r = ReadSceneText(c.text);
        ASSERT_TRUE(r.diagnostic) << c.text;
        EXPECT_EQ(*r.diagnostic, c.diagnostic) << c.text;
        EXPECT_EQ(CountItems(r.scene.curves.get()), c.curves) << c.text;
        EXPECT_EQ(CountItems(r.scene.polygons.get()), 0u) << c.text;
    }
    // A fault inside a polygon keeps the curve read before it and drops the polygon.
    const SceneReadResult mixed = ReadSceneText("P(0 0 1){1 1 1 1}\nC{2 2 2 2}\nP(0 0 1){1 1");
    ASSERT_TRUE(mixed.diagnostic);
    EXPECT_EQ(CountItems(mixed.scene.polygons.get()), 1u);
    EXPECT_EQ(CountItems(mixed.scene.curves.get()), 1u);
    EXPECT_EQ(mixed.scene.polygons->next->next, nullptr);
}

TEST(SceneReaderFailures, ColumnsCountCharactersNotBytes) {
    const SceneReadResult r = ReadSceneText("x\n\xC2\xB0\xC2\xB0 C{1 2 z 4}");
    ASSERT_TRUE(r.diagnostic);
    EXPECT_EQ(*r.diagnostic, "input.txt:2:10: expected a number, found \"z\"");
    const SceneReadResult crlf = ReadSceneText("C{1 2 3 4}\r\n\r\nC{1 2 3 q}");
    ASSERT_TRUE(crlf.diagnostic);
    EXPECT_EQ(*crlf.diagnostic, "input.txt:3:9: expected a number, found \"q\"");
    const SceneReadResult named = ReadSceneText("C{", "scene.txt");
    ASSERT_TRUE(named.diagnostic);
    EXPECT_EQ(*named.diagnostic, "scene.txt:1:3: expected a number, found end of file");
    // A file saved as UTF-16 or UTF-32 is named as such once, not as a fault at its first number.
    using namespace std::string_view_literals;
    const std::pair<std::string_view, const char*> wide[] = {{"\xFF\xFE"
                                                              "C\0{\0 \0"sv,
                                                              "UTF-16"},
                                                             {"C\0{\0 \0"sv, "UTF-16"},
                                                             {"\0\0\0C\0\0\0{"sv, "UTF-32"}};
    for (const auto& [text, encoding] : wide) {
        EXPECT_EQ(ReadSceneText(text).diagnostic,
                  std::string("input.txt looks like ") + encoding + ": save it as UTF-8");
    }
}

TEST(SceneReaderLineEnds, CrLfReadsAsLf) {
    std::string crlf;
    for (const char* p = kExample; *p != '\0'; ++p) {
        if (*p == '\n') {
            crlf += '\r';
        }
        crlf += *p;
    }
    EXPECT_EQ(Dump(crlf), Dump(kExample));
    EXPECT_FALSE(ReadSceneText(crlf).diagnostic);
}

TEST(SceneReaderFiles, FileAndTextReadTheSameAndTwiceEqually) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("kavelo-reader-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = dir / "input.txt";
    {
        std::ofstream out(file, std::ios::binary);
        out << kExample;
    }
    const SceneReadResult first = ReadSceneFile(file.string());
    const SceneReadResult second = ReadSceneFile(file.string());
    EXPECT_FALSE(first.diagnostic);
    EXPECT_EQ(DumpScene(first.scene), DumpScene(second.scene));
    EXPECT_EQ(DumpScene(first.scene), Dump(kExample));
    std::filesystem::remove_all(dir);
}

TEST(SceneReaderLocale, GermanLocaleChangesNothing) {
    const std::string before = Dump("C{1.5 -2.25e1 0.125 1}");
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "the de_DE.UTF-8 locale is missing (scripts/install-deps.sh generates it)";
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.1f", 1.5);
    EXPECT_STREQ(buffer, "1,5");  // the locale really is in force
    EXPECT_EQ(Dump("C{1.5 -2.25e1 0.125 1}"), before);
    EXPECT_EQ(before, "polygons 0\ncurves 1\ncurve 1\npoint 1.5 -22.5 0.125 1\nsurfaces 0\n");
    std::setlocale(LC_ALL, "C");
}

TEST(SceneLists, AMillionItemsAreReleasedWithoutDeepRecursion) {
    SceneListBuilder<PolygonNode> builder;
    for (int i = 0; i < 1000000; ++i) {
        builder.Tail().count = 1;
        ASSERT_TRUE(builder.Append());
    }
    SceneList<PolygonNode> list = builder.Finish();
    EXPECT_EQ(CountItems(list.get()), 1000000u);
    list.reset();  // a recursive release would overflow the stack here
    EXPECT_EQ(list.get(), nullptr);
}

TEST(SceneLists, ReplacingAListReleasesTheEarlierOne) {
    SceneReadResult first = ReadSceneText("C{1 1 1 1} C{2 2 2 2}");
    SceneList<CurveNode> held = std::move(first.scene.curves);
    EXPECT_EQ(first.scene.curves.get(), nullptr);
    EXPECT_EQ(CountItems(held.get()), 2u);
    SceneReadResult second = ReadSceneText("C{3 3 3 3}");
    held = std::move(second.scene.curves);  // the sanitizer build sees a leak if this drops it
    EXPECT_EQ(CountItems(held.get()), 1u);
    EXPECT_EQ(held->points[0].x, 3.0);
}

TEST(SceneReaderLongLists, ManyItemsReadInOrder) {
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "C{" + std::to_string(i) + " 0 0 1}\n";
    }
    const SceneReadResult r = ReadSceneText(text);
    EXPECT_FALSE(r.diagnostic);
    ASSERT_EQ(CountItems(r.scene.curves.get()), 20000u);
    int expected = 0;
    bool inOrder = true;
    ForEachItem(r.scene.curves.get(), [&](const CurveNode& node) {
        inOrder = inOrder && node.points[0].x == expected++;
    });
    EXPECT_TRUE(inOrder);
}

}  // namespace

namespace {

TEST(SceneReaderNumbers, ConvertExactlyAsTheCLibraryDoes) {
    // Short decimals take a fast path of their own; every one must round as strtod rounds.
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> power(-30, 30);
    const char* const formats[] = {"%.6g", "%.17g", "%.3e", "%.9f", "%.1f", "%.0f"};
    std::string text;
    std::vector<double> expected;
    for (int i = 0; i < 20000; ++i) {
        char number[64];
        std::snprintf(number, sizeof number, formats[i % 6],
                      mantissa(random) * std::pow(10.0, power(random)));
        text += (i % 4 == 0) ? "C{" : " ";
        text += number;
        text += (i % 4 == 3) ? "}\n" : "";
        expected.push_back(std::strtod(number, nullptr));
    }
    const SceneReadResult r = ReadSceneText(text);
    ASSERT_FALSE(r.diagnostic) << *r.diagnostic;
    std::size_t k = 0;
    bool same = true;
    ForEachItem(r.scene.curves.get(), [&](const CurveNode& c) {
        for (const double v : {c.points[0].x, c.points[0].y, c.points[0].z, c.points[0].w}) {
            same = same && k < expected.size() && std::memcmp(&v, &expected[k], sizeof v) == 0;
            ++k;
        }
    });
    EXPECT_EQ(k, expected.size());
    EXPECT_TRUE(same);
}

}  // namespace

TEST(SceneReaderMemory, ANodeThatCannotBeHadEndsTheReadingWithTheItemsSoFar) {
    const char text[] = "C{1 1 1 1} P(0 0 1){2 2 2 2} S{3 3 3 3} C{4 4 4 4}";
    struct Case {
        std::size_t nodes;  // the three first nodes, then one per item kept
        const char* dump;
        const char* diagnostic;
    };
    const Case cases[] = {
        {0, "polygons 0\ncurves 0\nsurfaces 0\n", "input.txt: out of memory after 0 items"},
        {3, "polygons 0\ncurves 0\nsurfaces 0\n", "input.txt: out of memory after 0 items"},
        {4, "polygons 0\ncurves 1\ncurve 1\npoint 1 1 1 1\nsurfaces 0\n",
         "input.txt: out of memory after 1 item"},
        {5,
         "polygons 1\npolygon 1 normal 0 0 1\nvertex 2 2 2 2\ncurves 1\ncurve 1\n"
         "point 1 1 1 1\nsurfaces 0\n",
         "input.txt: out of memory after 2 items"},
    };
    for (const Case& c : cases) {
        NodeCounter counter;
        counter.budget = c.nodes;
        {
            const SceneReadResult r = ReadSceneText(text, "input.txt", nullptr, {}, counter);
            EXPECT_EQ(DumpScene(r.scene), c.dump) << c.nodes;
            EXPECT_EQ(r.diagnostic.value_or(""), c.diagnostic) << c.nodes;
        }
        EXPECT_EQ(counter.live, 0) << c.nodes;
    }
}

// Progress counts the bytes read, never back, and ends at the whole text; a fault ends it where
// the reading stopped.
TEST(ReadSceneText, ProgressRisesToTheBytesRead) {
    const std::string items = Repeat("P (0 0 1) { 0 0 0 1 }\n", 20000);
    for (const std::string& text : {items, items + "P (0 0 1) { x }"}) {
        std::vector<std::size_t> told;
        ReadSceneText(text, "input.txt", nullptr, [&](std::size_t done, std::size_t total) {
            EXPECT_EQ(total, text.size());
            EXPECT_TRUE(told.empty() || done >= told.back());
            told.push_back(done);
            return true;
        });
        ASSERT_GT(told.size(), 3u);
        EXPECT_EQ(told.back(), text.size() == items.size() ? items.size() : items.size() + 12);
    }
}

// A listener that asks to stop ends the reading at that report, keeping the items before it.
TEST(ReadSceneText, StopAskedKeepsTheItemsReadSoFar) {
    const SceneReadResult r =
        ReadSceneText(Repeat("P (0 0 1) { 0 0 0 1 }\n", 20000), "input.txt", nullptr,
                      [](std::size_t done, std::size_t) { return done < 230000; });
    EXPECT_EQ(r.fault, ReadFault::kStopped);
    EXPECT_EQ(r.diagnostic.value_or(""), "Stopped: 11,916 items read, 59% of input.txt");
    EXPECT_EQ(CountItems(r.scene.polygons.get()), 11916u);
}
