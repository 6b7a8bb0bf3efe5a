#include "DemoRows.h"

#include <numeric>

namespace korvan::demo {

namespace {

FieldValue integer(long long value)
{
    return {FieldValue::Kind::Integer, value, {}, {}};
}
FieldValue text(std::string_view value)
{
    return {FieldValue::Kind::Text, 0, value, {}};
}
FieldValue date(const CivilDate& value)
{
    return {FieldValue::Kind::Date, 0, {}, value};
}
FieldValue real(double value)
{
    return {FieldValue::Kind::Real, 0, {}, {}, value};
}

class Emitter {
  public:
    Emitter(const Network& network, RowSink& sink) : network_(network), sink_(sink) {}

    bool table(const schema::Table& table)
    {
        if (!sink_.beginTable(table))
            return false;
        const std::string& name = table.name;
        bool ok = true;
        auto row = [&](std::initializer_list<FieldValue> values) {
            if (!ok)
                return;
            values_.assign(values);
            ok = sink_.addRow(values_);
        };
        if (name == "regent") {
            for (const Authority& a : network_.authorities)
                row({integer(a.code), text(a.name)});
        } else if (name == "regazi") {
            for (const Company& c : network_.companies)
                row({integer(c.code), text(c.name)});
        } else if (name == "corse") {
            for (const Run& r : network_.runs)
                row({integer(r.company), integer(r.id), integer(r.authority), text(r.lineCode), text(r.runCode),
                     integer(r.route), text(r.direction), integer(r.length), integer(r.accountedLength),
                     integer(r.minutes), integer(r.departureHour), integer(r.departureMinute), integer(r.departureStop),
                     integer(r.arrivalHour), integer(r.arrivalMinute), integer(r.arrivalStop)});
        } else if (name == "proto") {
            for (const Protocol& p : network_.protocols)
                row({integer(p.company), text(p.kind), integer(p.number), date(p.start), date(p.end),
                     integer(p.reset ? 1 : 0)});
        } else if (name == "mesi") {
            for (const MonthCalendar& m : network_.months)
                row({integer(m.company), integer(m.run), integer(m.protocol), integer(m.year), integer(m.month),
                     text(m.days)});
        } else if (name == "detitine") {
            for (const Route& route : network_.routes)
                for (const RouteArc& a : route.arcs)
                    row({integer(route.company), integer(route.id), integer(a.sub), integer(a.arc),
                         integer(a.distance)});
        } else if (name == "archi") {
            for (const Arc& a : network_.arcs)
                row({integer(a.company), integer(a.id), integer(a.fromStop), integer(a.toStop), integer(a.length)});
        } else if (name == "orari") {
            for (const Run& r : network_.runs)
                for (const StopTime& t : r.times)
                    row({integer(r.company), integer(r.id), integer(t.sub), integer(t.hour), integer(t.minute),
                         integer(t.dwell)});
        } else if (name == "conitine") {
            for (const ArcSplit& a : network_.arcSplits)
                row({integer(a.company), integer(a.run), integer(a.route), integer(a.sub), integer(a.authority),
                     integer(a.minimum ? 1 : 0), real(a.euro), integer(a.length), integer(a.minutes)});
        } else if (name == "fermate") {
            for (const Stop& s : network_.stops)
                row({integer(s.company), integer(s.id), text(s.name)});
        }
        return ok && sink_.endTable();
    }

  private:
    const Network& network_;
    RowSink& sink_;
    std::vector<FieldValue> values_;
};

} // namespace

bool emitTables(const Network& network, RowSink& sink)
{
    Emitter emitter(network, sink);
    for (const schema::Table& table : schema::tables())
        if (!emitter.table(table))
            return false;
    return true;
}

size_t rowCount(const Network& network, const std::string& table)
{
    if (table == "regent")
        return network.authorities.size();
    if (table == "regazi")
        return network.companies.size();
    if (table == "corse")
        return network.runs.size();
    if (table == "proto")
        return network.protocols.size();
    if (table == "mesi")
        return network.months.size();
    if (table == "detitine")
        return std::accumulate(network.routes.begin(), network.routes.end(), size_t{0},
                               [](size_t n, const Route& r) { return n + r.arcs.size(); });
    if (table == "archi")
        return network.arcs.size();
    if (table == "orari")
        return std::accumulate(network.runs.begin(), network.runs.end(), size_t{0},
                               [](size_t n, const Run& r) { return n + r.times.size(); });
    if (table == "fermate")
        return network.stops.size();
    if (table == "conitine")
        return network.arcSplits.size();
    return 0;
}

} // namespace korvan::demo
