#pragma once

// A new file that appears at its place only when it is complete: the work
// is written to a temporary name in the same folder (so that the final move
// is one rename on one file system) and moved into place by Keep. A pending
// file that is not kept is removed, with the journal files a database
// engine leaves beside it.

#include <string>

namespace korvan {

class PendingFile {
  public:
    // `replace`: Keep may take the place of a file that exists there.
    PendingFile(std::string finalPath, bool replace);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::string& finalPath() const { return finalPath_; }
    // Where the work is written until it is kept.
    const std::string& workPath() const { return workPath_; }

    // Refuses early what Keep would refuse: "" when the place may be taken,
    // otherwise the reason, in Italian.
    std::string placeProblem() const;
    // Moves the work file into place; "" when done, otherwise the reason
    // (the work file is then removed). A database written there must be
    // closed first, so that nothing of it is left in a journal beside it.
    std::string Keep();
    // Removes the work file now.
    void Discard();

  private:
    std::string finalPath_;
    std::string workPath_;
    bool replace_;
    bool kept_ = false;
};

} // namespace korvan
