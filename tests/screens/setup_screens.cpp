// Screenshots of the setup window in the states a user meets, made from the
// real window of the installed pavo.ds and the virtual scanner:
//
//   setup_screens OUTDIR SHOT...     (OUTDIR a Windows path)
//
// Each shot is written as OUTDIR\<shot>.bmp, the screen's pixels under the
// window (and under its menu, for the menu shots). scripts/screens turns
// them into PNG files. The shots change WIN.INI and the stored previews of
// the prefix they run in: scripts/screens gives them a prefix of their own.
#include "tests/support/help_viewer.h"
#include "tests/support/installed_source.h"
#include "tests/support/wine_support.h"

#include <windows.h>
#include <windowsx.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using wintest::InstalledSource;

std::string g_outDir;

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "setup_screens: %s\n", what.c_str());
    std::fflush(stderr);
    ExitProcess(2);
}

void SetKey(const char* section, const char* key, const char* value) {
    WriteProfileStringA(section, key, value);
}

// The screen's pixels of `r` as a 24-bit BMP file.
void SaveScreen(const RECT& r, const std::string& name) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    const std::string path = g_outDir + "\\" + name + ".bmp";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) Die("cannot write " + path);
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f);
    std::fwrite(bits, 1, size, f);
    std::fclose(f);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::printf("%s\n", name.c_str());
}

RECT WindowArea(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

// What a shot sets up before the window opens.
struct Setup {
    const char* language = "English";
    bool feeder = false;
    bool adapter = false;
    bool storedPreviews = true;
    bool wholeGlass = false;  // the scan frame over the whole picture
};

void DeleteStoredPreviews() {
    DeleteFileA(wintest::ProductFile("QZLG0000.BMP").c_str());
    DeleteFileA(wintest::ProductFile("QZLC0000.BMP").c_str());
}

// Opens the source with its setup window on the given set-up; the caller's
// steps run on the open window, and the source is closed again.
void WithWindow(const Setup& s, const std::function<void(InstalledSource&, HWND)>& steps) {
    SetKey("ZEBINFO", "LANGUAGE", s.language);
    SetKey("VirtualScanner", "Feeder", s.feeder ? "1" : "0");
    SetKey("VirtualScanner", "Pages", s.feeder ? "5" : "1");
    SetKey("VirtualScanner", "Adapter", s.adapter ? "1" : "0");
    SetKey("VirtualScanner", "LineDelay", nullptr);
    if (!s.storedPreviews) DeleteStoredPreviews();
    SetKey("ZEB-A100CX", "Frame", s.wholeGlass ? "0   0   99999999" : nullptr);
    InstalledSource source("Screens");
    if (!source.loaded()) Die("pavo.ds is not installed");
    if (source.Open() != TWRC_SUCCESS) Die("the source does not open");
    if (source.Enable(true) != TWRC_SUCCESS) Die("the setup window does not open");
    HWND window = source.SetupWindow();
    if (!window) Die("no setup window");
    source.Pump(400);
    steps(source, window);
    source.Close();
}

void Command(InstalledSource& source, HWND window, int id) {
    SendMessageA(window, WM_COMMAND, id, 0);
    source.Pump(200);
}

void Click(InstalledSource& source, HWND window, int id) {
    SendMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0);
    source.Pump(300);
}

void Shoot(InstalledSource& source, HWND window, const std::string& name) {
    InvalidateRect(window, nullptr, TRUE);
    source.Pump(400);
    SaveScreen(WindowArea(window), name);
}

// A point of the preview, at fractions of its width and height, in the
// window's client coordinates.
LPARAM PreviewPoint(HWND window, double fx, double fy) {
    RECT r;
    GetWindowRect(GetDlgItem(window, 1057), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return MAKELPARAM(r.left + static_cast<int>(fx * (r.right - r.left)),
                      r.top + static_cast<int>(fy * (r.bottom - r.top)));
}

// The mouse pressed at one point and moved to another, with the left or
// the right button; released unless `hold`.
void Drag(InstalledSource& source, HWND window, LPARAM from, LPARAM to, bool right = false,
          bool hold = false) {
    SendMessageA(window, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, from);
    const int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        const int x = GET_X_LPARAM(from) + (GET_X_LPARAM(to) - GET_X_LPARAM(from)) * i / steps;
        const int y = GET_Y_LPARAM(from) + (GET_Y_LPARAM(to) - GET_Y_LPARAM(from)) * i / steps;
        SendMessageA(window, WM_MOUSEMOVE, right ? MK_RBUTTON : MK_LBUTTON, MAKELPARAM(x, y));
    }
    if (!hold) SendMessageA(window, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, to);
    source.Pump(100);
}

