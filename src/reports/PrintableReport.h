#pragma once

// A statement computed once, headlessly, as printable rows with their page
// groups: what the page painter lays out and draws, and what the CSV writer
// writes. Every row belongs to one page group (the page-break key of the
// report: an authority, a contract...); the rows of a group are consecutive
// and every group starts a new page. Positions given here are in page
// units of 1/600 inch, counted from the top of the printable area in whole
// line heights plus units, so that they follow the report's font.

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

namespace korvan::reports {

// The text every page begins with, at the top left of the printable area.
inline constexpr const char* kPageTitle = "KORVAN - \"Varcotab Gestione Contabile - Regione Valdora\"";

// One value of a row: printed as `text`; numbers keep their value for the
// CSV, where they are written with a decimal comma.
struct Cell {
    enum class Kind { Empty, Text, Integer, Decimal };

    Kind kind = Kind::Empty;
    std::string text; // as printed ("12", "1234.50", a name)
    double value = 0; // Integer and Decimal
    int decimals = 0; // Decimal

    static Cell textCell(std::string text);
    // "%d" of the value.
    static Cell integerCell(long long value);
    // "%1.<decimals>lf" of the value, with a period (as printed).
    static Cell decimalCell(double value, int decimals);
};

enum class Align { Left, Right };

struct Column {
    std::string header;
    // Where the row's texts stand: at the column's left edge, or ending at
    // its right edge. The header text is always at the left edge.
    Align align = Align::Left;
};

// A vertical position below the top of the printable area:
// top + lineHeights x line height + units.
struct Offset {
    int lineHeights = 0;
    int units = 0;
};

// A line of a page header under the common block: a text at the left edge
// of the printable area and, optionally, one ending at its right edge; a
// shaded line stands on a grey band over the whole printable width.
struct HeaderLine {
    std::string left;
    std::string right;
    bool shaded = false;
    Offset y;
};

struct PageGroup {
    // The page-break key as it goes into the CSV (one cell per key column).
    std::vector<Cell> keys;
    // The header lines of the group's pages.
    std::vector<HeaderLine> headerLines;
};

struct Row {
    size_t group = 0;        // index into Report::groups
    std::vector<Cell> cells; // one per column
};

struct Report {
    std::string title;       // the window title while the report is shown
    std::string createdText; // "dd/mm/yyyy hh:mm" of its creation, on every page
    double fontPoints = 8;   // the report font ("Arial") in points
    std::vector<Column> columns;
    // Names of the page-group key columns of the CSV.
    std::vector<std::string> groupKeyHeaders;
    // Top of the grey column-header band; the rows start a line height and
    // 40 units below it.
    Offset columnBand;
    std::vector<PageGroup> groups;
    std::vector<Row> rows;

    bool empty() const { return rows.empty(); }
};

// The creation time in local time, "%02d/%02d/%04d %02d:%02d" (day, month,
// year, hour, minute).
std::string creationTimeText(std::time_t time);

} // namespace korvan::reports
