#include "gtfs/RunsWriter.h"

#include "core/ProgressSteps.h"
#include "db/TableCursor.h"
#include "db/Values.h"
#include "gtfs/FeedValues.h"
#include "refdata/Schema.h"

#include <string>
#include <vector>

namespace korvan::gtfs {

namespace {

// One table filled in bulk, its values given in the schema's column order.
class RowWriter {
  public:
    RowWriter(DbConnection* connection, const std::string& table)
        : cursor_(connection, table, true), table_(*schema::table(table))
    {
    }

    bool add(const std::vector<std::string>& values)
    {
        cursor_.AddNew();
        for (size_t i = 0; i < values.size(); ++i)
            cursor_.SetField(table_.columns[i].name, values[i]);
        const bool stored = cursor_.Update();
        written_ += cursor_.RowsWritten();
        ++added_;
        return stored;
    }

    // Stores the last block; true when every row was stored.
    bool finish(long& written)
    {
        const bool flushed = cursor_.Flush();
        written_ += cursor_.RowsWritten();
        written = written_;
        return flushed && written_ == added_;
    }

    bool isOpen() const { return cursor_.IsOpen(); }
    // The width of a text column.
    size_t width(const std::string& column) const { return static_cast<size_t>(table_.column(column)->width); }

  private:
    TableCursor cursor_;
    const schema::Table& table_;
    long written_ = 0;
    long added_ = 0;
};

std::string number(long long value)
{
    return std::to_string(value);
}

class Writer {
  public:
    Writer(DbConnection* connection, const ReadFeed& feed, OperationTransaction& operation, OperationFeedback& feedback,
           WrittenRows& written)
        : connection_(connection), feed_(feed), network_(*feed.network), operation_(operation), feedback_(feedback),
          written_(written)
    {
    }

    bool run()
    {
        operation_.step("Scrittura di enti, aziende, corse e calendari");
        return authorities() && companies() && runs() && protocols() && months() && routes() && arcs() && stops() &&
               passingTimes();
    }

  private:
    bool authorities()
    {
        RowWriter rows(connection_, "regent");
        for (const Authority& a : feed_.authorities.authorities)
            if (!rows.add({number(a.code), firstCharacters(a.name, rows.width("denom"))}) || !operation_.going())
                return false;
        return rows.finish(written_.authorities);
    }

    bool companies()
    {
        RowWriter rows(connection_, "regazi");
        for (const Company& c : network_.companies()) {
            const std::string& name = feed_.tables.agencies[static_cast<size_t>(c.agency)].name;
            if (!rows.add({number(c.code), firstCharacters(name, rows.width("denom"))}) || !operation_.going())
                return false;
        }
        return rows.finish(written_.companies);
    }

    bool runs()
    {
        RowWriter rows(connection_, "corse");
        for (const Run& run : network_.runs()) {
            const Route& route = network_.routes()[static_cast<size_t>(run.route)];
            const int departure = run.firstDeparture / 60, arrival = run.lastArrival / 60;
            const char* direction = run.direction == 0 ? "A" : run.direction == 1 ? "R" : "";
            if (!rows.add({number(run.company), number(run.id), number(run.authority), run.lineCode, run.runCode,
                           number(route.number), direction, number(route.length), number(route.length),
                           number(arrival - departure), number(departure / 60 % 24), number(departure % 60),
                           number(network_.stopNumber(run.company, route.stops.front())), number(arrival / 60 % 24),
                           number(arrival % 60), number(network_.stopNumber(run.company, route.stops.back()))}) ||
                !operation_.going())
                return false;
        }
        return rows.finish(written_.runs);
    }

    bool protocols()
    {
        // One contract protocol per company over the feed's whole validity:
        // every month calendar belongs to it.
        RowWriter rows(connection_, "proto");
        const ServiceCalendar& calendar = feed_.calendar;
        const bool dated = calendar.firstDay() <= calendar.lastDay();
        for (const Company& c : network_.companies()) {
            if (!dated)
                break;
            if (!rows.add({number(c.code), "B", "1", formatDateText(dateOfDay(calendar.firstDay())),
                           formatDateText(dateOfDay(calendar.lastDay())), "0"}) ||
                !operation_.going())
                return false;
        }
        return rows.finish(written_.protocols);
    }

