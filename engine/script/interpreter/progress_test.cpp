#include "engine/script/interpreter/progress.h"

#include <gtest/gtest.h>

#include "engine/script/interpreter/web_media_block.h"
#include "engine/vars/variable_manager.h"
#include "engine/base/error.h"

namespace kox {
namespace {

TEST(ReportProgressTest, WritesNumbersAndTextAndStampsTheTick) {
  TVariableManager store;
  reportProgress(store, 42, "Copying", 0, 200, 50);
  EXPECT_EQ(store.Get(kLastDelegateTickVariable), "42");
  EXPECT_EQ(store.Get(kProgressVariable), "50");
  EXPECT_EQ(store.Get(kProgressMaxVariable), "200");
  EXPECT_EQ(store.Get(kProgressMinVariable), "0");
  EXPECT_EQ(store.Get(kProgressTextVariable), "Copying");
}

TEST(ReportProgressTest, MinusOneKeepsNumbersAndIgnoreKeepsText) {
  TVariableManager store;
  reportProgress(store, 1, "first", 0, 100, 10);
  reportProgress(store, 2, "file.txt", 0, 0, -1);
  EXPECT_EQ(store.Get(kProgressVariable), "10");
  EXPECT_EQ(store.Get(kProgressTextVariable), "file.txt");
  reportProgress(store, 3, kProgressKeepText, 0, 100, 77);
  EXPECT_EQ(store.Get(kProgressVariable), "77");
  EXPECT_EQ(store.Get(kProgressTextVariable), "file.txt");
  EXPECT_EQ(store.Get(kLastDelegateTickVariable), "3");
}

TEST(ReportProgressTest, ReuseTakesTheCurrentValues) {
  TVariableManager store;
  store.Put(kProgressTextVariable, "worker text");
  store.Put(kProgressVariable, "7");
  store.Put(kProgressMaxVariable, "9");
  store.Put(kProgressMinVariable, "1");
  reportProgress(store, 5, kProgressReuse, 0, 0, 0);
  EXPECT_EQ(store.Get(kProgressVariable), "7");
  EXPECT_EQ(store.Get(kProgressMaxVariable), "9");
  EXPECT_EQ(store.Get(kProgressMinVariable), "1");
  EXPECT_EQ(store.Get(kProgressTextVariable), "worker text");
}

TEST(DelegatedProgressTest, ScopeClearsTheFlagOnAnError) {
  EXPECT_FALSE(delegatedProgress());
  try {
    DelegatedProgressGuard scope;
    EXPECT_TRUE(delegatedProgress());
    throw EngineError("failed");
  } catch (const EngineError&) {
  }
  EXPECT_FALSE(delegatedProgress());
}

// The stored form of a password: hex digits low first, then XOR with the position.
std::string scramble(const std::string& plain) {
  const char* digits = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : plain) {
    hex.push_back(digits[c & 15]);
    hex.push_back(digits[c >> 4]);
  }
  for (size_t i = 0; i < hex.size(); ++i) hex[i] = static_cast<char>(hex[i] ^ static_cast<char>(i & 0xFF));
  return hex;
}

TEST(WebMediaPasswordTest, UnscramblesLowDigitFirstAfterThePositionXor) {
  // "a" is 0x61: stored low digit first as "16", then '1'^0 '6'^1.
  EXPECT_EQ(unscrambleMediaPassword(std::string{'1', static_cast<char>('6' ^ 1)}), "a");
  const std::string longPlain(200, 'x');  // positions past 255 wrap in the low eight bits
  EXPECT_EQ(unscrambleMediaPassword(scramble(longPlain)), longPlain);
  EXPECT_THROW(unscrambleMediaPassword("1"), EngineError);
  EXPECT_THROW(unscrambleMediaPassword(std::string{'G', static_cast<char>('0' ^ 1)}), EngineError);
}

TEST(WebMediaPasswordTest, BlockEntryIgnoringCaseElseOffline) {
  const std::vector<std::string> pairs{"Core", scramble("core-pass"), "offline", scramble("fallback")};
  EXPECT_EQ(mediaPasswordFor(pairs, "CORE"), "core-pass");
  EXPECT_EQ(mediaPasswordFor(pairs, "Extras"), "fallback");
  EXPECT_EQ(mediaPasswordFor({}, "Extras"), "");
}

}  // namespace
}  // namespace kox
