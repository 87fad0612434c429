// Hosts that do what the protocol allows but few expect: calling the source
// again from inside a notification or a message it pumps, asking for strips
// after the last one, passing a buffer that cannot be locked, asking for an
// area off the glass, running short of memory, or leaving odd settings
// stored. Each must get a clear answer, and the source must stay sound.
#include "tests/win/ds/acquisition_fixture.h"
#include "tests/win/ds/notification_recorder.h"

#include "ds/acquire/scan_job.h"
#include "ds/twain/strings.h"

#include <new>
#include <vector>

// ---- Allocations that can be made to fail --------------------------------

namespace {
DWORD g_failingThread = 0;     // the thread whose large allocations fail
size_t g_failFrom = ~size_t{0};  // from this size on
}  // namespace

// From the process heap, so that the compiler does not take the pair for a
// mismatch of new and free.
void* operator new(size_t size) {
    if (size >= g_failFrom && GetCurrentThreadId() == g_failingThread) throw std::bad_alloc();
    if (void* p = HeapAlloc(GetProcessHeap(), 0, size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    if (p) HeapFree(GetProcessHeap(), 0, p);
}
void operator delete(void* p, size_t) noexcept {
    if (p) HeapFree(GetProcessHeap(), 0, p);
}

namespace {

// Makes this thread's allocations of `bytes` or more fail while it lives.
class LargeAllocationsFail {
public:
    explicit LargeAllocationsFail(size_t bytes) {
        g_failingThread = GetCurrentThreadId();
        g_failFrom = bytes;
    }
    ~LargeAllocationsFail() {
        g_failFrom = ~size_t{0};
        g_failingThread = 0;
    }
};

class AwkwardHostTest : public AcquisitionTest {
protected:
    // Opens and starts a scan of the test chart's grey ramp without the
    // setup window.
    void StartScan(TW_UINT16 mechanism, TW_UINT16 pixelType, TW_UINT16 planarChunky = TWPC_CHUNKY) {
        ASSERT_EQ(Open(), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_XFERMECH, TWTY_UINT16, mechanism), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_PIXELTYPE, TWTY_UINT16, pixelType), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_PLANARCHUNKY, TWTY_UINT16, planarChunky), TWRC_SUCCESS);
        ASSERT_EQ(SetLayout(1.0, 1.6, 2.0, 2.1), TWRC_SUCCESS);
        ASSERT_EQ(EnableWithoutUi(), TWRC_SUCCESS);
        ASSERT_EQ(g_session.state, kState6XferReady);
    }

    // Takes strips into `buffer` until the image is done or a strip fails.
    TW_UINT16 TakeStrips(std::vector<uint8_t>& buffer) {
        TW_UINT16 rc;
        do {
            TW_IMAGEMEMXFER xfer{};
            xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, static_cast<TW_UINT32>(buffer.size()),
                           buffer.data()};
            rc = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        } while (rc == TWRC_SUCCESS);
        return rc;
    }

    // A host answering MSG_XFERREADY from inside the notification: it asks
    // for the image information and takes every strip there and then.
    static void AnswerAtOnce(TW_UINT16 message) {
        if (message != MSG_XFERREADY) return;
        AwkwardHostTest& t = *current_;
        t.Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &t.infoInside_);
        std::vector<uint8_t> buffer(64 * 1024);
        t.stripsInside_ = t.TakeStrips(buffer);
    }

    static AwkwardHostTest* current_;
    TW_IMAGEINFO infoInside_{};
    TW_UINT16 stripsInside_ = 0;
};

AwkwardHostTest* AwkwardHostTest::current_ = nullptr;

}  // namespace

