// Capability negotiation as hosts live it: each request is made the way the
// dispatcher hands it on (session arguments stored, return code preset to
// success), the containers the host receives are read out of their global
// memory and freed by the test as a host frees them, and the containers the
// host sends are global memory that stays the host's.
#include "ds/twain/capabilities.h"

#include "common/twain.h"
#include "ds/twain/cap_containers.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "tests/support/wine_support.h"
#include "tests/win/ds/ds_fixture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

using namespace wintest;

namespace {

#if defined(_WIN32) && !defined(_WIN64)
#define TEST_DRIVER_CALL __stdcall
#else
#define TEST_DRIVER_CALL
#endif

// A scanner with a feeder, standing in for the driver's SPI_CALL: answers
// the inquiry with the feeder bit and, when told so, the paper bit.
bool g_paperInFeeder = false;
int g_inquiries = 0;

void TEST_DRIVER_CALL FeederScanner(void* block, uint16_t, uint16_t code) {
    auto* header = static_cast<DriverRequestHeader*>(block);
    header->Status = 0;
    if (code == kDriverInquire) {
        ++g_inquiries;
        auto* inquiry = static_cast<InquiryRequest*>(block);
        inquiry->Data[kInquiryOptionsByte] =
            kInquiryFeederFitted | (g_paperInFeeder ? kInquiryPaperInFeeder : 0);
    }
}

// What a host finds after a request.
struct HostAnswer {
    TW_UINT16 rc = 0;
    TW_UINT16 cc = 0;
    TW_UINT16 conType = 0;
    bool gotContainer = false;
    std::vector<uint8_t> bytes;

    TW_UINT16 ItemType() const { return Word(0); }
    TW_UINT32 Item() const { return Dword(2); }
    TW_UINT32 NumItems() const { return Dword(2); }
    TW_UINT32 CurrentIndex() const { return Dword(6); }
    TW_UINT32 DefaultIndex() const { return Dword(10); }
    std::vector<TW_UINT32> Items() const {
        std::vector<TW_UINT32> items;
        const size_t size = ItemType() == TWTY_UINT32 ? 4 : 2;
        for (TW_UINT32 i = 0; i < NumItems(); ++i) {
            items.push_back(size == 4 ? Dword(14 + 4 * i) : Word(14 + 2 * i));
        }
        return items;
    }
    TW_UINT16 Word(size_t at) const {
        TW_UINT16 v = 0;
        if (at + 2 <= bytes.size()) std::memcpy(&v, &bytes[at], 2);
        return v;
    }
    TW_UINT32 Dword(size_t at) const {
        TW_UINT32 v = 0;
        if (at + 4 <= bytes.size()) std::memcpy(&v, &bytes[at], 4);
        return v;
    }
};

// Copies a block the host received and frees it as the host would. A block
// that the host cannot free was not the host's to own.
std::vector<uint8_t> TakeBlock(HGLOBAL block) {
    std::vector<uint8_t> bytes(GlobalSize(block));
    const void* p = GlobalLock(block);
    EXPECT_NE(p, nullptr);
    if (p) std::memcpy(bytes.data(), p, bytes.size());
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr) << "the host frees what it receives";
    return bytes;
}

// The host's text block behind a Publisher CAP_AUTHOR/CAPTION/TIMEDATE item.
std::vector<uint8_t> TakeTextBlock(TW_UINT32 item) {
    HGLOBAL block = reinterpret_cast<HGLOBAL>(static_cast<uintptr_t>(item));
    EXPECT_NE(block, nullptr);
    if (!block) return {};
    return TakeBlock(block);
}

// A host's container for MSG_SET, in global memory the host owns.
class HostContainer {
public:
    explicit HostContainer(const std::vector<uint8_t>& bytes, UINT flags = GHND)
        : block_(GlobalAlloc(flags, bytes.size())) {
        void* p = GlobalLock(block_);
        std::memcpy(p, bytes.data(), bytes.size());
        GlobalUnlock(block_);
    }
    ~HostContainer() {
        EXPECT_EQ(GlobalFree(block_), nullptr) << "the source must leave the host's block alone";
    }
    HostContainer(const HostContainer&) = delete;
    HostContainer& operator=(const HostContainer&) = delete;
    HGLOBAL handle() const { return block_; }

private:
    HGLOBAL block_;
};

std::vector<uint8_t> OneValue(TW_UINT16 type, TW_UINT32 item) {
    std::vector<uint8_t> b(6);
    std::memcpy(&b[0], &type, 2);
    std::memcpy(&b[2], &item, 4);
    return b;
}

std::vector<uint8_t> Enumeration(TW_UINT16 type, std::vector<TW_UINT32> items,
                                 TW_UINT32 current, TW_UINT32 numItems) {
    const size_t size = type == TWTY_UINT32 ? 4 : 2;
    std::vector<uint8_t> b(14 + size * items.size());
    const TW_UINT32 defaultIndex = 0;
    std::memcpy(&b[0], &type, 2);
    std::memcpy(&b[2], &numItems, 4);
    std::memcpy(&b[6], &current, 4);
    std::memcpy(&b[10], &defaultIndex, 4);
    for (size_t i = 0; i < items.size(); ++i) std::memcpy(&b[14 + size * i], &items[i], size);
    return b;
}

std::vector<uint8_t> Enumeration(TW_UINT16 type, std::vector<TW_UINT32> items, TW_UINT32 current) {
    const TW_UINT32 n = static_cast<TW_UINT32>(items.size());
    return Enumeration(type, std::move(items), current, n);
}

HMODULE g_strings = nullptr;

