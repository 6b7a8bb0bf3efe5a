#pragma once

// Lists of run IDs written into "ID IN (...)" conditions: "%ld" items
// separated by "," without blanks. Long lists are split so that no single
// statement grows without bound; each part is one complete list (perList 0:
// one list).

#include <string>
#include <vector>

namespace korvan::accounting {

inline constexpr size_t kRunIdsPerStatement = 500;

std::vector<std::string> runIdLists(const std::vector<long>& ids, size_t perList = kRunIdsPerStatement);

} // namespace korvan::accounting
