#include "reports/CsvWriter.h"

#include "db/Values.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace korvan::reports {

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kSeparator = ';';
constexpr const char* kLineEnd = "\r\n";

bool startsLikeFormula(const std::string& text)
{
    return !text.empty() && std::string("=+-@\t\r").find(text.front()) != std::string::npos;
}

std::string quotedText(const std::string& text)
{
    std::string field = "\"";
    if (startsLikeFormula(text))
        field += '\'';
    for (char c : text) {
        field += c;
        if (c == '"')
            field += '"';
    }
    field += '"';
    return field;
}

void writeLine(std::ostream& out, const std::vector<std::string>& fields)
{
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out << kSeparator;
        out << fields[i];
    }
    out << kLineEnd;
}

} // namespace

std::string csvField(const Cell& cell)
{
    switch (cell.kind) {
    case Cell::Kind::Empty:
        return {};
    case Cell::Kind::Integer:
        return formatText("%lld", std::llround(cell.value));
    case Cell::Kind::Decimal: {
        std::string number = fixedText(cell.value, cell.decimals);
        std::replace(number.begin(), number.end(), '.', ',');
        return number;
    }
    case Cell::Kind::Text:
        break;
    }
    return quotedText(cell.text);
}

namespace {

void writeLines(const Report& report, std::ostream& out)
{
    std::vector<std::string> fields;
    for (const std::string& header : report.groupKeyHeaders)
        fields.push_back(quotedText(header));
    if (!report.rowKindHeader.empty())
        fields.push_back(quotedText(report.rowKindHeader));
    for (const Column& column : report.columns)
        fields.push_back(quotedText(column.header));
    writeLine(out, fields);

    const std::vector<Cell> noKeys;
    for (const Row& row : report.rows) {
        fields.clear();
        const std::vector<Cell>& keys = row.group < report.groups.size() ? report.groups[row.group].keys : noKeys;
        for (size_t k = 0; k < report.groupKeyHeaders.size(); ++k)
            fields.push_back(k < keys.size() ? csvField(keys[k]) : std::string());
        if (!report.rowKindHeader.empty())
            fields.push_back(quotedText(row.kind));
        for (size_t c = 0; c < report.columns.size(); ++c)
            fields.push_back(c < row.cells.size() ? csvField(row.cells[c]) : std::string());
        writeLine(out, fields);
    }
}

} // namespace

bool writeCsv(const Report& report, std::ostream& out)
{
    out << kByteOrderMark;
    writeLines(report, out);
    out.flush();
    return static_cast<bool>(out);
}

std::string csvText(const Report& report)
{
    std::ostringstream out;
    writeLines(report, out);
    return out.str();
}

bool writeCsvFile(const Report& report, const std::string& path, std::string& error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out && writeCsv(report, out)) {
        out.close();
        if (out)
            return true;
    }
    error = "Impossibile scrivere il file CSV " + path;
    return false;
}

} // namespace korvan::reports
