// One case of the whole-acquisition measurement, in a process of its own so
// that its peak working set is its own:
//
//   e2e_bench <page> <mechanism> [repetitions]
//
// page: letter300c, legal300c, area300c (colour at 300 dpi: 8.5 x 11 and
// 8.5 x 14 inches and a 4 x 4 inch area) or area1200g, legal1200g (grey at
// 1200 dpi: 600 dpi set on the 600-dpi model 6000 with a scaling of 200, so
// the scanner scans at 300 dpi and the source interpolates by 2; a native
// transfer is not interpolated and scans at the ceiling).
// mechanism: native, planar, chunky, tiff, bmp - pavo.ds loaded from the
// product folder and driven through DS_Entry, timed from the enable to the
// end of the transfer - or scanner-native, scanner-buffered: PAVO.DLL alone
// delivering the lines of the same block (learned from the scanner's request
// log of an enable by the source) through SPI_CALL, chunk by chunk as the
// source reads them.
//
// Prints one line: RESULT page mechanism median-ms peak-working-set-bytes
// output-bytes fastest-ms (on a busy machine the fastest repetition shows
// the cost best), and for the source a line ENABLE median-ms: the part of the
// time spent in the enable. Every WIN.INI key it sets is put back.
//
//   e2e_bench window <case> [repetitions]
//
// The setup window, as a user meets it: open (the enable with the window,
// until it is painted), repaint (what the window draws itself: preview,
// frame, buttons, status line), repaint-all (with every control), scroll
// (one step of the resolution bar, until the bar, the fields and the
// read-out it changes are painted), prescan (the Prescan
// button, until the new picture is shown), scanner-prescan (the prescan
// driver alone delivering the same lines), and the mouse on the preview:
// drag (one move of the frame's corner with the button held), outline (a
// tick of the moving frame outline) and pan (a tick of the magnified view's
// panning). Prints RESULT window case median-ms 0 0 fastest-ms slowest-ms.
#include "common/driver_request.h"
#include "common/twain.h"
#include "ds/acquire/scan_job.h"
#include "tests/support/installed_source.h"
#include "tests/support/wine_support.h"

#include <windows.h>
#include <psapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using SpiCall = void(WINAPI*)(void*, uint16_t, uint16_t);

struct Page {
    const char* name;
    bool colour;
    bool interpolated;
    double left, top, right, bottom;
};

constexpr Page kPages[] = {
    {"letter300c", true, false, 0.0, 0.0, 8.5, 11.0},
    {"legal300c", true, false, 0.0, 0.0, 8.5, 14.0},
    {"area300c", true, false, 1.0, 1.0, 5.0, 5.0},
    {"area1200g", false, true, 1.0, 1.0, 5.0, 5.0},
    {"legal1200g", false, true, 0.0, 0.0, 8.5, 14.0},
};

enum class Mechanism { Native, Planar, Chunky, Tiff, Bmp };

bool MechanismFrom(const std::string& s, Mechanism& m) {
    const struct { const char* name; Mechanism m; } names[] = {
        {"native", Mechanism::Native}, {"planar", Mechanism::Planar},
        {"chunky", Mechanism::Chunky}, {"tiff", Mechanism::Tiff}, {"bmp", Mechanism::Bmp}};
    for (const auto& n : names)
        if (s == n.name) {
            m = n.m;
            return true;
        }
    return false;
}

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "e2e_bench: %s\n", what.c_str());
    std::fflush(stderr);
    ExitProcess(2);
}

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

size_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

// ---- The data source as a host sees it ----------------------------------------

class Source {
public:
    Source() {
        if (!host_.loaded()) Die("pavo.ds cannot be loaded from the product folder");
    }

    TW_UINT16 Call(TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg, void* data) {
        return host_.Call(group, dat, msg, data);
    }

    void Must(TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg, void* data, const char* what) {
        const TW_UINT16 rc = Call(group, dat, msg, data);
        if (rc != TWRC_SUCCESS) Die(std::string(what) + " refused: " + std::to_string(rc));
    }