class CapabilityNegotiation : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The string tables of the installed data source.
        g_strings = LoadLibraryExA(ProductFile("pavo.ds").c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (g_strings) FreeLibrary(g_strings);
        g_strings = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(g_strings, nullptr) << "pavo.ds is not installed in " << ProductFolder();
        savedSession_ = g_session;
        savedSettings_ = g_settings;
        savedLanguage_ = g_languageIndex;
        savedInstance_ = g_instance;

        g_session = SourceSession{};
        g_session.state = kState4Open;
        g_settings = DefaultScanSettings();
        g_languageIndex = 0;
        g_instance = g_strings;
        ConnectHost("Pavo Test Host");
        g_paperInFeeder = false;
        g_inquiries = 0;
    }

    void TearDown() override {
        g_session = savedSession_;
        g_settings = savedSettings_;
        g_languageIndex = savedLanguage_;
        g_instance = savedInstance_;
    }

    static void ConnectHost(const char* productName) {
        g_session.appIdentity.Id = 1;
        std::memset(g_session.appIdentity.ProductName, 0, sizeof g_session.appIdentity.ProductName);
        std::strncpy(g_session.appIdentity.ProductName, productName,
                     sizeof g_session.appIdentity.ProductName - 1);
    }

    static void FitFeeder(bool enabled) {
        g_settings.FeederPresent = 1;
        g_settings.FeederEnabled = enabled ? 1 : 0;
        g_settings.Block.ScanSource = enabled ? kSourceFeeder : kSourceGlass;
        g_session.driverEntry = FeederScanner;
    }

    // One DAT_CAPABILITY request as the dispatcher passes it on.
    static TW_UINT16 Request(TW_UINT16 message, void* data) {
        g_session.dataArgType = DAT_CAPABILITY;
        g_session.message = message;
        g_session.data = data;
        g_session.returnCode = TWRC_SUCCESS;
        CapabilityOperation();
        return g_session.returnCode;
    }

    static HostAnswer Ask(TW_UINT16 capId, TW_UINT16 message = MSG_GET) {
        TW_CAPABILITY cap{capId, TWON_DONTCARE16, nullptr};
        HostAnswer a;
        a.rc = Request(message, &cap);
        a.cc = g_session.conditionCode;
        a.conType = cap.ConType;
        if (cap.hContainer) {
            a.gotContainer = true;
            a.bytes = TakeBlock(static_cast<HGLOBAL>(cap.hContainer));
        }
        return a;
    }

    // MSG_SET with a container the host allocated; gives the return code.
    static TW_UINT16 Set(TW_UINT16 capId, TW_UINT16 conType, const std::vector<uint8_t>& bytes) {
        HostContainer container(bytes);
        TW_CAPABILITY cap{capId, conType, container.handle()};
        const TW_UINT16 rc = Request(MSG_SET, &cap);
        EXPECT_EQ(cap.hContainer, container.handle());
        return rc;
    }

    static TW_UINT16 SetOne(TW_UINT16 capId, TW_UINT16 type, TW_UINT32 item) {
        return Set(capId, TWON_ONEVALUE, OneValue(type, item));
    }

    static TW_UINT32 CurrentValue(TW_UINT16 capId) {
        HostAnswer a = Ask(capId, MSG_GETCURRENT);
        EXPECT_EQ(a.rc, TWRC_SUCCESS) << "cap " << capId;
        return a.Item();
    }

    static void ExpectOneValue(TW_UINT16 capId, TW_UINT16 message, TW_UINT16 type,
                               TW_UINT32 item) {
        HostAnswer a = Ask(capId, message);
        ASSERT_EQ(a.rc, TWRC_SUCCESS) << "cap 0x" << std::hex << capId;
        EXPECT_EQ(a.cc, TWCC_SUCCESS);
        EXPECT_EQ(a.conType, TWON_ONEVALUE) << "cap 0x" << std::hex << capId;
        EXPECT_EQ(a.bytes.size(), 6u);
        EXPECT_EQ(a.ItemType(), type) << "cap 0x" << std::hex << capId;
        EXPECT_EQ(a.Item(), item) << "cap 0x" << std::hex << capId;
    }

    static void ExpectFailure(const HostAnswer& a, TW_UINT16 cc) {
        EXPECT_EQ(a.rc, TWRC_FAILURE);
        EXPECT_EQ(a.cc, cc);
        EXPECT_FALSE(a.gotContainer) << "a failed request hands over no memory";
    }

    static void ExpectFailure(TW_UINT16 rc, TW_UINT16 cc) {
        EXPECT_EQ(rc, TWRC_FAILURE);
        EXPECT_EQ(g_session.conditionCode, cc);
    }

private:
    SourceSession savedSession_;
    ScanSettings savedSettings_;
    int savedLanguage_ = 0;
    HINSTANCE savedInstance_ = nullptr;
};

class StandardHost : public CapabilityNegotiation {};
class FeederNegotiation : public CapabilityNegotiation {};
class PublisherHost : public CapabilityNegotiation {
protected:
    void SetUp() override {
        CapabilityNegotiation::SetUp();
        ConnectHost("Microsoft Publisher");
    }
};
class SpecialHosts : public CapabilityNegotiation {};
class HostileHost : public CapabilityNegotiation {};

// ---- A standard host reading values ---------------------------------------

TEST_F(StandardHost, ReadsEachListCapabilityAsItsCurrentValueWithAllThreeGets) {
    for (TW_UINT16 message : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT}) {
        ExpectOneValue(ICAP_XFERMECH, message, TWTY_UINT16, TWSX_MEMORY);
        ExpectOneValue(ICAP_PIXELTYPE, message, TWTY_UINT16, TWPT_BW);
        ExpectOneValue(ICAP_UNITS, message, TWTY_UINT16, TWUN_INCHES);
        ExpectOneValue(ICAP_IMAGEFILEFORMAT, message, TWTY_UINT16, TWFF_TIFF);
        ExpectOneValue(ICAP_XRESOLUTION, message, TWTY_UINT32, 300);
        ExpectOneValue(ICAP_YRESOLUTION, message, TWTY_UINT32, 300);
        ExpectOneValue(ICAP_SUPPORTEDSIZES, message, TWTY_UINT16, TWSS_NONE);
    }
}

TEST_F(StandardHost, GetDefaultAnswersTheCurrentValueNotTheDefault) {
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_SUCCESS);
    ExpectOneValue(ICAP_PIXELTYPE, MSG_GETDEFAULT, TWTY_UINT16, TWPT_RGB);
}

TEST_F(StandardHost, ReadsTheFixedDeviceFacts) {
    ExpectOneValue(CAP_XFERCOUNT, MSG_GET, TWTY_INT16, 0xFFFFFFFF);
    ExpectOneValue(ICAP_COMPRESSION, MSG_GET, TWTY_UINT16, TWCP_NONE);
    ExpectOneValue(CAP_INDICATORS, MSG_GETCURRENT, TWTY_BOOL, 0);
    ExpectOneValue(ICAP_FILTER, MSG_GET, TWTY_UINT16, 3);
    ExpectOneValue(ICAP_LIGHTSOURCE, MSG_GET, TWTY_UINT16, 4);
    ExpectOneValue(ICAP_PIXELFLAVOR, MSG_GETDEFAULT, TWTY_BOOL, 0);
    ExpectOneValue(ICAP_PLANARCHUNKY, MSG_GET, TWTY_UINT16, TWPC_PLANAR);
}

TEST_F(StandardHost, AskingForAnUnofferedCapabilityIsBadCap) {
    ExpectFailure(Ask(ICAP_BRIGHTNESS), TWCC_BADCAP);
    ExpectFailure(Ask(CAP_AUTHOR), TWCC_BADCAP);
    ExpectFailure(Ask(0x8001, MSG_GETCURRENT), TWCC_BADCAP);
}

