#include "tests/win/dsm/source_fixture.h"

#include "common/product.h"
#include "tests/support/wine_support.h"

#include <cstdio>
#include <cstring>

namespace dsmtest {

std::string TestSourceName(const std::string& stem) { return "Test Source " + stem; }

std::string Text(const TW_STR32& field) {
    const void* end = std::memchr(field, '\0', sizeof field);
    return std::string(field, end ? static_cast<const char*>(end) - field : sizeof field);
}

// ---- SourceFolder ----------------------------------------------------------

SourceFolder::SourceFolder() {
    // One folder per test, so that what a failed test leaves behind does
    // not disturb the next.
    static unsigned counter = 0;
    char name[64];
    std::snprintf(name, sizeof name, "\\dsmtest_%lu_%u", GetCurrentProcessId(), ++counter);
    root_ = wintest::WindowsDirectory() + kSourcesFolder;
    CreateDirectoryA(root_.c_str(), nullptr);
    root_ += name;
    if (CreateDirectoryA(root_.c_str(), nullptr)) folders_.push_back(root_);
}

SourceFolder::~SourceFolder() {
    if (!Remove()) ADD_FAILURE() << "test sources left behind in " << root_;
}

std::string SourceFolder::Prepare(const std::string& relativePath) {
    // Creates the folders on the way, remembering the new ones.
    size_t from = 0;
    for (;;) {
        const size_t slash = relativePath.find('\\', from);
        if (slash == std::string::npos) break;
        const std::string folder = root_ + "\\" + relativePath.substr(0, slash);
        if (CreateDirectoryA(folder.c_str(), nullptr)) folders_.push_back(folder);
        from = slash + 1;
    }
    const std::string path = root_ + "\\" + relativePath;
    files_.push_back(path);
    return path;
}

std::string SourceFolder::InstallSource(const std::string& relativePath) {
    const std::string path = Prepare(relativePath);
    const std::string built = WindowsPathOf(PAVO_TEST_SOURCE_FILE);
    EXPECT_TRUE(CopyFileA(built.c_str(), path.c_str(), FALSE)) << built << " -> " << path;
    return path;
}

std::string SourceFolder::AddFile(const std::string& relativePath, const std::string& contents) {
    const std::string path = Prepare(relativePath);
    FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr) << path;
    if (f) {
        std::fwrite(contents.data(), 1, contents.size(), f);
        std::fclose(f);
    }
    return path;
}

bool SourceFolder::Remove() {
    bool all = true;
    for (const std::string& file : files_)
        if (!DeleteFileA(file.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) all = false;
    files_.clear();
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
        if (!RemoveDirectoryA(it->c_str())) all = false;
    folders_.clear();
    return all;
}

// ---- Application -------------------------------------------------------------

Application::Application(const char* productName) {
    module_ = LoadLibraryA(kSourceManagerModule);
    if (module_)
        entry_ = reinterpret_cast<DSMENTRYPROC>(
            reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(1))));
    window_ = CreateWindowExA(0, "STATIC", productName, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    identity_.Version.MajorNum = 1;
    identity_.Version.Language = TWLG_USA;
    identity_.Version.Country = TWCY_USA;
    identity_.ProtocolMajor = TWON_PROTOCOLMAJOR;
    identity_.ProtocolMinor = TWON_PROTOCOLMINOR;
    identity_.SupportedGroups = DG_CONTROL | DG_IMAGE;
    std::strncpy(identity_.Manufacturer, "Test Bench", sizeof identity_.Manufacturer - 1);
    std::strncpy(identity_.ProductFamily, "Tests", sizeof identity_.ProductFamily - 1);
    std::strncpy(identity_.ProductName, productName, sizeof identity_.ProductName - 1);
}

Application::~Application() {
    if (entry_) {
        while (!openSources_.empty()) {
            TW_IDENTITY source = openSources_.back();
            if (CloseSource(source) != TWRC_SUCCESS) openSources_.pop_back();
        }
        if (managerOpen_) CloseManager();
    }
    if (window_) DestroyWindow(window_);
    if (module_) FreeLibrary(module_);
}

TW_UINT16 Application::Call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                            TW_MEMREF data) {
    if (!entry_) {
        ADD_FAILURE() << kSourceManagerModule << " is not loaded";
        return TWRC_FAILURE;
    }
    return entry_(&identity_, dest, dg, dat, msg, data);
}

TW_UINT16 Application::OpenManager() {
    TW_UINT16 result = Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &window_);
    if (result == TWRC_SUCCESS) managerOpen_ = true;
    return result;
}