    void SetCap(TW_UINT16 cap, TW_UINT16 type, TW_UINT32 value, const char* what) {
        if (host_.SetCap(cap, type, value) != TWRC_SUCCESS)
            Die(std::string("setting ") + what + " refused");
    }

    // Opens and negotiates one case, ready to enable.
    void Negotiate(const Page& page, Mechanism m, const std::string& file) {
        if (host_.Open() != TWRC_SUCCESS) Die("open refused");
        const bool isFile = m == Mechanism::Tiff || m == Mechanism::Bmp;
        SetCap(ICAP_XFERMECH, TWTY_UINT16,
               m == Mechanism::Native ? TWSX_NATIVE : isFile ? TWSX_FILE : TWSX_MEMORY,
               "transfer mechanism");
        SetCap(ICAP_PIXELTYPE, TWTY_UINT16, page.colour ? TWPT_RGB : TWPT_GRAY, "pixel type");
        SetCap(ICAP_XRESOLUTION, TWTY_UINT32, page.interpolated ? 600 : 300, "resolution");
        if (m == Mechanism::Planar || m == Mechanism::Chunky)
            SetCap(ICAP_PLANARCHUNKY, TWTY_UINT16,
                   m == Mechanism::Planar ? TWPC_PLANAR : TWPC_CHUNKY, "planar or chunky");
        if (isFile) {
            TW_SETUPFILEXFER setup{};
            std::strncpy(setup.FileName, file.c_str(), sizeof setup.FileName - 1);
            setup.Format = TWFF_TIFF;
            Must(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup, "file setup");
            if (m == Mechanism::Bmp) SetCap(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TWFF_BMP, "BMP");
        }
        TW_IMAGELAYOUT layout{};
        layout.Frame = {DoubleToFix32(page.left), DoubleToFix32(page.top),
                        DoubleToFix32(page.right), DoubleToFix32(page.bottom)};
        layout.DocumentNumber = layout.PageNumber = layout.FrameNumber = 1;
        Must(DG_CONTROL, DAT_IMAGELAYOUT, MSG_SET, &layout, "layout");
    }

    void Enable() {
        TW_USERINTERFACE ui{0, 0, nullptr};
        Must(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui, "enable");
    }

    void EndAndClose() {
        TW_PENDINGXFERS pending{};
        Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
        host_.Close();
    }

    // The whole transfer of the enabled source; gives the bytes delivered.
    uint64_t Transfer(Mechanism m, const std::string& file, bool colour) {
        uint64_t bytes = 0;
        TW_PENDINGXFERS pending{};
        switch (m) {
        case Mechanism::Native: {
            TW_HANDLE handle = nullptr;
            if (Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle) != TWRC_XFERDONE)
                Die("native transfer failed");
            bytes = GlobalSize(handle);
            GlobalFree(handle);
            Must(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending, "end of transfer");
            break;
        }
        case Mechanism::Tiff:
        case Mechanism::Bmp: {
            if (Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr) != TWRC_XFERDONE)
                Die("file transfer failed");
            WIN32_FILE_ATTRIBUTE_DATA data{};
            if (GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data))
                bytes = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
            Must(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending, "end of transfer");
            break;
        }
        case Mechanism::Planar:
        case Mechanism::Chunky: {
            TW_SETUPMEMXFER setup{};
            Must(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup, "memory setup");
            std::vector<uint8_t> memory(setup.Preferred);
            const int images = m == Mechanism::Planar && colour ? 3 : 1;
            for (int image = 0; image < images; ++image) {
                for (TW_UINT16 rc = TWRC_SUCCESS; rc == TWRC_SUCCESS;) {
                    TW_IMAGEMEMXFER xfer{};
                    xfer.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
                    xfer.Memory.Length = setup.Preferred;
                    xfer.Memory.TheMem = memory.data();
                    rc = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
                    if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) Die("memory transfer failed");
                    bytes += xfer.BytesWritten;
                }
                Must(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending, "end of transfer");
            }
            break;
        }
        }
        return bytes;
    }

