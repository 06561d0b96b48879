#pragma once

#include "framework/ControlSet.h"

namespace qv {

// A widget that hosts a custom control's model. It follows its control's state and meets
// its model when the owner binds one.
class BoundWidget {
public:
    virtual ~BoundWidget() = default;
    virtual void Sync(ControlState& control) = 0;
};

}  // namespace qv
