// A host meets pavo.ds: identity, open and close, the state rules of the
// dispatcher and the answers of the simple operations.
#include "tests/win/ds/ds_fixture.h"

#include "common/product.h"
#include "ds/twain/messages.h"

using wintest::BoxIcon;
using wintest::MessageBoxWatcher;

namespace {

using DsEntryProc = TW_UINT16(PAVO_TWAIN_CALL*)(TW_IDENTITY*, TW_UINT32, TW_UINT16, TW_UINT16,
                                                 TW_MEMREF);

// Loads the installed module afresh and reads its identity as a source
// manager does when it lists sources.
TW_IDENTITY IdentityOfInstalledModule() {
    TW_IDENTITY id{};
    HMODULE ds = LoadLibraryA(wintest::ProductFile("pavo.ds").c_str());
    EXPECT_NE(ds, nullptr);
    if (!ds) return id;
    auto entry = reinterpret_cast<DsEntryProc>(
        reinterpret_cast<void*>(GetProcAddress(ds, "DS_Entry")));
    EXPECT_NE(entry, nullptr);
    if (entry) {
        TW_IDENTITY manager{};
        manager.Id = 1;
        EXPECT_EQ(entry(&manager, DG_CONTROL, DAT_IDENTITY, MSG_GET, &id), TWRC_SUCCESS);
    }
    FreeLibrary(ds);
    return id;
}

}  // namespace

TEST(InstalledModule, AnswersItsIdentityBeforeItIsOpened) {
    wintest::WinIniKeys ini;
    ini.Remove("ZEBINFO", "BRAND");
    TW_IDENTITY id = IdentityOfInstalledModule();
    EXPECT_EQ(id.Id, 0u);
    EXPECT_EQ(id.Version.MajorNum, 1);
    EXPECT_EQ(id.Version.MinorNum, 0);
    EXPECT_EQ(id.Version.Language, TWLG_USA);
    EXPECT_EQ(id.Version.Country, TWCY_TAIWAN);
    EXPECT_STREQ(id.Version.Info, "Kerno Flatbed Scanners Twain DS ");
    EXPECT_EQ(id.ProtocolMajor, 1);
    EXPECT_EQ(id.ProtocolMinor, 5);
    EXPECT_EQ(id.SupportedGroups, DG_CONTROL | DG_IMAGE);
    EXPECT_STREQ(id.Manufacturer, "Kerno_ Inc.");
    EXPECT_STREQ(id.ProductFamily, "Kerno Scan");
    EXPECT_STREQ(id.ProductName, "Tavlen ");
}

TEST(InstalledModule, TakesItsProductNameFromTheConfiguredBrand) {
    wintest::WinIniKeys ini;
    ini.Set("ZEBINFO", "BRAND", "Acme");
    EXPECT_STREQ(IdentityOfInstalledModule().ProductName, "Acme ");
    ini.Set("ZEBINFO", "BRAND", std::string(50, 'X'));
    EXPECT_EQ(std::string(IdentityOfInstalledModule().ProductName), std::string(32, 'X') + " ");
}

TEST_F(DataSourceTest, AMissingDriverFailsTheOpenAndLeavesTheSourceClosed) {
    ini_.Set("ZEBINFO", "DRIVER", "NOSUCH.DLL");
    EXPECT_EQ(Open(), TWRC_FAILURE);
    EXPECT_EQ(g_session.conditionCode, TWCC_OPERATIONERROR);
    EXPECT_EQ(g_session.state, kState3Loaded);
    EXPECT_EQ(g_session.appIdentity.Id, 0u);
    EXPECT_EQ(g_session.driverModule, nullptr);
}

TEST_F(DataSourceTest, ADriverWithoutItsEntryFailsTheOpenLikeAMissingOne) {
    // A real module of the system, reached from the product folder.
    ini_.Set("ZEBINFO", "DRIVER", "..\\..\\system32\\version.dll");
    EXPECT_EQ(Open(), TWRC_FAILURE);
    EXPECT_EQ(g_session.conditionCode, TWCC_OPERATIONERROR);
    EXPECT_EQ(g_session.state, kState3Loaded);
    EXPECT_EQ(g_session.driverModule, nullptr);
}

