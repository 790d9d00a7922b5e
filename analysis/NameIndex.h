// Names to ids, looked up without a copy of the name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Names to their place in a list, 0, 1, 2... in the order added, looked up without a copy
// of the name: a log names its players and yaku a million times over, so the table is
// open-addressed over a cheap hash of a name's few bytes rather than std::unordered_map.
class NameIndex {
  public:
    NameIndex() = default;
    NameIndex(const NameIndex& other) = default;
    NameIndex& operator=(const NameIndex& other) = default;

    // The place of name, and whether it was just added as the last.
    std::pair<std::size_t, bool> place(std::string_view name);
    std::optional<std::size_t> find(std::string_view name) const;
    const std::string& name(std::size_t id) const { return names_[id]; }
    std::size_t size() const { return names_.size(); }

  private:
    static std::uint64_t hashOf(std::string_view name);
    // The slot of name: its own, or the empty one where it would go.
    std::size_t slotOf(std::string_view name, std::uint64_t hash) const;
    void grow();

    std::vector<std::string> names_;    // by id
    std::vector<std::uint64_t> hashes_; // by id
    std::vector<std::uint32_t> slots_;  // id + 1; 0 for an empty slot; a power of two long
};
