#pragma once
// The headless host's loop and virtual clock: a queue of work that runs only
// when the loop is asked to deliver it, and timers that tick only as the clock
// is moved on.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "tavo/host/window.h"

namespace tavo {

class HeadlessTimer;
class Recorder;

class EventLoop {
public:
    // Errors that handlers let out go to `recorder`.
    explicit EventLoop(Recorder& recorder) : recorder_(recorder) {}

    int64_t now() const { return now_; }
    void post(std::function<void()> work);
    // Delivers the first queued event; false when there is none.
    bool deliverOne();
    void runUntilIdle();
    // Delivers what was queued before the call, not what that queues in turn.
    void deliverQueued();
    // Delivers everything queued, then moves the clock `ms` on, firing each due
    // timer tick in order (and what the ticks queue) on the way; the ticks of
    // watches at rest are passed over (HeadlessHost::advance has the rule).
    // A wait past the clock's end (kClockEnd) is HostError 6.
    void advance(int64_t ms);
    // About 146 million years: far enough for any wait, near enough that
    // a timer's due time, an interval on, still fits.
    static constexpr int64_t kClockEnd = INT64_MAX / 2;

    // What the host shows of itself that a watch's tick could change besides
    // the queue: the lines it recorded (shows, unloads, topmost, message
    // boxes, keys sent, handler errors), the active window, the focused child.
    struct Outlook {
        std::size_t recorded;
        WindowHandle active;
        const void* focus;
        bool operator==(const Outlook&) const = default;
    };
    // Set by the host's parts, which know these.
    std::function<Outlook()> outlook;
    // Timers are fired in due order, ties by the order they were added.
    void addTimer(const std::shared_ptr<HeadlessTimer>& timer);

    // Changes whenever work is queued or time passes, so that a waiting modal
    // loop can tell whether anything happened meanwhile.
    struct Mark {
        uint64_t posted;
        int64_t clock;
        bool operator==(const Mark&) const = default;
    };
    Mark mark() const { return {nextSeq_, now_}; }
    bool idle() const { return queue_.empty(); }

private:
    // Runs one handler the way the host's event dispatch does: an error it
    // lets out ends that handler only and is recorded, and the loop goes on.
    void dispatch(const std::function<void()>& work);
    // Fires the timer due first within `until`, or passes over the ticks of
    // the watches at rest (`resting`) up to the next tick of another timer;
    // false when no timer is due.
    bool fireNextTimer(int64_t until, std::vector<const HeadlessTimer*>& resting);
    bool passOverResting(int64_t until, const std::vector<const HeadlessTimer*>& resting);

    // seq lets deliverQueued stop at what was queued when it was called.
    struct Event {
        uint64_t seq;
        std::function<void()> work;
    };
    Recorder& recorder_;
    std::deque<Event> queue_;
    uint64_t nextSeq_ = 0;
    int64_t now_ = 0;
    std::vector<std::weak_ptr<HeadlessTimer>> timers_;  // creation order
    uint64_t timersAdded_ = 0;
};

}  // namespace tavo
