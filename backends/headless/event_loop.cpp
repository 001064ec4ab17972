#include "backends/headless/event_loop.h"

#include <algorithm>

#include "backends/headless/headless_children.h"
#include "backends/headless/recorder.h"
#include "tavo/host/error.h"

namespace tavo {

void EventLoop::post(std::function<void()> work) { queue_.push_back({nextSeq_++, std::move(work)}); }

bool EventLoop::deliverOne() {
    if (queue_.empty()) return false;
    const std::function<void()> work = std::move(queue_.front().work);
    queue_.pop_front();
    dispatch(work);
    return true;
}

void EventLoop::runUntilIdle() {
    while (deliverOne()) {
    }
}

void EventLoop::deliverQueued() {
    const uint64_t limit = nextSeq_;
    while (!queue_.empty() && queue_.front().seq < limit) deliverOne();
}

void EventLoop::advance(int64_t ms) {
    if (ms > kClockEnd - now_)
        throwHostError(err::Overflow, "advance by " + std::to_string(ms) + " ms at " + std::to_string(now_) +
                                          " ms: the virtual clock ends at " + std::to_string(kClockEnd) + " ms");
    runUntilIdle();
    const int64_t until = now_ + ms;
    std::vector<const HeadlessTimer*> resting;
    while (fireNextTimer(until, resting)) {
    }
    now_ = std::max(now_, until);
}

void EventLoop::addTimer(const std::shared_ptr<HeadlessTimer>& timer) {
    timers_.push_back(timer);
    ++timersAdded_;
}

void EventLoop::dispatch(const std::function<void()>& work) {
    try {
        work();
    } catch (const HostError& e) {
        recorder_.recordHandlerError(e);
    }
}

bool EventLoop::fireNextTimer(int64_t until, std::vector<const HeadlessTimer*>& resting) {
    std::erase_if(timers_, [](const std::weak_ptr<HeadlessTimer>& t) { return t.expired(); });
    std::shared_ptr<HeadlessTimer> next;
    for (const auto& weak : timers_) {
        auto t = weak.lock();
        // Strictly earlier only: of two ticks due at once the older timer goes first.
        if (t && t->dueBy(until) && (!next || t->due() < next->due())) next = t;
    }
    if (!next) return false;
    if (std::find(resting.begin(), resting.end(), next.get()) != resting.end() && passOverResting(until, resting)) return true;

    now_ = std::max(now_, next->due());
    next->ticked();
    post([weak = std::weak_ptr<HeadlessTimer>(next)] {
        const auto t = weak.lock();
        if (t && !t->gone() && t->enabled()) fireHandler(t->onTimer);
    });
    const uint64_t posted = nextSeq_, added = timersAdded_;
    const Outlook before = outlook ? outlook() : Outlook{};
    const int64_t nextDue = next->due();
    runUntilIdle();
    const bool didNothing = nextSeq_ == posted && timersAdded_ == added &&
                            (outlook ? outlook() : Outlook{}) == before && next->enabled() && !next->gone() &&
                            next->due() == nextDue;
    if (next->watchOnly && didNothing) {
        if (std::find(resting.begin(), resting.end(), next.get()) == resting.end()) resting.push_back(next.get());
    } else {
        // What changed may be what a watch at rest looks at.
        resting.clear();
    }
    return true;
}

// Nothing is queued and the watches at rest would do nothing at their ticks,
// so only the next tick of a timer not at rest (or the end of the wait) can
// change anything: their ticks before it are passed over. False when none
// is before it, and the tick due first has to run.
bool EventLoop::passOverResting(int64_t until, const std::vector<const HeadlessTimer*>& resting) {
    int64_t horizon = until + 1;
    std::vector<std::shared_ptr<HeadlessTimer>> atRest;
    for (const auto& weak : timers_) {
        auto t = weak.lock();
        if (!t || !t->dueBy(until)) continue;
        if (std::find(resting.begin(), resting.end(), t.get()) != resting.end())
            atRest.push_back(std::move(t));
        else
            horizon = std::min(horizon, t->due());
    }
    bool passed = false;
    for (const auto& t : atRest) {
        if (t->due() >= horizon) continue;
        t->skipTicksBefore(horizon);
        passed = true;
    }
    return passed;
}

}  // namespace tavo