TEST_F(AwkwardHostTest, AHostAnsweringTheNotificationAtOnceGetsTheImageAndEachCallItsOwnCode) {
    NotificationRecorder manager;
    current_ = this;
    manager.ReactWith(AnswerAtOnce);
    ASSERT_EQ(Open(), TWRC_SUCCESS);
    ASSERT_EQ(SetCap(ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY), TWRC_SUCCESS);
    ASSERT_EQ(SetCap(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    ASSERT_EQ(SetLayout(1.0, 1.6, 2.0, 2.1), TWRC_SUCCESS);

    EXPECT_EQ(EnableWithoutUi(), TWRC_SUCCESS) << "the enable's own code, not the transfer's";
    EXPECT_EQ(infoInside_.ImageWidth, 300) << "the image is described before the host hears of it";
    EXPECT_EQ(infoInside_.ImageLength, 150);
    EXPECT_EQ(infoInside_.PixelType, TWPT_GRAY);
    EXPECT_EQ(stripsInside_, TWRC_XFERDONE);
    EXPECT_EQ(g_session.state, kState7Transferring);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
}

namespace {

// A window of the host that asks the source for its status and then tries
// to close it whenever it is told to, as a host's window procedure may while
// the source pumps.
TW_UINT16 g_closedInside = 0;
LRESULT CALLBACK AskingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        auto* status = reinterpret_cast<TW_STATUS*>(lParam);
        TW_IDENTITY* app = reinterpret_cast<TW_IDENTITY*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        DS_Entry(app, DG_CONTROL, DAT_STATUS, MSG_GET, status);
        // Ending the transfer from in here must wait until it returns.
        g_closedInside = DS_Entry(app, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST_F(AwkwardHostTest, AHostCallingInWhileTheNativeScanPumpsStillReceivesItsBitmap) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = AskingWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "AskingHostWindow";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("AskingHostWindow", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&app_));
    StartScan(TWSX_NATIVE, TWPT_GRAY);

    // The status structure is 4 bytes; a bitmap handle written there would
    // run over the guard after it.
    struct {
        TW_STATUS status;
        uint32_t guard;
    } asked{{0xAAAA, 0xBBBB}, 0xC0FFEEu};
    PostMessageA(window, WM_APP, 0, reinterpret_cast<LPARAM>(&asked.status));
    TW_HANDLE bitmap = nullptr;
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &bitmap), TWRC_XFERDONE);
    EXPECT_EQ(asked.status.ConditionCode, TWCC_SUCCESS) << "the inner call was answered";
    EXPECT_EQ(g_closedInside, TWRC_FAILURE) << "no close in the middle of the transfer";
    EXPECT_EQ(g_session.state, kState7Transferring) << "the source is still open";
    EXPECT_EQ(asked.guard, 0xC0FFEEu);
    ASSERT_NE(bitmap, nullptr);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(static_cast<HGLOBAL>(bitmap)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 300);
    GlobalUnlock(static_cast<HGLOBAL>(bitmap));
    GlobalFree(static_cast<HGLOBAL>(bitmap));
    DestroyWindow(window);
    UnregisterClassA("AskingHostWindow", wc.hInstance);
}

TEST_F(AwkwardHostTest, StripsAskedForAfterTheLastAreRefusedWithoutANewScan) {
    StartScan(TWSX_MEMORY, TWPT_GRAY);
    std::vector<uint8_t> buffer(64 * 1024);
    ASSERT_EQ(TakeStrips(buffer), TWRC_XFERDONE);
    EXPECT_EQ(TakeStrips(buffer), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_SEQERROR);
    EXPECT_FALSE(g_job.Started) << "no second physical scan";
    EXPECT_EQ(g_session.state, kState7Transferring);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(g_session.state, kState5Enabled);
}

TEST_F(AwkwardHostTest, AHostBufferThatCannotBeLockedMidwayEndsTheScanAndTheNextScanIsWhole) {
    NotificationRecorder manager;
    const std::string log = wintest::TempPath("requests.log");
    ini_.Set(kScanner, "Log", log);
    StartScan(TWSX_MEMORY, TWPT_RGB, TWPC_CHUNKY);
    std::vector<uint8_t> buffer(16 * 1024);
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, static_cast<TW_UINT32>(buffer.size()), buffer.data()};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_SUCCESS);

    // A movable block of no size is discarded: it cannot be locked.
    HGLOBAL discarded = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(discarded, nullptr);
    xfer.Memory = {TWMF_APPOWNS | TWMF_HANDLE, 64 * 1024, discarded};
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_SEQERROR);
    EXPECT_EQ(g_session.state, kState7Transferring);
    EXPECT_FALSE(g_job.Started) << "the scan is finished";
    const std::vector<TW_UINT16> sent = manager.Messages();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), MSG_CLOSEDSREQ), 1);
    GlobalFree(discarded);
    const auto text = wintest::ReadWholeFile(log);
    EXPECT_NE(std::string(text.begin(), text.end()).rfind("7 Stop"), std::string::npos)
        << "the scanner was stopped";

    // The host carries on: the next scan is a whole image of its own.
    TW_PENDINGXFERS pending{};
    Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr);
    ASSERT_EQ(EnableWithoutUi(), TWRC_SUCCESS);
    TW_IMAGEINFO info{};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    uint32_t rows = 0;
    TW_UINT16 rc;
    do {
        xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, static_cast<TW_UINT32>(buffer.size()),
                       buffer.data()};
        rc = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        rows += xfer.Rows;
    } while (rc == TWRC_SUCCESS);
    EXPECT_EQ(rc, TWRC_XFERDONE);
    EXPECT_EQ(rows, static_cast<uint32_t>(info.ImageLength));
    DeleteFileA(log.c_str());
}

