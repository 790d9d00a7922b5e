// Reading the logs and working out facts on one core, writing on another.
#include "export/ThreadedWriter.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace {

class ThreadedWriter : public GameWriter {
  public:
    explicit ThreadedWriter(std::unique_ptr<GameWriter> inner)
        : inner_(std::move(inner)), worker_([this] { run(); }) {}

    ~ThreadedWriter() override { stop(true); }

    void add(GameFacts&& game) override {
        std::unique_lock<std::mutex> lock(mutex_);
        space_.wait(lock, [&] { return queue_.size() < kQueued || failure_; });
        if (failure_) {
            std::rethrow_exception(failure_);
        }
        queue_.push_back(std::move(game));
        ready_.notify_one();
    }

    void commit() override {
        stop(false);
        if (failure_) {
            std::rethrow_exception(failure_);
        }
        inner_->commit();
    }

  private:
    // Enough to keep the writer busy; few enough that memory does not grow with the log.
    static constexpr std::size_t kQueued = 256;

    void stop(bool abandon) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closing_ = true;
            abandon_ = abandon_ || abandon;
        }
        ready_.notify_all();
        if (worker_.joinable()) {
            worker_.join();
        }
    }

    void run() {
        for (;;) {
            GameFacts game;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                ready_.wait(lock, [&] { return !queue_.empty() || closing_; });
                if (abandon_ || queue_.empty()) {
                    return;
                }
                game = std::move(queue_.front());
                queue_.pop_front();
            }
            space_.notify_one();
            try {
                inner_->add(std::move(game));
            } catch (...) {
                std::lock_guard<std::mutex> lock(mutex_);
                failure_ = std::current_exception();
                space_.notify_all();
                return;
            }
        }
    }

    std::unique_ptr<GameWriter> inner_; // destroyed last, after the thread has ended
    std::mutex mutex_;
    std::condition_variable ready_, space_;
    std::deque<GameFacts> queue_;
    bool closing_ = false, abandon_ = false;
    std::exception_ptr failure_;
    std::thread worker_; // started last, once everything it uses is there
};

} // namespace

std::unique_ptr<GameWriter> onOwnThread(std::unique_ptr<GameWriter> inner) {
    return std::make_unique<ThreadedWriter>(std::move(inner));
}
