#pragma once

namespace qv {

// Keeps a second copy of the program from running: it finds the first copy and brings its
// window forward instead.
class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    virtual bool FindRunningInstance() = 0;
    virtual void ActivateRunningInstance() = 0;
    // Called once the main window is shown.
    virtual void RegisterThisInstance() = 0;
};

// A guard within one process (tests run whole program starts in-process).
class InProcessInstanceGuard : public InstanceGuard {
public:
    explicit InProcessInstanceGuard(bool& registry) : registry(registry) {}
    ~InProcessInstanceGuard() override {
        if (registered) {
            registry = false;
        }
    }
    bool FindRunningInstance() override { return registry; }
    void ActivateRunningInstance() override { ++activations; }
    void RegisterThisInstance() override {
        registry = true;
        registered = true;
    }
    int activations = 0;

private:
    bool& registry;
    bool registered = false;
};

}  // namespace qv
