#include "db/odbc/OdbcValues.h"

#include "db/MessageSink.h"
#include "db/SqlTypes.h"
#include "db/Values.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvan::detail::odbc {

namespace {

std::string dateText(const SQL_TIMESTAMP_STRUCT& stamp)
{
    return formatText("%02d/%02d/%04d", static_cast<int>(stamp.day), static_cast<int>(stamp.month),
                      static_cast<int>(stamp.year));
}

void notice(MessageSink& sink, const std::string& text)
{
    sink.showMessage(text, MessageIcon::None);
}

std::string unknownTypeNotice(int sqlType)
{
    return formatText("TIPO (%d) ???", sqlType);
}

} // namespace

std::string unknownTypeMessage(int sqlType)
{
    return "ATTENZIONE: tipo dati SQL " + formatText("(%d)", sqlType) +
           " non riconosciuto.\n\n[Binding colonna fallito]\n";
}

bool storeText(ColumnBuffer& buffer, int row, std::string& text, TextTarget target, MessageSink& sink,
               std::string* refusal)
{
    auto refuse = [refusal](const char* why) {
        if (refusal)
            *refusal = why;
        return false;
    };
    const int type = buffer.sqlType();
    if (target == TextTarget::UpdateCursor && type == SqlType::LongVarBinary) {
        notice(sink, "VARBINARY NON GESTITO");
        return false;
    }
    if (target == TextTarget::UpdateCursor && type == SqlType::LongVarChar) {
        notice(sink, "VARCHAR NON GESTIT0");
        return false;
    }
    const std::string value = replaceDateSentinel(text);
    if (value.empty()) {
        buffer.setNull(row);
        return true;
    }
    switch (type) {
    case SqlType::Char:
    case SqlType::VarChar:
        trimTrailingBlanksInPlace(text);
        // Refused here whether or not the database would refuse it: SQLite
        // through its driver stores any text whatever its declared width.
        if (text.size() >= static_cast<size_t>(kTextSlotBytes) ||
            (buffer.textCharacters() > 0 && utf8CharacterCount(text) > buffer.textCharacters()))
            return refuse(kFieldTooSmallText);
        buffer.setText(row, text);
        return true;
    case SqlType::Numeric:
    case SqlType::Decimal:
        notice(sink, "DECIMAL NON GESTITO");
        return false;
    case SqlType::Integer:
    case SqlType::SmallInt:
    case SqlType::TinyInt: {
        // The leading part that forms a number, within the column's type.
        const std::optional<long long> number = readLeadingInteger(value);
        const long long high = type == SqlType::Integer ? 2147483647LL : type == SqlType::SmallInt ? 32767 : 127;
        if (!number || *number < -high - 1 || *number > high)
            return refuse(kConversionErrorText);
        buffer.setInteger(row, static_cast<long>(*number));
        return true;
    }
    case SqlType::Float:
    case SqlType::Double:
    case SqlType::Real: {
        std::string decimal = value;
        std::replace(decimal.begin(), decimal.end(), ',', '.');
        const std::optional<double> number = readLeadingDecimal(decimal);
        if (!number || (type == SqlType::Real && std::fabs(*number) > std::numeric_limits<float>::max()))
            return refuse(kConversionErrorText);
        buffer.setReal(row, *number);
        return true;
    }
    case SqlType::Date:
    case SqlType::Time:
    case SqlType::Timestamp: {
        const auto date = parseDateText(value);
        if (!date || (target != TextTarget::TableBlock && value.size() != 10))
            buffer.setNull(row);
        else
            buffer.setDate(row, date->year, date->month, date->day);
        return true;
    }
    case SqlType::Bit:
        buffer.setInteger(row, value[0] == '0' ? 0 : 1);
        return true;
    default:
        notice(sink, unknownTypeNotice(type));
        return false;
    }
}

