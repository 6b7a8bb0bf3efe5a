#include "support/PdfTools.h"

#include <array>
#include <cstdio>
#include <sstream>

namespace korvan::test {

namespace {

std::string quoted(const std::string& path)
{
    std::string text = "'";
    for (char c : path)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

std::optional<std::string> commandOutput(const std::string& command)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string output;
    std::array<char, 4096> buffer{};
    size_t read = 0;
    while ((read = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), read);
    if (pclose(pipe) != 0)
        return std::nullopt;
    return output;
}

} // namespace

std::optional<int> pdfPageCount(const std::string& path)
{
    const std::optional<std::string> info = commandOutput(std::string(KORVAN_PDFINFO) + " " + quoted(path));
    if (!info)
        return std::nullopt;
    std::istringstream lines(*info);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("Pages:", 0) == 0)
            return std::stoi(line.substr(6));
    return std::nullopt;
}

std::optional<std::string> pdfPageSize(const std::string& path)
{
    const std::optional<std::string> info = commandOutput(std::string(KORVAN_PDFINFO) + " " + quoted(path));
    if (!info)
        return std::nullopt;
    std::istringstream lines(*info);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("Page size:", 0) == 0) {
            const size_t first = line.find_first_not_of(' ', 10);
            const size_t end = line.find(" pts");
            return line.substr(first, end == std::string::npos ? std::string::npos : end - first);
        }
    return std::nullopt;
}

std::optional<std::string> pdfText(const std::string& path)
{
    return commandOutput(std::string(KORVAN_PDFTOTEXT) + " -layout " + quoted(path) + " -");
}

} // namespace korvan::test
