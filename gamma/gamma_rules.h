// The arithmetic of the gamma curve dialog: control points from a source
// curve, the gamma-value transform of their inputs, the table through the
// points, which tone tables a channel writes, the gamma value rule, the
// curve menu, point grabbing and dragging, and the curve file text.
//
// Pure computation: no Windows header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

using GammaCurve = std::array<uint8_t, 256>;

// The built-in curves are numbered 1 to 19; 39 stands for a user-defined
// curve; any number outside 1..19 uses the first, "STANDARD".
constexpr int kFirstCurve = 1;
constexpr int kLastCurve = 19;
constexpr int kUserDefinedCurve = 39;
// The resource name of a built-in curve (a number outside 1..19 gives
// "STANDARD").
const char* CurveResourceName(int number);

// The curve groups of the menu and the string (n) that names each.
enum class CurveGroup { Standard, Monitor, LaserJet, PaintJet };
CurveGroup GroupOf(int number);
int GroupStringId(CurveGroup group);  // 10, 12, 13, 14

// A control point: x input, y output, both 0..255.
struct CurvePoint {
    int x = 0, y = 0;
    bool operator==(const CurvePoint&) const = default;
};
constexpr int kPointCount = 10;
using ControlPoints = std::array<CurvePoint, kPointCount>;

// P0..P8 at x = 30k, P9 at x = 255, each with the source curve's output.
ControlPoints PointsOf(const GammaCurve& source);
// x -> floor(255 (x / 255)^gamma + 0.5), kept to 8 bits.
int GammaInput(int x, double gamma);
// The inputs of every point through GammaInput; P9 stays at 255. A gamma
// of 1.0 changes nothing.
void ApplyGammaValue(ControlPoints& points, double gamma);
// The table through the points, straight between neighbours.
GammaCurve TableThrough(const ControlPoints& points);

// The channel buttons; their ids are the channel codes the data source
// takes back.
enum class GammaChannel { Rgb = 2007, Red = 2008, Green = 2009, Blue = 2010, Gray = 2011 };
bool IsColourChannel(GammaChannel channel);
// Index into per-channel state: 0 RGB, 1 red, 2 green, 3 blue, 4 grey.
int ChannelIndex(GammaChannel channel);
// Offsets of the gamma set (the second set of four) in the tone tables.
constexpr size_t kGammaBlue = 1024, kGammaGreen = 1280, kGammaRed = 1536, kGammaGrey = 1792;
constexpr size_t kToneTableBytes = 3072;
// Writes the table into the gamma tables of the channel: RGB into red,
// green and blue, another channel into its own.
void WriteChannelCurve(uint8_t* toneTables, GammaChannel channel, const GammaCurve& table);
// The preview tables (first set, blue green red grey) followed by the
// gamma tables: entry v of each becomes gamma[preview[v]], so that a
// picture rendered through the result shows both.
std::array<uint8_t, 1024> ComposedPreviewTables(const uint8_t* toneTables);

// The gamma value of a text: a decimal number ("1.0", "2", ".5"), blanks
// around it allowed; nothing for any other text.
std::optional<double> ReadGammaValue(const std::string& text);
// The value the "GammaValue" dialog accepts: 0.1 <= x < 8.0.
bool IsAcceptedGammaValue(const std::string& text);
// The gamma a curve is built with: the text's value when accepted, else 1.0.
double GammaOf(const std::string& text);

// Menu commands of the curve menu: 2100 + the curve number, and the gamma
// value item.
constexpr int kCurveMenuBase = 2100;
constexpr int kGammaValueItem = 2120;
inline int CurveMenuItem(int number) { return kCurveMenuBase + number; }
// The curve number of a menu command, or nothing.
std::optional<int> CurveOfMenuItem(int item);

// A point's place in a curve area of W x H pixels: x W / 256 from the
// left, y H / 256 up from the bottom (output 0 on the area's last line).
struct ScreenPoint {
    int x = 0, y = 0;
};
ScreenPoint ToScreen(const CurvePoint& p, int width, int height);
// The first point within `tolX` horizontally and `tolY` vertically of the
// mouse (area coordinates), or nothing.
std::optional<int> GrabbedPoint(const ControlPoints& points, int mouseX, int mouseY, int width,
                                int height, int tolX, int tolY);
// Moves point k to the mouse: y = (H - mouse y) 256 / H with the mouse held
// inside the area and the result to 0..255; x = mouse x 256 / W only for
// P1..P8 and only strictly between the neighbours' inputs (P0 and P9 move
// only vertically).
void DragPoint(ControlPoints& points, int k, int mouseX, int mouseY, int width, int height);

// The curve file text: 128 tokens "0x" + entry 2j+1 + entry 2j in
// lower-case hex, separated by ","; a line break after the tokens of
// j = 8, 16, ..., 120 and after the last.
std::string CurveFileText(const GammaCurve& table);
// Reads a curve file into `curve`: "0x", ",", line ends and blanks are
// skipped, the other characters are taken two at a time as a hex byte,
// odd ones first (entry 2j+1, then 2j). Reading stops at 256 entries, at
// the end of the data or at a character that is not a hex digit; entries
// not reached keep their values. Returns the number of entries read.
int ReadCurveFile(const uint8_t* data, size_t size, GammaCurve& curve);
// Files longer than this are not curve files; only this much is read.
constexpr size_t kCurveFileLimit = 64 * 1024;