TEST_F(StandardHost, MessagesOtherThanGetSetAndResetAreBadProtocol) {
    ExpectFailure(Ask(ICAP_PIXELTYPE, MSG_GETFIRST), TWCC_BADPROTOCOL);
    ExpectFailure(Ask(ICAP_PIXELTYPE, MSG_QUERYSUPPORT), TWCC_BADPROTOCOL);
    ExpectFailure(Ask(ICAP_PIXELTYPE, MSG_ENDXFER), TWCC_BADPROTOCOL);
}

TEST_F(StandardHost, IsAnsweredInEveryState) {
    for (int state : {kState3Loaded, kState5Enabled, kState6XferReady, kState7Transferring}) {
        g_session.state = state;
        ExpectOneValue(ICAP_XRESOLUTION, MSG_GET, TWTY_UINT32, 300);
        EXPECT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS) << state;
    }
}

TEST_F(StandardHost, SuccessClearsTheConditionOfAnEarlierFailure) {
    ExpectFailure(Ask(ICAP_BRIGHTNESS), TWCC_BADCAP);
    ExpectOneValue(ICAP_PIXELTYPE, MSG_GET, TWTY_UINT16, TWPT_BW);
}

// ---- A standard host setting values ---------------------------------------

TEST_F(StandardHost, SettingSixHundredDpiOnXAlsoSetsY) {
    EXPECT_EQ(SetOne(ICAP_XRESOLUTION, TWTY_UINT32, 600), TWRC_SUCCESS);
    EXPECT_EQ(g_session.conditionCode, TWCC_SUCCESS);
    EXPECT_EQ(CurrentValue(ICAP_YRESOLUTION), 600u);
    EXPECT_EQ(SetOne(ICAP_YRESOLUTION, TWTY_UINT16, 72), TWRC_SUCCESS);
    EXPECT_EQ(CurrentValue(ICAP_XRESOLUTION), 72u);
}

TEST_F(StandardHost, FixedPointResolutionsAreTakenAtTheNearestWholeDpi) {
    auto fix = [](double v) { return Fix32ToUint32(DoubleToFix32(v)); };
    EXPECT_EQ(SetOne(ICAP_XRESOLUTION, TWTY_FIX32, fix(600.0)), TWRC_SUCCESS);
    ExpectOneValue(ICAP_XRESOLUTION, MSG_GET, TWTY_UINT32, 600);
    EXPECT_EQ(SetOne(ICAP_YRESOLUTION, TWTY_FIX32, fix(199.6)), TWRC_SUCCESS);
    EXPECT_EQ(CurrentValue(ICAP_XRESOLUTION), 200u);
    ExpectFailure(SetOne(ICAP_XRESOLUTION, TWTY_FIX32, fix(601.3)), TWCC_BADVALUE);
    ExpectFailure(SetOne(ICAP_XRESOLUTION, TWTY_FIX32, fix(-300.0)), TWCC_BADVALUE);
    EXPECT_EQ(CurrentValue(ICAP_XRESOLUTION), 200u) << "a refused value changes nothing";
}

TEST_F(StandardHost, AnswersTheCapabilitiesEveryImageSourceMustHave) {
    // The list of what the source answers, each of which does answer.
    HostAnswer list = Ask(CAP_SUPPORTEDCAPS);
    ASSERT_EQ(list.rc, TWRC_SUCCESS);
    EXPECT_EQ(list.conType, TWON_ARRAY);
    EXPECT_EQ(list.ItemType(), TWTY_UINT16);
    std::vector<TW_UINT16> caps;
    for (TW_UINT32 i = 0; i < list.NumItems(); ++i) caps.push_back(list.Word(6 + 2 * i));
    for (TW_UINT16 cap : {ICAP_BITDEPTH, ICAP_PHYSICALWIDTH, ICAP_PHYSICALHEIGHT, ICAP_BITORDER,
                          ICAP_XRESOLUTION, CAP_SUPPORTEDCAPS})
        EXPECT_NE(std::find(caps.begin(), caps.end(), cap), caps.end()) << std::hex << cap;
    EXPECT_EQ(std::find(caps.begin(), caps.end(), CAP_FEEDERLOADED), caps.end())
        << "no feeder, no feeder query";
    for (TW_UINT16 cap : caps) EXPECT_EQ(Ask(cap).rc, TWRC_SUCCESS) << std::hex << cap;

    ExpectOneValue(ICAP_BITDEPTH, MSG_GET, TWTY_UINT16, 1);
    EXPECT_EQ(SetOne(ICAP_BITDEPTH, TWTY_UINT16, 1), TWRC_SUCCESS);
    ExpectFailure(SetOne(ICAP_BITDEPTH, TWTY_UINT16, 8), TWCC_BADVALUE);
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_SUCCESS);
    ExpectOneValue(ICAP_BITDEPTH, MSG_GETCURRENT, TWTY_UINT16, 8);
    ExpectOneValue(ICAP_BITORDER, MSG_GET, TWTY_UINT16, TWBO_MSBFIRST);

    auto fix = [](double v) { return Fix32ToUint32(DoubleToFix32(v)); };
    ExpectOneValue(ICAP_PHYSICALWIDTH, MSG_GET, TWTY_FIX32, fix(8.5));
    ExpectOneValue(ICAP_PHYSICALHEIGHT, MSG_GET, TWTY_FIX32, fix(14.0));
    ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TWUN_CENTIMETERS), TWRC_SUCCESS);
    ExpectOneValue(ICAP_PHYSICALWIDTH, MSG_GET, TWTY_FIX32, fix(21.59));
    ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TWUN_PIXELS), TWRC_SUCCESS);
    ExpectOneValue(ICAP_PHYSICALHEIGHT, MSG_GET, TWTY_FIX32, fix(14.0 * 300));
}

TEST_F(StandardHost, EnumerationSetsItsFirstItemWhateverItsCurrentIndex) {
    EXPECT_EQ(Set(ICAP_PIXELTYPE, TWON_ENUMERATION,
                  Enumeration(TWTY_UINT16, {TWPT_RGB, TWPT_GRAY, TWPT_BW}, 2)),
              TWRC_SUCCESS);
    EXPECT_EQ(CurrentValue(ICAP_PIXELTYPE), TWPT_RGB);
    EXPECT_EQ(Set(ICAP_XRESOLUTION, TWON_ENUMERATION, Enumeration(TWTY_UINT32, {200, 600}, 1)),
              TWRC_SUCCESS);
    EXPECT_EQ(CurrentValue(ICAP_YRESOLUTION), 200u);
}

