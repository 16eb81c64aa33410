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

// Names of the recordings (*.nmea) without extension, sorted.
inline std::vector<std::string> RecordingNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kDataDir)) {
    if (entry.path().extension() == ".nmea") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}
