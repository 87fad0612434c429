// Triplets an application addresses to an open source reach that source's
// DS_Entry unchanged; DAT_STATUS goes to the source or, without a
// destination, is answered by the manager.
#include "tests/win/dsm/source_fixture.h"

using namespace dsmtest;

TEST_F(ManagerTest, TripletForAnOpenSourceReachesItUnchanged) {
    const std::string alpha = folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY source{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), source), TWRC_SUCCESS);

    TW_IMAGEINFO info{};
    ASSERT_EQ(app.Call(&source, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    EXPECT_EQ(info.ImageWidth, kTestSourceImageWidth) << "the source's answer comes back";

    const TestSourceCall call = LoadedSource(alpha).LastCall();
    EXPECT_EQ(call.originId, app.identity().Id);
    EXPECT_EQ(call.dg, DG_IMAGE);
    EXPECT_EQ(call.dat, DAT_IMAGEINFO);
    EXPECT_EQ(call.msg, MSG_GET);
    EXPECT_EQ(call.data, &info);
}

TEST_F(ManagerTest, SourceFailureIsPassedBackAsItIs) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY source{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), source), TWRC_SUCCESS);

    TW_CAPABILITY cap{ICAP_XRESOLUTION, TWON_DONTCARE16, nullptr};
    EXPECT_EQ(app.Call(&source, DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_FAILURE);
}

TEST_F(ManagerTest, StatusForASourceIsTheSourcesAndWithoutOneTheManagers) {
    folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY source{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), source), TWRC_SUCCESS);

    TW_CAPABILITY cap{ICAP_XRESOLUTION, TWON_DONTCARE16, nullptr};
    ASSERT_EQ(app.Call(&source, DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_SUCCESS) << "the manager itself did nothing wrong";
    EXPECT_EQ(app.SourceCondition(source), TWCC_CAPUNSUPPORTED);
}

TEST_F(ManagerTest, TripletGoesOnlyToTheSourceItNames) {
    const std::string alpha = folder.InstallSource("alpha.ds");
    const std::string beta = folder.InstallSource("beta.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY alphaId{}, betaId{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), alphaId), TWRC_SUCCESS);
    ASSERT_EQ(app.OpenSource(TestSourceName("beta"), betaId), TWRC_SUCCESS);

    TW_IMAGEINFO info{};
    ASSERT_EQ(app.Call(&betaId, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    EXPECT_TRUE(LoadedSource(beta).Received(DG_IMAGE, DAT_IMAGEINFO, MSG_GET));
    EXPECT_FALSE(LoadedSource(alpha).Received(DG_IMAGE, DAT_IMAGEINFO, MSG_GET));
}

TEST_F(ManagerTest, EventsAreOfferedToTheSourceFirst) {
    const std::string alpha = folder.InstallSource("alpha.ds");
    ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
    TW_IDENTITY source{};
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), source), TWRC_SUCCESS);

    MSG own{};
    own.hwnd = app.window();
    own.message = kTestSourceOwnMessage;
    TW_UINT16 twMessage = 0;
    EXPECT_EQ(app.ProcessEvent(source, own, twMessage), TWRC_DSEVENT);
    EXPECT_EQ(twMessage, MSG_NULL);

    MSG other{};
    other.hwnd = app.window();
    other.message = WM_MOUSEMOVE;
    EXPECT_EQ(app.ProcessEvent(source, other, twMessage), TWRC_NOTDSEVENT);
    EXPECT_EQ(twMessage, MSG_NULL);

    const TestSourceCall call = LoadedSource(alpha).LastCall();
    EXPECT_EQ(call.dat, DAT_EVENT);
    EXPECT_EQ(call.msg, MSG_PROCESSEVENT);
}