TEST_F(DataSourceTest, OperationsOfAnOpenSourceAreRefusedBeforeTheOpen) {
    TW_IMAGEINFO info{};
    TW_IMAGELAYOUT layout{};
    TW_UINT32 group = 0;
    TW_STATUS status{};
    for (auto [dat, msg, data] : {std::tuple<TW_UINT16, TW_UINT16, void*>{DAT_IMAGEINFO, MSG_GET, &info},
                                  {DAT_IMAGELAYOUT, MSG_GET, &layout},
                                  {DAT_XFERGROUP, MSG_GET, &group},
                                  {DAT_STATUS, MSG_GET, &status},
                                  {DAT_IDENTITY, MSG_CLOSEDS, nullptr}}) {
        EXPECT_EQ(Call(DG_CONTROL, dat, msg, data), TWRC_FAILURE) << dat << "/" << msg;
        EXPECT_EQ(g_session.conditionCode, TWCC_SEQERROR) << dat << "/" << msg;
    }
    EXPECT_EQ(g_session.state, kState3Loaded);
}

TEST_F(DataSourceTest, UnknownTripletsAreAProtocolError) {
    TW_IDENTITY id{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_SET, &id), TWRC_FAILURE);
    EXPECT_EQ(g_session.conditionCode, TWCC_BADPROTOCOL);
    EXPECT_EQ(Call(DG_CONTROL, 0x0777, MSG_GET, &id), TWRC_FAILURE);
    EXPECT_EQ(g_session.conditionCode, TWCC_BADPROTOCOL);
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_SET, &id), TWRC_FAILURE);
    EXPECT_EQ(g_session.conditionCode, TWCC_BADPROTOCOL);
}

TEST_F(DataSourceTest, AHostEventIsNotTheSourcesWithoutASetupWindow) {
    MSG msg{};
    TW_EVENT event{&msg, MSG_XFERREADY};
    EXPECT_EQ(Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
    EXPECT_EQ(event.TWMessage, MSG_XFERREADY);
    EXPECT_EQ(Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, nullptr), TWRC_NOTDSEVENT);
}

TEST_F(DataSourceTest, AMissingStructureIsABadValueNotACrash) {
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(g_session.conditionCode, TWCC_BADVALUE);
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr), TWRC_FAILURE);
    EXPECT_EQ(g_session.state, kState3Loaded);
    TW_IDENTITY source = g_session.ownIdentity;
    EXPECT_EQ(DS_Entry(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_FAILURE);
    EXPECT_EQ(g_session.state, kState3Loaded);
}

TEST_F(DataSourceTest, TheDiskSpaceMessageNamesBothSizesWithTheKRule) {
    ini_.Remove("ZEBINFO", "BRAND");
    MessageBoxWatcher watcher;
    ShowDiskSpaceMessage(nullptr, 1000, 3 * 1024 * 1024);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].caption, "Tavlen   Flatbed Scanner");
    EXPECT_EQ(watcher.Boxes()[0].text,
              "3072K bytes of unused diskspace.Your disk has only 1000 bytes of unused"
              " diskspace. Free up some space on the disk.");
    EXPECT_EQ(watcher.Boxes()[0].icon, BoxIcon::Information);
}

TEST_F(DataSourceTest, MessagesOtherThanNotReadyShowTheirTextUnderTheScannerCaption) {
    ini_.Set("ZEBINFO", "BRAND", "Acme");
    g_languageIndex = 2;
    MessageBoxWatcher watcher;
    ShowScannerMessage(nullptr, 2209);
    g_languageIndex = 0;
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].caption, "Acme   Scanner \xE0 plat");
    EXPECT_EQ(watcher.Boxes()[0].text, " Pas de papier dans le chargeur automatique");
    EXPECT_EQ(watcher.Boxes()[0].icon, BoxIcon::Stop);
}
