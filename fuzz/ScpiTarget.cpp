// Bytes from a network client through the remote instrument: lines cut in
// chunks of any size, each run by a session on the window logic.

#include "fuzz/FuzzTargets.h"
#include "fuzz/FuzzWindows.h"
#include "instrument/InstrumentSession.h"
#include "instrument/LineSplitter.h"
#include "instrument/WindowInstrument.h"

#include "engine/Numbers.h"

#include <algorithm>
#include <string_view>

int FuzzScpi(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t chunk = 1 + data[0] % 64;  // how the network happened to cut the stream
  TWindows w;
  TWindowInstrument target(w.Gen);
  TInstrumentSession session(target, {});
  TLineSplitter lines;
  std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  while (!input.empty() || lines.HasLine()) {
    input.remove_prefix(lines.Feed(input.substr(0, std::min(chunk, input.size()))));
    while (auto line = lines.Next()) {
      FuzzCheck(line->Text.size() <= TLineSplitter::MaxLineBytes, "no line is longer than the limit");
      if (line->TooLong) session.LineTooLong();
      const std::string answer = line->TooLong ? std::string() : session.Execute(line->Text);
      FuzzCheck(answer.empty() || answer.find('\n') == answer.size() - 1, "an answer is one line");
      FuzzCheck(session.Registers().Errors.Size() <= TErrorQueue::Capacity, "the error queue stays bounded");
    }
  }
  for (const TEdit* level : {&w.Gen.AmplitudeLeft, &w.Gen.AmplitudeRight}) {
    const auto db = TryStrToFloat(level->Text(), TNumberFormat{'.'});
    FuzzCheck(db && *db >= -100 && *db <= 0, "a level stays within -100 .. 0 dBFS");
  }
  return 0;
}
