#pragma once

// Test doubles of the prompt and progress interfaces, for any test program to include as
// "support/ScriptedPrompt.h" (tests/ is on the include path).
#include <deque>
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

    void Queue(PromptAnswer answer) {
        std::lock_guard lock(mutex_);
        script_.push_back(answer);
    }

    PromptAnswer Ask(const PromptRequest& request) override {
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

    std::vector<std::string> Texts() const {
        std::lock_guard lock(mutex_);
        std::vector<std::string> texts;
        for (const PromptRequest& request : requests_) {
            texts.push_back(request.text);
        }
        return texts;
    }

  private:
    mutable std::mutex mutex_;
    std::deque<PromptAnswer> script_;
    std::vector<PromptRequest> requests_;
};

// Records every progress call; the sequence bar is computed as a progress view would.
class RecordingProgress : public IProgress {
  public:
    struct Status {
        std::string text;
        int level;
    };

    void ShowStatus(const std::string& text, int level) override {
        std::lock_guard lock(mutex_);
        statuses_.push_back({text, level});
    }
    void SetSequenceProgress(char kind, int step, long long done, long long total) override {
        std::lock_guard lock(mutex_);
        bar_.Apply(kind, step, done, total);
        positions_.push_back(bar_.Position());
    }
    void SetTargetLabel(const std::string& name) override {
        std::lock_guard lock(mutex_);
        target_ = name;
    }
    void SetTransferRange(int maximum) override {
        std::lock_guard lock(mutex_);
        transferMaximum_ = maximum;
    }
    void SetTransferPosition(int position) override {
        std::lock_guard lock(mutex_);
        transferPosition_ = position;
    }
    void SetDirection(int direction) override {
        std::lock_guard lock(mutex_);
        bar_.SetDirection(direction);
    }
    void SetButtonsEnabled(bool enabled) override {
        std::lock_guard lock(mutex_);
        buttonsEnabled_ = enabled;
    }

    std::vector<Status> Statuses() const {
        std::lock_guard lock(mutex_);
        return statuses_;
    }
    std::vector<long long> Positions() const {
        std::lock_guard lock(mutex_);
        return positions_;
    }
    long long Maximum() const {
        std::lock_guard lock(mutex_);
        return bar_.Maximum();
    }
    std::string Target() const {
        std::lock_guard lock(mutex_);
        return target_;
    }
    int TransferMaximum() const {
        std::lock_guard lock(mutex_);
        return transferMaximum_;
    }
    int TransferPosition() const {
        std::lock_guard lock(mutex_);
        return transferPosition_;
    }
    bool ButtonsEnabled() const {
        std::lock_guard lock(mutex_);
        return buttonsEnabled_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<Status> statuses_;
    std::vector<long long> positions_;
    SequenceBar bar_;
    std::string target_;
    int transferMaximum_ = 0;
    int transferPosition_ = 0;
    bool buttonsEnabled_ = true;
};

}  // namespace dialvane::testing
