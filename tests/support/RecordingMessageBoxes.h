#pragma once

#include <deque>
#include <string>
#include <vector>

#include "framework/MessageBoxes.h"

namespace qv::test {

// Records every message box and answers from a queue (OK, or Yes for a question, when empty).
class RecordingMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        std::string text;
        std::string caption;
        unsigned style;
        bool operator==(const Shown&) const = default;
    };

    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override {
        shown.push_back({text, caption, style});
        if (!answers.empty()) {
            int answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return (style & kMbButtonMask) == kMbYesNo ? kIdYes : kIdOk;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Shown& s : shown) {
            texts.push_back(s.text);
        }
        return texts;
    }

    std::vector<Shown> shown;
    std::deque<int> answers;
};

}  // namespace qv::test
