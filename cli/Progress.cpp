#include "cli/Progress.h"
#include "text/Numbers.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "cli/Terminal.h"

namespace {

// The tests' hook: PAIVIEW_PROGRESS_AFTER_MS=0 draws the line at once.
std::chrono::milliseconds delayBeforeDrawing() {
    const char* value = std::getenv("PAIVIEW_PROGRESS_AFTER_MS");
    return std::chrono::milliseconds(value && *value ? std::atoi(value) : 1000);
}

} // namespace

ProgressLine::ProgressLine(std::size_t total)
    : start_(Clock::now()), delay_(delayBeforeDrawing()), total_(total) {}

ProgressLine::~ProgressLine() {
    clear();
}

void ProgressLine::update(std::size_t read) {
    const Clock::time_point now = Clock::now();
    if (now - start_ < delay_ || (width_ > 0 && now - drawnAt_ < std::chrono::milliseconds(100))) {
        return;
    }
    drawnAt_ = now;
    std::string line = "paiview: " + std::to_string(read) + " of " +
                       countText(std::max(read, total_), "half-game", "half-games") + " read";
    if (total_ > 0) {
        line += " (" + std::to_string(std::min<std::size_t>(100, read * 100 / total_)) + "%)";
    }
    // Spaces over what a longer line before left.
    const std::size_t width = line.size();
    line.append(width_ > width ? width_ - width : 0, ' ');
    writeErr("\r" + line);
    width_ = std::max(width_, width);
}

void ProgressLine::clear() {
    if (width_ > 0) {
        writeErr("\r" + std::string(width_, ' ') + "\r");
        width_ = 0;
    }
}
