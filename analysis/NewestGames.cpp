// Which half-games to keep so that the newest of whoever turns out to be the owner are
// there at the end, without keeping every half-game of a large log.
//
// While some names sit at every table so far, the newest count half-games are those
// names' newest, and one list serves. From the first half-game without any of them on,
// each name keeps its own newest, until the half-games left are too few for it to
// catch up with the name seated most. The first list stays, frozen: it holds every one
// of the owner's half-games from before that point that may be among its newest count,
// because the owner was seated at least as often as any of those names, who sat at
// every one of them.
#include "analysis/NewestGames.h"

#include <algorithm>
#include <optional>

NewestGames::NewestGames(std::size_t count, std::string player, std::size_t upcoming)
    : count_(count), player_(std::move(player)), upcoming_(upcoming),
      store_(std::make_shared<Store>()) {}

NewestGames::Id NewestGames::keep(const GameRecord& record, const GameFacts& game) {
    Store& store = *store_;
    if (store.unused.empty()) {
        store.games.emplace_back(record, game);
        store.keepers.push_back(0);
        return store.games.size() - 1;
    }
    const Id id = store.unused.back();
    store.unused.pop_back();
    store.games[id].hold(record, game);
    return id;
}

void NewestGames::push(std::deque<Id>& list, Id game) {
    ++store_->keepers[game];
    list.push_back(game);
    if (list.size() > count_) {
        release(list.front());
        list.pop_front();
    }
}

void NewestGames::release(Id game) {
    if (--store_->keepers[game] == 0) {
        store_->unused.push_back(game);
    }
}

void NewestGames::add(const GameRecord& record, const GameFacts& game) {
    ++added_;
    std::vector<std::string_view> seated;
    for (const SeatFacts& seat : game.seats) {
        if (!seat.name.empty() && &seat == findSeat(game, seat.name)) {
            seated.push_back(seat.name);
        }
    }
    const auto sits = [&](std::string_view name) {
        return std::find(seated.begin(), seated.end(), name) != seated.end();
    };
    if (!player_.empty()) {
        if (sits(player_)) {
            push(sinceStart_, keep(record, game));
        }
        return;
    }
    if (everyPhase_) {
        if (added_ == 1) {
            for (std::string_view name : seated) {
                inEvery_.emplace_back(name);
            }
        } else {
            inEvery_.erase(std::remove_if(inEvery_.begin(), inEvery_.end(),
                                          [&](const std::string& name) { return !sits(name); }),
                           inEvery_.end());
        }
        everyPhase_ = !inEvery_.empty();
    }
    std::optional<Id> kept;
    for (std::string_view name : seated) {
        const auto [id, added] = index_.place(name);
        if (added) {
            names_.emplace_back();
        }
        Name& entry = names_[id];
        most_ = std::max(most_, ++entry.games);
        if (!everyPhase_ && !entry.dropped) {
            if (!kept) {
                kept = keep(record, game);
            }
            push(entry.newest, *kept);
        }
    }
    if (everyPhase_) {
        push(sinceStart_, keep(record, game));
    } else if (added_ % 256 == 0) {
        dropHopeless();
    }
}

void NewestGames::dropHopeless() {
    const std::size_t left = upcoming_ > added_ ? upcoming_ - added_ : 0;
    for (Name& entry : names_) {
        if (!entry.dropped &&
            static_cast<std::size_t>(entry.games) + left < static_cast<std::size_t>(most_)) {
            entry.dropped = true;
            for (const Id game : entry.newest) {
                release(game);
            }
            entry.newest.clear();
        }
    }
}

std::vector<std::shared_ptr<const HeldGame>> NewestGames::of(const std::string& player) const {
    // Each shares the ownership of the whole store.
    const auto held = [&](Id game) {
        return std::shared_ptr<const HeldGame>(store_, &store_->games[game]);
    };
    std::vector<std::shared_ptr<const HeldGame>> out;
    if (const auto id = index_.find(player)) {
        const auto& newest = names_[*id].newest;
        for (auto game = newest.rbegin(); game != newest.rend(); ++game) {
            out.push_back(held(*game));
        }
    }
    for (auto game = sinceStart_.rbegin(); game != sinceStart_.rend() && out.size() < count_;
         ++game) {
        if (findSeat(store_->games[*game].facts(), player)) {
            out.push_back(held(*game));
        }
    }
    if (out.size() > count_) {
        out.resize(count_);
    }
    return out;
}
