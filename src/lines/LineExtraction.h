#pragma once

// Extraction of normalized lines: rebuilds `linee` and `conline` from the
// runs in `corse`. One line per distinct (company, authority, raw line code)
// triple, numbered densely from 0 in the order of company, authority and raw
// code; every run is tied to the first line whose company, authority and
// normalized code equal its own. All earlier lines, assignments and line
// names are replaced. The runs are read before anything is removed, and the
// whole extraction is one all-or-nothing transaction: interrupted or failed,
// it leaves both tables as they were after one message.

#include <string>

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
} // namespace korvan

namespace korvan::lines {

// Trailing blanks removed; a code left empty becomes one blank. Case and
// inner blanks are kept ("12 " -> "12", "  " -> " ", "a b" -> "a b").
std::string normalizeLineCode(const std::string& rawCode);

// The question asked before anything is touched.
std::string extractionConfirmationText();
// The closing notice.
std::string extractionDoneText();

struct ExtractionResult {
    bool confirmed = false; // false: the user declined, nothing was touched
    bool completed = false; // committed; otherwise nothing changed
    int rowsDeleted = 0;    // earlier `conline` and `linee` rows removed
    int linesCreated = 0;   // `linee` rows handed to the bulk insert
    int runsAssigned = 0;   // `conline` rows handed to the bulk insert
};

// The whole operation: confirmation, busy indicator, the three banner
// phases with progress over each step (extraction, deletion, the two bulk
// inserts) and the closing notice. A database failure has been shown by the
// database layer: the operation stops there and nothing is changed.
ExtractionResult extractNormalizedLines(DbConnection* connection, MessageSink& sink, OperationFeedback& feedback);

} // namespace korvan::lines
