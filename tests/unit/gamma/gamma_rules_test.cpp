// The gamma dialog's arithmetic: the built-in curves as the module carries
// them, control points and the gamma value, the table through the points,
// the tone tables a channel writes, editing, and curve files.
#include "gamma/gamma_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

GammaCurve BuiltIn(int number) {
    std::ifstream file(std::string(PAVO_CURVE_DIR) + "/" + CurveResourceName(number) + ".bin",
                       std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    GammaCurve curve{};
    EXPECT_EQ(bytes.size(), 256u) << CurveResourceName(number);
    std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), 256), curve.begin());
    return curve;
}

std::vector<int> Outputs(const ControlPoints& points) {
    std::vector<int> ys;
    for (const CurvePoint& p : points) ys.push_back(p.y);
    return ys;
}

std::vector<int> Inputs(const ControlPoints& points) {
    std::vector<int> xs;
    for (const CurvePoint& p : points) xs.push_back(p.x);
    return xs;
}

GammaCurve Ramp() {
    GammaCurve c;
    for (int i = 0; i < 256; ++i) c[i] = static_cast<uint8_t>(i);
    return c;
}

}  // namespace

TEST(BuiltInCurves, CarryTheTenValuesOfTheirMenuEntries) {
    struct Case {
        int number;
        std::vector<int> ys;
    } cases[] = {
        {1, {0, 30, 60, 90, 120, 150, 181, 210, 240, 255}},
        {2, {23, 102, 122, 139, 156, 177, 198, 220, 243, 255}},
        {7, {0, 38, 81, 120, 146, 158, 166, 176, 186, 190}},
        {13, {0, 55, 101, 132, 146, 158, 166, 176, 186, 190}},
        {19, {0, 55, 101, 132, 146, 158, 166, 176, 186, 190}},  // PaintJet = LaserJet
        {39, {0, 30, 60, 90, 120, 150, 181, 210, 240, 255}},    // not built in: STANDARD
    };
    for (const Case& c : cases) EXPECT_EQ(Outputs(PointsOf(BuiltIn(c.number))), c.ys) << c.number;
    for (int n = 8; n <= 13; ++n) EXPECT_EQ(BuiltIn(n), BuiltIn(n + 6)) << n;
    const GammaCurve standard = BuiltIn(1);
    EXPECT_EQ(standard[20], 21);
    EXPECT_EQ(standard[21], 20);
    EXPECT_EQ(standard[4], 4) << "k starts at 1";
    EXPECT_EQ(GroupOf(7), CurveGroup::Monitor);
    EXPECT_EQ(GroupStringId(GroupOf(14)), 14);
    EXPECT_EQ(GroupStringId(GroupOf(39)), 10);
}

TEST(ChannelCurve, DarkenHilightsOnRgbWritesTheColourGammaTablesOnly) {
    std::vector<uint8_t> tables(kToneTableBytes, 0x5A);
    const GammaCurve table = TableThrough(PointsOf(BuiltIn(7)));
    WriteChannelCurve(tables.data(), GammaChannel::Rgb, table);
    for (size_t at : {kGammaBlue, kGammaGreen, kGammaRed}) {
        EXPECT_EQ(tables[at + 255], 190) << at;
        EXPECT_TRUE(std::equal(table.begin(), table.end(), tables.begin() + at));
    }
    EXPECT_TRUE(std::all_of(tables.begin(), tables.begin() + kGammaBlue, [](uint8_t v) { return v == 0x5A; }))
        << "the preview tables are not the gamma module's";
    EXPECT_TRUE(std::all_of(tables.begin() + kGammaGrey, tables.end(), [](uint8_t v) { return v == 0x5A; }))
        << "grey and the level set stay";

    std::fill(tables.begin(), tables.end(), 0);
    WriteChannelCurve(tables.data(), GammaChannel::Green, table);
    EXPECT_EQ(tables[kGammaGreen + 255], 190);
    EXPECT_EQ(tables[kGammaRed + 255], 0);
    EXPECT_EQ(tables[kGammaBlue + 255], 0);
}

TEST(ControlPoints, SitOnTheGridAndMoveWithTheGammaValue) {
    ControlPoints points = PointsOf(Ramp());
    const std::vector<int> grid{0, 30, 60, 90, 120, 150, 180, 210, 240, 255};
    ApplyGammaValue(points, GammaOf("1.0"));
    EXPECT_EQ(Inputs(points), grid);
    ApplyGammaValue(points, GammaOf("2"));
    EXPECT_EQ(points[1].x, 4) << "gamma 2 brightens";
    EXPECT_EQ(points[0].x, 0);
    EXPECT_EQ(points[9].x, 255);
    EXPECT_EQ(Outputs(points), grid) << "outputs stay";

    ControlPoints kept = PointsOf(Ramp());
    ApplyGammaValue(kept, GammaOf("9.5"));  // not accepted: read as 1.0
    EXPECT_EQ(Inputs(kept), grid);
}

TEST(TableThrough, RoundsEachSegmentAndSkipsVerticalOnes) {
    ControlPoints points = PointsOf(Ramp());
    EXPECT_EQ(TableThrough(points), Ramp()) << "the grid through a ramp is the ramp";

    // 0..30 rising to 10: t = 10/30 (i) + 0.5, truncated.
    points[1] = {30, 10};
    GammaCurve t = TableThrough(points);
    EXPECT_EQ(t[1], 0);
    EXPECT_EQ(t[2], 1);
    EXPECT_EQ(t[15], 5);
    EXPECT_EQ(t[30], 10);
    // A falling segment: -4.5 is truncated toward zero.
    points[2] = {60, 0};
    t = TableThrough(points);
    EXPECT_EQ(t[45], 6);

    // Two points at the same input: the second segment starts there.
    ControlPoints flat = PointsOf(Ramp());
    flat[2].x = 30;
    flat[2].y = 200;
    t = TableThrough(flat);
    EXPECT_EQ(t[30], 200);
    EXPECT_EQ(t[255], 255);
}

