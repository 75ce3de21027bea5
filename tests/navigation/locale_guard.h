// Runs a test body under the German locale, where the decimal separator is a comma.
#pragma once

#include <gtest/gtest.h>

#include <clocale>

namespace kavelo::test {

class GermanLocale {
  public:
    GermanLocale() : active_(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {}
    ~GermanLocale() { std::setlocale(LC_ALL, "C"); }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;
    bool active() const { return active_; }

  private:
    bool active_;
};

}  // namespace kavelo::test
