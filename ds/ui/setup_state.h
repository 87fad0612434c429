// The setup window's own state, beside `ScanSettings`: the preview and its
// geometry, the scan frame and regions, the source selection, the page size
// of the feeder, the resolution limits, the picture on display and the
// window's GDI objects. One module-wide instance, g_setup, and the
// procedures that the files of the window share.
#pragma once

#include <windows.h>

#include "common/preview_image.h"
#include "ds/ui/scan_frame.h"
#include "ds/ui/setup_rules.h"
#include "ds/ui/size_readout.h"

#include <cstdint>
#include <string>

// Film type, negative flag and adapter in use (0 glass, 1 transparency
// adapter, 2 feeder), handed to the prescan and the scan.
struct SourceSelection {
    uint16_t filmType = 0;
    uint16_t negative = 0;
    uint16_t adapterInUse = 0;
};

struct ScanRegion {
    PixelRect rect;
    int32_t inUse = 0;
};

// Zoom states of the preview.
constexpr uint16_t kZoomNormal = 0;
constexpr uint16_t kZoomMagnified = 1;
constexpr uint16_t kZoomShownNormalOnce = 2;

struct SetupDialogState {
    HWND window = nullptr;
    HBRUSH greyBrush = nullptr;
    HBITMAP bitmaps[14] = {};  // the drawn buttons' bitmaps, IDD_1 to IDD_G
    SizeTexts sizeTexts;       // the read-out's units in the window's language

    // The preview control (1057) in dialog coordinates, its size fixed at
    // start; the picture on it down to the paper-length line.
    PixelRect previewControl;
    int32_t previewWidth = 0, previewHeight = 0;
    PixelRect PreviewArea;
    int32_t paperPosition = 0;  // pixel count of the paper length, PreviewArea's height
    double InchesPerPixelX = 0, InchesPerPixelY = 0;

    PixelRect FrameRect;
    ScanRegion ScanRegions[4];
    int32_t nextRegion = 0;
    uint16_t ZoomMode = kZoomNormal;
    uint16_t savedZoomMode = kZoomNormal;
    bool zoomTool = false;
    int32_t zoomX = 0, zoomY = 0;
    int32_t DragMode = 0;
    int buttonState = 0;          // 1 left drag, 2 right drag
    POINT lastPoint{}, pressPoint{};
    bool rubberBand = false;      // a new frame or region follows the mouse
    bool zoomAreaShown = false;   // the inverted area a zoom click would magnify
    PixelRect zoomArea;
    int hint = -1;                // string id the status line shows as a hint
    HCURSOR pointer = nullptr;    // what the mouse shows over the zone it is in
    HCURSOR cursors[19] = {};     // one per Pointer, loaded with the window
    HFONT rulerFont = nullptr;
    int framePhase = 0;

    SourceSelection source;
    int paperCode = kPaperA4;
    ResolutionLimits limits{72, 600};
    ResolutionLimits initialLimits{72, 600};
    uint16_t initialResolution = 300;

    PreviewImage picture{};  // all zero: no picture
    OpenedBitmap opened{};   // the stored preview last opened

    bool scanRequested = false;  // from Scan until the host's transfer has ended
    bool prescanning = false;
    bool settingResolutionText = false;  // the window itself writes field 1025
    int pressedTool = 0;                 // zone of a drawn button held down, 0 none
};

extern SetupDialogState g_setup;

// Timers of the window.
constexpr UINT_PTR kOutlineTimer = 0;
constexpr UINT_PTR kPanTimer = 2;
constexpr UINT kTimerMillis = 200;

// ---- Shared by the window's files ------------------------------------------

// A scan or a prescan runs, or the host has an image to take or is taking
// it: nothing may change the settings under the engine then.
bool SetupBusy();
// Feeder mode: a feeder is fitted and enabled; the page-size buttons decide
// the area and the preview is not used.
bool FeederMode();
// The rectangle of a control in dialog client coordinates.
PixelRect ControlRect(int id);
RECT ToRect(const PixelRect& r);

// Restarts the outline animation and brings the window forward.
void ReactivateSetupWindow();
// The lists, fields and bars show the settings as they are.
void ShowSettingsInControls();
// Enables Scan and, outside feeder mode, Prescan.
void EnableScanButtons();
// Shows or hides the page-size buttons for feeder mode and sets what feeder
// mode disables.
void ApplyFeederVisibility();

// Recomputes the size read-out (controls 1042, 1044, 1046) and the image
// size the scan start checks the disk for.
void UpdateSizeDisplay();
// The read-out's unit texts of the current language.
SizeTexts ReadoutTexts();
// Sets a control's text when it differs from what the control shows.
void SetControlText(int id, const std::string& text);
// Puts `Resolution` into field 1025 and onto the resolution bar.
void ShowResolution();
// Recomputes the scaling limits and puts `Scaling` onto its bar and text.
void ShowScaling();
// Fills the two lists and selects the current mode and unit.
void SelectModeInList();
void SelectUnitInList();

// The picture: frees the one on display; takes a new one (freeing the old).
void FreePreviewPicture();
void AdoptPreviewPicture(const PreviewImage& picture);
// Loads the stored preview bitmap through the bitmap viewer and sizes the
// picture from it. False when the viewer cannot be bound (condition code 5
// set; the preview is then grey).
bool LoadStoredPreview();
// The prescan command; false when the prescan module cannot be bound.
bool RunPrescan();

// Painting. The bitmaps of the drawn buttons are loaded once per window.
void LoadButtonBitmaps();
void FreeButtonBitmaps();
void PaintSetupWindow(HDC dc);
void RedrawPreview();
void RedrawRulers();
void DrawToolButton(int id, const char* bitmapName);
void DrawSourceButton();
void DrawFrameOutline(HDC dc);

// The drawn buttons.
int HitTestTools(POINT p);
void OnToolButtonDown(int zone);
void OnToolButtonUp();

// The mouse over the preview and the drawn buttons, and the pan timer.
void LoadCursors();
void OnMouseMove(POINT p);
void OnLeftButtonDown(POINT p);
void OnLeftButtonUp();
void OnRightButtonDown(POINT p);
void OnRightButtonUp();
bool OnSetCursor();
void OnPanTimer();
// A magnified view is shown normal for the next repaint.
void ShowNormalOnce();
// The rulers along the preview and the paper slider.
void PaintRulers(HDC dc);

// Settings reset (Reset, feeder button).
void ResetSetupSettings();
// The controls, the paper line, the frame, the rulers and the preview
// after settings were loaded from a setting file.
void ShowLoadedSettings();

// Resolution typed into field 1025, and the resolution presets.
void TypedResolutionChanged();
void ApplyPreset(int id);

// The source choices of the source menu (Positive, Negative, Reflective)
// and the feeder button.
void ChooseSource(int id);
void ToggleFeeder();
