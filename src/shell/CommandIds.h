#pragma once

// The menu command identifiers of the main window. Later subsystems register
// their operations under these ids (MainWindow::setCommandHandler).

namespace korvan::shell::command {

inline constexpr int Exit = 5101;
inline constexpr int About = 5102;
inline constexpr int SqliteConnect = 5104;
inline constexpr int SqliteDisconnect = 5105;
inline constexpr int OdbcConnect = 5108;
// A new runs database from a GTFS feed.
inline constexpr int ImportGtfs = 5150;
inline constexpr int ExtractLines = 5114;
inline constexpr int AssignPerContract = 5115;
inline constexpr int AssignPerLine = 5116;
inline constexpr int EditLines = 5117;
inline constexpr int PrintLines = 5118;
inline constexpr int MergeLines = 5119;
inline constexpr int RunBrowser = 5120;
inline constexpr int PrintContracts = 5121;
inline constexpr int PrintContributions = 5122;
inline constexpr int AssignPerCalendar = 5123;
inline constexpr int AssignPerTimeBand = 5124;
inline constexpr int RemoveCalendarSplits = 5125;
inline constexpr int RemoveItinerarySplits = 5126;
inline constexpr int RemoveAdditionalFinancing = 5127;
inline constexpr int ServiceDays = 5141;
// The standard print command; it has no menu entry (print-preview button).
inline constexpr int Print = 57607;

} // namespace korvan::shell::command
