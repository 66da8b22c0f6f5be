#pragma once
// Where a generator answers on the D-Bus session bus. Any program can send
// it a message, for example (one line):
//   gdbus call --session --dest org.vellacor.Zephyra.Generator.p1234
//     --object-path /Generator --method org.vellacor.Zephyra.Generator.Message 1024 0 0
// and ask for its state with ... --method org.vellacor.Zephyra.Generator.Status

namespace GeneratorBusNames {
/// Each instance owns this prefix followed by "p" and its process id.
constexpr const char* ServicePrefix = "org.vellacor.Zephyra.Generator.";
constexpr const char* ObjectPath = "/Generator";
constexpr const char* Interface = "org.vellacor.Zephyra.Generator";
/// Message(u number, u wParam, i lParam): answered once accepted, handled
/// after any message in progress.
constexpr const char* Method = "Message";
/// Broadcast(u number, u wParam, i lParam): a message that another generator's
/// broadcast sends to every generator, so a change it makes is not sent on.
constexpr const char* BroadcastMethod = "Broadcast";
constexpr const char* Signature = "uui";
/// Status() -> a{sv}: answers at once from the generator's current state.
constexpr const char* StatusMethod = "Status";
/// D-Bus's own default: a generator that has not confirmed a broadcast
/// message by then is reported on stderr (nobody waits for it).
constexpr int DefaultTimeoutMs = 25000;
}  // namespace GeneratorBusNames
