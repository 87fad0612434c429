// The level dialog of one LevelDiag call, shared by the files of the
// module: the record it edits and the drawing of the histogram and the
// marker bar.
#pragma once

#include <windows.h>

#include "common/tone_blocks.h"
#include "level/level_picture.h"
#include "level/level_rules.h"

#include <optional>
#include <vector>

extern HINSTANCE g_module;

// The picture on display, read and counted by the module itself.
struct LevelPicture {
    std::vector<uint8_t> pixels;  // bottom-up rows padded to 4 bytes
    uint32_t width = 0, height = 0;
    bool colour = true;
    bool sample = false;
    PictureStatistics statistics;
};

// Made fresh by every LevelDiag.
struct LevelDialog {
    LevelBlock block{};
    LevelBlock received{};
    uint16_t language = 0;  // 0 to 2: the languages the module speaks
    LevelChannel channel = LevelChannel::Rgb;
    bool prescanAtOpen = false;
    bool paletteScreen = false;
    std::optional<Marker> held;
    int heldFrom = 0;  // the mouse x the held marker last moved with
    HBITMAP markers[3] = {};
    SIZE markerSize{};
    HCURSOR hand = nullptr;
    HBRUSH brush = nullptr;
    LevelPicture picture;
    bool renderStale = true;
    PreviewImage rendering{};
    PreviewRect area{}, image{};
};
extern LevelDialog g;

// Control ids.
constexpr int kChannelList = 7000, kShadowText = 7003, kMidtoneText = 7004, kHighlightText = 7005;
constexpr int kRatioText = 7022, kHistogram = 7027, kPictureArea = 7028, kMarkerBar = 7029;
constexpr int kSample = 7012, kPrescan = 7013;
constexpr int kOk = 7006, kCancel = 7007, kReset = 7019, kAuto = 7009, kHelp = 7008;
constexpr int kPictureFrame = 7033;

LevelGroup& ShownGroup();
RECT ItemRect(HWND dialog, int id);

// The histogram with its response curve, and the marker bar with its
// markers, drawn off screen and put on the dialog in one piece.
void PaintLevels(HWND dialog, HDC dc);
void RedrawLevels(HWND dialog);
