// The gamma curve dialog of one GammaDiag call, shared by the files of the
// module: the record it edits, the drawing of the curve area, the curve
// files and the gamma value dialog.
#pragma once

#include <windows.h>

#include "common/tone_blocks.h"
#include "common/tone_dialog_win.h"
#include "gamma/gamma_rules.h"

#include <optional>
#include <string>

extern HINSTANCE g_module;

// Made fresh by every GammaDiag.
struct GammaDialog {
    GammaBlock block{};
    GammaBlock received{};
    uint16_t language = 0;
    GammaChannel channel = GammaChannel::Rgb;
    int current = 1;              // the curve number in use
    int numbers[5] = {};          // per channel: the curve chosen (0 "STANDARD")
    std::string gammaText[5];     // per channel: the gamma value as typed
    bool gammaValueType = false;  // the curve comes from the gamma value
    bool userDefined = false;
    std::optional<GammaCurve> loaded;  // the curve of the last file read
    ControlPoints points{};
    GammaCurve table{};
    // What is on the screen, for erasing it.
    ControlPoints drawn{};
    bool drawnHandles = false;
    bool haveDrawn = false;
    std::optional<int> dragging;
    HCURSOR hand = nullptr;
    HBRUSH brush = nullptr;
    tone::Viewer viewer;
    tone::Picture picture;
    bool prescanAtOpen = false;
    bool renderStale = true;
    PreviewImage rendering{};
    PreviewRect area{}, image{};
};
extern GammaDialog g;

// Control ids.
constexpr int kOk = 2002, kCancel = 2003, kReset = 2012, kHelp = 2053, kLoad = 2054, kSave = 2055;
constexpr int kUserDefined = 2020, kTypeButton = 2022;
constexpr int kSample = 2051, kPrescan = 2052;
constexpr int kPictureArea = 2056, kCurveArea = 2057, kInputBar = 2058, kOutputBar = 2059;
constexpr int kChannelFrame = 2060, kPictureFrame = 2061;

// A string of the module, n + 30 x the language.
std::string Text(int n);
// A stop box with string n.
void ShowStopText(HWND owner, int n);

// ---- The curve area ------------------------------------------------------------
// Its rectangle in the dialog's client coordinates.
RECT CurveAreaRect(HWND dialog);
// The grab tolerance and the handle size: a quarter of the horizontal and
// an eighth of the vertical dialog base unit.
SIZE HandleUnit(HWND dialog);
// Background, axis bars and the curve of the dialog's points.
void PaintCurveArea(HWND dialog, HDC dc);
// Erases the curve on the screen and draws the current one.
void RedrawCurve(HWND dialog);
// While point k is dragged from `before`: its two segments and its
// handle are erased and drawn again.
void RedrawDraggedPoint(HWND dialog, int k, const ControlPoints& before);

// The curve the points come from: the file just read, else the curve in
// use (for a curve of one's own, the one in the tone tables).
GammaCurve SourceCurve();

// ---- Curve files ---------------------------------------------------------------
// The Open and Save dialogs. Load: true when a curve was read into
// g.loaded.
bool RunLoadCurveDialog(HWND owner);
void RunSaveCurveDialog(HWND owner);
// Reads or writes a curve file; false when it cannot be (string 1 is the
// caller's to show).
bool ReadCurveFileAt(const std::string& path, GammaCurve& curve);
bool WriteCurveFileAt(const std::string& path, const GammaCurve& table);

// ---- The gamma value -----------------------------------------------------------
// Runs the "GammaValue" dialog over `owner` on `text`, which keeps what
// was typed whichever button closes it.
void RunGammaValueDialog(HWND owner, std::string& text);
