#include "runs/RunOrder.h"

#include "db/Values.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace korvan::runs {

namespace {

// The whole-euro part of an amount; a value that is not a number sorts first.
double wholeEuros(double amount)
{
    return std::isnan(amount) ? -std::numeric_limits<double>::infinity() : std::floor(amount);
}

// -1, 0 or 1 of the order's own key, before the run ID.
template <typename T> int compareKeys(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareByKey(const RunRow& a, const RunRow& b, char order)
{
    switch (order) {
    case 'C':
        return a.runCode.compare(b.runCode) < 0 ? -1 : (b.runCode.compare(a.runCode) < 0 ? 1 : 0);
    case 'E':
        return compareKeys(a.payingAuthority, b.payingAuthority);
    case 'L':
        return compareKeys(a.lengthMetres, b.lengthMetres);
    case 'T':
        return compareKeys(a.duration, b.duration);
    case '$':
        return compareKeys(wholeEuros(a.amount), wholeEuros(b.amount));
    case 'P':
        return compareKeys(a.departureMinutes, b.departureMinutes);
    case 'A':
        return compareKeys(a.arrivalMinutes, b.arrivalMinutes);
    case 'p': {
        const int byName = compareKeys(a.departureStopName, b.departureStopName);
        return byName != 0 ? byName : compareKeys(a.departureMinutes, b.departureMinutes);
    }
    case 'a': {
        const int byName = compareKeys(a.arrivalStopName, b.arrivalStopName);
        return byName != 0 ? byName : compareKeys(a.arrivalMinutes, b.arrivalMinutes);
    }
    case 'G':
        return compareKeys(a.serviceDays, b.serviceDays);
    case 'i':
        return compareKeys(dayKey(a.firstDay), dayKey(b.firstDay));
    case 'F':
        return compareKeys(dayKey(a.lastDay), dayKey(b.lastDay));
    default:
        return 0;
    }
}

} // namespace

std::string terminusLabel(int minutes, const std::string& stopName)
{
    return formatText("%02d:%02d ", minutes / 60, minutes % 60) + (stopName.empty() ? "???" : stopName);
}

const std::array<RunOrder, 13>& runOrders()
{
    static const std::array<RunOrder, 13> orders{{
        {5128, "per &ID corsa", 'I', "id", "run ID"},
        {5129, "per &Codice corsa", 'C', "code", "run code"},
        {5130, "per &Ente finanziatore", 'E', "payer", "paying authority code"},
        {5131, "per &Lunghezza", 'L', "length", "length"},
        {5132, "per &Durata", 'T', "duration", "duration"},
        {5133, "per &Importo", '$', "amount", "amount in whole euros"},
        {5134, "per orario &Partenza", 'P', "departure", "departure time"},
        {5135, "per orario &Arrivo", 'A', "arrival", "arrival time"},
        {5136, "per capolinea &Partenza", 'p', "departure-stop", "departure stop name, then time"},
        {5137, "per capolinea &Arrivo", 'a', "arrival-stop", "arrival stop name, then time"},
        {5138, "per n.ro &Giorni", 'G', "days", "number of service days"},
        {5139, "per data &Inizio", 'i', "first-day", "first service day"},
        {5140, "per data &Fine", 'F', "last-day", "last service day"},
    }};
    return orders;
}

const RunOrder* runOrderForCommand(int commandId)
{
    for (const RunOrder& order : runOrders())
        if (order.commandId == commandId)
            return &order;
    return nullptr;
}

const RunOrder* runOrderNamed(const std::string& nameOrCode)
{
    for (const RunOrder& order : runOrders())
        if (nameOrCode == order.name || (nameOrCode.size() == 1 && nameOrCode[0] == order.code))
            return &order;
    return nullptr;
}

bool comesBefore(const RunRow& a, const RunRow& b, char order)
{
    const int byKey = compareByKey(a, b, order);
    return byKey != 0 ? byKey < 0 : a.runId < b.runId;
}

std::string dayKey(const std::string& dayText)
{
    if (dayText.size() < 10)
        return dayText;
    return dayText.substr(6, 4) + dayText.substr(3, 2) + dayText.substr(0, 2);
}

std::vector<size_t> sortedPositions(const std::vector<RunRow>& rows, char order)
{
    std::vector<size_t> positions(rows.size());
    std::iota(positions.begin(), positions.end(), size_t{0});
    if (order == 'i' || order == 'F') {
        // The day keys are built once, not at every comparison.
        std::vector<std::string> keys(rows.size());
        for (size_t i = 0; i < rows.size(); ++i)
            keys[i] = dayKey(order == 'i' ? rows[i].firstDay : rows[i].lastDay);
        std::sort(positions.begin(), positions.end(), [&](size_t a, size_t b) {
            const int byKey = keys[a].compare(keys[b]);
            return byKey != 0 ? byKey < 0 : rows[a].runId < rows[b].runId;
        });
        return positions;
    }
    std::sort(positions.begin(), positions.end(),
              [&](size_t a, size_t b) { return comesBefore(rows[a], rows[b], order); });
    return positions;
}

} // namespace korvan::runs
