#pragma once

/// Asks the system to run the calling thread at real-time priority (FIFO,
/// below the sound server's usual priority). True when granted; where the
/// system refuses (no rtprio limit for the user), the thread runs on as it was.
bool RequestRealtimeScheduling() noexcept;
