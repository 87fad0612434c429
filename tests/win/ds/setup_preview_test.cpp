// A user with the mouse on the preview: drawing, resizing and moving the
// scan frame, scan regions, the paper line, the zoom tool and panning, and
// what the window shows over each place.
#include "tests/win/ds/setup_fixture.h"

#include "ds/ui/preview_geometry.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

class SetupPreviewTest : public SetupWindowTest {
protected:
    // Points of the picture, in pixels from its top left corner.
    LPARAM At(int32_t x, int32_t y) const {
        return MAKELPARAM(g_setup.PreviewArea.left + x, g_setup.PreviewArea.top + y);
    }
    void Press(int32_t x, int32_t y, bool right = false) {
        SendMessageA(window_, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, 0, At(x, y));
    }
    void MoveTo(int32_t x, int32_t y) { SendMessageA(window_, WM_MOUSEMOVE, 0, At(x, y)); }
    void Release(int32_t x, int32_t y, bool right = false) {
        SendMessageA(window_, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, At(x, y));
    }
    // A drag in a few steps, as a hand moves.
    void Drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool right = false) {
        Press(x0, y0, right);
        for (int i = 1; i <= 4; ++i) MoveTo(x0 + (x1 - x0) * i / 4, y0 + (y1 - y0) * i / 4);
        Release(x1, y1, right);
    }
    // The frame, relative to the picture.
    PixelRect Frame() const {
        const PixelRect& f = g_setup.FrameRect;
        const PixelRect& a = g_setup.PreviewArea;
        return {f.left - a.left, f.top - a.top, f.right - a.left, f.bottom - a.top};
    }
    void SetFrame(int32_t l, int32_t t, int32_t r, int32_t b) {
        const PixelRect& a = g_setup.PreviewArea;
        g_setup.FrameRect = {a.left + l, a.top + t, a.left + r, a.top + b};
    }
    int RegionsInUse() const {
        int n = 0;
        for (const ScanRegion& r : g_setup.ScanRegions) n += r.inUse ? 1 : 0;
        return n;
    }
    // The native image of a scan of the frame as it stands.
    std::vector<uint8_t> ScanNative() {
        Click(1001);
        EXPECT_EQ(g_session.state, kState6XferReady);
        std::vector<uint8_t> image;
        TW_HANDLE h = nullptr;
        EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h), TWRC_XFERDONE);
        if (h) {
            auto* bytes = static_cast<uint8_t*>(GlobalLock(h));
            image.assign(bytes, bytes + GlobalSize(h));
            GlobalUnlock(h);
            GlobalFree(h);
        }
        EndTransfer();
        return image;
    }

};

TEST_F(SetupPreviewTest, AFrameDrawnBackwardsIsOrderedAndScansTheOrderedArea) {
    UseLog();
    ASSERT_TRUE(OpenWindow(TWSX_NATIVE));
    SetFrame(150, 5, 160, 10);  // out of the way
    Drag(120, 110, 20, 30);
    EXPECT_EQ(Frame(), (PixelRect{20, 30, 120, 110}));
    const std::vector<uint8_t> backwards = ScanNative();
    const std::string start = LastStart();
    Drag(20, 130, 120, 190);  // a new frame replaces the old one
    Drag(20, 30, 120, 110);
    EXPECT_EQ(Frame(), (PixelRect{20, 30, 120, 110}));
    EXPECT_EQ(ScanNative(), backwards);
    EXPECT_EQ(LastStart(), start);
}

TEST_F(SetupPreviewTest, TheFrameStopsAtTheBorderAndAMoveKeepsItsSize) {
    ASSERT_TRUE(OpenWindow());
    SetFrame(40, 40, 100, 90);
    const PixelRect& a = g_setup.PreviewArea;
    Drag(100, 90, 500, 800);  // the bottom right corner, far out
    EXPECT_EQ(Frame(), (PixelRect{40, 40, a.Width(), a.Height()}));
    Drag(40, 60, -300, 60);  // the left edge
    EXPECT_EQ(Frame().left, 0);
    SetFrame(40, 40, 100, 90);
    Drag(70, 65, -400, -400, true);  // moved with the right button
    EXPECT_EQ(Frame(), (PixelRect{0, 0, 60, 50}));
    Drag(30, 25, 1000, 1000, true);
    EXPECT_EQ(Frame(), (PixelRect{a.Width() - 61, a.Height() - 51, a.Width() - 1, a.Height() - 1}));
}

