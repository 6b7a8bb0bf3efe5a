#include "runs/RunSearch.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

namespace korvan::runs {

namespace {

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trimmed(const std::string& text)
{
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

// How well a run matches: 3 its ID or whole code, 2 the code's beginning,
// 1 a part of the code, 0 not at all.
int matchLevel(const RunRow& row, const std::string& wanted, const std::optional<long>& id)
{
    if (id && row.runId == *id)
        return 3;
    const std::string code = lowered(row.runCode);
    if (code == wanted)
        return 3;
    if (code.rfind(wanted, 0) == 0)
        return 2;
    return code.find(wanted) != std::string::npos ? 1 : 0;
}

std::optional<long> numberOf(const std::string& text)
{
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

} // namespace

int findRunPosition(const RunListModel& model, const std::string& typed, int from)
{
    const std::string wanted = lowered(trimmed(typed));
    const int count = model.count();
    if (wanted.empty() || count == 0)
        return -1;
    const std::optional<long> id = numberOf(wanted);
    int best = -1;
    int bestLevel = 0;
    for (int step = 1; step <= count; ++step) {
        const int position = ((from + step) % count + count) % count;
        const int level = matchLevel(*model.rowAt(position), wanted, id);
        if (level > bestLevel) {
            best = position;
            bestLevel = level;
            if (level == 3)
                break;
        }
    }
    return best;
}

} // namespace korvan::runs
