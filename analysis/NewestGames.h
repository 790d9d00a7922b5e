// The newest half-games of one player, kept during the one pass for a page that lists
// them with their hands, when that player may be known only once the pass is over (the
// owner of a log: the name in every half-game, else in the most).
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "analysis/GameFacts.h"
#include "analysis/NameIndex.h"

class NewestGames {
  public:
    // count: how many to keep for the player (CP932; empty for the owner). upcoming:
    // at least as many half-games as will be added, so that a name that can no longer
    // become the owner stops being kept for.
    NewestGames(std::size_t count, std::string player, std::size_t upcoming);

    // Each selected half-game in order, with its hands, and the record they view.
    void add(const GameRecord& record, const GameFacts& game);

    // The newest count half-games with player seated, newest first; they stay valid
    // after this object is gone. For the owner, the player must be the owner of the
    // half-games added (StatsCollector::owner).
    std::vector<std::shared_ptr<const HeldGame>> of(const std::string& player) const;

  private:
    // The half-games kept, each once however many names keep it, and reused once none do.
    struct Store {
        std::deque<HeldGame> games; // a deque: a held game never moves
        std::vector<int> keepers;   // by game: the lists that hold it
        std::vector<std::size_t> unused;
    };
    using Id = std::size_t;
    struct Name {
        int games = 0;
        std::deque<Id> newest; // while the name may still be the one asked for
        bool dropped = false;
    };
    Id keep(const GameRecord& record, const GameFacts& game);
    void push(std::deque<Id>& list, Id game);
    void release(Id game);
    void dropHopeless();

    std::size_t count_;
    std::string player_;
    std::size_t upcoming_;
    std::size_t added_ = 0;
    int most_ = 0;
    std::shared_ptr<Store> store_;
    NameIndex index_;
    std::vector<Name> names_; // by index_'s id
    // While some names sit in every half-game so far, the newest count of all of them
    // are those names' newest; after that, what was kept then is frozen here.
    std::vector<std::string> inEvery_;
    std::deque<Id> sinceStart_;
    bool everyPhase_ = true;
};
