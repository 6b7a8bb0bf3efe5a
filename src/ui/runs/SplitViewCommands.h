#pragma once

// The command ids of the calendar and itinerary views: their bar buttons,
// pop-up menus and double clicks send the same ones.

namespace korvan::ui::runs::command {

inline constexpr int SaveChanges = 1; // "Registra Modifiche"
inline constexpr int DropChanges = 2; // "Annulla"
inline constexpr int CalendarFilter = 1045;
inline constexpr int SelectAllDays = 1049;
inline constexpr int ClearDaySelection = 1050;
inline constexpr int DayAccounting = 1051;
inline constexpr int SelectAllArcs = 1065;
inline constexpr int ClearArcSelection = 1066;
inline constexpr int ArcAccounting = 1067;

} // namespace korvan::ui::runs::command
