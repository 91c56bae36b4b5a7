#pragma once

// Test doubles of the prompt and progress interfaces, for any test program to include as
// "support/ScriptedPrompt.h" (tests/ is on the include path).
#include <algorithm>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "support/Progress.h"
#include "support/Prompt.h"

namespace dialvane::testing {

// Answers questions from a script, in order; once the script is used up, each question gets
// its default button. Every request is recorded. Safe to use from several threads.
class ScriptedPrompt : public IPrompt {
  public:
    ScriptedPrompt() = default;
    explicit ScriptedPrompt(std::vector<PromptAnswer> script)
        : script_(script.begin(), script.end()) {}

    // Forgets what was asked and answers from `script` next (one prompt, several cases).
    void Reset(std::vector<PromptAnswer> script = {}) {
        std::lock_guard lock(mutex_);
        script_.assign(script.begin(), script.end());
        requests_.clear();
    }

    void Queue(PromptAnswer answer) {
        std::lock_guard lock(mutex_);
        script_.push_back(answer);
    }

    PromptAnswer Ask(const PromptRequest& request) override {
        if (onAsk) {
            onAsk(request);
        }
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        if (script_.empty()) {
            return EffectiveDefault(request);
        }
        PromptAnswer answer = script_.front();
        script_.pop_front();
        return answer;
    }

    std::vector<PromptRequest> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

    // Each question from the `from`th on as "title: text", so a whole exchange with the user is
    // one assertion.
    std::vector<std::string> Shown(size_t from = 0) const {
        std::vector<std::string> shown;
        for (const PromptRequest& request : Requests()) {
            shown.push_back(request.title + ": " + request.text);
        }
        shown.erase(shown.begin(), shown.begin() + std::min(from, shown.size()));
        return shown;
    }

    // The latest question; an empty one before anything was asked.
    PromptRequest Last() const {
        std::lock_guard lock(mutex_);
        return requests_.empty() ? PromptRequest{} : requests_.back();
    }

    // Sees each question as it is asked; set it before anything asks.
    std::function<void(const PromptRequest&)> onAsk;

  private:
    mutable std::mutex mutex_;
    std::deque<PromptAnswer> script_;
    std::vector<PromptRequest> requests_;
};

// Records the status lines and whether the buttons are on; the bars are left to SequenceBar's
// own tests. Take a consistent copy with State().
class RecordingProgress : public IProgress {
  public:
    struct Recorded {
        std::vector<std::pair<std::string, int>> statuses;  // text and level
        bool buttonsEnabled = true;
    };

    void ShowStatus(const std::string& text, int level) override {
        std::lock_guard lock(mutex_);
        recorded_.statuses.emplace_back(text, level);
    }
    void SetSequenceProgress(char, int, long long, long long) override {}
    void SetTargetLabel(const std::string&) override {}
    void SetButtonsEnabled(bool enabled) override {
        std::lock_guard lock(mutex_);
        recorded_.buttonsEnabled = enabled;
    }

    Recorded State() const {
        std::lock_guard lock(mutex_);
        return recorded_;
    }

  private:
    mutable std::mutex mutex_;
    Recorded recorded_;
};

}  // namespace dialvane::testing
