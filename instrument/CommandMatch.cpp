// Header patterns and how a header's nodes are matched against them.

#include "instrument/CommandTable.h"
#include "instrument/ScpiValues.h"

#include <cctype>

namespace {

struct TPatternNode {
  std::string Keyword;  ///< "SOURce"
  bool Optional = false;
  bool Suffix = false;
};

std::vector<TPatternNode> ParsePattern(const std::string& pattern) {
  std::vector<TPatternNode> nodes;
  size_t pos = 0;
  while (pos < pattern.size()) {
    if (pattern[pos] == ':') ++pos;
    TPatternNode node;
    if (pattern[pos] == '[') {
      node.Optional = true;
      ++pos;
      if (pattern[pos] == ':') ++pos;
    }
    while (pos < pattern.size() && pattern[pos] != ':' && pattern[pos] != '[' && pattern[pos] != ']' &&
           pattern[pos] != '#')
      node.Keyword += pattern[pos++];
    if (pos < pattern.size() && pattern[pos] == '#') node.Suffix = true, ++pos;
    if (pos < pattern.size() && pattern[pos] == ']') ++pos;
    nodes.push_back(std::move(node));
  }
  return nodes;
}

/// A header node split into its mnemonic and numeric suffix (-1 when none).
struct TGivenNode {
  std::string Mnemonic;
  int Suffix = -1;
};

TGivenNode SplitNode(const std::string& node) {
  size_t end = node.size();
  while (end > 0 && std::isdigit(static_cast<unsigned char>(node[end - 1]))) --end;
  if (end == node.size() || end == 0 || node.size() - end > 3) return {node, -1};
  return {node.substr(0, end), std::stoi(node.substr(end))};
}

class TMatcher {
public:
  TMatcher(const std::vector<TPatternNode>& pattern, const std::vector<TGivenNode>& given)
      : FPattern(pattern), FGiven(given) {}

  bool Match(size_t p = 0, size_t g = 0) {
    if (p == FPattern.size()) return g == FGiven.size();
    const TPatternNode& node = FPattern[p];
    if (g < FGiven.size() && MatchesKeyword(node.Keyword, FGiven[g].Mnemonic) &&
        (FGiven[g].Suffix < 0 || node.Suffix) && Match(p + 1, g + 1)) {
      if (node.Suffix && FGiven[g].Suffix >= 0) Suffix = FGiven[g].Suffix;
      return true;
    }
    return node.Optional && Match(p + 1, g);
  }

  int Suffix = 1;

private:
  const std::vector<TPatternNode>& FPattern;
  const std::vector<TGivenNode>& FGiven;
};

}  // namespace

TCommandMatch FindCommand(const std::vector<std::string>& nodes) {
  static const std::vector<std::vector<TPatternNode>> patterns = [] {
    std::vector<std::vector<TPatternNode>> parsed;
    for (const TCommandEntry& entry : CommandTable()) parsed.push_back(ParsePattern(entry.Pattern));
    return parsed;
  }();
  std::vector<TGivenNode> given;
  for (const std::string& node : nodes) given.push_back(node.starts_with("*") ? TGivenNode{node, -1} : SplitNode(node));
  for (size_t i = 0; i < patterns.size(); ++i) {
    TMatcher matcher(patterns[i], given);
    if (!matcher.Match()) continue;
    if (matcher.Suffix != 1 && matcher.Suffix != 2) return {nullptr, 0, -114};
    return {&CommandTable()[i], matcher.Suffix - 1, 0};
  }
  return {nullptr, 0, -113};
}
