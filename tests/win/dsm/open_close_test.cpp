// Opening and closing: the manager gives applications and sources their
// Ids, loads a source when it is opened and unloads it when it is closed.
#include "tests/win/dsm/source_fixture.h"

using namespace dsmtest;

TEST_F(ManagerTest, OpeningTheManagerGivesTheApplicationAnId) {
    app.identity().Id = 0;
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    EXPECT_NE(app.identity().Id, 0u);
    EXPECT_EQ(app.CloseManager(), TWRC_SUCCESS);
}

TEST_F(ManagerTest, TwoApplicationsGetDifferentIds) {
    Application second("Second Application");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    ASSERT_EQ(second.OpenManager(), TWRC_SUCCESS);
    EXPECT_NE(app.identity().Id, 0u);
    EXPECT_NE(second.identity().Id, 0u);
    EXPECT_NE(app.identity().Id, second.identity().Id);
}

TEST_F(ManagerTest, OpeningASourceByNameLoadsOnlyThatSource) {
    const std::string alpha = folder.InstallSource("alpha.ds");
    const std::string beta = folder.InstallSource("beta.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);

    TW_IDENTITY source{};
    ASSERT_EQ(app.OpenSource(TestSourceName("beta"), source), TWRC_SUCCESS);
    EXPECT_TRUE(IsLoaded(beta));
    EXPECT_FALSE(IsLoaded(alpha));
}

TEST_F(ManagerTest, OpenedSourceIdentityIsFilledInWithANewId) {
    folder.InstallSource("beta.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);

    TW_IDENTITY source{};
    ASSERT_EQ(app.OpenSource(TestSourceName("beta"), source), TWRC_SUCCESS);
    EXPECT_NE(source.Id, 0u);
    EXPECT_NE(source.Id, app.identity().Id);
    EXPECT_EQ(Text(source.ProductName), TestSourceName("beta"));
    EXPECT_EQ(Text(source.Manufacturer), kTestSourceManufacturer);
    EXPECT_EQ(Text(source.ProductFamily), kTestSourceFamily);
    EXPECT_EQ(source.Version.MajorNum, kTestSourceVersionMajor);
}

TEST_F(ManagerTest, SourceIsOpenedWithItsIdAndTheApplicationsIdentity) {
    const std::string beta = folder.InstallSource("beta.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY source{};
    ASSERT_EQ(app.OpenSource(TestSourceName("beta"), source), TWRC_SUCCESS);

    LoadedSource loaded(beta);
    ASSERT_TRUE(loaded.valid());
    const TestSourceCall open = loaded.LastCall();
    EXPECT_EQ(open.dg, DG_CONTROL);
    EXPECT_EQ(open.dat, DAT_IDENTITY);
    EXPECT_EQ(open.msg, MSG_OPENDS);
    EXPECT_EQ(open.originId, app.identity().Id);
    EXPECT_EQ(loaded.SelfIdentity().Id, source.Id) << "the source keeps the Id it was given";
    EXPECT_EQ(Text(loaded.ApplicationIdentity().ProductName), Text(app.identity().ProductName));
}

TEST_F(ManagerTest, EachOpenSourceHasItsOwnId) {
    folder.InstallSource("alpha.ds");
    folder.InstallSource("beta.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);

    TW_IDENTITY alpha{}, beta{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), alpha), TWRC_SUCCESS);
    ASSERT_EQ(app.OpenSource(TestSourceName("beta"), beta), TWRC_SUCCESS);
    EXPECT_NE(alpha.Id, beta.Id);
    EXPECT_NE(alpha.Id, app.identity().Id);
    EXPECT_NE(beta.Id, app.identity().Id);
}

TEST_F(ManagerTest, ClosingASourcePassesTheCloseOnAndUnloadsIt) {
    const std::string alpha = folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY source{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), source), TWRC_SUCCESS);

    // Hold the module a little longer to read what it received last.
    HMODULE held = LoadLibraryA(alpha.c_str());
    ASSERT_NE(held, nullptr);
    ASSERT_EQ(app.CloseSource(source), TWRC_SUCCESS);
    const TestSourceCall close = LoadedSource(alpha).LastCall();
    EXPECT_EQ(close.dat, DAT_IDENTITY);
    EXPECT_EQ(close.msg, MSG_CLOSEDS);
    EXPECT_EQ(close.originId, app.identity().Id);
    FreeLibrary(held);

    EXPECT_FALSE(IsLoaded(alpha)) << "the manager let go of the source";
}

TEST_F(ManagerTest, ASourceCanBeOpenedAgainAfterClosing) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY first{}, second{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), first), TWRC_SUCCESS);
    ASSERT_EQ(app.CloseSource(first), TWRC_SUCCESS);
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), second), TWRC_SUCCESS);
    EXPECT_NE(second.Id, 0u);
    EXPECT_NE(second.Id, first.Id);
}

TEST_F(ManagerTest, OpeningWithoutANameOpensTheDefaultSource) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY byDefault{};
    ASSERT_EQ(app.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &byDefault), TWRC_SUCCESS);

    TW_IDENTITY opened{};
    ASSERT_EQ(app.OpenSource("", opened), TWRC_SUCCESS);
    EXPECT_EQ(Text(opened.ProductName), Text(byDefault.ProductName));
    EXPECT_NE(opened.Id, 0u);
}

TEST_F(ManagerTest, SourceThatRefusesToOpenIsUnloadedAndItsReasonKept) {
    const std::string refusing = folder.InstallSource("refusing.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);

    TW_IDENTITY source{};
    EXPECT_EQ(app.OpenSource(TestSourceName("refusing"), source), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_MAXCONNECTIONS);
    EXPECT_FALSE(IsLoaded(refusing));
    EXPECT_EQ(app.CloseManager(), TWRC_SUCCESS) << "nothing stayed open";
}

TEST_F(ManagerTest, ManagerCanBeOpenedAgainAfterClosing) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    ASSERT_EQ(app.CloseManager(), TWRC_SUCCESS);
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY source{};
    EXPECT_EQ(app.OpenSource(TestSourceName("alpha"), source), TWRC_SUCCESS);
}
