#pragma once

#include <string>

// Guards the moment the application object connects to the display. Qt's
// platform plugin gives up on a display it cannot open with a fatal message
// and an abort (exit status 134, a core dump, and advice to reinstall). While
// a guard waits, Qt's messages are held back; if Qt gives up, the user gets
// one line instead, naming the display that was tried and how to run on a
// virtual one, and the program exits with status 1.
namespace orvane {

class DisplayGuard {
public:
    // `name` starts the line; `command` is how the program was started, for
    // the example command.
    DisplayGuard(std::string name, std::string command);
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard &) = delete;
    DisplayGuard &operator=(const DisplayGuard &) = delete;

    // The display is open: what Qt said meanwhile goes out as it would have,
    // and its messages pass freely again.
    void Passed();
};

} // namespace orvane
