#pragma once

// A value read from a copy's source made into a value of the target
// column's kind (refdata/Schema.h): small and long integers, bits, doubles
// and single-precision numbers, dates, texts with their trailing blanks,
// long texts and bytes. What the column cannot hold is refused with the
// reason, never cut, rounded or wrapped: a number beyond the column's range
// or with a fraction in an integer column, a text longer than the column,
// an impossible date, a date outside the span the program's dates cover
// (1 January 1600 to 31 December 2400, the stored forms of "no date" and
// "open-ended") or a date with a time of day.

#include "db/FieldValue.h"
#include "refdata/Schema.h"

#include <string>

namespace korvan::transfer {

// False with the reason, in Italian, in `reason`; `out` is then NULL.
bool convertValue(const FieldValue& in, const schema::Column& column, FieldValue& out, std::string& reason);

} // namespace korvan::transfer
