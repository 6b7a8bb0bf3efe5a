#pragma once

#include <string>
#include <vector>

namespace korvan {

// The icon a message box shows. `None` is the plain box some layer messages use.
enum class MessageIcon { None, Error, Warning, Information, Question };

// Where every user-facing message goes. The database layer and the core
// operations never throw across their interfaces: they tell the user through
// the sink installed by their caller and return a failure value. The GUI
// installs a sink showing modal message boxes; tests and the batch program
// install sinks that record or print.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void showMessage(const std::string& text, MessageIcon icon) = 0;
    // A confirmation with OK and Cancel; true means OK.
    virtual bool askConfirmation(const std::string& text) = 0;
};

// Keeps every message; answers confirmations with a fixed reply.
class RecordingMessageSink : public MessageSink {
  public:
    struct Entry {
        std::string text;
        MessageIcon icon;
    };

    void showMessage(const std::string& text, MessageIcon icon) override { entries.push_back({text, icon}); }
    bool askConfirmation(const std::string& text) override
    {
        entries.push_back({text, MessageIcon::Question});
        return confirmReply;
    }
    void clear() { entries.clear(); }
    bool empty() const { return entries.empty(); }
    const std::string& lastText() const
    {
        static const std::string none;
        return entries.empty() ? none : entries.back().text;
    }

    std::vector<Entry> entries;
    bool confirmReply = true;
};

} // namespace korvan
