#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "locale_guard.h"
#include "navigation/panel_exchange.h"
#include "navigation/panel_text.h"
#include "shell/resources/resource_ids.h"

using kavelo::navigation::BoundsRect;
using kavelo::navigation::CentreOnBounds;
using kavelo::navigation::FormatFixed;
using kavelo::navigation::FormatSignedInt;
using kavelo::navigation::MoveDown;
using kavelo::navigation::MoveLeft;
using kavelo::navigation::MoveRight;
using kavelo::navigation::MoveUp;
using kavelo::navigation::PanelFields;
using kavelo::navigation::ParseDecimal;
using kavelo::navigation::ParseSignedInt;
using kavelo::navigation::PerspectiveMinus;
using kavelo::navigation::PerspectivePlus;
using kavelo::navigation::ReadPanelFields;
using kavelo::navigation::RotateXMinus;
using kavelo::navigation::RotateXPlus;
using kavelo::navigation::RotateYMinus;
using kavelo::navigation::RotateYPlus;
using kavelo::navigation::RotateZMinus;
using kavelo::navigation::RotateZPlus;
using kavelo::navigation::WritePanelFields;
using kavelo::navigation::ZoomIn;
using kavelo::navigation::ZoomOut;
using kavelo::test::GermanLocale;

namespace {

// Holds the field texts and records every access in order.
class RecordingPanel : public PanelFields {
  public:
    std::string GetDlgItemText(unsigned id) override {
        reads.push_back(id);
        return texts[id];
    }
    void SetDlgItemText(unsigned id, std::string_view text) override {
        writes.emplace_back(id, std::string(text));
        texts[id] = text;
    }

