// Plays out half-games with a seeded random source and writes them as a score log.
#include "samples/generator/ScoreLogGenerator.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Our own generator and ranges: the standard distributions differ between
// libraries, and a seed must give the same log everywhere.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high].
    int between(int low, int high) {
        return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool percent(int chance) { return between(0, 99) < chance; }
    template <typename T, std::size_t N> const T& pick(const std::array<T, N>& items) {
        return items[next() % N];
    }

  private:
    std::uint64_t state;
};

const std::array<const char*, 24> kNames = {
    "ぴよ丸", "たぬき", "ねこまる", "雀鬼見習い", "かもめ",     "りんご飴",
    "白發中", "ほたる", "麻雀太郎", "ゆきんこ",   "黒猫",       "ひよこ豆",
    "スズメ", "ロン子", "表裏一体", "ソーズ使い", "リャンメン", "西風",
    "ツモ太", "さくら", "ドラ爆",   "ハコ下",     "満月",       "Kuma",
};

const std::array<const char*, 20> kYaku = {
    "立直",    "一発",    "門前清自摸和", "平和",     "断幺九", "一盃口",   "役牌 白",
    "役牌 發", "役牌 中", "場風 東",      "混一色",   "対々和", "三色同順", "一気通貫",
    "七対子",  "清一色",  "海底摸月",     "嶺上開花", "三暗刻", "小三元",
};

const std::array<const char*, 9> kTiles = {"一萬", "五萬", "九萬", "二筒", "六筒",
                                           "三索", "七索", "東",   "中"};

const char* const kWinds[] = {"東", "南", "西", "北"};

struct Clock {
    int year = 2003, month = 5, day = 17, minute = 21 * 60;

    void advance(int minutes) {
        static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        minute += minutes;
        while (minute >= 24 * 60) {
            minute -= 24 * 60;
            if (++day > kDays[month - 1]) {
                day = 1;
                if (++month > 12) {
                    month = 1;
                    ++year;
                }
            }
        }
    }
    // Always 16 bytes: "2003/05/17 21:04".
    std::string text() const {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d", year % 10000, month, day,
                      minute / 60, minute % 60);
        return buffer;
    }
};

std::string signedPoints(int points) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%+d", points);
    return buffer;
}

int roundUp100(int value) {
    return (value + 99) / 100 * 100;
}

class Writer {
  public:
    Writer(const GeneratorOptions& options, GeneratorStats& stats)
        : random(options.seed), options(options), stats(stats), eol(options.crlf ? "\r\n" : "\n") {
        clock.advance(static_cast<int>(random.next() % (60 * 24 * 30)));
    }

    std::string run() {
        for (int game = 0; game < options.halfGames; ++game) {
            writeHalfGame(game);
        }
        return std::move(out);
    }

  private:
    void line(const std::string& text) {
        out += text;
        out += eol;
    }

    void writeHalfGame(int game) {
        const int roll = random.between(0, 99);
        const int players = roll < 60 ? 4 : roll < 85 ? 3 : 2;
        const bool aborted = random.percent(options.abortedPercent);
        int handTotal = std::max(1, options.averageHands + random.between(-2, 2));
        if (aborted) {
            handTotal = random.between(0, std::max(0, options.averageHands / 2));
        }

        seats.clear();
        const GeneratedRatingRule* rule = options.ratingRule;
        if (rule) {
            seats.push_back(kNames.back());
        }
        while (static_cast<int>(seats.size()) < players) {
            const char* name = random.pick(kNames);
            if (std::find(seats.begin(), seats.end(), name) == seats.end()) {
                seats.push_back(name);
            }
        }
        const int start = players == 4 ? 25000 : players == 3 ? 35000 : 50000;
        points.assign(players, start);

        char table[64];
        if (players == 4) {
            std::snprintf(table, sizeof table, "東風荘 第%d卓", 1 + game % 97);
        } else if (players == 3) {
            std::snprintf(table, sizeof table, "三麻 %d番卓", 1 + game % 31);
        } else {
            std::snprintf(table, sizeof table, "二人打ち %d卓", 1 + game % 13);
        }
        line("===== " + std::string(table) + " 開始 " + clock.text() + " =====");

        ratings.clear();
        for (int seat = 0; seat < players; ++seat) {
            ratings.push_back(random.between(1300, 2200));
        }
        if (rule) {
            // The owner sits at a seat of the draw's choosing; the last other's rating is
            // moved so that (T − R) ÷ divisor is whole.
            const int index = 4 - players;
            owner = random.between(0, players - 1);
            std::swap(seats[0], seats[owner]);
            if (ownerRatings[index] == 0) {
                ownerRatings[index] = rule->start;
            }
            ratings[owner] = ownerRatings[index];
            const int last = owner == players - 1 ? players - 2 : players - 1;
            const int modulus = (players - 1) * rule->divisor;
            long long gap = 0;
            for (int seat = 0; seat < players; ++seat) {
                gap += seat == owner ? 0 : ratings[seat] - ratings[owner];
            }
            ratings[last] += static_cast<int>((modulus - gap % modulus) % modulus);
            ownerGap = static_cast<int>((gap + (modulus - gap % modulus) % modulus) / modulus);
        }
        std::string playerLine = "  ";
        for (int seat = 0; seat < players; ++seat) {
            char entry[64];
            std::snprintf(entry, sizeof entry, "%s[%d]%s R%d", seat ? " " : "", seat + 1,
                          seats[seat], ratings[seat]);
            playerLine += entry;
        }
        line(playerLine);

        round = 0;
        honba = 0;
        sticks = 0;
        for (int hand = 0; hand < handTotal; ++hand) {
            writeHand(hand == 0);
        }
        stats.hands += static_cast<std::uint64_t>(handTotal);

        if (aborted) {
            line("   ユーザ切断により途中終了");
            ++stats.aborted;
            stats.abortedWithoutHands += handTotal == 0;
        } else {
            line("  ---- 試合結果 ----");
            writePlacings();
            ++stats.completed;
        }
        clock.advance(random.between(4, 5) * std::max(handTotal, 1) + random.between(0, 9));
        line("----- " + std::string(table) + " 終了 " + clock.text() + " -----");
        line("");
        clock.advance(random.between(1, 12));

        ++stats.halfGames;
        (players == 4 ? stats.fourPlayer : players == 3 ? stats.threePlayer : stats.twoPlayer)++;
    }

