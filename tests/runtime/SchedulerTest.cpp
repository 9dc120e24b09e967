// The active object scheduler, its timers and the process base: the order of
// completions, cancelling, timers re-armed and cancelled, and every programming fault
// that ends the process (run in child processes).
#include "runtime/ActiveTimer.h"
#include "runtime/ApplicationCore.h"
#include "runtime/CActive.h"
#include "runtime/Log.h"
#include "runtime/Registry.h"

#include "support/MessagePump.h"
#include "support/TestSupport.h"

#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

using namespace runtime;
using namespace std::chrono_literals;
using test_support::pump_for;
using test_support::pump_until;

namespace {

struct Probe : CActive {
    explicit Probe(std::vector<std::string>& trace, std::string name)
        : trace(trace)
        , name(std::move(name))
    {
    }
    ~Probe() override { Cancel(); }
    void RunL() override
    {
        trace.push_back(name);
        run_thread = std::this_thread::get_id();
        if (on_run)
            on_run();
    }
    void DoCancel() override
    {
        ++cancels;
        if (on_cancel)
            on_cancel();
    }
    std::vector<std::string>& trace;
    std::string name;
    std::thread::id run_thread;
    int cancels { 0 };
    std::function<void()> on_run;
    std::function<void()> on_cancel;
};

struct TimerLog : TimerListener {
    void on_timer(ActiveTimer&) override { reports.push_back(std::chrono::steady_clock::now()); }
    std::vector<std::chrono::steady_clock::time_point> reports;
};

class Scheduler : public ::testing::Test {
protected:
    void SetUp() override { core = std::make_unique<ApplicationCore>(nullptr, u"Weather"); }
    void TearDown() override
    {
        ASSERT_EQ(scheduler().active_counter(), 0); // otherwise the destructor ends the process
        core.reset();
    }
    CActiveScheduler& scheduler() { return core->scheduler(); }
    // One message of the hidden window, dispatched.
    bool dispatch_one()
    {
        platform::Message m;
        if (!platform::MessageQueue::current().wait(200ms, { scheduler().window(), 0, 0 }))
            return false;
        platform::MessageQueue::current().peek(m, true, { scheduler().window(), 0, 0 });
        platform::MessageQueue::current().dispatch(m);
        return true;
    }

    std::unique_ptr<ApplicationCore> core;
    std::vector<std::string> trace;
};

} // namespace

TEST_F(Scheduler, NamesOfTheProcessBase)
{
    EXPECT_EQ(core->window_class_name(), u"VevivozClass_Weather");
    EXPECT_EQ(core->application_name(), u"Weather");
    EXPECT_EQ(scheduler().window_class(), u"CActiveVevivozClass_Weather");
    EXPECT_EQ(platform::MessageQueue::current().window_class(scheduler().window()), u"CActiveVevivozClass_Weather");
    EXPECT_EQ(ApplicationCore::instance(), core.get());
    EXPECT_EQ(ApplicationCore::singleton(), core.get());
}

TEST_F(Scheduler, CompletionsRunInNotifyOrderOnOneMessage)
{
    Probe a(trace, "A"), b(trace, "B");
    a.set_active();
    b.set_active();
    EXPECT_EQ(scheduler().active_counter(), 2);
    scheduler().notify(b);
    scheduler().notify(a);
    ASSERT_TRUE(dispatch_one());
    EXPECT_EQ(trace, (std::vector<std::string> { "B", "A" }));
    EXPECT_EQ(scheduler().active_counter(), 0);
    ASSERT_TRUE(dispatch_one()); // the second message finds the queue empty
    EXPECT_EQ(trace.size(), 2u);
    EXPECT_LT(a.id(), b.id());
}

TEST_F(Scheduler, OtherThreadsNotifyAndRunLRunsOnTheMainThread)
{
    Probe a(trace, "A");
    a.on_run = [&] {
        if (trace.size() < 3) { // RunL may mark its object active again
            a.set_active();
            std::thread([&] { scheduler().notify(a); }).detach();
        }
    };
    a.set_active();
    std::thread([&] { scheduler().notify(a); }).join();
    EXPECT_TRUE(pump_until([&] { return trace.size() == 3; }, 2s));
    EXPECT_EQ(a.run_thread, std::this_thread::get_id());
    pump_for(20ms);
    EXPECT_FALSE(a.is_active());
}

