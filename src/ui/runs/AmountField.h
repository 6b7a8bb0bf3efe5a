#pragma once

// The amount edit of the per-run, per-day and per-arc accounting dialogs.
// It takes kAmountMaxLength characters as typed, but a stored amount is
// shown whole whatever its length: Qt cuts a text the program sets at the
// edit's limit, and OK would then write the cut number back.

class QLineEdit;

namespace korvan::ui::runs {

// Shows `amount` as "%1.2f": the edit holds at least the typed limit and
// the whole text, and is wide enough to show it.
void showAmount(QLineEdit* edit, double amount);

} // namespace korvan::ui::runs
