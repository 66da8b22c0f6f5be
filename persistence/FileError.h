#pragma once
// The file errors that end a command and reach the application's error report.

#include <stdexcept>
#include <string>

/// A file that could not be opened, read, created or written; what() is the
/// text shown to the user.
class TFileError : public std::runtime_error {
public:
  TFileError(const std::string& text, int errorNumber) : std::runtime_error(text), FErrno(errorNumber) {}
  /// The system error number behind the failure (0 when there is none).
  int Errno() const noexcept { return FErrno; }

private:
  int FErrno;
};

/// "Cannot open file "<path>". <reason>"
TFileError CannotOpenFile(const std::string& path, int errorNumber);
/// "Cannot create file "<path>". <reason>"
TFileError CannotCreateFile(const std::string& path, int errorNumber);
