// A fresh folder for one test's files, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The full path of a file in the folder, in the platform's own spelling.
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // The folder with its trailing separator, as the file commands remember it.
    std::string Folder() const { return (path_ / "").string(); }

  private:
    std::filesystem::path path_;
};
