// What the tone dialogs (brightness and contrast, gamma, levels) share on
// the Windows side: the bitmap viewer they load themselves, the picture on
// display (the last prescan or the sample picture), its rendering through
// the viewer and its painting, the frames drawn by hand, the message box of
// a picture that cannot be opened, help.
#pragma once

#include <windows.h>

#include "common/preview_image.h"

#include <string>

namespace tone {

// Windows directory + product folder + `file`.
std::string ProductPath(const char* file);

// bitview.dll of the product folder and its two entries.
struct Viewer {
    HMODULE module = nullptr;
    BitviewProc open = nullptr;
    ShowBitviewProc show = nullptr;
};
// False (nothing loaded) when the module or one of its entries is missing.
bool LoadViewer(Viewer& viewer);
void UnloadViewer(Viewer& viewer);

// The picture on display and how it was opened.
struct Picture {
    OpenedBitmap opened{};  // no picture while `opened.pixels` is null
    bool colour = true;
    bool sample = false;
};
// Opens the prescan or the sample picture in grey or colour. On success the
// previous picture is freed and replaced; on failure it stays as it was.
bool OpenPicture(const Viewer& viewer, HWND owner, Picture& picture, bool colour, bool sample);
// Opens the picture in grey or colour: the kind (sample or prescan) on
// display, else the other kind. False, the picture unchanged, when neither
// opens.
bool ReopenPicture(const Viewer& viewer, HWND owner, Picture& picture, bool colour);
void FreePicture(Picture& picture);
bool HasPicture(const Picture& picture);

// The client area of a (hidden) control in its dialog's client coordinates.
PreviewRect ControlArea(HWND dialog, int id);
RECT ToRect(const PreviewRect& r);

// Renders the picture into `image` (freeing the previous rendering first)
// through the viewer, in mode 2 (grey) or 3 (colour), with `pixels` (the
// picture's own or a processed copy of the same layout) and the tables.
// False when the rendering has no device context.
bool Render(const Viewer& viewer, HWND owner, const Picture& picture, const void* pixels,
            const PreviewRect& imageRect, const ToneTablesRef& tables, PreviewImage& image);
// Draws the rendering's view bitmap at the image rectangle, through its
// palette when it has one.
void PaintRendering(HDC dc, const PreviewImage& image, const PreviewRect& imageRect);

// An etched frame (a grey and a white outline) around a control.
void DrawEtchedFrame(HDC dc, HWND dialog, int id);

// The answer to WM_CTLCOLOR*: the dialog grey behind the control's text and
// `brush` (of that grey) for its background.
INT_PTR GreyBackground(WPARAM dc, HBRUSH brush);

// True when the screen has more than 8 bits per pixel.
bool DeepScreen();
void CentreOnScreen(HWND window);

// A stop box with the module's text under "BRAND" of ZEBINFO (default
// "Tavlen"), a blank and `title`.
void ShowStop(HWND owner, const std::string& text, const std::string& title);
// A string of the module's table (id already offset for the language).
std::string ModuleString(HINSTANCE module, int id);
// The help file of the language at a context.
void ShowHelp(HWND owner, int languageIndex, int context);

}  // namespace tone
