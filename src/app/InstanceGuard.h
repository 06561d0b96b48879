#pragma once

namespace qv {

// Keeps a second copy of the program from running: it finds the first copy and brings its
// window forward instead.
class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    virtual bool FindRunningInstance() = 0;
    virtual void ActivateRunningInstance() = 0;
    // Publishes this copy for later starts, before any file is touched; false when it could
    // not (another copy was quicker, or there is no block to be had).
    virtual bool RegisterThisInstance() = 0;
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
    bool RegisterThisInstance() override {
        if (registry) {
            return false;
        }
        registry = true;
        registered = true;
        return true;
    }
    int activations = 0;

private:
    bool& registry;
    bool registered = false;
};

}  // namespace qv
