// The one validator of each accounting command, without a database: the
// lists that depend on an earlier entry are asked for with the value read,
// only the first refusal is told, and the entries a command does not have
// are not read.

#include "accounting/AccountingEntries.h"
#include "accounting/AccountingInput.h"
#include "support/RecordingMessageSink.h"

#include <gtest/gtest.h>

namespace korvan::accounting {
namespace {

using refdata::EntryKind;
using refdata::invalidEntryMessage;

// Authorities 1 and 12; company 3 runs for 12 only; line "L'1" of (12, 3).
refdata::ContractEntries contract(std::string authorityText, std::string companyText,
                                  std::vector<int>* askedFor = nullptr)
{
    return {
        std::move(authorityText), {"0001 - Uno", "0012 - Dodici"}, std::move(companyText), [askedFor](int authority) {
            if (askedFor)
                askedFor->push_back(authority);
            return authority == 12 ? refdata::PickList{"0003 - Società Tre"} : refdata::PickList{};
        }};
}

AssignmentEntries validEntries()
{
    AssignmentEntries entries;
    entries.contract = contract("12", "3");
    entries.euroPerKmText = "1,25";
    return entries;
}

TEST(AccountingEntries, CompaniesAndLinesAreOfferedForTheEntriesRead)
{
    test::RecordingMessageSink sink;
    std::vector<int> askedFor;
    std::vector<std::pair<int, int>> linesAskedFor;
    AssignmentEntries entries = validEntries();
    entries.contract = contract("0012 - Dodici", "0003", &askedFor);
    entries.lineText = "l'1";
    entries.lineEntries = [&linesAskedFor](int authority, int company) {
        linesAskedFor.emplace_back(authority, company);
        return refdata::PickList{"L'1        - Città"};
    };
    const std::optional<AssignmentRequest> request = validateAssignment(entries, sink);
    ASSERT_TRUE(request) << sink.lastText();
    EXPECT_EQ(askedFor, std::vector<int>{12});
    EXPECT_EQ(linesAskedFor, (std::vector<std::pair<int, int>>{{12, 3}}));
    EXPECT_EQ(request->lineCode, "L'1");
    EXPECT_TRUE(request->minimumService);
    EXPECT_TRUE(sink.empty());

    // The company of another authority is refused once that authority is read.
    entries.contract = contract("1", "3", &askedFor);
    EXPECT_FALSE(validateAssignment(entries, sink));
    EXPECT_EQ(askedFor.back(), 1);
    EXPECT_EQ(sink.lastText(), invalidEntryMessage(EntryKind::Company));
}

TEST(AccountingEntries, OnlyTheFirstRefusalIsToldInTheDialogOrder)
{
    test::RecordingMessageSink sink;
    AssignmentEntries entries = validEntries();
    entries.lineText = "ZZ";
    entries.lineEntries = [](int, int) { return refdata::PickList{"A          - x"}; };
    entries.euroPerKmText = "abc";
    entries.payerText = "99";
    entries.bandTexts = std::make_pair("25.00", "");
    entries.period = PeriodEntries{"31/02/2025", ""};

    const std::vector<std::string> expected = {invalidEntryMessage(EntryKind::Line), invalidEuroPerKmMessage(),
                                               invalidEntryMessage(EntryKind::PayingAuthority),
                                               invalidTimeMessage(true), invalidPeriodDateMessage(true)};
    for (const std::string& message : expected) {
        sink.clear();
        EXPECT_FALSE(validateAssignment(entries, sink));
        ASSERT_EQ(sink.entries.size(), 1u);
        EXPECT_EQ(sink.entries[0].text, message);
        EXPECT_EQ(sink.entries[0].icon, MessageIcon::Error);
        // Put this entry right and the next one is told.
        if (message == expected[0])
            entries.lineText = "a";
        else if (message == expected[1])
            entries.euroPerKmText = "0.5";
        else if (message == expected[2])
            entries.payerEntries = {"0099 - Pagante"};
        else if (message == expected[3])
            entries.bandTexts = std::make_pair("6.00", "20.30");
    }
    entries.period = PeriodEntries{"01/03/2025", "31-03-25"};
    sink.clear();
    const std::optional<AssignmentRequest> request = validateAssignment(entries, sink);
    ASSERT_TRUE(request) << sink.lastText();
    EXPECT_FALSE(request->minimumService);
    EXPECT_EQ(request->payingAuthority, 99);
    EXPECT_EQ(request->bandFrom, 600);
    EXPECT_EQ(request->bandTo, 2030);
    EXPECT_EQ(request->periodEnd.day, 31);
}

TEST(AccountingEntries, CalendarChecksTheContractBeforeThePeriod)
{
    test::RecordingMessageSink sink;
    EXPECT_FALSE(validateCalendarEntries(contract("5", "3"), {"", ""}, sink));
    EXPECT_EQ(sink.lastText(), invalidEntryMessage(EntryKind::Authority));
    sink.clear();
    EXPECT_FALSE(validateCalendarEntries(contract("12", "3"), {"01/01/2025", "32/01/2025"}, sink));
    EXPECT_EQ(sink.lastText(), invalidPeriodDateMessage(false));
    sink.clear();
    const std::optional<CalendarRequest> request =
        validateCalendarEntries(contract("12", "3"), {"01/01/2025", "31/12/2025"}, sink);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->authority, 12);
    EXPECT_EQ(request->company, 3);
    EXPECT_TRUE(sink.empty());
}

} // namespace
} // namespace korvan::accounting