    void writeHand(bool first) {
        const int players = static_cast<int>(seats.size());
        const int dealer = round % players;
        char title[64];
        std::snprintf(title, sizeof title, "%s%d局", kWinds[(round / players) % 4], dealer + 1);
        std::string handLine = "  " + std::string(title);
        // The very first hand of some logs carries the dealer instead of the counters.
        if (first && random.percent(15)) {
            handLine += " (親:" + std::string(seats[dealer]) + ")";
        } else {
            handLine += " " + std::to_string(honba) + "本場(リーチ" + std::to_string(sticks) + ")";
        }

        const int kind = random.between(0, 99);
        std::vector<int> delta(players, 0);
        std::string yaku;
        bool dealerKeeps;
        if (kind < 15) {
            dealerKeeps = writeDraw(delta, yaku, dealer);
        } else {
            const int winner = random.between(0, players - 1);
            const bool tsumo = kind < 50;
            const int loser = (winner + random.between(1, players - 1)) % players;
            yaku = winningHand(winner == dealer, tsumo, winner, loser, dealer, delta);
            dealerKeeps = winner == dealer;
        }

        std::string result;
        for (int seat = 0; seat < players; ++seat) {
            if (delta[seat] != 0) {
                result += " " + std::string(seats[seat]) + " " + signedPoints(delta[seat]);
            }
        }
        if (result.empty()) {
            result = " 流局 0";
        }
        line(handLine + result);
        line("    " + yaku);
        if (random.percent(20)) {
            line("    ドラ表示牌:" + std::string(random.pick(kTiles)) +
                 " 裏:" + random.pick(kTiles));
        }
        if (random.percent(4)) {
            line("    (" + std::string(seats[random.between(0, players - 1)]) +
                 " さんの接続が不安定です)");
        }
        for (int seat = 0; seat < players; ++seat) {
            points[seat] += delta[seat];
        }
        if (dealerKeeps) {
            ++honba;
        } else {
            honba = 0;
            ++round;
        }
    }

    // Tenpai payments; the dealer keeps the seat when tenpai.
    bool writeDraw(std::vector<int>& delta, std::string& yaku, int dealer) {
        const int players = static_cast<int>(delta.size());
        std::vector<int> ready;
        for (int seat = 0; seat < players; ++seat) {
            if (random.percent(45)) {
                ready.push_back(seat);
            }
        }
        yaku = "流局";
        if (!ready.empty()) {
            yaku += " 聴牌:";
            for (std::size_t i = 0; i < ready.size(); ++i) {
                yaku += (i ? "," : "") + std::string(seats[ready[i]]);
            }
        }
        const int pool = 3000;
        const int notReady = players - static_cast<int>(ready.size());
        if (!ready.empty() && notReady > 0) {
            for (int seat = 0; seat < players; ++seat) {
                const bool isReady = std::find(ready.begin(), ready.end(), seat) != ready.end();
                delta[seat] = isReady ? pool / static_cast<int>(ready.size()) : -pool / notReady;
            }
        }
        sticks += random.between(0, 1);
        return std::find(ready.begin(), ready.end(), dealer) != ready.end();
    }

