// Score logs written by the tests themselves: a small builder and the files on disk.
#pragma once

#include <string>
#include <vector>

namespace e2e {

struct HandLines {
    std::string title;  // up to and including ")"
    std::string result; // pairs of words
    std::string yaku;
};

// One half-game. `players` are whole entries ("[1]NAME RATE"); `placings` are the
// placing lines without their two leading spaces, the first being the first place.
// An aborted half-game has no placings and ends its hands with the abort line.
struct HalfGame {
    std::string table;
    std::string startTime;
    std::string endTime;
    std::vector<std::string> players;
    std::vector<HandLines> hands;
    std::vector<std::string> placings;
    bool aborted = false;
};

// The lines of a score log holding `games` in order, CR LF line ends.
std::string scoreLog(const std::vector<HalfGame>& games);

// A four-player half-game with two hands and made-up texts derived from `number`.
HalfGame plainGame(int number);

// Fourteen half-games with known contents, used by most tests:
//   0  a Japanese table name, players ALICE, BOB, CAROL, DAVE, two hands
//   1..13 tables TABLE-01..TABLE-13, except:
//   3  aborted before any hand (no hands)
//   5  three players
//   7  two players
//   9  aborted after one hand
//   0, 2, 6, 10 have a hand with the same yaku word; 12 has the player ZED.
std::vector<HalfGame> standardGames();

// Writes bytes to a file in the tests' own temporary folder; returns its Windows path.
std::string writeTempFile(const std::string& name, const std::string& bytes);
// A path in that folder that does not exist.
std::string missingTempFile();
// The temporary folder itself, ending in a backslash.
std::string tempFolder();

} // namespace e2e