private:
    wintest::InstalledSource host_{"e2e bench"};
};

// ---- The scanner alone ----------------------------------------------------------

struct LoggedBlock {
    ScanParameterBlock block{};
    bool colour = false;
};

// The block of the first Start in the scanner's request log.
bool ParseStart(const std::string& log, LoggedBlock& out) {
    const size_t at = log.find("5 Start ");
    if (at == std::string::npos) return false;
    unsigned model, res, l, t, r, b, background, pass, source, velocity, brightness, contrast,
        gamma, shadow, highlight, grain, builtin;
    const int n = std::sscanf(
        log.c_str() + at,
        "5 Start model=%u res=%u frame=%u,%u,%u,%u background=%u pass=%u source=%u "
        "velocity=0x%x brightness=%u contrast=%u gamma=%u shadow=%u highlight=%u grain=%u "
        "builtin=%u",
        &model, &res, &l, &t, &r, &b, &background, &pass, &source, &velocity, &brightness,
        &contrast, &gamma, &shadow, &highlight, &grain, &builtin);
    if (n != 17) return false;
    ScanParameterBlock& k = out.block;
    std::memset(&k, 0, sizeof k);
    k.LengthUnit = k.FrameUnit = 1;
    k.ModelCode = static_cast<uint16_t>(model);
    k.ScanRes = static_cast<uint16_t>(res);
    k.Frame[0] = static_cast<uint16_t>(l);
    k.Frame[1] = static_cast<uint16_t>(t);
    k.Frame[2] = static_cast<uint16_t>(r);
    k.Frame[3] = static_cast<uint16_t>(b);
    k.BackgroundCode = static_cast<uint16_t>(background);
    k.PassNumber = static_cast<uint16_t>(pass);
    k.ScanSource = static_cast<uint16_t>(source);
    k.Velocity = static_cast<uint16_t>(velocity);
    k.BrightnessCode = static_cast<uint16_t>(brightness);
    k.ContrastCode = static_cast<uint16_t>(contrast);
    k.Gamma = static_cast<uint16_t>(gamma);
    k.ShadowLevel = static_cast<uint16_t>(shadow);
    k.HighlightLevel = static_cast<uint16_t>(highlight);
    k.Grain = static_cast<uint16_t>(grain);
    k.GrainBuiltIn = static_cast<uint16_t>(builtin);
    // The log does not show the curve; the source sends the identity unless
    // the user edits it.
    k.GammaSize = 256;
    for (int i = 0; i < 256; ++i) k.GammaCode[i] = static_cast<uint8_t>(i);
    out.colour = pass != 0;
    return true;
}

// Every pass of the block read from PAVO.DLL as the source reads it: an
// inquiry and a Start, then Scan status and Read per chunk of the transfer
// buffer. Gives the bytes delivered.
uint64_t ScannerOnly(SpiCall spi, const LoggedBlock& logged) {
    uint64_t bytes = 0;
    for (int pass = logged.colour ? 1 : 0; pass <= (logged.colour ? 3 : 0); ++pass) {
        InquiryRequest inquiry{};
        spi(&inquiry, 0, kDriverInquire);
        ScanParameterBlock block = logged.block;
        block.PassNumber = static_cast<uint16_t>(pass);
        spi(&block, 0, kDriverStart);
        if (block.Header.Status != 0) Die("the scanner refused the Start");
        ScanStatusRequest status{};
        spi(&status, 0, kDriverScanStatus);
        const uint32_t lineCount = status.LinesRemaining, lineBytes = status.BytesPerLine;
        const uint32_t size = std::max(TransferBufferSize(lineCount, lineBytes), lineBytes);
        HGLOBAL handle = GlobalAlloc(GMEM_FIXED | GMEM_SHARE, size);
        auto* memory = static_cast<uint8_t*>(GlobalLock(handle));
        const uint32_t capacity = std::min<uint32_t>(size / lineBytes, 0xFFFF);
        for (uint32_t done = 0; done < lineCount;) {
            ScanStatusRequest s{};
            spi(&s, 0, kDriverScanStatus);
            TransferBuffer buffer{size, static_cast<uint16_t>(capacity), 0, memory};
            ReadRequest read{};
            read.BytesPerLine = static_cast<uint16_t>(lineBytes);
            read.LinesToRead = std::min({s.LinesRemaining, lineCount - done, capacity});
            read.LinesDelivered = done;
            read.DescriptorCount = 1;
            read.Buffer = &buffer;
            spi(&read, 0, kDriverRead);
            if (read.Header.Status != 0) Die("the scanner refused a Read");
            done += read.LinesToRead;
            bytes += uint64_t{read.LinesToRead} * lineBytes;
        }
        GlobalUnlock(handle);
        GlobalFree(handle);
    }
    return bytes;
}

