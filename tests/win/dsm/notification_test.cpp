// A source's notifications (MSG_XFERREADY, MSG_CLOSEDSREQ) wait in the
// manager, wake the application's window, and come out of the
// application's next MSG_PROCESSEVENT for that source.
#include "tests/win/dsm/source_fixture.h"

#include "common/product.h"

using namespace dsmtest;

namespace {

// The wake-up the manager posted to the application's window, if any.
bool TakeWakeUp(Application& app, MSG& wakeUp) {
    while (app.TakePostedMessage(wakeUp))
        if (wakeUp.message == WM_NULL) return true;
    return false;
}

MSG SomeEvent(HWND window) {
    MSG message{};
    message.hwnd = window;
    message.message = WM_MOUSEMOVE;
    return message;
}

class NotificationTest : public ManagerTest {
protected:
    void SetUp() override {
        alphaPath = folder.InstallSource("alpha.ds");
        betaPath = folder.InstallSource("beta.ds");
        ASSERT_EQ(app.OpenManager(), TWRC_SUCCESS);
        ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), alpha), TWRC_SUCCESS);
        MSG stale;
        while (app.TakePostedMessage(stale)) {
        }
    }

    std::string alphaPath, betaPath;
    TW_IDENTITY alpha{};
};

}  // namespace

