#pragma once

#include <QSocketNotifier>
#include <memory>

namespace qv {

class QtToolkit;

// This copy's side of the single-instance guard on Linux: a later start's request arrives on
// the registered block's socket and brings the toolkit's window, or the modal dialog in front
// of it, forward. Requests are answered in the event loop, a dialog's included.
class ActivationListener {
public:
    // Sets the guard's activation handler to the toolkit's BringToFront.
    explicit ActivationListener(QtToolkit& toolkit);
    // Takes the handler away again.
    ~ActivationListener();
    ActivationListener(const ActivationListener&) = delete;
    ActivationListener& operator=(const ActivationListener&) = delete;

    // Starts watching the block this copy registered; nothing when it has none. Once only.
    void Listen();

private:
    std::unique_ptr<QSocketNotifier> requests;
};

}  // namespace qv
