// Workers and calls run on the user-interface thread.
#include "BoxWatcher.h"

#include "runtime/Application.h"
#include "runtime/Exception.h"
#include "runtime/Form.h"
#include "runtime/MessageBoxes.h"
#include "runtime/Thread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace quennet {
namespace {

class TLambdaThread : public TThread {
  public:
    explicit TLambdaThread(std::function<void(TLambdaThread&)> body) : body_(std::move(body)) {}
    ~TLambdaThread() override {
        Terminate();
        WaitFor();
    }
    using TThread::Terminated;

  protected:
    void Execute() override { body_(*this); }

  private:
    std::function<void(TLambdaThread&)> body_;
};

TEST(Thread, SynchronizeRunsOnTheUserInterfaceThreadAndWaits) {
    const DWORD uiThread = GetCurrentThreadId();
    DWORD ranOn = 0;
    std::atomic<bool> returned{false};
    TLambdaThread worker([&](TLambdaThread&) {
        TThread::Synchronize([&] { ranOn = GetCurrentThreadId(); });
        returned = ranOn != 0; // the call has run when Synchronize returns
    });
    worker.Start();
    EXPECT_TRUE(test::PumpUntil([&] { return worker.Finished(); }));
    EXPECT_EQ(ranOn, uiThread);
    EXPECT_TRUE(returned);
}

TEST(Thread, AnExceptionInASynchronizedCallComesBackToTheWorker) {
    std::string caught;
    TLambdaThread worker([&](TLambdaThread&) {
        try {
            TThread::Synchronize([] { throw Exception("Invalid HEX string !"); });
        } catch (const Exception& e) {
            caught = e.message();
        }
    });
    worker.Start();
    EXPECT_TRUE(test::PumpUntil([&] { return worker.Finished(); }));
    EXPECT_EQ(caught, "Invalid HEX string !");
}

TEST(Thread, WaitForOnTheUserInterfaceThreadServesTheWorkersLastCalls) {
    int rows = 0;
    bool finished = false;
    TLambdaThread worker([&](TLambdaThread& self) {
        while (!self.Terminated())
            Sleep(1);
        for (int i = 0; i < 50; ++i)
            TThread::Synchronize([&] { ++rows; });
        TThread::Synchronize([&] { finished = true; }); // the final update of the window
    });
    worker.OnTerminate = [&](TThread&) { EXPECT_TRUE(finished); };
    worker.Start();
    worker.Terminate();
    worker.WaitFor(); // without serving the calls this would never return
    EXPECT_EQ(rows, 50);
    EXPECT_TRUE(finished);
    EXPECT_TRUE(worker.Finished());
}

TEST(Thread, OnTerminateRunsOnTheUserInterfaceThreadAndFatalExceptionIsKept) {
    DWORD ranOn = 0;
    TLambdaThread worker([](TLambdaThread&) { throw Exception("walk failed"); });
    worker.OnTerminate = [&](TThread&) { ranOn = GetCurrentThreadId(); };
    worker.Start();
    worker.WaitFor();
    EXPECT_EQ(ranOn, GetCurrentThreadId());
    ASSERT_TRUE(worker.FatalException());
    EXPECT_EQ(ExceptionMessage(worker.FatalException()), "walk failed");
}

// A worker that keeps the queue full (rows streaming in) must not keep the window from
// painting and answering: the loop serves them between slices of queued calls.
class TPaintCounter : public TForm {
  public:
    int paints = 0;

  protected:
    void Paint(HDC) override { ++paints; }
};

TEST(Thread, AQueueKeptFullLeavesRoomForPainting) {
    TPaintCounter form;
    form.SetBounds(10, 10, 200, 100);
    form.Show();
    test::PumpUntil([] { return false; }, 100);
    std::atomic<int> calls{0};
    std::atomic<int> callsAtPaint{-1};
    constexpr int kCalls = 1000; // about a second of work, queued one call at a time
    std::function<void()> call = [&] {
        Sleep(1);
        if (++calls < kCalls)
            Application().Queue(call);
    };
    const int paintsBefore = form.paints;
    Application().Queue(call);
    InvalidateRect(form.Handle(), nullptr, TRUE);
    while (calls < kCalls && Application().HandleMessage()) {
        if (form.paints > paintsBefore && callsAtPaint < 0)
            callsAtPaint = calls.load();
    }
    EXPECT_GE(callsAtPaint, 0) << "never painted while the queue was full";
    EXPECT_LT(callsAtPaint, kCalls / 2) << "painted only once the queue ran dry";
}

TEST(Thread, QueuedCallsRunInOrderOnTheNextMessages) {
    std::vector<int> order;
    TLambdaThread worker([&](TLambdaThread&) {
        for (int i = 0; i < 5; ++i)
            TThread::Queue([&order, i] { order.push_back(i); });
    });
    worker.Start();
    EXPECT_TRUE(test::PumpUntil([&] { return order.size() == 5; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(Thread, SynchronizedCallsRunWhileTheUserInterfaceSitsInAMessageBox) {
    std::atomic<bool> ran{false};
    bool ranBeforeTheBoxClosed = false;
    TLambdaThread worker([&](TLambdaThread&) {
        Sleep(20);
        TThread::Synchronize([&] { ran = true; });
    });
    test::BoxWatcher watcher("Error");
    worker.Start();
    ShowErrorBox("Invalid directory.");
    ranBeforeTheBoxClosed = ran;
    watcher.Serve();
    worker.WaitFor();
    EXPECT_TRUE(ranBeforeTheBoxClosed);
}

} // namespace
} // namespace quennet