// A click on a drawn button.
void ClickDrawn(InstalledSource& source, HWND window, int id) {
    RECT r;
    GetWindowRect(GetDlgItem(window, id), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(window, WM_LBUTTONUP, 0, at);
    source.Pump(100);
}

void ChooseFromList(InstalledSource& source, HWND window, int list, int position) {
    SendMessageA(GetDlgItem(window, list), CB_SETCURSEL, position, 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE), 0);
    source.Pump(100);
}

// A menu is shot while it is open: a timer of this thread fires inside the
// menu's own loop, takes the screen and closes the menu.
HWND g_menuOwner = nullptr;
std::string g_menuShot;

void CALLBACK ShootMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    RECT r = WindowArea(g_menuOwner);
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu) {
        RECT m;
        GetWindowRect(menu, &m);
        UnionRect(&r, &r, &m);
    }
    SaveScreen(r, g_menuShot);
    EndMenu();
}

void ShootWithMenu(InstalledSource& source, HWND window, int command, const std::string& name) {
    g_menuOwner = window;
    g_menuShot = name;
    SetTimer(nullptr, 0, 600, ShootMenu);
    SendMessageA(window, WM_COMMAND, command, 0);
    source.Pump(200);
}

// A modal dialog is shot the same way: a timer fires inside the dialog's
// loop, lets the shot prepare the dialog, takes the screen and closes it.
std::string g_dialogShot;
std::function<void(HWND)> g_prepareDialog;

// A preparation that shoots something of its own over the dialog (a menu,
// a dialog it opens) sets this, and the dialog itself is not shot.
bool g_dialogAlreadyShot = false;

void CALLBACK ShootDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = GetActiveWindow();
    // A preparation may shoot a dialog of its own, which reuses these.
    const std::string name = g_dialogShot;
    const std::function<void(HWND)> prepare = g_prepareDialog;
    if (!dialog) Die("no dialog for " + name);
    if (prepare) prepare(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (!g_dialogAlreadyShot) SaveScreen(WindowArea(dialog), name);
    g_dialogAlreadyShot = false;
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

// Runs `open`, which shows a modal dialog, and shoots that dialog.
void ShootModal(const std::string& name, const std::function<void()>& open,
                std::function<void(HWND)> prepare = {}) {
    g_dialogShot = name;
    g_prepareDialog = std::move(prepare);
    SetTimer(nullptr, 0, 600, ShootDialog);
    open();
}

// Setting files for the Open dialog to list.
void MakeSettingFiles() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string folder = std::string(windows) + "\\TWAIN\\PAVO";
    CreateDirectoryA((std::string(windows) + "\\TWAIN").c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"OFFICE.PAR", "PHOTOS.PAR", "NEWSPAPER.PAR"})
        WritePrivateProfileStringA("ZEB-A100CX", "ScanRes", "300", (folder + "\\" + name).c_str());
}

// The memory transfer of a scan from the window, shot when half of the
// image has arrived.
void ShootDuringScan(InstalledSource& source, HWND window, const std::string& name) {
    Click(source, window, 1001);
    TW_IMAGEINFO info{};
    if (source.Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS)
        Die("the scan from the window did not start");
    std::vector<uint8_t> memory(65536);
    bool shot = false;
    for (TW_UINT16 rc = TWRC_SUCCESS; rc == TWRC_SUCCESS;) {
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
        xfer.Memory.Length = static_cast<TW_UINT32>(memory.size());
        xfer.Memory.TheMem = memory.data();
        rc = source.Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        if (!shot && xfer.YOffset + xfer.Rows >= static_cast<TW_UINT32>(info.ImageLength) / 2) {
            // What the source drew since its last look at the queue reaches
            // the screen when the queue is looked at again.
            source.Pump(100);
            SaveScreen(WindowArea(window), name);
            shot = true;
        }
    }
    TW_PENDINGXFERS pending{};
    source.Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
}

