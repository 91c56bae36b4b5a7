#pragma once

#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>

namespace dialvane {

// An output stream whose every line goes out whole, with a prefix, to a stream several of
// these share: the lines of MFPs handled at once never run into each other.
class PrefixedLines : public std::ostream {
  public:
    PrefixedLines(std::ostream& target, std::mutex& targetMutex, std::string prefix)
        : std::ostream(&buffer_), buffer_(target, targetMutex, std::move(prefix)) {}
    ~PrefixedLines() override { buffer_.Finish(); }

  private:
    class Buffer : public std::streambuf {
      public:
        Buffer(std::ostream& target, std::mutex& mutex, std::string prefix)
            : target_(target), mutex_(mutex), prefix_(std::move(prefix)) {}

      protected:
        int_type overflow(int_type c) override {
            if (c == traits_type::eof()) {
                return traits_type::not_eof(c);
            }
            if (c == '\n') {
                Emit();
            } else {
                line_ += static_cast<char>(c);
            }
            return c;
        }
        // A partial line is held back until its end, unless the stream goes.
        int sync() override { return 0; }

      public:
        void Finish() {
            if (!line_.empty()) {
                Emit();
            }
        }

      private:
        void Emit() {
            std::lock_guard lock(mutex_);
            target_ << prefix_ << line_ << '\n';
            target_.flush();
            line_.clear();
        }

        std::ostream& target_;
        std::mutex& mutex_;
        std::string prefix_;
        std::string line_;
    };

  public:
    // Writes a last line that has no line end yet.
    void Finish() { buffer_.Finish(); }

  private:
    Buffer buffer_;
};

}  // namespace dialvane
