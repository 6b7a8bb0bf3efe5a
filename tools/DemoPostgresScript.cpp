#include "DemoPostgresScript.h"

#include "DemoRows.h"
#include "db/NumberText.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace korvan::demo {

namespace {

constexpr auto kPg = schema::Dialect::PostgreSql;

class CopySink : public RowSink {
  public:
    explicit CopySink(std::ostream& out) : out_(out) {}

    bool beginTable(const schema::Table& table) override
    {
        out_ << "\nCOPY " << table.name << " (";
        bool first = true;
        for (const schema::Column& column : table.columns) {
            out_ << (first ? "" : ", ") << schema::physicalColumnName(column.name, kPg);
            first = false;
        }
        out_ << ") FROM STDIN;\n";
        return bool(out_);
    }

    bool addRow(const std::vector<FieldValue>& values) override
    {
        line_.clear();
        for (const FieldValue& value : values) {
            if (!line_.empty())
                line_ += '\t';
            switch (value.kind) {
            case FieldValue::Kind::Integer:
                line_ += std::to_string(value.integer);
                break;
            case FieldValue::Kind::Real:
                line_ += shortestText(value.real);
                break;
            case FieldValue::Kind::Text:
                line_ += copyText(value.text);
                break;
            case FieldValue::Kind::Date:
                line_ += formatIsoDate(value.date);
                break;
            }
        }
        line_ += '\n';
        out_ << line_;
        return bool(out_);
    }

    bool endTable() override
    {
        out_ << "\\.\n";
        return bool(out_);
    }

  private:
    std::ostream& out_;
    std::string line_;
};

} // namespace

std::string copyText(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

bool writePostgresScript(const Network& network, std::ostream& out, bool dropFirst)
{
    out << "-- KORVAN demo runs database. Load with: psql -f FILE\n"
           "\\set ON_ERROR_STOP on\n"
           "SET client_encoding = 'UTF8';\n"
           "BEGIN;\n";
    if (dropFirst)
        for (auto table = schema::tables().rbegin(); table != schema::tables().rend(); ++table)
            out << schema::dropStatement(*table) << ";\n";
    for (const schema::Table& table : schema::tables())
        for (const std::string& statement : schema::createStatements(table, kPg))
            out << statement << ";\n";
    CopySink sink(out);
    if (!emitTables(network, sink))
        return false;
    out << "COMMIT;\n";
    return bool(out);
}

bool writePostgresScriptFile(const Network& network, const std::string& path, bool dropFirst, std::string& error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    if (!writePostgresScript(network, out, dropFirst) || !(out.flush())) {
        error = path + ": write failed";
        return false;
    }
    return true;
}

} // namespace korvan::demo
