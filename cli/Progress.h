// How far a long pass has read, as one line on standard error for a person at a
// terminal: drawn only once the pass has taken a second, redrawn in place at most ten
// times a second, and cleared when done. The caller decides whether there is a person.
#pragma once

#include <chrono>
#include <cstddef>

class ProgressLine {
  public:
    // total: about how many half-games the pass will read. The second counts from now.
    explicit ProgressLine(std::size_t total);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void setTotal(std::size_t total) { total_ = total; }
    void update(std::size_t read);
    // Leaves the line empty, the cursor at its start; again is harmless.
    void clear();

  private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point start_, drawnAt_;
    Clock::duration delay_;
    std::size_t total_;
    std::size_t width_ = 0; // of the line drawn; 0 when none is
};
