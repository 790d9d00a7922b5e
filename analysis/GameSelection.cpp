// The pass every command makes: each half-game read once, its facts worked out once.
//
// With two cores or more, reading runs on a thread of their own while the visits (a
// command's counting and writing) run on the caller's: a ring of slots carries each
// record and its facts from one to the other, in order. The facts are worked out by
// whichever thread has time: the reader when the visits lag behind, else the visits'
// thread just before its visit. The reading thread alone makes and frees the records'
// memory, and the visits see each slot only while it is theirs.
#include "analysis/GameSelection.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace {

// What the pass computes of one half-game, kept in a slot of the ring.
struct Slot {
    GameRecord record;
    RecordOrigin origin;
    RecordLines lines;
    GameFacts facts;
    RenderedGame rendered;
    std::size_t number = 0;
    bool pending = false; // its facts are still to be worked out
    bool selected = false;
};

// Thrown on the reading thread when the visits failed, to end its reading.
struct Abandoned {};

bool useThread() {
#ifdef __EMSCRIPTEN__
    return false; // a page opened from disk runs on one thread
#else
    return std::thread::hardware_concurrency() >= 2;
#endif
}

} // namespace

GameSelection::GameSelection(std::vector<std::string> files, const LogSetOptions& options,
                             GameFilter filter)
    : filter_(std::move(filter)) {
    logs_.load(std::move(files), options);
}

bool GameSelection::run(FactsNeeded needed, const std::function<void(const SelectedGame&)>& visit) {
    return run(needed, Render(), visit);
}