TEST_F(SetupPreviewTest, InGrayNoRegionIsDrawnAndALeftDragInsideMovesTheFrame) {
    ASSERT_TRUE(OpenWindow());
    SetFrame(40, 40, 100, 90);
    Drag(60, 60, 75, 70);
    EXPECT_EQ(Frame(), (PixelRect{55, 50, 115, 100}));
    EXPECT_EQ(RegionsInUse(), 0);
}

TEST_F(SetupPreviewTest, RegionsInLineArtWrapAfterFourAndGoWithAResize) {
    ASSERT_TRUE(OpenWindow());
    Choose(1022, 0);
    SetFrame(10, 10, 150, 200);
    const int32_t boxes[5][4] = {{20, 20, 40, 40}, {50, 20, 70, 40}, {80, 20, 100, 40},
                                 {110, 20, 130, 40}, {20, 100, 60, 150}};
    for (const auto& b : boxes) Drag(b[0], b[1], b[2], b[3]);
    EXPECT_EQ(RegionsInUse(), 4);
    const PixelRect fifth = g_setup.ScanRegions[0].rect;
    EXPECT_EQ(OrderedRect(fifth).Width(), 40) << "the fifth region replaced the first";
    EXPECT_EQ(OrderedRect(g_setup.ScanRegions[1].rect).left, g_setup.PreviewArea.left + 50);

    // A region beyond the frame stops at its edge, one pixel inside.
    Drag(20, 160, 400, 400);
    EXPECT_EQ(OrderedRect(g_setup.ScanRegions[1].rect).right, g_setup.FrameRect.right - 1);

    // A right click on a region clears it and moves nothing.
    const PixelRect frame = Frame();
    Press(30, 120, true);
    Release(30, 120, true);
    EXPECT_EQ(g_setup.ScanRegions[0].inUse, 0);
    EXPECT_EQ(Frame(), frame);

    Drag(150, 100, 140, 100);  // the frame's right edge
    EXPECT_EQ(RegionsInUse(), 0) << "a resized frame drops its regions";
}

TEST_F(SetupPreviewTest, ThePaperLineClipsTheFrameAndClearsTheRegions) {
    ASSERT_TRUE(OpenWindow());
    Choose(1022, 1);
    SetFrame(10, 10, 150, 200);
    Drag(20, 150, 60, 190);
    ASSERT_EQ(RegionsInUse(), 1);
    const PixelRect slider = PaperSliderRect(ControlRect(1059), g_setup.PreviewArea.bottom);
    const POINT grip{(slider.left + slider.right) / 2, (slider.top + slider.bottom) / 2};
    const int32_t before = g_setup.paperPosition;
    SendMessageA(window_, WM_LBUTTONDOWN, 0, MAKELPARAM(grip.x, grip.y));
    SendMessageA(window_, WM_MOUSEMOVE, 0, MAKELPARAM(grip.x, grip.y - 60));
    SendMessageA(window_, WM_LBUTTONUP, 0, MAKELPARAM(grip.x, grip.y - 60));
    EXPECT_EQ(g_setup.paperPosition, before - 60);
    EXPECT_EQ(g_setup.FrameRect.bottom, g_setup.PreviewArea.bottom);
    EXPECT_EQ(RegionsInUse(), 0);

    // The line stops at 4 of the 14 inches.
    const PixelRect s2 = PaperSliderRect(ControlRect(1059), g_setup.PreviewArea.bottom);
    const int32_t y = (s2.top + s2.bottom) / 2;
    SendMessageA(window_, WM_LBUTTONDOWN, 0, MAKELPARAM(grip.x, y));
    SendMessageA(window_, WM_MOUSEMOVE, 0, MAKELPARAM(grip.x, y - 1000));
    SendMessageA(window_, WM_LBUTTONUP, 0, MAKELPARAM(grip.x, y - 1000));
    EXPECT_EQ(g_setup.paperPosition, g_setup.previewHeight * 4 / 14);
}

