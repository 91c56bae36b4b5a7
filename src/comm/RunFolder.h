#pragma once

#include <memory>
#include <string>

namespace dialvane {

// A folder of its own inside the data folder for one run's temporary files, so that runs side
// by side, in one process or in several, never write each other's files. The folder goes, with
// what it holds, when the object goes.
class RunFolder {
  public:
    // nullptr with the cause in *error when the folder cannot be made.
    static std::unique_ptr<RunFolder> Create(const std::string& dataFolder, std::string* error);
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // Ends with "/".
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

  private:
    explicit RunFolder(std::string path) : path_(std::move(path)) {}
    std::string path_;
};

}  // namespace dialvane