TEST_F(StandardHost, EachListCapabilityTakesEveryValueOfItsList) {
    EXPECT_EQ(SetOne(ICAP_XFERMECH, TWTY_UINT16, TWSX_NATIVE), TWRC_SUCCESS);
    EXPECT_EQ(g_session.caps.xferMech, 0);
    EXPECT_EQ(SetOne(ICAP_XFERMECH, TWTY_UINT16, TWSX_FILE), TWRC_SUCCESS);
    EXPECT_EQ(g_session.caps.xferMech, 1);
    EXPECT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TWUN_PIXELS), TWRC_SUCCESS);
    EXPECT_EQ(g_session.caps.units, 5);
    EXPECT_EQ(SetOne(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, 3), TWRC_SUCCESS);  // XBM
    EXPECT_EQ(g_session.caps.fileFormat, 3);
    EXPECT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_PALETTE), TWRC_SUCCESS);
    EXPECT_EQ(g_session.caps.pixelType, 3);
    EXPECT_EQ(SetOne(ICAP_XRESOLUTION, TWTY_INT32, 200), TWRC_SUCCESS);
    EXPECT_EQ(g_session.caps.resolution, 1);
}

TEST_F(StandardHost, ValueOutsideTheListIsRefusedAndThePositionKept) {
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    ExpectFailure(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, 4), TWCC_BADVALUE);
    ExpectFailure(SetOne(ICAP_UNITS, TWTY_UINT16, 6), TWCC_BADVALUE);
    ExpectFailure(SetOne(ICAP_XFERMECH, TWTY_UINT16, 3), TWCC_BADVALUE);
    ExpectFailure(SetOne(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, 4), TWCC_BADVALUE);
    ExpectFailure(SetOne(ICAP_XRESOLUTION, TWTY_UINT32, 400), TWCC_BADVALUE);
    EXPECT_EQ(CurrentValue(ICAP_PIXELTYPE), TWPT_GRAY);
    EXPECT_EQ(CurrentValue(ICAP_XRESOLUTION), 300u);
    EXPECT_EQ(CurrentValue(ICAP_XFERMECH), TWSX_MEMORY);
}

TEST_F(StandardHost, UnknownPaperSizeIsIgnoredWithoutFailure) {
    EXPECT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TWSS_USLETTER), TWRC_SUCCESS);
    EXPECT_EQ(CurrentValue(ICAP_SUPPORTEDSIZES), TWSS_USLETTER);
    EXPECT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, 9), TWRC_SUCCESS);
    EXPECT_EQ(g_session.conditionCode, TWCC_SUCCESS);
    EXPECT_EQ(CurrentValue(ICAP_SUPPORTEDSIZES), TWSS_USLETTER);
}

TEST_F(StandardHost, TransferCountBecomesThePendingCount) {
    EXPECT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, 1), TWRC_SUCCESS);
    EXPECT_EQ(g_session.pendingCount, 1);
    EXPECT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, 0xFFFF), TWRC_SUCCESS);
    EXPECT_EQ(g_session.pendingCount, 0xFFFF);
    EXPECT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT32, 0xFFFFFFFF), TWRC_SUCCESS);
    EXPECT_EQ(g_session.pendingCount, 0xFFFF);
}

TEST_F(StandardHost, ChunkyPlanarChoiceReachesTheSettings) {
    EXPECT_EQ(SetOne(ICAP_PLANARCHUNKY, TWTY_UINT16, TWPC_PLANAR), TWRC_SUCCESS);
    EXPECT_EQ(g_settings.ChunkyPixels, 0u);
    EXPECT_EQ(SetOne(ICAP_PLANARCHUNKY, TWTY_UINT16, TWPC_CHUNKY), TWRC_SUCCESS);
    EXPECT_EQ(g_settings.ChunkyPixels, 1u);
}

TEST_F(StandardHost, UnlistedSettingSucceedsWithBadValueKeptForStatus) {
    EXPECT_EQ(SetOne(ICAP_BRIGHTNESS, TWTY_INT32, 10), TWRC_SUCCESS);
    EXPECT_EQ(g_session.conditionCode, TWCC_BADVALUE);
    EXPECT_EQ(SetOne(ICAP_COMPRESSION, TWTY_UINT16, 0), TWRC_SUCCESS);
    EXPECT_EQ(g_session.conditionCode, TWCC_BADVALUE);
}

TEST_F(StandardHost, PageCommandsAreBadCap) {
    ExpectFailure(SetOne(CAP_CLEARPAGE, TWTY_UINT16, 1), TWCC_BADCAP);
    ExpectFailure(SetOne(CAP_FEEDPAGE, TWTY_UINT16, 1), TWCC_BADCAP);
}

TEST_F(StandardHost, ResetPutsEveryPositionBackAndAnswersTheDefault) {
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(ICAP_XRESOLUTION, TWTY_UINT32, 600), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(ICAP_XFERMECH, TWTY_UINT16, TWSX_NATIVE), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TWUN_CENTIMETERS), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TWFF_BMP), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TWSS_A4LETTER), TWRC_SUCCESS);

    ExpectOneValue(ICAP_PIXELTYPE, MSG_RESET, TWTY_UINT16, TWPT_BW);
    EXPECT_EQ(CurrentValue(ICAP_XRESOLUTION), 300u);
    EXPECT_EQ(CurrentValue(ICAP_XFERMECH), TWSX_MEMORY);
    EXPECT_EQ(CurrentValue(ICAP_UNITS), TWUN_INCHES);
    EXPECT_EQ(CurrentValue(ICAP_IMAGEFILEFORMAT), TWFF_TIFF);
    EXPECT_EQ(CurrentValue(ICAP_SUPPORTEDSIZES), TWSS_NONE);
}

TEST_F(StandardHost, ResetOfAFixedCapabilityAlsoResetsThePositions) {
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_SUCCESS);
    ExpectOneValue(ICAP_COMPRESSION, MSG_RESET, TWTY_UINT16, TWCP_NONE);
    EXPECT_EQ(CurrentValue(ICAP_PIXELTYPE), TWPT_BW);
}

TEST_F(StandardHost, FailedResetKeepsThePositions) {
    ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_SUCCESS);
    ExpectFailure(Ask(ICAP_BRIGHTNESS, MSG_RESET), TWCC_BADCAP);
    EXPECT_EQ(CurrentValue(ICAP_PIXELTYPE), TWPT_RGB);
}

// ---- The document feeder ----------------------------------------------------

