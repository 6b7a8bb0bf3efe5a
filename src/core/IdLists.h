#pragma once

// Lists of IDs or codes written into "IN (...)" conditions: "%ld" items
// separated by "," without blanks. Long lists are split so that no single
// statement grows without bound; each part is one complete list (perList 0:
// one list). Every operation and look-up that selects rows by a list of IDs
// splits it here.

#include <string>
#include <vector>

namespace korvan {

inline constexpr size_t kIdsPerStatement = 500;

std::vector<std::string> idLists(const std::vector<long>& ids, size_t perList = kIdsPerStatement);

} // namespace korvan
