// The dialogs of the normalized lines: edit and merge, with an authority and
// its lines chosen.

#include "Shots.h"
#include "WindowGrab.h"
#include "shell/MainWindow.h"
#include "ui/common/PickListCombo.h"
#include "ui/lines/LineEditDialog.h"
#include "ui/lines/LineMergeDialog.h"

namespace korvan::screenshots {

namespace {

Picture lineEdit(ShotContext& context)
{
    ui::lines::LineEditDialog dialog(context.connection(), &context.window);
    chooseEntry(dialog.authorityList(), 0);
    chooseEntry(dialog.lineList(), 0);
    return grabWindow(dialog);
}

Picture lineMerge(ShotContext& context)
{
    ui::lines::LineMergeDialog dialog(context.connection(), context.sink, &context.window);
    chooseEntry(dialog.authorityList(), 0);
    chooseEntry(dialog.sourceList(), 0);
    chooseEntry(dialog.targetList(), 1);
    return grabWindow(dialog);
}

const ShotList linesShots("lines", {
                                       {"line-edit", lineEdit},
                                       {"line-merge", lineMerge},
                                   });

} // namespace

} // namespace korvan::screenshots