TW_UINT16 Application::CloseManager() {
    TW_UINT16 result = Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &window_);
    if (result == TWRC_SUCCESS) managerOpen_ = false;
    return result;
}

TW_UINT16 Application::ManagerCondition() {
    TW_STATUS status{0xFFFF, 0};
    EXPECT_EQ(Call(nullptr, DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
    return status.ConditionCode;
}

TW_UINT16 Application::SourceCondition(TW_IDENTITY& source) {
    TW_STATUS status{0xFFFF, 0};
    EXPECT_EQ(Call(&source, DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
    return status.ConditionCode;
}

TW_UINT16 Application::OpenSource(const std::string& productName, TW_IDENTITY& source) {
    source = TW_IDENTITY{};
    std::strncpy(source.ProductName, productName.c_str(), sizeof source.ProductName - 1);
    TW_UINT16 result = Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source);
    if (result == TWRC_SUCCESS) openSources_.push_back(source);
    return result;
}

TW_UINT16 Application::CloseSource(TW_IDENTITY& source) {
    TW_UINT16 result = Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source);
    if (result == TWRC_SUCCESS) {
        for (auto it = openSources_.begin(); it != openSources_.end(); ++it)
            if (it->Id == source.Id) {
                openSources_.erase(it);
                break;
            }
    }
    return result;
}

std::vector<TW_IDENTITY> Application::ListSources() {
    std::vector<TW_IDENTITY> sources;
    TW_IDENTITY identity{};
    TW_UINT16 result = Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &identity);
    while (result == TWRC_SUCCESS && sources.size() < 1000) {
        sources.push_back(identity);
        identity = TW_IDENTITY{};
        result = Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &identity);
    }
    EXPECT_EQ(result, TWRC_ENDOFLIST);
    return sources;
}

std::vector<std::string> Application::ListTestSourceNames() {
    std::vector<std::string> names;
    for (const TW_IDENTITY& identity : ListSources()) {
        const std::string name = Text(identity.ProductName);
        if (name.rfind(TestSourceName(""), 0) == 0) names.push_back(name);
    }
    return names;
}

TW_UINT16 Application::ProcessEvent(TW_IDENTITY& source, const MSG& message,
                                    TW_UINT16& twMessage) {
    MSG copy = message;
    TW_EVENT event{};
    event.pEvent = &copy;
    event.TWMessage = 0xFFFF;
    TW_UINT16 result = Call(&source, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    twMessage = event.TWMessage;
    return result;
}

bool Application::TakePostedMessage(MSG& message) {
    return PeekMessageA(&message, window_, 0, 0, PM_REMOVE) != 0;
}

// ---- LoadedSource ------------------------------------------------------------

LoadedSource::LoadedSource(const std::string& path) : module_(GetModuleHandleA(path.c_str())) {}

template <typename Proc>
static Proc Export(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::vector<TestSourceCall> LoadedSource::Calls() const {
    std::vector<TestSourceCall> calls;
    if (!module_) return calls;
    auto count = Export<TestSourceCallCountProc>(module_, kTestSourceCallCount);
    auto get = Export<TestSourceGetCallProc>(module_, kTestSourceGetCall);
    const int n = count();
    for (int i = 0; i < n; ++i) {
        TestSourceCall call{};
        if (get(i, &call)) calls.push_back(call);
    }
    return calls;
}

TestSourceCall LoadedSource::LastCall() const {
    std::vector<TestSourceCall> calls = Calls();
    return calls.empty() ? TestSourceCall{} : calls.back();
}

bool LoadedSource::Received(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) const {
    for (const TestSourceCall& call : Calls())
        if (call.dg == dg && call.dat == dat && call.msg == msg) return true;
    return false;
}

TW_IDENTITY LoadedSource::SelfIdentity() const {
    TW_IDENTITY self{}, application{};
    if (module_) Export<TestSourceIdentitiesProc>(module_, kTestSourceIdentities)(&self, &application);
    return self;
}

TW_IDENTITY LoadedSource::ApplicationIdentity() const {
    TW_IDENTITY self{}, application{};
    if (module_) Export<TestSourceIdentitiesProc>(module_, kTestSourceIdentities)(&self, &application);
    return application;
}

TW_UINT16 LoadedSource::Notify(TW_UINT16 msg, bool fromOtherThread) const {
    if (!module_) return TWRC_FAILURE;
    return Export<TestSourceNotifyProc>(module_, kTestSourceNotify)(msg, fromOtherThread ? 1 : 0);
}

bool IsLoaded(const std::string& path) { return GetModuleHandleA(path.c_str()) != nullptr; }

}  // namespace dsmtest