    bool months()
    {
        RowWriter rows(connection_, "mesi");
        std::vector<std::vector<MonthDays>> byService(feed_.calendar.services().size());
        for (size_t s = 0; s < byService.size(); ++s)
            byService[s] = feed_.calendar.months(static_cast<int>(s));
        ProgressSteps progress(feedback_, static_cast<long>(network_.runs().size()));
        long done = 0;
        for (const Run& run : network_.runs()) {
            const int service = feed_.tables.trips[static_cast<size_t>(run.trip)].service;
            for (const MonthDays& month : byService[static_cast<size_t>(service)])
                if (!rows.add({number(run.company), number(run.id), "1", number(month.year), number(month.month),
                               month.days}))
                    return false;
            if (!operation_.going())
                return false;
            progress.reach(++done);
        }
        feedback_.endProgress();
        return rows.finish(written_.months);
    }

    bool routes()
    {
        RowWriter rows(connection_, "detitine");
        for (const Route& route : network_.routes()) {
            for (size_t i = 0; i < route.arcs.size(); ++i)
                if (!rows.add({number(route.company), number(route.number), number(static_cast<long long>(i) + 1),
                               number(route.arcs[i]), number(route.progressive[i])}))
                    return false;
            if (!operation_.going())
                return false;
        }
        return rows.finish(written_.routeArcs);
    }

    bool arcs()
    {
        RowWriter rows(connection_, "archi");
        for (const Arc& arc : network_.arcs())
            if (!rows.add({number(arc.company), number(arc.number), number(arc.fromStop), number(arc.toStop),
                           number(arc.length)}) ||
                !operation_.going())
                return false;
        return rows.finish(written_.arcs);
    }

    bool stops()
    {
        RowWriter rows(connection_, "fermate");
        for (const NumberedStop& stop : network_.stops()) {
            const FeedStop& s = feed_.tables.stops[static_cast<size_t>(stop.stop)];
            const std::string& name = s.name.empty() ? s.id : s.name;
            if (!rows.add({number(stop.company), number(stop.number), firstCharacters(name, rows.width("denom"))}) ||
                !operation_.going())
                return false;
        }
        return rows.finish(written_.stops);
    }

    // The time at each stop is the arrival, shown modulo 24 hours; the
    // dwell is the minutes from arrival to departure.
    bool passingTimes()
    {
        operation_.step("Scrittura degli orari delle corse");
        RowWriter rows(connection_, "orari");
        StopTimesReader reader(*feed_.source, feed_.tables, feed_.stopTimesWhole);
        ProgressSteps progress(feedback_, 1000);
        TripStopTimes trip;
        while (reader.next(trip)) {
            const Run& run = network_.runOfTrip(trip.trip);
            for (size_t i = 0; i < trip.times.size(); ++i) {
                const int arrival = trip.times[i].arrival / 60, departure = trip.times[i].departure / 60;
                if (!rows.add({number(run.company), number(run.id), number(static_cast<long long>(i) + 1),
                               number(arrival / 60 % 24), number(arrival % 60), number(departure - arrival)}))
                    return false;
            }
            if (!operation_.going())
                return false;
            progress.reach(static_cast<long>(reader.progress() * 1000));
        }
        feedback_.endProgress();
        return rows.finish(written_.passingTimes);
    }

    DbConnection* connection_;
    const ReadFeed& feed_;
    const RunsNetwork& network_;
    OperationTransaction& operation_;
    OperationFeedback& feedback_;
    WrittenRows& written_;
};

} // namespace

bool writeRunsDatabase(DbConnection* connection, const ReadFeed& feed, OperationTransaction& operation,
                       OperationFeedback& feedback, WrittenRows& written)
{
    return Writer(connection, feed, operation, feedback, written).run();
}

} // namespace korvan::gtfs
