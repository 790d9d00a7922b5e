#include "analysis/NameIndex.h"

#include <cstring>

namespace {

// Names of equal hashes are almost always equal: the bytes decide.
bool sameBytes(const std::string& a, std::string_view b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), b.size()) == 0;
}

} // namespace

std::uint64_t NameIndex::hashOf(std::string_view name) {
    // Eight bytes at a time, each word mixed in by a multiply and a shift.
    std::uint64_t hash = 0x9e3779b97f4a7c15ull ^ name.size();
    const char* p = name.data();
    std::size_t left = name.size();
    while (left > 0) {
        std::uint64_t word = 0;
        const std::size_t n = left < 8 ? left : 8;
        std::memcpy(&word, p, n);
        hash = (hash ^ word) * 0xbf58476d1ce4e5b9ull;
        hash ^= hash >> 31;
        p += n;
        left -= n;
    }
    return hash;
}

std::size_t NameIndex::slotOf(std::string_view name, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t entry = slots_[slot];
        if (entry == 0 || (hashes_[entry - 1] == hash && sameBytes(names_[entry - 1], name))) {
            return slot;
        }
    }
}

std::optional<std::size_t> NameIndex::find(std::string_view name) const {
    if (slots_.empty()) {
        return std::nullopt;
    }
    const std::uint32_t entry = slots_[slotOf(name, hashOf(name))];
    return entry == 0 ? std::nullopt : std::optional<std::size_t>(entry - 1);
}

std::pair<std::size_t, bool> NameIndex::place(std::string_view name) {
    // Kept at most half full, so that a search ends soon at an empty slot.
    if (2 * (names_.size() + 1) > slots_.size()) {
        grow();
    }
    const std::uint64_t hash = hashOf(name);
    const std::size_t slot = slotOf(name, hash);
    if (slots_[slot] != 0) {
        return {slots_[slot] - 1, false};
    }
    names_.emplace_back(name);
    hashes_.push_back(hash);
    slots_[slot] = static_cast<std::uint32_t>(names_.size());
    return {names_.size() - 1, true};
}

void NameIndex::grow() {
    slots_.assign(slots_.empty() ? 64 : slots_.size() * 2, 0);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t id = 0; id < names_.size(); ++id) {
        std::size_t slot = hashes_[id] & mask;
        while (slots_[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        slots_[slot] = static_cast<std::uint32_t>(id + 1);
    }
}
