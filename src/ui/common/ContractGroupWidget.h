#pragma once

// The "Selezione Contratto" group of the contract dialogs: the authority and
// company lists, filled with the current contract preselected, the company
// list following the authority.

#include "ui/common/PickListCombo.h"

#include <QFormLayout>
#include <QGroupBox>

namespace korvan::ui {

struct ContractGroup {
    QGroupBox* group;
    PickListCombo* authority;
    PickListCombo* company;
};

inline ContractGroup makeContractGroup(DbConnection* connection, int currentAuthority, int currentCompany)
{
    ContractGroup contract{new QGroupBox(QStringLiteral("Selezione Contratto")), new PickListCombo, new PickListCombo};
    contract.authority->setObjectName("authorityCombo");
    contract.company->setObjectName("companyCombo");
    auto* form = new QFormLayout(contract.group);
    form->addRow(QStringLiteral("Ente"), contract.authority);
    form->addRow(QStringLiteral("Azienda"), contract.company);
    fillContractLists(connection, contract.authority, contract.company, currentAuthority, currentCompany);
    connectCompanyCascade(connection, contract.authority, contract.company);
    return contract;
}

} // namespace korvan::ui
