// Names to ids, looked up without a copy of the name.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

// Names to their place in a list, 0, 1, 2... in the order added, looked up without a copy
// of the name: a log names its players and yaku a million times over.
class NameIndex {
  public:
    NameIndex() = default;
    NameIndex(const NameIndex& other) : names_(other.names_) { reindex(); }
    NameIndex& operator=(const NameIndex& other) {
        names_ = other.names_;
        reindex();
        return *this;
    }

    // The place of name, and whether it was just added as the last.
    std::pair<std::size_t, bool> place(std::string_view name) {
        if (const auto at = at_.find(name); at != at_.end()) {
            return {at->second, false};
        }
        // The key views the index's own copy, which a deque never moves.
        names_.emplace_back(name);
        at_.emplace(names_.back(), names_.size() - 1);
        return {names_.size() - 1, true};
    }
    std::optional<std::size_t> find(std::string_view name) const {
        const auto at = at_.find(name);
        return at == at_.end() ? std::nullopt : std::optional<std::size_t>(at->second);
    }
    const std::string& name(std::size_t id) const { return names_[id]; }
    std::size_t size() const { return names_.size(); }

  private:
    void reindex() {
        at_.clear();
        for (std::size_t i = 0; i < names_.size(); ++i) {
            at_.emplace(names_[i], i);
        }
    }
    std::deque<std::string> names_;
    std::unordered_map<std::string_view, std::size_t> at_;
};
