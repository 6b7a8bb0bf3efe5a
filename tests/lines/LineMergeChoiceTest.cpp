// The order and texts of the checks made before a merge.

#include "lines/LineMerge.h"
#include "support/RecordingMessageSink.h"

#include "db/MessageSink.h"

#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::lines;
using Entries = std::vector<std::string>;

namespace {

const std::string kBadSource = "ATTENZIONE: Il codice della Linea da eliminare non è valido.\n\n"
                               "Occorre selezionare un Codice Linea presente nella lista.\n\n";
const std::string kBadTarget = "ATTENZIONE: Il codice della Linea che accetta le corse non è valido.\n\n"
                               "Occorre selezionare un Codice Linea presente nella lista.\n\n";
const std::string kSameLines = "ATTENZIONE: I codice delle due Linee non possono essere identici.";
const std::string kBadAuthority = "ATTENZIONE: Il Codice Ente non è valido.\n\n"
                                  "Occorre selezionare un Codice Ente presente nella lista.\n\n";

MergeChoice choice(const std::string& authority, const std::string& source, const std::string& target)
{
    const Entries lines{"0000 - A", "0007 - 12", "0010 - SANT'ANNA"};
    return {authority, {"0001 - Città Alfa"}, source, lines, target, lines};
}

// The one message the checks showed ("" when none), with its icon checked.
std::string refusal(const MergeChoice& merge, std::optional<MergeRequest>* result = nullptr)
{
    test::RecordingMessageSink sink;
    const std::optional<MergeRequest> request = validateMerge(merge, sink);
    if (result)
        *result = request;
    EXPECT_EQ(request.has_value(), sink.empty());
    EXPECT_LE(sink.entries.size(), 1u);
    if (sink.empty())
        return "";
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Error);
    return sink.entries[0].text;
}

TEST(ValidateMerge, ChecksAuthoritySourceTargetAndDifferenceInThisOrder)
{
    EXPECT_EQ(refusal(choice("Città", "xx", "xx")), kBadAuthority);
    EXPECT_EQ(refusal(choice("0001 - Città Alfa", "12", "xx")), kBadSource);
    EXPECT_EQ(refusal(choice("1", "7", "12")), kBadTarget);
    EXPECT_EQ(refusal(choice("1", "0007 - 12", "7")), kSameLines);
}

TEST(ValidateMerge, AcceptsLineNumbersTypedShortAndLineZero)
{
    std::optional<MergeRequest> request;
    EXPECT_EQ(refusal(choice("0001", "7", "0000 - A"), &request), "");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->authority, 1);
    EXPECT_EQ(request->source, 7);
    EXPECT_EQ(request->target, 0);
    // An empty target reads as line 0, which is listed.
    EXPECT_EQ(refusal(choice("1", "10", ""), &request), "");
    EXPECT_EQ(request->target, 0);
}

TEST(ReadLineNumberEntry, OnlyListedNumbersAreChosen)
{
    const Entries lines{"0000 - A", "0007 - 12"};
    EXPECT_EQ(readLineNumberEntry("7", lines), 7);
    EXPECT_EQ(readLineNumberEntry("0007 - 12", lines), 7);
    EXPECT_EQ(readLineNumberEntry("", lines), 0);
    EXPECT_FALSE(readLineNumberEntry("12", lines)); // a code, not a number
    EXPECT_FALSE(readLineNumberEntry("A", lines));
    EXPECT_FALSE(readLineNumberEntry("", Entries{"0007 - 12"}));
}

} // namespace
