#include "reports/PrintableReport.h"

#include "db/NumberText.h"
#include "db/Values.h"

namespace korvan::reports {

Cell Cell::textCell(std::string text)
{
    Cell cell;
    cell.kind = Kind::Text;
    cell.text = std::move(text);
    return cell;
}

Cell Cell::integerCell(long long value)
{
    Cell cell;
    cell.kind = Kind::Integer;
    cell.text = formatText("%lld", value);
    cell.value = static_cast<double>(value);
    return cell;
}

Cell Cell::integerCell(long long value, std::string printed)
{
    Cell cell = integerCell(value);
    cell.text = std::move(printed);
    return cell;
}

Cell Cell::decimalCell(double value, int decimals)
{
    Cell cell;
    cell.kind = Kind::Decimal;
    cell.text = fixedText(value, decimals);
    cell.value = value;
    cell.decimals = decimals;
    return cell;
}

Cell Cell::decimalCell(double value, int csvDecimals, std::string printed)
{
    Cell cell = decimalCell(value, csvDecimals);
    cell.text = std::move(printed);
    return cell;
}

std::string creationTimeText(std::time_t time)
{
    std::tm local{};
    if (!localtime_r(&time, &local))
        return {};
    return formatText("%02d/%02d/%04d %02d:%02d", local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, local.tm_hour,
                      local.tm_min);
}

} // namespace korvan::reports