std::string ReadText(const std::string& path) {
    const std::vector<unsigned char> bytes = wintest::ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// ---- The setup window ------------------------------------------------------------

// The block of the prescan's Start, from the scanner's log of one prescan.
LoggedBlock PrescanBlock(wintest::WinIniKeys& ini) {
    const std::string log = wintest::TempPath("e2e_prescan.log");
    ini.Set("VirtualScanner", "Log", log);
    {
        wintest::InstalledSource source("e2e bench");
        if (source.Open() != TWRC_SUCCESS || source.Enable(true) != TWRC_SUCCESS)
            Die("the setup window does not open");
        SendMessageA(GetDlgItem(source.SetupWindow(), 1002), BM_CLICK, 0, 0);
    }
    LoggedBlock logged;
    if (!ParseStart(ReadText(log), logged)) Die("no Start in the prescan's log");
    DeleteFileA(log.c_str());
    ini.Remove("VirtualScanner", "Log");
    return logged;
}

// A point of the preview at fractions of its size, in client coordinates.
LPARAM PreviewPoint(HWND window, double fx, double fy) {
    RECT r;
    GetWindowRect(GetDlgItem(window, 1057), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return MAKELPARAM(r.left + static_cast<int>(fx * (r.right - r.left)),
                      r.top + static_cast<int>(fy * (r.bottom - r.top)));
}

void ClickAt(HWND window, LPARAM at) {
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(window, WM_LBUTTONUP, 0, at);
}

LPARAM CentreOf(HWND window, int id) {
    RECT r;
    GetWindowRect(GetDlgItem(window, id), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Brings the window into the state a mouse case starts from.
void PrepareMouseCase(const std::string& name, HWND window) {
    if (name == "drag") {
        // A new frame, then the button held on its bottom right corner.
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, PreviewPoint(window, 0.2, 0.2));
        SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, PreviewPoint(window, 0.6, 0.5));
        SendMessageA(window, WM_LBUTTONUP, 0, PreviewPoint(window, 0.6, 0.5));
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, PreviewPoint(window, 0.6, 0.5));
    } else if (name == "pan") {
        ClickAt(window, CentreOf(window, 1114));
        ClickAt(window, PreviewPoint(window, 0.3, 0.3));
        ClickAt(window, CentreOf(window, 1114));
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, PreviewPoint(window, 1.0, 0.3));
    }
}

void MouseStep(const std::string& name, HWND window, int r) {
    if (name == "drag") {
        const LPARAM corner = PreviewPoint(window, 0.6, 0.5);
        const int dx = r % 2 ? 0 : 1;
        SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON,
                     MAKELPARAM(GET_X_LPARAM(corner) + dx, GET_Y_LPARAM(corner) + dx));
    } else if (name == "outline") {
        SendMessageA(window, WM_TIMER, 0, 0);
    } else {
        SendMessageA(window, WM_TIMER, 2, 0);
    }
}

