#pragma once
#include "model/Settings.h"

#include <string>

// Reading and writing settings.ini.
namespace settingsstore {

inline constexpr const char* kFileName = "settings.ini";

struct LoadResult {
    Settings settings;            // from the file, or the defaults
    bool fromFile = false;        // all nine values came from the file
    std::string error;            // why the defaults could not be written, if they could not
};

// Reads the file (at most 64 KiB of it). When it is missing or any value is missing or does not
// convert, every value is the default and the defaults are written to the file.
LoadResult load(const std::string& path);

// Writes the file as a whole or not at all. Returns an error message, or an empty string.
std::string save(const std::string& path, const Settings& s);

}  // namespace settingsstore