bool storeValue(ColumnBuffer& buffer, int row, const FieldValue& value, std::string& refusal)
{
    using Kind = FieldValue::Kind;
    auto refuse = [&refusal](const char* why) {
        refusal = why;
        return false;
    };
    if (value.kind == Kind::Null) {
        buffer.setNull(row);
        return true;
    }
    const int type = buffer.sqlType();
    switch (buffer.kind()) {
    case SlotKind::Text:
        if (value.kind != Kind::Text || type == SqlType::Numeric || type == SqlType::Decimal)
            return refuse(kConversionErrorText);
        if (static_cast<SQLLEN>(value.bytes.size()) >= buffer.slotBytes() ||
            (buffer.textCharacters() > 0 && utf8CharacterCount(value.bytes) > buffer.textCharacters()))
            return refuse(kFieldTooSmallText);
        buffer.setText(row, value.bytes);
        return true;
    case SlotKind::Integer:
    case SlotKind::TinyInt: {
        if (value.kind != Kind::Integer)
            return refuse(kConversionErrorText);
        const long long high = type == SqlType::Integer    ? 2147483647LL
                               : type == SqlType::SmallInt ? 32767
                               : type == SqlType::Bit      ? 1
                                                           : 127;
        const long long low = type == SqlType::Bit ? 0 : -high - 1;
        if (value.integer < low || value.integer > high)
            return refuse(kConversionErrorText);
        buffer.setInteger(row, static_cast<long>(value.integer));
        return true;
    }
    case SlotKind::Double:
    case SlotKind::Real: {
        if (value.kind != Kind::Real && value.kind != Kind::Integer)
            return refuse(kConversionErrorText);
        const double number = value.kind == Kind::Real ? value.real : static_cast<double>(value.integer);
        if (!std::isfinite(number) ||
            (buffer.kind() == SlotKind::Real && std::fabs(number) > std::numeric_limits<float>::max()))
            return refuse(kConversionErrorText);
        buffer.setReal(row, number);
        return true;
    }
    case SlotKind::Timestamp:
        if (value.kind != Kind::Date || !isValidDate(value.date) || type == SqlType::Time)
            return refuse(kConversionErrorText);
        buffer.setDate(row, value.date.year, value.date.month, value.date.day);
        return true;
    case SlotKind::Binary:
        if (value.kind != Kind::Bytes && value.kind != Kind::Text)
            return refuse(kConversionErrorText);
        return buffer.setBinary(row, value.bytes) || refuse(kFieldTooSmallText);
    case SlotKind::None:
        break;
    }
    return refuse(kConversionErrorText);
}

bool readValue(const ColumnBuffer& buffer, int row, FieldValue& value)
{
    value.setNull();
    if (buffer.kind() == SlotKind::None || buffer.isNull(row))
        return buffer.kind() != SlotKind::None;
    switch (buffer.kind()) {
    case SlotKind::Text: {
        if (buffer.truncated(row))
            return false;
        std::string text = buffer.text(row);
        const int type = buffer.sqlType();
        if (type == SqlType::Numeric || type == SqlType::Decimal)
            if (const std::optional<double> number = parseWholeDecimal(text)) {
                value.setReal(*number);
                return true;
            }
        value.setText(std::move(text));
        return true;
    }
    case SlotKind::Integer:
        value.setInteger(buffer.integer(row));
        return true;
    case SlotKind::TinyInt:
        value.setInteger(buffer.tinyInt(row));
        return true;
    case SlotKind::Double:
    case SlotKind::Real:
        value.setReal(buffer.real(row));
        return true;
    case SlotKind::Timestamp: {
        const SQL_TIMESTAMP_STRUCT& stamp = buffer.timestamp(row);
        value.setDate({stamp.year, stamp.month, stamp.day},
                      stamp.hour != 0 || stamp.minute != 0 || stamp.second != 0 || stamp.fraction != 0);
        return true;
    }
    case SlotKind::Binary:
        if (buffer.truncated(row))
            return false;
        value.setBytes(buffer.binary(row));
        return true;
    case SlotKind::None:
        break;
    }
    return false;
}