// A help topic as the viewer shows it, opened at its context number as the
// windows open it; the viewer is closed again.
void ShootHelp(const char* file, int context, const std::string& name) {
    const std::string path = wintest::ProductFile(file);
    WinHelpA(nullptr, path.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(context));
    HWND viewer = nullptr;
    for (const DWORD start = GetTickCount(); !viewer && GetTickCount() - start < 20000; Sleep(50)) {
        viewer = helpview::MainWindow();
        if (viewer && helpview::TopicText(viewer).empty()) viewer = nullptr;
    }
    if (!viewer) Die("the viewer shows no topic for " + name);
    SetWindowPos(viewer, HWND_TOP, 0, 0, 640, 420, SWP_SHOWWINDOW);
    Sleep(800);
    SaveScreen(WindowArea(viewer), name);
    const DWORD pid = helpview::ProcessOf(viewer);
    WinHelpA(nullptr, path.c_str(), HELP_QUIT, 0);
    if (!helpview::WaitForExit(pid, 10000)) Die("the viewer did not quit after " + name);
}

struct Shot {
    const char* name;
    std::function<void()> make;
};

std::vector<Shot> Shots() {
    std::vector<Shot> shots;
    auto plain = [](const char* name, Setup s, std::function<void(InstalledSource&, HWND)> more = {}) {
        return Shot{name, [name, s, more] {
                        WithWindow(s, [&](InstalledSource& source, HWND window) {
                            if (more) more(source, window);
                            Shoot(source, window, name);
                        });
                    }};
    };
    Setup none;
    none.storedPreviews = false;
    shots.push_back(plain("setup-no-preview", none));
    shots.push_back(plain("setup-prescan-grey", Setup{},
                          [](InstalledSource& s, HWND w) { Click(s, w, 1002); }));
    shots.push_back(plain("setup-stored-preview", Setup{}));
    shots.push_back(plain("setup-prescan-colour", Setup{}, [](InstalledSource& s, HWND w) {
        Command(s, w, 1063);
        SendMessageA(GetDlgItem(w, 1022), CB_SETCURSEL, 3, 0);
        SendMessageA(w, WM_COMMAND, MAKEWPARAM(1022, CBN_SELCHANGE), 0);
        Click(s, w, 1002);
    }));
    Setup feeder;
    feeder.feeder = true;
    shots.push_back(plain("setup-feeder", feeder));
    Setup adapter;
    adapter.adapter = true;
    shots.push_back(plain("setup-adapter", adapter,
                          [](InstalledSource& s, HWND w) { Command(s, w, 1116); }));
    const char* languages[][2] = {{"setup-english", "English"}, {"setup-german", "German"},
                                  {"setup-french", "French"},   {"setup-italian", "Italian"},
                                  {"setup-spanish", "Spanish"}, {"setup-dutch", "Dutch"}};
    for (const auto& l : languages) {
        Setup s;
        s.language = l[1];
        shots.push_back(plain(l[0], s));
    }
    shots.push_back({"setup-option-menu", [] {
                         WithWindow(Setup{}, [](InstalledSource& s, HWND w) {
                             ShootWithMenu(s, w, 1060, "setup-option-menu");
                         });
                     }});
    shots.push_back({"setup-preset-menu", [] {
                         WithWindow(Setup{}, [](InstalledSource& s, HWND w) {
                             ShootWithMenu(s, w, 1218, "setup-preset-menu");
                         });
                     }});
    shots.push_back({"setup-scanning", [] {
                         Setup whole;
                         whole.wholeGlass = true;
                         WithWindow(whole, [](InstalledSource& s, HWND w) {
                             SetKey("VirtualScanner", "LineDelay", "0");
                             ShootDuringScan(s, w, "setup-scanning");
                         });
                     }});
    shots.push_back({"setup-frame-drawing", [] {
                         WithWindow(Setup{}, [](InstalledSource& s, HWND w) {
                             Drag(s, w, PreviewPoint(w, 0.15, 0.1), PreviewPoint(w, 0.8, 0.45),
                                  false, true);
                             SaveScreen(WindowArea(w), "setup-frame-drawing");
                             SendMessageA(w, WM_LBUTTONUP, 0, PreviewPoint(w, 0.8, 0.45));
                         });
                     }});
    shots.push_back(plain("setup-regions", Setup{}, [](InstalledSource& s, HWND w) {
        ChooseFromList(s, w, 1022, 0);
        Drag(s, w, PreviewPoint(w, 0.9, 0.65), PreviewPoint(w, 0.05, 0.05));
        const double boxes[4][4] = {{0.1, 0.1, 0.4, 0.25},
                                    {0.5, 0.1, 0.85, 0.2},
                                    {0.1, 0.3, 0.85, 0.4},
                                    {0.3, 0.45, 0.7, 0.6}};
        for (const auto& b : boxes) Drag(s, w, PreviewPoint(w, b[0], b[1]), PreviewPoint(w, b[2], b[3]));
    }));
    shots.push_back(plain("setup-zoomed", Setup{}, [](InstalledSource& s, HWND w) {
        ClickDrawn(s, w, 1114);
        const LPARAM at = PreviewPoint(w, 0.4, 0.3);
        SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(w, WM_LBUTTONUP, 0, at);
        ClickDrawn(s, w, 1114);
        SendMessageA(w, WM_MOUSEMOVE, 0, PreviewPoint(w, 0.5, 0.5));
    }));
    const char* units[][2] = {{"setup-unit-pixels", "1"}, {"setup-unit-cm", "2"}, {"setup-unit-mm", "3"}};
    for (const auto& u : units) {
        const int position = u[1][0] - '0';
        shots.push_back(plain(u[0], Setup{}, [position](InstalledSource& s, HWND w) {
            ChooseFromList(s, w, 1037, position);
        }));
    }
    // The window's own dialogs, in English and in German.
    const char* dialogLanguages[][2] = {{"", "English"}, {"-german", "German"}};
    for (const auto& l : dialogLanguages) {
        Setup s;
        s.language = l[1];
        const std::string suffix = l[0];
        auto modal = [s](std::string name, int command, std::function<void(HWND)> prepare,
                         int mode) {
            return Shot{strdup(name.c_str()), [=] {
                            MakeSettingFiles();
                            WithWindow(s, [&](InstalledSource& source, HWND w) {
                                if (mode >= 0) ChooseFromList(source, w, 1022, mode);
                                ShootModal(name, [&] { SendMessageA(w, WM_COMMAND, command, 0); },
                                           prepare);
                                source.Pump(200);
                            });
                        }};
        };
        shots.push_back(modal("dialog-load-setting" + suffix, 1087, {}, -1));
        shots.push_back(modal("dialog-save-setting" + suffix, 1088, [](HWND d) {
            SetDlgItemTextA(d, 608, "LETTERS.PAR");
        }, -1));
        shots.push_back(modal("dialog-info" + suffix, 1005, {}, 3));
        if (suffix.empty()) shots.push_back(modal("dialog-info-gray", 1005, {}, 2));
        const std::string name = "dialog-temp-drive" + suffix;
        shots.push_back({strdup(name.c_str()), [s, name] {
                             WithWindow(s, [&](InstalledSource& source, HWND w) {
                                 HMODULE ds = GetModuleHandleA("pavo.ds");
                                 auto proc = reinterpret_cast<DLGPROC>(reinterpret_cast<void*>(
                                     ds ? GetProcAddress(ds, "ChgTmpDrvProc") : nullptr));
                                 if (!proc) Die("pavo.ds does not export ChgTmpDrvProc");
                                 const std::string templ =
                                     std::string("CHGTMPDRV") + (s.language[0] == 'G' ? "_G" : "");
                                 ShootModal(name, [&] {
                                     DialogBoxParamA(ds, templ.c_str(), w, proc, 0);
                                 }, [](HWND d) { SetDlgItemTextA(d, 7, "D:\\SCRATCH"); });
                                 source.Pump(200);
                             });
                         }});
    }
    // The brightness and contrast dialog.
    auto toneset = [](const char* name, Setup s, bool colourPrescan,
                      std::function<void(HWND)> prepare) {
        return Shot{name, [=] {
                        WithWindow(s, [&](InstalledSource& source, HWND w) {
                            if (colourPrescan) {
                                Command(source, w, 1063);
                                Click(source, w, 1002);
                            }
                            ShootModal(name, [&] { SendMessageA(w, WM_COMMAND, 1111, 0); }, prepare);
                            source.Pump(200);
                        });
                    }};
    };
    auto extremes = [](HWND d) {
        SendMessageA(d, WM_HSCROLL, SB_LEFT, reinterpret_cast<LPARAM>(GetDlgItem(d, 3001)));
        SendMessageA(d, WM_HSCROLL, SB_RIGHT, reinterpret_cast<LPARAM>(GetDlgItem(d, 3011)));
    };
    Setup german;
    german.language = "German";
    Setup noPrescan;
    noPrescan.storedPreviews = false;
    shots.push_back(toneset("toneset-prescan-colour", Setup{}, true, {}));
    shots.push_back(toneset("toneset-sample", noPrescan, false, {}));
    shots.push_back(toneset("toneset-extremes", Setup{}, true, extremes));
    shots.push_back(toneset("toneset-german", german, true, {}));
    shots.push_back(toneset("toneset-palette", Setup{}, true, extremes));
    // The gamma curve dialog.
    auto gamma = [](const char* name, Setup s, std::function<void(HWND)> prepare) {
        return Shot{name, [=] {
                        WithWindow(s, [&](InstalledSource& source, HWND w) {
                            Command(source, w, 1063);
                            Click(source, w, 1002);
                            ShootModal(name, [&] { SendMessageA(w, WM_COMMAND, 1110, 0); }, prepare);
                            source.Pump(200);
                        });
                    }};
    };
    auto ownCurve = [](HWND d) {
        SendMessageA(GetDlgItem(d, 2020), BM_CLICK, 0, 0);
        RECT r{};
        GetWindowRect(GetDlgItem(d, 2057), &r);
        MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
        const int w = r.right - r.left, h = r.bottom - r.top;
        auto at = [&](int x, int y) { return MAKELPARAM(r.left + x * w / 256, r.top + h - y * h / 256); };
        // P3 up, P6 down.
        for (auto [x, from, to] : {std::tuple{90, 90, 150}, std::tuple{180, 181, 120}}) {
            SendMessageA(d, WM_LBUTTONDOWN, MK_LBUTTON, at(x, from));
            SendMessageA(d, WM_MOUSEMOVE, MK_LBUTTON, at(x, to));
            SendMessageA(d, WM_LBUTTONUP, 0, at(x, to));
        }
    };
    shots.push_back(gamma("gamma-preset", Setup{}, [](HWND d) {
        SendMessageA(d, WM_COMMAND, 2107, 0);  // Monitor > Darken Hilights
    }));
    shots.push_back(gamma("gamma-user-defined", Setup{}, ownCurve));
    shots.push_back(gamma("gamma-menu", Setup{}, [](HWND d) {
        SendMessageA(GetDlgItem(d, 2020), BM_CLICK, 0, 0);
        g_menuOwner = d;
        g_menuShot = "gamma-menu";
        SetTimer(nullptr, 0, 400, ShootMenu);
        SendMessageA(d, WM_COMMAND, 2022, 0);
        g_dialogAlreadyShot = true;
    }));
    shots.push_back(gamma("gamma-value", Setup{}, [](HWND d) {
        SendMessageA(GetDlgItem(d, 2020), BM_CLICK, 0, 0);
        ShootModal("gamma-value", [d] { SendMessageA(d, WM_COMMAND, 2120, 0); },
                   [](HWND v) { SetDlgItemTextA(v, 2004, "2.2"); });
        g_dialogAlreadyShot = true;
    }));
    shots.push_back(gamma("gamma-german", german, [ownCurve](HWND d) {
        ownCurve(d);
        SendMessageA(d, WM_COMMAND, 2008, 0);  // red
        SendMessageA(d, WM_COMMAND, 2103, 0);  // Monitor > Lighten Midtones
    }));
    Setup french;
    french.language = "French";
    shots.push_back(gamma("gamma-french", french, {}));
    Setup spanish;
    spanish.language = "Spanish";
    shots.push_back(gamma("gamma-spanish", spanish, [](HWND d) {
        SendMessageA(GetDlgItem(d, 2020), BM_CLICK, 0, 0);
    }));
    // The halftone cell editor, started from a built-in cell and with a few
    // places of one's own.
    shots.push_back({"halftone-editor", [] {
                         WithWindow(Setup{}, [&](InstalledSource& source, HWND w) {
                             ShootModal("halftone-editor", [&] { SendMessageA(w, WM_COMMAND, 1083, 0); },
                                        [](HWND d) { SendMessageA(d, WM_COMMAND, 303, 0); });
                             source.Pump(200);
                         });
                     }});
    shots.push_back({"halftone-editor-own", [] {
                         WithWindow(Setup{}, [&](InstalledSource& source, HWND w) {
                             ShootModal("halftone-editor-own", [&] { SendMessageA(w, WM_COMMAND, 1083, 0); },
                                        [](HWND d) {
                                            SendMessageA(d, WM_COMMAND, 301, 0);
                                            RECT g{};
                                            GetWindowRect(GetDlgItem(d, 300), &g);
                                            MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&g), 2);
                                            const int cw = (g.right - g.left) / 8, ch = (g.bottom - g.top) / 8;
                                            for (int p : {27, 28, 35, 36, 19, 20, 43, 44, 26, 29})
                                                SendMessageA(d, WM_LBUTTONDOWN, MK_LBUTTON,
                                                             MAKELPARAM(g.left + (p % 8) * cw + cw / 2,
                                                                        g.top + (p / 8) * ch + ch / 2));
                                        });
                             source.Pump(200);
                         });
                     }});
    // The about box.
    for (const auto& [name, setup] : {std::pair{"about", Setup{}}, std::pair{"about-german", german}}) {
        shots.push_back({name, [name, setup] {
                             WithWindow(setup, [&](InstalledSource& source, HWND w) {
                                 ShootModal(name, [&] { SendMessageA(w, WM_COMMAND, 1084, 0); });
                                 source.Pump(200);
                             });
                         }});
    }
    // The level dialog.
    auto level = [](const char* name, Setup s, bool colourPrescan, std::function<void(HWND)> prepare) {
        return Shot{name, [=] {
                        WithWindow(s, [&](InstalledSource& source, HWND w) {
                            if (colourPrescan) Command(source, w, 1063);
                            Click(source, w, 1002);
                            ShootModal(name, [&] { SendMessageA(w, WM_COMMAND, 1112, 0); }, prepare);
                            source.Pump(200);
                        });
                    }};
    };
    auto moveMarkers = [](HWND d) {
        RECT r{};
        GetWindowRect(GetDlgItem(d, 7029), &r);
        MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
        const int w = r.right - r.left, y = r.top + 2;
        for (auto [value, dx] : {std::pair{255, -50}, std::pair{0, 25}}) {
            const int x = r.left + value * w / 256;
            SendMessageA(d, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
            SendMessageA(d, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + dx, y));
            SendMessageA(d, WM_LBUTTONUP, 0, MAKELPARAM(x + dx, y));
        }
    };
    shots.push_back(level("level-rgb", Setup{}, true, moveMarkers));
    shots.push_back(level("level-gray", Setup{}, false, moveMarkers));
    shots.push_back(level("level-auto", Setup{}, true, [](HWND d) { SendMessageA(d, WM_COMMAND, 7009, 0); }));
    shots.push_back(level("level-german", german, true, {}));
    // Help topics in the viewer.
    const char* helpShots[][2] = {{"help-setup", "TWAIN.HLP"}, {"help-gamma", "TWAIN.HLP"},
                                  {"help-gamma-german", "TWAIN_G.HLP"},
                                  {"help-levels-french", "TWAIN_F.HLP"}};
    const int helpContexts[] = {1, 4, 4, 5};
    for (int i = 0; i < 4; ++i) {
        const char* name = helpShots[i][0];
        const char* file = helpShots[i][1];
        const int context = helpContexts[i];
        shots.push_back({name, [=] { ShootHelp(file, context, name); }});
    }
    // On a screen of 256 colours: a colour picture through its palette.
    shots.push_back(plain("setup-palette", Setup{}, [](InstalledSource& s, HWND w) {
        Command(s, w, 1063);
        Click(s, w, 1002);
    }));
    return shots;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) Die("usage: setup_screens OUTDIR SHOT...");
    g_outDir = argv[1];
    std::vector<Shot> shots = Shots();
    for (int i = 2; i < argc; ++i) {
        bool found = false;
        for (const Shot& s : shots) {
            if (argv[i] != std::string(s.name) && std::string(argv[i]) != "all") continue;
            const std::string shot = s.name;
            if (std::string(argv[i]) == "all" && shot.find("palette") != std::string::npos) continue;
            s.make();
            found = true;
        }
        if (!found) Die(std::string("no shot ") + argv[i]);
    }
    return 0;
}
