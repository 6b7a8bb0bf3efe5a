#pragma once

// The message sink of the tests and benchmarks: keeps every message and
// answers confirmations with a fixed reply.

#include "db/MessageSink.h"

#include <string>
#include <vector>

namespace korvan::test {

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

} // namespace korvan::test
