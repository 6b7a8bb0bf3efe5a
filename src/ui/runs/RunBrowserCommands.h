#pragma once

// The command ids of the run browser: its bar buttons and the list's pop-up
// menu send the same ones. The sort orders are 5128..5140 (runs/RunOrder.h).

namespace korvan::ui::runs::command {

inline constexpr int SelectLine = 1025;
inline constexpr int RefreshView = 1026;
inline constexpr int Restore = 1027;
inline constexpr int Done = 1028;
inline constexpr int RunAccounting = 1032;
inline constexpr int CalendarView = 1033;
inline constexpr int ItineraryView = 1034;
inline constexpr int SelectAll = 1042;
inline constexpr int ClearSelection = 1043;
// The list's keyboard and the bar's "Salva CSV...".
inline constexpr int FindRun = 1090;  // Ctrl+F
inline constexpr int CopyRuns = 1091; // Ctrl+C
inline constexpr int SaveList = 1092; // "Salva CSV..."

} // namespace korvan::ui::runs::command