TEST_F(FeederNegotiation, WithoutAFeederTheFeederCannotBeUsed) {
    g_settings.FeederEnabled = 1;  // a stale setting that must not survive
    g_settings.Block.ScanSource = kSourceFeeder;
    g_session.autoFeed = 1;

    ExpectOneValue(CAP_FEEDERENABLED, MSG_GET, TWTY_BOOL, 0);
    ExpectFailure(Ask(CAP_FEEDERLOADED), TWCC_BADCAP);
    ExpectFailure(SetOne(CAP_FEEDERENABLED, TWTY_UINT16, 1), TWCC_BADCAP);
    EXPECT_EQ(g_settings.FeederEnabled, 0u);
    EXPECT_EQ(g_settings.Block.ScanSource, kSourceGlass);
    ExpectFailure(SetOne(CAP_AUTOFEED, TWTY_UINT16, 1), TWCC_BADCAP);
    EXPECT_EQ(g_session.autoFeed, 0u);
    EXPECT_FALSE(g_session.feederLoadedQueried);
}

TEST_F(FeederNegotiation, OpenSourceEnablesAndDisablesTheFeeder) {
    FitFeeder(false);
    EXPECT_EQ(SetOne(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
    EXPECT_EQ(g_settings.FeederEnabled, 1u);
    EXPECT_EQ(g_settings.Block.ScanSource, kSourceFeeder);
    EXPECT_EQ(SetOne(CAP_FEEDERENABLED, TWTY_UINT16, 0), TWRC_SUCCESS);
    EXPECT_EQ(g_settings.FeederEnabled, 0u);
    EXPECT_EQ(g_settings.Block.ScanSource, kSourceGlass);
}

TEST_F(FeederNegotiation, FeederEnabledReadsWhetherAFeederIsFitted) {
    FitFeeder(false);
    ExpectOneValue(CAP_FEEDERENABLED, MSG_GET, TWTY_BOOL, 1);
}

TEST_F(FeederNegotiation, FeederSettingsAreLockedOnceTheSourceIsEnabled) {
    FitFeeder(true);
    g_session.autoFeed = 0;
    for (int state : {kState5Enabled, kState6XferReady, kState7Transferring}) {
        g_session.state = state;
        ExpectFailure(SetOne(CAP_FEEDERENABLED, TWTY_UINT16, 0), TWCC_SEQERROR);
        ExpectFailure(SetOne(CAP_AUTOFEED, TWTY_UINT16, 1), TWCC_SEQERROR);
    }
    EXPECT_EQ(g_settings.FeederEnabled, 1u);
    EXPECT_EQ(g_settings.Block.ScanSource, kSourceFeeder);
    EXPECT_EQ(g_session.autoFeed, 0u);
}

TEST_F(FeederNegotiation, FeederSettingsNeedAnOpenSource) {
    FitFeeder(false);
    g_session.state = kState3Loaded;
    ExpectFailure(SetOne(CAP_FEEDERENABLED, TWTY_UINT16, 1), TWCC_SEQERROR);
    EXPECT_EQ(g_settings.FeederEnabled, 0u);
}

TEST_F(FeederNegotiation, AutoFeedNeedsTheFeederEnabled) {
    FitFeeder(false);
    g_session.autoFeed = 1;
    ExpectFailure(SetOne(CAP_AUTOFEED, TWTY_UINT16, 1), TWCC_BADCAP);
    EXPECT_EQ(g_session.autoFeed, 0u);

    g_settings.FeederEnabled = 1;
    EXPECT_EQ(SetOne(CAP_AUTOFEED, TWTY_BOOL, 1), TWRC_SUCCESS);
    EXPECT_EQ(g_session.autoFeed, 1u);
}

TEST_F(FeederNegotiation, ReadingAutoFeedSwitchesItOff) {
    FitFeeder(true);
    ASSERT_EQ(SetOne(CAP_AUTOFEED, TWTY_UINT16, 1), TWRC_SUCCESS);
    ExpectOneValue(CAP_AUTOFEED, MSG_GET, TWTY_BOOL, 0);
    EXPECT_EQ(g_session.autoFeed, 0u);
}

TEST_F(FeederNegotiation, FeederLoadedAsksTheScannerAndSwitchesToFeederCounting) {
    FitFeeder(true);
    g_paperInFeeder = true;
    ExpectOneValue(CAP_FEEDERLOADED, MSG_GET, TWTY_BOOL, 1);
    EXPECT_EQ(g_inquiries, 1);
    EXPECT_TRUE(g_session.feederLoadedQueried);

    g_paperInFeeder = false;
    ExpectOneValue(CAP_FEEDERLOADED, MSG_GETCURRENT, TWTY_BOOL, 0);
    EXPECT_EQ(g_inquiries, 2);
}

// ---- Microsoft Publisher ----------------------------------------------------

TEST_F(StandardHost, FramesSetTheLayoutAsTheLayoutOperationDoes) {
    auto frameBytes = [](double l, double t, double r, double b) {
        const TW_FRAME f{DoubleToFix32(l), DoubleToFix32(t), DoubleToFix32(r), DoubleToFix32(b)};
        std::vector<uint8_t> bytes(18);
        bytes[0] = TWTY_FRAME;
        std::memcpy(bytes.data() + 2, &f, sizeof f);
        return bytes;
    };
    HostAnswer a = Ask(ICAP_FRAMES);
    ASSERT_EQ(a.rc, TWRC_SUCCESS);
    EXPECT_EQ(a.conType, TWON_ONEVALUE);
    EXPECT_EQ(a.bytes, frameBytes(0, 0, 0, 0)) << "the default layout's frame";

    const std::vector<uint8_t> strip = frameBytes(0, 1, 8.5, 1.5);
    ASSERT_EQ(Set(ICAP_FRAMES, TWON_ONEVALUE, strip), TWRC_SUCCESS);
    EXPECT_EQ(Ask(ICAP_FRAMES, MSG_GETCURRENT).bytes, strip);
    EXPECT_EQ(Fix32ToDouble(g_session.currentLayout.Frame.Bottom), 1.5);
    ExpectFailure(Set(ICAP_FRAMES, TWON_ONEVALUE, OneValue(TWTY_UINT16, 3)), TWCC_BADVALUE);
    ExpectFailure(Set(ICAP_FRAMES, TWON_ONEVALUE, std::vector<uint8_t>(strip.begin(), strip.begin() + 10)),
                  TWCC_BADVALUE);
    EXPECT_EQ(Ask(ICAP_FRAMES).bytes, strip) << "a refused frame changes nothing";

    EXPECT_EQ(Ask(ICAP_FRAMES, MSG_RESET).bytes, frameBytes(0, 0, 0, 0));
    g_session.state = kState5Enabled;
    ExpectFailure(Set(ICAP_FRAMES, TWON_ONEVALUE, strip), TWCC_SEQERROR);
    g_session.state = kState4Open;
}

TEST_F(PublisherHost, ListsWhatItsOwnHandlerAnswers) {
    HostAnswer list = Ask(CAP_SUPPORTEDCAPS);
    ASSERT_EQ(list.rc, TWRC_SUCCESS);
    EXPECT_EQ(list.conType, TWON_ARRAY);
    ASSERT_GT(list.NumItems(), 0u);
    for (TW_UINT32 i = 0; i < list.NumItems(); ++i) {
        const TW_UINT16 cap = list.Word(6 + 2 * i);
        HostAnswer a = Ask(cap);
        EXPECT_EQ(a.rc, TWRC_SUCCESS) << std::hex << cap;
        // The text capabilities hand over a second block.
        if (a.gotContainer && PublisherTextBlockSize(cap)) TakeTextBlock(a.Item());
    }
    EXPECT_EQ(Ask(ICAP_BITDEPTH).rc, TWRC_FAILURE) << "not this handler's";
}

TEST_F(PublisherHost, PixelTypesComeAsAnEnumerationOfFourWhereOthersGetOneValue) {
    HostAnswer a = Ask(ICAP_PIXELTYPE);
    ASSERT_EQ(a.rc, TWRC_SUCCESS);
    EXPECT_EQ(a.conType, TWON_ENUMERATION);
    EXPECT_EQ(a.ItemType(), TWTY_UINT16);
    EXPECT_EQ(a.Items(), (std::vector<TW_UINT32>{TWPT_BW, TWPT_GRAY, TWPT_RGB, TWPT_PALETTE}));
    EXPECT_EQ(a.CurrentIndex(), 0u);
    EXPECT_EQ(a.DefaultIndex(), 0u);
    EXPECT_EQ(a.bytes.size(), 14u + 4 * 2);

    ConnectHost("Microsoft Publisher 97");
    HostAnswer other = Ask(ICAP_PIXELTYPE);
    EXPECT_EQ(other.conType, TWON_ONEVALUE);
}

TEST_F(PublisherHost, EnumerationsShowTheCurrentAndTheDefaultPosition) {
    g_session.caps.resolution = 3;
    g_session.caps.xferMech = 0;
    HostAnswer res = Ask(ICAP_YRESOLUTION);
    ASSERT_EQ(res.rc, TWRC_SUCCESS);
    EXPECT_EQ(res.ItemType(), TWTY_UINT32);
    EXPECT_EQ(res.Items(), (std::vector<TW_UINT32>{72, 200, 300, 600}));
    EXPECT_EQ(res.CurrentIndex(), 3u);
    EXPECT_EQ(res.DefaultIndex(), 2u);

    HostAnswer mech = Ask(ICAP_XFERMECH);
    EXPECT_EQ(mech.Items(), (std::vector<TW_UINT32>{0, 1, 2}));
    EXPECT_EQ(mech.CurrentIndex(), 0u);
    EXPECT_EQ(mech.DefaultIndex(), 2u);

    EXPECT_EQ(Ask(ICAP_UNITS).NumItems(), 6u);
    EXPECT_EQ(Ask(ICAP_IMAGEFILEFORMAT).NumItems(), 4u);
}

TEST_F(PublisherHost, FreshSessionStandsOnEveryDefault) {
    for (TW_UINT16 cap : {ICAP_PIXELTYPE, ICAP_UNITS, ICAP_XFERMECH, ICAP_IMAGEFILEFORMAT,
                          ICAP_XRESOLUTION}) {
        HostAnswer a = Ask(cap);
        EXPECT_EQ(a.CurrentIndex(), a.DefaultIndex()) << std::hex << cap;
    }
}

TEST_F(PublisherHost, GetCurrentAndGetDefaultAnswerOneValue) {
    g_session.caps.pixelType = 2;
    g_session.caps.xferMech = 1;
    g_session.caps.resolution = 1;
    ExpectOneValue(ICAP_PIXELTYPE, MSG_GETCURRENT, TWTY_UINT16, TWPT_RGB);
    ExpectOneValue(ICAP_PIXELTYPE, MSG_GETDEFAULT, TWTY_UINT16, TWPT_BW);
    ExpectOneValue(ICAP_XFERMECH, MSG_GETDEFAULT, TWTY_UINT16, TWSX_MEMORY);
    ExpectOneValue(ICAP_XRESOLUTION, MSG_GETCURRENT, TWTY_UINT32, 200);
    ExpectOneValue(ICAP_XRESOLUTION, MSG_GETDEFAULT, TWTY_UINT32, 200);
    ExpectOneValue(ICAP_IMAGEFILEFORMAT, MSG_GETDEFAULT, TWTY_UINT16, TWFF_TIFF);
    ExpectOneValue(ICAP_UNITS, MSG_GETDEFAULT, TWTY_UINT16, TWUN_INCHES);
}

TEST_F(PublisherHost, SettingAndResettingChangeNothing) {
    g_session.caps.pixelType = 1;
    EXPECT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_SUCCESS);
    EXPECT_EQ(g_session.conditionCode, TWCC_SUCCESS);
    EXPECT_EQ(SetOne(ICAP_XRESOLUTION, TWTY_FIX32, 0), TWRC_SUCCESS);
    HostAnswer reset = Ask(ICAP_PIXELTYPE, MSG_RESET);
    EXPECT_EQ(reset.rc, TWRC_SUCCESS);
    EXPECT_FALSE(reset.gotContainer);
    EXPECT_EQ(g_session.caps.pixelType, 1);
    EXPECT_EQ(g_session.caps.resolution, 2);
}

TEST_F(PublisherHost, FixedAnswersComeWhateverTheMessage) {
    for (TW_UINT16 message : {MSG_GET, MSG_GETDEFAULT, MSG_RESET, MSG_QUERYSUPPORT}) {
        ExpectOneValue(CAP_XFERCOUNT, message, TWTY_INT16, 0xFFFFFFFF);
        ExpectOneValue(ICAP_COMPRESSION, message, TWTY_UINT16, 0);
        ExpectOneValue(ICAP_FILTER, message, TWTY_UINT16, 3);
        ExpectOneValue(ICAP_LIGHTSOURCE, message, TWTY_UINT16, 4);
        ExpectOneValue(ICAP_PIXELFLAVOR, message, TWTY_BOOL, 0);
    }
}

TEST_F(PublisherHost, ImageCapabilitiesOutsideItsSetAreBadValue) {
    ExpectFailure(Ask(ICAP_PLANARCHUNKY), TWCC_BADVALUE);
    ExpectFailure(Ask(ICAP_SUPPORTEDSIZES), TWCC_BADVALUE);
    ExpectFailure(Ask(ICAP_BRIGHTNESS, MSG_GETCURRENT), TWCC_BADVALUE);
    ExpectFailure(SetOne(ICAP_PLANARCHUNKY, TWTY_UINT16, TWPC_CHUNKY), TWCC_BADVALUE);
    EXPECT_EQ(g_settings.ChunkyPixels, 1u);
}

TEST_F(PublisherHost, OtherCapabilitiesIncludingTheFeederAreBadCap) {
    FitFeeder(true);
    g_paperInFeeder = true;
    ExpectFailure(Ask(CAP_FEEDERENABLED), TWCC_BADCAP);
    ExpectFailure(Ask(CAP_FEEDERLOADED), TWCC_BADCAP);
    ExpectFailure(Ask(CAP_AUTOFEED, MSG_GETCURRENT), TWCC_BADCAP);
    ExpectFailure(Ask(CAP_INDICATORS, MSG_GETDEFAULT), TWCC_BADCAP);
    ExpectFailure(Ask(0x110B), TWCC_BADCAP);
    EXPECT_EQ(g_inquiries, 0) << "the scanner is not asked";
    EXPECT_FALSE(g_session.feederLoadedQueried);

    EXPECT_EQ(SetOne(CAP_FEEDERENABLED, TWTY_UINT16, 0), TWRC_SUCCESS);
    EXPECT_EQ(g_settings.FeederEnabled, 1u);
}

TEST_F(PublisherHost, AuthorAndCaptionArriveAsTextBlocksTheHostFrees) {
    HostAnswer author = Ask(CAP_AUTHOR);
    ASSERT_EQ(author.rc, TWRC_SUCCESS);
    EXPECT_EQ(author.conType, TWON_ONEVALUE);
    EXPECT_EQ(author.ItemType(), TWTY_UINT32);
    std::vector<uint8_t> text = TakeTextBlock(author.Item());
    ASSERT_EQ(text.size(), 130u);
    EXPECT_STREQ(reinterpret_cast<const char*>(text.data()), "Kerno_ Inc.");

    HostAnswer caption = Ask(CAP_CAPTION, MSG_GETCURRENT);
    ASSERT_EQ(caption.rc, TWRC_SUCCESS);
    text = TakeTextBlock(caption.Item());
    ASSERT_EQ(text.size(), 256u);
    EXPECT_STREQ(reinterpret_cast<const char*>(text.data()), "Kerno Scanners");
}

TEST_F(PublisherHost, TimeAndDateIsTheLocalTimeAsText) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    HostAnswer a = Ask(CAP_TIMEDATE);
    ASSERT_EQ(a.rc, TWRC_SUCCESS);
    std::vector<uint8_t> text = TakeTextBlock(a.Item());
    ASSERT_EQ(text.size(), 34u);
    const std::string s(reinterpret_cast<const char*>(text.data()));
    // "Mon Dec  7 22:18:07 2026"
    ASSERT_EQ(s.size(), 24u) << s;
    EXPECT_EQ(s.substr(20), std::to_string(now.wYear)) << s;
    EXPECT_EQ(s[13], ':');
    EXPECT_EQ(s[16], ':');
}

