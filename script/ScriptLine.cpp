#include "script/ScriptLine.h"

#include "engine/Numbers.h"

#include <array>
#include <cwctype>

namespace {

/// Length of the UTF-8 sequence at text[i] and its code point, or 0 when the
/// bytes there are no well-formed sequence.
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& code) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  constexpr std::array<char32_t, 5> smallest{0, 0, 0x80, 0x800, 0x10000};
  if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

TScriptLine SplitScriptLine(std::string_view line) {
  TScriptLine result;
  const size_t first = line.find(' ');
  result.Command = LowerCaseWord(line.substr(0, first));
  if (first == std::string_view::npos) return result;
  const size_t second = line.find(' ', first + 1);
  result.Argument = std::string(line.substr(first + 1, second - (first + 1)));
  if (second != std::string_view::npos) {
    result.Remainder = std::string(line.substr(second + 1));
    if (!result.Remainder.empty() && result.Remainder.back() == ' ') result.Remainder.pop_back();
  }
  for (char c : line) result.FieldCount += c == ' ' ? 1 : 0;
  return result;
}

TScriptCommand CommandOf(std::string_view command) {
  if (command == "play") return TScriptCommand::Play;
  if (command == "pause") return TScriptCommand::Pause;
  if (command == "delay") return TScriptCommand::Delay;
  if (command == "repeat") return TScriptCommand::Repeat;
  if (command == "rem") return TScriptCommand::Rem;
  if (command == "end") return TScriptCommand::End;
  return TScriptCommand::Invalid;
}

std::string LowerCaseWord(std::string_view word) {
  std::string out;
  out.reserve(word.size());
  for (size_t i = 0; i < word.size();) {
    char32_t code = 0;
    const size_t length = DecodeUtf8(word, i, code);
    if (length == 0) {
      out += word[i++];
      continue;
    }
    const auto lower = static_cast<char32_t>(std::towlower(static_cast<std::wint_t>(code)));
    // A mapping outside Unicode (a narrow wchar_t) keeps the character.
    AppendUtf8(out, lower <= 0x10FFFF && !(lower >= 0xD800 && lower <= 0xDFFF) ? lower : code);
    i += length;
  }
  return out;
}

std::string InvalidCommandMessage(int32_t lineNumber) {
  return "Invalid command in line " + std::to_string(lineNumber);
}

std::string TooManyFieldsMessage(int32_t lineNumber) {
  return "Line " + std::to_string(lineNumber) + " has more than " + std::to_string(kMaxScriptFields - 1) +
         " spaces; a script line holds at most " + std::to_string(kMaxScriptFields) + " fields.";
}

std::string RepeatWithoutWaitMessage(int32_t lineNumber) {
  return "Line " + std::to_string(lineNumber) +
         ": repeat would start the script over although no play or delay line has waited since its first line, "
         "so the script would run on without a pause. The script stops here.";
}

int32_t PlayMemoryOf(const TScriptLine& line, int32_t lineNumber) {
  const int32_t memory = StrToInt(line.Argument);
  if (memory < 1 || memory > 4)
    throw TScriptError("Memory " + std::to_string(memory) + " in line " + std::to_string(lineNumber) +
                       " does not exist; play takes a memory from 1 to 4.");
  return memory;
}

long double DelaySecondsOf(const TScriptLine& line, const TNumberFormat& format) {
  return StrToFloat(line.Argument, format);
}

std::optional<std::string> ScriptLineProblem(std::string_view text, int32_t lineNumber,
                                             const TNumberFormat& format) {
  const TScriptLine line = SplitScriptLine(text);
  if (line.FieldCount > kMaxScriptFields) return TooManyFieldsMessage(lineNumber);
  try {
    switch (CommandOf(line.Command)) {
      case TScriptCommand::Invalid:
        return InvalidCommandMessage(lineNumber);
      case TScriptCommand::Play:
        PlayMemoryOf(line, lineNumber);
        break;
      case TScriptCommand::Delay:
        DelaySecondsOf(line, format);
        break;
      default:
        break;
    }
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return std::nullopt;
}