// A scroll step of the brightness bar in the brightness and contrast
// dialog, until the picture is rendered anew and painted: measured by a
// timer that fires inside the dialog's own loop, which Cancel then ends.
std::vector<double>* g_dialogTimes = nullptr;
int g_dialogSteps = 0;

void CALLBACK MeasureTonesetScroll(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = GetActiveWindow();
    HWND bar = GetDlgItem(dialog, 3001);
    if (!bar) Die("the brightness and contrast dialog did not open");
    for (int r = 0; r < g_dialogSteps; ++r) {
        const double start = Now();
        SendMessageA(dialog, WM_HSCROLL, r % 2 ? SB_LINELEFT : SB_LINERIGHT,
                     reinterpret_cast<LPARAM>(bar));
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        g_dialogTimes->push_back(Now() - start);
    }
    PostMessageA(dialog, WM_COMMAND, 3013, 0);
}

// One step of a point drag in the gamma dialog: a mouse move with the
// button down until the two segments and the handle are drawn again.
void CALLBACK MeasureGammaDrag(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = GetActiveWindow();
    HWND area = GetDlgItem(dialog, 2057);
    if (!area) Die("the gamma dialog did not open");
    SendMessageA(GetDlgItem(dialog, 2020), BM_CLICK, 0, 0);  // a curve of one's own
    RECT r{};
    GetWindowRect(area, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const int w = r.right - r.left, h = r.bottom - r.top;
    // P5 sits at (150, 150).
    const int x = r.left + 150 * w / 256, y = r.top + h - 150 * h / 256;
    SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    for (int step = 0; step < g_dialogSteps; ++step) {
        const double start = Now();
        const int to = y + (step % 2 ? -1 : 1) * (10 + step % 20);
        SendMessageA(dialog, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, to));
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        g_dialogTimes->push_back(Now() - start);
    }
    SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    PostMessageA(dialog, WM_COMMAND, 2003, 0);
}

// One step of a marker drag in the level dialog: a mouse move with the
// button down until the values, the histogram's curve and the marker bar
// are drawn again.
void CALLBACK MeasureLevelDrag(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = GetActiveWindow();
    HWND bar = GetDlgItem(dialog, 7029);
    if (!bar) Die("the level dialog did not open");
    RECT r{};
    GetWindowRect(bar, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    // The highlight marker at 255.
    const int x = r.left + 255 * (r.right - r.left) / 256, y = r.top + 2;
    SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    for (int step = 0; step < g_dialogSteps; ++step) {
        const double start = Now();
        SendMessageA(dialog, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - 10 - step % 2 * 10, y));
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        g_dialogTimes->push_back(Now() - start);
    }
    SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    PostMessageA(dialog, WM_COMMAND, 7007, 0);
}

