// Scans through pavo.ds and the virtual scanner without the setup window,
// and what the virtual scanner itself delivers for the same block.
#pragma once

#include "tests/win/ds/ds_fixture.h"

#include "ds/twain/scan_settings.h"
#include "outside/scanner/virtual_scanner.h"
#include "tests/support/one_value.h"

#include <vector>

inline constexpr char kScanner[] = "VirtualScanner";

// The lines the virtual scanner delivers for one pass of a block.
inline std::vector<uint8_t> ReferencePass(ScanParameterBlock block, uint16_t passWord,
                                   uint16_t& bytesPerLine, uint32_t& lines) {
    // A scanner with every option fitted, so that it takes any block the data
    // source may send.
    scanner::ScannerConfig config;
    config.feeder = true;
    config.pages = 1000;
    config.adapter = true;
    scanner::VirtualScanner reference{config};
    if (block.ScanSource == 2 && passWord >= 2) {
        // From the feeder, the green and blue passes scan the page the red
        // pass drew.
        ScanParameterBlock red = block;
        red.PassNumber = 1;
        reference.Start(red);
    }
    block.PassNumber = passWord;
    reference.Start(block);
    EXPECT_EQ(block.Header.Status, 0);
    ScanStatusRequest status{};
    reference.ScanStatus(status);
    bytesPerLine = status.BytesPerLine;
    lines = status.LinesRemaining;
    std::vector<uint8_t> data(static_cast<size_t>(bytesPerLine) * lines);
    TransferBuffer buffer{static_cast<uint32_t>(data.size()), static_cast<uint16_t>(lines), 0,
                          data.data()};
    ReadRequest read{};
    read.BytesPerLine = bytesPerLine;
    read.LinesToRead = lines;
    read.DescriptorCount = 1;
    read.Buffer = &buffer;
    reference.Read(read);
    EXPECT_EQ(read.Header.Status, 0);
    return data;
}

class AcquisitionTest : public DataSourceTest {
protected:
    void SetUp() override {
        DataSourceTest::SetUp();
        ini_.Remove("ZEBINFO", "DRIVER");
        ini_.Remove("ZEBINFO", "LANGUAGE");
        ini_.Remove("ZEBINFO", "BRAND");
        for (const char* key : {"Model", "Feeder", "Adapter", "Pages", "InquiryStatus", "Log",
                                "ReadFaultPass", "StartRefusalStatus",
                                "StartFaultPass", "StartFaultStatus", "ReadFaultLine",
                                "ReadFaultStatus", "ReadFaultCount", "ReadFaultPage", "EscapeAfterLines",
                                "StartRefusals", "ZeroLineCount"})
            ini_.Remove(kScanner, key);
        // The model sections this test's scans may load and the data source
        // may write.
        for (const char* section : {"ZEB-A100CX", "ZEB-B200CX"})
            for (const char* key : {"ScanMode", "ScanRes", "Scaling", "IsInvert", "DpiScale", "Gamma"})
                ini_.Keep(section, key);
    }

    TW_UINT16 SetCap(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 value) {
        return wintest::SetOneValue(
            [this](TW_CAPABILITY* c) { return Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, c); },
            cap, itemType, value);
    }

    TW_UINT16 SetLayout(double left, double top, double right, double bottom) {
        TW_IMAGELAYOUT layout{};
        layout.Frame = {DoubleToFix32(left), DoubleToFix32(top), DoubleToFix32(right),
                        DoubleToFix32(bottom)};
        layout.DocumentNumber = layout.PageNumber = layout.FrameNumber = 1;
        return Call(DG_CONTROL, DAT_IMAGELAYOUT, MSG_SET, &layout);
    }

    TW_UINT16 EnableWithoutUi() {
        TW_USERINTERFACE ui{0, 0, nullptr};
        return Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    }

    // Opens, negotiates native transfer of the given pixel type and a
    // one-inch square at 300 dpi, and enables without the setup window.
    void StartNativeScan(TW_UINT16 pixelType) {
        ASSERT_EQ(Open(), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_XFERMECH, TWTY_UINT16, TWSX_NATIVE), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_PIXELTYPE, TWTY_UINT16, pixelType), TWRC_SUCCESS);
        // The grey ramp of the test chart and its colour patches.
        ASSERT_EQ(SetLayout(1.0, 1.6, 2.0, 2.6), TWRC_SUCCESS);
        ASSERT_EQ(EnableWithoutUi(), TWRC_SUCCESS);
        ASSERT_EQ(g_session.state, kState6XferReady);
    }

    // Takes the native bitmap; the caller frees it.
    HGLOBAL TakeNative(TW_UINT16 expected = TWRC_XFERDONE) {
        TW_HANDLE handle = nullptr;
        EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), expected);
        return static_cast<HGLOBAL>(handle);
    }
};

