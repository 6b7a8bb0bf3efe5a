#include "runs/RunFilter.h"

#include "db/Values.h"

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

std::optional<RunListKey> readRunFilter(const RunFilterEntries& entries, MessageSink& sink)
{
    const std::optional<refdata::Contract> contract = refdata::validateContract(entries.contract, sink);
    if (!contract)
        return std::nullopt;
    const std::optional<int> line =
        readLineNumberEntry(entries.line, entries.lineEntries(contract->authority, contract->company));
    if (!line)
        return refdata::refuseEntry(sink, refdata::invalidEntryMessage(refdata::EntryKind::Line));
    return RunListKey{contract->authority, contract->company, *line};
}

} // namespace korvan::runs
