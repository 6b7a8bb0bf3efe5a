#pragma once

// Reading PDF files back with poppler's command-line tools (Debian
// poppler-utils): the page count from pdfinfo, the text from pdftotext.

#include <optional>
#include <string>

namespace korvan::test {

// Nothing when pdfinfo is missing or cannot read the file.
std::optional<int> pdfPageCount(const std::string& path);
// The size of the first page in points, as pdfinfo gives it ("595 x 842");
// nothing when pdfinfo cannot read the file.
std::optional<std::string> pdfPageSize(const std::string& path);
// The text of the file in reading order, pages separated by form feeds;
// nothing when pdftotext is missing or cannot read it.
std::optional<std::string> pdfText(const std::string& path);

} // namespace korvan::test
