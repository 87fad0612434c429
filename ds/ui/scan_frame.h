// The scan frame of the setup window: held in preview pixels on a picture
// that stands for the whole glass (8.5 inches across, 8.0 with the
// transparency adapter, and 14 inches down), turned into the scanner's
// base-resolution units when a scan starts. Also the page frames of the
// document feeder, the paper length, and the scan line limit.
//
// Pure computation: no Windows header.
#pragma once

#include <array>
#include <cstdint>

struct PixelRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

// Left <= right and top <= bottom.
PixelRect OrderedRect(const PixelRect& r);
// The rectangle with every edge moved inside `area` where it lies outside.
PixelRect ClipIntoArea(const PixelRect& r, const PixelRect& area);

// Where the frame lies on the preview, and how preview pixels relate to the
// glass.
struct PreviewGeometry {
    PixelRect area;           // the picture, its bottom edge the paper-length line
    int32_t previewHeight;    // full height of the preview: 14 inches of glass
    double inchesPerPixelX;   // 8.5 / width, or 8.0 / width with the adapter
    uint16_t unitResolution;  // the model's base resolution
    bool zoomed = false;      // the x2 view is shown
    int32_t zoomX = 0, zoomY = 0;  // top left of the magnified part, preview pixels
};

// The frame as it is scanned: ordered, its left and top edges raised onto
// the picture, and above the paper line (the picture's bottom): a frame
// reaching below the line ends at it, one wholly below it becomes the
// thinnest strip above it.
PixelRect FrameOnPicture(const PixelRect& frame, const PixelRect& area);

// A frame or region in base-resolution units: on the picture as above,
// measured from the picture's top left corner. The zoom correction applies
// to the scan frame only.
std::array<uint16_t, 4> FrameInBaseUnits(const PixelRect& frame, const PreviewGeometry& g,
                                         bool zoomCorrection);

// Page-size codes of the document feeder.
constexpr int kPaperA4 = 401;
constexpr int kPaperLetter = 402;
constexpr int kPaperLegal = 403;
constexpr int kPaperA5 = 404;
constexpr int kPaperB5 = 405;

// The frame of a feeder page in base-resolution units; an unknown code
// scans A4.
std::array<uint16_t, 4> FeederPageFrame(int paperCode, uint16_t unitResolution);

struct PageSize {
    double width, length;  // inches
};
// The size of a feeder page for the size read-out; an unknown code is A4.
PageSize FeederPageSize(int paperCode);

// The paper length of the picture in eighths of an inch.
uint16_t PaperLengthEighths(int32_t areaHeight, int32_t previewHeight);

// A scan line the engine cannot hold: `resolution` x the width in inches
// reaches 10666 for Color or 32000 for the other modes.
bool ScanLineTooLong(uint16_t resolution, bool color, double widthInches);

// The bottom edge of the picture of a stored preview `pictureHeight` lines
// high (504 lines are the whole glass); without a picture, 10 of the 14
// inches.
int32_t StoredPreviewBottom(int32_t top, int32_t previewHeight, uint16_t pictureHeight);
