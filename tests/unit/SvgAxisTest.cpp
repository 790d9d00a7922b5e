// The report's axis ticks: round number steps, calendar time steps, no NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "report/SvgAxis.h"
#include "text/Numbers.h"

namespace {

TEST(SvgAxis, NiceSteps) {
    struct Case {
        double rough, step;
    } cases[] = {{0.7, 1},     {1, 1},  {1.01, 2}, {2.5, 5},
                 {3, 5},       {7, 10}, {12, 20},  {180, 200},
                 {0.03, 0.05}, {0, 1},  {-5, 1},   {std::numeric_limits<double>::quiet_NaN(), 1}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(niceStep(c.rough), c.step) << c.rough;
    }
}

TEST(SvgAxis, NumberAxes) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double low, high;
        int maxTicks;
        bool integral;
        double axisLow, axisHigh, step;
        int decimals;
    } cases[] = {
        {1304, 2187, 6, false, 1200, 2200, 200, 0}, // ratings
        {-71.2, 42.1, 6, false, -100, 50, 50, 0},   // scores across zero
        {0, 3, 6, true, 0, 3, 1, 0},                // small counts stay whole
        {0, 0, 6, true, 0, 1, 1, 0},                // no count at all
        {0, 0.42, 6, false, 0, 0.5, 0.1, 1},        // rates
        {1500, 1500, 6, false, 1300, 1700, 100, 0}, // one rating
        {0, 0, 6, false, -1, 1, 0.5, 1},            // one zero score
        {nan, 5, 6, false, 0, 1, 0.2, 1},           // never NaN
        {-inf, inf, 6, false, 0, 1, 0.2, 1},
        {5, 1, 2, false, 0, 5, 5, 0},               // reversed, two ticks at most
        {0, 100000, 1, true, 0, 100000, 100000, 0}, // a maximum below 2 means 2
    };
    for (const Case& c : cases) {
        const NumberAxis axis = numberAxis(c.low, c.high, c.maxTicks, c.integral);
        SCOPED_TRACE(std::to_string(c.low) + ".." + std::to_string(c.high));
        EXPECT_DOUBLE_EQ(axis.low, c.axisLow);
        EXPECT_DOUBLE_EQ(axis.high, c.axisHigh);
        EXPECT_DOUBLE_EQ(axis.step, c.step);
        EXPECT_EQ(axis.decimals, c.decimals);
        ASSERT_GE(axis.ticks.size(), 2u);
        EXPECT_LE(static_cast<int>(axis.ticks.size()), std::max(c.maxTicks, 2));
        EXPECT_DOUBLE_EQ(axis.ticks.front(), axis.low);
        EXPECT_DOUBLE_EQ(axis.ticks.back(), axis.high);
    }
}

// Every number a person reads goes through text/Numbers: one rounding for every output.
TEST(SvgAxis, NumberText) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    } cases[] = {{0.85, 1, "0.9"},         {-0.85, 1, "-0.9"},
                 {0.224, 3, "0.224"},      {1880, 0, "1880"},
                 {-71.2, 1, "-71.2"},      {0.30000000000000004, 1, "0.3"},
                 {-0.04, 1, "0.0"},        {2.5, 0, "3"},
                 {-2.5, 0, "-3"},          {0.05, 2, "0.05"},
                 {std::nan(""), 1, "0.0"}, {1e300, 0, "0"}};
    for (const Case& c : cases) {
        EXPECT_EQ(decimalText(c.value, c.decimals), c.text) << c.value;
    }
    EXPECT_EQ(signedDecimalText(0.85, 1), "+0.9");
    EXPECT_EQ(signedDecimalText(-0.04, 1), "0.0");
    EXPECT_EQ(signedDecimalText(-3, 0), "-3");
    const struct {
        long long tenths;
        const char *plain, *signedText;
    } tenths[] = {
        {408, "40.8", "+40.8"}, {-5, "-0.5", "-0.5"}, {0, "0.0", "0.0"}, {30, "3.0", "+3.0"}};
    for (const auto& t : tenths) {
        EXPECT_EQ(tenthsText(t.tenths), t.plain);
        EXPECT_EQ(signedTenthsText(t.tenths), t.signedText);
    }
    EXPECT_EQ(signedPointsText(5200), "+5200");
    EXPECT_EQ(signedPointsText(0), "0");
    EXPECT_EQ(percentText(0.2245), "22.5%");
}

