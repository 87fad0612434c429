// Listing the installed sources: MSG_GETFIRST/MSG_GETNEXT walk every *.ds
// under the sources folder in path order, and MSG_GETDEFAULT/MSG_USERSELECT
// name the default one.
#include "tests/win/dsm/source_fixture.h"

#include "tests/support/wine_support.h"

#include <memory>

using namespace dsmtest;

namespace {

const char kSection[] = "TWAIN";
const char kDefaultKey[] = "Default Source";

// The default-source key, set or removed for one test and put back after it;
// a section left empty goes too.
class DefaultSourceSetting {
public:
    DefaultSourceSetting() = default;
    DefaultSourceSetting(const DefaultSourceSetting&) = delete;
    DefaultSourceSetting& operator=(const DefaultSourceSetting&) = delete;
    ~DefaultSourceSetting() {
        keys_.reset();
        char section[16] = "";
        if (GetProfileSectionA(kSection, section, sizeof section) == 0)
            WriteProfileStringA(kSection, nullptr, nullptr);
    }
    void Set(const std::string& productName) { keys_->Set(kSection, kDefaultKey, productName); }
    void Remove() { keys_->Remove(kSection, kDefaultKey); }

private:
    std::unique_ptr<wintest::WinIniKeys> keys_ = std::make_unique<wintest::WinIniKeys>();
};

}  // namespace

TEST_F(ManagerTest, ListsEverySourceInTheFolderTreeInPathOrder) {
    folder.InstallSource("beta.ds");
    folder.InstallSource("alpha.ds");
    folder.InstallSource("nested\\deeper\\gamma.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);

    EXPECT_EQ(app.ListTestSourceNames(),
              (std::vector<std::string>{TestSourceName("alpha"), TestSourceName("beta"),
                                        TestSourceName("gamma")}));
}

TEST_F(ManagerTest, ListedIdentitiesAreWhatTheSourcesReport) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);

    bool found = false;
    for (const TW_IDENTITY& identity : app.ListSources()) {
        if (Text(identity.ProductName) != TestSourceName("alpha")) continue;
        found = true;
        EXPECT_EQ(Text(identity.Manufacturer), kTestSourceManufacturer);
        EXPECT_EQ(Text(identity.ProductFamily), kTestSourceFamily);
        EXPECT_EQ(Text(identity.Version.Info), kTestSourceVersionInfo);
        EXPECT_EQ(identity.Version.MajorNum, kTestSourceVersionMajor);
        EXPECT_EQ(identity.Version.MinorNum, kTestSourceVersionMinor);
        EXPECT_EQ(identity.ProtocolMajor, TWON_PROTOCOLMAJOR);
        EXPECT_EQ(identity.ProtocolMinor, TWON_PROTOCOLMINOR);
        EXPECT_EQ(identity.Id, 0u) << "a source that is not open has no Id yet";
    }
    EXPECT_TRUE(found);
}

TEST_F(ManagerTest, ListingLeavesNoSourceLoaded) {
    const std::string alpha = folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    app.ListSources();
    EXPECT_FALSE(IsLoaded(alpha));
}

TEST_F(ManagerTest, GetNextKeepsAnsweringEndOfListAfterTheLastSource) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    app.ListSources();

    TW_IDENTITY identity{};
    EXPECT_EQ(app.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &identity), TWRC_ENDOFLIST);
    EXPECT_EQ(app.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &identity), TWRC_ENDOFLIST);
}

TEST_F(ManagerTest, GetFirstStartsTheListAgain) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    const std::vector<TW_IDENTITY> first = app.ListSources();
    const std::vector<TW_IDENTITY> second = app.ListSources();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(Text(first[i].ProductName), Text(second[i].ProductName));
}

TEST_F(ManagerTest, FilesThatAreNotSourcesAreLeftOut) {
    folder.InstallSource("alpha.ds");
    folder.AddFile("junk.ds", "this is no program at all");
    folder.InstallSource("library.dll");  // a source module, but not named *.ds
    folder.AddFile("readme.txt", "notes");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);

    EXPECT_EQ(app.ListTestSourceNames(), std::vector<std::string>{TestSourceName("alpha")});
}

TEST_F(ManagerTest, SourcesInstalledAfterAListingAppearInTheNext) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    EXPECT_EQ(app.ListTestSourceNames().size(), 1u);

    folder.InstallSource("beta.ds");
    EXPECT_EQ(app.ListTestSourceNames(),
              (std::vector<std::string>{TestSourceName("alpha"), TestSourceName("beta")}));
}

TEST_F(ManagerTest, DefaultIsTheFirstListedWhenWinIniNamesNone) {
    DefaultSourceSetting setting;
    setting.Remove();
    folder.InstallSource("beta.ds");
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    const std::vector<TW_IDENTITY> listed = app.ListSources();
    ASSERT_FALSE(listed.empty());

    TW_IDENTITY byDefault{}, selected{};
    ASSERT_EQ(app.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &byDefault), TWRC_SUCCESS);
    ASSERT_EQ(app.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &selected), TWRC_SUCCESS);
    EXPECT_EQ(Text(byDefault.ProductName), Text(listed.front().ProductName));
    EXPECT_EQ(Text(selected.ProductName), Text(listed.front().ProductName));
}

TEST_F(ManagerTest, WinIniNamesTheDefaultSource) {
    DefaultSourceSetting setting;
    setting.Set(TestSourceName("beta"));
    folder.InstallSource("alpha.ds");
    folder.InstallSource("beta.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);

    TW_IDENTITY byDefault{}, selected{};
    ASSERT_EQ(app.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &byDefault), TWRC_SUCCESS);
    ASSERT_EQ(app.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &selected), TWRC_SUCCESS);
    EXPECT_EQ(Text(byDefault.ProductName), TestSourceName("beta"));
    EXPECT_EQ(Text(selected.ProductName), TestSourceName("beta"));

    TW_IDENTITY opened{};
    ASSERT_EQ(app.OpenSource("", opened), TWRC_SUCCESS);
    EXPECT_EQ(Text(opened.ProductName), TestSourceName("beta"));
}

TEST_F(ManagerTest, WinIniNamingAMissingSourceFallsBackToTheFirstListed) {
    DefaultSourceSetting setting;
    setting.Set("No Such Scanner");
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    const std::vector<TW_IDENTITY> listed = app.ListSources();
    ASSERT_FALSE(listed.empty());

    TW_IDENTITY byDefault{};
    ASSERT_EQ(app.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &byDefault), TWRC_SUCCESS);
    EXPECT_EQ(Text(byDefault.ProductName), Text(listed.front().ProductName));
}