TEST_F(NotificationTest, TransferReadyComesOutOfTheNextProcessEvent) {
    TW_USERINTERFACE ui{};
    ui.ShowUI = 0;
    ui.hParent = app.window();
    ASSERT_EQ(app.Call(&alpha, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);

    MSG wakeUp{};
    ASSERT_TRUE(TakeWakeUp(app, wakeUp)) << "the manager wakes the application's window";
    TW_UINT16 twMessage = 0;
    EXPECT_EQ(app.ProcessEvent(alpha, wakeUp, twMessage), TWRC_DSEVENT);
    EXPECT_EQ(twMessage, MSG_XFERREADY);
    EXPECT_EQ(LoadedSource(alphaPath).LastCall().msg, MSG_PROCESSEVENT)
        << "the source saw the event before the manager answered";

    EXPECT_EQ(app.ProcessEvent(alpha, SomeEvent(app.window()), twMessage), TWRC_NOTDSEVENT)
        << "a notification is delivered once";
    EXPECT_EQ(twMessage, MSG_NULL);
}

TEST_F(NotificationTest, NothingIsDeliveredBeforeTheSourceSendsSomething) {
    TW_UINT16 twMessage = 0;
    EXPECT_EQ(app.ProcessEvent(alpha, SomeEvent(app.window()), twMessage), TWRC_NOTDSEVENT);
    EXPECT_EQ(twMessage, MSG_NULL);
    MSG wakeUp{};
    EXPECT_FALSE(TakeWakeUp(app, wakeUp));
}

TEST_F(NotificationTest, CloseRequestSentFromAnotherThreadIsDelivered) {
    EXPECT_EQ(LoadedSource(alphaPath).Notify(MSG_CLOSEDSREQ, true), TWRC_SUCCESS);

    MSG wakeUp{};
    ASSERT_TRUE(TakeWakeUp(app, wakeUp));
    TW_UINT16 twMessage = 0;
    EXPECT_EQ(app.ProcessEvent(alpha, wakeUp, twMessage), TWRC_DSEVENT);
    EXPECT_EQ(twMessage, MSG_CLOSEDSREQ);
}

TEST_F(NotificationTest, NotificationsComeOutOneAtATimeInOrder) {
    const LoadedSource source(alphaPath);
    ASSERT_EQ(source.Notify(MSG_XFERREADY), TWRC_SUCCESS);
    ASSERT_EQ(source.Notify(MSG_CLOSEDSREQ), TWRC_SUCCESS);

    TW_UINT16 first = 0, second = 0, third = 0;
    EXPECT_EQ(app.ProcessEvent(alpha, SomeEvent(app.window()), first), TWRC_DSEVENT);
    EXPECT_EQ(app.ProcessEvent(alpha, SomeEvent(app.window()), second), TWRC_DSEVENT);
    EXPECT_EQ(app.ProcessEvent(alpha, SomeEvent(app.window()), third), TWRC_NOTDSEVENT);
    EXPECT_EQ(first, MSG_XFERREADY);
    EXPECT_EQ(second, MSG_CLOSEDSREQ);
    EXPECT_EQ(third, MSG_NULL);
}

TEST_F(NotificationTest, EventTheSourceConsumesStillCarriesAWaitingNotification) {
    ASSERT_EQ(LoadedSource(alphaPath).Notify(MSG_XFERREADY), TWRC_SUCCESS);

    MSG own{};
    own.hwnd = app.window();
    own.message = kTestSourceOwnMessage;
    TW_UINT16 twMessage = 0;
    EXPECT_EQ(app.ProcessEvent(alpha, own, twMessage), TWRC_DSEVENT);
    EXPECT_EQ(twMessage, MSG_XFERREADY);
}

TEST_F(NotificationTest, NotificationComesOnlyFromTheSourceThatSentIt) {
    TW_IDENTITY beta{};
    ASSERT_EQ(app.OpenSource(TestSourceName("beta"), beta), TWRC_SUCCESS);
    ASSERT_EQ(LoadedSource(alphaPath).Notify(MSG_XFERREADY), TWRC_SUCCESS);

    TW_UINT16 twMessage = 0;
    EXPECT_EQ(app.ProcessEvent(beta, SomeEvent(app.window()), twMessage), TWRC_NOTDSEVENT);
    EXPECT_EQ(twMessage, MSG_NULL);
    EXPECT_EQ(app.ProcessEvent(alpha, SomeEvent(app.window()), twMessage), TWRC_DSEVENT);
    EXPECT_EQ(twMessage, MSG_XFERREADY);
}

TEST_F(NotificationTest, ClosingTheSourceDropsWhatItLeftWaiting) {
    ASSERT_EQ(LoadedSource(alphaPath).Notify(MSG_XFERREADY), TWRC_SUCCESS);
    ASSERT_EQ(app.CloseSource(alpha), TWRC_SUCCESS);
    ASSERT_EQ(app.OpenSource(TestSourceName("alpha"), alpha), TWRC_SUCCESS);

    TW_UINT16 twMessage = 0;
    EXPECT_EQ(app.ProcessEvent(alpha, SomeEvent(app.window()), twMessage), TWRC_NOTDSEVENT);
    EXPECT_EQ(twMessage, MSG_NULL);
}

// DSM_Entry as the source itself would call it, naming itself as origin.
static TW_UINT16 CallAsSource(TW_IDENTITY self, TW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat,
                       TW_UINT16 msg, TW_MEMREF data) {
    HMODULE manager = GetModuleHandleA(kSourceManagerModule);
    if (!manager) return 0xFFFF;
    auto entry = reinterpret_cast<DSMENTRYPROC>(
        reinterpret_cast<void*>(GetProcAddress(manager, MAKEINTRESOURCEA(1))));
    return entry(&self, &dest, dg, dat, msg, data);
}

TEST_F(NotificationTest, OnlyNotificationsAreAcceptedFromASource) {
    const TW_IDENTITY self = LoadedSource(alphaPath).SelfIdentity();
    TW_IMAGEINFO info{};
    EXPECT_EQ(CallAsSource(self, app.identity(), DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info),
              TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_BADPROTOCOL);
}

TEST_F(NotificationTest, NotificationForAnotherApplicationIsRefused) {
    Application other("Other Application");
    ASSERT_EQ(other.OpenManager(), TWRC_SUCCESS);
    const TW_IDENTITY self = LoadedSource(alphaPath).SelfIdentity();

    EXPECT_EQ(CallAsSource(self, other.identity(), DG_CONTROL, DAT_NULL, MSG_XFERREADY, nullptr),
              TWRC_FAILURE);
    EXPECT_EQ(app.ManagerCondition(), TWCC_BADDEST);
    TW_UINT16 twMessage = 0;
    EXPECT_EQ(app.ProcessEvent(alpha, SomeEvent(app.window()), twMessage), TWRC_NOTDSEVENT);
}
