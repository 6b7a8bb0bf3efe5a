#pragma once

// The import of hand-made feeds into a new SQLite file in the test's own
// folder, with the messages kept and the rows read back with SQLite.

#include "core/OperationFeedback.h"
#include "gtfs/GtfsImport.h"
#include "support/FeedChecks.h"
#include "support/HandMadeFeed.h"
#include "support/RecordingMessageSink.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace korvan::test {

class GtfsImportFixture : public ::testing::Test {
  protected:
    // Imports the feed (written as a folder) into out.sqlite; true when the
    // file was made. `mapping` lines become a mapping file.
    bool import(const HandMadeFeed& feed, const std::vector<std::string>& mapping = {})
    {
        return importPath(feed.writeFolder(dir.path()), mapping);
    }

    bool importPath(const std::string& feedPath, const std::vector<std::string>& mapping = {})
    {
        gtfs::ImportRequest request{feedPath, ""};
        if (!mapping.empty()) {
            request.mappingPath = dir.file("enti.csv");
            std::string text;
            for (const std::string& line : mapping)
                text += line + "\n";
            writeText(request.mappingPath, text);
        }
        sink.clear();
        return gtfs::importIntoNewFile(request, database(), false, sink, feedback);
    }

    std::string database() const { return dir.file("out.sqlite"); }
    std::vector<std::string> rows(const std::string& sql) const { return queryRows(database(), sql); }
    std::string value(const std::string& sql) const { return queryValue(database(), sql); }
    // The summary shown after a successful import.
    std::string summary() const { return sink.entries.empty() ? "" : sink.entries.back().text; }

    static void writeText(const std::string& path, const std::string& text)
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }

    // The files of the test's folder other than the feed and the mapping:
    // what a refused import must not leave behind.
    std::vector<std::string> leftFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (name != "feed" && name != "feed.zip" && name != "enti.csv")
                names.push_back(name);
        }
        return names;
    }

    TempDir dir;
    RecordingMessageSink sink;
    SilentFeedback feedback;
};

} // namespace korvan::test