TEST_F(Scheduler, CancelOfAQueuedCompletionDiscardsIt)
{
    Probe a(trace, "A");
    a.set_active();
    scheduler().notify(a);
    a.Cancel();
    EXPECT_EQ(a.cancels, 1);
    EXPECT_FALSE(a.is_active());
    EXPECT_EQ(scheduler().active_counter(), 0);
    pump_for(30ms);
    EXPECT_TRUE(trace.empty());
    a.Cancel(); // idle: nothing happens
    EXPECT_EQ(a.cancels, 1);
}

TEST_F(Scheduler, CancelWaitsForTheCompletionAndKeepsOthers)
{
    Probe a(trace, "A"), other(trace, "other");
    a.set_active();
    other.set_active();
    std::thread worker;
    a.on_cancel = [&] {
        worker = std::thread([&] {
            scheduler().notify(other); // arrives while Cancel waits
            std::this_thread::sleep_for(80ms);
            scheduler().notify(a);
        });
    };
    auto start = std::chrono::steady_clock::now();
    a.Cancel();
    EXPECT_GE(std::chrono::steady_clock::now() - start, 70ms);
    worker.join();
    EXPECT_FALSE(a.is_active());
    EXPECT_TRUE(trace.empty());
    EXPECT_TRUE(pump_until([&] { return !trace.empty(); }, 1s));
    EXPECT_EQ(trace, (std::vector<std::string> { "other" }));
}

TEST_F(Scheduler, TimerStartedAgainReportsOnceAfterTheSecondStart)
{
    TimerLog log;
    ActiveTimer timer(log);
    timer.after(0.5);
    pump_for(300ms);
    auto second = std::chrono::steady_clock::now();
    timer.after(0.5);
    EXPECT_TRUE(pump_until([&] { return !log.reports.empty(); }, 2s));
    pump_for(100ms);
    ASSERT_EQ(log.reports.size(), 1u);
    EXPECT_GE(log.reports[0] - second, 490ms);
    EXPECT_LT(log.reports[0] - second, 800ms);
    EXPECT_FALSE(timer.is_running());
}

TEST_F(Scheduler, CancelledTimerNeverReports)
{
    TimerLog log;
    ActiveTimer timer(log), destroyed_running(log);
    timer.after(0.1);
    destroyed_running.after(0.1);
    EXPECT_TRUE(timer.is_running());
    timer.cancel();
    EXPECT_FALSE(timer.is_running());
    pump_for(250ms);
    EXPECT_EQ(log.reports.size(), 1u); // only the other one
    {
        ActiveTimer short_lived(log);
        short_lived.after(0.05);
    } // destroyed while running: cancelled
    pump_for(150ms);
    EXPECT_EQ(log.reports.size(), 1u);
}

TEST_F(Scheduler, TimersReportNearestFirstAndZeroAtOnce)
{
    struct Named : TimerListener {
        std::vector<std::string>& trace;
        std::string name;
        Named(std::vector<std::string>& t, std::string n)
            : trace(t)
            , name(std::move(n))
        {
        }
        void on_timer(ActiveTimer&) override { trace.push_back(name); }
    } late(trace, "late"), early(trace, "early"), now(trace, "now");
    ActiveTimer t_late(late), t_early(early), t_now(now);
    t_late.after(0.2);
    t_early.after(0.1);
    t_now.after(0.0);
    ASSERT_TRUE(dispatch_one()); // due at once: reported on the next run message
    EXPECT_EQ(trace, (std::vector<std::string> { "now" }));
    EXPECT_TRUE(pump_until([&] { return trace.size() == 3; }, 1s));
    EXPECT_EQ(trace, (std::vector<std::string> { "now", "early", "late" }));
}