TEST_F(PublisherHost, IsRecognisedInTheOtherLanguagesToo) {
    g_languageIndex = 1;
    EXPECT_EQ(Ask(ICAP_PIXELTYPE).conType, TWON_ENUMERATION);
    HostAnswer author = Ask(CAP_AUTHOR);
    ASSERT_EQ(author.rc, TWRC_SUCCESS);
    TakeTextBlock(author.Item());
}

TEST_F(PublisherHost, IsAnsweredOnlyWhileTheSourceIsOpen) {
    g_session.state = kState3Loaded;
    ExpectFailure(Ask(ICAP_PIXELTYPE), TWCC_SEQERROR);
    ExpectFailure(Ask(CAP_XFERCOUNT), TWCC_SEQERROR);
    ExpectFailure(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, 1), TWCC_SEQERROR);
    for (int state : {kState4Open, kState5Enabled, kState6XferReady, kState7Transferring}) {
        g_session.state = state;
        EXPECT_EQ(Ask(ICAP_PIXELTYPE).rc, TWRC_SUCCESS) << state;
    }
}

// ---- Hosts with rules of their own ------------------------------------------

TEST_F(SpecialHosts, RecognitaMayNotChooseAResolution) {
    ConnectHost("Recognita Plus");
    ExpectFailure(SetOne(ICAP_XRESOLUTION, TWTY_UINT32, 600), TWCC_BADVALUE);
    ExpectFailure(SetOne(ICAP_YRESOLUTION, TWTY_UINT32, 200), TWCC_BADVALUE);
    EXPECT_EQ(CurrentValue(ICAP_XRESOLUTION), 300u);
    EXPECT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    ExpectOneValue(ICAP_XRESOLUTION, MSG_GET, TWTY_UINT32, 300);
}

