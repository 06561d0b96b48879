#pragma once

namespace qv {

// The password gate in front of a protected command: true lets the command go on.
class CommandGate {
public:
    virtual ~CommandGate() = default;
    virtual bool Allow() = 0;
};

// What the restriction commands need to know of the log view mode.
class LogViewState {
public:
    virtual ~LogViewState() = default;
    virtual bool ViewingLog() const = 0;
    // Button 1003's command while the log is shown.
    virtual void SaveDecryptedLog() = 0;
};

}  // namespace qv
