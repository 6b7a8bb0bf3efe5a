#include "accounting/ProtocolValidity.h"

#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"

namespace korvan::accounting {

namespace {

int protocolMonthLength(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2)
        return year % 4 == 0 ? 29 : 28;
    return days[month - 1];
}

int makeKey(int year, int month, int day)
{
    return year * 10000 + month * 100 + day;
}

} // namespace

const CompanyProtocols* ProtocolValidity::find(int company) const
{
    for (const CompanyProtocols& entry : companies)
        if (entry.company == company)
            return &entry;
    return nullptr;
}

int dateKeyOf(const std::string& dateText)
{
    const std::optional<CivilDate> date = parseDateText(dateText);
    return date ? date->key() : 0;
}

int protocolDayBefore(int dateKey)
{
    const int year = dateKey / 10000, month = dateKey / 100 % 100, day = dateKey % 100;
    if (day > 1)
        return dateKey - 1;
    if (month <= 1)
        return makeKey(year - 1, 12, 31);
    return makeKey(year, month - 1, protocolMonthLength(year, month - 1));
}

int protocolDayAfter(int dateKey)
{
    const int year = dateKey / 10000, month = dateKey / 100 % 100, day = dateKey % 100;
    if (month < 1 || month > 12 || day < protocolMonthLength(year, month))
        return dateKey + 1;
    if (month == 12)
        return makeKey(year + 1, 1, 1);
    return makeKey(year, month + 1, 1);
}

void cutPeriod(ProtocolEntry& protocol, int start, int end)
{
    const int before = protocolDayBefore(start);
    const int after = protocolDayAfter(end);
    // Intervals appended by a split are visited too (index loop, no iterator
    // kept across push_back).
    for (size_t i = 0; i < protocol.intervals.size(); ++i) {
        DateInterval& interval = protocol.intervals[i];
        const int a = interval.start, b = interval.end;
        if (b < start || a > end)
            continue;
        if (start <= a && b <= end) {
            interval = {0, 0};
        } else if (start <= a) {
            interval = {after, b};
        } else if (b <= end) {
            interval = {a, before};
        } else {
            interval = {a, before};
            protocol.intervals.push_back({after, b});
        }
    }
}

bool isValidOn(const ProtocolEntry& protocol, const std::string& dateText)
{
    const int value = dateKeyOf(dateText);
    for (const DateInterval& interval : protocol.intervals)
        if (interval.start <= value && value <= interval.end)
            return true;
    return false;
}

void strikeInvalidDays(const ProtocolValidity& validity, int company, long protocol, int year, int month,
                       std::string& days)
{
    const CompanyProtocols* entry = validity.find(company);
    if (!entry)
        return;
    for (const ProtocolEntry& candidate : entry->protocols) {
        if (candidate.number != protocol)
            continue;
        for (int day = 1; day <= 31 && day <= static_cast<int>(days.size()); ++day)
            if (!isValidOn(candidate, formatText("%02d/%02d/%04d", day, month, year)))
                days[static_cast<size_t>(day - 1)] = 'N';
    }
}

std::string normalizedDayFlags(const std::string& flags)
{
    std::string result = flags.substr(0, 31);
    result.resize(31, 'N');
    return result;
}

ProtocolValidity loadProtocolValidity(DbConnection* connection, int company)
{
    ProtocolValidity validity;
    SelectCursor select(connection);
    select.AddField("proto", "protoc", SqlType::Integer);
    select.AddField("proto", "azzera", SqlType::Bit);
    select.AddField("proto", "datini", SqlType::Date);
    select.AddField("proto", "datfin", SqlType::Date);
    select.SetFrom("proto");
    select.SetWhere(formatText("azienda = %d AND tipo = '%c'", company, 'B'));
    select.SetOrderBy("protoc");
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        int number = 0, reset = 0;
        std::string startText, endText;
        select.GetLong(0, number);
        select.GetShort(1, reset);
        select.GetText(2, startText);
        select.GetText(3, endText);
        if (validity.companies.empty())
            validity.companies.push_back({company, {}});
        std::vector<ProtocolEntry>& protocols = validity.companies.front().protocols;
        const int start = dateKeyOf(startText), end = dateKeyOf(endText);
        protocols.push_back({number, {{start, end}}});
        // The file back end may read a true bit as -1: any non-zero is set.
        if (reset != 0)
            for (ProtocolEntry& lower : protocols)
                if (lower.number < number)
                    cutPeriod(lower, start, end);
    }
    return validity;
}

} // namespace korvan::accounting
