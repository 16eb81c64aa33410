#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline const std::filesystem::path kDataDir = QV_TEST_DATA_DIR;

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Names of the recordings (*.nmea) without extension, sorted: those of
// kDataDir, then those of its folder gnss, decoded in GNSS mode, as "gnss/NAME".
inline std::vector<std::string> RecordingNames() {
  std::vector<std::string> names;
  for (const std::string prefix : {"", "gnss/"}) {
    std::vector<std::string> here;
    for (const auto& entry : std::filesystem::directory_iterator(kDataDir / prefix)) {
      if (entry.path().extension() == ".nmea") here.push_back(prefix + entry.path().stem().string());
    }
    std::sort(here.begin(), here.end());
    names.insert(names.end(), here.begin(), here.end());
  }
  return names;
}

inline bool IsGnssRecording(const std::string& name) { return name.rfind("gnss/", 0) == 0; }
