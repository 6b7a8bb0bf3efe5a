#pragma once

// The windows the screenshot program pictures. Each feature lists its
// windows in its own <Feature>Shots.cpp with one ShotList at namespace scope;
// the program opens them in turn over the demo database, grabs each into
// <name>.png and checks it for clipped texts, overlapping controls and empty
// lists.

#include <QImage>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
namespace shell {
class MainWindow;
}
} // namespace korvan

namespace korvan::screenshots {

// What a shot may use: the real main window, connected to a copy of the
// demo database whose normalized lines have been extracted, with a current
// contract (an authority with lines and one of its companies) and period.
struct ShotContext {
    shell::MainWindow& window;
    MessageSink& sink; // the message boxes of the program
    DbConnection* connection() const;
    OperationFeedback& feedback() const;
    int& authority() const;
    int& company() const;
    std::string& periodStart() const;
    std::string& periodEnd() const;
};

// One picture and what the check found wrong in it.
struct Picture {
    QImage image;
    std::vector<std::string> faults;
};

struct Shot {
    std::string name; // the file name without ".png"
    std::function<Picture(ShotContext&)> take;
};

// Registers the shots of one feature, in the order given.
class ShotList {
  public:
    ShotList(std::string feature, std::vector<Shot> shots);
};

// Every registered shot: features in alphabetical order, each in its own.
std::vector<Shot> registeredShots();

} // namespace korvan::screenshots
