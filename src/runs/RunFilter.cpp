#include "runs/RunFilter.h"

#include "db/MessageSink.h"
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
    using refdata::EntryKind;
    auto refuse = [&sink](EntryKind kind) {
        sink.showMessage(refdata::invalidEntryMessage(kind), MessageIcon::Error);
        return std::nullopt;
    };
    const std::optional<int> authority = refdata::readCodeEntry(entries.authority, entries.authorities);
    if (!authority)
        return refuse(EntryKind::Authority);
    const std::optional<int> company = refdata::readCodeEntry(entries.company, entries.companies);
    if (!company)
        return refuse(EntryKind::Company);
    const std::optional<int> line = readLineNumberEntry(entries.line, entries.lines);
    if (!line)
        return refuse(EntryKind::Line);
    return RunListKey{*authority, *company, *line};
}

} // namespace korvan::runs