TEST_F(SpecialHosts, FaxProgramsScanTheThreeHundredDpiChoiceAtTwoHundred) {
    EXPECT_EQ(NegotiatedResolution(), 300);
    for (const char* fax : {"WinFax PRO 3.0", "Delrina WinFax PRO 4.0"}) {
        ConnectHost(fax);
        EXPECT_TRUE(HostIsFaxProgram()) << fax;
        g_session.caps.resolution = 2;
        EXPECT_EQ(NegotiatedResolution(), 200) << fax;
        g_session.caps.resolution = 3;
        EXPECT_EQ(NegotiatedResolution(), 600) << fax;
        // Negotiation itself still reports the list value.
        g_session.caps.resolution = 2;
        EXPECT_EQ(CurrentValue(ICAP_XRESOLUTION), 300u);
    }
}

TEST_F(SpecialHosts, NamesMustMatchExactly) {
    ConnectHost("WinFax PRO 3.01");
    EXPECT_FALSE(HostIsFaxProgram());
    ConnectHost("recognita plus");
    EXPECT_FALSE(HostIsRecognita());
    ConnectHost("Microsoft Publisher");
    EXPECT_TRUE(HostIsPublisher());
    EXPECT_FALSE(HostIsRecognita());
}

// ---- A careless or hostile host ---------------------------------------------

TEST_F(HostileHost, NoCapabilityStructureIsBadValue) {
    ExpectFailure(Request(MSG_GET, nullptr), TWCC_BADVALUE);
    ExpectFailure(Request(MSG_SET, nullptr), TWCC_BADVALUE);
    ExpectFailure(Request(MSG_RESET, nullptr), TWCC_BADVALUE);
    EXPECT_EQ(g_session.caps.pixelType, 0);
    ConnectHost("Microsoft Publisher");
    ExpectFailure(Request(MSG_GET, nullptr), TWCC_BADVALUE);
}

