#pragma once
// Watching another program's window from outside while it works: how long it takes to answer the
// system, and what its progress bar shows.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fennimark::testing {

struct ProbeFindings {
    DWORD longest_answer_ms = 0;      // the longest a WM_NULL sent to the window waited
    unsigned answers = 0;             // how many were sent
    std::vector<int> bar_positions;   // each change of the progress bar's position seen
    int bar_maximum = -1;             // its range's upper end, once seen
};

// Polls the top-level window of class `window_class` on a thread of its own, from the moment
// it appears until stop().
class WindowProbe {
public:
    explicit WindowProbe(std::wstring window_class);
    ~WindowProbe();
    WindowProbe(const WindowProbe&) = delete;
    WindowProbe& operator=(const WindowProbe&) = delete;

    ProbeFindings stop();

private:
    void poll();

    std::wstring class_;
    std::atomic<bool> stopping_{false};
    ProbeFindings findings_;
    std::thread thread_;
};

// The first progress-bar child of `window`, or null.
HWND progress_bar_of(HWND window);

}  // namespace fennimark::testing
