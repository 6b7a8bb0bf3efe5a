#include "core/IdLists.h"

#include "db/Values.h"

namespace korvan {

std::vector<std::string> idLists(const std::vector<long>& ids, size_t perList)
{
    std::vector<std::string> lists;
    for (size_t i = 0; i < ids.size(); ++i) {
        if (lists.empty() || (perList != 0 && i % perList == 0))
            lists.emplace_back();
        std::string& list = lists.back();
        if (!list.empty())
            list += ',';
        list += formatText("%ld", ids[i]);
    }
    return lists;
}

} // namespace korvan
