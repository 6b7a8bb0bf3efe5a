#pragma once

// The contract as every contract dialog and korvan-batch read it: the
// authority typed or chosen among the authorities offered, then the company
// among the companies offered for it. A refusal is shown (stop icon) and
// gives nothing.

#include "refdata/PickLists.h"

#include <functional>
#include <optional>
#include <string>

namespace korvan {
class MessageSink;
}

namespace korvan::refdata {

struct ContractEntries {
    std::string authorityText;
    PickList authorityEntries;
    std::string companyText;
    // The companies offered once the authority has been read: a dialog's
    // list as it stands, the batch's query for that authority.
    std::function<PickList(int authority)> companyEntries;
};

struct Contract {
    int authority = -1;
    int company = -1;
};

// Authority, then company.
std::optional<Contract> validateContract(const ContractEntries& entries, MessageSink& sink);

// Shows `message` with the stop icon; nothing to return.
std::nullopt_t refuseEntry(MessageSink& sink, const std::string& message);

} // namespace korvan::refdata