TEST_F(SetupPreviewTest, AScanAfterZoomingPanningAndReframingScansWhatTheUserSees) {
    UseLog();
    ASSERT_TRUE(OpenWindow());
    ClickDrawn(1114);
    ASSERT_TRUE(g_setup.zoomTool);
    Press(100, 80);
    Release(100, 80);
    ASSERT_EQ(g_setup.ZoomMode, kZoomMagnified);
    ClickDrawn(1114);  // the tool is put away; the view stays magnified
    const int32_t zx = g_setup.zoomX;
    // Panning right for three ticks from the right edge.
    Press(g_setup.PreviewArea.Width(), 100);
    for (int i = 0; i < 3; ++i) SendMessageA(window_, WM_TIMER, kPanTimer, 0);
    Release(g_setup.PreviewArea.Width(), 100);
    EXPECT_EQ(g_setup.zoomX, std::min(zx + 9, g_setup.previewWidth / 2));
    const int32_t ox = g_setup.zoomX, oy = g_setup.zoomY;
    Drag(30, 40, 90, 120);
    g_setup.ZoomMode = kZoomMagnified;  // whatever one repaint showed
    Click(1001);
    ASSERT_EQ(g_session.state, kState6XferReady);
    // The frame the user drew covers picture pixels from (30 / 2 + ox, 40 / 2 + oy),
    // 30 x 40 of them.
    const double x = g_setup.InchesPerPixelX * 600, y = 14.0 / g_setup.previewHeight * 600;
    const int32_t left = 15 + ox, top = 20 + oy;
    EXPECT_EQ(StartFrame(),
              (std::array<unsigned, 4>{static_cast<unsigned>(left * x), static_cast<unsigned>(top * y),
                                       static_cast<unsigned>((left + 30) * x),
                                       static_cast<unsigned>((top + 40) * y)}));
}

struct Place {
    const char* name;
    int32_t x, y;  // from the picture's top left corner
    int hint;
};

TEST_F(SetupPreviewTest, HintsAndCursorsFollowTheMouse) {
    ASSERT_TRUE(OpenWindow());
    SetFrame(40, 40, 100, 90);
    const Place places[] = {
        {"top left corner", 40, 40, 703},  {"top edge", 70, 41, 702},
        {"top right corner", 100, 39, 704}, {"right edge", 101, 60, 708},
        {"bottom right corner", 99, 90, 707}, {"bottom edge", 70, 91, 705},
        {"bottom left corner", 41, 89, 706}, {"inside", 70, 60, 709},
        {"on the picture", 20, 150, 0},
    };
    for (const Place& p : places) {
        MoveTo(p.x, p.y);
        EXPECT_EQ(g_setup.hint, p.hint) << p.name;
    }
    MoveTo(70, 60);
    EXPECT_NE(g_setup.pointer, nullptr);
    const HCURSOR moveHand = g_setup.pointer;
    Choose(1022, 0);
    MoveTo(70, 61);
    EXPECT_EQ(g_setup.hint, 712) << "LineArt draws regions inside the frame";
    EXPECT_NE(g_setup.pointer, moveHand);

    const PixelRect slider = PaperSliderRect(ControlRect(1059), g_setup.PreviewArea.bottom);
    SendMessageA(window_, WM_MOUSEMOVE, 0,
                 MAKELPARAM((slider.left + slider.right) / 2, (slider.top + slider.bottom) / 2));
    EXPECT_EQ(g_setup.hint, 701);
    for (const auto& [id, hint] : {std::pair{1111, 601}, {1110, 602}, {1112, 603}, {1114, 713}}) {
        const PixelRect r = ControlRect(id);
        SendMessageA(window_, WM_MOUSEMOVE, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        EXPECT_EQ(g_setup.hint, hint) << id;
    }

    // With the zoom tool every place on the picture zooms.
    ClickDrawn(1114);
    MoveTo(70, 60);
    EXPECT_EQ(g_setup.hint, 713);
    EXPECT_TRUE(g_setup.zoomAreaShown) << "the area a click would magnify";
    ClickDrawn(1114);
    MoveTo(70, 61);
    EXPECT_FALSE(g_setup.zoomAreaShown);
}