TEST(SvgAxis, LogTimes) {
    struct Case {
        const char* text;
        bool valid;
        long long minutes;
    } cases[] = {
        {"1970-01-01 00:00", true, 0},
        {"2003-06-06 08:24", true, 12209 * 1440LL + 8 * 60 + 24},
        {"2000-02-29 23:59", true, 11016 * 1440LL + 1439},
        {"2003-02-29 10:00", false, 0}, // not a leap year
        {"2003-13-01 10:00", false, 0},
        {"2003-06-06 24:00", false, 0},
        {"2003/06/06 08:24", false, 0}, // the log's own shape is converted before
        {"2003-06-06", false, 0},
    };
    for (const Case& c : cases) {
        const auto minutes = parseLogTime(c.text);
        ASSERT_EQ(minutes.has_value(), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(*minutes, c.minutes) << c.text;
            EXPECT_EQ(formatLogTime(*minutes), c.text);
        }
    }
}

TEST(SvgAxis, DateAxes) {
    struct Case {
        const char* first;
        const char* last;
        int maxTicks;
        std::vector<std::string> labels;
        std::vector<std::string> contexts; // per tick; empty where the date does not change
    } cases[] = {
        // The sample: one day, hour steps, its date under the first tick only.
        {"2003-06-06 08:24",
         "2003-06-06 23:09",
         6,
         {"09:00", "12:00", "15:00", "18:00", "21:00"},
         {"2003-06-06", "", "", "", ""}},
        // Past midnight the new date shows again.
        {"2003-06-06 20:00",
         "2003-06-07 03:00",
         5,
         {"20:00", "22:00", "00:00", "02:00"},
         {"2003-06-06", "", "2003-06-07", ""}},
        // One half-game: an hour either side.
        {"2003-06-06 08:24",
         "2003-06-06 08:24",
         6,
         {"07:30", "08:00", "08:30", "09:00"},
         {"2003-06-06", "", "", ""}},
        {"2003-06-01 12:00",
         "2003-06-05 12:00",
         6,
         {"2003-06-02", "2003-06-03", "2003-06-04", "2003-06-05"},
         {"", "", "", ""}},
        {"2003-01-15 00:00",
         "2003-12-20 00:00",
         6,
         {"2003-03", "2003-05", "2003-07", "2003-09", "2003-11"},
         {"", "", "", "", ""}},
        {"2003-02-01 00:00",
         "2009-11-30 00:00",
         6,
         {"2004", "2006", "2008", "2010"},
         {"", "", "", ""}},
        {"1990-01-01 00:00",
         "2030-01-01 00:00",
         5,
         {"1990", "2000", "2010", "2020", "2030"},
         {"", "", "", "", ""}},
        // Three weeks: Mondays, not the one month start they hold.
        {"2003-06-01 12:00",
         "2003-06-22 12:00",
         6,
         {"2003-06-02", "2003-06-09", "2003-06-16", "2003-06-23"},
         {"", "", "", ""}},
        {"2003-06-01 12:00",
         "2003-07-20 12:00",
         6,
         {"2003-06-09", "2003-06-23", "2003-07-07", "2003-07-21"},
         {"", "", "", ""}},
        // Month ends: a month step starts on the 1st, padding reaches into April.
        {"2004-01-31 00:00",
         "2004-03-31 00:00",
         6,
         {"2004-02", "2004-03", "2004-04"},
         {"", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " .. " + c.last);
        const LogMinutes first = *parseLogTime(c.first), last = *parseLogTime(c.last);
        const DateAxis axis = dateAxis(first, last, c.maxTicks);
        EXPECT_LE(axis.low, first);
        EXPECT_GE(axis.high, last);
        std::vector<std::string> labels, contexts;
        for (const DateTick& tick : axis.ticks) {
            EXPECT_GE(tick.at, axis.low);
            EXPECT_LE(tick.at, axis.high);
            labels.push_back(tick.label);
            contexts.push_back(tick.context);
        }
        EXPECT_EQ(labels, c.labels);
        EXPECT_EQ(contexts, c.contexts);
    }
}

TEST(SvgAxis, MonthSpans) {
    EXPECT_EQ(monthSpan("2004-02"),
              std::make_pair(*parseLogTime("2004-02-01 00:00"), *parseLogTime("2004-03-01 00:00")));
    EXPECT_EQ(monthSpan("2003-12")->second, *parseLogTime("2004-01-01 00:00"));
    for (const char* bad : {"2004-13", "2004-W01", "2004", "", "2004-02-01"}) {
        EXPECT_FALSE(monthSpan(bad)) << bad;
    }
}

TEST(SvgAxis, TimeBuckets) {
    const auto at = [](const char* iso) { return *parseLogTime(iso); };
    struct Case {
        std::vector<std::pair<const char*, double>> points;
        int maxBuckets;
        BucketUnit unit;
        std::vector<std::vector<double>> buckets; // low, median, high, count
    } cases[] = {
        {{}, 10, BucketUnit::Hour, {}},
        // One point: one bucket of it.
        {{{"2003-06-06 08:24", 1500}}, 10, BucketUnit::Hour, {{1500, 1500, 1500, 1}}},
        // Out of order; an even count's median is the mean of the middle two.
        {{{"2003-06-07 10:00", 1700},
          {"2003-06-06 08:24", 1500},
          {"2003-06-06 21:00", 1600},
          {"2003-06-06 09:00", 1400},
          {"2003-06-06 10:00", 1800}},
         3,
         BucketUnit::Day,
         {{1400, 1550, 1800, 4}, {1700, 1700, 1700, 1}}},
        // Sunday and Monday are in two weeks.
        {{{"2003-06-01 10:00", 1}, {"2003-06-02 10:00", 3}, {"2003-06-20 10:00", 5}},
         5,
         BucketUnit::Week,
         {{1, 1, 1, 1}, {3, 3, 3, 1}, {5, 5, 5, 1}}},
        {{{"2003-01-01 10:00", 1}, {"2003-12-31 10:00", 2}, {"2004-01-01 00:00", 4}},
         13,
         BucketUnit::Month,
         {{1, 1, 1, 1}, {2, 2, 2, 1}, {4, 4, 4, 1}}},
        {{{"1990-01-01 10:00", 1}, {"2030-12-31 10:00", 2}},
         12,
         BucketUnit::Year,
         {{1, 1, 1, 1}, {2, 2, 2, 1}}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<LogMinutes, double>> points;
        for (const auto& [iso, value] : c.points) {
            points.push_back({at(iso), value});
        }
        const TimeBuckets got = timeBuckets(points, c.maxBuckets);
        SCOPED_TRACE(c.points.size());
        EXPECT_EQ(got.unit, c.unit);
        std::vector<std::vector<double>> buckets;
        for (const TimeBucket& b : got.buckets) {
            buckets.push_back({b.low, b.median, b.high, static_cast<double>(b.count)});
            EXPECT_LT(b.start, b.end);
        }
        EXPECT_EQ(buckets, c.buckets);
    }
    const TimeBuckets weeks =
        timeBuckets({{at("2003-06-04 10:00"), 1}, {at("2003-06-06 10:00"), 2}}, 1);
    EXPECT_EQ(weeks.unit, BucketUnit::Week);
    EXPECT_EQ(weeks.buckets.at(0).start, at("2003-06-02 00:00")); // a Monday
}

TEST(SvgAxis, TextWidths) {
    EXPECT_DOUBLE_EQ(textWidth("", 12), 0);
    EXPECT_DOUBLE_EQ(textWidth("1880", 10), 24);
    EXPECT_DOUBLE_EQ(textWidth("\xE6\x9C\x80\xE9\xAB\x98 1880", 10), 20 + 30);
    // Long names are cut whole characters at a time, with an ellipsis.
    EXPECT_EQ(fitText("abc", 100, 10), "abc");
    EXPECT_EQ(fitText("abcdefghij", 40, 10), "abcde\xE2\x80\xA6");
    EXPECT_EQ(fitText("\xE6\x9C\x80\xE9\xAB\x98\xE6\x9C\x80", 25, 10), "\xE6\x9C\x80\xE2\x80\xA6");
    EXPECT_EQ(fitText("abc", 5, 10), "\xE2\x80\xA6");
}

// Labels stay inside their bounds and apart.
TEST(SvgAxis, PlaceLabels) {
    const LabelBox bounds{0, 0, 200, 100};
    struct Case {
        std::vector<LabelWish> wishes;
        std::vector<LabelBox> obstacles;
    } cases[] = {
        {{{100, 50, 40, 12}}, {}},
        // Two peaks close together, as in the report that was reported.
        {{{100, 50, 60, 12}, {104, 52, 60, 12}, {98, 49, 60, 12}}, {}},
        // Near the edges, and a mark in the way above.
        {{{2, 5, 50, 12}, {199, 99, 50, 12}}, {{0, 0, 200, 10}}},
        // More labels than fit near their points: inside, even if overlapping.
        {std::vector<LabelWish>(30, {100, 50, 80, 30}), {}},
    };
    for (const Case& c : cases) {
        const auto boxes = placeLabels(c.wishes, bounds, c.obstacles);
        ASSERT_EQ(boxes.size(), c.wishes.size());
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const LabelBox& b = boxes[i];
            EXPECT_GE(b.left, bounds.left);
            EXPECT_LE(b.right, bounds.right);
            EXPECT_GE(b.top, bounds.top);
            EXPECT_LE(b.bottom, bounds.bottom);
            EXPECT_DOUBLE_EQ(b.right - b.left, c.wishes[i].width);
            if (c.wishes.size() < 4) {
                for (std::size_t j = 0; j < i; ++j) {
                    EXPECT_FALSE(b.overlaps(boxes[j])) << i << " " << j;
                }
                for (const LabelBox& o : c.obstacles) {
                    EXPECT_FALSE(b.overlaps(o)) << i;
                }
            }
        }
    }
    // The first choice is above the point, or below it when the label wishes so.
    const auto one = placeLabels({{100, 50, 40, 12}}, bounds);
    EXPECT_LT(one[0].bottom, 50);
    const auto under = placeLabels({{100, 50, 40, 12, true}}, bounds);
    EXPECT_GT(under[0].top, 50);
}

TEST(SvgAxis, SpreadLabels) {
    struct Case {
        std::vector<double> ys, want;
    } cases[] = {
        {{}, {}},
        {{50}, {50}},
        {{10, 80}, {10, 80}},          // apart already
        {{50, 52, 51}, {39, 63, 51}},  // centred on their wishes, order kept
        {{-20, 5}, {0, 12}},           // into bounds
        {{99, 99, 98}, {88, 100, 76}}, // up from the bottom
        {{50, 50, 50, 50, 50, 50, 50, 50, 50, 50}, {0, 12, 24, 36, 48, 60, 72, 84, 96, 100}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(spreadLabels(c.ys, 12, 0, 100), c.want);
    }
}

} // namespace