namespace {

const char16_t* const nalo = u"HKEY_CURRENT_USER\\Software\\NALO";

std::string log_text()
{
    return test_support::read_utf16_file(std::string(std::getenv("NALO_TEMP")) + "/runtime_tests.txt");
}

// A program's own process base, as the application shell builds one.
struct Shell : ApplicationCore {
    Shell()
        : ApplicationCore(nullptr, u"Weather")
    {
        get_log() << u"shell built\n";
    }
    int extra { 7 };
};

// Ids come from a process-wide counter: the probe logs its own.
struct FaultProbe : CActive {
    FaultProbe() { get_log() << u"probe " << id() << u"\n"; }
    void RunL() override { }
    void DoCancel() override { }
};

} // namespace

TEST(SchedulerFaults, EndTheProcessWithTheirMessage)
{
    struct Case {
        const char* name;
        std::function<void()> body;
        std::string line;
    } cases[] = {
        { "active twice", [] {
             ApplicationCore core(nullptr, u"Weather");
             auto* p = new FaultProbe;
             p->set_active();
             p->set_active();
         },
            "Gluck: Object # is already active @ CActiveScheduler::set_active()\n" },
        { "notify idle", [] {
             ApplicationCore core(nullptr, u"Weather");
             auto* p = new FaultProbe;
             core.scheduler().notify(*p);
         },
            "Gluck: Active object # is not active @ CActiveScheduler::notify()\n" },
        { "queued twice", [] {
             ApplicationCore core(nullptr, u"Weather");
             auto* p = new FaultProbe;
             p->set_active();
             core.scheduler().notify(*p);
             core.scheduler().notify(*p);
             core.scheduler().process_actives();
         },
            "Gluck: Active object # is not marked active @ CActiveScheduler::process_actives()\n" },
        { "destroyed active", [] {
             ApplicationCore core(nullptr, u"Weather");
             FaultProbe p;
             p.set_active();
         },
            "Gluck: Active object # is already active @ CActive::~CActive()\n" },
        { "scheduler with active objects", [] {
             auto* core = new ApplicationCore(nullptr, u"Weather");
             auto* p = new FaultProbe;
             p->set_active();
             delete core;
         },
            "Gluck: Some active objects still live while scheduler is terminating active_counter=1 @ \n" },
        { "second process base", [] {
             ApplicationCore core(nullptr, u"Weather");
             ApplicationCore second(nullptr, u"Weather");
         },
            "Gluck: Singleton is already instantiated @ Singleton::Singleton()\n" },
        // The second one ends the process before its own constructor runs.
        { "second derived process base", [] {
             Shell first;
             Shell second;
         },
            "shell built\nGluck: Singleton is already instantiated @ Singleton::Singleton()\n" },
    };
    for (const Case& c : cases) {
        auto result = test_support::run_in_child([&] {
            write_number(nalo, u"Log", 1);
            get_log() << u"start\n";
            c.body();
            get_log() << u"survived\n";
        });
        EXPECT_TRUE(result.exited) << c.name;
        EXPECT_EQ(result.exit_code, 0) << c.name;
        // The probe's own line gives the id the message must carry.
        std::string text = log_text();
        std::string expected = "start\n" + c.line;
        if (size_t at = text.find("probe "); at != std::string::npos) {
            size_t end = text.find('\n', at);
            std::string id = text.substr(at + 6, end - at - 6);
            text.erase(at, end - at + 1);
            if (size_t hash = expected.find('#'); hash != std::string::npos)
                expected.replace(hash, 1, id);
        }
        EXPECT_EQ(text, expected) << c.name;
    }
    write_number(nalo, u"Log", 0);
    get_log();
}

TEST(ProcessBase, TheSlotsNameTheWholeObjectWhileItLives)
{
    EXPECT_EQ(ApplicationCore::singleton(), nullptr);
    {
        Shell shell;
        ASSERT_EQ(ApplicationCore::singleton(), &shell);
        EXPECT_EQ(ApplicationCore::instance(), &shell);
        EXPECT_EQ(static_cast<Shell*>(ApplicationCore::singleton())->extra, 7);
    }
    EXPECT_EQ(ApplicationCore::singleton(), nullptr);
    EXPECT_EQ(ApplicationCore::instance(), nullptr);
    // A new one may follow the first.
    ApplicationCore again(nullptr, u"Weather");
    EXPECT_EQ(ApplicationCore::singleton(), &again);
}
