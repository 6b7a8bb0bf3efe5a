#pragma once

// The pick lists of authorities ("Ente"), companies ("Azienda") and
// normalized lines ("Linea") that the dialogs offer in their combo boxes,
// and the rules that read a choice back at OK time. Each filler runs one
// grouped SELECT and returns the entry texts in query order; the widget
// helpers of PickListCombo.h put them into a combo box. Entry forms:
//   authority, company      "0012 - Name"   (code "%04d", " - ", name)
//   line by code            "%-10s - %s"    ("12         - Name")
//   line by number          "0003 - 12"     (linee.ID "%04d", " - ", code)
// A query that fails has been reported by the database layer and gives an
// empty list.

#include <optional>
#include <string>
#include <vector>

namespace korvan {
class DbConnection;
}

namespace korvan::refdata {

using PickList = std::vector<std::string>;

// Authorities that own at least one normalized line, by name.
PickList authoritiesWithLines(DbConnection* connection);
// Every authority, by name.
PickList allAuthorities(DbConnection* connection);
// Authorities that pay additional service of some run, day or arc
// (`concors`, `conkal` or `conitine`), by name.
PickList additionalFundingAuthorities(DbConnection* connection);
// Companies operating runs granted by the authority, by name.
PickList companiesOfAuthority(DbConnection* connection, int authority);
// The run filter's variant of companiesOfAuthority: the join is written the
// other way round and selects the same rows.
PickList companiesOfAuthorityForRunFilter(DbConnection* connection, int authority);
// Lines of the contract's runs, "%-10s - %s" of code and name, by code.
PickList contractLinesByCode(DbConnection* connection, int authority, int company);
// Every line of the authority, "%04d - %s" of number and code, by code.
PickList authorityLines(DbConnection* connection, int authority);
// Lines of the contract's runs, "%04d - %s" of number and code, by code.
PickList contractLinesById(DbConnection* connection, int authority, int company);

// Index of the first entry that begins with `prefix`, compared without
// regard to ASCII letter case as a combo box searches; -1 when none.
int findEntryWithPrefix(const PickList& entries, const std::string& prefix);
// Where selectByCode puts the selection: the first entry beginning with the
// code written "%04d"; -1 when the code is -1 or no entry matches.
int entryIndexForCode(const PickList& entries, int code);
// The code of an entry: its first four characters read as an integer
// ("0012 - Name" gives 12; a text without leading digits gives 0).
int codeOfEntry(const std::string& entryText);

// The OK-time reading of an authority, company or paying-authority field:
// the first four characters of the typed text must be digits (an empty text
// reads 0) and be followed by nothing or a blank, the value written "%04d"
// must begin an entry, and it must be at least 1. "12", "0012" and
// "0012 - Name" are accepted when an entry "0012 - ..." exists; "0012x",
// "12345" and a typed name are refused.
std::optional<int> readCodeEntry(const std::string& editText, const PickList& entries);
// The OK-time reading of a line code (line by code lists): the first ten
// characters of the text without trailing blanks; refused when that is empty
// or no entry begins with it. The code returned is the accepted entry's code
// as stored: the entry with exactly that code, else the first entry that
// begins with the text ignoring letter case.
std::optional<std::string> readLineCodeEntry(const std::string& editText, const PickList& entries);

// The four kinds of entry whose refusal has its own message.
enum class EntryKind { Authority, Company, PayingAuthority, Line };
// The two-paragraph message shown (stop icon) when an entry is refused.
std::string invalidEntryMessage(EntryKind kind);

} // namespace korvan::refdata
