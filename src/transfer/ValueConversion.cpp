#include "transfer/ValueConversion.h"

#include "db/SqlTypes.h"
#include "db/Values.h"

#include <cmath>
#include <limits>

namespace korvan::transfer {

namespace {

using Kind = FieldValue::Kind;

bool refuse(FieldValue& out, std::string& reason, std::string why)
{
    out.setNull();
    reason = std::move(why);
    return false;
}

const char* kindText(int sqlType)
{
    switch (sqlType) {
    case SqlType::SmallInt:
        return "un intero a 16 bit";
    case SqlType::Integer:
        return "un intero a 32 bit";
    case SqlType::Bit:
        return "un valore sì/no (0 o 1)";
    case SqlType::Double:
        return "un numero";
    case SqlType::Real:
        return "un numero a precisione singola";
    case SqlType::Date:
        return "una data";
    case SqlType::LongVarBinary:
        return "una sequenza di byte";
    default:
        return "un testo";
    }
}

bool toInteger(const FieldValue& in, int sqlType, FieldValue& out, std::string& reason)
{
    long long number = 0;
    if (in.kind == Kind::Integer) {
        number = in.integer;
    } else if (in.kind == Kind::Real && std::isfinite(in.real) && in.real == std::trunc(in.real) &&
               std::fabs(in.real) < 9.2e18) {
        number = static_cast<long long>(in.real);
    } else {
        return refuse(out, reason, std::string("Il valore non è ") + kindText(sqlType) + ".");
    }
    const long long high = sqlType == SqlType::SmallInt ? 32767 : sqlType == SqlType::Bit ? 1 : 2147483647LL;
    const long long low = sqlType == SqlType::Bit ? 0 : -high - 1;
    // JET and SQL Server keep true as -1.
    if (sqlType == SqlType::Bit && number == -1)
        number = 1;
    if (number < low || number > high)
        return refuse(out, reason,
                      formatText("Il numero è fuori dall'intervallo della colonna (da %lld a %lld).", low, high));
    out.setInteger(number);
    return true;
}

bool toNumber(const FieldValue& in, int sqlType, FieldValue& out, std::string& reason)
{
    double number = 0;
    if (in.kind == Kind::Integer)
        number = static_cast<double>(in.integer);
    else if (in.kind == Kind::Real)
        number = in.real;
    else
        return refuse(out, reason, std::string("Il valore non è ") + kindText(sqlType) + ".");
    if (!std::isfinite(number))
        return refuse(out, reason, "Il valore non è un numero finito.");
    if (sqlType == SqlType::Real && std::fabs(number) > std::numeric_limits<float>::max())
        return refuse(out, reason, "Il numero è troppo grande per la precisione singola.");
    out.setReal(number);
    return true;
}

bool toDate(const FieldValue& in, FieldValue& out, std::string& reason)
{
    if (in.kind != Kind::Date)
        return refuse(out, reason, "Il valore memorizzato non è una data.");
    if (!isValidDate(in.date))
        return refuse(out, reason,
                      formatText("Data impossibile: %04d-%02d-%02d non è un giorno del calendario.", in.date.year,
                                 in.date.month, in.date.day));
    if (in.timeOfDay)
        return refuse(out, reason, "La data ha anche un'ora del giorno, che una colonna di date non conserva.");
    const int key = in.date.key();
    if (key < 16000101 || key > 24001231)
        return refuse(out, reason,
                      "La data " + formatDateText(in.date) +
                          " è fuori dall'intervallo delle date gestite (dal 01/01/1600 al 31/12/2400).");
    out.setDate(in.date);
    return true;
}

bool toText(const FieldValue& in, const schema::Column& column, FieldValue& out, std::string& reason)
{
    std::string text;
    switch (in.kind) {
    case Kind::Text:
        text = in.bytes;
        break;
    case Kind::Integer:
        text = std::to_string(in.integer);
        break;
    case Kind::Real:
        text = shortestText(in.real);
        break;
    case Kind::Date:
        text = formatDateText(in.date);
        break;
    default:
        return refuse(out, reason, "Il valore non è un testo.");
    }
    const int characters = utf8CharacterCount(text);
    if (column.sqlType != SqlType::LongVarChar && column.width > 0 && characters > column.width)
        return refuse(
            out, reason,
            formatText("Il testo è più lungo della colonna (%d caratteri, al più %d).", characters, column.width));
    out.setText(std::move(text));
    return true;
}

} // namespace

bool convertValue(const FieldValue& in, const schema::Column& column, FieldValue& out, std::string& reason)
{
    reason.clear();
    if (in.isNull()) {
        out.setNull();
        return true;
    }
    switch (column.sqlType) {
    case SqlType::SmallInt:
    case SqlType::Integer:
    case SqlType::Bit:
        return toInteger(in, column.sqlType, out, reason);
    case SqlType::Double:
    case SqlType::Real:
        return toNumber(in, column.sqlType, out, reason);
    case SqlType::Date:
        return toDate(in, out, reason);
    case SqlType::LongVarBinary:
        if (in.kind != Kind::Bytes && in.kind != Kind::Text)
            return refuse(out, reason, "Il valore non è una sequenza di byte.");
        out.setBytes(in.bytes);
        return true;
    default:
        return toText(in, column, out, reason);
    }
}

} // namespace korvan::transfer
