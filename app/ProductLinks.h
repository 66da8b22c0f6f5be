#pragma once
// The addresses the program opens for the user: the feedback mail, the
// maker's web page and a reference on the RMS value. They are set when the
// program is built (CMake cache variables ZEPHYRA_FEEDBACK_ADDRESS,
// ZEPHYRA_MAKER_URL, ZEPHYRA_RMS_REFERENCE_URL); an empty one has a local
// stand-in.

#include <string>

struct TProductLinks {
  /// Recipient of the feedback mail; empty: the mail program asks for one.
  std::string FeedbackAddress;
  /// The maker's web page; empty: the introduction help topic.
  std::string MakerUrl;
  /// Background reading on the RMS value; empty: the crest factor help topic.
  std::string RmsReferenceUrl;
};

/// The addresses this build was configured with.
TProductLinks BuildLinks();
