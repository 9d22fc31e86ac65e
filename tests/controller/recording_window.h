// A DialogWindow double: the recording panel's controls, list items and Tab stops kept as the
// real window keeps them, questions answered from a script, and everything asked or told recorded.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "dialog_window.h"
#include "recording_panel.h"

namespace kov::testing {

// How the player answers a question: the safe button (also what Escape and the close box
// give), or the other one.
enum class Answer { Safe, Other };

class RecordingWindow : public DialogWindow {
public:
    void SetListPosition(int32_t control, int32_t position) override {
        panel.SetListPosition(control, position);
        calls.push_back("list " + std::to_string(control));
    }
    int32_t GetListPosition(int32_t control) override { return panel.GetListPosition(control); }
    void SetCheck(int32_t control, int32_t state) override { panel.SetCheck(control, state); }
    int32_t GetCheck(int32_t control) override { return panel.GetCheck(control); }
    void SetEnabled(int32_t control, bool enabled) override { panel.SetEnabled(control, enabled); }
    void Redraw() override { panel.Redraw(); }

    void AddListItem(int32_t control, const char* text) override {
        items[control].push_back(text);
        calls.push_back("item " + std::to_string(control));
    }
    void SetTabStop(int32_t control, bool tabStop) override { tabStops[control] = tabStop; }
    bool Ask(const Question& question) override {
        questions.push_back(question);
        if (answers.empty()) {
            unexpected.push_back(question.text);
            return false;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer == Answer::Other;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }

    RecordingPanel panel;
    std::map<int32_t, std::vector<std::string>> items;
    std::map<int32_t, bool> tabStops;
    std::deque<Answer> answers;         // the script, in order
    std::vector<Question> questions;    // what was asked
    std::vector<std::string> unexpected;  // questions beyond the script
    std::vector<std::string> messages;
    std::vector<std::string> calls;
};

}  // namespace kov::testing
