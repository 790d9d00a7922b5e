// Loose matching of names and words: what a person meant when a name or a flag they
// typed is not there. Texts are CP932 (ASCII is CP932 too).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The text folded for comparing: letters in lower case, full-width letters, digits and
// spaces as ASCII, half-width katakana as full-width.
std::string looseForm(std::string_view cp932);

// The indexes of up to most candidates nearest to wanted by edit distance, counted in
// characters (a double-byte character is one), nearest first, ties in the candidates'
// order; only those at most maxDistance away.
std::vector<std::size_t> nearestOf(std::string_view wanted,
                                   const std::vector<std::string>& candidates, std::size_t most,
                                   std::size_t maxDistance);

// The distance a text of that many characters may be from a guess: about a third of it.
std::size_t looseDistance(std::string_view cp932);
