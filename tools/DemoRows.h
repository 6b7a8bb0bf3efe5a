#pragma once

// The demo network as table rows, in the column order of refdata/Schema.h.
// Each writer is a RowSink; the rows only borrow the network's texts.

#include "DemoNetwork.h"
#include "refdata/Schema.h"

#include <string_view>
#include <vector>

namespace korvan::demo {

struct FieldValue {
    enum class Kind { Integer, Text, Date, Real };
    Kind kind = Kind::Integer;
    long long integer = 0;
    std::string_view text;
    CivilDate date;
    double real = 0.0;
};

class RowSink {
  public:
    virtual ~RowSink() = default;
    virtual bool beginTable(const schema::Table& table) = 0;
    // One value per column of the table, in its order.
    virtual bool addRow(const std::vector<FieldValue>& values) = 0;
    virtual bool endTable() = 0;
};

// Sends every table of the schema in its order: the reference tables with
// their rows, the accounting tables empty (the program fills them) except
// `conitine`, which holds the demo's itinerary splits. Stops at the first
// false from the sink.
bool emitTables(const Network& network, RowSink& sink);

// Rows the network gives a table (0 for the accounting tables but `conitine`).
size_t rowCount(const Network& network, const std::string& table);

} // namespace korvan::demo
