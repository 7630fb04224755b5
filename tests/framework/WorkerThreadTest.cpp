#include "framework/CrossThreadWindow.h"
#include "framework/UniqueHandle.h"
#include "framework/WindowObject.h"
#include "framework/WorkerThread.h"
#include "support/PumpUntil.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Records what a worker does to its screen, in order, from the worker's thread.
class RecordingScreen : public fw::WorkerScreen {
public:
    void EnableInputs(bool enabled) override { Record(enabled ? "inputs on" : "inputs off"); }
    void ShowProgress(int percent) override { Record("progress " + std::to_string(percent)); }
    void Say(const std::wstring&, const std::wstring&) override { Record("say"); }
    void ReportFailure() override { Record("failure"); }
    bool IsOpen() const override { return true; }

    void Record(const std::string& event)
    {
        std::lock_guard<std::mutex> lock(lock_);
        events_.push_back(event);
    }
    std::vector<std::string> Events()
    {
        std::lock_guard<std::mutex> lock(lock_);
        return events_;
    }

private:
    std::mutex lock_;
    std::vector<std::string> events_;
};

// Work handed to a window from another thread; records the thread it ran on.
struct CrossThreadCall {
    fw::CrossThreadWindow& window;
    DWORD ranOn = 0;
};

DWORD WINAPI RunFromWorker(LPVOID parameter)
{
    auto& call = *static_cast<CrossThreadCall*>(parameter);
    call.window.Run([&call] { call.ranOn = ::GetCurrentThreadId(); });
    return 0;
}

class WorkerThreadTest : public testing::Test {
protected:
    // Runs work as a worker and waits for its flag to clear.
    std::vector<std::string> RunToEnd(fw::WorkerProgress progress, std::function<fw::WorkerEnd()> work)
    {
        EXPECT_TRUE(fw::StartWorker(busy, screen, progress, std::move(work)));
        EXPECT_TRUE(testkit::PumpUntil([this] { return busy == 0; }));
        return screen.Events();
    }

    std::atomic<int> busy{0};
    RecordingScreen screen;
};

} // namespace

// The flag is the worker's last step: a page that waits for it finds its
// inputs back, the bar full and the job's values gone.
TEST_F(WorkerThreadTest, AWorkerGivesThePageBackBeforeItClearsItsFlag)
{
    auto job = std::make_shared<int>(7);
    std::vector<std::string> events = RunToEnd(fw::WorkerProgress::kShown, [this, job] {
        screen.Record(busy == 1 ? "work while busy" : "work while idle");
        return fw::WorkerEnd::kDone;
    });
    EXPECT_EQ((std::vector<std::string>{"inputs off", "progress 0", "work while busy", "inputs on", "progress 100"}),
              events);
    EXPECT_EQ(1, job.use_count()) << "the worker let go of its job before clearing the flag";
}

TEST_F(WorkerThreadTest, AFailedOrThrowingRunIsReportedAndTheWalkLeavesTheBarAlone)
{
    EXPECT_EQ((std::vector<std::string>{"inputs off", "progress 0", "failure", "inputs on", "progress 100"}),
              RunToEnd(fw::WorkerProgress::kShown, [] { return fw::WorkerEnd::kFailed; }));

    RecordingScreen fresh;
    std::atomic<int> flag{0};
    ASSERT_TRUE(fw::StartWorker(flag, fresh, fw::WorkerProgress::kLeftAlone,
                                []() -> fw::WorkerEnd { throw std::runtime_error("out of memory"); }));
    ASSERT_TRUE(testkit::PumpUntil([&] { return flag == 0; }));
    EXPECT_EQ((std::vector<std::string>{"inputs off", "failure", "inputs on"}), fresh.Events());
}

TEST_F(WorkerThreadTest, ASecondStartWhileBusyRunsNothing)
{
    fw::KernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE event = release.Get();
    ASSERT_TRUE(fw::StartWorker(busy, screen, fw::WorkerProgress::kLeftAlone, [event] {
        ::WaitForSingleObject(event, INFINITE);
        return fw::WorkerEnd::kDone;
    }));
    bool secondRan = false;
    EXPECT_FALSE(fw::StartWorker(busy, screen, fw::WorkerProgress::kLeftAlone, [&secondRan] {
        secondRan = true;
        return fw::WorkerEnd::kDone;
    }));
    ::SetEvent(event);
    ASSERT_TRUE(testkit::PumpUntil([this] { return busy == 0; }));
    EXPECT_FALSE(secondRan);
    EXPECT_EQ((std::vector<std::string>{"inputs off", "inputs on"}), screen.Events());
}

// Work a worker hands to a page runs on the page's thread, and not at all
// once the page's window is gone.
TEST(CrossThreadWindowTest, WorkRunsOnTheWindowsThreadUntilTheWindowGoes)
{
    fw::WindowObject object;
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(object.Subclass(hwnd));
    fw::CrossThreadWindow window;
    window.Set(hwnd);

    CrossThreadCall call{window};
    fw::KernelHandle worker(::CreateThread(nullptr, 0, RunFromWorker, &call, 0, nullptr));
    ASSERT_TRUE(testkit::PumpUntil([&] { return ::WaitForSingleObject(worker.Get(), 0) == WAIT_OBJECT_0; }));
    EXPECT_EQ(::GetCurrentThreadId(), call.ranOn);

    window.Clear();
    ::DestroyWindow(hwnd);
    call.ranOn = 0;
    fw::KernelHandle late(::CreateThread(nullptr, 0, RunFromWorker, &call, 0, nullptr));
    ASSERT_TRUE(testkit::PumpUntil([&] { return ::WaitForSingleObject(late.Get(), 0) == WAIT_OBJECT_0; }));
    EXPECT_EQ(0u, call.ranOn);
}
