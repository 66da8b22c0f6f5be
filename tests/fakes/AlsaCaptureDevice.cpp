#include "tests/fakes/AlsaCaptureDevice.h"

#include "platform/WaveOutDevice.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

/// The process's configuration folder; its destructor removes it at exit.
struct TCaptureFolder {
  fs::path Dir = fs::temp_directory_path() / ("zephyra-alsa-" + std::to_string(getpid()));
  fs::path File = Dir / "played.raw";

  TCaptureFolder() {
    fs::create_directories(Dir);
    // The whole configuration: without the system's files no sound-server
    // plugin is loaded, so the tests meet the same devices on every machine.
    std::ofstream config(Dir / "asound.conf");
    config << "pcm.null {\n  type null\n}\n"
           << "pcm.!default {\n  type null\n}\n"
           << "pcm." << TAlsaCaptureDevice::PcmName << " {\n  type file\n"
           << "  slave.pcm \"null\"\n  file \"" << File.string() << "\"\n  format \"raw\"\n}\n";
    for (const char* name : TAlsaCaptureDevice::LongNames) config << "pcm." << name << " {\n  type null\n}\n";
    setenv("ALSA_CONFIG_PATH", (Dir / "asound.conf").c_str(), 1);
  }
  ~TCaptureFolder() {
    std::error_code ignored;
    fs::remove_all(Dir, ignored);
  }
};

const TCaptureFolder& Folder() {
  static const TCaptureFolder folder;
  return folder;
}

}  // namespace

TAlsaCaptureDevice::TAlsaCaptureDevice() : FFile(Folder().File) {}

std::optional<uint32_t> TAlsaCaptureDevice::FindIn(TWaveOutDevice& device) const {
  const std::vector<std::string> names = device.DeviceNames();
  const auto found = std::find(names.begin(), names.end(), PcmName);
  if (found == names.end()) return std::nullopt;
  return static_cast<uint32_t>(found - names.begin());
}

std::vector<uint8_t> TAlsaCaptureDevice::Captured() const {
  std::ifstream file(FFile, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> TAlsaCaptureDevice::Audible(size_t frameBytes, uint8_t silence) const {
  return DropSilentFrames(Captured(), frameBytes, silence);
}

void TAlsaCaptureDevice::Clear() const {
  std::error_code ignored;
  fs::remove(FFile, ignored);
}

std::vector<uint8_t> DropSilentFrames(const std::vector<uint8_t>& bytes, size_t frameBytes, uint8_t silence) {
  std::vector<uint8_t> audible;
  for (size_t at = 0; at + frameBytes <= bytes.size(); at += frameBytes) {
    const auto first = bytes.begin() + static_cast<ptrdiff_t>(at);
    const auto last = first + static_cast<ptrdiff_t>(frameBytes);
    if (std::any_of(first, last, [silence](uint8_t b) { return b != silence; }))
      audible.insert(audible.end(), first, last);
  }
  return audible;
}
