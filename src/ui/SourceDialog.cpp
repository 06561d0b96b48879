#include "ui/SourceDialog.h"

#include "framework/MessageBoxes.h"
#include "framework/Resources.h"
#include "res/Resource.h"

namespace qv {

std::vector<std::string_view> SplitTextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t from = 0;
    while (from < text.size()) {
        size_t lf = text.find('\n', from);
        size_t end = lf == std::string_view::npos ? text.size() : lf;
        size_t lineEnd = end;
        if (lineEnd > from && text[lineEnd - 1] == '\r') {
            --lineEnd;
        }
        lines.push_back(text.substr(from, lineEnd - from));
        from = end + 1;
    }
    return lines;
}

SourceDialog::SourceDialog(Toolkit& toolkit)
    : Dialog(res::kSourceDialog, toolkit),
      findText([](int id) { return FindResource(rt::kText, id); }) {}

bool SourceDialog::OnInitDialog() {
    Dialog::OnInitDialog();

    int resource = 0;
    if (viewerSelector == 1) {
        resource = res::kSourceText;
    } else if (viewerSelector == 2) {
        resource = res::kHelpText;
    } else {
        MessageBox("Must pass resource to load (SourceDialog)", "", kMbOk);
        return false;  // the dialog stays open, empty, with no focus set for it
    }

    const std::string* text = findText ? findText(resource) : nullptr;
    if (text == nullptr) {
        MessageBox("Unable to open file (SourceDialog)", "", kMbOk);
        return true;
    }
    if (ListModel* list = Controls().List(res::kSourceList)) {
        list->BeginBatch();
        for (std::string_view line : SplitTextLines(*text)) {
            list->Append(line);
        }
        list->EndBatch();
    }
    return true;
}

}  // namespace qv
