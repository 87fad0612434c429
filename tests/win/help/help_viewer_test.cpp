// The help files as the product opens them: WinHelp at a context number
// starts Wine's viewer on the installed file, which shows the topic of that
// number under the file's title. Every file at every number the product
// uses; a missing file, which the viewer itself reports while the caller
// goes on; and the setup window's Help in the window's language.
#include "common/module_names.h"
#include "help/help_texts.h"
#include "tests/support/installed_source.h"
#include "tests/support/wine_support.h"
#include "tests/support/help_viewer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kWait = 20000;

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += c < 128 ? static_cast<char>(c) : '?';
    return s;
}

// Asks the viewer to quit and waits until its process has ended.
void Quit(const std::string& path) {
    const DWORD pid = helpview::ViewerProcess();
    WinHelpA(nullptr, path.c_str(), HELP_QUIT, 0);
    if (pid) {
        EXPECT_TRUE(helpview::WaitForExit(pid, kWait)) << "the viewer is still running";
    }
}

struct Case {
    const helptext::File* file;
    const helptext::Topic* topic;
};

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (const auto& file : helptext::kFiles)
        for (const auto& topic : file.topics) cases.push_back({&file, &topic});
    return cases;
}

// How a failing case names itself.
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.file->name << " at context " << c.topic->context;
}

class HelpContextTest : public ::testing::TestWithParam<Case> {};

TEST_P(HelpContextTest, OpensTheTopicOfItsNumberUnderTheFilesTitle) {
    const Case c = GetParam();
    const std::string path = wintest::ProductFile(c.file->name);
    ASSERT_TRUE(wintest::FileExists(path)) << path << " is not installed";
    ASSERT_EQ(helpview::ViewerProcess(), 0u) << "a viewer from before is still running";

    EXPECT_TRUE(WinHelpA(nullptr, path.c_str(), HELP_CONTEXT, c.topic->context));
    HWND viewer = helpview::WaitForTopic(c.topic->title, kWait);
    ASSERT_NE(viewer, nullptr) << "no topic \"" << Narrow(c.topic->title) << "\" shown; the viewer shows \""
                               << Narrow(helpview::TopicText(helpview::MainWindow())) << "\"";
    EXPECT_EQ(helpview::Caption(viewer), c.file->title);
    const std::wstring text = helpview::TopicText(viewer);
    EXPECT_NE(text.find(c.topic->opening), std::wstring::npos) << Narrow(text);
    // Nothing of another topic is on the page.
    for (const auto& other : c.file->topics) {
        if (other.context != c.topic->context) {
            EXPECT_EQ(text.find(other.opening), std::wstring::npos) << Narrow(other.opening);
        }
    }
    Quit(path);
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name = info.param.file->name;
    for (char& ch : name)
        if (ch == '.') ch = '_';
    return name + "_at_" + std::to_string(info.param.topic->context);
}

INSTANTIATE_TEST_SUITE_P(EveryFile, HelpContextTest, ::testing::ValuesIn(AllCases()), CaseName);

TEST(HelpViewer, AMissingFileIsReportedByTheViewerAndTheCallerGoesOn) {
    const std::string path = wintest::ProductFile("NOHELP.HLP");
    ASSERT_FALSE(wintest::FileExists(path));
    ASSERT_EQ(helpview::ViewerProcess(), 0u);

    // The viewer asks while WinHelp waits for its answer: the call runs on
    // a thread of its own, and this one answers the box.
    std::atomic<bool> returned{false};
    std::thread caller([&] {
        WinHelpA(nullptr, path.c_str(), HELP_CONTEXT, 1);
        returned = true;
    });
    HWND box = nullptr;
    DWORD pid = 0;
    for (DWORD start = GetTickCount(); !box && GetTickCount() - start < kWait; Sleep(50)) {
        pid = helpview::ViewerProcess();
        if (pid) box = helpview::MessageBoxOf(pid);
    }
    ASSERT_NE(box, nullptr) << "the viewer showed no message";
    EXPECT_NE(pid, GetCurrentProcessId());
    const std::wstring text = helpview::BoxText(box);
    EXPECT_NE(text.find(L"NOHELP.HLP"), std::wstring::npos) << Narrow(text);
    // Not looking for the file elsewhere: No where the box asks, else OK.
    const int answer = GetDlgItem(box, IDNO) ? IDNO : IDOK;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
    for (DWORD start = GetTickCount(); !returned && GetTickCount() - start < kWait;) Sleep(50);
    EXPECT_TRUE(returned) << "WinHelp did not come back";
    if (!returned) Quit(path);
    caller.join();
    EXPECT_TRUE(helpview::WaitForExit(pid, kWait)) << "the viewer stayed without a file";
    EXPECT_EQ(helpview::MainWindow(), nullptr);
}

// The setup window's Help button, in English and in German.
class SetupHelpTest : public ::testing::TestWithParam<int> {};

TEST_P(SetupHelpTest, TheSetupWindowsHelpOpensItsTopicInTheWindowsLanguage) {
    const int language = GetParam();
    const helptext::File* found = nullptr;
    for (const auto& f : helptext::kFiles)
        if (std::string(f.name) == HelpFileName(language)) found = &f;
    ASSERT_NE(found, nullptr);
    const helptext::File& file = *found;
    wintest::WinIniKeys ini;
    ini.Set("ZEBINFO", "LANGUAGE", language == 1 ? "German" : language == 2 ? "French" : "English");
    wintest::InstalledSource source("Help Test");
    ASSERT_TRUE(source.loaded());
    ASSERT_EQ(source.Open(), TWRC_SUCCESS);
    ASSERT_EQ(source.Enable(true), TWRC_SUCCESS);
    HWND window = source.SetupWindow();
    ASSERT_NE(window, nullptr);
    source.Pump(200);

    SendMessageA(GetDlgItem(window, 1006), BM_CLICK, 0, 0);
    HWND viewer = nullptr;
    for (DWORD start = GetTickCount(); !viewer && GetTickCount() - start < kWait;) {
        source.Pump(50);
        viewer = helpview::WaitForTopic(file.topics[0].title, 0);
    }
    ASSERT_NE(viewer, nullptr) << "no setup window topic shown";
    EXPECT_EQ(helpview::Caption(viewer), file.title);
    Quit(wintest::ProductFile(file.name));
    source.Close();
}

INSTANTIATE_TEST_SUITE_P(Languages, SetupHelpTest, ::testing::Values(0, 1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == 1   ? "German"
                                                : info.param == 2 ? "French"
                                                                  : "English");
                         });

}  // namespace
