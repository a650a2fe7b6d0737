#pragma once

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bake {

// Runs body(i) for i in [0, count) on `threads` workers, handing out indices one at a time.
// Results must not depend on which worker runs an index (every random draw is hashed from
// its index), so the bake is identical for any thread count. When `label` is not empty the
// progress is printed in steps of ten percent.
inline void parallelFor(int count, int threads, const std::string& label,
                        const std::function<void(int)>& body) {
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::mutex printMutex;
    int lastTenth = 0;
    auto worker = [&] {
        for (int i = next++; i < count; i = next++) {
            body(i);
            const int finished = ++done;
            if (!label.empty()) {
                const int tenth = finished * 10 / count;
                std::lock_guard<std::mutex> lock(printMutex);
                if (tenth > lastTenth) {
                    lastTenth = tenth;
                    std::printf("  %s: %d%%\n", label.c_str(), tenth * 10);
                    std::fflush(stdout);
                }
            }
        }
    };
    std::vector<std::thread> pool;
    const int extra = std::max(0, std::min(threads, count) - 1);
    pool.reserve(static_cast<std::size_t>(extra));
    for (int t = 0; t < extra; ++t) {
        pool.emplace_back(worker);
    }
    worker();
    for (auto& t : pool) {
        t.join();
    }
}

} // namespace bake
