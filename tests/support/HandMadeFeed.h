#pragma once

// Small GTFS feeds written by the tests: a basic network of one agency, two
// routes, four stops a hundredth of a degree of latitude apart and four
// trips on weekdays of March 2025, which each test changes where it needs
// to; written as a folder or as a .zip archive.

#include <map>
#include <string>
#include <vector>

namespace korvan::test {

class HandMadeFeed {
  public:
    // agency.txt, stops.txt, routes.txt, calendar.txt, trips.txt, stop_times.txt.
    static HandMadeFeed basic();

    // Every .txt file of a feed's folder, as it is.
    static HandMadeFeed copyOf(const std::string& folder);

    // Replaces (or adds) a file with these lines.
    void set(const std::string& file, const std::vector<std::string>& lines);
    // Adds lines at the end of a file.
    void append(const std::string& file, const std::vector<std::string>& lines);
    void remove(const std::string& file);
    // Replaces the first occurrence of `from` in the file.
    void replace(const std::string& file, const std::string& from, const std::string& to);

    // Writes the files into folder/name and returns its path.
    std::string writeFolder(const std::string& folder, const std::string& name = "feed") const;
    // Writes a .zip archive folder/name and returns its path.
    std::string writeZip(const std::string& folder, const std::string& name = "feed.zip") const;

    const std::map<std::string, std::string>& files() const { return files_; }

  private:
    std::map<std::string, std::string> files_;
};

// 0.01 degree of latitude on the earth's mean sphere (radius 6,371,008.8 m):
// the distance between two neighbouring stops of the basic feed.
inline constexpr double kHundredthOfLatitudeMetres = 1111.95;

} // namespace korvan::test
