// The accounting dialogs over the current contract: the four assignments,
// the service-day calendar and the three removals.

#include "Shots.h"
#include "WindowGrab.h"
#include "shell/MainWindow.h"
#include "ui/accounting/BaseAssignmentDialog.h"
#include "ui/accounting/CalendarGenerationDialog.h"
#include "ui/accounting/SplitRemovalDialog.h"

namespace korvan::screenshots {

namespace {

using korvan::accounting::AssignmentKind;
using korvan::accounting::RemovalMode;

Shot assignment(const char* name, AssignmentKind kind)
{
    return {name, [kind](ShotContext& context) {
                ui::accounting::BaseAssignmentDialog dialog(kind, context.connection(), context.sink,
                                                            context.feedback(), context.authority(), context.company(),
                                                            &context.window);
                return grabWindow(dialog);
            }};
}

Shot removal(const char* name, RemovalMode mode)
{
    return {name, [mode](ShotContext& context) {
                ui::accounting::SplitRemovalDialog dialog(mode, context.connection(), context.sink, context.authority(),
                                                          context.company(), &context.window);
                return grabWindow(dialog);
            }};
}

Picture calendarGeneration(ShotContext& context)
{
    ui::accounting::CalendarGenerationDialog dialog(context.connection(), context.sink, context.authority(),
                                                    context.company(), context.periodStart(), context.periodEnd(),
                                                    &context.window);
    return grabWindow(dialog);
}

const ShotList accountingShots("accounting",
                               {
                                   assignment("assignment-contract", AssignmentKind::Contract),
                                   assignment("assignment-line", AssignmentKind::Line),
                                   assignment("assignment-day-type", AssignmentKind::DayType),
                                   assignment("assignment-time-band", AssignmentKind::TimeBand),
                                   {"calendar-generation", calendarGeneration},
                                   removal("removal-additional-financing", RemovalMode::AdditionalFinancing),
                                   removal("removal-calendar-splits", RemovalMode::CalendarSplits),
                                   removal("removal-itinerary-splits", RemovalMode::ItinerarySplits),
                               });

} // namespace

} // namespace korvan::screenshots
