#include "support/AccountingFixture.h"

#include "core/SqlText.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"
#include "refdata/Schema.h"

namespace korvan::test {

void AccountingDbTest::addRun(int company, long id, int authority, long length, int depHour, int depMinute, int arrHour,
                              int arrMinute)
{
    exec(formatText("INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, lung, hh_p, mm_p, hh_a, mm_a) "
                    "VALUES (%d, %ld, %d, 'L', 'C%ld', %ld, %d, %d, %d, %d)",
                    company, id, authority, id, length, depHour, depMinute, arrHour, arrMinute));
}

void AccountingDbTest::addLine(int lineId, int authority, const std::string& code)
{
    exec(formatText("INSERT INTO linee (ID, ente, linea, denom) VALUES (%d, %d, ", lineId, authority) +
         quoteSqlText(code) + ", '')");
}

void AccountingDbTest::addRunLine(int company, long id, int authority, int lineId)
{
    exec(formatText("INSERT INTO conline (azienda, ID, ente, linea) VALUES (%d, %ld, %d, %d)", company, id, authority,
                    lineId));
}

void AccountingDbTest::addConcors(int company, long id, int authority, bool minimum, double euro)
{
    exec(formatText("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (%d, %ld, %d, %d, %.4f)", company, id,
                    authority, minimum ? 1 : 0, euro));
}

void AccountingDbTest::addConkal(int company, long id, const std::string& isoDate, int authority, bool minimum,
                                 double euro)
{
    exec(formatText("INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (%d, %ld, '%s', %d, %d, %.4f)",
                    company, id, isoDate.c_str(), authority, minimum ? 1 : 0, euro));
}

void AccountingDbTest::addProtocol(int company, long number, const std::string& isoStart, const std::string& isoEnd,
                                   bool reset)
{
    exec(formatText("INSERT INTO proto (azienda, tipo, protoc, datini, datfin, azzera) "
                    "VALUES (%d, 'B', %ld, '%s', '%s', %d)",
                    company, number, isoStart.c_str(), isoEnd.c_str(), reset ? 1 : 0));
}

void AccountingDbTest::addMonth(int company, long id, long protocol, int year, int month, const std::string& flags)
{
    exec(formatText("INSERT INTO mesi (azienda, ID, protoc, anno, mese, giorni) VALUES (%d, %ld, %ld, %d, %d, '%s')",
                    company, id, protocol, year, month, flags.c_str()));
}

void AccountingDbTest::addItinerarySplit(int company, long id, int sub)
{
    exec(formatText("INSERT INTO conitine (azienda, ID, codperc, sub, ente, minima, euro, lung, tempo) "
                    "VALUES (%d, %ld, 1, %d, 1, 0, 1.0, 100, 1)",
                    company, id, sub));
}

std::vector<std::string> AccountingDbTest::conkalRows(int company, const std::string& extraWhere)
{
    std::vector<std::string> rows;
    SelectCursor select(connection.get());
    select.AddField("conkal", "ID", SqlType::Integer);
    select.AddField("conkal", "data", SqlType::Date);
    select.AddField("conkal", "ente", SqlType::SmallInt);
    select.AddField("conkal", "minima", SqlType::Bit);
    select.AddField("conkal", "euro", SqlType::Double);
    select.SetFrom("conkal");
    select.SetWhere(formatText("azienda = %d", company) + extraWhere);
    select.SetOrderBy("ID, data");
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        int id = 0, authority = 0, minimum = 0;
        double euro = 0;
        std::string date;
        select.GetLong(0, id);
        select.GetText(1, date);
        select.GetShort(2, authority);
        select.GetShort(3, minimum);
        select.GetDouble(4, euro);
        rows.push_back(formatText("%d|%s|%d|%d|%.2f", id, date.c_str(), authority, minimum != 0, euro));
    }
    return rows;
}

std::vector<std::string> AccountingDbTest::concorsRows(int company)
{
    std::vector<std::string> rows;
    SelectCursor select(connection.get());
    select.AddField("concors", "ID", SqlType::Integer);
    select.AddField("concors", "ente", SqlType::SmallInt);
    select.AddField("concors", "minima", SqlType::Bit);
    select.AddField("concors", "euro", SqlType::Double);
    select.SetFrom("concors");
    select.SetWhere(formatText("azienda = %d", company));
    select.SetOrderBy("ID");
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        int id = 0, authority = 0, minimum = 0;
        double euro = 0;
        select.GetLong(0, id);
        select.GetShort(1, authority);
        select.GetShort(2, minimum);
        select.GetDouble(3, euro);
        rows.push_back(formatText("%d|%d|%d|%.2f", id, authority, minimum != 0, euro));
    }
    return rows;
}

std::vector<std::string> accountingSnapshot(DbConnection* connection)
{
    std::vector<std::string> rows;
    for (const schema::Table& table : schema::tables()) {
        if (!table.accounting)
            continue;
        SelectCursor select(connection);
        for (const schema::Column& column : table.columns)
            select.AddField(table.name, column.name, column.sqlType);
        select.SetFrom(table.name);
        std::string order;
        for (const std::string& key : table.key)
            order += (order.empty() ? "" : ", ") + key;
        select.SetOrderBy(order);
        std::string value;
        for (bool row = select.Execute(); row; row = select.MoveNext()) {
            std::string text = table.name;
            for (const schema::Column& column : table.columns) {
                select.GetFieldText(table.name + "." + column.name, value);
                text += "|" + value;
            }
            rows.push_back(text);
        }
    }
    return rows;
}

std::string flagsOn(std::initializer_list<int> days)
{
    std::string flags(31, 'N');
    for (int day : days)
        flags[static_cast<size_t>(day - 1)] = 'S';
    return flags;
}

std::string allDays()
{
    return std::string(31, 'S');
}

} // namespace korvan::test