TEST(GammaValue, OkOnlyFromATenthToBelowEight) {
    struct Case {
        const char* text;
        bool accepted;
    } cases[] = {
        {"0.1", true}, {"7.9", true}, {"1.0", true}, {" 2 ", true}, {".5", true},
        {"8", false}, {"8.0", false}, {"0.09", false}, {"0", false}, {"", false},
        {".", false},  {"abc", false}, {"1.2.3", false}, {"-1", false}, {"1e1", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsAcceptedGammaValue(c.text), c.accepted) << '"' << c.text << '"';
    EXPECT_DOUBLE_EQ(GammaOf("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(GammaOf("x"), 1.0);
}

TEST(Editing, GrabsTheFirstNearPointAndKeepsTheInputsInOrder) {
    ControlPoints points = PointsOf(Ramp());
    // A 256 x 256 area: point k sits at (x, 255 - y) or the last line.
    EXPECT_EQ(GrabbedPoint(points, 31, 224, 256, 256, 2, 2), 1);
    EXPECT_EQ(GrabbedPoint(points, 34, 226, 256, 256, 2, 2), std::nullopt);
    EXPECT_EQ(GrabbedPoint(points, 0, 255, 256, 256, 2, 2), 0) << "output 0 is on the last line";

    DragPoint(points, 1, 50, 128, 256, 256);
    EXPECT_EQ(points[1], (CurvePoint{50, 128}));
    DragPoint(points, 1, 70, 100, 256, 256);
    EXPECT_EQ(points[1], (CurvePoint{50, 156})) << "x may not pass the neighbour";
    DragPoint(points, 1, 10, -40, 256, 256);
    EXPECT_EQ(points[1], (CurvePoint{10, 255})) << "above the area is the top";
    DragPoint(points, 0, 90, 500, 256, 256);
    EXPECT_EQ(points[0], (CurvePoint{0, 0})) << "P0 moves only vertically";
    DragPoint(points, 9, 10, 0, 256, 256);
    EXPECT_EQ(points[9], (CurvePoint{255, 255}));
}

TEST(CurveFile, SavedTextReadsBackToTheSamePoints) {
    GammaCurve table = TableThrough(PointsOf(BuiltIn(3)));
    table[1] = 0xAB;
    const std::string text = CurveFileText(table);
    EXPECT_EQ(text.substr(0, 14), "0xab00,0x0403,") << "entry 1 first, lower case";
    // Nine tokens, then lines of eight; the last line ends the file.
    EXPECT_EQ(text.find("\r\n"), 9 * 7u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 16);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), ','), 127);

    GammaCurve read = Ramp();
    EXPECT_EQ(ReadCurveFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), read), 256);
    EXPECT_EQ(read, table);
    EXPECT_EQ(PointsOf(read), PointsOf(table));
}

TEST(CurveFile, DamagedFilesReadOnlyWhatTheyHold) {
    struct Case {
        const char* name;
        std::string text;
        int entries;
        std::vector<std::pair<int, int>> expected;  // entry, value
    } cases[] = {
        {"upper case", "0X1F2E,0xAbCd", 4, {{1, 0x1F}, {0, 0x2E}, {3, 0xAB}, {2, 0xCD}}},
        {"odd digit at the end", "0x1f2e,0x3", 2, {{1, 0x1F}, {0, 0x2E}, {3, 3}}},
        {"stops at a non-hex character", "0x1f2e,0xzz99", 2, {{3, 3}}},
        {"nothing readable", "hello", 0, {{0, 0}}},
        {"empty", "", 0, {{1, 1}}},
        {"separators only", ",,\r\n,,", 0, {{2, 2}}},
        {"binary", std::string("\x00\xff\x10", 3), 0, {{0, 0}}},
    };
    for (const Case& c : cases) {
        GammaCurve curve = Ramp();
        EXPECT_EQ(ReadCurveFile(reinterpret_cast<const uint8_t*>(c.text.data()), c.text.size(), curve),
                  c.entries)
            << c.name;
        for (auto [entry, value] : c.expected) {
            EXPECT_EQ(curve[entry], value) << c.name << " entry " << entry;
        }
        EXPECT_EQ(curve[255], 255) << c.name << ": entries not reached keep their values";
    }
    // A huge file: only the curve's worth is taken, the rest never read.
    std::string huge;
    while (huge.size() < 4 * kCurveFileLimit) huge += "0x0102,";
    GammaCurve curve = Ramp();
    EXPECT_EQ(ReadCurveFile(reinterpret_cast<const uint8_t*>(huge.data()), huge.size(), curve), 256);
    EXPECT_EQ(curve[0], 2);
    EXPECT_EQ(curve[255], 1);
}

TEST(CurveMenu, ItemsNameTheCurves) {
    EXPECT_EQ(CurveOfMenuItem(CurveMenuItem(7)), 7);
    EXPECT_EQ(CurveOfMenuItem(kGammaValueItem), std::nullopt);
    EXPECT_EQ(CurveOfMenuItem(CurveMenuItem(0)), std::nullopt);
}
