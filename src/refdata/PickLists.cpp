#include "refdata/PickLists.h"

#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"

#include <algorithm>
#include <cctype>

namespace korvan::refdata {

namespace {

// One filler's query: two select items and the clause texts.
struct PickQuery {
    SelectItem first;
    SelectItem second;
    std::string from;
    std::string where;
    std::string groupBy;
    std::string orderBy;
};

enum class EntryForm { CodeAndName, LineCodeAndName };

PickList runPickQuery(DbConnection* connection, const PickQuery& query, EntryForm form)
{
    PickList entries;
    if (!connection || !connection->IsOpen())
        return entries;
    SelectCursor select(connection);
    select.AddField(query.first.table, query.first.column, query.first.sqlType);
    select.AddField(query.second.table, query.second.column, query.second.sqlType);
    select.SetFrom(query.from);
    select.SetWhere(query.where);
    select.SetGroupBy(query.groupBy);
    // Names and codes may be NULL: they come first on every back end.
    select.SetOrderBy(connection->Dialect().nullsFirst(query.orderBy));
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        std::string second;
        select.GetText(1, second);
        if (form == EntryForm::LineCodeAndName) {
            std::string code;
            select.GetText(0, code);
            entries.push_back(formatText("%-10s - %s", code.c_str(), second.c_str()));
        } else {
            int code = 0;
            select.GetShort(0, code);
            entries.push_back(formatText("%04d - %s", code, second.c_str()));
        }
    }
    return entries;
}

PickQuery authorityQuery(std::string from, std::string where, std::string groupBy, std::string orderBy)
{
    return {{"regent", "codice", SqlType::SmallInt},
            {"regent", "denom", SqlType::VarChar},
            std::move(from),
            std::move(where),
            std::move(groupBy),
            std::move(orderBy)};
}

PickQuery companyQuery(std::string where)
{
    return {{"regazi", "codice", SqlType::SmallInt},
            {"regazi", "denom", SqlType::VarChar},
            "regazi, corse",
            std::move(where),
            "regazi.codice, regazi.denom",
            "regazi.denom"};
}

// Byte length of the first `count` characters of a UTF-8 text (the whole
// text when it is shorter).
size_t prefixBytes(const std::string& text, size_t count)
{
    size_t bytes = 0;
    for (size_t characters = 0; bytes < text.size() && characters < count; ++characters) {
        ++bytes;
        while (bytes < text.size() && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
            ++bytes;
    }
    return bytes;
}

std::string firstCharacters(const std::string& text, size_t count)
{
    return text.substr(0, prefixBytes(text, count));
}

// The code of a line entry "%-10s - %s": the code left-justified in ten
// characters, or a longer code followed directly by " - ".
std::string lineCodeOfEntry(const std::string& entry)
{
    constexpr size_t kCodeWidth = 10;
    const size_t separator = entry.find(" - ", std::min(kCodeWidth, entry.size()));
    return trimTrailingBlanks(entry.substr(0, separator));
}

bool allDigits(const std::string& text)
{
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

} // namespace

PickList authoritiesWithLines(DbConnection* connection)
{
    return runPickQuery(
        connection,
        authorityQuery("regent, linee", "regent.codice = linee.ente", "regent.codice, regent.denom", "regent.denom"),
        EntryForm::CodeAndName);
}

PickList allAuthorities(DbConnection* connection)
{
    return runPickQuery(connection, authorityQuery("regent", "", "", "denom"), EntryForm::CodeAndName);
}

PickList additionalFundingAuthorities(DbConnection* connection)
{
    if (!connection)
        return {};
    // Additional service is paid per run (`concors`), per day (`conkal`: the
    // day-type assignment, the calendar view) and per arc (`conitine`): an
    // authority that pays only days or arcs has its own statement too. The
    // bit test is the one place where the false literal depends on the back
    // end ("FALSE" for the Access driver, "0" elsewhere).
    const std::string notMinimum = "minima = " + connection->Dialect().falseLiteral();
    std::string where;
    for (const char* table : {"concors", "conkal", "conitine"}) {
        if (!where.empty())
            where += " OR ";
        where += std::string("regent.codice IN (SELECT ente FROM ") + table + " WHERE " + notMinimum + ")";
    }
    return runPickQuery(connection, authorityQuery("regent", where, "regent.codice, regent.denom", "regent.denom"),
                        EntryForm::CodeAndName);
}

PickList companiesOfAuthority(DbConnection* connection, int authority)
{
    return runPickQuery(connection,
                        companyQuery(formatText("corse.ente = %d AND regazi.codice = corse.azienda", authority)),
                        EntryForm::CodeAndName);
}

PickList companiesOfAuthorityForRunFilter(DbConnection* connection, int authority)
{
    return runPickQuery(connection,
                        companyQuery(formatText("corse.ente = %d AND corse.azienda = regazi.codice", authority)),
                        EntryForm::CodeAndName);
}

PickList contractLinesByCode(DbConnection* connection, int authority, int company)
{
    const std::string where =
        formatText("corse.azienda = %d AND corse.ente = %d AND conline.azienda = %d", company, authority, company) +
        " AND corse.ID = conline.ID AND linee.ID = conline.linea";
    return runPickQuery(connection,
                        {{"linee", "linea", SqlType::VarChar},
                         {"linee", "denom", SqlType::VarChar},
                         "linee, conline, corse",
                         where,
                         "linee.linea, linee.denom",
                         "linee.linea"},
                        EntryForm::LineCodeAndName);
}

PickList authorityLines(DbConnection* connection, int authority)
{
    return runPickQuery(connection,
                        {{"linee", "ID", SqlType::SmallInt},
                         {"linee", "linea", SqlType::VarChar},
                         "linee",
                         formatText("linee.ente = %d", authority),
                         "",
                         "linea"},
                        EntryForm::CodeAndName);
}

PickList contractLinesById(DbConnection* connection, int authority, int company)
{
    const std::string where = formatText("corse.ente = %d AND corse.azienda = %d", authority, company) +
                              " AND corse.ID = conline.ID AND conline.linea = linee.ID" +
                              formatText(" AND conline.azienda = %d AND linee.ente = %d", company, authority);
    return runPickQuery(connection,
                        {{"linee", "ID", SqlType::SmallInt},
                         {"linee", "linea", SqlType::VarChar},
                         "linee, corse, conline",
                         where,
                         "linee.ID, linee.linea",
                         "linee.linea"},
                        EntryForm::CodeAndName);
}

int findEntryWithPrefix(const PickList& entries, const std::string& prefix)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        if (entry.size() < prefix.size())
            continue;
        bool same = true;
        for (size_t j = 0; j < prefix.size() && same; ++j)
            same = std::tolower(static_cast<unsigned char>(entry[j])) ==
                   std::tolower(static_cast<unsigned char>(prefix[j]));
        if (same)
            return static_cast<int>(i);
    }
    return -1;
}

