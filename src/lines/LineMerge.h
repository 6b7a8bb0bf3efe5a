#pragma once

// Line merge: every run of a source line moves to a target line of the same
// authority, and the source line is deleted. The choice is validated first
// in a fixed order, each refusal with its own message.

#include "refdata/PickLists.h"

#include <optional>
#include <string>

namespace korvan {
class DbConnection;
class MessageSink;
} // namespace korvan

namespace korvan::lines {

// A line typed or chosen in a "%04d - code" list: the first four characters
// must be digits (an empty text reads 0) and their value written "%04d"
// must begin an entry. "7" chooses line 0007 when listed; a code is refused.
std::optional<int> readLineNumberEntry(const std::string& editText, const refdata::PickList& entries);

// What the dialog holds when OK is pressed: each field's text and entries.
struct MergeChoice {
    std::string authorityText;
    refdata::PickList authorityEntries;
    std::string sourceText;
    refdata::PickList sourceEntries;
    std::string targetText;
    refdata::PickList targetEntries;
};

struct MergeRequest {
    int authority = 0;
    int source = 0;
    int target = 0;
};

// Checks authority, source line, target line and their difference, in this
// order; the first refusal is shown (stop icon) and gives nothing.
std::optional<MergeRequest> validateMerge(const MergeChoice& choice, MessageSink& sink);

// Moves the runs of `source` to `target`, deletes line `source` and shows
// "Trasferite %d Corse", all in one transaction. Returns the runs moved, or
// -1 when it failed (the failure has been shown and nothing changed).
int mergeLines(DbConnection* connection, int source, int target, MessageSink& sink);

} // namespace korvan::lines