void tableCursorText(const ColumnBuffer& buffer, int row, std::string& text, MessageSink& sink)
{
    const int type = buffer.sqlType();
    if (buffer.kind() != SlotKind::None && buffer.isNull(row)) {
        text.clear();
        return;
    }
    switch (type) {
    case SqlType::Char:
    case SqlType::VarChar:
        text = trimTrailingBlanks(buffer.text(row));
        return;
    case SqlType::Numeric:
    case SqlType::Decimal:
        notice(sink, "DECIMAL NON GESTITO");
        return;
    case SqlType::Integer:
        text = formatText("%ld", buffer.integer(row));
        return;
    case SqlType::SmallInt:
        text = formatText("%d", static_cast<int>(buffer.integer(row)));
        return;
    case SqlType::TinyInt:
        text = formatText("%d", buffer.tinyInt(row));
        return;
    case SqlType::Float:
    case SqlType::Double:
        text = paddedFixedText(buffer.real(row), 4, 20, ' ');
        return;
    case SqlType::Real:
        text = paddedFixedText(buffer.real(row), 4, 20, ' ');
        return;
    case SqlType::Date:
    case SqlType::Time:
    case SqlType::Timestamp:
        text = dateText(buffer.timestamp(row));
        return;
    case SqlType::Bit:
        text = buffer.integer(row) != 0 ? "1" : "0";
        return;
    default:
        notice(sink, unknownTypeNotice(type));
        return;
    }
}

bool selectCursorText(const ColumnBuffer& buffer, int row, std::string& text, MessageSink& sink)
{
    const bool null = buffer.kind() == SlotKind::None || buffer.isNull(row);
    switch (buffer.sqlType()) {
    case SqlType::Char:
    case SqlType::VarChar:
    case SqlType::Numeric:
    case SqlType::Decimal:
        text = null ? std::string() : buffer.text(row);
        return true;
    case SqlType::Integer:
        text = null ? "0" : formatText("%ld", buffer.integer(row));
        return true;
    case SqlType::SmallInt:
    case SqlType::Bit:
        text = null ? "0" : formatText("%d", static_cast<int>(buffer.integer(row)));
        return true;
    case SqlType::TinyInt:
        text = null ? "0" : formatText("%d", buffer.tinyInt(row));
        return true;
    case SqlType::Float:
    case SqlType::Double:
        text = null ? "0,0" : formatAmountText(buffer.real(row));
        return true;
    case SqlType::Real:
        text = null ? "0,0" : formatRealText(static_cast<float>(buffer.real(row)));
        return true;
    case SqlType::Date:
    case SqlType::Time:
    case SqlType::Timestamp:
        text = null ? std::string() : dateText(buffer.timestamp(row));
        return true;
    default:
        sink.showMessage(unknownTypeMessage(buffer.sqlType()), MessageIcon::Error);
        return false;
    }
}

int selectShort(const ColumnBuffer& buffer, int row)
{
    if (buffer.kind() == SlotKind::None || buffer.isNull(row))
        return 0;
    switch (buffer.sqlType()) {
    case SqlType::SmallInt:
    case SqlType::Bit:
        return static_cast<int>(buffer.integer(row));
    case SqlType::TinyInt:
        return buffer.tinyInt(row);
    default:
        return 0;
    }
}

int selectLong(const ColumnBuffer& buffer, int row)
{
    if (buffer.sqlType() != SqlType::Integer || buffer.isNull(row))
        return 0;
    return static_cast<int>(buffer.integer(row));
}

double selectDouble(const ColumnBuffer& buffer, int row)
{
    const int type = buffer.sqlType();
    if ((type != SqlType::Double && type != SqlType::Float && type != SqlType::Real) || buffer.isNull(row))
        return 0;
    return buffer.real(row);
}

std::string selectText(const ColumnBuffer& buffer, int row)
{
    if (buffer.kind() == SlotKind::None || buffer.isNull(row))
        return {};
    switch (buffer.sqlType()) {
    case SqlType::Char:
    case SqlType::VarChar:
    case SqlType::Numeric:
    case SqlType::Decimal:
        return buffer.text(row);
    case SqlType::Date:
    case SqlType::Time:
    case SqlType::Timestamp:
        return dateText(buffer.timestamp(row));
    default:
        return {};
    }
}

} // namespace korvan::detail::odbc
