#include "support/HandMadeFeed.h"

#include <zip.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace korvan::test {

namespace {

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

} // namespace

HandMadeFeed HandMadeFeed::basic()
{
    HandMadeFeed feed;
    feed.set("agency.txt", {"agency_id,agency_name,agency_url,agency_timezone",
                            "A1,Autolinee Valdora,https://valdora.example,Europe/Rome"});
    feed.set("stops.txt",
             {"stop_id,stop_name,stop_lat,stop_lon", "S1,Piazza Grande,46.000000,11.000000",
              "S2,Via Roma,46.010000,11.000000", "S3,Ospedale,46.020000,11.000000", "S4,Stazione,46.030000,11.000000"});
    feed.set("routes.txt", {"route_id,agency_id,route_short_name,route_long_name,route_type",
                            "R1,A1,5,Piazza Grande - Stazione,3", "R2,A1,,Navetta Ospedale,3"});
    feed.set("calendar.txt", {"service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,start_date,end_date",
                              "FER,1,1,1,1,1,0,0,20250301,20250331"});
    feed.set("trips.txt", {"route_id,service_id,trip_id,trip_short_name,direction_id", "R1,FER,T1,,0", "R1,FER,T2,,1",
                           "R1,FER,T3,,0", "R2,FER,T4,,0"});
    feed.set("stop_times.txt", {"trip_id,arrival_time,departure_time,stop_id,stop_sequence",
                                "T1,08:00:00,08:00:00,S1,1", "T1,08:05:00,08:06:00,S2,2", "T1,08:10:00,08:10:00,S3,3",
                                "T1,08:15:00,08:15:00,S4,4", "T2,09:00:00,09:00:00,S4,1", "T2,09:05:00,09:05:00,S3,2",
                                "T2,09:10:00,09:10:00,S2,3", "T2,09:15:00,09:15:00,S1,4", "T3,07:00:00,07:00:00,S1,1",
                                "T3,07:05:00,07:06:00,S2,2", "T3,07:10:00,07:10:00,S3,3", "T3,07:15:00,07:15:00,S4,4",
                                "T4,10:00:00,10:00:00,S2,1", "T4,10:07:00,10:07:00,S3,2"});
    return feed;
}

HandMadeFeed HandMadeFeed::copyOf(const std::string& folder)
{
    HandMadeFeed feed;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".txt")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        feed.files_[entry.path().filename().string()] = text.str();
    }
    return feed;
}

void HandMadeFeed::set(const std::string& file, const std::vector<std::string>& lines)
{
    files_[file] = joined(lines);
}

void HandMadeFeed::append(const std::string& file, const std::vector<std::string>& lines)
{
    files_[file] += joined(lines);
}

void HandMadeFeed::remove(const std::string& file)
{
    files_.erase(file);
}

void HandMadeFeed::replace(const std::string& file, const std::string& from, const std::string& to)
{
    std::string& text = files_.at(file);
    const size_t at = text.find(from);
    if (at == std::string::npos)
        throw std::runtime_error("no \"" + from + "\" in " + file);
    text.replace(at, from.size(), to);
}

std::string HandMadeFeed::writeFolder(const std::string& folder, const std::string& name) const
{
    const std::filesystem::path path = std::filesystem::path(folder) / name;
    std::filesystem::create_directories(path);
    for (const auto& [file, text] : files_) {
        std::ofstream out(path / file, std::ios::binary);
        out << text;
    }
    return path.string();
}

std::string HandMadeFeed::writeZip(const std::string& folder, const std::string& name) const
{
    const std::string path = (std::filesystem::path(folder) / name).string();
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        throw std::runtime_error("cannot create " + path);
    for (const auto& [file, text] : files_) {
        zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
        if (!source || zip_file_add(archive, file.c_str(), source, ZIP_FL_OVERWRITE) < 0)
            throw std::runtime_error("cannot add " + file + " to " + path);
    }
    if (zip_close(archive) != 0)
        throw std::runtime_error("cannot write " + path);
    return path;
}

} // namespace korvan::test
