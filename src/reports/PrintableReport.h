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
// CSV, where they are written with a decimal comma and their own number of
// decimals, whatever the printed form ("1:05" of 65 minutes prints, 65 goes
// into the CSV).
struct Cell {
    enum class Kind { Empty, Text, Integer, Decimal };

    Kind kind = Kind::Empty;
    std::string text; // as printed ("12", "1234.50", a name)
    double value = 0; // Integer and Decimal: what the CSV holds
    int decimals = 0; // Decimal: the CSV's decimals
    // Printed instead of `text` when the row repeats the one above it on the
    // same page (ditto marks); the first row of a page and the CSV show
    // `text`.
    std::string ditto;

    static Cell textCell(std::string text);
    // "%d" of the value.
    static Cell integerCell(long long value);
    // The value, printed as `printed`.
    static Cell integerCell(long long value, std::string printed);
    // "%1.<decimals>lf" of the value, with a period (as printed).
    static Cell decimalCell(double value, int decimals);
    // The value with `csvDecimals` in the CSV, printed as `printed`.
    static Cell decimalCell(double value, int csvDecimals, std::string printed);
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

enum class RowStyle {
    Detail,
    // A total: its label, white on black, stands in place of the cells
    // before the report's first figures column and ends 40 units before
    // it; the separators of the columns it covers stop at the row's top,
    // and the rules of the columns below it start again from its bottom.
    Total,
};

struct Row {
    Row() = default;
    Row(size_t groupIndex, std::vector<Cell> rowCells) : group(groupIndex), cells(std::move(rowCells)) {}

    size_t group = 0;        // index into Report::groups
    std::vector<Cell> cells; // one per column; a total row's cells before
                             // the figures are measured, not printed
    RowStyle style = RowStyle::Detail;
    std::string label; // Total rows
    std::string kind;  // the CSV's row kind ("Corsa", "Totale Linea"...)
};

struct Report {
    std::string title;       // the window title while the report is shown
    std::string createdText; // "dd/mm/yyyy hh:mm" of its creation, on every page
    double fontPoints = 8;   // the report font ("Arial") in points
    std::vector<Column> columns;
    // Names of the page-group key columns of the CSV.
    std::vector<std::string> groupKeyHeaders;
    // When not empty, the CSV's column after the keys, with every row's kind.
    std::string rowKindHeader;
    // The first column a total row prints a figure in (0-based).
    size_t totalFiguresColumn = 0;
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
