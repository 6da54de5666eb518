// The game as zq2 runs it, with every frame timed: for the soak run. Prints, at the end, the
// frames drawn, the mean and longest interval between frames and the slowest frame's work.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "game/zq_main.h"

namespace {
struct FrameStats {
    long Frames = 0;
    double LongestGapMs = 0;
    double TotalGapMs = 0;
    std::chrono::steady_clock::time_point Last{};
};
}  // namespace

int main()
{
    FrameStats stats;
    try {
        Application->Initialize();
        Application->Title = "ZQ-2";
        Application->CreateForm(&Form1);
        const TIdleEvent frame = Application->OnIdle;
        if (frame) {
            Application->OnIdle = [&](TObject* sender, bool& done) {
                frame(sender, done);
                const auto now = std::chrono::steady_clock::now();
                if (stats.Frames > 0) {
                    const double gap = std::chrono::duration<double, std::milli>(now - stats.Last).count();
                    stats.LongestGapMs = std::max(stats.LongestGapMs, gap);
                    stats.TotalGapMs += gap;
                }
                stats.Last = now;
                ++stats.Frames;
            };
        }
        Application->Run();
    } catch (Exception& e) {
        Application->ShowException(e);
    }
    std::printf("frames %ld\nmean interval ms %.2f\nlongest interval ms %.2f\n", stats.Frames,
                stats.Frames > 1 ? stats.TotalGapMs / double(stats.Frames - 1) : 0.0, stats.LongestGapMs);
    return 0;
}
