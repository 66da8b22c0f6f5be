#pragma once
// The product's fixed texts and addresses, kept in one place.

inline constexpr const char* ProductName = "Zephyra";
inline constexpr const char* ProductVersion = "1.3";
/// The maker's web page (credit label, "More Audio Software").
inline constexpr const char* MakerUrl = "https://www.vellacor.example/";
/// The address the feedback mail goes to.
inline constexpr const char* FeedbackAddress = "feedback@vellacor.example";
/// Background reading on the RMS value, behind the crest-factor label.
inline constexpr const char* RmsReferenceUrl = "https://en.wikipedia.org/wiki/Root_mean_square";
/// Folder of the help topics, beside the program.
inline constexpr const char* HelpFolder = "help";