TEST_F(HostileHost, SetWithoutAContainerIsBadValue) {
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ONEVALUE, nullptr};
    ExpectFailure(Request(MSG_SET, &cap), TWCC_BADVALUE);
    EXPECT_EQ(g_session.caps.pixelType, 0);
}

TEST_F(HostileHost, SetWithSomethingThatIsNoMemoryHandleIsBadValue) {
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ONEVALUE, reinterpret_cast<TW_HANDLE>(0x1234)};
    ExpectFailure(Request(MSG_SET, &cap), TWCC_BADVALUE);
}

TEST_F(HostileHost, SetWithAnAlreadyFreedContainerIsBadValue) {
    HGLOBAL block = GlobalAlloc(GHND, 6);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(GlobalFree(block), nullptr);
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ONEVALUE, block};
    ExpectFailure(Request(MSG_SET, &cap), TWCC_BADVALUE);
}

TEST_F(HostileHost, ContainerTooSmallForItsHeaderIsBadValue) {
    ExpectFailure(Set(ICAP_PIXELTYPE, TWON_ONEVALUE, {TWTY_UINT16, 0, 2, 0}), TWCC_BADVALUE);
    ExpectFailure(Set(ICAP_PIXELTYPE, TWON_ENUMERATION, {TWTY_UINT16, 0, 1, 0, 0, 0}),
                  TWCC_BADVALUE);
    EXPECT_EQ(g_session.caps.pixelType, 0);
}

TEST_F(HostileHost, EnumerationWithoutItemsIsBadValue) {
    ExpectFailure(Set(ICAP_PIXELTYPE, TWON_ENUMERATION, Enumeration(TWTY_UINT16, {}, 0)),
                  TWCC_BADVALUE);
}

TEST_F(HostileHost, EnumerationClaimingMoreItemsThanItsBlockIsBadValue) {
    ExpectFailure(Set(ICAP_PIXELTYPE, TWON_ENUMERATION,
                      Enumeration(TWTY_UINT16, {TWPT_RGB}, 0, 100000)),
                  TWCC_BADVALUE);
    EXPECT_EQ(g_session.caps.pixelType, 0);
}

TEST_F(HostileHost, ItemTypeOutOfRangeIsBadValue) {
    ExpectFailure(SetOne(ICAP_PIXELTYPE, 0x7777, TWPT_RGB), TWCC_BADVALUE);
    ExpectFailure(SetOne(CAP_FEEDERENABLED, TWTY_STR255, 1), TWCC_BADVALUE);
    ExpectFailure(Set(ICAP_PIXELTYPE, TWON_ENUMERATION, Enumeration(0x7777, {2}, 0)),
                  TWCC_BADVALUE);
}

TEST_F(HostileHost, ContainersOfOtherKindsAreBadValue) {
    ExpectFailure(Set(ICAP_PIXELTYPE, TWON_RANGE, std::vector<uint8_t>(22, 0)), TWCC_BADVALUE);
    ExpectFailure(Set(ICAP_PIXELTYPE, TWON_ARRAY, Enumeration(TWTY_UINT16, {2}, 0)),
                  TWCC_BADVALUE);
    ExpectFailure(Set(ICAP_PIXELTYPE, 0x4242, OneValue(TWTY_UINT16, 2)), TWCC_BADVALUE);
}

TEST_F(HostileHost, FixedMemoryContainerIsReadLikeAMovableOne) {
    HostContainer container(OneValue(TWTY_UINT16, TWPT_RGB), GMEM_FIXED);
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ONEVALUE, container.handle()};
    EXPECT_EQ(Request(MSG_SET, &cap), TWRC_SUCCESS);
    EXPECT_EQ(g_session.caps.pixelType, 2);
}

// ---- Through the entry point ------------------------------------------------

// The dispatcher in front of the handler: a host connected and the source
// open, as a successful open leaves the session (negotiation needs no scanner).
class CapabilitiesThroughTheEntry : public DataSourceTest {
protected:
    void SetUp() override {
        DataSourceTest::SetUp();
        if (HasFatalFailure()) return;
        g_session.appIdentity = app_;
        g_session.state = kState4Open;
    }
};

TEST_F(CapabilitiesThroughTheEntry, UnlistedSettingIsReportedByTheNextStatusOnly) {
    HostContainer container(OneValue(TWTY_INT32, 10));
    TW_CAPABILITY cap{ICAP_BRIGHTNESS, TWON_ONEVALUE, container.handle()};
    EXPECT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_SUCCESS);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    EXPECT_EQ(Status(), TWCC_SUCCESS);
}

TEST_F(CapabilitiesThroughTheEntry, FixedPointResolutionsAreSetOrRefusedByTheirValue) {
    HostContainer unlisted(OneValue(TWTY_FIX32, Fix32ToUint32(DoubleToFix32(601.3))));
    TW_CAPABILITY cap{ICAP_XRESOLUTION, TWON_ONEVALUE, unlisted.handle()};
    EXPECT_EQ(Call(DG_IMAGE, DAT_CAPABILITY, MSG_SET, &cap), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_BADVALUE);
    EXPECT_EQ(g_session.caps.resolution, 2);
    HostContainer listed(OneValue(TWTY_FIX32, Fix32ToUint32(DoubleToFix32(600.0))));
    cap.hContainer = listed.handle();
    EXPECT_EQ(Call(DG_IMAGE, DAT_CAPABILITY, MSG_SET, &cap), TWRC_SUCCESS);
    EXPECT_EQ(g_session.caps.resolution, 3);
}

TEST_F(CapabilitiesThroughTheEntry, PublisherReceivesTheWholeListOthersTheCurrentValue) {
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_DONTCARE16, nullptr};
    ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_SUCCESS);
    EXPECT_EQ(cap.ConType, TWON_ONEVALUE);
    TakeBlock(static_cast<HGLOBAL>(cap.hContainer));

    std::strcpy(g_session.appIdentity.ProductName, "Microsoft Publisher");
    std::strcpy(app_.ProductName, "Microsoft Publisher");
    cap = TW_CAPABILITY{ICAP_PIXELTYPE, TWON_DONTCARE16, nullptr};
    ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_SUCCESS);
    EXPECT_EQ(cap.ConType, TWON_ENUMERATION);
    std::vector<uint8_t> bytes = TakeBlock(static_cast<HGLOBAL>(cap.hContainer));
    TW_UINT32 numItems = 0;
    ASSERT_GE(bytes.size(), 6u);
    std::memcpy(&numItems, &bytes[2], 4);
    EXPECT_EQ(numItems, 4u);
}

}  // namespace
