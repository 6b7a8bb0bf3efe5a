#include "ui/runs/SplitViewRuns.h"

namespace korvan::ui::runs {

korvan::runs::SplitRun splitRunOf(const korvan::runs::RunRow& row)
{
    korvan::runs::SplitRun run;
    run.company = row.company;
    run.runId = row.runId;
    run.routeCode = row.routeCode;
    run.grantingAuthority = row.grantingAuthority;
    run.payingAuthority = row.payingAuthority;
    run.minimumService = row.minimumService;
    run.lengthMetres = row.lengthMetres;
    run.amount = row.amount;
    return run;
}

std::vector<korvan::runs::SplitRun> selectedSplitRuns(const korvan::runs::RunListModel& model)
{
    std::vector<korvan::runs::SplitRun> runs;
    for (const korvan::runs::RunRow& row : model.rows())
        if (row.selected)
            runs.push_back(splitRunOf(row));
    return runs;
}

} // namespace korvan::ui::runs
