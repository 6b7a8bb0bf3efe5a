#include "Shots.h"

#include "shell/MainWindow.h"

#include <algorithm>
#include <map>

namespace korvan::screenshots {

namespace {

std::map<std::string, std::vector<Shot>>& features()
{
    static std::map<std::string, std::vector<Shot>> registered;
    return registered;
}

} // namespace

DbConnection* ShotContext::connection() const
{
    return window.connection();
}

OperationFeedback& ShotContext::feedback() const
{
    return window.feedback();
}

int& ShotContext::authority() const
{
    return window.current().authority;
}

int& ShotContext::company() const
{
    return window.current().company;
}

std::string& ShotContext::periodStart() const
{
    return window.current().periodStartText;
}

std::string& ShotContext::periodEnd() const
{
    return window.current().periodEndText;
}

ShotList::ShotList(std::string feature, std::vector<Shot> shots)
{
    std::vector<Shot>& list = features()[std::move(feature)];
    list.insert(list.end(), shots.begin(), shots.end());
}

std::vector<Shot> registeredShots()
{
    std::vector<Shot> all;
    for (const auto& [feature, shots] : features())
        all.insert(all.end(), shots.begin(), shots.end());
    return all;
}

} // namespace korvan::screenshots
