#include "transfer/CopyPlan.h"

#include "db/SqlTypes.h"
#include "refdata/SchemaCheck.h"

#include <algorithm>
#include <cctype>

namespace korvan::transfer {

namespace {

bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

const CatalogColumn* findColumn(const std::vector<CatalogColumn>& columns, const std::string& name)
{
    for (const CatalogColumn& column : columns)
        if (column.name == name)
            return &column;
    for (const CatalogColumn& column : columns)
        if (sameName(column.name, name))
            return &column;
    return nullptr;
}

} // namespace

schema::Column targetColumnFor(const CatalogColumn& column, bool fileBackEnd)
{
    using namespace SqlType;
    switch (column.sqlType) {
    case SmallInt:
    case TinyInt:
        return {column.name, SmallInt};
    case Integer:
        return {column.name, Integer};
    case Bit:
        return {column.name, Bit};
    case Double:
    case Float:
    case Numeric:
    case Decimal:
        return {column.name, Double};
    case Real:
        return {column.name, Real};
    case Date:
    case Timestamp:
        return {column.name, Date};
    case Char:
    case VarChar:
        if (column.width > 0 && column.width <= 65535)
            return {column.name, VarChar, column.width};
        return {column.name, LongVarChar};
    case LongVarChar:
        return {column.name, LongVarChar};
    case LongVarBinary:
        return {column.name, LongVarBinary};
    case 0:
        // A SQLite column without a declared type keeps what it is given.
        if (fileBackEnd)
            return {column.name, LongVarChar};
        break;
    default:
        break;
    }
    return {column.name, 0};
}

bool planRunsCopy(CopySource& source, CopyPlan& plan, std::string& refusal)
{
    plan.tables.clear();
    const refdata::SchemaProblems problems = refdata::findCopySourceProblems(
        [&source](const std::string& table) { return source.describe(table); }, source.fileBackEnd());
    if (!problems.empty()) {
        refusal = refdata::schemaProblemsMessage(problems);
        return false;
    }
    for (const schema::Table& table : schema::tables()) {
        const auto columns = source.describe(table.name);
        if (!columns)
            continue; // an accounting table the source does not have
        PlannedTable planned;
        planned.sourceName = table.name;
        planned.target = table;
        for (const schema::Column& column : table.columns) {
            const CatalogColumn* found = findColumn(*columns, column.name);
            planned.read.push_back({found->name, column.sqlType, column.width});
        }
        plan.tables.push_back(std::move(planned));
    }
    return true;
}

bool planNamedTables(CopySource& source, const std::vector<std::string>& names, CopyPlan& plan, std::string& refusal)
{
    plan.tables.clear();
    std::vector<std::string> missing, unsupported;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        if (std::find(names.begin(), names.begin() + static_cast<long>(i), name) !=
            names.begin() + static_cast<long>(i)) {
            refusal = "ATTENZIONE: la tavola (" + name + ") è indicata due volte.\n\n";
            return false;
        }
        const auto columns = source.describe(name);
        if (!columns) {
            missing.push_back(name);
            continue;
        }
        PlannedTable planned;
        planned.sourceName = name;
        planned.target.name = name;
        std::vector<std::pair<int, std::string>> key;
        for (const CatalogColumn& column : *columns) {
            const schema::Column target = targetColumnFor(column, source.fileBackEnd());
            if (target.sqlType == 0) {
                unsupported.push_back(name + "." + column.name + " (" +
                                      (column.typeName.empty() ? "senza tipo" : column.typeName) + ")");
                continue;
            }
            planned.target.columns.push_back(target);
            planned.read.push_back(
                {column.name, column.sqlType == 0 ? SqlType::LongVarChar : column.sqlType, column.width});
            if (column.keyPosition > 0)
                key.emplace_back(column.keyPosition, column.name);
        }
        std::sort(key.begin(), key.end());
        for (const auto& [position, column] : key)
            planned.target.key.push_back(column);
        plan.tables.push_back(std::move(planned));
    }
    if (missing.empty() && unsupported.empty())
        return true;
    refusal = "ATTENZIONE: le tavole indicate non si possono copiare così come sono.\n\n";
    auto list = [&refusal](const char* title, const std::vector<std::string>& items) {
        if (items.empty())
            return;
        refusal += title;
        for (size_t i = 0; i < items.size(); ++i)
            refusal += (i ? ", " : "") + items[i];
        refusal += "\n";
    };
    list("Tavole non presenti nella sorgente: ", missing);
    list("Colonne di un tipo che la copia non gestisce: ", unsupported);
    refusal += "\nOccorre indicare tavole presenti nella sorgente, con colonne di tipo gestito.\n\n";
    return false;
}

} // namespace korvan::transfer