    // Picks a hand's value, fills the payments and returns the yaku text.
    std::string winningHand(bool dealerWins, bool tsumo, int winner, int loser, int dealer,
                            std::vector<int>& delta) {
        const int players = static_cast<int>(delta.size());
        const int han =
            std::min(13, random.between(1, 4) + (random.percent(25) ? random.between(1, 6) : 0));
        static const std::array<int, 6> kFu = {20, 30, 30, 40, 50, 70};
        const int fu = random.pick(kFu);
        int base = fu << (2 + han);
        const char* limit = nullptr;
        if (han >= 13) {
            base = 8000, limit = "役満";
        } else if (han >= 11) {
            base = 6000, limit = "三倍満";
        } else if (han >= 8) {
            base = 4000, limit = "倍満";
        } else if (han >= 6) {
            base = 3000, limit = "跳満";
        } else if (han >= 5 || base > 2000) {
            base = 2000, limit = "満貫";
        }

        if (tsumo) {
            for (int seat = 0; seat < players; ++seat) {
                if (seat == winner) {
                    continue;
                }
                const int pay =
                    roundUp100(base * (dealerWins || seat == dealer ? 2 : 1)) + 100 * honba;
                delta[seat] -= pay;
                delta[winner] += pay;
            }
        } else {
            const int pay = roundUp100(base * (dealerWins ? 6 : 4)) + 300 * honba;
            delta[loser] -= pay;
            delta[winner] += pay;
        }
        delta[winner] += 1000 * sticks;
        sticks = 0;

        std::string text;
        if (limit) {
            text = limit;
        } else {
            text = std::to_string(fu) + "符 " + std::to_string(han) + "飜";
        }
        if (random.percent(55)) {
            text += " 立直";
        }
        if (tsumo) {
            text += " 門前清自摸和";
        }
        // A few different yaku, each named once.
        const int extra = random.between(1, 3);
        std::vector<const char*> chosen;
        while (static_cast<int>(chosen.size()) < extra) {
            const char* yaku = random.pick(kYaku);
            if (std::find(chosen.begin(), chosen.end(), yaku) == chosen.end()) {
                chosen.push_back(yaku);
                text += " " + std::string(yaku);
            }
        }
        const int dora = random.between(0, 3);
        if (dora > 0) {
            text += " ドラ" + std::to_string(dora);
        }
        return text;
    }

    void writePlacings() {
        const int players = static_cast<int>(seats.size());
        std::vector<int> order(players);
        for (int seat = 0; seat < players; ++seat) {
            order[seat] = seat;
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return points[a] > points[b]; });
        static const int kUma4[] = {20, 10, -10, -20};
        static const int kUma3[] = {20, 0, -20};
        static const int kUma2[] = {10, -10};
        const int* uma = players == 4 ? kUma4 : players == 3 ? kUma3 : kUma2;
        const int origin = players == 4 ? 30000 : players == 3 ? 40000 : 50000;
        for (int place = 0; place < players; ++place) {
            const int seat = order[place];
            if (options.ratingRule && seat == owner) {
                const auto& a = options.ratingRule->a[static_cast<std::size_t>(4 - players)];
                ownerRatings[4 - players] += a.at(static_cast<std::size_t>(place)) + ownerGap;
            }
            const int tenths = (points[seat] - origin) / 100 + uma[place] * 10;
            char text[96];
            std::snprintf(text, sizeof text, "  %d位 %s %c%d.%d (%d)", place + 1, seats[seat],
                          tenths < 0 ? '-' : '+', std::abs(tenths) / 10, std::abs(tenths) % 10,
                          points[seat]);
            line(text);
        }
    }

    Random random;
    const GeneratorOptions& options;
    GeneratorStats& stats;
    const char* eol;
    std::string out;
    Clock clock;
    std::vector<const char*> seats;
    std::vector<int> points;
    std::vector<int> ratings;
    std::array<int, 3> ownerRatings{}; // with a rating rule: the owner's next, by size
    int owner = 0;                     // the owner's seat - 1
    int ownerGap = 0;                  // (T − R) ÷ divisor of this half-game
    int round = 0;
    int honba = 0;
    int sticks = 0;
};

} // namespace

std::string generateScoreLog(const GeneratorOptions& options, GeneratorStats* stats) {
    GeneratorStats local;
    Writer writer(options, stats ? *stats : local);
    if (stats) {
        *stats = GeneratorStats{};
    }
    return writer.run();
}
