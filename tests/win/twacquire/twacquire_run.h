// Running twacquire as a user would: a separate process whose output is
// read through pipes, against the installed data source and the virtual
// scanner, writing into a folder of its own that each test empties again.
#pragma once

#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace twtest {

inline constexpr char kScanner[] = "VirtualScanner";

using wintest::ProgramRun;

// Runs the built twacquire with `arguments` and waits for it (at most a
// minute; a program still running then is ended and the test fails).
ProgramRun RunTwacquire(const std::string& arguments,
                        const std::function<void()>& whileRunning = {});

// What a reader sees first in an image file.
struct ImageHeader {
    std::string format;  // "TIFF", "BMP", "PNG", "JPEG", "PDF", or empty for anything else
    uint32_t width = 0;
    uint32_t height = 0;
    int bitsPerPixel = 0;  // JPEG, PDF: 0 (the Linux readers look further)
    int pages = 0;         // TIFF: directories in the chain
};
ImageHeader ReadImageHeader(const std::string& path);

class TwacquireTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path in this test's output folder.
    std::string Out(const std::string& name) const { return folder_ + "\\" + name; }
    // The names of the files in the output folder, sorted.
    std::vector<std::string> Files() const;

    wintest::WinIniKeys ini_;
    std::string folder_;
};

}  // namespace twtest
