// The committed pictures in tests/data/pictures, and how a drawn picture is held against one.
#pragma once

#include <QImage>
#include <QString>

#include <cstdlib>
#include <string>

#include "gl_test_support.h"

namespace kavelo::test {

inline constexpr int kGoldenLevels = 3;  // a channel may move this far and still count as equal
inline constexpr double kGoldenShare = 0.01;  // of the covered pixels that may differ

inline QImage ToImage(const Picture& p) {
    return QImage(p.rgba.data(), p.width, p.height, p.width * 4, QImage::Format_RGBX8888)
        .convertToFormat(QImage::Format_RGB32);
}

// The committed picture `name` (as "input-first"), or a null image when there is none.
inline QImage GoldenPicture(const std::string& name) {
    return QImage(QString::fromStdString(std::string(KAVELO_TEST_DATA_DIR "/pictures/") + name +
                                         ".png"))
        .convertToFormat(QImage::Format_RGB32);
}

// Pixels that differ by more than kGoldenLevels in some channel, and pixels that are not black in
// either picture.
struct Comparison {
    int different = 0;
    int covered = 0;
};

inline Comparison Compare(const QImage& golden, const QImage& now) {
    Comparison c;
    for (int y = 0; y < golden.height(); ++y) {
        for (int x = 0; x < golden.width(); ++x) {
            const QRgb a = golden.pixel(x, y);
            const QRgb b = now.pixel(x, y);
            c.covered += (a & 0xFFFFFF) != 0 || (b & 0xFFFFFF) != 0 ? 1 : 0;
            c.different += std::abs(qRed(a) - qRed(b)) > kGoldenLevels ||
                                   std::abs(qGreen(a) - qGreen(b)) > kGoldenLevels ||
                                   std::abs(qBlue(a) - qBlue(b)) > kGoldenLevels
                               ? 1
                               : 0;
        }
    }
    return c;
}

// Whether `now` is the committed picture `name`, with at most `share` of the covered pixels off.
inline ::testing::AssertionResult MatchesGolden(const QImage& now, const std::string& name,
                                                double share = kGoldenShare) {
    const QImage golden = GoldenPicture(name);
    if (golden.size() != now.size()) {
        return ::testing::AssertionFailure()
               << name << ": " << golden.width() << "x" << golden.height() << " committed, "
               << now.width() << "x" << now.height() << " drawn";
    }
    const Comparison d = Compare(golden, now);
    if (d.different > share * d.covered) {
        return ::testing::AssertionFailure()
               << name << ": " << d.different << " of " << d.covered << " covered pixels differ";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace kavelo::test