bool GameSelection::run(FactsNeeded needed, const Render& render,
                        const std::function<void(const SelectedGame&)>& visit) {
    selected_ = 0;
    const bool narrowing = narrows(filter_);
    const auto last = static_cast<std::size_t>(std::max(filter_.last, 0));
    // The newest N are known only at the end: rendering the others would be wasted.
    const bool rendering = render && last == 0;

    // Notes where a half-game read into slot came from; its facts wait for facts().
    const auto place = [&](const LoadedGame& game, Slot& slot) {
        slot.origin = game.origin;
        slot.lines = game.lines;
        slot.number = game.number;
        slot.pending = true;
    };
    // Works out the facts of the half-game in slot, and whether it is selected.
    const auto facts = [&](Slot& slot) {
        slot.pending = false;
        slot.selected = false;
        const int number = static_cast<int>(slot.number);
        if (filter_.number != 0 && slot.number != filter_.number) {
            return; // known without any facts
        }
        if (needed == FactsNeeded::None && !narrowing) {
            slot.facts.number = number;
        } else {
            readGameFacts(slot.record, number, slot.facts);
            if (narrowing && !passes(filter_, slot.facts)) {
                return;
            }
            if (needed == FactsNeeded::Hands) {
                readHandFacts(slot.record, slot.facts);
            } else {
                readStartPoints(slot.record, slot.facts);
            }
        }
        slot.selected = true;
        if (rendering) {
            render(SelectedGame{slot.facts, slot.origin, slot.lines, &slot.record}, slot.rendered);
        }
    };

    // --last: only the newest N that passed so far, visited at the end.
    struct Held {
        Held(const GameRecord& record, const GameFacts& facts, const RecordOrigin& origin,
             const RecordLines& lines)
            : game(record, facts), origin(origin), lines(lines) {}
        HeldGame game;
        RecordOrigin origin;
        RecordLines lines;
    };
    std::deque<Held> held;
    std::size_t readSoFar = 0;
    const auto consume = [&](Slot& slot) {
        if (progress_ && ++readSoFar % 512 == 0) {
            progress_(readSoFar);
        }
        if (slot.pending) {
            facts(slot);
        }
        if (!slot.selected) {
            return;
        }
        ++selected_;
        if (last > 0) {
            held.emplace_back(slot.record, slot.facts, slot.origin, slot.lines);
            if (held.size() > last) {
                held.pop_front();
            }
            return;
        }
        visit(SelectedGame{slot.facts, slot.origin, slot.lines, &slot.record,
                           rendering ? &slot.rendered : nullptr});
    };

    bool read = false;
    // Nothing worth a thread when no facts are worked out, or one half-game is wanted.
    if (!useThread() || needed == FactsNeeded::None || filter_.number != 0) {
        Slot slot;
        read = logs_.read([&]() -> GameRecord& { return slot.record; },
                          [&](const LoadedGame& game) {
                              place(game, slot);
                              consume(slot);
                          });
    } else {
        // Slots go from one thread to the other in batches: a hand-over costs a wake-up
        // of the other thread, far more than a half-game's work.
        constexpr std::size_t kSlots = 256, kBatch = 32, kAhead = kSlots / 2;
        std::vector<Slot> slots(kSlots);
        std::mutex mutex;
        std::condition_variable changed;
        std::size_t produced = 0, consumed = 0; // handed over, and handed back
        // The visits' progress as the reader sees it without the lock: when they keep up,
        // the reader leaves the facts to their thread, so that both stay busy.
        std::atomic<std::size_t> visitedSoFar{0};
        bool done = false, abandoned = false;
        std::exception_ptr failure;

        std::thread reader([&] {
            std::size_t filled = 0, free = 0; // this thread's own counts
            const auto handOver = [&] {
                const std::lock_guard<std::mutex> lock(mutex);
                produced = filled;
                changed.notify_all();
            };
            try {
                const bool ok = logs_.read(
                    [&]() -> GameRecord& {
                        if (filled - free == kSlots) {
                            handOver();
                            std::unique_lock<std::mutex> lock(mutex);
                            changed.wait(lock,
                                         [&] { return filled - consumed < kSlots || abandoned; });
                            if (abandoned) {
                                throw Abandoned{};
                            }
                            free = consumed;
                        }
                        return slots[filled % kSlots].record;
                    },
                    [&](const LoadedGame& game) {
                        Slot& slot = slots[filled % kSlots];
                        place(game, slot);
                        if (filled - visitedSoFar.load(std::memory_order_relaxed) > kAhead) {
                            facts(slot);
                        }
                        if (++filled % kBatch == 0) {
                            handOver();
                        }
                    });
                const std::lock_guard<std::mutex> lock(mutex);
                read = ok;
                produced = filled;
            } catch (const Abandoned&) {
            } catch (...) {
                const std::lock_guard<std::mutex> lock(mutex);
                failure = std::current_exception();
            }
            const std::lock_guard<std::mutex> lock(mutex);
            done = true;
            changed.notify_all();
        });

        try {
            std::size_t visited = 0, available = 0;
            for (;;) {
                if (visited == available) {
                    std::unique_lock<std::mutex> lock(mutex);
                    consumed = visited;
                    changed.notify_all();
                    changed.wait(lock, [&] { return visited < produced || done; });
                    available = produced;
                    if (visited == available) {
                        break; // done, and every slot visited
                    }
                }
                consume(slots[visited % kSlots]);
                visitedSoFar.store(++visited, std::memory_order_relaxed);
                if (visited % kBatch == 0) {
                    const std::lock_guard<std::mutex> lock(mutex);
                    consumed = visited;
                    changed.notify_all();
                }
            }
        } catch (...) {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                abandoned = true;
                changed.notify_all();
            }
            reader.join();
            throw;
        }
        reader.join();
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
    if (!read) {
        return false;
    }
    selected_ = last > 0 ? held.size() : selected_;
    for (const Held& game : held) {
        visit(SelectedGame{game.game.facts(), game.origin, game.lines, &game.game.record()});
    }
    return true;
}

bool GameSelection::forEachHand(
    const std::function<void(const GameFacts&, const HandFacts&)>& visit) {
    return run(FactsNeeded::Hands, [&](const SelectedGame& game) {
        for (const HandFacts& hand : game.facts.hands) {
            visit(game.facts, hand);
        }
    });
}