    std::map<unsigned, std::string> texts;
    std::vector<unsigned> reads;
    std::vector<std::pair<unsigned, std::string>> writes;
};

using Writes = std::vector<std::pair<unsigned, std::string>>;

TEST(PanelExchange, RefreshWritesEightFieldsInOrder) {
    ViewParams p;
    MoveRight(p);
    RecordingPanel panel;
    WritePanelFields(p, panel);
    const Writes expected = {
        {IDC_SHIFT_X, "0.010000"},   {IDC_SHIFT_Y, "0.000000"}, {IDC_ANGLE_X, "230"},
        {IDC_ANGLE_Y, "5"},          {IDC_ANGLE_Z, "57"},       {IDC_STRETCH_X, "0.500000"},
        {IDC_STRETCH_Y, "0.500000"}, {IDC_EXTENT, "0.000000"},
    };
    EXPECT_EQ(panel.writes, expected);
    EXPECT_TRUE(panel.reads.empty());

    // Angles are truncated toward zero; the perspective shows its sign.
    p.m_dAngleX = -3.7;
    p.m_dAngleY = 359.99;
    p.m_dAngleZ = std::numeric_limits<double>::quiet_NaN();
    PerspectiveMinus(p);
    WritePanelFields(p, panel);
    EXPECT_EQ(panel.texts[IDC_ANGLE_X], "-3");
    EXPECT_EQ(panel.texts[IDC_ANGLE_Y], "359");
    EXPECT_EQ(panel.texts[IDC_ANGLE_Z], "0");
    EXPECT_EQ(panel.texts[IDC_EXTENT], "-0.100000");
    EXPECT_EQ(panel.writes.size(), 16u);  // every field again, changed or not
}

TEST(PanelExchange, UpdateReadsDecimalsFirstThenAngles) {
    RecordingPanel panel;
    panel.texts = {
        {IDC_SHIFT_X, "2"},          {IDC_SHIFT_Y, " -0.25"},  {IDC_ANGLE_X, "-3"},
        {IDC_ANGLE_Y, "1000"},       {IDC_ANGLE_Z, "12.9"},    {IDC_STRETCH_X, "1.5e1xyz"},
        {IDC_STRETCH_Y, "0.750000"}, {IDC_EXTENT, "0.300000"},
    };
    ViewParams p;
    p.m_dStretchZ = 3.0;
    ReadPanelFields(panel, p);
    const std::vector<unsigned> order = {IDC_STRETCH_X, IDC_STRETCH_Y, IDC_SHIFT_X, IDC_SHIFT_Y,
                                         IDC_EXTENT,    IDC_ANGLE_X,   IDC_ANGLE_Y, IDC_ANGLE_Z};
    EXPECT_EQ(panel.reads, order);
    EXPECT_TRUE(panel.writes.empty());
    EXPECT_EQ(p.m_dShiftX, 2.0);
    EXPECT_EQ(p.m_dShiftY, -0.25);
    EXPECT_EQ(p.m_dStretchX, 15.0);
    EXPECT_EQ(p.m_dStretchY, 0.75);
    EXPECT_EQ(p.m_dAngleX, -3.0);
    EXPECT_EQ(p.m_dAngleY, 1000.0);
    EXPECT_EQ(p.m_dAngleZ, 12.0);
    EXPECT_EQ(p.m_dPerspective, 0.3);
    EXPECT_EQ(p.m_dStretchZ, 3.0);  // no field
    EXPECT_EQ(p.m_dShiftStep, 0.01);

    // A field that is not a number gives 0, and the refresh shows that 0.
    panel.texts[IDC_STRETCH_X] = "abc";
    ReadPanelFields(panel, p);
    EXPECT_EQ(p.m_dStretchX, 0.0);
    WritePanelFields(p, panel);
    EXPECT_EQ(panel.texts[IDC_STRETCH_X], "0.000000");
    EXPECT_EQ(panel.texts[IDC_SHIFT_X], "2.000000");  // canonical form after the refresh
}

TEST(PanelExchange, UpdateOnEmptyFieldsGivesZeros) {
    RecordingPanel panel;  // the fields as the template creates them
    ViewParams p;
    ReadPanelFields(panel, p);
    EXPECT_EQ(p.m_dShiftX, 0.0);
    EXPECT_EQ(p.m_dShiftY, 0.0);
    EXPECT_EQ(p.m_dStretchX, 0.0);
    EXPECT_EQ(p.m_dStretchY, 0.0);
    EXPECT_EQ(p.m_dAngleX, 0.0);
    EXPECT_EQ(p.m_dAngleY, 0.0);
    EXPECT_EQ(p.m_dAngleZ, 0.0);
    EXPECT_EQ(p.m_dPerspective, 0.0);
    EXPECT_EQ(p.m_dStretchZ, 0.5);
    EXPECT_EQ(p.m_dStretchFactor, 1.1);
    EXPECT_EQ(p.m_dAngleStep, 1.0);
}

TEST(PanelExchange, AppliedValuesFeedTheStepCommands) {
    RecordingPanel panel;
    ViewParams p;
    for (int i = 0; i < 6; ++i) {
        RotateYMinus(p);
    }
    WritePanelFields(p, panel);
    EXPECT_EQ(panel.texts[IDC_ANGLE_Y], "-1");
    ReadPanelFields(panel, p);  // "Update" without an edit
    EXPECT_EQ(p.m_dAngleY, -1.0);

    panel.texts[IDC_ANGLE_X] = "1000";
    panel.texts[IDC_ANGLE_Z] = "1000";
    ReadPanelFields(panel, p);
    RotateXPlus(p);
    RotateZMinus(p);
    WritePanelFields(p, panel);
    EXPECT_EQ(panel.texts[IDC_ANGLE_X], "641");
    EXPECT_EQ(panel.texts[IDC_ANGLE_Z], "999");

    // Out of the 32-bit range the field gives 0.
    panel.texts[IDC_ANGLE_X] = "3000000000";
    ReadPanelFields(panel, p);
    EXPECT_EQ(p.m_dAngleX, 0.0);

    ResetParams(p);
    for (int i = 0; i < 100; ++i) {
        MoveRight(p);
    }
    WritePanelFields(p, panel);
    EXPECT_EQ(panel.texts[IDC_SHIFT_X], "1.000000");
}

TEST(PanelExchange, CentreSubtractsTheIntegerMidpoints) {
    ViewParams p;
    p.m_dShiftX = 0.25;
    CentreOnBounds(p, BoundsRect{});  // the box nothing ever sets
    EXPECT_EQ(p.m_dShiftX, 0.25);
    EXPECT_EQ(p.m_dShiftY, 0.0);

    // left, right, top, bottom: X from left and right, Y from bottom and top.
    CentreOnBounds(p, BoundsRect{-11, 0, 4, -3});
    EXPECT_EQ(p.m_dShiftX, 5.25);
    EXPECT_EQ(p.m_dShiftY, -1.0);

    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    ViewParams q;
    CentreOnBounds(q, BoundsRect{kMax, kMin, kMax, kMin});
    EXPECT_EQ(q.m_dShiftX, 1.0);
    EXPECT_EQ(q.m_dShiftY, 0.0);
}

TEST(PanelExchange, TextsStayCanonicalOverManySteps) {
    void (*const steps[])(ViewParams&) = {
        MoveRight,   MoveLeft,     MoveUp,          MoveDown,         ZoomIn,
        ZoomOut,     RotateXPlus,  RotateXMinus,    RotateYPlus,      RotateYMinus,
        RotateZPlus, RotateZMinus, PerspectivePlus, PerspectiveMinus,
    };
    const unsigned fixedFields[] = {IDC_SHIFT_X, IDC_SHIFT_Y, IDC_STRETCH_X, IDC_STRETCH_Y,
                                    IDC_EXTENT};
    const unsigned angleFields[] = {IDC_ANGLE_X, IDC_ANGLE_Y, IDC_ANGLE_Z};
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(steps)) - 1);
    ViewParams p;
    RecordingPanel panel;
    for (int i = 0; i < 10000; ++i) {
        steps[pick(rng)](p);
        WritePanelFields(p, panel);
        for (unsigned id : fixedFields) {
            const std::string& text = panel.texts[id];
            ASSERT_EQ(FormatFixed(ParseDecimal(text)), text) << "step " << i << " field " << id;
        }
        for (unsigned id : angleFields) {
            const std::string& text = panel.texts[id];
            ASSERT_EQ(FormatSignedInt(ParseSignedInt(text)), text) << "step " << i;
        }
        // The rotate wrap keeps every angle within one turn of zero.
        ASSERT_LE(std::abs(p.m_dAngleX), 361.0);
        ASSERT_LE(std::abs(p.m_dAngleY), 361.0);
        ASSERT_LE(std::abs(p.m_dAngleZ), 361.0);
    }
    // "Update" on the panel's own texts rewrites the same texts.
    const auto before = panel.texts;
    ReadPanelFields(panel, p);
    WritePanelFields(p, panel);
    EXPECT_EQ(panel.texts, before);
}

TEST(PanelExchange, GermanLocaleGivesTheSameTexts) {
    GermanLocale german;
    ASSERT_TRUE(german.active()) << "de_DE.UTF-8 missing: run scripts/install-deps.sh";
    ViewParams p;
    MoveRight(p);
    ZoomIn(p);
    PerspectiveMinus(p);
    RecordingPanel panel;
    WritePanelFields(p, panel);
    EXPECT_EQ(panel.texts[IDC_SHIFT_X], "0.010000");
    EXPECT_EQ(panel.texts[IDC_STRETCH_X], "0.550000");
    EXPECT_EQ(panel.texts[IDC_EXTENT], "-0.100000");
    ViewParams back;
    ReadPanelFields(panel, back);
    EXPECT_EQ(back.m_dShiftX, 0.01);
    EXPECT_EQ(back.m_dStretchY, 0.55);
    EXPECT_EQ(back.m_dPerspective, -0.1);
}

}  // namespace