int WindowCase(const std::string& name, int repetitions) {
    wintest::WinIniKeys ini;
    for (const char* key : {"BRAND", "DRIVER", "LANGUAGE"}) ini.Remove("ZEBINFO", key);
    for (const char* key : {"Model", "Feeder", "Adapter", "Pages", "LineDelay", "Picture", "Log"})
        ini.Remove("VirtualScanner", key);
    for (const char* key : {"ScanRes", "Scaling", "DpiScale", "Frame", "PaperLength"})
        ini.Keep("ZEB-A100CX", key);
    ini.Keep("ZEB-A1000CX", "PaperLength");
    ini.Keep("ZEB-A1000C", "PrescanMode");

    std::vector<double> times;
    if (name == "scanner-prescan") {
        const LoggedBlock logged = PrescanBlock(ini);
        const std::string driver = wintest::ProductFile("PAVO_SP.IOB");
        for (int r = 0; r < repetitions; ++r) {
            HMODULE scanner = LoadLibraryA(driver.c_str());
            if (!scanner) Die("PAVO_SP.IOB cannot be loaded");
            auto spi = reinterpret_cast<SpiCall>(
                reinterpret_cast<void*>(GetProcAddress(scanner, "SPI_CALL")));
            if (!spi) Die("PAVO_SP.IOB has no SPI_CALL");
            const double start = Now();
            InquiryRequest detection{};
            spi(&detection, 0, kDriverInquire);
            ScannerOnly(spi, logged);
            times.push_back(Now() - start);
            FreeLibrary(scanner);
        }
    } else {
        wintest::InstalledSource source("e2e bench");
        if (!source.loaded()) Die("pavo.ds cannot be loaded from the product folder");
        if (source.Open() != TWRC_SUCCESS) Die("open refused");
        if (name != "open" && source.Enable(true) != TWRC_SUCCESS) Die("the window does not open");
        HWND window = source.SetupWindow();
        const bool mouse = name == "drag" || name == "outline" || name == "pan";
        if (mouse) PrepareMouseCase(name, window);
        // The tone dialogs: the steps are measured inside the dialog's own
        // loop, by a timer that fires once it is open.
        struct DialogCase {
            const char* name;
            int command;
            TIMERPROC measure;
        };
        constexpr DialogCase kDialogCases[] = {
            {"toneset-scroll", 1111, MeasureTonesetScroll},
            {"toneset-scroll-colour", 1111, MeasureTonesetScroll},
            {"gamma-drag", 1110, MeasureGammaDrag},
            {"level-drag", 1112, MeasureLevelDrag},
        };
        for (const DialogCase& c : kDialogCases) {
            if (name != c.name) continue;
            // A colour prescan mode shows the colour picture on RGB.
            if (name == "toneset-scroll-colour") SendMessageA(window, WM_COMMAND, 1063, 0);
            g_dialogTimes = &times;
            g_dialogSteps = repetitions;
            SetTimer(nullptr, 0, 300, c.measure);
            SendMessageA(window, WM_COMMAND, c.command, 0);
            if (times.empty()) Die(name + ": no step was measured");
            repetitions = 0;
        }
        for (int r = 0; r < repetitions; ++r) {
            const double start = Now();
            if (name == "open") {
                if (source.Enable(true) != TWRC_SUCCESS) Die("the window does not open");
            } else if (name == "repaint") {
                InvalidateRect(window, nullptr, TRUE);
            } else if (name == "repaint-all") {
                RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            } else if (name == "scroll") {
                SendMessageA(window, WM_HSCROLL, r % 2 ? SB_LINELEFT : SB_LINERIGHT,
                             reinterpret_cast<LPARAM>(GetDlgItem(window, 1024)));
            } else if (name == "prescan") {
                SendMessageA(GetDlgItem(window, 1002), BM_CLICK, 0, 0);
            } else if (mouse) {
                MouseStep(name, window, r);
            } else {
                Die("unknown window case " + name);
            }
            // Until every window that has to show the change has painted it.
            RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            GdiFlush();
            times.push_back(Now() - start);
            if (name == "open") {
                source.Close();
                if (source.Open() != TWRC_SUCCESS) Die("open refused");
            }
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("RESULT window %s %.2f 0 0 %.2f %.2f\n", name.c_str(), times[times.size() / 2],
                times.front(), times.back());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "window")
        return WindowCase(argv[2], argc > 3 ? std::max(1, std::atoi(argv[3])) : 20);
    if (argc < 3) Die("usage: e2e_bench <page> <mechanism> [repetitions]");
    const std::string pageName = argv[1], mechanismName = argv[2];
    const int repetitions = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    const Page* page = nullptr;
    for (const Page& p : kPages)
        if (pageName == p.name) page = &p;
    if (!page) Die("unknown page " + pageName);
    const bool scannerOnly = mechanismName.rfind("scanner-", 0) == 0;
    Mechanism mechanism = Mechanism::Native;
    if (scannerOnly) {
        const std::string how = mechanismName.substr(8);
        if (how == "native") mechanism = Mechanism::Native;
        else if (how == "buffered") mechanism = Mechanism::Planar;
        else Die("unknown mechanism " + mechanismName);
    } else if (!MechanismFrom(mechanismName, mechanism)) {
        Die("unknown mechanism " + mechanismName);
    }

    wintest::WinIniKeys ini;
    for (const char* key : {"BRAND", "DRIVER", "LANGUAGE"}) ini.Remove("ZEBINFO", key);
    for (const char* key : {"Feeder", "Adapter", "Pages", "InquiryStatus", "NotReadyPolls",
                            "StartFaultPass", "StartFaultStatus", "StartRefusals",
                            "ReadFaultLine", "ReadFaultStatus", "ReadFaultCount",
                            "EscapeAfterLines", "ZeroLineCount", "LineDelay", "Picture", "Log"})
        ini.Remove("VirtualScanner", key);
    for (const char* section : {"ZEB-A100CX", "ZEB-B200CX"})
        for (const char* key : {"ScanMode", "ScanRes", "Scaling", "IsInvert", "DpiScale"})
            ini.Keep(section, key);
    if (page->interpolated) {
        ini.Set("VirtualScanner", "Model", "6000");
        ini.Set("ZEB-B200CX", "Scaling", "200");
        ini.Set("ZEB-B200CX", "DpiScale", "0");
    } else {
        ini.Remove("VirtualScanner", "Model");
    }

    std::vector<double> times, enables;
    uint64_t bytes = 0;
    if (scannerOnly) {
        // The block the source sends, from the scanner's log of an enable.
        const std::string log = wintest::TempPath("e2e_scanner.log");
        ini.Set("VirtualScanner", "Log", log);
        LoggedBlock logged;
        {
            Source source;
            source.Negotiate(*page, mechanism, "");
            source.Enable();
            source.EndAndClose();
        }
        const std::string scannerPath = wintest::ProductFile("PAVO.DLL");
        if (GetModuleHandleA(scannerPath.c_str())) Die("PAVO.DLL stayed loaded");
        if (!ParseStart(ReadText(log), logged)) Die("no Start in the scanner's log");
        DeleteFileA(log.c_str());
        ini.Remove("VirtualScanner", "Log");
        for (int r = 0; r < repetitions; ++r) {
            // Loaded afresh and asked once, as the source's open does, so
            // that what the scanner does at its first Start is timed on both
            // sides.
            HMODULE scanner = LoadLibraryA(scannerPath.c_str());
            if (!scanner) Die("PAVO.DLL cannot be loaded");
            auto spi = reinterpret_cast<SpiCall>(
                reinterpret_cast<void*>(GetProcAddress(scanner, "SPI_CALL")));
            if (!spi) Die("PAVO.DLL has no SPI_CALL");
            InquiryRequest detection{};
            spi(&detection, 0, kDriverInquire);
            const double start = Now();
            bytes = ScannerOnly(spi, logged);
            times.push_back(Now() - start);
            FreeLibrary(scanner);
        }
    } else {
        Source source;
        const bool isFile = mechanism == Mechanism::Tiff || mechanism == Mechanism::Bmp;
        for (int r = 0; r < repetitions; ++r) {
            const std::string file =
                isFile ? wintest::TempPath(mechanism == Mechanism::Bmp ? "e2e.bmp" : "e2e.tif")
                       : std::string();
            source.Negotiate(*page, mechanism, file);
            const double start = Now();
            source.Enable();
            enables.push_back(Now() - start);
            bytes = source.Transfer(mechanism, file, page->colour);
            times.push_back(Now() - start);
            source.EndAndClose();
            if (isFile) DeleteFileA(file.c_str());
        }
    }
    std::sort(times.begin(), times.end());
    std::sort(enables.begin(), enables.end());
    std::printf("RESULT %s %s %.1f %zu %llu %.1f\n", page->name, mechanismName.c_str(),
                times[times.size() / 2], PeakWorkingSet(), static_cast<unsigned long long>(bytes),
                times.front());
    // Of the time above, the enable (the negotiated settings taken, the first
    // pass started).
    if (!enables.empty()) std::printf("ENABLE %.1f\n", enables[enables.size() / 2]);
    return 0;
}
