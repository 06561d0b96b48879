#pragma once

#include <functional>

namespace qv {

class QtToolkit;

// The desktop program from start to exit: the platform of QUORVEX_ROOT, the Qt toolkit,
// the single-instance guard, the application. `prepare` may set the toolkit's hooks before
// anything is shown (the test driver answers dialogs with it).
int RunDesktopProgram(int argc, char** argv, const std::function<void(QtToolkit&)>& prepare = {});

}  // namespace qv
