// The demo network: the same every time, with the awkward data the program
// must cope with, and consistent routes, timetables and calendars.

#include "DemoNetwork.h"
#include "DemoRows.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace korvan::demo {
namespace {

// FNV-1a over every value of every row, table by table.
class HashSink : public RowSink {
  public:
    bool beginTable(const schema::Table& table) override
    {
        add(table.name);
        return true;
    }
    bool addRow(const std::vector<FieldValue>& values) override
    {
        for (const FieldValue& value : values) {
            add(std::to_string(value.integer));
            add(value.text);
            add(formatDateText(value.date));
        }
        ++rows;
        return true;
    }
    bool endTable() override { return true; }

    std::uint64_t hash = 14695981039346656037ULL;
    size_t rows = 0;

  private:
    void add(std::string_view text)
    {
        for (const char c : text)
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        hash = (hash ^ 0xFF) * 1099511628211ULL;
    }
};

std::uint64_t hashOf(const Network& network)
{
    HashSink sink;
    EXPECT_TRUE(emitTables(network, sink));
    return sink.hash;
}

const Network& demo()
{
    static const Network network = generateNetwork({});
    return network;
}

std::set<std::string> codesOf(const Network& network, int authority, int company)
{
    std::set<std::string> codes;
    for (const demo::Run& run : network.runs)
        if (run.authority == authority && run.company == company)
            codes.insert(run.lineCode);
    return codes;
}

TEST(DemoGeneration, IsTheSameOnEveryRun)
{
    EXPECT_EQ(hashOf(generateNetwork({})), hashOf(demo()));
    EXPECT_EQ(hashOf(generateNetwork({500, 2024})), hashOf(generateNetwork({500, 2024})));
}

TEST(DemoGeneration, OptionsChangeTheRunsButNotTheNetworkShape)
{
    const Network small = generateNetwork({500, 2025});
    EXPECT_NE(hashOf(small), hashOf(demo()));
    EXPECT_NE(hashOf(generateNetwork({3000, 2026})), hashOf(demo()));
    ASSERT_EQ(small.stops.size(), demo().stops.size());
    ASSERT_EQ(small.arcs.size(), demo().arcs.size());
    for (size_t i = 0; i < small.arcs.size(); ++i)
        EXPECT_EQ(small.arcs[i].length, demo().arcs[i].length);
}

TEST(DemoGeneration, GivesExactlyTheRunsAskedFor)
{
    EXPECT_EQ(demo().runs.size(), 3000U);
    EXPECT_EQ(generateNetwork({777, 2025}).runs.size(), 777U);
    // Below the minimum every line still gets runs in both directions.
    EXPECT_EQ(generateNetwork({1, 2025}).runs.size(), static_cast<size_t>(kMinimumRuns));
}

TEST(DemoGeneration, ScalesToFiftyThousandRuns)
{
    const Network big = generateNetwork({50000, 2025});
    ASSERT_EQ(big.runs.size(), 50000U);
    std::set<std::pair<int, long>> keys;
    for (const demo::Run& run : big.runs)
        keys.emplace(run.company, run.id);
    EXPECT_EQ(keys.size(), big.runs.size()) << "run keys (azienda, ID) must be unique";
    EXPECT_GT(big.months.size(), 12 * big.runs.size());
    EXPECT_EQ(big.routes.size(), demo().routes.size());
}

TEST(DemoContent, HasTheAuthoritiesAndCompaniesOfARegionalNetwork)
{
    const Network& n = demo();
    ASSERT_EQ(n.companies.size(), 4U);
    std::set<int> granting, withRuns, companiesWithRuns;
    for (const demo::Run& run : n.runs) {
        withRuns.insert(run.authority);
        companiesWithRuns.insert(run.company);
    }
    int additionalOnly = 0;
    for (const Authority& a : n.authorities) {
        EXPECT_FALSE(a.name.empty());
        EXPECT_GE(a.code, 1);
        EXPECT_LE(a.code, 9999);
        if (a.paysAdditionalOnly) {
            ++additionalOnly;
            EXPECT_EQ(withRuns.count(a.code), 0U) << a.name << " must grant no run";
        } else {
            EXPECT_EQ(withRuns.count(a.code), 1U) << a.name << " grants no run";
        }
    }
    EXPECT_EQ(additionalOnly, 2);
    EXPECT_GE(n.authorities.size() - 2, 3U);
    EXPECT_EQ(companiesWithRuns.size(), 4U);
    EXPECT_EQ(n.companies[0].name, "Società Trasporti Valdora S.p.A.");
}

TEST(DemoContent, HasTheAwkwardLineCodes)
{
    const Network& n = demo();
    std::set<std::tuple<int, int, std::string>> lines;
    for (const demo::Run& run : n.runs)
        lines.emplace(run.authority, run.company, run.lineCode);
    EXPECT_GE(lines.size(), 38U);
    EXPECT_LE(lines.size(), 45U);

    const std::set<std::string> sanVito = codesOf(n, 3, 3);
    EXPECT_EQ(sanVito.count("12  "), 1U) << "a code with trailing blanks";
    EXPECT_EQ(sanVito.count("12"), 1U) << "the same code without them, same contract";
    EXPECT_EQ(sanVito.count(""), 1U) << "an empty code";
    EXPECT_EQ(sanVito.count("SANT'ANNA"), 1U) << "a code with an apostrophe";

    // "101" under one authority, run by two companies.
    EXPECT_EQ(codesOf(n, 1, 1).count("101"), 1U);
    EXPECT_EQ(codesOf(n, 1, 2).count("101"), 1U);
}

TEST(DemoContent, RunsHaveTimesDirectionsAndLengths)
{
    std::set<std::string> directions;
    for (const demo::Run& run : demo().runs) {
        directions.insert(run.direction);
        EXPECT_FALSE(run.runCode.empty());
        EXPECT_LE(run.runCode.size(), 20U);
        EXPECT_GT(run.length, 0);
        EXPECT_GE(run.accountedLength, run.length);
        const int departure = run.departureHour * 60 + run.departureMinute;
        const int arrival = run.arrivalHour * 60 + run.arrivalMinute;
        EXPECT_EQ(arrival - departure, run.minutes) << run.runCode;
        EXPECT_GE(run.departureHour, 5);
        EXPECT_LE(run.arrivalHour, 23);
    }
    EXPECT_EQ(directions, (std::set<std::string>{"A", "R"}));
}

TEST(DemoConsistency, RoutesAreChainsOfExistingArcsBetweenExistingStops)
{
    const Network& n = demo();
    for (const Route& route : n.routes) {
        ASSERT_FALSE(route.arcs.empty());
        long distance = 0;
        const Arc* previous = nullptr;
        for (size_t i = 0; i < route.arcs.size(); ++i) {
            EXPECT_EQ(route.arcs[i].sub, static_cast<int>(i + 1));
            const Arc* arc = n.findArc(route.company, route.arcs[i].arc);
            ASSERT_NE(arc, nullptr) << "route " << route.id << " arc " << route.arcs[i].arc;
            EXPECT_NE(n.findStop(route.company, arc->fromStop), nullptr);
            EXPECT_NE(n.findStop(route.company, arc->toStop), nullptr);
            EXPECT_NE(arc->fromStop, arc->toStop);
            if (previous) {
                EXPECT_EQ(previous->toStop, arc->fromStop) << "route " << route.id << " is broken at " << i + 1;
            }
            distance += arc->length;
            EXPECT_EQ(route.arcs[i].distance, distance);
            previous = arc;
        }
    }
}

TEST(DemoConsistency, RunsFollowTheirRouteAndTimetable)
{
    const Network& n = demo();
    std::set<std::pair<int, long>> usedRoutes;
    for (const demo::Run& run : n.runs) {
        const Route* route = n.findRoute(run.company, run.route);
        ASSERT_NE(route, nullptr) << run.runCode;
        usedRoutes.emplace(run.company, run.route);
        EXPECT_EQ(run.length, route->arcs.back().distance);
        EXPECT_EQ(run.departureStop, n.findArc(run.company, route->arcs.front().arc)->fromStop);
        EXPECT_EQ(run.arrivalStop, n.findArc(run.company, route->arcs.back().arc)->toStop);

        // One passing time per stop: the start of every arc and the last stop.
        ASSERT_EQ(run.times.size(), route->arcs.size() + 1) << run.runCode;
        EXPECT_EQ(run.times.front().hour * 60 + run.times.front().minute, run.departureHour * 60 + run.departureMinute);
        EXPECT_EQ(run.times.back().hour * 60 + run.times.back().minute, run.arrivalHour * 60 + run.arrivalMinute);
        EXPECT_EQ(run.times.front().dwell, 0);
        EXPECT_EQ(run.times.back().dwell, 0);
        for (size_t i = 0; i + 1 < run.times.size(); ++i) {
            const StopTime& here = run.times[i];
            const StopTime& next = run.times[i + 1];
            EXPECT_EQ(here.sub, static_cast<int>(i + 1));
            // Travel time over an arc (next stop - this stop - dwell) is at
            // least one minute.
            EXPECT_GE(next.hour * 60 + next.minute - (here.hour * 60 + here.minute) - here.dwell, 1)
                << run.runCode << " at stop " << i + 1;
            EXPECT_LT(here.minute, 60);
        }
    }
    EXPECT_EQ(usedRoutes.size(), n.routes.size()) << "every route has runs";
}

TEST(DemoConsistency, StopNamesAreItalianAndUnique)
{
    std::set<std::pair<int, std::string>> names;
    bool apostrophe = false, accent = false;
    for (const Stop& stop : demo().stops) {
        EXPECT_TRUE(names.emplace(stop.company, stop.name).second) << stop.name;
        EXPECT_LE(stop.name.size(), 60U);
        apostrophe = apostrophe || stop.name.find('\'') != std::string::npos;
        accent = accent || stop.name.find("à") != std::string::npos;
    }
    EXPECT_TRUE(apostrophe);
    EXPECT_TRUE(accent);
    EXPECT_GT(names.size(), 100U);
}

const Protocol* findProtocol(const Network& n, int company, const std::string& kind, long number)
{
    for (const Protocol& p : n.protocols)
        if (p.company == company && p.kind == kind && p.number == number)
            return &p;
    return nullptr;
}

TEST(DemoProtocols, IncludeAResetASubPeriodAndOtherKinds)
{
    const Network& n = demo();
    bool reset = false, subPeriod = false, otherKind = false;
    std::set<int> companiesWithB;
    for (const Protocol& p : n.protocols) {
        EXPECT_LE(p.start.key(), p.end.key());
        EXPECT_TRUE(isValidDate(p.start) && isValidDate(p.end));
        if (p.kind != "B") {
            otherKind = true;
            continue;
        }
        companiesWithB.insert(p.company);
        reset = reset || p.reset;
        subPeriod = subPeriod || (!p.reset && (p.start.month != 1 || p.end.month != 12));
    }
    EXPECT_TRUE(reset);
    EXPECT_TRUE(subPeriod);
    EXPECT_TRUE(otherKind);
    EXPECT_EQ(companiesWithB.size(), 4U);
    // A protocol of another kind shares a number with a 'B' one.
    EXPECT_NE(findProtocol(n, 1, "A", 2), nullptr);
    EXPECT_NE(findProtocol(n, 1, "B", 2), nullptr);
}

TEST(DemoCalendars, FlagOnlyExistingDaysInsideTheProtocolPeriod)
{
    const Network& n = demo();
    std::map<std::pair<int, long>, const demo::Run*> runs;
    for (const demo::Run& run : n.runs)
        runs[{run.company, run.id}] = &run;
    for (const MonthCalendar& m : n.months) {
        ASSERT_EQ(m.days.size(), 31U);
        const Protocol* protocol = findProtocol(n, m.company, "B", m.protocol);
        ASSERT_NE(protocol, nullptr) << "months belong to 'B' protocols";
        ASSERT_EQ(runs.count({m.company, m.run}), 1U);
        EXPECT_EQ(m.year, 2025);
        for (int day = 1; day <= 31; ++day) {
            const char flag = m.days[static_cast<size_t>(day - 1)];
            const CivilDate date{m.year, m.month, day};
            if (day > daysInMonth(m.year, m.month)) {
                EXPECT_EQ(flag, ' ');
                continue;
            }
            if (flag == 'S') {
                EXPECT_GE(date.key(), protocol->start.key());
                EXPECT_LE(date.key(), protocol->end.key());
            } else {
                EXPECT_TRUE(flag == 'N' || flag == ' ');
            }
        }
    }
}

TEST(DemoCalendars, FollowTheRunsWeekdayPatterns)
{
    const Network& n = demo();
    std::map<std::pair<int, long>, ServicePattern> patterns;
    for (const demo::Run& run : n.runs)
        patterns[{run.company, run.id}] = run.pattern;
    std::map<ServicePattern, int> checked;
    for (const MonthCalendar& m : n.months) {
        if (m.protocol != 1 || (m.month != 4 && m.month != 12))
            continue;
        const ServicePattern pattern = patterns[{m.company, m.run}];
        const auto flag = [&](int day) { return m.days[static_cast<size_t>(day - 1)] == 'S'; };
        if (m.month == 12) {
            // Thursday 25 December 2025, Christmas; Monday 22 December a weekday.
            EXPECT_EQ(flag(25), pattern == ServicePattern::Holidays || pattern == ServicePattern::Daily);
            EXPECT_EQ(flag(22), pattern != ServicePattern::Holidays && pattern != ServicePattern::Summer);
            EXPECT_EQ(flag(23), pattern != ServicePattern::Holidays && pattern != ServicePattern::Summer &&
                                    pattern != ServicePattern::SchoolDays);
        } else {
            // Easter Monday 21 April 2025; Saturday 26 April; Sunday 27 April.
            EXPECT_EQ(flag(21), pattern == ServicePattern::Holidays || pattern == ServicePattern::Daily);
            EXPECT_EQ(flag(26), pattern == ServicePattern::Weekdays || pattern == ServicePattern::Daily);
            EXPECT_EQ(flag(27), pattern == ServicePattern::Holidays || pattern == ServicePattern::Daily);
            EXPECT_FALSE(flag(31)) << "April has 30 days";
        }
        ++checked[pattern];
    }
    EXPECT_EQ(checked.size(), 5U) << "every pattern is used";
}

TEST(DemoCalendars, ProtocolsCoverTheirRuns)
{
    const Network& n = demo();
    // (company, run) -> months per protocol
    std::map<std::tuple<int, long, long>, int> months;
    for (const MonthCalendar& m : n.months)
        ++months[{m.company, m.run, m.protocol}];
    int resetRuns = 0, summerRuns = 0, droppedRuns = 0;
    for (const demo::Run& run : n.runs) {
        const long fullYear = run.company == 4 ? 4 : 1;
        EXPECT_EQ((months[{run.company, run.id, fullYear}]), 12) << run.runCode;
        if (run.company == 2) {
            const int second = months[{run.company, run.id, 3}];
            EXPECT_TRUE(second == 0 || second == 6);
            (second == 6 ? resetRuns : droppedRuns) += 1;
        }
        if (run.company == 1 && months[{run.company, run.id, 2}] > 0) {
            EXPECT_EQ((months[{run.company, run.id, 2}]), 4) << "June to September";
            ++summerRuns;
        }
    }
    EXPECT_GT(resetRuns, 0);
    EXPECT_GT(droppedRuns, 0);
    EXPECT_GT(summerRuns, 0);
}

TEST(DemoCalendars, ItalianHolidaysAndWeekdays)
{
    EXPECT_EQ(easterSunday(2025), (CivilDate{2025, 4, 20}));
    EXPECT_EQ(easterSunday(2024), (CivilDate{2024, 3, 31}));
    EXPECT_EQ(easterSunday(2000), (CivilDate{2000, 4, 23}));
    EXPECT_EQ(weekday({2025, 1, 1}), 2); // Wednesday
    EXPECT_EQ(weekday({2024, 2, 29}), 3);
    EXPECT_TRUE(isPublicHoliday({2024, 4, 1})); // Easter Monday 2024
    EXPECT_TRUE(isPublicHoliday({2025, 6, 2}));
    EXPECT_FALSE(isPublicHoliday({2025, 6, 3}));
    EXPECT_FALSE(isSchoolDay({2025, 4, 18})); // Easter break
    EXPECT_TRUE(isSchoolDay({2025, 4, 23}));
    EXPECT_FALSE(isSchoolDay({2025, 7, 15}));
    // February of a leap year: the 29th is a real day, the 30th is not.
    const std::string flags = monthFlags(ServicePattern::Daily, 2024, 2, {2024, 1, 1}, {2024, 12, 31}, 'N');
    EXPECT_EQ(flags, std::string(29, 'S') + "  ");
    EXPECT_EQ(monthFlags(ServicePattern::Daily, 2025, 6, {2025, 6, 15}, {2025, 9, 14}, 'N'),
              std::string(14, 'N') + std::string(16, 'S') + " ");
}

} // namespace
} // namespace korvan::demo
