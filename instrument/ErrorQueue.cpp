#include "instrument/ErrorQueue.h"

#include "instrument/ScpiValues.h"

namespace {

/// Bytes that are no printable ASCII (junk a client sent) become '?'.
std::string Printable(std::string text) {
  for (char& c : text)
    if (c < 0x20 || c >= 0x7f) c = '?';
  return text;
}

std::string Entry(int code, const std::string& detail) {
  std::string text = ScpiErrorText(code);
  if (!detail.empty()) text += ";" + detail;
  return std::to_string(code) + "," + QuotedText(Printable(text));
}

}  // namespace

const char* ScpiErrorText(int code) {
  switch (code) {
    case seNone: return "No error";
    case seCommand: return "Command error";
    case seSyntax: return "Syntax error";
    case seDataType: return "Data type error";
    case seParameterNotAllowed: return "Parameter not allowed";
    case seMissingParameter: return "Missing parameter";
    case seUndefinedHeader: return "Undefined header";
    case seSuffixOutOfRange: return "Header suffix out of range";
    case seInvalidSuffix: return "Invalid suffix";
    case seExecution: return "Execution error";
    case seSettingsConflict: return "Settings conflict";
    case seOutOfRange: return "Data out of range";
    case seTooMuchData: return "Too much data";
    case seIllegalValue: return "Illegal parameter value";
    case seFileNotFound: return "File name not found";
    case seFileName: return "File name error";
    case seQueueOverflow: return "Queue overflow";
    default: return "Error";
  }
}

void TErrorQueue::Push(int code, const std::string& detail) {
  if (FEntries.size() >= Capacity) return;  // the overflow entry is already there
  // A detail is cut, so that an answer stays short whatever the client sent.
  constexpr size_t MaxDetail = 80;
  std::string entry = Entry(code, detail.substr(0, MaxDetail));
  if (FEntries.size() + 1 == Capacity) entry = Entry(seQueueOverflow, {});
  FEntries.push_back(std::move(entry));
}

std::string TErrorQueue::Pop() {
  if (FEntries.empty()) return Entry(seNone, {});
  std::string entry = std::move(FEntries.front());
  FEntries.pop_front();
  return entry;
}