namespace {

// A manager that hands the host MSG_CLOSEDSREQ at once, and a host that
// disables and closes the source right there.
TW_IDENTITY* g_closingApp = nullptr;
void CloseAtOnce(TW_UINT16 message) {
    if (message != MSG_CLOSEDSREQ) return;
    DS_Entry(g_closingApp, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr);
    DS_Entry(g_closingApp, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
}

}  // namespace

TEST_F(AwkwardHostTest, AHostClosingTheSourceFromInsideTheCloseRequestCanOpenItAgain) {
    NotificationRecorder manager;
    g_closingApp = &app_;
    manager.ReactWith(CloseAtOnce);
    StartScan(TWSX_MEMORY, TWPT_GRAY);
    HGLOBAL discarded = GlobalAlloc(GMEM_MOVEABLE, 0);
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = {TWMF_APPOWNS | TWMF_HANDLE, 64 * 1024, discarded};
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_FAILURE);
    GlobalFree(discarded);
    EXPECT_EQ(g_session.state, kState3Loaded) << "closed from inside, and it stays closed";
    manager.ReactWith(nullptr);
    EXPECT_EQ(Open(), TWRC_SUCCESS);
}

TEST_F(AwkwardHostTest, MemoryThatCannotBeHadForTheWorkingBuffersIsInsufficientMemory) {
    wintest::MessageBoxWatcher watcher;
    // Colour strips in pixels go through pass files, converted a piece of
    // about a megabyte at a time.
    StartScan(TWSX_MEMORY, TWPT_RGB, TWPC_CHUNKY);
    std::vector<uint8_t> buffer(64 * 1024);
    TW_UINT16 rc;
    {
        LargeAllocationsFail fail(256 * 1024);
        rc = TakeStrips(buffer);
    }
    EXPECT_EQ(rc, TWRC_CANCEL);
    EXPECT_EQ(Status(), TWCC_LOWMEMORY);
    EXPECT_FALSE(g_job.Started);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].text, " Insufficient Memory.");
}

TEST_F(AwkwardHostTest, AnAreaOffTheGlassIsRefusedWithAMessageSayingSo) {
    wintest::MessageBoxWatcher watcher;
    NotificationRecorder manager;
    ASSERT_EQ(Open(), TWRC_SUCCESS);
    ASSERT_EQ(SetCap(ICAP_XFERMECH, TWTY_UINT16, TWSX_NATIVE), TWRC_SUCCESS);
    ASSERT_EQ(SetLayout(0.0, 0.0, 12.0, 2.0), TWRC_SUCCESS);  // 12 inches across
    EnableWithoutUi();
    EXPECT_NE(g_session.state, kState6XferReady);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].text, LoadDsString(211));
    EXPECT_EQ(LoadDsString(211),
              " The scan area cannot be scanned: it is empty, or it lies beyond the glass.");
    EXPECT_EQ(manager.Messages(), std::vector<TW_UINT16>{MSG_CLOSEDSREQ});
}

TEST_F(AwkwardHostTest, StoredScalingAndPresetsNeverMakeTheImageDisagreeWithItsDescription) {
    struct Case {
        const char* scaling;
        const char* dpiScale;
        int32_t width;  // of a 2-inch square asked for at 72 dpi
    } const cases[] = {
        // The virtual scanner is model 1200 (72 to 2400 dpi, 1200 natively).
        {"100", "0", 144},
        {"9999", "0", 1152},  // held to 800 % (2400 dpi) at the stored 300 dpi
        {"-1", "0", 144},     // held to 24 % there, and to 100 % (72 dpi) at the scan
        {"100", "4", 144},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("Scaling ") + c.scaling + ", DpiScale " + c.dpiScale);
        ini_.Set("ZEB-A100CX", "ScanRes", "300");
        ini_.Set("ZEB-A100CX", "Scaling", c.scaling);
        ini_.Set("ZEB-A100CX", "DpiScale", c.dpiScale);
        ASSERT_EQ(Open(), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_XFERMECH, TWTY_UINT16, TWSX_NATIVE), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_XRESOLUTION, TWTY_UINT32, 72), TWRC_SUCCESS);
        ASSERT_EQ(SetLayout(1.0, 1.0, 3.0, 3.0), TWRC_SUCCESS);
        ASSERT_EQ(EnableWithoutUi(), TWRC_SUCCESS);
        TW_IMAGEINFO info{};
        ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
        EXPECT_EQ(info.ImageWidth, c.width);
        EXPECT_EQ(info.ImageWidth, 2 * info.XResolution.Whole) << "two inches at the resolution given";
        HGLOBAL bitmap = TakeNative();
        ASSERT_NE(bitmap, nullptr);
        auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(bitmap));
        EXPECT_EQ(header->biWidth, info.ImageWidth);
        GlobalUnlock(bitmap);
        GlobalFree(bitmap);
        TW_PENDINGXFERS pending{};
        Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
        Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr);
        Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
    }
}
