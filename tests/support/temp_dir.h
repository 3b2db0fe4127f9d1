// A fresh folder for one test's files, removed with everything in it afterwards.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>

class TempDir {
  public:
    TempDir() {
        static std::atomic<unsigned> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        do {
            path_ = std::filesystem::temp_directory_path() /
                    ("verro-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        } while (!std::filesystem::create_directory(path_));
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The full path of a file in the folder, in the platform's own spelling.
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // The folder with its trailing separator, as the file commands remember it.
    std::string Folder() const { return (path_ / "").string(); }

  private:
    std::filesystem::path path_;
};
