// The renderer's view of time: a millisecond clock, sleeping, and timed waits on its
// wake-up event. Injected so that tests can run the timing rules on a clock of their own.
#pragma once

#include <cstdint>

namespace gif {

class TAutoResetEvent;

class TGIFClock {
public:
    virtual ~TGIFClock() = default;
    // Milliseconds since an arbitrary start; never goes backwards.
    virtual int64_t Now() = 0;
    // Sleeps `ms` milliseconds; 0 only yields the processor.
    virtual void Sleep(int64_t ms) = 0;
    // Waits up to `ms` (negative: no limit) for `event`; true when the event ended the wait.
    virtual bool WaitFor(TAutoResetEvent& event, int64_t ms) = 0;
};

// Real time: std::chrono::steady_clock and the event's own timed wait.
class TSteadyClock : public TGIFClock {
public:
    int64_t Now() override;
    void Sleep(int64_t ms) override;
    bool WaitFor(TAutoResetEvent& event, int64_t ms) override;
};

// Time that passes only by sleeping and waiting, instantly: for composing frames, where
// delays must be honoured in order but never waited out. Waits without limit still block.
class TInstantClock : public TGIFClock {
public:
    int64_t Now() override { return now_; }
    void Sleep(int64_t ms) override { now_ += ms > 0 ? ms : 0; }
    bool WaitFor(TAutoResetEvent& event, int64_t ms) override;

private:
    int64_t now_ = 0;
};

} // namespace gif
