// The program's texts are UTF-8, Qt's are UTF-16: the one conversion between them.
#pragma once

#include <QString>

#include <string_view>

namespace kavelo::platform::widgets {

inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A null text is an empty one.
inline QString FromUtf8(const char* text) {
    return text != nullptr ? FromUtf8(std::string_view(text)) : QString();
}

}  // namespace kavelo::platform::widgets
