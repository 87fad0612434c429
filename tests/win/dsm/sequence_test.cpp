// Operations out of order fail with TWCC_SEQERROR, sources that are not
// installed with TWCC_NODS; the manager's condition tells which, once.
#include "tests/win/dsm/source_fixture.h"

using namespace dsmtest;

TEST_F(ManagerTest, OpeningASourceBeforeTheManagerIsASequenceError) {
    folder.InstallSource("alpha.ds");
    TW_IDENTITY source{};
    EXPECT_EQ(app.OpenSource(TestSourceName("alpha"), source), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SEQERROR);
}

TEST_F(ManagerTest, ListingBeforeTheManagerIsOpenIsASequenceError) {
    TW_IDENTITY identity{};
    EXPECT_EQ(app.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &identity), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SEQERROR);
    EXPECT_EQ(app.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &identity), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SEQERROR);
}

TEST_F(ManagerTest, GetNextBeforeGetFirstIsASequenceError) {
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY identity{};
    EXPECT_EQ(app.Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &identity), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SEQERROR);
}

TEST_F(ManagerTest, OpeningTheManagerTwiceIsASequenceError) {
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    const TW_UINT32 id = app.identity().Id;
    EXPECT_EQ(app.OpenManager(), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SEQERROR);
    EXPECT_EQ(app.identity().Id, id);
}

TEST_F(ManagerTest, ClosingTheManagerThatIsNotOpenIsASequenceError) {
    EXPECT_EQ(app.CloseManager(), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SEQERROR);
}

TEST_F(ManagerTest, ClosingTheManagerWithASourceOpenIsASequenceError) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY source{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), source), TWRC_SUCCESS);

    EXPECT_EQ(app.CloseManager(), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SEQERROR);

    TW_IMAGEINFO info{};
    EXPECT_EQ(app.Call(&source, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS)
        << "the source is still open and reachable";
    ASSERT_EQ(app.CloseSource(source), TWRC_SUCCESS);
    EXPECT_EQ(app.CloseManager(), TWRC_SUCCESS);
}

TEST_F(ManagerTest, TripletForASourceThatIsNotOpenIsASequenceError) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IMAGEINFO info{};

    TW_IDENTITY neverOpened{};
    EXPECT_EQ(app.Call(&neverOpened, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SEQERROR);

    TW_IDENTITY closed{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), closed), TWRC_SUCCESS);
    ASSERT_EQ(app.CloseSource(closed), TWRC_SUCCESS);
    EXPECT_EQ(app.Call(&closed, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SEQERROR);
}

TEST_F(ManagerTest, ClosingASourceThatIsNotOpenIsASequenceError) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY source{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), source), TWRC_SUCCESS);
    ASSERT_EQ(app.CloseSource(source), TWRC_SUCCESS);

    EXPECT_EQ(app.CloseSource(source), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SEQERROR);
}

TEST_F(ManagerTest, OpeningASourceThatIsAlreadyOpenIsASequenceError) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY first{}, second{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), first), TWRC_SUCCESS);
    EXPECT_EQ(app.OpenSource(TestSourceName("alpha"), second), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SEQERROR);
}

TEST_F(ManagerTest, AnotherApplicationCannotReachMySource) {
    folder.InstallSource("alpha.ds");
    Application other("Other Application");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    ASSERT_EQ(other.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY source{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), source), TWRC_SUCCESS);

    TW_IMAGEINFO info{};
    EXPECT_EQ(other.Call(&source, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE);
    EXPECT_EQ(other.ManagerCondition(), TWCC_SEQERROR);
    EXPECT_EQ(other.CloseSource(source), TWRC_FAILURE);
    EXPECT_EQ(other.ManagerCondition(), TWCC_SEQERROR);
}

TEST_F(ManagerTest, OpeningASourceThatIsNotInstalledFailsWithNoSource) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY source{};
    EXPECT_EQ(app.OpenSource("No Such Scanner", source), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_NODS);
}

TEST_F(ManagerTest, ConditionIsClearedOnceRead) {
    TW_IDENTITY source{};
    ASSERT_EQ(app.OpenSource("anything", source), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SEQERROR);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SUCCESS);
}

TEST_F(ManagerTest, UnknownTripletForTheManagerIsABadProtocol) {
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(app.Call(nullptr, DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_BADPROTOCOL);
}
