// The help files as the product opens them: WinHelp at a context number
// starts Wine's viewer on the installed file, which shows the topic of that
// number under the file's title. Every file at every number the product
// uses; a missing file, which the viewer itself reports while the caller
// goes on; and the Help buttons of the setup window and of its tone dialogs
// in the window's language.
#include "common/module_names.h"
#include "help/help_texts.h"
#include "tests/support/dialog_watcher.h"
#include "tests/support/help_viewer.h"
#include "tests/support/installed_source.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kWait = 20000;

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += c == L'\r' ? '\n' : c < 128 ? static_cast<char>(c) : '?';
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

// Whatever a case leaves open, even a failing one, is closed at its end.
class ClosesTheViewer {
public:
    explicit ClosesTheViewer(std::string path) : path_(std::move(path)) {}
    ~ClosesTheViewer() {
        if (helpview::ViewerProcess()) Quit(path_);
    }

private:
    std::string path_;
};

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

    ClosesTheViewer closer(path);
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
    EXPECT_NE(box, nullptr) << "the viewer showed no message";
    if (box) {
        EXPECT_NE(pid, GetCurrentProcessId());
        const std::wstring text = helpview::BoxText(box);
        EXPECT_NE(text.find(L"NOHELP.HLP"), std::wstring::npos) << Narrow(text);
        // Not looking for the file elsewhere: No where the box asks, else OK.
        const int answer = GetDlgItem(box, IDNO) ? IDNO : IDOK;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
    }
    for (DWORD start = GetTickCount(); !returned && GetTickCount() - start < kWait;) Sleep(50);
    EXPECT_TRUE(returned) << "WinHelp did not come back";
    if (!returned && pid) {
        // A viewer that never lets WinHelp go is ended, so the caller can be.
        if (HANDLE viewer = OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
            TerminateProcess(viewer, 1);
            CloseHandle(viewer);
        }
    }
    caller.join();
    EXPECT_TRUE(helpview::WaitForExit(pid, kWait)) << "the viewer stayed without a file";
    EXPECT_EQ(helpview::MainWindow(), nullptr);
}

const helptext::File& FileOfLanguage(int language) {
    for (const auto& f : helptext::kFiles)
        if (std::string(f.name) == HelpFileName(language)) return f;
    return helptext::kFiles[0];
}

const char* LanguageName(int language) {
    return language == 1 ? "German" : language == 2 ? "French" : "English";
}

std::string LanguageCaseName(const ::testing::TestParamInfo<int>& info) {
    return LanguageName(info.param);
}

// The setup window of the installed source, open in a language.
class OpenSetupWindow {
public:
    explicit OpenSetupWindow(int language) {
        // Every key the window may write on its way is put back afterwards.
        ini_.KeepSetupWindowKeys();
        ini_.Set("ZEBINFO", "LANGUAGE", LanguageName(language));
        if (source_.loaded() && source_.Open() == TWRC_SUCCESS && source_.Enable(true) == TWRC_SUCCESS)
            window_ = source_.SetupWindow();
        source_.Pump(200);
    }
    ~OpenSetupWindow() { source_.Close(); }
    HWND window() const { return window_; }
    wintest::InstalledSource& source() { return source_; }

private:
    wintest::WinIniKeys ini_;
    wintest::InstalledSource source_{"Help Test"};
    HWND window_ = nullptr;
};

// The setup window's Help button, in each language with a help file.
class SetupHelpTest : public ::testing::TestWithParam<int> {};

TEST_P(SetupHelpTest, TheSetupWindowsHelpOpensItsTopicInTheWindowsLanguage) {
    const helptext::File& file = FileOfLanguage(GetParam());
    OpenSetupWindow setup(GetParam());
    ASSERT_NE(setup.window(), nullptr);

    ClosesTheViewer closer(wintest::ProductFile(file.name));
    SendMessageA(GetDlgItem(setup.window(), 1006), BM_CLICK, 0, 0);
    HWND viewer = nullptr;
    for (DWORD start = GetTickCount(); !viewer && GetTickCount() - start < kWait;) {
        setup.source().Pump(50);
        viewer = helpview::WaitForTopic(file.topics[0].title, 0);
    }
    ASSERT_NE(viewer, nullptr) << "no setup window topic shown";
    EXPECT_EQ(helpview::Caption(viewer), file.title);
}

INSTANTIATE_TEST_SUITE_P(Languages, SetupHelpTest, ::testing::Values(0, 1, 2), LanguageCaseName);

// The Help buttons of the window's tone dialogs, each opened from the
// window's drawn button: the dialog's topic in the window's language.
struct ToneDialog {
    int command, help, cancel, context;
};
constexpr ToneDialog kToneDialogs[] = {
    {1111, 3014, 3013, 3},  // brightness/contrast
    {1110, 2053, 2003, 4},  // gamma
    {1112, 7008, 7007, 5},  // levels
};

class DialogHelpTest : public ::testing::TestWithParam<int> {};

TEST_P(DialogHelpTest, EachToneDialogsHelpOpensItsTopic) {
    const helptext::File& file = FileOfLanguage(GetParam());
    OpenSetupWindow setup(GetParam());
    ASSERT_NE(setup.window(), nullptr);
    for (const ToneDialog& d : kToneDialogs) {
        const helptext::Topic* topic = nullptr;
        for (const auto& t : file.topics)
            if (t.context == d.context) topic = &t;
        ASSERT_NE(topic, nullptr);
        bool shown = false;
        std::wstring caption;
        wintest::DialogWatcher watcher(d.help, [&](HWND dialog) {
            wintest::PressButton(dialog, d.help);
            if (HWND viewer = helpview::WaitForTopic(topic->title, kWait)) {
                shown = true;
                caption = helpview::Caption(viewer);
            }
            Quit(wintest::ProductFile(file.name));
            wintest::PressButton(dialog, d.cancel);
        });
        SendMessageA(setup.window(), WM_COMMAND, d.command, 0);
        EXPECT_EQ(watcher.Handled(), 1) << "the dialog of context " << d.context << " did not open";
        EXPECT_TRUE(shown) << "no topic \"" << Narrow(topic->title) << "\" for context " << d.context;
        EXPECT_EQ(caption, file.title);
        setup.source().Pump(100);
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, DialogHelpTest, ::testing::Values(0, 1, 2), LanguageCaseName);

}  // namespace
