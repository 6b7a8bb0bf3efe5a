#include "runs/RunFilter.h"

#include "db/Values.h"

#include <algorithm>
#include <cctype>

namespace korvan::runs {

std::optional<int> readLineNumberEntry(const std::string& text, const refdata::PickList& entries)
{
    if (text.size() < 4)
        return std::nullopt;
    for (size_t i = 0; i < 4; ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return std::nullopt;
    const int value = static_cast<int>(parseIntegerText(text.substr(0, 4)));
    if (refdata::findEntryWithPrefix(entries, formatText("%04d", value)) < 0)
        return std::nullopt;
    return value;
}

std::vector<int> lineNumbersWithCode(const refdata::PickList& linesByNumber, const std::string& code)
{
    std::vector<int> numbers;
    for (const std::string& entry : linesByNumber) {
        const size_t separator = entry.find(" - ");
        if (separator != std::string::npos && trimTrailingBlanks(entry.substr(separator + 3)) == code)
            numbers.push_back(refdata::codeOfEntry(entry));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::string ambiguousLineCodeMessage(const std::string& code, const std::vector<int>& numbers)
{
    std::string list;
    for (int number : numbers)
        list += (list.empty() ? "" : ", ") + formatText("%04d", number);
    return "ATTENZIONE: Il Codice Linea " + code + " indica più linee del contratto: " + list + ".\n\n" +
           "Occorre indicare la linea con il suo numero.\n\n";
}

namespace {

// The one line of the contract with the code read from the entry.
std::optional<int> readLineByCode(const RunFilterEntries& entries, const refdata::Contract& contract, MessageSink& sink)
{
    const std::optional<std::string> code =
        refdata::readLineCodeEntry(entries.line, entries.lineCodeEntries(contract.authority, contract.company));
    const std::vector<int> numbers =
        code ? lineNumbersWithCode(entries.lineEntries(contract.authority, contract.company), *code)
             : std::vector<int>();
    if (numbers.empty())
        return refdata::refuseEntry(sink, refdata::invalidEntryMessage(refdata::EntryKind::Line));
    if (numbers.size() > 1)
        return refdata::refuseEntry(sink, ambiguousLineCodeMessage(*code, numbers));
    return numbers.front();
}

} // namespace

std::optional<RunListKey> readRunFilter(const RunFilterEntries& entries, MessageSink& sink)
{
    const std::optional<refdata::Contract> contract = refdata::validateContract(entries.contract, sink);
    if (!contract)
        return std::nullopt;
    if (entries.lineByCode) {
        const std::optional<int> line = readLineByCode(entries, *contract, sink);
        if (!line)
            return std::nullopt;
        return RunListKey{contract->authority, contract->company, *line};
    }
    const std::optional<int> line =
        readLineNumberEntry(entries.line, entries.lineEntries(contract->authority, contract->company));
    if (!line)
        return refdata::refuseEntry(sink, refdata::invalidEntryMessage(refdata::EntryKind::Line));
    return RunListKey{contract->authority, contract->company, *line};
}

} // namespace korvan::runs
