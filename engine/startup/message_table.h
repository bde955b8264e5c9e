// The engine's localisable texts, numbered as the lines of a language block.
//
// A language file is a text file of blocks of exactly 115 lines. Lines 91 to
// 111 of a block are read and discarded; the other 94 are the message texts.
// The file starts with one unnamed block (the file's defaults); each further
// block is preceded by a line naming its language in English ("French").
// Applying a file reads the first block, then named blocks until one names
// the user's language; when none does, the last block read stays in effect.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kox {

inline constexpr int kMessageBlockLines = 115;

// Message numbers used by the start-up code.
enum MessageId : int {
  kMsgResourceNotFound = 2,
  kMsgDecompressionFailure = 3,
  kMsgDatabaseNotFound = 4,
  kMsgRuntimeErrorInInstall = 5,
  kMsgRuntimeErrorInScript = 20,
  kMsgPercentComplete = 21,
  kMsgInitCaption = 23,
  kMsgInitLabel = 24,
  kMsgSelectLanguageCaption = 89,
  kMsgSelectLanguageLabel = 90,
  kMsgFlashUnavailable = 112,
};

class MessageTable {
 public:
  MessageTable();  // English defaults

  // Text of line n (1 to 115); discarded lines and numbers out of range give "".
  const std::string& text(int n) const;
  void setText(int n, std::string value);
  static bool isDiscardedLine(int n) { return n >= 91 && n <= 111; }

  // Applies a language file's text (see above). userLanguageName is the
  // English name of the user's default language ("French"). A block cut
  // short by the end of the file replaces only the lines it has.
  void applyLanguageFile(std::string_view fileText, std::string_view userLanguageName);

 private:
  std::array<std::string, kMessageBlockLines + 1> texts_;
};

}  // namespace kox