int entryIndexForCode(const PickList& entries, int code)
{
    if (code == -1)
        return -1;
    return findEntryWithPrefix(entries, formatText("%04d", code));
}

int codeOfEntry(const std::string& entryText)
{
    return static_cast<int>(parseIntegerText(entryText.substr(0, 4)));
}

std::optional<int> readCodeEntry(const std::string& editText, const PickList& entries)
{
    const std::string text = firstCharacters(editText, 128);
    const std::string head = firstCharacters(text, 4);
    if (!allDigits(head))
        return std::nullopt;
    // The code ends after four characters: an entry goes on with " - ", a
    // typed "0012x" or a five-digit code does not.
    if (text.size() > head.size() && text[head.size()] != ' ')
        return std::nullopt;
    const int code = static_cast<int>(parseIntegerText(head));
    if (findEntryWithPrefix(entries, formatText("%04d", code)) < 0)
        return std::nullopt;
    if (code < 1)
        return std::nullopt;
    return code;
}

std::optional<std::string> readLineCodeEntry(const std::string& editText, const PickList& entries)
{
    const std::string typed = trimTrailingBlanks(firstCharacters(editText, 10));
    if (typed.empty())
        return std::nullopt;
    // The code of the entry the check accepts, as stored: the entry whose
    // code is the text itself when there is one, else the first that begins
    // with it ignoring letter case ("l1" finds "L1", a cut long code its
    // line). The code then selects the runs exactly as it is stored.
    for (const std::string& entry : entries)
        if (lineCodeOfEntry(entry) == typed)
            return typed;
    const int index = findEntryWithPrefix(entries, typed);
    if (index < 0)
        return std::nullopt;
    return lineCodeOfEntry(entries[static_cast<size_t>(index)]);
}

std::string invalidEntryMessage(EntryKind kind)
{
    switch (kind) {
    case EntryKind::Authority:
        return "ATTENZIONE: Il Codice Ente non è valido.\n\n"
               "Occorre selezionare un Codice Ente presente nella lista.\n\n";
    case EntryKind::Company:
        return "ATTENZIONE: Il Codice Azienda non è valido.\n\n"
               "Occorre selezionare un Codice Azienda presente nella lista.\n\n";
    case EntryKind::PayingAuthority:
        return "ATTENZIONE: Il Codice Ente Pagante non è valido.\n\n"
               "Occorre selezionare un Codice Ente Pagante presente nella lista.\n\n";
    case EntryKind::Line:
        break;
    }
    return "ATTENZIONE: Il Codice Linea non è valido.\n\n"
           "Occorre selezionare un Codice Linea presente nella lista.\n\n";
}

} // namespace korvan::refdata
