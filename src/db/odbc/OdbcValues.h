#pragma once

// The ODBC value rules: text into a typed slot (SetField of the table and
// update cursors) and typed slots into text and numbers (GetField, the
// select cursor's getters).

#include "db/FieldValue.h"
#include "db/odbc/OdbcBuffers.h"

#include <string>

namespace korvan {
class MessageSink;
}

namespace korvan::detail::odbc {

enum class TextTarget {
    TableBlock,  // a row of a bulk-insert block
    TableRow,    // the single-row slot of a table cursor
    UpdateCursor // the single-row slot of an update cursor: two more refusals
};

// Stores `text` (sentinels replaced, empty = NULL) in `row` of `buffer` by the
// column's type. Text columns lose their trailing blanks in `text` itself.
// Types the layer does not store show their notice (no icon) and leave the
// slot unchanged: false then. A value the slot cannot hold (a text beyond
// its 255 bytes, no number, a number beyond the column's type) is refused
// too: false, the slot unchanged and the reason in `refusal`.
bool storeText(ColumnBuffer& buffer, int row, std::string& text, TextTarget target, MessageSink& sink,
               std::string* refusal = nullptr);

// Stores `value` as it is (TableCursor::SetValue): false with the reason in
// `refusal` when the column's type cannot hold it (a number beyond its
// range, a text longer than the column or its slot, a kind of value the
// column does not take).
bool storeValue(ColumnBuffer& buffer, int row, const FieldValue& value, std::string& refusal);
// The value of a fetched slot as it is (SelectCursor::GetValue); false when
// it did not fit its slot.
bool readValue(const ColumnBuffer& buffer, int row, FieldValue& value);

// The table cursor's reading rule (NULL gives ""). Types the layer does not
// read show their notice and leave `text` unchanged.
void tableCursorText(const ColumnBuffer& buffer, int row, std::string& text, MessageSink& sink);

// The select cursor's text rule by declared type; false (after the "non
// riconosciuto" message) for a type it cannot read.
bool selectCursorText(const ColumnBuffer& buffer, int row, std::string& text, MessageSink& sink);

// The select cursor's typed getters: 0 or "" for NULL or another type.
int selectShort(const ColumnBuffer& buffer, int row);
int selectLong(const ColumnBuffer& buffer, int row);
double selectDouble(const ColumnBuffer& buffer, int row);
std::string selectText(const ColumnBuffer& buffer, int row);

// "ATTENZIONE: tipo dati SQL (%d) non riconosciuto..." for a column that
// cannot be bound.
std::string unknownTypeMessage(int sqlType);

} // namespace korvan::detail::odbc
