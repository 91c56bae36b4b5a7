#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/TextRules.h"

namespace dialvane {

// Capabilities of the connected model, from its profile in the program settings file.
class TProductInfo {
  public:
    // Reads the file once (a missing file means every model takes the defaults), loads "Unknown".
    // The text rules are the language's (TextRulesForLanguage of the settings' LANG).
    explicit TProductInfo(const std::string& settingsPath, TextRules rules = {});
    ~TProductInfo();
    TProductInfo(const TProductInfo&) = delete;
    TProductInfo& operator=(const TProductInfo&) = delete;

    void Load(const std::string& modelName);

    // The models the settings file names a profile for (sections with a FaxType key), in file
    // order.
    std::vector<std::string> ConfiguredModels() const;

    const std::string& ModelName() const;
    int SpeedDial() const;
    int QuickDial() const;
    bool OneTouch() const;
    bool NoKeyword() const;
    int ZevizLibrary() const;
    int MVReceiveTimeout() const;
    const TextRules& Rules() const { return rules_; }

    // (useSecond, ok): profile value 1 -> (false, true), 2 -> (true, true), else (false, false).
    std::pair<bool, bool> LibraryChoice(const std::string& modelName) const;
    int ReceiveTimeout(const std::string& modelName) const;  // -1 when not given

  private:
    struct Settings;
    int ReadInt(const std::string& section, const char* key, int fallback) const;
    int Profile(const std::string& modelName) const;

    std::unique_ptr<Settings> settings_;
    TextRules rules_;
    std::string modelName_;
    int speedDial_ = 60;
    int quickDial_ = 3;
    bool oneTouch_ = true;
    bool noKeyword_ = true;
    int zevizLibrary_ = 1;
    int mvReceiveTimeout_ = -1;
};

}  // namespace dialvane
