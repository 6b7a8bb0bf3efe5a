#include "db/Locks.h"

#include "db/Values.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace korvan {

namespace {

std::string& programName()
{
    static std::string name = "KORVAN";
    return name;
}

std::string userName()
{
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_name)
        return entry->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

std::string hostName()
{
    char buffer[256] = {0};
    if (gethostname(buffer, sizeof buffer - 1) != 0)
        return {};
    return buffer;
}

// "KORVAN mario@ufficio-2 (utente korvan, indirizzo 10.0.0.7), collegato
// dal 09/12/2026 08:14, in uso dal 09/12/2026 09:02"
std::string holderText(const LockHolder& holder)
{
    std::string text = holder.application.empty() ? std::string("un programma senza nome") : holder.application;
    std::string details;
    if (!holder.user.empty())
        details = "utente " + holder.user;
    if (!holder.address.empty())
        details += (details.empty() ? "" : ", ") + std::string("indirizzo ") + holder.address;
    if (!details.empty())
        text += " (" + details + ")";
    if (!holder.connectedSince.empty())
        text += ", collegato dal " + holder.connectedSince;
    if (!holder.inUseSince.empty())
        text += ", in uso dal " + holder.inUseSince;
    if (holder.authority >= 0)
        text += ", sul contratto " + contractText(holder.authority, holder.company);
    if (holder.pendingChanges)
        text += ", con variazioni in sospeso";
    return text;
}

std::string holdersParagraph(const LockConflict& conflict)
{
    if (conflict.holders.empty())
        return {};
    std::string text = "In uso da:";
    for (const LockHolder& holder : conflict.holders)
        text += "\n- " + holderText(holder);
    return text + "\n\n";
}

bool heldExclusive(const LockConflict& conflict)
{
    return std::any_of(conflict.holders.begin(), conflict.holders.end(),
                       [](const LockHolder& holder) { return holder.exclusive; });
}

// The first paragraph: what is in use, and for what.
std::string whatIsInUse(const LockConflict& conflict)
{
    const LockScope& scope = conflict.scope;
    if (conflict.holders.empty())
        return "ATTENZIONE: la base dati è in uso per un'altra operazione (un solo operatore alla volta "
               "vi scrive).";
    if (conflict.databaseBusy && heldExclusive(conflict))
        return "ATTENZIONE: la base dati è in uso per l'estrazione o la modifica delle linee normalizzate, "
               "che escludono ogni altra operazione.";
    if (conflict.databaseBusy)
        return "ATTENZIONE: la base dati è in uso: altri operatori lavorano sui contratti di servizio, e "
               "l'estrazione e la modifica delle linee normalizzate richiedono che nessuno vi lavori.";
    const std::string contract = "il contratto di servizio " + contractText(scope.authority, scope.company);
    if (conflict.heldForPendingChanges())
        return "ATTENZIONE: " + contract +
               " è in uso: un altro operatore ne ha variato le corse e non ha ancora registrato le variazioni.";
    return "ATTENZIONE: " + contract + " è in uso per un'altra operazione.";
}

std::string whatToDo(const LockConflict& conflict)
{
    if (conflict.heldForPendingChanges())
        return "Occorre attendere che l'altro operatore registri o annulli le variazioni (\"Aggiorna Vista\", "
               "\"Ripristina\" o \"Fine\" nella consultazione delle corse) e riprovare.\n\n";
    return "Occorre attendere il termine dell'operazione in corso e riprovare.\n\n";
}

} // namespace

bool LockConflict::heldForPendingChanges() const
{
    return std::any_of(holders.begin(), holders.end(), [](const LockHolder& holder) { return holder.pendingChanges; });
}

std::string contractText(int authority, int company)
{
    return formatText("ente %04d, azienda %04d", authority, company);
}

std::string lockConflictMessage(const LockConflict& conflict)
{
    return whatIsInUse(conflict) + "\n\n" + holdersParagraph(conflict) + whatToDo(conflict);
}

std::string lockWaitBanner(const LockConflict& conflict)
{
    const std::string what = conflict.scope.kind == LockScope::Kind::Contract && !conflict.databaseBusy
                                 ? "del contratto " + contractText(conflict.scope.authority, conflict.scope.company)
                                 : std::string("della base dati");
    std::string by;
    if (!conflict.holders.empty() && !conflict.holders.front().application.empty())
        by = ", in uso da " + conflict.holders.front().application;
    return "In attesa " + what + by + ": \"Interrompi\" per rinunciare";
}

void setClientProgramName(const std::string& program)
{
    programName() = program;
}

std::string clientApplicationName()
{
    std::string name = programName();
    const std::string user = userName(), host = hostName();
    if (!user.empty() || !host.empty())
        name += " " + user + "@" + host;
    // The server keeps printable ASCII only, 63 bytes of it; a quote would
    // end the statement that sets it.
    for (char& c : name)
        if (c < 0x20 || c > 0x7e || c == '\'' || c == '\\')
            c = '?';
    return name.substr(0, 63);
}

} // namespace korvan
