#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Dialog.h"

namespace qv {

// "16 Bit Source": the text viewer. It shows one of the program's two text resources, one
// list item per line, and offers nothing but scrolling and OK.
//
// The text is read straight from the program's resources: no file is written, so a user's
// file that happens to be called "temp.hst" is never touched.
class SourceDialog : public Dialog {
public:
    explicit SourceDialog(Toolkit& toolkit);

    // Which text to show, set before the dialog runs: 1, the DOS edition's source (TEXT
    // 138); 2, the help text (TEXT 148). Any other value shows a message and no text.
    int viewerSelector = 0;

    // Where the texts come from; the program's resources unless a test says otherwise.
    std::function<const std::string*(int id)> findText;

protected:
    bool OnInitDialog() override;
};

// The lines of a text as the viewer lists them: a line ends at LF, with a CR right before it
// dropped; empty lines stay; a last line without a line end counts; a final line end adds
// no line.
std::vector<std::string_view> SplitTextLines(std::string_view text);

}  // namespace qv
