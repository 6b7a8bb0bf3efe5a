#pragma once

namespace korvan {

// ODBC SQL data type codes, used to declare select items and to describe
// table columns on every back end.
namespace SqlType {
constexpr int Char = 1;
constexpr int Numeric = 2;
constexpr int Decimal = 3;
constexpr int Integer = 4;
constexpr int SmallInt = 5;
constexpr int Float = 6;
constexpr int Real = 7;
constexpr int Double = 8;
constexpr int Date = 9;
constexpr int Time = 10;
constexpr int Timestamp = 11;
constexpr int VarChar = 12;
constexpr int LongVarChar = -1;
constexpr int LongVarBinary = -4;
constexpr int BigInt = -5; // not bound by the layer; known to the schema check
constexpr int TinyInt = -6;
constexpr int Bit = -7;
} // namespace SqlType

} // namespace korvan
