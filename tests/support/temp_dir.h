// A fresh folder for one test, made the working directory while the test runs.
#pragma once
#include <string>

class TTempDir {
 public:
  TTempDir();   // creates the folder and changes into it
  ~TTempDir();  // changes back and removes the folder with everything in it
  const std::string& Path() const { return path_; }
  // Writes bytes to a file below the folder (relative paths) and reads a whole file back.
  static void Write(const std::string& path, const std::string& bytes);
  static std::string Read(const std::string& path);

 private:
  std::string path_;
  std::string previous_;
};
