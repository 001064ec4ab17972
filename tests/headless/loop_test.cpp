// The virtual clock, its timers and the host's loop.
#include "tests/headless/headless_fixture.h"

namespace tavo {
namespace {

class LoopTest : public HeadlessTest {
protected:
    std::shared_ptr<Timer> timer(const std::string& name, int interval, bool enabled = true) {
        auto t = form->addTimer(timerDesign(name, interval, enabled));
        t->onTimer = [this, name] { log.push_back(name + "@" + std::to_string(host.now())); };
        return t;
    }
};

TEST_F(LoopTest, TimersTickInDueOrderAndTiesGoByCreationOrder) {
    auto slow = timer("slow", 300);
    auto fastA = timer("a", 200);
    auto fastB = timer("b", 200);
    host.advance(600);
    EXPECT_EQ(log,
              (std::vector<std::string>{"a@200", "b@200", "slow@300", "a@400", "b@400", "slow@600", "a@600", "b@600"}));
    EXPECT_EQ(host.now(), 600);
}

TEST_F(LoopTest, DisabledDestroyedOrIntervalZeroTimersDoNotTick) {
    auto first = timer("first", 200);
    auto second = timer("second", 200);
    auto never = timer("never", 0);
    auto off = timer("off", 100, false);
    // Due at the same moment, but switched off by the tick before it.
    first->onTimer = [&] {
        log.push_back("first");
        second->setEnabled(false);
    };
    host.advance(250);
    EXPECT_EQ(log, std::vector<std::string>{"first"});

    auto dialog = host.createWindow(windowDesign("dlg"));
    auto orphan = dialog->addTimer(timerDesign("orphan", 50));
    orphan->onTimer = [&] { log.push_back("orphan"); };
    dialog->destroy();
    first->setEnabled(false);
    host.advance(1000);
    EXPECT_EQ(log, std::vector<std::string>{"first"});
}

TEST_F(LoopTest, EnablingOrANewIntervalRestartsTheTimerFromNow) {
    auto t = timer("t", 200);
    host.advance(150);
    t->setEnabled(true);
    host.advance(150);
    EXPECT_TRUE(log.empty());
    host.advance(50);
    EXPECT_EQ(log, std::vector<std::string>{"t@350"});

    t->setInterval(100);
    host.advance(99);
    EXPECT_EQ(log.size(), 1u);
    host.advance(1);
    EXPECT_EQ(log.back(), "t@450");
}

TEST_F(LoopTest, WorkQueuedByATickIsDeliveredBeforeTheNextTick) {
    auto a = timer("a", 100);
    a->onTimer = [&] {
        log.push_back("tick@" + std::to_string(host.now()));
        host.post([&] { log.push_back("work@" + std::to_string(host.now())); });
    };
    host.post([&] { log.push_back("queued"); });
    host.advance(200);
    EXPECT_EQ(log, (std::vector<std::string>{"queued", "tick@100", "work@100", "tick@200", "work@200"}));
}

// A watch like the popup's: it remembers the active window when started and
// closes (stops and records a line) when another one is active. `stepped`
// turns the passing over off, so that a run can be compared with the run
// that steps through every tick.
struct WatchRun {
    std::vector<std::string> log;
    int watchTicks = 0;
};

WatchRun runWatch(bool stepped, int64_t wait) {
    HeadlessHost host;
    auto form = host.createWindow(windowDesign("Form1"));
    host.setMainWindow(form);
    WatchRun run;
    auto watch = form->addTimer(timerDesign("watch", 200));
    const WindowHandle seen = host.getActiveWindow();
    watch->watchOnly = !stepped;
    watch->onTimer = [&] {
        ++run.watchTicks;
        if (host.getActiveWindow() == seen) return;
        watch->setEnabled(false);
        host.record("closed@" + std::to_string(host.now()));
    };
    // An ordinary timer, whose every tick runs: at its third the user
    // switches to another application.
    auto other = form->addTimer(timerDesign("other", 7000));
    int otherTicks = 0;
    other->onTimer = [&] {
        run.log.push_back("other@" + std::to_string(host.now()));
        if (++otherTicks < 3) return;
        other->setEnabled(false);
        host.postActivateOtherApplication();
    };
    host.advance(wait);
    run.log.insert(run.log.end(), host.trace().begin(), host.trace().end());
    run.log.push_back("now@" + std::to_string(host.now()));
    return run;
}

TEST(LoopWatch, PassingOverAWatchAtRestChangesNothingButTheTicksRun) {
    const WatchRun stepped = runWatch(true, 1'000'000);
    const WatchRun passed = runWatch(false, 1'000'000);
    EXPECT_EQ(passed.log, stepped.log);
    EXPECT_EQ(passed.log, (std::vector<std::string>{"other@7000", "other@14000", "other@21000", "closed@21200",
                                                    "now@1000000"}));
    EXPECT_EQ(stepped.watchTicks, 106);
    EXPECT_LE(passed.watchTicks, 8);
    // A wait of thousands of years takes no longer.
    EXPECT_EQ(runWatch(false, 99'999'999'999'999).log.back(), "now@99999999999999");
}

TEST_F(LoopTest, AWatchKeepsItsScheduleAcrossAWaitItPassedOver) {
    auto watch = form->addTimer(timerDesign("watch", 200));
    int ticks = 0;
    watch->watchOnly = true;
    watch->onTimer = [&] {
        ++ticks;
        if (host.getActiveWindow() == form->hWnd()) return;
        watch->setEnabled(false);
        log.push_back("closed@" + std::to_string(host.now()));
    };
    host.advance(1'000'000'000'050);
    EXPECT_LE(ticks, 2);
    host.postActivateOtherApplication();
    host.advance(149);
    EXPECT_TRUE(log.empty());
    host.advance(1);
    EXPECT_EQ(log, std::vector<std::string>{"closed@1000000000200"});

    EXPECT_EQ(errorNumberOf([&] { host.advance(INT64_MAX); }), err::Overflow);
    EXPECT_EQ(host.now(), 1'000'000'000'200);
}

TEST_F(LoopTest, DoEventsDeliversOnlyWhatWasPendingAndMayBeCalledFromAHandler) {
    host.post([&] {
        log.push_back("A");
        host.doEvents();
        log.push_back("A done");
    });
    host.post([&] {
        log.push_back("B");
        host.post([&] { log.push_back("D"); });
    });
    host.doEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"A", "B", "A done"}));
    host.runUntilIdle();
    EXPECT_EQ(log.back(), "D");
    EXPECT_EQ(host.now(), 0);
}

TEST_F(LoopTest, AHandlersErrorEndsThatHandlerOnlyAndIsRecorded) {
    std::vector<std::string> traced;
    host.onTrace = [&](const std::string& line) { traced.push_back(line); };
    host.post([] { throw HostError(err::InvalidPropertyValue, "Invalid property value: cal.Value"); });
    host.post([&] { log.push_back("next"); });
    host.runUntilIdle();
    EXPECT_EQ(log, std::vector<std::string>{"next"});
    ASSERT_EQ(host.handlerErrors().size(), 1u);
    EXPECT_EQ(host.handlerErrors()[0].number(), err::InvalidPropertyValue);
    EXPECT_EQ(traced, std::vector<std::string>{"error 380 Invalid property value: cal.Value"});
    EXPECT_EQ(errorNumberOf([&] { host.advance(-1); }), err::InvalidProcedureCall);
}

}  // namespace
}  // namespace tavo
