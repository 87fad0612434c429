// A listening stand-in for the source manager, loaded under the manager's
// module name: the notifications the data source sent, and a reaction to
// them from inside the source's call.
#pragma once

#include "common/twain.h"
#include "tests/support/wine_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

// The notifications the data source sent (MSG_XFERREADY, MSG_CLOSEDSREQ),
// seen by a listening stand-in for the source manager.
class NotificationRecorder {
public:
    NotificationRecorder() {
        module_ = LoadLibraryA(wintest::WindowsPathOf(PAVO_DSM_RECORDER).c_str());
        EXPECT_NE(module_, nullptr) << "the listening source manager is missing";
        count_ = reinterpret_cast<int (*)()>(Entry("RecordedCount"));
        message_ = reinterpret_cast<TW_UINT16 (*)(int)>(Entry("RecordedMessage"));
        if (auto clear = reinterpret_cast<void (*)()>(Entry("ClearRecorded"))) clear();
        react_ = reinterpret_cast<void (*)(Reaction)>(Entry("ReactWith"));
    }
    ~NotificationRecorder() {
        if (react_) react_(nullptr);
        if (module_) FreeLibrary(module_);
    }
    // Has the manager answer each notification at once, from inside the
    // source's call, as a manager that calls its application back does.
    using Reaction = void (*)(TW_UINT16 message);
    void ReactWith(Reaction reaction) {
        ASSERT_NE(react_, nullptr);
        react_(reaction);
    }
    std::vector<TW_UINT16> Messages() const {
        std::vector<TW_UINT16> m;
        for (int i = 0; count_ && i < count_(); ++i) m.push_back(message_(i));
        return m;
    }

private:
    void* Entry(const char* name) {
        return module_ ? reinterpret_cast<void*>(GetProcAddress(module_, name)) : nullptr;
    }
    HMODULE module_ = nullptr;
    int (*count_)() = nullptr;
    TW_UINT16 (*message_)(int) = nullptr;
    void (*react_)(Reaction) = nullptr;
};
