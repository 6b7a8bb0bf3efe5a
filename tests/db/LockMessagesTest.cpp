// The refusal of work whose lock a colleague holds: what is in use, by whom
// and since when, and what to do, for each kind of holder.

#include "db/Locks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvan {
namespace {

LockHolder browserHolder()
{
    LockHolder holder;
    holder.application = "KORVAN mario@ufficio-2";
    holder.user = "korvan";
    holder.address = "10.0.0.7";
    holder.connectedSince = "09/12/2026 08:14";
    holder.inUseSince = "09/12/2026 09:02";
    holder.pendingChanges = true;
    return holder;
}

LockHolder operationHolder()
{
    LockHolder holder;
    holder.application = "korvan-batch generate-days anna@ufficio-3";
    holder.user = "korvan";
    holder.connectedSince = "09/12/2026 10:00";
    holder.inUseSince = "09/12/2026 10:00";
    return holder;
}

struct MessageCase {
    const char* name;
    LockConflict conflict;
    std::string expected;
};

LockConflict conflictOf(const LockScope& scope, bool databaseBusy, std::vector<LockHolder> holders)
{
    LockConflict conflict;
    conflict.scope = scope;
    conflict.databaseBusy = databaseBusy;
    conflict.holders = std::move(holders);
    return conflict;
}

std::vector<MessageCase> messageCases()
{
    LockHolder lines = operationHolder();
    lines.application = "korvan-batch extract-lines anna@ufficio-3";
    lines.exclusive = true;
    LockHolder onContract = operationHolder();
    onContract.authority = 4;
    onContract.company = 2;
    LockHolder withoutRights;
    withoutRights.application = "KORVAN piero@ufficio-1";
    withoutRights.user = "piero";
    return {
        {"BrowserPendingChanges", conflictOf(LockScope::contract(4, 2), false, {browserHolder()}),
         "ATTENZIONE: il contratto di servizio ente 0004, azienda 0002 è in uso: un altro operatore ne ha variato "
         "le corse e non ha ancora registrato le variazioni.\n\n"
         "In uso da:\n- KORVAN mario@ufficio-2 (utente korvan, indirizzo 10.0.0.7), collegato dal 09/12/2026 08:14, "
         "in uso dal 09/12/2026 09:02, con variazioni in sospeso\n\n"
         "Occorre attendere che l'altro operatore registri o annulli le variazioni (\"Aggiorna Vista\", "
         "\"Ripristina\" o \"Fine\" nella consultazione delle corse) e riprovare.\n\n"},
        {"ContractOperation", conflictOf(LockScope::contract(4, 2), false, {operationHolder()}),
         "ATTENZIONE: il contratto di servizio ente 0004, azienda 0002 è in uso per un'altra operazione.\n\n"
         "In uso da:\n- korvan-batch generate-days anna@ufficio-3 (utente korvan), collegato dal 09/12/2026 10:00, "
         "in uso dal 09/12/2026 10:00\n\n"
         "Occorre attendere il termine dell'operazione in corso e riprovare.\n\n"},
        {"LinesExcludeContractWork", conflictOf(LockScope::contract(4, 2), true, {lines}),
         "ATTENZIONE: la base dati è in uso per l'estrazione o la modifica delle linee normalizzate, che escludono "
         "ogni altra operazione.\n\n"
         "In uso da:\n- korvan-batch extract-lines anna@ufficio-3 (utente korvan), collegato dal 09/12/2026 10:00, "
         "in uso dal 09/12/2026 10:00\n\n"
         "Occorre attendere il termine dell'operazione in corso e riprovare.\n\n"},
        {"ContractWorkExcludesLines", conflictOf(LockScope::database(), true, {onContract, withoutRights}),
         "ATTENZIONE: la base dati è in uso: altri operatori lavorano sui contratti di servizio, e l'estrazione e "
         "la modifica delle linee normalizzate richiedono che nessuno vi lavori.\n\n"
         "In uso da:\n- korvan-batch generate-days anna@ufficio-3 (utente korvan), collegato dal 09/12/2026 10:00, "
         "in uso dal 09/12/2026 10:00, sul contratto ente 0004, azienda 0002\n"
         "- KORVAN piero@ufficio-1 (utente piero)\n\n"
         "Occorre attendere il termine dell'operazione in corso e riprovare.\n\n"},
        {"FileWithoutHolders", conflictOf(LockScope::contract(4, 2), false, {}),
         "ATTENZIONE: la base dati è in uso per un'altra operazione (un solo operatore alla volta vi scrive).\n\n"
         "Occorre attendere il termine dell'operazione in corso e riprovare.\n\n"},
    };
}

class LockMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(LockMessage, SaysWhatIsInUseByWhomAndWhatToDo)
{
    EXPECT_EQ(lockConflictMessage(GetParam().conflict), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Holders, LockMessage, ::testing::ValuesIn(messageCases()),
                         [](const ::testing::TestParamInfo<MessageCase>& param) { return param.param.name; });

TEST(LockWaitBanner, NamesTheContractAndItsHolder)
{
    EXPECT_EQ(lockWaitBanner(conflictOf(LockScope::contract(4, 2), false, {browserHolder()})),
              "In attesa del contratto ente 0004, azienda 0002, in uso da KORVAN mario@ufficio-2: \"Interrompi\" "
              "per rinunciare");
    EXPECT_EQ(lockWaitBanner(conflictOf(LockScope::contract(4, 2), true, {})),
              "In attesa della base dati: \"Interrompi\" per rinunciare");
}

TEST(ClientApplicationName, IsPrintableAsciiWithoutQuotesAndFitsTheServer)
{
    setClientProgramName("korvan-batch l'estrazione à \\ " + std::string(80, 'x'));
    const std::string name = clientApplicationName();
    EXPECT_EQ(name.rfind("korvan-batch l?estrazione ?? ? ", 0), 0u) << name;
    EXPECT_EQ(name.size(), 63u);
    for (char c : name)
        EXPECT_TRUE(c >= 0x20 && c <= 0x7e && c != '\'') << name;
    setClientProgramName("KORVAN");
    EXPECT_EQ(clientApplicationName().rfind("KORVAN ", 0), 0u);
    EXPECT_NE(clientApplicationName().find('@'), std::string::npos);
}

} // namespace
} // namespace korvan
