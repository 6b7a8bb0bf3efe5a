#pragma once

#include <string>

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

} // namespace korvan
