#pragma once

namespace qv {

struct LocalTime {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
    int hour = 0;   // 0 to 23
    int minute = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
};

}  // namespace qv
